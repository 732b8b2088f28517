#include "core/text/scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Reader = std::function<int(char** p, char* buf)>;

struct Outcome {
    int result;
    long offset; // where the cursor stands, from the start of the text
    std::string buf;
};

constexpr const char* untouched = "untouched";

// Runs a reader on a private copy of text, with a buffer that starts as "untouched".
Outcome run(const std::string& text, const Reader& reader)
{
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);
    std::vector<char> buf(text.size() + 1100, 0);
    std::string(untouched).copy(buf.data(), 9);
    char* p = copy.data();
    int result = reader(&p, buf.data());
    return { result, p - copy.data(), buf.data() };
}

struct Case {
    const char* name;
    std::string text;
    Reader reader;
    Outcome expected;
};

void check(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        Outcome got = run(c.text, c.reader);
        EXPECT_EQ(got.result, c.expected.result) << c.name << " on [" << c.text << "]";
        EXPECT_EQ(got.offset, c.expected.offset) << c.name << " on [" << c.text << "]";
        EXPECT_EQ(got.buf, c.expected.buf) << c.name << " on [" << c.text << "]";
    }
}

Reader nobuf(std::function<int(char**)> f)
{
    return [f](char** p, char*) { return f(p); };
}

Reader skipspacesr()
{
    return nobuf(skipspaces);
}
Reader skipoverr(const char* set)
{
    return nobuf([set](char** p) { return skipover(p, set); });
}
Reader skippastr(char c)
{
    return nobuf([c](char** p) { return skippast(p, c); });
}
Reader skiptor(char c)
{
    return nobuf([c](char** p) { return skipto(p, c); });
}
Reader chkchrr(char c)
{
    return nobuf([c](char** p) { return chkchr(p, c); });
}
Reader chkstrr(const char* s)
{
    return nobuf([s](char** p) { return chkstr(p, s); });
}
Reader chktokr(const char* k)
{
    return nobuf([k](char** p) { return chktok(p, k); });
}
Reader gettokr()
{
    return gettok;
}
Reader getnztokr(int n)
{
    return [n](char** p, char* buf) { return getnztok(p, buf, n); };
}
Reader getstrr(const char* delims)
{
    return [delims](char** p, char* buf) { return getstr(p, buf, delims); };
}
Reader getnzstrr(const char* delims, int n)
{
    return [delims, n](char** p, char* buf) { return getnzstr(p, buf, delims, n); };
}
Reader getlinestrr()
{
    return getlinestr;
}
Reader getfieldr(char term)
{
    return [term](char** p, char* buf) { return getfield(p, buf, term); };
}

const std::string quoted = "a\"x,y\",b"; // a"x,y",b

} // namespace

TEST(Scan, SkippingAndSearching)
{
    check({
        { "skipspaces", "", skipspacesr(), { 0, 0, untouched } },
        { "skipspaces", "   ", skipspacesr(), { 0, 3, untouched } },
        { "skipspaces", " \t\n\v\f\rx", skipspacesr(), { 1, 6, untouched } },
        { "skipspaces", "\xa0x", skipspacesr(), { 1, 0, untouched } },
        { "skipover", ", ,x", skipoverr(", "), { 1, 3, untouched } },
        { "skipover", ", ", skipoverr(", "), { 0, 2, untouched } },
        { "skipover", "abc", skipoverr(""), { 1, 0, untouched } },
        { "skipover", "abc", skipoverr(nullptr), { 1, 0, untouched } },
        { "skippast", quoted, skippastr(','), { 1, 7, untouched } },
        { "skipto", quoted, skiptor(','), { 1, 6, untouched } },
        { "skippast", "a\"\"b,c", skippastr(','), { 1, 5, untouched } },
        { "skipto", "a\"x,y", skiptor(','), { 0, 5, untouched } },
        { "skipto", "ab\"c", skiptor('"'), { 1, 2, untouched } },
        { "skippast", "abc", skippastr('x'), { 0, 3, untouched } },
        { "skippast", "abc", skippastr(0), { 0, 3, untouched } },
    });
}

TEST(Scan, TestsRestoreTheCursorOnFailure)
{
    std::string longident(70, 'a');
    check({
        { "chkchr", "   x", chkchrr('y'), { 0, 0, untouched } },
        { "chkchr", "   x", chkchrr('x'), { 1, 4, untouched } },
        { "chkchr", "   ", chkchrr(' '), { 0, 0, untouched } },
        { "chkchr", "", chkchrr(0), { 0, 0, untouched } },
        { "chkstr", "v(out)", chkstrr("V("), { 1, 2, untouched } },
        { "chkstr", "  ABCD", chkstrr("abc"), { 1, 5, untouched } },
        { "chkstr", "  AB", chkstrr("abc"), { 0, 0, untouched } },
        { "chkstr", "  x", chkstrr(""), { 1, 2, untouched } },
        { "chkstr", "   ", chkstrr(""), { 0, 0, untouched } },
        { "chktok", "  on_off", chktokr("ON"), { 0, 0, untouched } },
        { "chktok", "On, x", chktokr("ON"), { 1, 2, untouched } },
        { "chktok", " _a1+", chktokr("_A1"), { 1, 4, untouched } },
        { "chktok", "1abc", chktokr("1abc"), { 0, 0, untouched } },
        { "chktok", longident, chktokr(longident.substr(0, 63).c_str()), { 1, 63, untouched } },
        { "chktok", longident, chktokr(longident.c_str()), { 0, 0, untouched } },
    });
}

