#include "core/text/strutil.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

// A buffer with guard bytes behind the bound, to see writes past it.
struct Guarded {
    explicit Guarded(size_t n) : bytes(n + 1 + 8, '#'), size(n) {}
    char* data() { return bytes.data(); }
    bool guardIntact() const { return std::string(bytes.begin() + size + 1, bytes.end()) == "########"; }
    std::vector<char> bytes;
    size_t size;
};

}  // namespace

TEST(StrUtil, BoundedCopyAndAppend)
{
    Guarded dst(3);
    EXPECT_STREQ(strnzcpy(dst.data(), "abcdef", 3), "abc");
    EXPECT_TRUE(dst.guardIntact());
    EXPECT_STREQ(strnzcpy(dst.data(), nullptr, 3), "");
    EXPECT_STREQ(strnzcpy(dst.data(), "abc", 0), "");

    char big[32];
    EXPECT_STREQ(strnzcpy(big, "unbounded", -1), "unbounded");
    EXPECT_STREQ(strnzcat(big, "+tail", 3), "unbounded+ta");
    EXPECT_STREQ(strnzcat(big, nullptr, 3), "unbounded+ta");
    EXPECT_STREQ(strnzcat(big, "!", -1), "unbounded+ta!");

    char chained[16];
    stpcpy(stpcpy(chained, "ab"), "cd");
    EXPECT_STREQ(chained, "abcd");
}

