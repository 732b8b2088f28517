#include "core/containers/dpkb.h"
#include "core/tests/file_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using vkt::test::allBytes;
using vkt::test::ramFileWith;

namespace {

// A record as a packer builds it: the length word, a 32-bit number and a string.
void packSample(DPKB& b)
{
    b.alloc(b.wordsize());
    auto* number = static_cast<unsigned char*>(b.alloc(4));
    number[0] = 0x78;
    number[3] = 0x12;
    b.putstr("pin");
}

std::string bytes(const DPKB& b)
{
    return std::string(reinterpret_cast<const char*>(b.base), b.size);
}

} // namespace

TEST(DPKB, LengthWordCountsItself)
{
    DPKB b(16, DPKB_WORD16);
    b.alloc(2);
    b.alloc(4);
    RAMFILE f;
    EXPECT_EQ(b.write(f), 1);
    EXPECT_EQ(allBytes(f), std::string("\x06\x00\x00\x00\x00\x00", 6));
}

TEST(DPKB, DiskAndMemoryFilesGetIdenticalRecords)
{
    for (DPKB_MODE mode : { DPKB_WORD16, DPKB_WORD32 }) {
        DPKB b(4, mode);
        packSample(b);
        RAMFILE ram;
        vkt::test::ScratchDiskFile disk("record.bin");
        EXPECT_EQ(b.write(ram), 1);
        EXPECT_EQ(b.write(disk.file), 1);
        EXPECT_EQ(allBytes(ram), allBytes(disk.file));

        for (VFILE* f : { static_cast<VFILE*>(&ram), static_cast<VFILE*>(&disk.file) }) {
            f->seek(0, 0);
            DPKB back(0u, mode);
            EXPECT_EQ(back.read(*f), 1);
            EXPECT_EQ(back.size, b.wordsize() + 8);
            EXPECT_NE(back.get(back.wordsize()), nullptr);
            EXPECT_EQ(std::memcmp(back.get(4), "\x78\0\0\x12", 4), 0);
            char name[10];
            EXPECT_EQ(back.getstr(name, 9), 1);
            EXPECT_STREQ(name, "pin");
        }
    }
}

TEST(DPKB, CursorSkipsNestedRecordsAndLongStrings)
{
    unsigned char record[] = { 14, 0, 10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 'x', 0 };
    auto* owned = static_cast<unsigned char*>(std::malloc(sizeof record));
    std::memcpy(owned, record, sizeof record);
    DPKB b(owned, DPKB_WORD16);
    EXPECT_EQ(b.size, 14u);
    b.get(2);
    EXPECT_EQ(b.get(0xFFFFFFFF), owned + 2);
    EXPECT_EQ(b.getptr, owned + 12);

    DPKB s(0u, DPKB_WORD32);
    s.putstr("abcdef");
    s.putstr("g");
    char three[4];
    s.getstr(three, 3);
    EXPECT_STREQ(three, "abc");
    EXPECT_EQ(*s.getptr, 'g');
}

TEST(DPKB, FullBufferGrowsByTheRequestAndRewindsTheCursor)
{
    DPKB b(4, DPKB_WORD32);
    std::memset(b.alloc(4), 0xAA, 4);
    b.get(2);
    auto* more = static_cast<unsigned char*>(b.alloc(8));
    EXPECT_EQ(b.size, 12u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(more), 8), std::string(8, '\0'));
    EXPECT_EQ(b.getptr, b.base);
}

TEST(DPKB, ReadingStaysInsideTheRecord)
{
    DPKB b(0u, DPKB_WORD16);
    b.putstr("ab");
    EXPECT_EQ(b.get(4), nullptr);
    EXPECT_EQ(b.getptr, b.base + 3);
    EXPECT_EQ(b.get(0), b.base + 3);

    b.getptr = b.base + 1;
    EXPECT_EQ(b.get(0xFFFFFFFF), nullptr); // a nested length shorter than its own word

    DPKB unterminated(0u, DPKB_WORD16);
    std::memcpy(unterminated.alloc(3), "xyz", 3);
    char text[10] = "?";
    EXPECT_EQ(unterminated.getstr(text, 9), 0);
    EXPECT_STREQ(text, "xyz");
    EXPECT_EQ(unterminated.getptr, unterminated.base + 3);
}

TEST(DPKB, DamagedRecordsKeepWhatWasRead)
{
    struct Case {
        const char* what;
        DPKB_MODE mode;
        std::string file;
        std::string kept; // the record afterwards, length word included
    };
    const Case cases[] = {
        { "empty file", DPKB_WORD32, "", std::string("\4\0\0\0", 4) },
        { "half a word", DPKB_WORD16, "\x05", std::string("\2\0", 2) },
        { "length below its word", DPKB_WORD16, std::string("\1\0abc", 5), std::string("\2\0", 2) },
        { "cut short", DPKB_WORD32, std::string("\x64\0\0\0abc", 7), std::string("\7\0\0\0abc", 7) },
        { "absurd length", DPKB_WORD32, std::string("\xF0\xFF\xFF\xFFxy", 6), std::string("\6\0\0\0xy", 6) },
    };
    for (const auto& c : cases) {
        auto f = ramFileWith(c.file);
        DPKB b(0u, c.mode);
        EXPECT_EQ(b.read(*f), 0) << c.what;
        EXPECT_EQ(bytes(b), c.kept) << c.what;
        EXPECT_EQ(b.getptr, b.base) << c.what;
    }
}

TEST(DPKB, SixteenBitWordThatWouldWrapIsRefused)
{
    DPKB b(0u, DPKB_WORD16);
    b.alloc(2);
    b.alloc(65533);
    RAMFILE f;
    EXPECT_EQ(b.write(f), 1);
    b.alloc(1);
    RAMFILE refused;
    EXPECT_EQ(b.write(refused), 0);
    EXPECT_EQ(refused.length, 0);

    DPKB noWord(0u, DPKB_WORD32);
    noWord.alloc(2);
    EXPECT_EQ(noWord.write(refused), 0);
}
