#include "platform/vexmor/ziparchive.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "core/files/ramfile.h"
#include "platform/vexmor/tests/ziptestfiles.h"
#include "platform/vexmor/unziparchive.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;
using vkt::test::readbytes;
using vkt::test::writebytes;

namespace {

fs::path folderfor(const char* name)
{
    return vkt::test::makeTempSubfolder(name);
}

int addfile(ZIPARCHIVE& writer, const char* name, const std::string& contents, uint32_t datetime = 0)
{
    return writer.openfile(name, datetime) && writer.write(contents.data(), static_cast<int>(contents.size()))
        && writer.closefile();
}

std::string unzipped(UNZIPARCHIVE& reader, const char* name)
{
    RAMFILE out;
    if (!reader.select(name) || !reader.unzip(out))
        return "<failed>";
    return std::string(reinterpret_cast<char*>(out.buffer), static_cast<size_t>(out.length));
}

bool onlyfile(const fs::path& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count == 1;
}

} // namespace

TEST(ZipArchive, WritesFilesInOrderWithTheirDosTimes)
{
    const fs::path folder = folderfor("order");
    const std::string path = (folder / "a.zip").string();
    const uint32_t noon
        = (44u << 25 | 3u << 21 | 5u << 16) | (12u << 11 | 7u << 5 | 9u / 2); // 2024-03-05 12:07:08
    ZIPARCHIVE writer(1, 0, 0);
    ASSERT_TRUE(writer.create(path.c_str()));
    ASSERT_TRUE(addfile(writer, "PROJECT.XML", "<ROOT/>", noon));
    ASSERT_TRUE(addfile(writer, "SCRIPTS/startup", std::string(100000, 'x'), noon + 1));
    ASSERT_TRUE(addfile(writer, "EMPTY", ""));
    ASSERT_TRUE(writer.close(0)) << writer.errortext();

    UNZIPARCHIVE reader;
    ASSERT_TRUE(reader.open(path.c_str())) << reader.errortext();
    const char* expected[] = { "PROJECT.XML", "SCRIPTS/startup", "EMPTY" };
    int n = 0;
    for (int more = reader.selectfirst(); more; more = reader.selectnext())
        EXPECT_STREQ(reader.filename(), expected[n++]);
    EXPECT_EQ(n, 3);
    ASSERT_TRUE(reader.select("PROJECT.XML"));
    EXPECT_EQ(reader.filetime(), noon);
    ASSERT_TRUE(reader.select("SCRIPTS/startup"));
    EXPECT_EQ(reader.filetime(), noon + 1);
    EXPECT_EQ(unzipped(reader, "SCRIPTS/startup"), std::string(100000, 'x'));
    EXPECT_EQ(unzipped(reader, "EMPTY"), "");
    EXPECT_TRUE(onlyfile(folder)) << "no temporary is left beside the archive";
}

TEST(ZipArchive, AFileGivenTwiceIsKeptOnceWithTheLaterContents)
{
    const std::string path = (folderfor("twice") / "a.zip").string();
    ZIPARCHIVE writer(1, 0, 0);
    ASSERT_TRUE(writer.create(path.c_str()));
    ASSERT_TRUE(addfile(writer, "ROOT.DSN", "first"));
    ASSERT_TRUE(addfile(writer, "ROOT.DSN", "second"));
    ASSERT_TRUE(writer.close(0));
    UNZIPARCHIVE reader;
    ASSERT_TRUE(reader.open(path.c_str()));
    EXPECT_EQ(unzipped(reader, "ROOT.DSN"), "second");
    ASSERT_TRUE(reader.selectfirst());
    EXPECT_FALSE(reader.selectnext());
}

// The archive replaces the old file only when everything went in; otherwise the old file stays
// byte for byte and no temporary is left.
TEST(ZipArchive, AFailedSaveLeavesTheOldFileWhole)
{
    const fs::path folder = folderfor("failed");
    const fs::path path = folder / "a.zip";
    writebytes(path, "the old project");

    {
        ZIPARCHIVE writer(1, 0, 0);
        ASSERT_TRUE(writer.create(path.c_str()));
        ASSERT_TRUE(addfile(writer, "PROJECT.XML", "<ROOT/>"));
        RAMFILE damaged;
        damaged.write("half", 4);
        damaged.rewind();
        damaged.setflags(0x80);
        ASSERT_TRUE(writer.openfile("ROOT.DSN", 0));
        EXPECT_FALSE(writer.write(damaged));
        writer.closefile();
        EXPECT_EQ(writer.errorcode(), ZIPARCHIVE::ZA_INCOMPLETECOPY);
        EXPECT_FALSE(writer.close(0));
        EXPECT_NE(std::string(writer.errortext()).find("ROOT.DSN"), std::string::npos) << writer.errortext();
    }
    EXPECT_EQ(readbytes(path), "the old project");
    EXPECT_TRUE(onlyfile(folder));

    struct CASE {
        const char* what;
        void (*act)(ZIPARCHIVE&);
        int code;
    };
    const CASE cases[] = {
        { "no files", [](ZIPARCHIVE&) {}, ZIPARCHIVE::ZA_CLOSEARCHIVE },
        { "a name that climbs",
            [](ZIPARCHIVE& w) {
                addfile(w, "PROJECT.XML", "<ROOT/>");
                addfile(w, "../evil", "x");
            },
            ZIPARCHIVE::ZA_OPENFILE },
        { "an absolute name",
            [](ZIPARCHIVE& w) {
                addfile(w, "PROJECT.XML", "<ROOT/>");
                addfile(w, "/evil", "x");
            },
            ZIPARCHIVE::ZA_OPENFILE },
        { "a file opened twice",
            [](ZIPARCHIVE& w) {
                w.openfile("A", 0);
                w.openfile("B", 0);
            },
            ZIPARCHIVE::ZA_OPENFILE },
        { "a write with no file open", [](ZIPARCHIVE& w) { w.write("x", 1); }, ZIPARCHIVE::ZA_WRITEFILE },
    };
    for (const CASE& c : cases) {
        ZIPARCHIVE writer(1, 0, 0);
        ASSERT_TRUE(writer.create(path.c_str()));
        c.act(writer);
        EXPECT_FALSE(writer.close(0)) << c.what;
        EXPECT_EQ(writer.errorcode(), c.code) << c.what << ": " << writer.errortext();
        EXPECT_EQ(readbytes(path), "the old project") << c.what;
        EXPECT_TRUE(onlyfile(folder)) << c.what;
    }
}

