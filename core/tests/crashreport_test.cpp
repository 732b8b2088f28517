#include "core/windows/crashreport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/files/paths.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"
#include "platform/win/system.h"
#include "platform/win/winreg.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string readfile(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void setdumplevel(DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Venthorne\\Debug", 0, nullptr, 0, KEY_WRITE,
                  nullptr, &key, nullptr),
        0);
    ASSERT_EQ(RegSetValueExA(key, "DumpLevel", 0, type, static_cast<const BYTE*>(data), size), 0);
    RegCloseKey(key);
}

// A record of the test's own, its reports under the test's folder.
class CrashReport : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
        setenv("VKT_REGISTRY_DIR", (folder / "registry").c_str(), 1);
        reports = folder / "state" / "Venthorne" / "Reports";
    }

    fs::path folder;
    fs::path reports;
    CRASHREPORT record {};
};

} // namespace

TEST_F(CrashReport, SetUpPreparesFolderNamesAndDumpLevel)
{
    fs::create_directories(reports);
    std::ofstream(reports / "logfile.txt") << "left from the last run";
    initcrashreports(record);
    EXPECT_EQ(std::string(record.reportsfolder),
        towindowspath((folder / "state").string()) + "\\Venthorne\\Reports\\");
    EXPECT_TRUE(fs::is_directory(reports));
    EXPECT_FALSE(fs::exists(reports / "logfile.txt"));
    EXPECT_EQ(std::string(record.logfile), std::string(record.reportsfolder) + "logfile.txt");
    EXPECT_STREQ(record.prefix, "core");
    EXPECT_STREQ(record.commenthead, "core_tests/2_5_17_300/");
    EXPECT_EQ(record.dumplevel, DEFAULTDUMPLEVEL);

    struct {
        DWORD type;
        std::vector<BYTE> data;
        uint32_t level;
    } levels[] = {
        { REG_DWORD, { 2, 0, 0, 0 }, 2 },
        { REG_DWORD, { 0, 0, 0, 0x10 }, DEFAULTDUMPLEVEL },
        { REG_BINARY, { 2, 0, 0, 0 }, DEFAULTDUMPLEVEL },
        { REG_DWORD, { 2, 0 }, DEFAULTDUMPLEVEL },
    };
    for (const auto& l : levels) {
        setdumplevel(l.type, l.data.data(), static_cast<DWORD>(l.data.size()));
        initcrashreports(record);
        EXPECT_EQ(record.dumplevel, l.level);
    }
}

TEST_F(CrashReport, FatalTextsAreThrownFromTheRecord)
{
    try {
        throwfatal(record, 0x2A, "Cannot load '%s' (%d).", "model", 3);
        FAIL() << "returned";
    } catch (char* text) {
        EXPECT_EQ(text, record.text);
        EXPECT_STREQ(text, "Cannot load 'model' (3).");
    }
    EXPECT_EQ(record.code, 0x2Au);
    try {
        throwfatal(record, 1, nullptr);
    } catch (char* text) {
        EXPECT_STREQ(text, "");
    }
}

TEST_F(CrashReport, ReportsNameTheModuleAndTheOffset)
{
    initcrashreports(record);
    std::ofstream(reports / "logfile.txt") << "the run's log";
    auto address = reinterpret_cast<void*>(&GetModuleHandleA);
    HMODULE core = GetModuleHandleA("core");
    auto offset
        = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(core));
    record.code = 7;

    EXPECT_EQ(exceptionreport(record, EXCEPTION_ACCESS_VIOLATION, nullptr, address), 1);
    EXPECT_EQ(record.code, 0u);
    EXPECT_STREQ(record.modulename, "libcore.so");
    EXPECT_EQ(record.modulebase, reinterpret_cast<uintptr_t>(core));
    char expected[128];
    snprintf(expected, sizeof expected, "Internal Exception: access violation in module 'libcore.so' [%08X].",
        offset);
    EXPECT_STREQ(record.text, expected);

    std::vector<fs::path> logs, dumps;
    for (const auto& entry : fs::directory_iterator(reports))
        (entry.path().extension() == ".log" ? logs : dumps).push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(readfile(logs[0]), "the run's log");
    EXPECT_EQ(logs[0].stem(), dumps[0].stem());
    EXPECT_EQ(logs[0].stem().string().substr(0, 4), "core");
    snprintf(expected, sizeof expected, "core_tests/2_5_17_300/libcore_so/%08X/C0000005", offset);
    EXPECT_EQ(readfile(dumps[0]), expected);
}

