#include "framework/documents/applnarchive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string contents(VFILE& file)
{
    std::string text;
    file.rewind();
    for (int c; (c = file.getc()) >= 0;)
        text += static_cast<char>(c);
    file.rewind();
    return text;
}

void put(APPLNARCHIVE& archive, const char* folder, const char* name, const std::string& text)
{
    VFILE& file = archive.openfile(folder, name);
    file.write(text.data(), static_cast<int>(text.size()));
    archive.closefile(file, 0);
}

std::string readfile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

void writefile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

struct timespec modified(const fs::path& path)
{
    struct stat info;
    stat(path.c_str(), &info);
    return info.st_mtim;
}

} // namespace

TEST(ApplnArchive, KeysJoinFolderAndNameOrTakeTheFolderWhole)
{
    APPLNARCHIVE archive;
    put(archive, "SCRIPTS", "startup", "run");
    put(archive, "SCRIPTS", "", "folder and empty name");
    put(archive, "SCRIPTS", nullptr, "whole key");
    EXPECT_TRUE(archive.exists("SCRIPTS/startup", nullptr));
    EXPECT_STREQ(archive.getfiletext("SCRIPTS", "startup"), "run");
    EXPECT_STREQ(archive.getfiletext("SCRIPTS/", nullptr), "folder and empty name");
    EXPECT_STREQ(archive.getfiletext("SCRIPTS", nullptr), "whole key");
    EXPECT_FALSE(archive.exists("scripts", "startup"));
    EXPECT_EQ(archive.getfiletext("SCRIPTS", "missing"), nullptr);
    EXPECT_FALSE(archive.exists("SCRIPTS", "missing")) << "asking creates nothing";

    EXPECT_TRUE(archive.deletefile("SCRIPTS", "startup"));
    EXPECT_FALSE(archive.deletefile("SCRIPTS", "startup"));
    archive.zap();
    EXPECT_FALSE(archive.exists("SCRIPTS", nullptr));
}

TEST(ApplnArchive, OpenFileRewindsAndCloseFileReportsTheErrorFlag)
{
    APPLNARCHIVE archive;
    put(archive, "A", nullptr, "0123456789");
    VFILE& file = archive.openfile("A", nullptr);
    EXPECT_EQ(file.tell(), 0);
    EXPECT_EQ(contents(file), "0123456789");
    EXPECT_EQ(archive.closefile(file, 0), 1);
    file.setflags(0x80);
    EXPECT_EQ(archive.closefile(file, 0), 0);
}

TEST(ApplnArchive, TextIsTerminatedWithoutGrowingTheContents)
{
    APPLNARCHIVE archive;
    put(archive, "EMPTY", nullptr, "");
    EXPECT_STREQ(archive.getfiletext("EMPTY", nullptr), "");
    put(archive, "A", nullptr, std::string(4096, 'a'));
    EXPECT_EQ(std::strlen(archive.getfiletext("A", nullptr)), 4096u);
    EXPECT_EQ(contents(archive.openfile("A", nullptr)).size(), 4096u);
}

// A disk file goes in and comes out with its last-write time kept to the two seconds of DOS times.
TEST(ApplnArchive, DiskFilesKeepTheirTimeToTwoSeconds)
{
    const fs::path folder = vkt::test::makeTempSubfolder("disk");
    const fs::path source = folder / "thumb.bmp";
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    writefile(source, bytes);
    const struct timespec when {
        1685614831, 700000000
    }; // an odd second with a fraction
    const struct timespec times[2] = { when, when };
    ASSERT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);

    APPLNARCHIVE archive;
    put(archive, "THUMB.BMP", nullptr, std::string(300000, 'x')); // a longer old entry
    EXPECT_EQ(archive.putfile(source.c_str(), "THUMB.BMP", nullptr), 1);
    EXPECT_EQ(contents(archive.openfile("THUMB.BMP", nullptr)), bytes);

    const fs::path copy = folder / "copy.bmp";
    writefile(copy, "an old copy");
    EXPECT_EQ(archive.getfile(copy.c_str(), "THUMB.BMP", nullptr), 1);
    EXPECT_EQ(readfile(copy), bytes);
    EXPECT_EQ(modified(copy).tv_sec, when.tv_sec - 1);
    EXPECT_EQ(modified(copy).tv_nsec, 0);
}

TEST(ApplnArchive, MissingFilesChangeNothing)
{
    const fs::path folder = vkt::test::makeTempSubfolder("missing");
    APPLNARCHIVE archive;
    put(archive, "A", nullptr, "kept");
    EXPECT_EQ(archive.putfile((folder / "none").c_str(), "A", nullptr), 0);
    EXPECT_STREQ(archive.getfiletext("A", nullptr), "kept");
    EXPECT_EQ(archive.getfile((folder / "out").c_str(), "B", nullptr), 0);
    EXPECT_FALSE(fs::exists(folder / "out"));
    EXPECT_EQ(archive.getfile((folder / "no folder" / "out").c_str(), "A", nullptr), 0);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(ApplnArchive, GetFileIntoAFileThatFillsStopsThere)
{
    APPLNARCHIVE archive;
    put(archive, "A", nullptr, "0123456789");
    char block[4];
    RAMFILE small(block, sizeof block);
    EXPECT_EQ(archive.getfile(small, "A", nullptr), 0);
    RAMFILE large;
    EXPECT_EQ(archive.getfile(large, "A", nullptr), 1);
    EXPECT_EQ(contents(large), "0123456789");
    EXPECT_EQ(archive.getfile(large, "B", nullptr), 0);
}

TEST(ApplnArchive, ACopyOwnsEntriesOfItsOwn)
{
    APPLNARCHIVE archive;
    put(archive, "A", nullptr, "original");
    {
        APPLNARCHIVE copy(archive);
        EXPECT_STREQ(copy.getfiletext("A", nullptr), "original");
        put(copy, "A", nullptr, "CHANGED!");
        put(copy, "B", nullptr, "new");
    }
    EXPECT_STREQ(archive.getfiletext("A", nullptr), "original");
    EXPECT_FALSE(archive.exists("B", nullptr));
}
