#include "core/text/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double syntaxerror = std::numeric_limits<double>::quiet_NaN();
constexpr double overflow = std::numeric_limits<double>::infinity();
constexpr int32_t unchanged = 0x5a5a5a5a;

struct RealCase {
    std::string text;
    double value; // NaN: a syntax error
    int result;
    long offset; // -1: the end of the text
};

void expectsame(double got, double expected, const std::string& text)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(got)) << text << " gave " << got;
    else if (std::isinf(expected))
        EXPECT_EQ(got, expected) << text;
    else
        EXPECT_DOUBLE_EQ(got, expected) << text;
}

void checkreal(const std::vector<RealCase>& cases, const std::function<int(char**, double*)>& reader)
{
    for (const RealCase& c : cases) {
        std::string copy = c.text;
        char* p = copy.data();
        double v = 12345;
        EXPECT_EQ(reader(&p, &v) != 0, c.result != 0) << c.text;
        expectsame(v, c.value, c.text);
        EXPECT_EQ(p - copy.data(), c.offset < 0 ? static_cast<long>(c.text.size()) : c.offset) << c.text;
    }
}

struct IntCase {
    const char* name;
    std::function<int(char**, int32_t*)> reader;
    std::string text;
    int result;
    int32_t value;
    long offset; // -1: the end of the text
};

int getvalplain(char** p, double* v)
{
    return getval(p, v);
}

} // namespace

TEST(Values, RealNumbersWithSuffixes)
{
    checkreal(
        {
            { "4k7", 4700, 1, -1 },
            { "100n", 1e-7, 1, -1 },
            { "2.2u", 2.2e-6, 1, -1 },
            { "1.5e-3", 0.0015, 1, -1 },
            { "10Meg", 1e7, 1, -1 },
            { "3.3V", 3.3, 1, -1 },
            { "4R7", 4.7, 1, -1 },
            { "1k5k", 1.5e3, 1, -1 },
            { "1e3k", 1e6, 1, -1 },
            { "10Hz", 10, 1, -1 },
            { "10 Hz", 10, 1, 2 },
            { "5f", 5, 1, -1 },
            { "1G", 1e9, 1, -1 },
            { "1g", 1, 1, -1 },
            { "2p(x)", 2e-12, 1, 2 },
            { "  -2.2e-6,", -2.2e-6, 1, 9 },
            { "+3", 3, 1, -1 },
            { "1-2", 1, 1, 1 },
            { "1.2.3", 1.23, 1, -1 },
            { ".5", 0.5, 1, -1 },
            { "2.00e+15", 2e15, 1, -1 },
        },
        getvalplain);
}

TEST(Values, RealNumbersKeepNineIntegerDigits)
{
    checkreal(
        {
            { "1234567890", 1234567890, 1, -1 },
            { "12345678901", 12345678900, 1, -1 },
            { "12345678901e-1", 1234567890, 1, -1 },
            { "1234567890.5", 1234567890.5, 1, -1 },
            { std::string(400, '9'), overflow, 0, -1 },
        },
        getvalplain);
}

TEST(Values, RealNumberFailures)
{
    checkreal(
        {
            { "-", syntaxerror, 0, 1 },
            { "1e", syntaxerror, 0, 2 },
            { "1e-", syntaxerror, 0, 3 },
            { "1e.5", syntaxerror, 0, 2 },
            { "", syntaxerror, 0, 0 },
            { "   ", syntaxerror, 0, 3 },
            { "1e999", overflow, 0, -1 },
            { "2e1000", syntaxerror, 0, -1 },
            { "1e" + std::string(30, '9'), syntaxerror, 0, -1 },
        },
        getvalplain);
    std::string text = "E3";
    char* p = text.data();
    double v = 0;
    EXPECT_EQ(getval(&p, &v), 0);
    EXPECT_TRUE(std::isnan(v));
}

TEST(Values, RealNumbersWithASeparator)
{
    auto comma = [](char** p, double* v) { return getval(p, v, ','); };
    auto point = [](char** p, double* v) { return getval(p, v, '.'); };
    checkreal({ { "1,5", 1.5, 1, -1 }, { "1.5", 1, 1, 1 } }, comma);
    checkreal({ { "10Hz", 10, 1, 3 }, { "2Meg", 2e6, 1, 2 } }, point);
}

TEST(Values, RealDefaults)
{
    EXPECT_EQ(getdefdbl("abc", 7), 7);
    EXPECT_EQ(getdefdbl("1e400", 7), 7);
    EXPECT_EQ(getdefdbl(nullptr, 7), 7);
    EXPECT_EQ(getdefdbl("", 7), 7);
    EXPECT_DOUBLE_EQ(getdefdbl("  4k7 ohm", 7), 4700);
}