TEST_F(CrashReport, EachCodeHasItsMessage)
{
    initcrashreports(record);
    auto* nowhere = reinterpret_cast<void*>(0x10);
    struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        { EXCEPTION_ACCESS_VIOLATION,
            "Internal Exception: access violation in module 'UNKNOWN' [00000010]." },
        { EXCEPTION_STACK_OVERFLOW, "Internal Exception: stack overflow in module 'UNKNOWN' [00000010]." },
        { EXCEPTION_FLT_DIVIDE_BY_ZERO,
            "Internal Exception: divide by zero in module 'UNKNOWN' [00000010]." },
        { EXCEPTION_INT_DIVIDE_BY_ZERO,
            "Internal Exception: divide by zero in module 'UNKNOWN' [00000010]." },
        { EXCEPTION_ILLEGAL_INSTRUCTION,
            "Internal Exception: SEH trap C000001D in module 'UNKNOWN' [00000010]." },
    };
    for (const auto& c : cases) {
        exceptionreport(record, c.code, nullptr, nowhere);
        EXPECT_STREQ(record.text, c.text);
    }
    EXPECT_EQ(record.modulebase, 0u);
}

TEST_F(CrashReport, WithoutAHomeReportsGoToAFolderOfTheUsersOwn)
{
    unsetenv("XDG_STATE_HOME");
    const char* home = getenv("HOME");
    const std::string kepthome = home ? home : "";
    unsetenv("HOME");
    setenv("TMPDIR", folder.c_str(), 1);
    const fs::path own = folder / ("vkt-" + std::to_string(getuid()));
    // One left open to everybody is closed again first.
    fs::create_directory(own);
    fs::permissions(own, fs::perms::all);
    initcrashreports(record);
    unsetenv("TMPDIR");
    if (home)
        setenv("HOME", kepthome.c_str(), 1);

    EXPECT_EQ(std::string(record.reportsfolder), towindowspath(own.string()) + "\\Venthorne\\Reports\\");
    EXPECT_TRUE(fs::is_directory(own / "Venthorne" / "Reports"));
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(CrashReport, ReportsAreNeverWrittenThroughALink)
{
    initcrashreports(record);
    const fs::path victim = folder / "victim";
    std::ofstream(victim) << "keep";
    // Links under every name a report may take in the next half second.
    const DWORD now = GetTickCount() >> 3;
    for (DWORD tick = now; tick < now + 64; ++tick) {
        char name[16];
        snprintf(name, sizeof name, "core%04x.dmp", tick & 0xFFFF);
        fs::create_symlink(victim, reports / name);
    }
    exceptionreport(record, EXCEPTION_ACCESS_VIOLATION, nullptr, reinterpret_cast<void*>(0x10));
    EXPECT_EQ(readfile(victim), "keep");
    int written = 0;
    for (const auto& entry : fs::directory_iterator(reports)) {
        if (entry.is_symlink())
            continue;
        ++written;
        EXPECT_EQ(readfile(entry.path()), "core_tests/2_5_17_300/UNKNOWN/00000010/C0000005");
        EXPECT_EQ(
            entry.status().permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
    }
    EXPECT_EQ(written, 1);
}

TEST_F(CrashReport, AStateFolderTooLongForItsReportsIsPassedOver)
{
    setenv("HOME", (folder / "home").c_str(), 1);
    const std::string fallback
        = towindowspath((folder / "home").string()) + "\\.local\\state\\Venthorne\\Reports\\";
    // The longest state folder whose report names still fit 516 characters, one longer, and one
    // that alone fills a path buffer.
    for (size_t length : { 485, 486, 517 }) {
        std::string state = folder.string();
        while (state.size() < length)
            state += (state.size() % 100 ? "x" : "/");
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        CRASHREPORT fresh {};
        initcrashreports(fresh);
        std::string expected = length <= 485 ? towindowspath(state) + "\\Venthorne\\Reports\\" : fallback;
        EXPECT_EQ(std::string(fresh.reportsfolder), expected) << length;
        EXPECT_EQ(std::string(fresh.logfile), expected + "logfile.txt") << length;
        EXPECT_TRUE(fs::is_directory(toposixpath(fresh.reportsfolder))) << length;
    }
}
