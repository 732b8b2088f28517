#include "core/files/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

TEST(Paths, PartsOfAPath)
{
    struct {
        const char* path;
        const char* name; // filename
        const char* ext; // dotext
        const char* copy; // copyfilename
        const char* stem; // filestem
        const char* stripped; // stripext
    } cases[] = {
        { "C:\\a\\b.txt", "b.txt", ".txt", "b.txt", "b", "C:\\a\\b" },
        { "a:b", "b", "", "b", "b", "a:b" },
        { "C:\\", "", "", "", "", "C:\\" },
        { "\\", "", "", "", "", "\\" },
        { "", "", "", "", "", "" },
        { "dir.d\\file", "file", "", "file", "file", "dir.d\\file" },
        { "dir/file.x", "dir/file.x", ".x", "dir/file.x", "dir/file", "dir/file" },
        { "a.b/c", "a.b/c", ".b/c", "a.b/c", "a", "a" },
        { ".profile", ".profile", ".profile", ".profile", "", "" },
        { "C:\\dir\\.profile", ".profile", ".profile", ".profile", "", "C:\\dir\\" },
        { "a.b.c", "a.b.c", ".c", "a.b.c", "a.b", "a.b" },
        { "C:\\dir\\a:b", "b", "", "a:b", "a:b", "C:\\dir\\a:b" },
    };
    for (const auto& c : cases) {
        char buffer[PATHBUFFER];
        EXPECT_STREQ(filename(c.path), c.name) << c.path;
        EXPECT_STREQ(dotext(c.path), c.ext) << c.path;
        EXPECT_STREQ(copyfilename(buffer, c.path), c.copy) << c.path;
        EXPECT_STREQ(filestem(buffer, c.path), c.stem) << c.path;
        EXPECT_STREQ(stripext(buffer, c.path), c.stripped) << c.path;
    }
}

TEST(Paths, ExtensionsInPlace)
{
    struct {
        const char* path;
        const char* ext;
        const char* added; // addext
        const char* defaulted; // adddefext
    } cases[] = {
        { "mylib", "LIB", "mylib.LIB", "mylib.LIB" },
        { "mylib.old", "LIB", "mylib.LIB", "mylib.old" },
        { "a", "", "a.", "a." },
        { "C:\\x.d\\name", "bak", "C:\\x.d\\name.bak", "C:\\x.d\\name.bak" },
    };
    for (const auto& c : cases) {
        char buffer[PATHBUFFER];
        strcpy(buffer, c.path);
        EXPECT_STREQ(addext(buffer, buffer, c.ext), c.added) << c.path;
        strcpy(buffer, c.path);
        EXPECT_STREQ(adddefext(buffer, buffer, c.ext), c.defaulted) << c.path;
    }
}

TEST(Paths, JoiningFoldersAndNames)
{
    struct {
        const char* dir;
        const char* name;
        const char* joined;
    } cases[] = {
        { nullptr, "x", "x" },
        { "", "x", "x" },
        { "C:", "a", "C:a" },
        { "C:\\", "a", "C:\\a" },
        { "C:\\tmp\\", "x", "C:\\tmp\\x" },
        { "C:\\x;D:\\y", "a", "C:\\x\\a" },
        { "rel", "a\\b", "rel\\a\\b" },
    };
    for (const auto& c : cases) {
        char buffer[PATHBUFFER];
        EXPECT_STREQ(addfilename(buffer, c.dir, c.name), c.joined) << (c.dir ? c.dir : "null");
        if (!c.dir)
            continue;
        strcpy(buffer, c.dir);
        EXPECT_STREQ(addfilename(buffer, buffer, c.name), c.joined) << "in place: " << c.dir;
    }

    struct {
        const char* path;
        const char* result;
    } defpaths[] = { { "", "" }, { "amp.txt", "C:\\d\\amp.txt" }, { "x\\amp.txt", "x\\amp.txt" },
        { "E:amp", "E:amp" } };
    for (const auto& c : defpaths) {
        char buffer[PATHBUFFER];
        strcpy(buffer, c.path);
        EXPECT_STREQ(adddefpath(buffer, "C:\\d;E:\\e"), c.result) << c.path;
    }
}

