#include "core/text/encodings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "testsupport/temp_folder.h"

namespace {

const std::string fixtures = std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/encodings/";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string tempFile(const char* name, const std::string& content)
{
    auto path = vkt::test::tempFolder() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

std::string escaped(const char* src, int size = 200, int keep = 0)
{
    std::string dst(static_cast<size_t>(size > 0 ? size : 1), '#');
    xmlescape(src, dst.data(), size, keep);
    return dst.c_str();
}

} // namespace

TEST(Encodings, XmlEscapeReplacesMarkupAndHighCharacters)
{
    struct Case {
        const char* src;
        const char* expected;
    };
    const Case cases[] = {
        { "<a & \"b\">", "&lt;a &amp; &quot;b&quot;&gt;" },
        { "it's\tplain", "it's\tplain" },
        { "&copy;", "&amp;copy;" },
        { "\xE9", "&eacute;" },
        { "\x85", "&#133;" },
        { "\xA0\xFF\x80\x9F", "&nbsp;&yuml;&#128;&#159;" },
        // Well-formed UTF-8 is one character; other high bytes are Latin-1 characters.
        { "caf\xC3\xA9", "caf&eacute;" },
        { "\xC2\x85", "&#133;" },
        { "\xCE\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "&#937; &#8364; &#128512;" },
        { "\xC3(", "&Atilde;(" },
        { "\xC0\xAF", "&Agrave;&macr;" },
        { "\xED\xA0\x80", "&iacute;&nbsp;&#128;" },
        { "end\xE2\x82", "end&acirc;&#130;" },
        { "", "" },
        { nullptr, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(escaped(c.src), c.expected) << (c.src ? c.src : "(null)");
}

TEST(Encodings, XmlEscapeKeepsOnlyKnownReferences)
{
    struct Case {
        const char* src;
        const char* expected;
    };
    const Case cases[] = {
        { "&copy; &#169; &Eacute;", "&copy; &#169; &Eacute;" },
        { "&amp; &lt; &quot;", "&amp;amp; &amp;lt; &amp;quot;" },
        { "&COPY; &foo; &eacute &#; &#x41; & x",
            "&amp;COPY; &amp;foo; &amp;eacute &amp;#; &amp;#x41; &amp; x" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(escaped(c.src, 200, 1), c.expected) << c.src;
    // A candidate reference is at most 32 characters from '&' to ';'.
    std::string longest = "&#" + std::string(26, '0') + "169;";
    ASSERT_EQ(longest.size(), 32u);
    EXPECT_EQ(escaped(longest.c_str(), 200, 1), longest);
    std::string tooLong = "&#" + std::string(27, '0') + "169;";
    EXPECT_EQ(escaped(tooLong.c_str(), 200, 1), "&amp;" + tooLong.substr(1));
}

TEST(Encodings, XmlEscapeWritesOnlyWholePieces)
{
    EXPECT_EQ(escaped("<<", 5), "&lt;");
    EXPECT_EQ(escaped("<<", 4), "");
    EXPECT_EQ(escaped("ab<", 6), "ab");
    EXPECT_EQ(escaped("a\xE9", 8), "a");
    EXPECT_EQ(escaped("abc", 1), "");
    char untouched[] = "xyz";
    EXPECT_EQ(xmlescape("abc", untouched, 0, 0), untouched);
    EXPECT_STREQ(untouched, "xyz");
}

TEST(Encodings, QuotedPrintableMatchesTheFixture)
{
    std::string input = readFile(fixtures + "sample.txt");
    std::string expected = readFile(fixtures + "sample.qp");
    ASSERT_FALSE(input.empty());
    std::string out(3 * input.size() + 2 * (3 * input.size() / 73) + 1, '#');
    long result = qpencode(reinterpret_cast<const unsigned char*>(input.data()), input.size(), out.data());
    EXPECT_EQ(out.c_str(), expected);
    EXPECT_EQ(result, static_cast<long>(expected.size()) + 1);

    char empty[1] = { '#' };
    EXPECT_EQ(qpencode(reinterpret_cast<const unsigned char*>(""), 0, empty), 1);
    EXPECT_STREQ(empty, "");
    EXPECT_EQ(qpencode(nullptr, 3, empty), -1);
    EXPECT_EQ(qpencode(reinterpret_cast<const unsigned char*>("abc"), 3, nullptr), -1);
}

TEST(Encodings, Base64OfSmallFilesInMimeLines)
{
    const std::string letters
        = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz";
    const std::string line = "YWJjZGVmZ2hpamtsbW5vcHFyc3R1dnd4eXphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5emFiY2Rl";
    struct Case {
        size_t size;
        std::string expected;
    };
    const Case cases[] = {
        { 0, "" },
        { 1, "YQ==" },
        { 2, "YWI=" },
        { 3, "YWJj" },
        { 57, line + "\n" },
        { 58, line + "\nZg==" },
    };
    for (const Case& c : cases) {
        std::string path = tempFile("small.bin", letters.substr(0, c.size));
        char* out = nullptr;
        EXPECT_EQ(base64file(path.c_str(), &out, 0), c.expected.size() + 1) << c.size;
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out, c.expected) << c.size;
        std::free(out);
    }
}

TEST(Encodings, Base64OfTheFixtureIntoOwnAndCallerBuffers)
{
    std::string path = fixtures + "sample.bin";
    std::string expected = readFile(fixtures + "sample.b64");
    char* out = nullptr;
    EXPECT_EQ(base64file(path.c_str(), &out, 0), expected.size() + 1);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out, expected);
    std::free(out);

    std::string buffer(expected.size() + 1, '#');
    char* given = buffer.data();
    EXPECT_EQ(base64file(path.c_str(), &given, buffer.size()), expected.size() + 1);
    EXPECT_EQ(given, buffer.data());
    EXPECT_EQ(buffer.c_str(), expected);
}

TEST(Encodings, Base64ReportsOutputThatDoesNotFitAsFailure)
{
    std::string path = tempFile("57.bin", std::string(57, 'a'));
    // 76 characters, a line feed and the NUL: 78 bytes.
    for (size_t capacity : { 77, 76, 10, 1 }) {
        std::string buffer(78, '#');
        char* given = buffer.data();
        EXPECT_EQ(base64file(path.c_str(), &given, capacity), 0u) << capacity;
        EXPECT_EQ(buffer[0], '\0') << capacity;
    }
    std::string buffer(78, '#');
    char* given = buffer.data();
    EXPECT_EQ(base64file(path.c_str(), &given, 78), 78u);

    char* out = nullptr;
    EXPECT_EQ(base64file((vkt::test::tempFolder() / "missing.bin").c_str(), &out, 0), 0u);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(base64file(vkt::test::tempFolder().c_str(), &out, 0), 0u) << "a folder is not a file";
    EXPECT_EQ(out, nullptr);
}

TEST(Encodings, LineEndConversions)
{
    char dst[64];
    EXPECT_EQ(lftocrlf(dst, "a\nb\n\n"), 8);
    EXPECT_STREQ(dst, "a\r\nb\r\n\r\n");
    EXPECT_EQ(lftocrlf(dst, nullptr), 0);
    EXPECT_STREQ(dst, "");

    char text[] = "a\r\nb\rc\r\r\n";
    EXPECT_EQ(crlftolf(text, text), 7);
    EXPECT_STREQ(text, "a\nb\rc\r\n");

    EXPECT_EQ(escape_eols(dst, "a\nb\n", -1), 6);
    EXPECT_STREQ(dst, "a\\nb\\n");
    EXPECT_EQ(escape_eols(dst, "a\nb\n", 2), 3);
    EXPECT_STREQ(dst, "a\\n");

    char escapedText[] = "a\\nb\\tc\\\\n\\";
    EXPECT_EQ(unescape_eols(escapedText, escapedText, -1), 9);
    EXPECT_STREQ(escapedText, "a\nb\\tc\\\n\\");
    EXPECT_EQ(unescape_eols(dst, "a\\nb", 2), 2) << "a pair cut by the limit is not a line end";
    EXPECT_STREQ(dst, "a\\");
    EXPECT_EQ(unescape_eols(dst, "a\\nb", 3), 2);
    EXPECT_STREQ(dst, "a\n");
}

TEST(Encodings, ThousandsSeparators)
{
    struct Case {
        long n;
        const char* expected;
    };
    const Case cases[] = {
        { 0, "0" },
        { 999, "999" },
        { 1000, "1,000" },
        { -1234, "-1,234" },
        { -999, "-999" },
        { 1234567, "1,234,567" },
        { LONG_MIN, "-9,223,372,036,854,775,808" },
    };
    char buffer[27];
    for (const Case& c : cases)
        EXPECT_STREQ(fmtcsn(c.n, buffer), c.expected) << c.n;
    char* shared = fmtcsn(12345, nullptr);
    EXPECT_STREQ(shared, "12,345");
    EXPECT_EQ(fmtcsn(1, nullptr), shared);
    EXPECT_STREQ(shared, "1");
}

TEST(Encodings, Capitalise)
{
    struct Case {
        const char* text;
        int onlyupper;
        const char* expected;
    };
    const Case cases[] = {
        { "MAIN POWER supply", 0, "Main Power Supply" },
        { "HELLO WORLD", 1, "Hello World" },
        { "mixed Case", 1, "mixed Case" },
        { "o'NEIL-SMITH 2ND", 0, "O'Neil-Smith 2Nd" },
        { "", 0, "" },
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_STREQ(capitalise(text.data(), c.onlyupper), c.expected) << c.text;
    }
    EXPECT_EQ(capitalise(nullptr, 0), nullptr);
}
