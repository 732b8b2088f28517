#include "core/windows/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/containers/proplist.h"
#include "core/windows/applncontext.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const char basepath[] = "Software\\Maker\\App";

std::string readfile(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Hives of the test's own, a machine hive written as an installer would, and a context whose
// registry object reads the user's hive with the machine's as fallback.
class Registry : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("VKT_REGISTRY_DIR", folder.c_str(), 1);
        std::ofstream(folder / "machine.reg") << "VKT registry hive 1\n"
                                                 "[Software\\Maker\\App]\n"
                                                 "\"MachineOnly\"=sz:\"from the machine\"\n"
                                                 "\"Both\"=sz:\"machine copy\"\n"
                                                 "[Software\\Maker\\App\\Defaults]\n"
                                                 "\"Width\"=dword:00000280\n";
        context.registry = &registry;
        previous = setapplncontext(&context);
    }

    void TearDown() override { setapplncontext(previous); }

    REGISTRY& base() { return registry; }

    fs::path folder;
    REGISTRY32 registry { REGISTRY_USERTHENMACHINE, basepath };
    APPLNCONTEXT context {};
    APPLNCONTEXT* previous = nullptr;
};

} // namespace

TEST(RegistryPaths, JoiningKeys)
{
    struct {
        const char* base;
        const char* key;
        const char* path;
    } cases[] = {
        { "Software\\App", "Sub", "Software\\App\\Sub" },
        { "Software\\App", "\\Sub", "Software\\App\\Sub" },
        { "Software\\App", "Sub\\\\", "Software\\App\\Sub" },
        { "Software\\App\\", "Sub", "Software\\App\\Sub" },
        { "Software\\App\\", nullptr, "Software\\App\\" },
        { "Software\\App\\", "", "Software\\App" },
        { "", "\\Sub", "Sub" },
        { "", "\\", "" },
        { "", "\\\\", "\\" },
    };
    for (const auto& c : cases) {
        char path[REGISTRY_PATHMAX + 1];
        EXPECT_STREQ(joinkeypath(path, c.base, c.key), c.path) << c.base << " + " << (c.key ? c.key : "null");
    }
}

TEST_F(Registry, ReadsFallBackToTheMachineAndWritesGoToTheUser)
{
    ASSERT_EQ(reg_putstr(nullptr, "Both", "user copy"), 1);
    char text[40];
    EXPECT_EQ(reg_getstr(nullptr, "MachineOnly", text, sizeof text), 17);
    EXPECT_STREQ(text, "from the machine");
    EXPECT_EQ(reg_getstr("", "Both", text, sizeof text), 10);
    EXPECT_STREQ(text, "user copy");
    EXPECT_EQ(reg_getsize("\\Defaults\\", "Width"), 4);
    EXPECT_EQ(reg_getdw("Defaults", "width", 0), 640u);

    const std::string machine = readfile(folder / "machine.reg");
    EXPECT_EQ(reg_removevalue(nullptr, "MachineOnly"), 0) << "only the user's hive is written";
    EXPECT_EQ(reg_removekey("Defaults"), 0);
    EXPECT_EQ(readfile(folder / "machine.reg"), machine);
    EXPECT_EQ(reg_getstr(nullptr, "MachineOnly", text, sizeof text), 17);
    EXPECT_EQ(reg_removevalue(nullptr, "Both"), 1);
    EXPECT_EQ(reg_getstr(nullptr, "Both", text, sizeof text), 13) << "the machine's copy shows again";
}

