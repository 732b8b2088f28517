#include "platform/win/regstore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/win/winerror.h"
#include "platform/win/winreg.h"
#include "testsupport/temp_folder.h"

namespace {

using regstore::Key;

std::string readtext(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writetext(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Each test gets hives of its own, also when the whole program runs in one process.
class RegStore : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("VKT_REGISTRY_DIR", folder.c_str(), 1);
    }

    std::filesystem::path folder;
};

std::string valuetext(const Key& key, const std::string& name)
{
    auto it = key.values.find(name);
    if (it == key.values.end())
        return "<missing>";
    return std::string(it->second.data.begin(), it->second.data.end());
}

} // namespace

TEST(RegStoreFormat, ReadsTheDocumentedForm)
{
    const char* text = "VKT registry hive 1\n"
                       "; a comment\n"
                       "[Software\\Maker\\App]\n"
                       "\"Title\"=sz:\"Schematic \\\"A\\\"\\x0aline\"\n"
                       "@=dword:0000002a\n"
                       "\"Blob\"=hex:01, 02,ff\n"
                       "\"Empty\"=hex:\n"
                       "\"List\"=hex(7):61,00,00\n"
                       "[Software\\Maker\\App\\Empty%25Key]\n";
    Key root;
    bool damaged = true;
    std::string refused;
    ASSERT_EQ(regstore::parse(text, root, damaged, refused), 1);
    EXPECT_FALSE(damaged);
    const Key* app = regstore::findkey(root, { "software", "MAKER", "app" });
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(valuetext(*app, "title"), std::string("Schematic \"A\"\nline") + '\0');
    EXPECT_EQ(app->values.at("").type, REG_DWORD);
    EXPECT_EQ(app->values.at("").data, (std::vector<BYTE> { 0x2a, 0, 0, 0 }));
    EXPECT_EQ(app->values.at("blob").data, (std::vector<BYTE> { 1, 2, 0xff }));
    EXPECT_EQ(app->values.at("blob").type, REG_BINARY);
    EXPECT_TRUE(app->values.at("empty").data.empty());
    EXPECT_EQ(app->values.at("list").type, REG_MULTI_SZ);
    EXPECT_NE(regstore::findkey(root, { "Software", "Maker", "App", "Empty%Key" }), nullptr);
    EXPECT_EQ(regstore::findkey(root, { "Software", "Other" }), nullptr);
}

TEST(RegStoreFormat, RoundTripKeepsEveryValueAndName)
{
    Key root;
    Key& key = *root.subkeys.emplace("Odd\x01%Name]", std::make_unique<Key>()).first->second;
    key.values["quote\"back\\slash"] = { REG_SZ, { 0xc3, 0xa9, '\t', 0 } };
    key.values["text with NUL inside"] = { REG_SZ, { 'a', 0, 'b', 0 } };
    key.values["short dword"] = { REG_DWORD, { 1, 2 } };
    key.values["any type"] = { 0x12345, { 9 } };
    key.values[""] = { REG_BINARY, {} };
    root.subkeys.emplace("EmptyKey", std::make_unique<Key>());

    std::string text = regstore::serialise(root);
    Key back;
    bool damaged = true;
    std::string refused;
    ASSERT_EQ(regstore::parse(text, back, damaged, refused), regstore::formatVersion);
    EXPECT_FALSE(damaged);
    EXPECT_EQ(regstore::serialise(back), text);
    const Key* odd = regstore::findkey(back, { "Odd\x01%Name]" });
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->values.at("QUOTE\"BACK\\SLASH").data, (std::vector<BYTE> { 0xc3, 0xa9, '\t', 0 }));
    EXPECT_EQ(odd->values.at("text with nul inside").data.size(), 4u);
    EXPECT_EQ(odd->values.at("any type").type, 0x12345u);
    EXPECT_NE(regstore::findkey(back, { "emptykey" }), nullptr);
}

