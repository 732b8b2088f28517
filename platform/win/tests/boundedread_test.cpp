#include "platform/win/boundedread.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testsupport/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A path in the test's own folder.
std::string at(const char* name)
{
    return (vkt::test::tempFolder() / name).string();
}

void write(const char* name, const std::string& text)
{
    std::ofstream(at(name), std::ios::binary) << text;
}

TEST(BoundedRead, ReadsARegularFileWhole)
{
    const std::string text = std::string("line 1\r\n\0two\n", 13) + std::string(BOUNDEDLINELIMIT, 'x');
    write("deck.cir", text);
    std::string read;
    std::string error;
    ASSERT_TRUE(readbounded(at("deck.cir").c_str(), read, error)) << error;
    EXPECT_EQ(read, text);
    write("empty.cir", "");
    ASSERT_TRUE(readbounded(at("empty.cir").c_str(), read, error)) << error;
    EXPECT_EQ(read, "");
}

TEST(BoundedRead, RefusesWhatIsNoRegularFileOrTooBig)
{
    fs::create_directory(at("folder"));
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
    write("longline.cir", "title\n" + std::string(BOUNDEDLINELIMIT + 1, 'x') + "\nend\n");
    // A sparse file: its size passes the limit without filling the disk.
    write("big.cir", "");
    fs::resize_file(at("big.cir"), static_cast<uintmax_t>(BOUNDEDFILELIMIT) + 1);
    struct Case {
        std::string path;
        const char* error;
    } cases[] = {
        { at("missing.cir"), "No such file or directory" },
        { at("folder"), "a folder, not a file" },
        { at("pipe"), "not a regular file" },
        { "/dev/zero", "not a regular file" },
        { at("big.cir"), "larger than 256 MB" },
        { at("longline.cir"), "line 2 is longer than 1048576 characters" },
    };
    for (const Case& c : cases) {
        std::string text = "stale";
        std::string error;
        EXPECT_FALSE(readbounded(c.path.c_str(), text, error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_EQ(text, "") << c.path;
    }
}

TEST(BoundedRead, OpensOnlyRegularFilesForTheBinaryReaders)
{
    write("library.sml", "SPICE LIBRARY");
    std::string error;
    int fd = openbounded(at("library.sml").c_str(), error);
    ASSERT_GE(fd, 0) << error;
    char head[5] = {};
    EXPECT_EQ(read(fd, head, 4), 4);
    EXPECT_STREQ(head, "SPIC");
    close(fd);
    EXPECT_EQ(openbounded("/dev/null", error), -1);
    EXPECT_EQ(error, "not a regular file");
}

} // namespace