TEST_F(Registry, DefaultsTakeTheValuesPlaceOnly)
{
    char buffer[4];
    EXPECT_EQ(base().getdata(nullptr, "Missing", REG_SZ, buffer, sizeof buffer, "abcdef", 0), 4);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(base().getdata(nullptr, "Missing", REG_BINARY, buffer, sizeof buffer, "xyz", 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "xy");
    EXPECT_EQ(
        base().getdata(nullptr, "Missing", REG_BINARY, buffer, sizeof buffer, "longer than four", 16), 4)
        << "a default never passes the buffer";
    char untouched = 'u';
    EXPECT_EQ(base().getdata(nullptr, "Missing", REG_SZ, &untouched, 0, "text", 0), 0);
    EXPECT_EQ(untouched, 'u') << "nothing is copied into a buffer of size 0";
    EXPECT_EQ(base().getdata(nullptr, "Missing", REG_SZ, buffer, sizeof buffer, nullptr, 0), -1);

    char text[40];
    EXPECT_EQ(base().getstr(nullptr, "MachineOnly", text, sizeof text, "default"), 17)
        << "the machine's value comes before the default";
    EXPECT_EQ(base().getdata(nullptr, "MachineOnly", REG_BINARY, text, sizeof text, nullptr, 0), -1)
        << "another type counts as missing";
    EXPECT_EQ(base().getdata(nullptr, "MachineOnly", REG_SZ, text, 5, "dflt", 0), 5)
        << "a value larger than the buffer counts as missing";
    EXPECT_STREQ(text, "dflt");
}

TEST_F(Registry, EnumerationGivesTypeLettersAndBareKeyNames)
{
    ASSERT_EQ(reg_putstr("List", "text", "t"), 1);
    ASSERT_EQ(reg_putbin("List", "blob", "b", 1), 1);
    ASSERT_EQ(reg_putval("List", "number", 3), 1);
    ASSERT_EQ(base().putdata("List", "texts", REG_MULTI_SZ, "a\0", 3), 1);
    ASSERT_EQ(base().putdata("List", "other", 11, "", 0), 1);
    ASSERT_EQ(registry.createkey("List\\Child"), 1);
    std::vector<std::string> values, keys;
    for (char* name = reg_enumfirst("List", 0); name; name = reg_enumnext())
        values.push_back(name);
    EXPECT_EQ(values, (std::vector<std::string> { "bblob", "dnumber", "?other", "stext", "mtexts" }));
    for (char* name = reg_enumfirst("\\List", 1); name; name = reg_enumnext())
        keys.push_back(name);
    EXPECT_EQ(keys, std::vector<std::string> { "Child" });
    EXPECT_EQ(reg_enumnext(), nullptr);

    values.clear();
    for (char* name = reg_enumfirst("Defaults", 0); name; name = reg_enumnext())
        values.push_back(name);
    EXPECT_EQ(values, std::vector<std::string> { "dWidth" })
        << "a key missing for the user is listed from the machine";
    EXPECT_EQ(reg_enumfirst("Nowhere", 0), nullptr);
}

TEST_F(Registry, RemovingAKeyRemovesItsSubtree)
{
    for (const char* key : { "Tree\\a\\deep\\deeper", "Tree\\b", "Tree\\a\\other" })
        ASSERT_EQ(reg_putstr(key, "v", "1"), 1) << key;
    ASSERT_EQ(reg_putstr(nullptr, "Kept", "yes"), 1);
    EXPECT_EQ(reg_removekey("Tree"), 1);
    EXPECT_EQ(reg_enumfirst("Tree", 1), nullptr);
    char text[8];
    EXPECT_EQ(reg_getstr("Tree\\b", "v", text, sizeof text), -1);
    EXPECT_EQ(reg_getstr(nullptr, "Kept", text, sizeof text), 4);
    EXPECT_EQ(reg_removekey("Tree"), 0) << "nothing left to remove";
}

TEST_F(Registry, AKeyWhoseSubkeyCannotBeRemovedStays)
{
    // A hand-edited hive with a subkey name too long to enumerate.
    std::ofstream(folder / "user.reg")
        << "VKT registry hive 1\n[Software\\Maker\\App\\Stuck\\" << std::string(120, 'n')
        << "]\n[Software\\Maker\\App\\Stuck]\n\"v\"=sz:\"kept\"\n";
    EXPECT_EQ(reg_removekey("Stuck"), 0);
    char text[8];
    EXPECT_EQ(reg_getstr("Stuck", "v", text, sizeof text), 5);
}

TEST_F(Registry, PropertyListsRoundTrip)
{
    PROPLIST list(0, 1);
    list.add("Name", "R10");
    list.add("Value", "4k7");
    list.add("Empty", "");
    ASSERT_EQ(reg_putstr("Props", "Stale", "gone after the write"), 1);
    ASSERT_EQ(reg_putbin("Props", "Binary", "x", 1), 1);
    EXPECT_EQ(reg_putproplist("Props", list), 3);

    PROPLIST back(0, 1);
    EXPECT_EQ(reg_getproplist("Props", back), 3);
    EXPECT_EQ(back.equals(list), 1);
    EXPECT_EQ(back["Stale"], nullptr);

    PROPLIST empty(0, 1);
    EXPECT_EQ(reg_putproplist("Props", empty), 0);
    EXPECT_EQ(reg_enumfirst("Props", 0), nullptr) << "the key is deleted";
}

TEST_F(Registry, StoredTextsWithoutTerminatorStillEnd)
{
    ASSERT_EQ(base().putdata("Raw", "name", REG_SZ, "abc", 3), 1);
    PROPLIST list(0, 1);
    EXPECT_EQ(reg_getproplist("Raw", list), 1);
    EXPECT_STREQ(list["name"], "abc");
}

TEST_F(Registry, NumbersFlagsAndColours)
{
    unsigned long number = 99;
    EXPECT_EQ(reg_getval(nullptr, "n", &number), 0);
    EXPECT_EQ(number, 99u) << "left alone when missing";
    EXPECT_EQ(reg_putval(nullptr, "n", 0xfffffffe), 1);
    EXPECT_EQ(reg_getval(nullptr, "n", &number), 1);
    EXPECT_EQ(number, 0xfffffffeu);
    EXPECT_EQ(reg_putbool(nullptr, "flag", 7), 1);
    EXPECT_EQ(reg_getbool(nullptr, "flag", 0), 1);
    EXPECT_EQ(reg_getdw(nullptr, "flag", 5), 1u);
    EXPECT_EQ(reg_getbool(nullptr, "absent", 1), 1);
    EXPECT_EQ(reg_getrgb(nullptr, "colour", RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(reg_putstr(nullptr, "text", "12"), 1);
    EXPECT_EQ(reg_getdw(nullptr, "text", 5), 5u) << "a text is no number";
    EXPECT_EQ(reg_size(nullptr, "text"), 3);
    EXPECT_EQ(reg_size(nullptr, "absent"), 0);
    EXPECT_EQ(reg_getsize(nullptr, "absent"), -1);
}

TEST_F(Registry, RootsKeysAndSharing)
{
    EXPECT_EQ(registry.createsharedkey("Shared\\Key"), 1);
    EXPECT_NE(reg_enumfirst("Shared", 1), nullptr);
    EXPECT_EQ(registry.createkey(std::string(REGISTRY_PATHMAX, 'k').c_str()), 0) << "a path past the bound";

    EXPECT_EQ(reg_setrootkey(HKEY_LOCAL_MACHINE), REGISTRY_USERTHENMACHINE);
    char text[40];
    EXPECT_EQ(reg_getstr(nullptr, "MachineOnly", text, sizeof text), 17);
    EXPECT_EQ(reg_putstr(nullptr, "x", "y"), 0) << "the machine hive is read only";
    EXPECT_EQ(reg_setrootkey(HKEY_CURRENT_USER), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg_getstr(nullptr, "MachineOnly", text, sizeof text), -1);
    EXPECT_EQ(reg_setrootkey(REGISTRY_USERTHENMACHINE), HKEY_CURRENT_USER);
}

TEST_F(Registry, WithoutARegistryObjectNothingIsTouched)
{
    context.registry = nullptr;
    char text[8] = "same";
    PROPLIST list(0, 1);
    EXPECT_EQ(reg_putstr(nullptr, "v", "x"), 0);
    EXPECT_EQ(reg_getstr(nullptr, "MachineOnly", text, sizeof text), -1);
    EXPECT_STREQ(text, "same");
    EXPECT_EQ(reg_getbin(nullptr, "v", text, sizeof text), -1);
    EXPECT_EQ(reg_getsize(nullptr, "MachineOnly"), -1);
    EXPECT_EQ(reg_removekey(nullptr), 0);
    EXPECT_EQ(reg_getproplist(nullptr, list), 0);
    EXPECT_EQ(reg_putproplist(nullptr, list), 0);
    EXPECT_FALSE(fs::exists(folder / "user.reg"));

    EXPECT_EQ(reg_init(REGISTRY_USERTHENMACHINE, basepath), 1);
    ASSERT_NE(context.registry, nullptr);
    EXPECT_EQ(reg_getstr(nullptr, "MachineOnly", text, sizeof text), -1) << "17 bytes do not fit in 8";
    reg_term();
    EXPECT_EQ(context.registry, nullptr);
}
