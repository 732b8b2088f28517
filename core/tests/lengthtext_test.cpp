#include "core/files/lengthtext.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string bytesof(FILE* stream)
{
    std::rewind(stream);
    std::string bytes;
    for (int c; (c = std::fgetc(stream)) != EOF;)
        bytes += static_cast<char>(c);
    return bytes;
}

FILE* streamwith(const std::string& bytes)
{
    FILE* stream = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

TEST(LengthText, NumbersAndTextsAreWrittenLittleEndianWithTheirLengthAndReadBack)
{
    FILE* stream = std::tmpfile();
    ASSERT_TRUE(fputl(0x12345678, stream));
    ASSERT_TRUE(fputlstr("C:\\a b.vktprj", stream));
    ASSERT_TRUE(fputlstr("", stream));
    EXPECT_EQ(bytesof(stream), std::string("\x78\x56\x34\x12\x0D\0\0\0C:\\a b.vktprj\0\0\0\0", 25));

    std::fseek(stream, 4, SEEK_SET);
    char text[64];
    EXPECT_EQ(fgetlstr(text, sizeof text, stream), 13);
    EXPECT_STREQ(text, "C:\\a b.vktprj");
    EXPECT_EQ(fgetlstr(text, sizeof text, stream), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(fgetlstr(text, sizeof text, stream), -1);
    std::fclose(stream);
}

// A stored length is never trusted: a text longer than the buffer, or one the stream does not hold
// whole, is refused without reading past the buffer.
TEST(LengthText, ALengthPastTheBufferOrTheStreamIsRefused)
{
    struct CASE {
        std::string bytes;
        size_t size;
    };
    const CASE cases[] = {
        { std::string("\x05\0\0\0abcde", 9), 5 }, // needs 6 bytes with its terminator
        { std::string("\xFF\xFF\xFF\xFF", 4), 517 },
        { std::string("\x05\0\0\0abc", 7), 64 }, // truncated
        { std::string("\x05\0", 2), 64 },
    };
    for (const CASE& each : cases) {
        FILE* stream = streamwith(each.bytes);
        std::string buffer(each.size + 8, '#');
        EXPECT_EQ(fgetlstr(buffer.data(), each.size, stream), -1);
        EXPECT_EQ(buffer[0], '\0');
        EXPECT_EQ(buffer.substr(each.size), std::string(8, '#'));
        std::fclose(stream);
    }
}

} // namespace
