#include "core/files/vfile.h"
#include "core/tests/file_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using vkt::test::allBytes;
using vkt::test::ramFileWith;

namespace {

// One writing script; both implementations must leave the same bytes.
void writeScript(VFILE& f)
{
    f.putc('A');
    f.write("bcd", 3);
    f.puts("ef\n");
    f.printf("%d-%s", 42, "x");
    vfputstr("hello", f);
    vfputstr(nullptr, f);
    f.seek(1, 0);
    f.putc('B');
    f.seek(0, 2);
    f.putc('Z');
}

struct Line {
    std::string text;
    int result;
};

std::vector<Line> readLines(const std::string& bytes, int size)
{
    auto f = ramFileWith(bytes);
    std::vector<Line> lines;
    std::string buf(static_cast<size_t>(size), '?');
    for (;;) {
        int result = f->getline(buf.data(), size);
        lines.push_back({ buf.c_str(), result });
        if (result == 0)
            return lines;
    }
}

} // namespace

TEST(VFILE, DiskAndMemoryFilesTakeTheSameBytes)
{
    RAMFILE ram;
    vkt::test::ScratchDiskFile disk("script.bin");
    writeScript(ram);
    writeScript(disk.file);
    const std::string expected = std::string("ABcdef\n42-x\x05hello", 17) + '\0' + 'Z';
    EXPECT_EQ(allBytes(ram), expected);
    EXPECT_EQ(allBytes(disk.file), expected);
}

TEST(VFILE, GetlineSplitsAtLineFeedsAndKeepsCarriageReturns)
{
    auto crlf = readLines("ab\r\ncd", 100);
    ASSERT_EQ(crlf.size(), 2u);
    EXPECT_EQ(crlf[0].text, "ab\r");
    EXPECT_EQ(crlf[0].result, 1);
    EXPECT_EQ(crlf[1].text, "cd");
    EXPECT_EQ(crlf[1].result, 0);

    // A line that does not fit comes in pieces; the line feed then gives an empty line.
    auto pieces = readLines("abcdef\n", 4);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].text, "abc");
    EXPECT_EQ(pieces[1].text, "def");
    EXPECT_EQ(pieces[2].text, "");
    EXPECT_EQ(pieces[2].result, 1);
    EXPECT_EQ(pieces[3].text, "");
    EXPECT_EQ(pieces[3].result, 0);

    auto f = ramFileWith("xy\n");
    char tiny[2] = { '?', '?' };
    EXPECT_EQ(f->getline(tiny, 1), 1);
    EXPECT_EQ(tiny[0], '?');
    EXPECT_EQ(f->tell(), 0);
}

TEST(VFILE, CountedStringsRoundTrip)
{
    struct Case {
        std::string written;
        std::string stored; // what reads back: longer strings are cut to 255
    };
    const Case cases[] = {
        { "", "" },
        { std::string(255, 'a'), std::string(255, 'a') },
        { std::string(300, 'b'), std::string(255, 'b') },
    };
    for (const auto& c : cases) {
        RAMFILE f;
        vfputstr(c.written.c_str(), f);
        EXPECT_EQ(f.length, static_cast<int>(c.stored.size()) + 1);
        f.seek(0, 0);
        char buf[256];
        EXPECT_EQ(vfgetstr(buf, f), buf);
        EXPECT_EQ(std::string(buf), c.stored);
        f.seek(0, 0);
        char* allocated = vfgetstr(nullptr, f);
        ASSERT_NE(allocated, nullptr);
        EXPECT_EQ(std::string(allocated), c.stored);
        std::free(allocated);
    }

    RAMFILE nullString;
    vfputstr(nullptr, nullString);
    EXPECT_EQ(allBytes(nullString), std::string(1, '\0'));
}

TEST(VFILE, CountedStringAtOrInsideTheEndOfTheFile)
{
    auto empty = ramFileWith("");
    char buf[256] = "untouched";
    EXPECT_EQ(vfgetstr(buf, *empty), buf);
    EXPECT_STREQ(buf, "untouched");
    EXPECT_EQ(vfgetstr(nullptr, *empty), nullptr);

    // The length byte promises 9 characters but the file ends after 3.
    auto cut = ramFileWith("\x09"
                           "abc");
    EXPECT_STREQ(vfgetstr(buf, *cut), "abc");
}

TEST(VFILE, CopyMovesEverythingAndLeavesRefusedBytesUnread)
{
    // Takes at most 1000 bytes per write, so the copy must offer the rest again.
    struct TrickleFile : RAMFILE {
        int write(const void* buf, int n) override { return RAMFILE::write(buf, std::min(n, 1000)); }
    };
    std::string source(70000, '\0');
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>(i * 7);
    auto src = ramFileWith(source);
    TrickleFile dst;
    EXPECT_EQ(vfcopy(*src, dst), 70000);
    EXPECT_TRUE(allBytes(dst) == source);

    src->seek(0, 0);
    char block[100];
    RAMFILE tooSmall(block, 100);
    EXPECT_EQ(vfcopy(*src, tooSmall), 0);
    EXPECT_EQ(src->tell(), 0);
}

TEST(VFILE, FlagsAndPrintfLimitDifferBetweenDiskAndMemory)
{
    vkt::test::ScratchDiskFile disk("flags.bin");
    RAMFILE ram;
    EXPECT_EQ(disk.file.testflags(1), 1);
    EXPECT_EQ(disk.file.testflags(2), 0);
    EXPECT_EQ(ram.testflags(1), 0);
    ram.setflags(3);
    EXPECT_EQ(ram.testflags(2), 1);

    const std::string longText(5000, 'q');
    EXPECT_EQ(ram.printf("%s", longText.c_str()), 4095);
    EXPECT_EQ(ram.length, 4095);
    EXPECT_EQ(disk.file.printf("%s", longText.c_str()), 5000);
}
