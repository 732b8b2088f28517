#include "core/files/boundedread.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(BoundedRead, ReadsARegularFileWhole)
{
    const std::string text = std::string("line 1\r\n\0two\n", 13) + std::string(BOUNDEDLINELIMIT, 'x');
    write("deck.cir", text);
    std::string read;
    std::string error;
    ASSERT_TRUE(readbounded("deck.cir", read, error)) << error;
    EXPECT_EQ(read, text);
    write("empty.cir", "");
    ASSERT_TRUE(readbounded("empty.cir", read, error)) << error;
    EXPECT_EQ(read, "");
}

TEST(BoundedRead, RefusesWhatIsNoRegularFileOrTooBig)
{
    std::filesystem::create_directory("folder");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    write("longline.cir", "title\n" + std::string(BOUNDEDLINELIMIT + 1, 'x') + "\nend\n");
    // A sparse file: its size passes the limit without filling the disk.
    write("big.cir", "");
    std::filesystem::resize_file("big.cir", static_cast<uintmax_t>(BOUNDEDFILELIMIT) + 1);
    struct Case {
        const char* path;
        const char* error;
    } cases[] = {
        { "missing.cir", "No such file or directory" },
        { "folder", "a folder, not a file" },
        { "pipe", "not a regular file" },
        { "/dev/zero", "not a regular file" },
        { "big.cir", "larger than 256 MB" },
        { "longline.cir", "line 2 is longer than 1048576 characters" },
    };
    for (const Case& c : cases) {
        std::string text = "stale";
        std::string error;
        EXPECT_FALSE(readbounded(c.path, text, error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_EQ(text, "") << c.path;
    }
}

TEST(BoundedRead, OpensOnlyRegularFilesForTheBinaryReaders)
{
    write("library.sml", "SPICE LIBRARY");
    std::string error;
    int fd = openbounded("library.sml", error);
    ASSERT_GE(fd, 0) << error;
    char head[5] = {};
    EXPECT_EQ(read(fd, head, 4), 4);
    EXPECT_STREQ(head, "SPIC");
    close(fd);
    EXPECT_EQ(openbounded("/dev/null", error), -1);
    EXPECT_EQ(error, "not a regular file");
}

} // namespace
