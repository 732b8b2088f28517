#include "core/files/ramfile.h"
#include "core/tests/file_fixtures.h"

#include <gtest/gtest.h>

#include <string>

using vkt::test::allBytes;
using vkt::test::ramFileWith;

TEST(RAMFILE, EmptyFileGrowsOnFirstWrite)
{
    RAMFILE f;
    EXPECT_EQ(f.getc(), -1);
    char c;
    EXPECT_EQ(f.read(&c, 1), 0);
    EXPECT_EQ(f.tell(), 0);
    EXPECT_EQ(f.putc('x'), 0);
    EXPECT_EQ(f.capacity, 4096);
    const std::string fill(4095, 'y');
    f.write(fill.data(), static_cast<int>(fill.size()));
    EXPECT_EQ(f.capacity, 4096);
    f.putc('z');
    EXPECT_EQ(f.capacity, 12288);
    EXPECT_EQ(f.length, 4097);
}

TEST(RAMFILE, CallersBlockNeverGrows)
{
    char block[10] = { '0', '1', '2', '3', '4', '5', '6', '7', '8', '9' };
    RAMFILE f(block, 10);
    EXPECT_EQ(allBytes(f), "0123456789");
    EXPECT_EQ(f.getc(), -1);
    EXPECT_EQ(f.write("a", 1), 0);
    EXPECT_EQ(f.putc('a'), -1);
    f.seek(0, 0);
    EXPECT_EQ(f.write("abcdefghij", 10), 10);
    EXPECT_EQ(std::string(block, 10), "abcdefghij");
    EXPECT_EQ(f.seek(12, 0), 0);
    EXPECT_EQ(f.tell(), 10);
}

TEST(RAMFILE, SeekOrigins)
{
    struct Case {
        long offset;
        int origin;
        int result;
        long position;
    };
    const Case cases[] = {
        { 3, 2, 1, 7 }, // the end origin counts back from the end
        { 0, 2, 1, 10 }, { 4, 0, 1, 4 }, { -2, 1, 1, 3 }, // from 5, where each case starts
        { -6, 1, 0, 0 }, // before the start stops at 0
        { -1, 2, 1, 11 }, // past the end extends the file
        { 5, 7, 0, 5 }, // unknown origin: the position stays
    };
    for (const auto& c : cases) {
        auto f = ramFileWith("0123456789");
        f->seek(5, 0);
        EXPECT_EQ(f->seek(c.offset, c.origin), c.result) << c.offset << "," << c.origin;
        EXPECT_EQ(f->tell(), c.position) << c.offset << "," << c.origin;
    }
}

TEST(RAMFILE, SeekPastTheEndFillsWithZeros)
{
    auto f = ramFileWith("0123456789");
    EXPECT_EQ(f->seek(20, 0), 1);
    EXPECT_EQ(f->length, 20);
    EXPECT_EQ(allBytes(*f), "0123456789" + std::string(10, '\0'));

    // A file that never had a buffer cannot promise room, even for position 0.
    RAMFILE empty;
    EXPECT_EQ(empty.seek(0, 0), 0);
    EXPECT_EQ(empty.tell(), 0);
}
