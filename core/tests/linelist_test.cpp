#include "core/containers/linelist.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/temp_folder.h"

namespace {

using Lines = std::vector<std::pair<std::string, int>>; // text ("<blank>" for a placeholder), width

Lines lines(const LINELIST& list)
{
    Lines result;
    for (const LINELIST::LINE* line = list.first(); line; line = LINELIST::following(line))
        result.emplace_back(line->text ? line->text : "<blank>", line->width);
    return result;
}

std::string text(const LINELIST& list, int max = -1)
{
    std::string buffer(static_cast<size_t>(max == -1 ? list.textsize() : max), '#');
    list.gettext(buffer.data(), max);
    return buffer.c_str();
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

} // namespace

TEST(LINELIST, SettextSplitsAtEveryNewline)
{
    struct Case {
        const char* text;
        Lines expected;
    };
    const Case cases[] = {
        { "a\n\nb", { { "a", 1 }, { "", 0 }, { "b", 1 } } },
        { "a\n", { { "a", 1 } } },
        { "ab\ncde\n", { { "ab", 2 }, { "cde", 3 } } },
        { "\n", { { "", 0 } } },
        { "", {} },
        { nullptr, {} },
    };
    for (const Case& c : cases) {
        LINELIST list(c.text);
        EXPECT_EQ(lines(list), c.expected) << (c.text ? c.text : "(null)");
    }
    LINELIST list("old\nlines");
    list.settext("new");
    EXPECT_EQ(lines(list), (Lines { { "new", 3 } }));
}

TEST(LINELIST, GettextLeavesOutLinesThatDoNotFit)
{
    LINELIST list("a\nbc");
    EXPECT_EQ(list.textsize(), 6);
    EXPECT_EQ(text(list), "a\nbc\n");
    EXPECT_EQ(text(list, 6), "a\nbc\n");
    EXPECT_EQ(text(list, 5), "a\n");
    EXPECT_EQ(text(list, 4), "a\n");
    EXPECT_EQ(text(list, 1), "");
    LINELIST longFirst("abcdef\ng");
    EXPECT_EQ(text(longFirst, 5), "g\n") << "a later line that fits is still written";
    EXPECT_EQ(text(LINELIST()), "");
}

TEST(LINELIST, InsertWidensFromTheNewLineDown)
{
    LINELIST list("hello");
    LINELIST::LINE* added = list.insert("ab", list.first());
    EXPECT_EQ(added, list.first());
    EXPECT_EQ(lines(list), (Lines { { "ab", 5 }, { "hello", 5 } }));

    LINELIST rows("abcd\nx\nyz");
    rows.insert("q", LINELIST::following(rows.first()));
    EXPECT_EQ(lines(rows), (Lines { { "abcd", 4 }, { "q", 1 }, { "x", 2 }, { "yz", 2 } }));
    rows.insert(nullptr, nullptr);
    EXPECT_EQ(lines(rows).back(), (std::pair<std::string, int> { "", 0 }));
}

TEST(LINELIST, RemoveWidensTheLinesBelowAndPlaceholdersStayOutOfTheText)
{
    LINELIST list("abc\nd\nef");
    list.remove(list.first(), 1);
    EXPECT_EQ(lines(list), (Lines { { "d", 3 }, { "ef", 2 }, { "<blank>", 2 } }));
    EXPECT_EQ(list.count(), 2);
    int n = -1, longest = -1;
    list.getextent(&n, &longest);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(longest, 2);
    EXPECT_EQ(text(list), "d\nef\n");
    EXPECT_EQ(list.textsize(), 6);

    LINELIST plain("abc\nd\nef");
    plain.remove(LINELIST::following(plain.first()), 0);
    EXPECT_EQ(lines(plain), (Lines { { "abc", 3 }, { "ef", 2 } }));
    plain.remove(nullptr, 1);
    EXPECT_EQ(plain.DLIST_BASE::count(), 2);

    LINELIST empty;
    empty.getextent(&n, &longest);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(longest, 0);
}

TEST(LINELIST, SaveAndLoadRoundTrip)
{
    auto folder = vkt::test::makeTempSubfolder("linelist");
    auto path = folder / "lines.txt";
    LINELIST list("first\n\nthird");
    list.remove(list.first(), 1);
    list.insert("zero", list.first());
    ASSERT_EQ(list.save(path.c_str()), 1);
    EXPECT_EQ(readFile(path), "zero\n\nthird\n");

    LINELIST loaded("kept");
    ASSERT_EQ(loaded.load(path.c_str()), 1);
    EXPECT_EQ(lines(loaded), (Lines { { "kept", 4 }, { "zero", 4 }, { "", 0 }, { "third", 5 } }));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary file left";
}

TEST(LINELIST, LoadCutsLongLinesAndCopesWithDamage)
{
    auto folder = vkt::test::makeTempSubfolder("linelist-load");
    std::string exact(8191, 'x');
    std::string longer(8192, 'y');
    writeFile(folder / "long.txt", exact + "\n" + longer + "\n");
    LINELIST list;
    ASSERT_EQ(list.load((folder / "long.txt").c_str()), 1);
    Lines expected { { exact, 8191 }, { std::string(8191, 'y'), 8191 }, { "y", 1 } };
    EXPECT_EQ(lines(list), expected);

    writeFile(folder / "damaged.txt", std::string("dos\r\nline\rcr\nnul\0led\nno end\r", 28));
    LINELIST damaged;
    ASSERT_EQ(damaged.load((folder / "damaged.txt").c_str()), 1);
    EXPECT_EQ(
        lines(damaged), (Lines { { "dos", 3 }, { "line\rcr", 7 }, { "nulled", 6 }, { "no end\r", 7 } }));

    LINELIST untouched("a");
    EXPECT_EQ(untouched.load((folder / "missing.txt").c_str()), 0);
    EXPECT_EQ(untouched.load(folder.c_str()), 0) << "a folder is not a line file";
    EXPECT_EQ(lines(untouched), (Lines { { "a", 1 } }));
}

TEST(LINELIST, FailedSaveLeavesTheOldFileWhole)
{
    auto folder = vkt::test::makeTempSubfolder("linelist-save");
    auto path = folder / "kept.txt";
    writeFile(path, "old\n");
    ::chmod(path.c_str(), 0640);
    LINELIST list("new");
    EXPECT_EQ(list.save((folder / "no-such-folder" / "x.txt").c_str()), 0);
    std::filesystem::create_directory(folder / "a-folder");
    EXPECT_EQ(list.save((folder / "a-folder").c_str()), 0);
    EXPECT_EQ(readFile(path), "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "no temporary file left";

    ASSERT_EQ(list.save(path.c_str()), 1);
    EXPECT_EQ(readFile(path), "new\n");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
            | std::filesystem::perms::group_read);

    auto link = folder / "link.txt";
    std::filesystem::create_symlink(path, link);
    LINELIST other("through the link");
    ASSERT_EQ(other.save(link.c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(path), "through the link\n");
}
