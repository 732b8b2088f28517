#include "core/files/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class Folders : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    std::string win(const std::string& relative) const
    {
        return towindowspath(folder.string()) + "\\" + relative;
    }

    void touch(const fs::path& relative) const
    {
        fs::create_directories((folder / relative).parent_path());
        std::ofstream(folder / relative) << "x";
    }

    fs::path folder;
};

} // namespace

TEST_F(Folders, MakesEveryMissingLevel)
{
    fs::create_directory(folder / "x");
    EXPECT_EQ(mkpath(win("X\\y\\z").c_str()), 0) << "an existing level found in any case";
    EXPECT_TRUE(fs::is_directory(folder / "x" / "y" / "z"));
    EXPECT_EQ(mkpath(win("x\\y\\z").c_str()), -1) << "exists already";
    EXPECT_EQ(mkpath(win("a\\b\\").c_str()), 0) << "a trailing separator ends no extra level";
    EXPECT_TRUE(fs::is_directory(folder / "a" / "b"));
    EXPECT_EQ(mkpath(win("c\\\\d").c_str()), 0) << "empty levels are passed over";
    EXPECT_TRUE(fs::is_directory(folder / "c" / "d"));
    for (const char* none : { "", "\\", "C:", "C:\\" })
        EXPECT_EQ(mkpath(none), -1) << none;
}

TEST_F(Folders, EmptiesFilesAndOptionallySubfolders)
{
    touch("top/one.txt");
    touch("top/.a");
    touch("top/.abc");
    touch("top/sub/deeper/file");
    EXPECT_EQ(rmpath(win("top").c_str(), 0), -1) << "the subfolder is kept";
    EXPECT_FALSE(fs::exists(folder / "top" / "one.txt"));
    EXPECT_FALSE(fs::exists(folder / "top" / ".a"));
    EXPECT_FALSE(fs::exists(folder / "top" / ".abc"));
    EXPECT_TRUE(fs::exists(folder / "top" / "sub" / "deeper" / "file"));

    EXPECT_EQ(rmpath(win("TOP\\").c_str(), 1), 0);
    EXPECT_TRUE(fs::is_directory(folder / "top"));
    EXPECT_TRUE(fs::is_empty(folder / "top"));
    EXPECT_EQ(rmpath(win("top").c_str(), 1), 0) << "an empty folder";
    EXPECT_EQ(rmpath(win("missing").c_str(), 1), 0);
}

TEST_F(Folders, LinksAreRemovedNeverFollowed)
{
    touch("outside/keep.txt");
    touch("outside/inner/keep.txt");
    touch("run/own.txt");
    fs::create_directory_symlink(folder / "outside", folder / "run" / "linked");
    fs::create_symlink(folder / "outside" / "keep.txt", folder / "run" / "file-link");
    EXPECT_EQ(rmpath(win("run").c_str(), 1), 0);
    EXPECT_TRUE(fs::is_empty(folder / "run"));
    EXPECT_TRUE(fs::exists(folder / "outside" / "keep.txt"));
    EXPECT_TRUE(fs::exists(folder / "outside" / "inner" / "keep.txt"));
}

TEST_F(Folders, ASemicolonBelongsToTheFolderName)
{
    touch("a/precious.txt");
    touch("a;b/scratch.txt");
    EXPECT_EQ(rmpath(win("a;b").c_str(), 1), 0);
    EXPECT_FALSE(fs::exists(folder / "a;b" / "scratch.txt"));
    EXPECT_TRUE(fs::exists(folder / "a" / "precious.txt"));

    touch("current/sentinel");
    ASSERT_EQ(chdir((folder / "current").c_str()), 0);
    EXPECT_EQ(rmpath("", 1), 0);
    EXPECT_TRUE(fs::exists(folder / "current" / "sentinel"))
        << "an empty path never empties the current folder";
}