TEST(Values, Integers)
{
    auto radix = [](char** p, int32_t* v) { return getradixint(p, v); };
    std::vector<IntCase> cases = {
        { "getint", getint, "  42x", 1, 42, 4 },
        { "getint", getint, "-5", 0, 0, 0 },
        { "getint", getint, "  x", 0, 0, 2 },
        { "getint", getint, "4294967297", 1, 1, -1 },
        { "getsint", getsint, "-5", 1, -5, -1 },
        { "getsint", getsint, "  +7", 1, 7, -1 },
        { "getsint", getsint, "- 5", 0, 0, 0 },
        { "getsint", getsint, " -", 0, 0, 1 },
        { "getsint", getsint, "-2147483648", 1, INT32_MIN, -1 },
        { "getbin", getbin, "  1011 ", 1, 11, 6 },
        { "getbin", getbin, "2", 0, 0, 0 },
        { "gethex", gethex, "0x1F", 1, 0, 1 },
        { "gethex", gethex, " ffG", 1, 255, 3 },
        { "gethex", gethex, "FFFFFFFF", 1, -1, -1 },
        { "gethex", gethex, "123456789", 1, 0x23456789, -1 },
        { "gethex", gethex, "g", 0, 0, 0 },
        { "getradixint", radix, "0x1F", 1, 31, -1 },
        { "getradixint", radix, "$ff", 1, 255, -1 },
        { "getradixint", radix, "%101", 1, 5, -1 },
        { "getradixint", radix, "0b11", 1, 3, -1 },
        { "getradixint", radix, "0B11", 1, 3, -1 },
        { "getradixint", radix, "-12", 1, -12, -1 },
        { "getradixint", radix, "0x A", 1, 10, -1 },
        { "getradixint", radix, " 0x10", 1, 0, 2 },
        { "getradixint", radix, "0xZ", 0, unchanged, 0 },
        { "getradixint", radix, "0b2", 0, unchanged, 0 },
        { "getradixint", radix, "  -", 0, unchanged, 0 },
    };
    for (const IntCase& c : cases) {
        std::string copy = c.text;
        char* p = copy.data();
        int32_t v = unchanged;
        EXPECT_EQ(c.reader(&p, &v), c.result) << c.name << " on [" << c.text << "]";
        EXPECT_EQ(v, c.value) << c.name << " on [" << c.text << "]";
        EXPECT_EQ(p - copy.data(), c.offset < 0 ? static_cast<long>(c.text.size()) : c.offset)
            << c.name << " on [" << c.text << "]";
    }
}

TEST(Values, HexadecimalRanges)
{
    struct {
        std::string text;
        int result;
        int32_t lo, hi;
    } cases[] = {
        { "1000 - 1FFF", 1, 0x1000, 0x1FFF },
        { "10 20", 0, 0x10, 0x20 },
        { "-5", 0, 0, 5 },
        { "A-", 0, 10, 0 },
    };
    for (const auto& c : cases) {
        std::string copy = c.text;
        char* p = copy.data();
        int32_t lo = unchanged, hi = unchanged;
        EXPECT_EQ(gethexrange(&p, &lo, &hi), c.result) << c.text;
        EXPECT_EQ(lo, c.lo) << c.text;
        EXPECT_EQ(hi, c.hi) << c.text;
    }
    int32_t lo, hi;
    EXPECT_EQ(gethexrange(nullptr, &lo, &hi), 0);
}

TEST(Values, Booleans)
{
    struct {
        std::string text;
        int result;
        int value;
        long offset;
    } cases[] = {
        { "yes", 1, 1, 3 },
        { "t", 1, 1, 1 },
        { "Off", 1, 0, 3 },
        { "0", 1, 0, 1 },
        { "  no,", 1, 0, 4 },
        { "10", 1, 1, 1 },
        { "maybe", 0, 7, 0 },
        { "TRUEX", 0, 7, 0 },
        { "  ", 0, 7, 0 },
    };
    for (const auto& c : cases) {
        std::string copy = c.text;
        char* p = copy.data();
        int v = 7;
        EXPECT_EQ(getbool(&p, &v), c.result) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(p - copy.data(), c.offset) << c.text;
    }
}

TEST(Values, IntegerAndBooleanDefaults)
{
    EXPECT_EQ(getdefint("  -12abc", 3), -12);
    EXPECT_EQ(getdefint("- 12", 3), 3);
    EXPECT_EQ(getdefint(nullptr, 3), 3);
    EXPECT_EQ(getdefhex("0x1F", 3), 0);
    EXPECT_EQ(getdefhex("ff", 3), 255);
    EXPECT_EQ(getdefhex("", 3), 3);
    EXPECT_EQ(getdefradixint("$10", 3), 16);
    EXPECT_EQ(getdefradixint(" 0x10", 3), 0);
    EXPECT_EQ(getdefradixint("0x", 3), 3);
    EXPECT_EQ(getdefradixint(nullptr, 3), 3);
    EXPECT_EQ(getdefbool("on", 0), 1);
    EXPECT_EQ(getdefbool("False", 1), 0);
    EXPECT_EQ(getdefbool("x", 5), 5);
    EXPECT_EQ(getdefbool(nullptr, 5), 5);
}