TEST(RegStoreFormat, DamagedLinesAreLeftOutAndReported)
{
    struct Case {
        const char* text;
        int version;
        bool damaged;
    } cases[] = {
        { "VKT registry hive 1\n[A]\n\"x\"=sz:\"1\"\n", 1, false },
        { "VKT registry hive 1\r\n[A]\r\n\"x\"=sz:\"1\"\r\n", 1, false },
        { "VKT registry hive 1\n\"x\"=sz:\"1\"\n[A]\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 1\n[A]\n\"x\"=sz:\"1\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 1\n[A]\n\"y\"=dword:123\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 1\n[A]\n\"y\"=hex:1,2\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 1\n[A]\n\"y\"=hex:01,\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 1\n[A]\n\"y\"=text\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 1\n[A%zz]\n[A]\n\"x\"=sz:\"1\"\n", 1, true },
        { "VKT registry hive 2\n[A]\n", 2, false },
        { "something else\n[A]\n", 0, false },
    };
    for (const auto& c : cases) {
        Key root;
        bool damaged = false;
        std::string refused;
        EXPECT_EQ(regstore::parse(c.text, root, damaged, refused), c.version) << c.text;
        EXPECT_EQ(damaged, c.damaged) << c.text;
        EXPECT_EQ(refused, "") << c.text;
        if (c.version == 1) {
            EXPECT_EQ(valuetext(*regstore::findkey(root, { "A" }), "x"), std::string("1") + '\0') << c.text;
        }
    }
}

TEST(RegStoreFormat, KeysAndNamesBeyondTheBoundsRefuseTheWholeHive)
{
    auto path = [](size_t levels, size_t length) {
        std::string text = "[";
        for (size_t i = 0; i < levels; ++i)
            text += (i ? "\\" : "") + std::string(length, 'k');
        return text + "]\n";
    };
    const std::string head = "VKT registry hive 1\n[A]\n\"x\"=sz:\"1\"\n";
    struct Case {
        std::string text;
        std::string refused;
    } cases[] = {
        { head + path(REG_MAXDEPTH, 1), "" },
        { head + path(REG_MAXDEPTH + 1, 1), "line 4 holds a key nested deeper than 64 levels" },
        { head + path(2, regstore::HIVEKEYNAME), "" },
        { head + path(2, regstore::HIVEKEYNAME + 1), "line 4 holds a key name longer than 255 characters" },
        { head + "\"" + std::string(regstore::HIVEVALUENAME, 'v') + "\"=hex:\n", "" },
        { head + "\"" + std::string(regstore::HIVEVALUENAME + 1, 'v') + "\"=hex:\n",
            "line 4 holds a value name longer than 16383 characters" },
    };
    for (const auto& c : cases) {
        Key root;
        bool damaged = false;
        std::string refused;
        EXPECT_EQ(regstore::parse(c.text, root, damaged, refused), 1) << c.refused;
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(regstore::findkey(root, { "A" }) != nullptr, c.refused.empty()) << c.refused;
        EXPECT_FALSE(damaged) << c.refused;
    }
}

TEST_F(RegStore, NamesKeepTheirCaseAndMatchInAnyCase)
{
    HKEY key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Maker\\App", 0, nullptr, REG_OPTION_NON_VOLATILE,
                  KEY_ALL_ACCESS, nullptr, &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(RegSetValueExA(key, "Width", 0, REG_SZ, reinterpret_cast<const BYTE*>("12"), 3), ERROR_SUCCESS);
    RegCloseKey(key);

    HKEY other;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\maker\\APP", 0, KEY_QUERY_VALUE, &other), ERROR_SUCCESS);
    char buffer[8];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(other, "WIDTH", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_STREQ(buffer, "12");
    RegCloseKey(other);

    HKEY maker;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "software\\MAKER", &maker), ERROR_SUCCESS);
    char name[100];
    EXPECT_EQ(RegEnumKeyA(maker, 0, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "App");
    RegCloseKey(maker);

    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\MAKER\\app", 0, nullptr, 0, KEY_READ, nullptr,
                  &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    EXPECT_NE(readtext(folder / "user.reg").find("[Software\\Maker\\App]\n\"Width\"=sz:\"12\"\n"),
        std::string::npos);
}