// Joins at the edge of the buffer: up to 516 characters come whole, longer ones come empty, and
// no byte past the 517th is written.
TEST(Paths, JoinsThatPassTheBufferComeEmpty)
{
    using Join = std::function<char*(char* buffer, size_t length)>;
    // Each join makes a text of the given length from sources of its own.
    struct {
        const char* what;
        Join join;
    } joins[] = {
        { "folder and name",
            [](char* b, size_t n) { return addfilename(b, std::string(n - 2, 'd').c_str(), "x"); } },
        { "folder ending in '\\'",
            [](char* b, size_t n) { return addfilename(b, (std::string(n - 2, 'd') + "\\").c_str(), "x"); } },
        { "folder ending in ':'",
            [](char* b, size_t n) { return addfilename(b, (std::string(n - 2, 'd') + ":").c_str(), "x"); } },
        { "folder in place",
            [](char* b, size_t n) {
                std::string dir(n - 2, 'd');
                memcpy(b, dir.c_str(), std::min(dir.size() + 1, PATHBUFFER));
                return addfilename(b, dir.size() < PATHBUFFER ? b : dir.c_str(), "x");
            } },
        { "name alone",
            [](char* b, size_t n) { return addfilename(b, nullptr, std::string(n, 'n').c_str()); } },
        { "extension added",
            [](char* b, size_t n) { return addext(b, std::string(n - 4, 'n').c_str(), "LIB"); } },
        { "extension replaced",
            [](char* b, size_t n) { return addext(b, (std::string(n - 4, 'n') + ".x").c_str(), "LIB"); } },
        { "default extension added",
            [](char* b, size_t n) { return adddefext(b, std::string(n - 4, 'n').c_str(), "MOD"); } },
        { "default extension kept",
            [](char* b, size_t n) {
                return adddefext(b, (std::string(n - 4, 'n') + ".old").c_str(), "MOD");
            } },
        { "default folder",
            [](char* b, size_t n) {
                strcpy(b, "x");
                return adddefpath(b, std::string(n - 2, 'd').c_str());
            } },
        { "companion",
            [](char* b, size_t n) {
                return derivefilename(b, (std::string(n - 7, 'd') + "\\x.txt").c_str(), "~", "bak");
            } },
    };
    for (const auto& j : joins) {
        for (size_t length = 515; length <= 520; ++length) {
            std::vector<char> storage(PATHBUFFER + 16, '#');
            const char* result = j.join(storage.data(), length);
            EXPECT_EQ(result, storage.data()) << j.what << " " << length;
            EXPECT_EQ(strlen(result), length <= PATHBUFFER - 1 ? length : 0) << j.what << " " << length;
            EXPECT_EQ(std::string(storage.data() + PATHBUFFER, 16), std::string(16, '#'))
                << j.what << " " << length;
        }
    }
}

TEST(Paths, EmptyTextsStayEmptyThroughAChain)
{
    char buffer[PATHBUFFER];
    std::string folder(600, 'd');
    EXPECT_STREQ(adddefext(buffer, addfilename(buffer, folder.c_str(), "x"), "PDF"), "");
    EXPECT_STREQ(addext(buffer, "", "LIB"), "");
    EXPECT_STREQ(addfilename(buffer, ";D:\\y", "a"), "a") << "an empty first folder";
}

TEST(Paths, FolderParts)
{
    struct {
        const char* path;
        const char* folder;
    } cases[] = {
        { "C:\\a\\b.txt", "C:\\a" },
        { "C:\\a\\", "C:\\a" },
        { "\\\\srv\\sh\\f", "\\\\srv\\sh" },
        { "C:\\b.txt", "C:\\" },
        { "\\b.txt", "\\" },
        { "a\\b", "a\\" },
        { "C:b.txt", "C:" },
        { "b.txt", "" },
    };
    for (const auto& c : cases) {
        char buffer[PATHBUFFER];
        EXPECT_STREQ(pathtrim(buffer, c.path), c.folder) << c.path;
    }
}

