#include "engines/mavro/mavro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Every token of the line in turn, as INPgetTok hands them out.
std::vector<std::string> tokens(std::string line, int gobble)
{
    std::vector<std::string> out;
    char* cursor = line.data();
    for (;;) {
        char* token = nullptr;
        int result = INPgetTok(&cursor, &token, gobble);
        EXPECT_NE(token, nullptr);
        std::string text = token ? token : "";
        INPfree(token);
        if (result != 0) {
            EXPECT_EQ(result, E_NOTFOUND);
            EXPECT_EQ(text, "");
            EXPECT_EQ(*cursor, '\0');
            return out;
        }
        out.push_back(text);
    }
}

struct TokenCase {
    const char* line;
    std::vector<std::string> expected;
};

}  // namespace

TEST(GetTok, SplitsCards)
{
    const TokenCase cases[] = {
        { "", {} },
        { " \t ", {} },
        { "r1 a b 1k", { "r1", "a", "b", "1k" } },
        { "v1 (in 0) dc 5", { "v1", "in", "0", "dc", "5" } },
        { "q1 c,b,e  bc547", { "q1", "c", "b", "e", "bc547" } },
        { "ic=5, 6 ,7", { "ic", "5", "6", "7" } },
        { "sin(0 1 1k)", { "sin", "0", "1", "1k" } },
        { "r:1:5 1:mid $0000002a x#y", { "r:1:5", "1:mid", "$0000002a", "x#y" } },
        { "a\tb\r\nc\n", { "a", "b", "c" } },
        { "\xc3\xa9t\xc3\xa9 x", { "\xc3\xa9t\xc3\xa9", "x" } },
        { "((=,))", {} },
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(tokens(c.line, 1), c.expected);
        EXPECT_EQ(tokens(c.line, 0), c.expected);
    }
}

TEST(GetTok, GobbleSkipsBlanksAndCommasButLeavesOtherSeparators)
{
    struct {
        const char* line;
        int gobble;
        const char* rest;
    } cases[] = {
        { "a  b", 0, "  b" },
        { "a  b", 1, "b" },
        { "a , ,b", 1, "b" },
        { "sin(0 1)", 1, "(0 1)" },
        { "ic = 5", 1, "= 5" },
        { "last", 1, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        char* cursor = line.data();
        char* token = nullptr;
        EXPECT_EQ(INPgetTok(&cursor, &token, c.gobble), 0);
        INPfree(token);
        EXPECT_STREQ(cursor, c.rest);
    }
}

TEST(Evaluate, ReadsNumbersWithScaleSuffixes)
{
    struct {
        const char* text;
        double value;
    } cases[] = {
        { "0", 0 }, { "42", 42 }, { "+5", 5 }, { "-5", -5 }, { "-.5", -0.5 }, { "5.", 5 }, { ".25", 0.25 },
        { "1e3", 1e3 }, { "1E-3", 1e-3 }, { "1e+3", 1e3 }, { "-2.5e-2", -0.025 },
        { "3t", 3e12 }, { "5g", 5e9 }, { "1k", 1e3 }, { "1K", 1e3 }, { "4meg", 4e6 }, { "4MEG", 4e6 },
        { "4Meg", 4e6 }, { "1m", 1e-3 }, { "1M", 1e-3 }, { "10mil", 254e-6 }, { "2.2u", 2.2e-6 },
        { "7n", 7e-9 }, { "8p", 8e-12 }, { "9f", 9e-15 }, { "2.5e3k", 2.5e6 },
        // What follows the number and its suffix is a unit and ignored.
        { "10uF", 10e-6 }, { "1kohm", 1e3 }, { "5V", 5 }, { "1megohm", 1e6 }, { "4k7", 4e3 }, { "1..2", 1 },
        { "3x", 3 }, { "1e", 1 }, { "2ex", 2 }, { "6e-", 6 }, { "1mils", 25.4e-6 },
        // Too small for a double: zero, not an error.
        { "1e-400", 0 },
    };
    for (const auto& c : cases) {
        for (std::string text : { std::string(c.text), std::string(c.text) + "\n", " " + std::string(c.text) + " 7" }) {
            SCOPED_TRACE(text);
            char* cursor = text.data();
            int error = -1;
            double value = INPevaluate(&cursor, &error, 1);
            EXPECT_EQ(error, 0);
            EXPECT_NEAR(value, c.value, std::fabs(c.value) * 1e-12);
            EXPECT_TRUE(*cursor == '\0' || *cursor == '7') << cursor;
        }
    }
}

TEST(Evaluate, RejectsWhatIsNoNumberAndKeepsTheCursor)
{
    for (const char* text : { "", "   ", "abc", "-", "+", ".", "e5", "--5", "+-5", ".e1", "k1", "1e999", "-1e999",
             "1e308k", "(" }) {
        SCOPED_TRACE(text);
        std::string line = text;
        char* cursor = line.data();
        int error = 0;
        EXPECT_EQ(INPevaluate(&cursor, &error, 1), 0.0);
        EXPECT_NE(error, 0);
        EXPECT_EQ(cursor, line.data());
    }
}

TEST(Evaluate, ReadsAListUntilNoNumberFollows)
{
    std::string line = "0 1, 2.5 -1e-3 vsense";
    char* cursor = line.data();
    std::vector<double> values;
    for (int error = 0;;) {
        double value = INPevaluate(&cursor, &error, 1);
        if (error)
            break;
        values.push_back(value);
    }
    EXPECT_EQ(values, (std::vector<double> { 0, 1, 2.5, -1e-3 }));
    EXPECT_STREQ(cursor, "vsense");
}