TEST(StrUtil, Utf8PrefixEndsOnACharacterBoundary)
{
    const struct {
        const char* text;
        size_t n;
        size_t length;
    } cases[] = {
        { "abc", 2, 2 },
        { "abc", 9, 3 },
        { "a\u00e9b", 2, 1 }, // a e-acute b: the two bytes of the accent stay together
        { "a\u00e9b", 3, 3 },
        { "\xE2\x82\xAC", 2, 0 }, // the euro sign needs three
        { "\xF0\x9F\x99\x82!", 4, 4 },
        { "\xFFx", 1, 1 }, // a byte that opens no sequence stands alone
        { "\xC3x", 1, 1 }, // a lead byte without its follower too
        { "\xC3", 5, 1 },
        { nullptr, 4, 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8prefix(c.text, c.n), c.length) << (c.text ? c.text : "null") << " " << c.n;
}

TEST(StrUtil, InPlaceEdits)
{
    char s[32] = "a,b;c,,d";
    EXPECT_STREQ(charrpl(s, s, ',', ' '), "a b;c  d");
    EXPECT_STREQ(killchars(s, " ;"), "abcd");
    EXPECT_STREQ(killchars(s, ""), "abcd");

    std::strcpy(s, " \t value \r\n");
    EXPECT_STREQ(trimspace(s, s), "value");
    std::strcpy(s, "x \v\f");
    EXPECT_STREQ(killendspace(s), "x");
    std::strcpy(s, " \t ");
    EXPECT_STREQ(killendspace(s), "");
    char dst[8];
    EXPECT_STREQ(trimspace(dst, "   "), "");
}

TEST(StrUtil, CaseInsensitiveSearch)
{
    const char* text = "the Resistor R1 and resistor R2";
    EXPECT_EQ(stristr(text, "RESISTOR"), text + 4);
    EXPECT_EQ(stristr(text, "r2"), text + 29);
    EXPECT_EQ(stristr(text, ""), text);
    EXPECT_EQ(stristr(text, "capacitor"), nullptr);
    EXPECT_EQ(stristr("ab", "abc"), nullptr);
    EXPECT_EQ(stristr("a[b", "A{B"), nullptr);  // only letters fold

    // Agrees with a plain scan on texts whose repeats defeat naive skipping.
    const std::vector<std::string> texts { "aaaaab", "abababac", "xabcabcabd", "AbAbAbAbAa", "ba" };
    const std::vector<std::string> keys { "ab", "aab", "abac", "abcabd", "BAA", "a", "bA" };
    for (const std::string& t : texts) {
        for (const std::string& k : keys) {
            std::string upperText = t, upperKey = k;
            for (char& c : upperText)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (char& c : upperKey)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            size_t at = upperText.find(upperKey);
            const char* expected = at == std::string::npos ? nullptr : t.c_str() + at;
            EXPECT_EQ(stristr(t.c_str(), k.c_str()), expected) << t << " / " << k;
        }
    }
}

TEST(StrUtil, ReplaceSubstrings)
{
    struct Case {
        const char* src;
        const char* find;
        const char* repl;
        int casesensitive;
        int size;
        const char* expected;
    };
    const Case cases[] = {
        { "aaaa", "a", "bbb", 1, 10, "bbbbbbbbb" },  // the fourth would make 12: dropped
        { "aaa", "a", "bbb", 1, 9, "bbbbbb" },  // a replacement must leave one character free
        { "R1 r1 R1", "r1", "C2", 0, 64, "C2 C2 C2" },
        { "R1 r1 R1", "r1", "C2", 1, 64, "R1 C2 R1" },
        { "x.y.z", ".", nullptr, 1, 64, "xyz" },
        { "abc", "", "X", 1, 64, "abc" },  // empty search: nothing replaced
        { "abc", nullptr, "X", 1, 64, "abc" },
        { "long text here", "zz", "y", 1, 4, "long" },  // plain text fills up to size
        { "ab-ab", "ab", "LONGER", 1, 6, "-" },  // dropped replacements drop the match too
        { "abc", "b", "X", 1, 0, "" },
        { "%NAME%-%name%", "%name%", "U1", 0, 64, "U1-U1" },
    };
    for (const Case& c : cases) {
        Guarded dst(static_cast<size_t>(c.size));
        EXPECT_STREQ(strrpl(dst.data(), c.src, c.find, c.repl, c.casesensitive, c.size), c.expected)
            << c.src << " / " << (c.find ? c.find : "(null)");
        EXPECT_TRUE(dst.guardIntact()) << c.src;
    }

    char same[16] = "a-b-c";
    EXPECT_EQ(strrpl(same, same, "-", "--", 1, 15), same);
    EXPECT_STREQ(same, "a--b--c");
}

TEST(StrUtil, WildcardCompare)
{
    struct Case {
        const char* pattern;
        const char* s;
        int escapes;
        int sign;  // of strwccmp
    };
    const Case cases[] = {
        { "<*>", "<NAME>", 0, 0 },
        { "*a", "aba", 0, -1 },  // no backtracking: the first 'a' is taken
        { "a?", "a", 0, 1 },
        { "*?", "", 0, 0 },
        { "*", "", 0, 0 },
        { "", "", 0, 0 },
        { "", "x", 0, -1 },
        { "R?", "R1", 0, 0 },
        { "R??", "R1", 0, 1 },
        { "*.DSN", "DESIGN.DSN", 0, 0 },
        { "*.DSN", "DESIGN.TXT", 0, 1 },  // segment not found
        { "D*N.*", "DESIGN.DSN", 0, 0 },
        { "*IG*?.D", "DESIGN.D", 0, 0 },
        { "a\\*", "a*", 1, 0 },
        { "a\\*", "ab", 1, -1 },  // with escapes the star is literal
        { "a\\*", "a\\xyz", 0, 0 },  // without, the backslash is literal and the star a wildcard
        { "*\\?", "what?", 1, 0 },
        { "a\\", "a\\", 1, 0 },  // a final backslash stands for itself
        { "abc", "abd", 0, -1 },
        { "abc", "ab", 0, 1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(sign(strwccmp(c.pattern, c.s, c.escapes)), c.sign) << c.pattern << " / " << c.s;

    EXPECT_NE(strwccmp("*.dsn", "DESIGN.DSN", 0), 0);
    EXPECT_EQ(strwcicmp("*.dsn", "DESIGN.DSN", 0), 0);
    EXPECT_EQ(strwcicmp("r?_*", "R1_A", 0), 0);
    EXPECT_NE(strwcicmp("r?_*", "R1A", 0), 0);
}

TEST(StrUtil, ExpandTabs)
{
    char dst[64];
    EXPECT_EQ(expandtabs("a\tb", 100, dst, 63, nullptr, 0, ' '), 9u);
    EXPECT_STREQ(dst, "a       b");

    const unsigned four[] = { 4 };
    EXPECT_EQ(expandtabs("ab\tc\t", 100, dst, 63, four, 1, '.'), 8u);
    EXPECT_STREQ(dst, "ab..c...");

    const unsigned zero[] = { 0 };
    EXPECT_EQ(expandtabs("\tx", 100, dst, 63, zero, 1, ' '), 9u);  // interval 0 uses 8

    const unsigned columns[] = { 3, 10 };
    EXPECT_EQ(expandtabs("a\tb\tc\td", 100, dst, 63, columns, 2, '-'), 13u);
    EXPECT_STREQ(dst, "a--b------c d");  // past the last stop a tab is one space

    Guarded small(5);
    EXPECT_EQ(expandtabs("a\tb", 100, small.data(), 5, nullptr, 0, ' '), 5u);
    EXPECT_STREQ(small.data(), "a    ");
    EXPECT_TRUE(small.guardIntact());

    EXPECT_EQ(expandtabs("abcdef", 2, dst, 63, nullptr, 0, ' '), 2u);
    EXPECT_STREQ(dst, "ab");
    EXPECT_EQ(expandtabs("", 100, dst, 63, nullptr, 0, ' '), 0u);
    EXPECT_STREQ(dst, "");
}

TEST(StrUtil, CommaSeparatedFields)
{
    char a[32], b[32], c[32], d[32], e[32];
    getcsvfields("R1,\"10k, 1%\",0805", 4, a, b, c, d);
    EXPECT_STREQ(a, "R1");
    EXPECT_STREQ(b, "10k, 1%");
    EXPECT_STREQ(c, "0805");
    EXPECT_STREQ(d, "");

    getcsvfields(",x,,y\nnext,line", 5, a, b, c, d, e);
    EXPECT_STREQ(a, "");  // an empty first field keeps its column
    EXPECT_STREQ(b, "x");
    EXPECT_STREQ(c, "");
    EXPECT_STREQ(d, "y");
    EXPECT_STREQ(e, "");  // an unquoted field stops at the line feed, and so do the rest

    getcsvfields("\"open\nB,C", 2, a, b);
    EXPECT_STREQ(a, "open");
    EXPECT_STREQ(b, "B");  // a quoted field skips the line feed that ends it

    getcsvfields("\"unterminated", 2, a, b);
    EXPECT_STREQ(a, "unterminated");
    EXPECT_STREQ(b, "");
}

TEST(StrUtil, Keywords)
{
    const char* states[] = { "OFF", "ON", "Pin_A", nullptr };
    EXPECT_EQ(keywordp("on", states), 1);
    EXPECT_EQ(keywordp("PIN_a", states), 2);
    EXPECT_EQ(keywordp("o", states), -1);
    EXPECT_EQ(keywordp(nullptr, states), -1);
    const char* empty[] = { nullptr };
    EXPECT_EQ(keywordp("on", empty), -1);

    EXPECT_EQ(matchkeyword("Slow", "FAST", "SLOW", static_cast<const char*>(nullptr)), 1);
    EXPECT_EQ(matchkeyword("none", "FAST", "SLOW", static_cast<const char*>(nullptr)), -1);
    EXPECT_EQ(matchkeyword(nullptr, "FAST", static_cast<const char*>(nullptr)), -1);
}
