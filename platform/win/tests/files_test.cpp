#include "platform/win/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A folder of the test as POSIX path and as the Windows text that the core passes around.
struct Folder {
    explicit Folder(const char* name)
        : posix(vkt::test::makeTempSubfolder(name))
        , windows(towindowspath(posix))
    {
    }
    std::string win(const std::string& relative) const { return windows + "\\" + relative; }
    fs::path posix;
    std::string windows;
};

void touch(const fs::path& file, const std::string& text = "x")
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

} // namespace

TEST(PathBoundary, ConvertsWindowsTexts)
{
    struct {
        const char* windows;
        const char* posix;
    } cases[] = {
        { "C:\\a\\b.txt", "/a/b.txt" },
        { "c:a\\b", "a/b" },
        { "C:", "." },
        { "\\\\srv\\share", "//srv/share" },
        { "dir/with\\both", "dir/with/both" },
        { "", "" },
        { "1:x", "1:x" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(toposixpath(c.windows), c.posix) << c.windows;
    EXPECT_EQ(towindowspath("/a/b"), "\\a\\b");
}

TEST(PathBoundary, FindsExistingFilesInAnyCase)
{
    Folder dir("find");
    touch(dir.posix / "models" / "x.lib");
    touch(dir.posix / "Same" / "one");
    touch(dir.posix / "SAME" / "two");

    EXPECT_EQ(findexistingpath(dir.win("MODELS\\X.LIB").c_str()), (dir.posix / "models" / "x.lib").string());
    EXPECT_EQ(
        findexistingpath(dir.win("Models\\.\\x.LIB").c_str()), (dir.posix / "models" / "./x.lib").string());
    EXPECT_EQ(findexistingpath(dir.win("same\\ONE").c_str()), (dir.posix / "Same" / "one").string());
    EXPECT_EQ(findexistingpath(dir.win("same\\TWO").c_str()), (dir.posix / "SAME" / "two").string());
    EXPECT_EQ(findexistingpath(dir.win("MODELS\\Y.LIB").c_str()), "");
    EXPECT_EQ(pathforwriting(dir.win("MODELS\\X.LIB").c_str()), (dir.posix / "models" / "x.lib").string());
    EXPECT_EQ(pathforwriting(dir.win("MODELS\\NEW\\A.TXT").c_str()),
        (dir.posix / "models" / "NEW" / "A.TXT").string());
}

TEST(PathBoundary, OpensAndCreatesThroughWindowsNames)
{
    Folder dir("open");
    touch(dir.posix / "lib" / "amp.lib", "old");
    FILE* f = fopenpath(dir.win("LIB\\AMP.LIB").c_str(), "rt");
    ASSERT_NE(f, nullptr);
    char text[8] = {};
    EXPECT_EQ(fread(text, 1, sizeof text - 1, f), 3u);
    EXPECT_STREQ(text, "old");
    fclose(f);

    f = fopenpath(dir.win("LIB\\AMP.LIB").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("new", f);
    fclose(f);
    EXPECT_EQ(std::set<fs::path>(fs::directory_iterator(dir.posix / "lib"), {}),
        std::set<fs::path> { dir.posix / "lib" / "amp.lib" });
    EXPECT_EQ(fopenpath(dir.win("LIB\\MISSING").c_str(), "r"), nullptr);

    EXPECT_EQ(_access(dir.win("Lib\\Amp.Lib").c_str(), 0), 0);
    EXPECT_EQ(_access(dir.win("LIB").c_str(), 0), 0);
    EXPECT_EQ(_access(dir.win("nothing").c_str(), 0), -1);
    EXPECT_EQ(_mkdir(dir.win("LIB").c_str()), -1);
    EXPECT_EQ(_mkdir(dir.win("Lib\\Sub").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(dir.posix / "lib" / "Sub"));
    EXPECT_EQ(_rmdir(dir.win("LIB\\SUB").c_str()), 0);
    EXPECT_EQ(_unlink(dir.win("LIB\\AMP.LIB").c_str()), 0);
    EXPECT_EQ(_unlink(dir.win("LIB\\AMP.LIB").c_str()), -1);
}

TEST(PathBoundary, ListsFoldersWithoutFollowingLinks)
{
    Folder dir("list");
    Folder outside("list-outside");
    touch(dir.posix / "a.txt", "12345");
    touch(dir.posix / "README");
    fs::create_directory(dir.posix / "sub");
    fs::create_directory_symlink(outside.posix, dir.posix / "link");

    std::map<std::string, DWORD> seen;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(dir.win("*.*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        seen[data.cFileName] = data.dwFileAttributes;
        if (std::string(data.cFileName) == "a.txt") {
            EXPECT_EQ(data.nFileSizeLow, 5u);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);

    EXPECT_EQ(seen.size(), 6u);
    EXPECT_TRUE(seen["."] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(seen[".."] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(seen["sub"] & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(seen["link"] & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
        FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(seen["README"], FILE_ATTRIBUTE_NORMAL);

    find = FindFirstFileA(dir.win("*.TXT").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "a.txt");
    EXPECT_FALSE(FindNextFileA(find, &data));
    FindClose(find);
    find = FindFirstFileA(dir.win("A.TXT").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "a.txt");
    FindClose(find);
    EXPECT_EQ(FindFirstFileA(dir.win("*.none").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA(dir.win("missing\\*.*").c_str(), &data), INVALID_HANDLE_VALUE);
}

TEST(PathBoundary, FullPathNames)
{
    Folder dir("full");
    ASSERT_EQ(chdir(dir.posix.c_str()), 0);
    struct {
        const char* name;
        std::string full;
    } cases[] = {
        { "a.txt", dir.windows + "\\a.txt" },
        { "sub\\..\\b\\.\\c", dir.windows + "\\b\\c" },
        { "\\x\\y\\..\\z", "\\x\\z" },
        { "C:\\x/y", "C:\\x\\y" },
        { "\\..\\..", "\\" },
        { "\\\\srv\\share\\f", "\\\\srv\\share\\f" },
        { "dir\\", dir.windows + "\\dir\\" },
    };
    for (const auto& c : cases) {
        char buffer[517];
        char* part = nullptr;
        DWORD n = GetFullPathNameA(c.name, sizeof buffer, buffer, &part);
        EXPECT_EQ(std::string(buffer), c.full) << c.name;
        EXPECT_EQ(n, c.full.size()) << c.name;
    }
    char small[4];
    EXPECT_EQ(GetFullPathNameA("\\abcdef", sizeof small, small, nullptr), 8u);
    EXPECT_EQ(GetFullPathNameA("", sizeof small, small, nullptr), 0u);
    char buffer[517];
    char* part = nullptr;
    GetFullPathNameA("\\x\\name.txt", sizeof buffer, buffer, &part);
    EXPECT_STREQ(part, "name.txt");
}
