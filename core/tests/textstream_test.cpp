#include "core/text/textstream.h"

#include "core/text/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(TEXT& t, int mode)
{
    TEXTSTREAM s(&t, mode);
    std::vector<std::string> out;
    for (std::string line; std::getline(s, line);)
        out.push_back(line);
    return out;
}

std::string stored(const TEXT& t)
{
    return t.text ? t.text : "<null>";
}

} // namespace

TEST(TEXTSTREAM, EscapesAreTranslatedUnlessRaw)
{
    struct Case {
        const char* stored;
        std::vector<std::string> escaped;
        std::vector<std::string> raw;
    };
    const Case cases[] = {
        { "a{b}c", { "abc" }, { "a{b}c" } },
        { "a{{b}}", { "a{b}" }, { "a{{b}}" } },
        { "{{{x\n", { "{x" }, { "{{{x" } },
        { "ab\\\ncd\n", { "ab cd" }, { "ab\\", "cd" } },
        { "a\\{\n}b", { "a b" }, { "a\\{", "}b" } },
        { "a\\\\\nb", { "a\\ b" }, { "a\\\\", "b" } },
        { "a\\ \nb", { "a\\ ", "b" }, { "a\\ ", "b" } },
        { "cr\r\nx", { "cr\r", "x" }, { "cr\r", "x" } },
        { "\xff"
          "data\n",
            { "\xff"
              "data" },
            { "\xff"
              "data" } },
    };
    for (const auto& c : cases) {
        TEXT t(c.stored);
        EXPECT_EQ(lines(t, 0), c.escaped) << c.stored;
        EXPECT_EQ(lines(t, TEXTSTREAM_RAW), c.raw) << c.stored;
    }
}

TEST(TEXTSTREAM, NullOrEmptyTextEndsAtOnceAndWritingCreatesIt)
{
    for (const char* start : { static_cast<const char*>(nullptr), "" }) {
        TEXT t(start);
        TEXTSTREAM s(&t, 0);
        EXPECT_EQ(s.get(), std::char_traits<char>::eof());
        s.clear();
        s << "x{y";
        s.close();
        EXPECT_TRUE(s.good());
        EXPECT_EQ(stored(t), "x{{y");
    }
}

TEST(TEXTSTREAM, LongLineIsDeliveredWhole)
{
    std::string line(20000, 'q');
    TEXT t((line + "\nnext").c_str());
    EXPECT_EQ(lines(t, 0), (std::vector<std::string> { line, "next" }));
}

TEST(TEXTSTREAM, WritingOverwritesOrAppends)
{
    TEXT t("abcde");
    {
        TEXTSTREAM s(&t, 0);
        s << "xyz";
    }
    EXPECT_EQ(stored(t), "xyzde");
    {
        TEXTSTREAM s(&t, TEXTSTREAM_ATEND);
        s << "123";
    }
    EXPECT_EQ(stored(t), "xyzde123");

    TEXTSTREAM s(&t, TEXTSTREAM_RAW | TEXTSTREAM_ATEND);
    s << "{}";
    s.close();
    EXPECT_EQ(stored(t), "xyzde123{}");
    EXPECT_EQ(s.rdbuf()->pubseekoff(0, std::ios_base::end), std::streampos(10));
    EXPECT_EQ(s.rdbuf()->pubseekoff(-11, std::ios_base::cur), std::streampos(-1));
    EXPECT_EQ(s.rdbuf()->pubseekoff(3, std::ios_base::beg), std::streampos(3));
    EXPECT_EQ(s.get(), 'd');
}

TEST(TEXTSTREAM, WriteAfterReadLandsOnTheFirstUnreadCharacter)
{
    struct Case {
        const char* stored;
        int read;
        const char* after;
    };
    const Case cases[] = {
        { "line\nabcdef\n", 7, "line\nabXdef\n" }, // the third character of the second line
        { "a{{b}}c\n", 2, "a{{X}}c\n" }, // a doubled brace counts as one character
        { "ab\\\ncd\n", 3, "ab\\\nXd\n" }, // the joining blank stands for two stored ones
        { "ab\\\ncd\n", 2, "abX\ncd\n" }, { "ab{\n}x", 3, "ab{\n}X" }, // single braces are never written over
    };
    for (const auto& c : cases) {
        TEXT t(c.stored);
        {
            TEXTSTREAM s(&t, 0);
            for (int i = 0; i < c.read; ++i)
                s.get();
            s.put('X');
        }
        EXPECT_EQ(stored(t), c.after) << c.stored << " after " << c.read;
    }
}

TEST(TEXTSTREAM, ReadAfterWriteContinuesBehindTheWrite)
{
    TEXT t("12345\n67\n");
    TEXTSTREAM s(&t, 0);
    s << "ab";
    std::string rest;
    std::getline(s, rest);
    EXPECT_EQ(rest, "345");
    EXPECT_EQ(stored(t), "ab345\n67\n");
}

TEST(TEXTSTREAM, OpenFlushesIntoThePreviousText)
{
    TEXT first("aaaa"), second("bbbb");
    TEXTSTREAM s(&first, 0);
    s << "X";
    s.open(&second, 0);
    s << "Y";
    s.close();
    EXPECT_EQ(stored(first), "Xaaa");
    EXPECT_EQ(stored(second), "Ybbb");

    s.open(nullptr, 0);
    EXPECT_TRUE(s.bad());
    s.open(&first, 0);
    EXPECT_TRUE(s.good());
}
