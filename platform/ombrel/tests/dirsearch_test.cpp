#include "platform/ombrel/dirsearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

void touch(const fs::path& file, int secondsago)
{
    std::ofstream(file) << file.filename().string();
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(secondsago));
}

std::vector<std::string> names(DIRSEARCH& search, int found)
{
    std::vector<std::string> out;
    for (; found; found = search.findnext())
        out.push_back(search.name());
    return out;
}

TEST(Dirsearch, ListsMatchesAndSortsOldestFirstStable)
{
    const fs::path folder = vkt::test::makeTempSubfolder("dirsearch");
    touch(folder / "s [1].vktprj", 30);
    touch(folder / "s [2].vktprj", 10);
    touch(folder / "s [3].vktprj", 50);
    touch(folder / "other.vktprj", 40);
    fs::create_directory(folder / "s [d].vktprj");
    const auto same = fs::last_write_time(folder / "s [2].vktprj");
    fs::last_write_time(folder / "s [d].vktprj", same);

    DIRSEARCH search;
    const int found = search.findfirst(folder.c_str(), "S [?].VKTPRJ");
    ASSERT_EQ(found, 1);
    std::vector<std::string> listed = names(search, found);
    EXPECT_EQ(listed.size(), 4u);

    search.findfirst(folder.c_str(), "s [?].vktprj");
    const std::vector<std::string> inorder = names(search, 1);
    const std::vector<std::string> sorted = names(search, search.sortbytime());
    ASSERT_EQ(sorted.size(), 4u);
    EXPECT_EQ(sorted[0], "s [3].vktprj");
    EXPECT_EQ(sorted[1], "s [1].vktprj");
    // Equal times keep the folder's own order.
    const auto pos2 = std::find(inorder.begin(), inorder.end(), "s [2].vktprj");
    const auto posd = std::find(inorder.begin(), inorder.end(), "s [d].vktprj");
    EXPECT_EQ(sorted[2], pos2 < posd ? "s [2].vktprj" : "s [d].vktprj");
    EXPECT_EQ(search.findnext(), 0); // stays at the end
    EXPECT_EQ(search.findnext(), 0);

    DIRSEARCH copy(search);
    EXPECT_EQ(copy.sortbytime(), 1);
    EXPECT_STREQ(copy.name(), "s [3].vktprj");
}

TEST(Dirsearch, BadArgumentsAndMissingFoldersFindNothing)
{
    const fs::path folder = vkt::test::makeTempSubfolder("dirsearch-bad");
    touch(folder / "a.txt", 0);
    touch(folder / "aba", 0);
    touch(folder / "abab", 0);
    touch(folder / "x [1].txt", 0);
    touch(folder / "x a1].txt", 0);
    DIRSEARCH search;
    // A star retries further on; brackets stand for themselves.
    EXPECT_EQ(names(search, search.findfirst(folder.c_str(), "*a")), std::vector<std::string> { "aba" });
    EXPECT_EQ(names(search, search.findfirst(folder.c_str(), "X [?].TXT")),
        std::vector<std::string> { "x [1].txt" });
    EXPECT_EQ(search.findfirst((folder / "gone").c_str(), "*"), 0);
    EXPECT_EQ(search.findfirst(folder.c_str(), "sub/*.txt"), 0);
    EXPECT_EQ(search.findfirst(folder.c_str(), "..\\*.txt"), 0);
    EXPECT_EQ(search.findfirst(nullptr, "*"), 0);
    EXPECT_EQ(search.findfirst(folder.c_str(), nullptr), 0);
    const std::string longfolder = folder.string() + "/" + std::string(DIRSEARCH::maxpath, 'x');
    EXPECT_EQ(search.findfirst(longfolder.c_str(), "*"), 0);
    EXPECT_EQ(search.findfirst(folder.c_str(), std::string(DIRSEARCH::maxpath + 1, '*').c_str()), 0);
    EXPECT_EQ(search.sortbytime(), 0);
    EXPECT_EQ(search.findfirst(folder.c_str(), "A.*"), 1);
    EXPECT_STREQ(search.name(), "a.txt");
}

} // namespace