TEST(ZipArchive, ReportsWhatItCannotCreate)
{
    const fs::path folder = folderfor("create");
    ZIPARCHIVE writer(1, 0, 0);
    EXPECT_FALSE(writer.create((folder / "missing" / "a.zip").c_str()));
    EXPECT_EQ(writer.errorcode(), ZIPARCHIVE::ZA_CREATEARCHIVE);
    // The table's text first, then the library's description.
    EXPECT_EQ(std::string(writer.errortext()).rfind("Cannot create the archive '", 0), 0u)
        << writer.errortext();
    EXPECT_NE(std::string(writer.errortext()).find("\nFailure to create temporary file"), std::string::npos)
        << writer.errortext();

    ZIPARCHIVE appending(1, 1, 0);
    EXPECT_FALSE(appending.create((folder / "a.zip").c_str()));
    EXPECT_EQ(appending.errorcode(), ZIPARCHIVE::ZA_APPENDARCHIVE);
    EXPECT_FALSE(fs::exists(folder / "a.zip"));
}

TEST(ZipArchive, DroppedOrDestroyedUnclosedWritesNothing)
{
    const fs::path folder = folderfor("dropped");
    const fs::path path = folder / "a.zip";
    writebytes(path, "old");
    {
        ZIPARCHIVE writer(1, 0, 0);
        ASSERT_TRUE(writer.create(path.c_str()));
        addfile(writer, "A", "new");
    }
    ZIPARCHIVE writer(1, 0, 0);
    ASSERT_TRUE(writer.create(path.c_str()));
    addfile(writer, "A", "new");
    EXPECT_TRUE(writer.close(1));
    EXPECT_EQ(readbytes(path), "old");
    EXPECT_TRUE(onlyfile(folder));
}

// The autosave file: a header, then the zip, written into and read from the open file.
TEST(ZipArchive, WritesAndReadsAZipAtAnOffsetInsideAnOpenFile)
{
    const fs::path path = folderfor("offset") / "a.asv";
    FILE* file = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(file, nullptr);
    std::fputs("HEADER: the project's path", file);
    {
        ZIPARCHIVE writer(1, 0, 0);
        ASSERT_TRUE(writer.attach(file));
        ASSERT_TRUE(addfile(writer, "PROJECT.XML", "<ROOT/>"));
        ASSERT_TRUE(writer.close(0)) << writer.errortext();
    }
    std::fseek(file, 26, SEEK_SET);
    UNZIPARCHIVE reader;
    ASSERT_TRUE(reader.open(file)) << reader.errortext();
    EXPECT_EQ(std::ftell(file), 26) << "the stream's position stays";
    std::fclose(file); // the archive keeps a descriptor of its own
    EXPECT_EQ(unzipped(reader, "PROJECT.XML"), "<ROOT/>");
    reader.close();

    // The whole file opened by its path: the header is passed over.
    ASSERT_TRUE(reader.open(path.c_str())) << reader.errortext();
    EXPECT_EQ(unzipped(reader, "PROJECT.XML"), "<ROOT/>");
}

TEST(ZipArchive, StoresWhenAskedAndCompressesOtherwise)
{
    const fs::path folder = folderfor("store");
    const std::string text(200000, 'a');
    for (int deflate : { 0, 1 }) {
        const fs::path path = folder / (deflate ? "deflated.zip" : "stored.zip");
        ZIPARCHIVE writer(deflate, 0, 9);
        ASSERT_TRUE(writer.create(path.c_str()));
        ASSERT_TRUE(addfile(writer, "A", text));
        ASSERT_TRUE(writer.close(0));
        EXPECT_EQ(fs::file_size(path) > text.size(), deflate == 0) << fs::file_size(path);
        UNZIPARCHIVE reader;
        ASSERT_TRUE(reader.open(path.c_str()));
        EXPECT_EQ(unzipped(reader, "A"), text);
    }
}