TEST_F(RegStore, KeysAreCreatedWithParentsAndDeletedOnlyWithoutSubkeys)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a\\b\\c", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    for (const char* path : { "a", "a\\b", "A\\B\\C" }) {
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key), ERROR_SUCCESS) << path;
        RegCloseKey(key);
    }
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "a\\b"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "a\\b\\c"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "a\\b\\c"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "a\\b"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "a\\b", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
}

TEST_F(RegStore, EnumerationIsStableAndBounded)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "k", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    for (const char* name : { "beta", "Alpha", "gamma" }) {
        HKEY sub;
        ASSERT_EQ(
            RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr), ERROR_SUCCESS);
        RegCloseKey(sub);
        ASSERT_EQ(
            RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>("xy"), 2), ERROR_SUCCESS);
    }
    char name[100];
    std::vector<std::string> keys, values;
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        keys.push_back(name);
    EXPECT_EQ(keys, (std::vector<std::string> { "Alpha", "beta", "gamma" }));
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &length, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        EXPECT_EQ(length, strlen(name));
        EXPECT_EQ(type, REG_BINARY);
        values.push_back(name);
    }
    EXPECT_EQ(values, keys);
    EXPECT_EQ(RegEnumKeyA(key, 3, name, sizeof name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyA(key, 0, name, 5), ERROR_MORE_DATA);
    DWORD length = 5;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    RegCloseKey(key);
}

TEST_F(RegStore, ValueReadsReportSizesAndShortBuffers)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "k", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    BYTE small[3];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueExA(key, "other", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, ""), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, ""), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    HKEY readonly;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "k", 0, KEY_QUERY_VALUE, &readonly), ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExA(readonly, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_ACCESS_DENIED);
    RegCloseKey(readonly);
}

TEST_F(RegStore, OverlongNamesAreRefusedAtWriteTime)
{
    HKEY key;
    std::string longkey(REG_MAXKEYNAME + 1, 'k');
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ("a\\" + longkey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                  &key, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "a", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    longkey.pop_back();
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, longkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    std::string longvalue(REG_MAXVALUENAME + 1, 'v');
    EXPECT_EQ(RegSetValueExA(key, longvalue.c_str(), 0, REG_BINARY, nullptr, 0), ERROR_INVALID_PARAMETER);
    longvalue.pop_back();
    EXPECT_EQ(RegSetValueExA(key, longvalue.c_str(), 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    const std::vector<BYTE> huge(regstore::HIVELIMIT / 3 + 1);
    EXPECT_EQ(RegSetValueExA(key, "huge", 0, REG_BINARY, huge.data(), static_cast<DWORD>(huge.size())),
        ERROR_NOT_ENOUGH_MEMORY)
        << "a hive the next read would refuse is not written";
    EXPECT_EQ(readtext(folder / "user.reg").find("\"huge\""), std::string::npos);
    RegCloseKey(key);

    std::string deep;
    for (size_t i = 0; i <= REG_MAXDEPTH; ++i)
        deep += "d\\";
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "d", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegStore, AHostileHiveIsRefusedWholeWithItsReasonAndLeftUntouched)
{
    const std::filesystem::path hive = folder / "user.reg";
    struct Case {
        const char* name;
        std::function<void()> make;
        const char* reason;
    } cases[] = {
        { "deep key", [&] { std::filesystem::copy_file(VKT_TEST_SOURCE_DIR "/damaged/deepkey.reg", hive); },
            "line 2 holds a key nested deeper than 64 levels" },
        { "long key name",
            [&] { std::filesystem::copy_file(VKT_TEST_SOURCE_DIR "/damaged/longkeyname.reg", hive); },
            "line 4 holds a key name longer than 255 characters" },
        { "long value name",
            [&] { std::filesystem::copy_file(VKT_TEST_SOURCE_DIR "/damaged/longvaluename.reg", hive); },
            "line 3 holds a value name longer than 16383 characters" },
        { "pipe", [&] { ASSERT_EQ(mkfifo(hive.c_str(), 0600), 0); }, "not a regular file" },
        { "link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", hive); }, "not a regular file" },
        { "too large",
            [&] {
                writetext(hive, "VKT registry hive 1\n");
                std::filesystem::resize_file(hive, regstore::HIVELIMIT + 1);
            },
            "larger than 16 MB" },
        { "later format", [&] { writetext(hive, "VKT registry hive 9\n[Software\\Maker]\n"); },
            "written in format 9, which this program does not read" },
    };
    for (const auto& c : cases) {
        std::filesystem::remove(hive);
        c.make();
        struct stat before {};
        ASSERT_EQ(lstat(hive.c_str(), &before), 0) << c.name;
        EXPECT_EQ(regstore::refusal(regstore::Hive::user), c.reason) << c.name;
        HKEY key;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Maker", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
            << c.name;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Maker", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr),
            ERROR_BADDB)
            << c.name;
        struct stat after {};
        ASSERT_EQ(lstat(hive.c_str(), &after), 0) << c.name;
        EXPECT_TRUE(after.st_ino == before.st_ino && after.st_size == before.st_size
            && after.st_mtim.tv_sec == before.st_mtim.tv_sec && after.st_mtim.tv_nsec == before.st_mtim.tv_nsec)
            << c.name << ": the file is left as it was";
        EXPECT_FALSE(std::filesystem::exists(folder / "user.reg.damaged")) << c.name;
    }
    std::filesystem::remove(hive);
    EXPECT_EQ(regstore::refusal(regstore::Hive::user), "") << "no file: nothing refused";
}