TEST(Scan, Tokens)
{
    check({
        { "gettok", "  abc_1+x", gettokr(), { 1, 7, "abc_1" } },
        { "gettok", "  +x", gettokr(), { 0, 2, untouched } },
        { "gettok", "", gettokr(), { 0, 0, untouched } },
        { "getnztok", "  abcdef", getnztokr(3), { 1, 5, "abc" } },
        { "getnztok", "abcdef", getnztokr(-1), { 1, 6, "abcdef" } },
    });
}

TEST(Scan, StringsQuotedOrUpToADelimiter)
{
    std::string longline(2000, 'x');
    check({
        { "getnzstr", " \"a\"\"b\",c", getnzstrr(",)", 63), { 1, 7, "a\"b" } },
        { "getnzstr", "abc ,d", getnzstrr(",)", 63), { 1, 4, "abc " } },
        { "getstr", "   ", getstrr(","), { 1, 3, "" } },
        { "getstr", "", getstrr(","), { 0, 0, "" } },
        { "getstr", "a,b c", getstrr(nullptr), { 1, 5, "a,b c" } },
        { "getstr", "\"ab", getstrr(","), { 1, 3, "ab" } },
        { "getstr", "\"a,b\" c", getstrr(","), { 1, 5, "a,b" } },
        { "getnzstr", "abcdef", getnzstrr(",", 2), { 1, 2, "ab" } },
        { "getnzstr", "\"abcd\"", getnzstrr(",", 2), { 1, 3, "ab" } },
        { "getnzstr", "abc", getnzstrr(",", 0), { 0, 0, "" } },
        { "getnzstr", "abc", getnzstrr(",", -5), { 0, 0, untouched } },
        { "getlinestr", "line one\nline two", getlinestrr(), { 1, 8, "line one" } },
        { "getlinestr", longline, getlinestrr(), { 1, 1023, longline.substr(0, 1023) } },
    });
}

TEST(Scan, BoundedStringWritesNoMoreThanItsBound)
{
    for (const char* text : { "abcdefgh", "\"abcdefgh\"", "\"ab\"\"\"\"\"\"\"\"" }) {
        std::vector<char> copy(text, text + strlen(text) + 1);
        std::vector<char> buf(8, '#');
        char* p = copy.data();
        getnzstr(&p, buf.data(), ",", 4);
        EXPECT_EQ(std::string(buf.data()).size(), 4u) << text;
        EXPECT_EQ(std::string(buf.begin() + 5, buf.end()), "###") << text;
    }
}

TEST(Scan, Fields)
{
    std::string longname(70, 'n');
    check({
        { "getfield", "  Name  = x", getfieldr('='), { 1, 9, "Name" } },
        { "getfield", "=x", getfieldr('='), { 0, 1, "" } },
        { "getfield", "\"A B\" =", getfieldr('='), { 1, 7, "A B" } },
        { "getfield", "\"\"=", getfieldr('='), { 1, 3, "" } },
        { "getfield", "\"ab\" x=", getfieldr('='), { 0, 5, "ab" } },
        { "getfield", "a b  =", getfieldr('='), { 1, 6, "a b" } },
        { "getfield", "abc", getfieldr('='), { 0, 3, "abc" } },
        { "getfield", "", getfieldr('='), { 0, 0, "" } },
        { "getfield", longname + "=", getfieldr('='), { 0, 63, longname.substr(0, 63) } },
        { "getfield", "a=b", getfieldr(0), { 0, 0, "" } },
    });
}

TEST(Scan, KeywordFromArguments)
{
    EXPECT_EQ(getdefkwd("gear", 1, "TRAPEZOIDAL", "GEAR", nullptr), 1);
    EXPECT_EQ(getdefkwd("Trapezoidal", 9, "TRAPEZOIDAL", "GEAR", nullptr), 0);
    EXPECT_EQ(getdefkwd("FAST", 0, "SLOW=2", "FAST=7", nullptr), 7);
    EXPECT_EQ(getdefkwd("fastest", 0, "SLOW=2", "FAST=-7", nullptr), -7);
    EXPECT_EQ(getdefkwd("fas", 3, "FAST=7", nullptr), 3);
    EXPECT_EQ(getdefkwd("gearx", 9, "GEAR", nullptr), 9);
    EXPECT_EQ(getdefkwd(" gear", 9, "GEAR", nullptr), 9);
    EXPECT_EQ(getdefkwd(nullptr, 5, "GEAR", nullptr), 5);
    EXPECT_EQ(getdefkwd("GEAR", 5, "A", nullptr, "GEAR"), 5);
    EXPECT_EQ(getdefkwd("GEAR", 5, "A", "GEAR"), 1);
}

TEST(Scan, KeywordFromList)
{
    struct {
        const char* word;
        const char* list;
        int expected;
    } cases[] = {
        { "B", "A, B=4, C", 4 },
        { "c", "A,B,C", 2 },
        { "D", "A,B", 9 },
        { "b", "A, B = -3", -3 },
        { "x y", "\"a\",\"X Y\"", 1 },
        { "B", "A,\"x,y\",B", 2 },
        { "A", "", 9 },
        { nullptr, "A", 9 },
        { "A", nullptr, 9 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(getlistkwd(c.word, c.list, 9), c.expected)
            << (c.word ? c.word : "null") << " in " << (c.list ? c.list : "null");
}
