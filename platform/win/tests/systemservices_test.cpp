#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/dostime.h"
#include "platform/win/inifile.h"
#include "platform/win/pathboundary.h"
#include "platform/win/userfolders.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

TEST(DosTime, ConvertsBothWaysWithinTheDosRange)
{
    struct Case {
        WORD date, time;
        const char* text;
    };
    // 2024-01-02 10:11:12, 1980-01-01 00:00:00, 2107-12-31 23:59:58, a leap day.
    const Case cases[] = {
        { (44 << 9) | (1 << 5) | 2, (10 << 11) | (11 << 5) | 6, "2024-01-02" },
        { (0 << 9) | (1 << 5) | 1, 0, "1980-01-01" },
        { (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29, "2107-12-31" },
        { (20 << 9) | (2 << 5) | 29, 0, "2000-02-29" },
    };
    for (const Case& c : cases) {
        FILETIME time {};
        ASSERT_TRUE(DosDateTimeToFileTime(c.date, c.time, &time)) << c.text;
        WORD date = 0, dostime = 0;
        ASSERT_TRUE(FileTimeToDosDateTime(&time, &date, &dostime)) << c.text;
        EXPECT_EQ(date, c.date) << c.text;
        EXPECT_EQ(dostime, c.time) << c.text;
        FILETIME local {}, back {};
        ASSERT_TRUE(FileTimeToLocalFileTime(&time, &local));
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
        EXPECT_EQ(back.dwLowDateTime, time.dwLowDateTime) << c.text;
    }
    // 1970-01-01 00:00:01 in file time: before DOS time began.
    const uint64_t early = 116444736000000000ull + 10000000ull;
    const FILETIME before { static_cast<DWORD>(early), static_cast<DWORD>(early >> 32) };
    WORD date = 0, time = 0;
    EXPECT_FALSE(FileTimeToDosDateTime(&before, &date, &time));
    FILETIME untouched { 7, 7 };
    EXPECT_FALSE(DosDateTimeToFileTime((44 << 9) | (13 << 5) | 1, 0, &untouched)); // month 13
    EXPECT_FALSE(DosDateTimeToFileTime((45 << 9) | (2 << 5) | 29, 0, &untouched)); // 2025-02-29
    EXPECT_FALSE(DosDateTimeToFileTime((44 << 9) | (1 << 5) | 1, 24 << 11, &untouched));
    EXPECT_FALSE(DosDateTimeToFileTime((44 << 9) | (1 << 5) | 1, 30, &untouched)); // second 60
    EXPECT_EQ(untouched.dwLowDateTime, 7u);

    // Seconds since 1970 go to the even second below and back.
    time_t odd = 1709647629, back = 0;
    ASSERT_TRUE(unixtimeof(dosdatetimeof(odd), &back));
    EXPECT_EQ(back, odd - 1);
    EXPECT_EQ(dosdatetimeof(1), 0u);
    EXPECT_FALSE(unixtimeof(0, &back));
    EXPECT_EQ(back, odd - 1);
}

class UserFolders : public testing::Test {
protected:
    void SetUp() override
    {
        cache = vkt::test::makeTempSubfolder("userfolders-cache");
        unsetenv("XDG_RUNTIME_DIR");
        setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    }
    fs::path cache;
};

TEST_F(UserFolders, TemporaryFolderIsTheUsersOwnAndPrivate)
{
    char path[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(path[length - 1], '\\');
    const fs::path folder = cache / "vkt" / "tmp";
    EXPECT_EQ(toposixpath(path), folder.string() + "/");
    struct stat status;
    ASSERT_EQ(stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    char tiny[4];
    EXPECT_EQ(GetTempPathA(sizeof tiny, tiny), length + 1);

    // Opened up by someone: closed again. A link in its place: refused.
    fs::permissions(folder, fs::perms::all);
    ASSERT_GT(GetTempPathA(MAX_PATH, path), 0u);
    ASSERT_EQ(stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    fs::remove(folder);
    fs::create_directory_symlink(cache, folder);
    EXPECT_EQ(GetTempPathA(MAX_PATH, path), 0u);
}

TEST_F(UserFolders, KnownFoldersFollowTheDesktopSettings)
{
    char path[MAX_PATH];
    setenv("XDG_DOCUMENTS_DIR", "/srv/docs", 1);
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path), S_OK);
    EXPECT_STREQ(path, "\\srv\\docs");
    unsetenv("XDG_DOCUMENTS_DIR");
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path), S_OK);
    EXPECT_EQ(toposixpath(path), std::string(std::getenv("HOME")) + "/Documents");
    setenv("XDG_DATA_HOME", "/data", 1);
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path), S_OK);
    EXPECT_STREQ(path, "\\data");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(SHGetFolderPathA(nullptr, 0x1A, nullptr, 0, path), E_INVALIDARG);
}

TEST(IniFile, ReadsTheLaunchFileAsTheSystemDoes)
{
    const fs::path file = vkt::test::makeTempSubfolder("ini") / "quarnel.ini";
    std::ofstream(file)
        << "; launch\n[Other]\nDESIGNFILE=wrong\n[ corvane ]\r\n designfile = \"C:\\a b.vkt\" \r\n"
        << "CLOCK=4MHz\n";
    const std::string windows = towindowspath(file.parent_path().string()) + "\\QUARNEL.INI";
    char value[32];
    EXPECT_EQ(
        GetPrivateProfileStringA("CORVANE", "DESIGNFILE", "None", value, sizeof value, windows.c_str()), 10u);
    EXPECT_STREQ(value, "C:\\a b.vkt");
    EXPECT_EQ(GetPrivateProfileStringA("CORVANE", "CLOCK", "None", value, 3, windows.c_str()), 2u);
    EXPECT_STREQ(value, "4M");
    EXPECT_EQ(
        GetPrivateProfileStringA("CORVANE", "PROGRAM", "None", value, sizeof value, windows.c_str()), 4u);
    EXPECT_STREQ(value, "None");
    EXPECT_EQ(
        GetPrivateProfileStringA("CORVANE", "CLOCK", nullptr, value, sizeof value, "C:\\missing.ini"), 0u);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(GetPrivateProfileStringA("CORVANE", "CLOCK", "None", value, sizeof value,
                  towindowspath(file.parent_path().string()).c_str()),
        4u); // a folder is no ini file
}

} // namespace