TEST_F(RegStore, MachineHiveIsReadOnly)
{
    writetext(folder / "machine.reg", "VKT registry hive 1\n[Software\\Maker]\n\"Data\"=sz:\"/opt/data\"\n");
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\maker", 0, KEY_WRITE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(
                  HKEY_LOCAL_MACHINE, "Software\\Other", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
        ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\maker", &key), ERROR_SUCCESS);
    char text[20];
    DWORD size = sizeof text;
    EXPECT_EQ(
        RegQueryValueExA(key, "data", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "/opt/data");
    EXPECT_EQ(RegDeleteValueA(key, "data"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Maker"), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(std::filesystem::exists(folder / "user.reg"));
}

TEST_F(RegStore, SeesChangesMadeByOthersAndNoticesDeletedKeys)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "k", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    writetext(folder / "user.reg.new", "VKT registry hive 1\n[K]\n\"v\"=dword:00000007\n");
    std::filesystem::rename(folder / "user.reg.new", folder / "user.reg");
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExA(key, "V", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 7u);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "k"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    HKEY sub;
    EXPECT_EQ(
        RegCreateKeyExA(key, "sub", 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr), ERROR_KEY_DELETED);
    RegCloseKey(key);
}

TEST_F(RegStore, ForeignAndDamagedHivesLoseNothing)
{
    const std::string later = "VKT registry hive 9\n[A]\n\"x\"=future:1\n";
    writetext(folder / "user.reg", later);
    HKEY key;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "B", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_BADDB);
    EXPECT_EQ(readtext(folder / "user.reg"), later);

    const std::string damaged = "VKT registry hive 1\n[A]\n\"x\"=garbage\n\"y\"=sz:\"kept\"\n";
    writetext(folder / "user.reg", damaged);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "B", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(readtext(folder / "user.reg.damaged"), damaged);
    EXPECT_EQ(readtext(folder / "user.reg"), "VKT registry hive 1\n[A]\n\"y\"=sz:\"kept\"\n[B]\n");
}

TEST_F(RegStore, ProcessesWritingAtOnceLoseNothing)
{
    constexpr int writers = 4;
    constexpr int valuesEach = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            HKEY key;
            if (RegCreateKeyExA(
                    HKEY_CURRENT_USER, "shared", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
                _exit(2);
            for (int i = 0; i < valuesEach; ++i) {
                std::string name = "w" + std::to_string(w) + "v" + std::to_string(i);
                if (RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), 4))
                    _exit(3);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "shared", 0, KEY_READ, &key), ERROR_SUCCESS);
    char name[100];
    DWORD count = 0;
    for (DWORD length = sizeof name;
         RegEnumValueA(key, count, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         length = sizeof name)
        ++count;
    EXPECT_EQ(count, static_cast<DWORD>(writers * valuesEach));
    RegCloseKey(key);
}