TEST(Paths, CompanionFilesStayWithinTheirBuffers)
{
    char buffer[PATHBUFFER];
    EXPECT_STREQ(derivefilename(buffer, "C:\\d\\x.txt", "~", "bak"), "C:\\d\\~x.bak");
    EXPECT_STREQ(derivefilename(buffer, "x.txt", "~", "bak"), "~x.bak");
    EXPECT_STREQ(derivefilename(buffer, "C:\\x", "", "log"), "C:\\x.log");

    std::string folder = "C:\\" + std::string(500, 'f');
    EXPECT_STREQ(derivefilename(buffer, (folder + "\\short.txt").c_str(), "~", "bak"),
        (folder + "\\~short.bak").c_str());
    strcpy(buffer, "untouched");
    EXPECT_STREQ(
        derivefilename(buffer, (folder + "\\a-name-that-no-longer-fits.txt").c_str(), "~", "bak"), "");
    EXPECT_STREQ(derivefilename(buffer, ("C:\\d\\" + std::string(600, 'n')).c_str(), "", "x"), "");
    EXPECT_STREQ(derivefilename(buffer, std::string(600, 'd').append("\\x").c_str(), "", "x"), "");
}

TEST(Paths, CompactForms)
{
    const char* path = "C:\\Program Files\\Design\\Projects\\amp.txt";
    struct {
        unsigned n;
        const char* compact;
    } cases[] = {
        { 41, path },
        { 40, "C:\\...\\Design\\Projects\\amp.txt" },
        { 28, "C:\\...\\Projects\\amp.txt" },
        { 20, "C:\\...\\amp.txt" },
        { 10, "amp.txt" },
        { 8, "amp.txt" },
        { 7, "..." }, // 4 characters left after "C:"
        { 5, ".." },
        { 3, "" },
    };
    for (const auto& c : cases) {
        char buffer[PATHBUFFER];
        EXPECT_STREQ(compactpath(buffer, path, c.n), c.compact) << c.n;
    }
    for (unsigned n = 1; n < 45; ++n) {
        char buffer[PATHBUFFER];
        EXPECT_LT(strlen(compactpath(buffer, path, n)), n) << n;
    }
    char buffer[PATHBUFFER];
    EXPECT_STREQ(compactpath(buffer, "C:\\dir\\longname.txt", 10), "longna...");
    strcpy(buffer, "kept");
    EXPECT_STREQ(compactpath(buffer, path, 0), "kept");
    EXPECT_STREQ(compactpath(buffer, "no-separator-here", 8), "");
    EXPECT_STREQ(compactpath(buffer, "first-level\\x", 8), "");
}

TEST(Paths, CleaningTypedPaths)
{
    struct {
        const char* text;
        const char* clean;
    } cases[] = {
        { "\"C:/My Files//a.txt\"", "C:\\My Files\\a.txt" },
        { "\"", "\"" },
        { "\"\"", "" },
        { "\\\\srv\\share", "\\srv\\share" },
        { "a\\\\\\b", "a\\\\b" },
        { "a\\\\\\\\b", "a\\\\b" },
        { "\"a\"b", "\"a\"b" },
    };
    for (const auto& c : cases) {
        char buffer[PATHBUFFER];
        strcpy(buffer, c.text);
        EXPECT_STREQ(cleanquotedpath(buffer), c.clean) << c.text;
    }
    char name[] = "a<b>:c?\"*/\\|";
    EXPECT_STREQ(safefilename(name, '_'), "a<b>_c_____|");
}

TEST(Paths, FullPathsFromTheCurrentFolder)
{
    auto folder = vkt::test::makeTempSubfolder("qualify");
    ASSERT_EQ(chdir(folder.c_str()), 0);
    char buffer[PATHBUFFER];
    ASSERT_NE(qualifyfilename(buffer, "sub\\..\\a.txt"), nullptr);
    EXPECT_EQ(std::string(buffer), towindowspath(folder.string()) + "\\a.txt");

    std::string name = "\\" + std::string(515, 'n');
    EXPECT_EQ(qualifyfilename(buffer, name.c_str()), buffer) << "516 characters fit";
    name += 'n';
    EXPECT_EQ(qualifyfilename(buffer, name.c_str()), nullptr);
}
