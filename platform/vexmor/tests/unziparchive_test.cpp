#include "platform/vexmor/unziparchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/files/ramfile.h"
#include "platform/vexmor/tests/ziptestfiles.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;
using vkt::test::readbytes;
using vkt::test::writebytes;
using vkt::test::writezip;

namespace {

// Replaces every occurrence of from by to (of the same length) in the file's bytes.
void patch(const fs::path& path, const std::string& from, const std::string& to)
{
    std::string bytes = readbytes(path);
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1))
        bytes.replace(at, to.size(), to);
    writebytes(path, bytes);
}

// Sets a 32-bit field of the central directory record of the only file.
void patchdirectory(const fs::path& path, size_t offset, uint32_t value)
{
    std::string bytes = readbytes(path);
    const size_t record = bytes.find("PK\x01\x02");
    for (int i = 0; i < 4; ++i)
        bytes[record + offset + i] = static_cast<char>(value >> (8 * i));
    writebytes(path, bytes);
}

} // namespace

// Each damaged zip is refused when opened, or when the damaged file is read, with a text that
// says what is wrong.
TEST(UnzipArchive, RefusesDamagedAndHostileZips)
{
    const fs::path folder = vkt::test::makeTempSubfolder("damaged");
    const std::string zeros(1 << 20, '\0');
    struct CASE {
        const char* what;
        std::function<void(const fs::path&)> make;
        int code; // at open, or UZ_READFILE when the file of the zip is read
        const char* text;
    };
    const CASE cases[] = {
        { "not a zip", [](const fs::path& p) { writebytes(p, "plain text, no archive"); },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "Not a zip archive" },
        { "empty file", [](const fs::path& p) { writebytes(p, ""); }, UNZIPARCHIVE::UZ_OPENARCHIVE,
            "Not a zip archive" },
        { "truncated",
            [](const fs::path& p) {
                writezip(p, { { "A", std::string(5000, 'a') } });
                writebytes(p, readbytes(p).substr(0, 60));
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "Not a zip archive" },
        { "wrong check sum",
            [](const fs::path& p) {
                writezip(p, { { "A", "the text" } });
                patchdirectory(p, 16, 0x12345678);
            },
            UNZIPARCHIVE::UZ_READFILE, "CRC error" },
        { "a name that climbs",
            [](const fs::path& p) {
                writezip(p, { { "../evil.txt", "x" } });
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "The file '../evil.txt' climbs out of the archive" },
        { "backslashes that climb",
            [](const fs::path& p) {
                writezip(p, { { "a\\..\\..\\evil.txt", "x" } });
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "climbs out of the archive" },
        { "an absolute name",
            [](const fs::path& p) {
                writezip(p, { { "/etc/evil", "x" } });
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "The file '/etc/evil' has an absolute name" },
        { "a name twice",
            [](const fs::path& p) {
                writezip(p, { { "DUP1.TXT", "one" }, { "DUP2.TXT", "two" } });
                patch(p, "DUP2.TXT", "DUP1.TXT");
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "The file 'DUP1.TXT' stands in the archive twice" },
        { "a bomb by ratio",
            [&](const fs::path& p) {
                writezip(p, { { "ZEROS", zeros } });
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "more than 1000 times its packed size" },
        { "a file over 1 GiB",
            [](const fs::path& p) {
                writezip(p, { { "BIG", std::string(4000, 'b') } });
                patchdirectory(p, 24, 0x50000000);
            },
            UNZIPARCHIVE::UZ_OPENARCHIVE, "bytes allowed for one file" },
    };
    for (const CASE& c : cases) {
        const fs::path path = folder / "damaged.zip";
        c.make(path);
        const std::string before = readbytes(path);
        UNZIPARCHIVE reader;
        int opened = reader.open(path.c_str());
        if (c.code == UNZIPARCHIVE::UZ_READFILE) {
            ASSERT_TRUE(opened) << c.what << ": " << reader.errortext();
            RAMFILE out;
            ASSERT_TRUE(reader.selectfirst());
            EXPECT_FALSE(reader.unzip(out)) << c.what;
        } else {
            EXPECT_FALSE(opened) << c.what;
            EXPECT_FALSE(reader.isopen());
        }
        EXPECT_EQ(reader.errorcode(), c.code) << c.what << ": " << reader.errortext();
        EXPECT_NE(std::string(reader.errortext()).find(c.text), std::string::npos)
            << c.what << ": " << reader.errortext();
        EXPECT_EQ(readbytes(path), before) << c.what;
    }
}

TEST(UnzipArchive, ListsFilesNotFoldersAndSelectsByExactName)
{
    const fs::path path = vkt::test::makeTempSubfolder("list") / "a.zip";
    ASSERT_TRUE(writezip(path, { { "SCRIPTS/", "" }, { "SCRIPTS/one", "1" }, { "Two", "2" } }));
    UNZIPARCHIVE reader;
    ASSERT_TRUE(reader.open(path.c_str())) << reader.errortext();
    ASSERT_TRUE(reader.selectfirst());
    EXPECT_STREQ(reader.filename(), "SCRIPTS/one");
    ASSERT_TRUE(reader.selectnext());
    EXPECT_STREQ(reader.filename(), "Two");
    EXPECT_FALSE(reader.selectnext());
    EXPECT_STREQ(reader.filename(), "");

    EXPECT_TRUE(reader.exists("Two"));
    EXPECT_FALSE(reader.exists("TWO"));
    EXPECT_FALSE(reader.exists("SCRIPTS/"));
    EXPECT_FALSE(reader.iserror());
    EXPECT_FALSE(reader.select("TWO"));
    EXPECT_EQ(reader.errorcode(), UNZIPARCHIVE::UZ_OPENFILE);
}

TEST(UnzipArchive, OpensAMissingFileOrAFolderWithAnError)
{
    const fs::path folder = vkt::test::makeTempSubfolder("missing");
    UNZIPARCHIVE reader;
    EXPECT_FALSE(reader.open((folder / "none.zip").c_str()));
    EXPECT_EQ(reader.errorcode(), UNZIPARCHIVE::UZ_OPENARCHIVE);
    EXPECT_NE(std::string(reader.errortext()).find("Can't open file"), std::string::npos)
        << reader.errortext();
    EXPECT_FALSE(reader.open(folder.c_str()));
    EXPECT_EQ(reader.errorcode(), UNZIPARCHIVE::UZ_OPENARCHIVE);
}
