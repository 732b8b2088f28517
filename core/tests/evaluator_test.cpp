#include "core/text/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr ptrdiff_t END = -1; // the cursor stands on the terminating NUL

struct Outcome {
    double value;
    int error;
    ptrdiff_t stop; // cursor offset after the call
};

Outcome run(const std::string& expression, const DIDX& vars, int tolerant = 0, int chevrons = 0)
{
    std::string text = expression;
    char* cursor = text.data();
    EVALUATOR<double> evaluator;
    double value = evaluator.evaluate(&cursor, vars, tolerant, chevrons);
    return { value, evaluator.error, cursor - text.data() };
}

// Equal, both NaN, or within a relative rounding error.
bool same(double actual, double expected)
{
    if (std::isnan(expected) || std::isnan(actual))
        return std::isnan(expected) && std::isnan(actual);
    if (std::isinf(expected) || actual == expected)
        return actual == expected;
    return std::fabs(actual - expected) <= 1e-12 * std::fabs(expected);
}

struct Case {
    const char* text;
    double value; // not checked when an error is expected
    int error;
    ptrdiff_t stop;
};

void check(const Case& c, const Outcome& outcome)
{
    ptrdiff_t stop = c.stop == END ? static_cast<ptrdiff_t>(std::string(c.text).size()) : c.stop;
    EXPECT_EQ(outcome.error, c.error) << '"' << c.text << '"';
    EXPECT_EQ(outcome.stop, stop) << '"' << c.text << '"';
    if (c.error == 0) {
        EXPECT_TRUE(same(outcome.value, c.value)) << '"' << c.text << "\" gave " << outcome.value;
    }
}

class Evaluator : public ::testing::Test {
protected:
    void SetUp() override
    {
        vars.add(new VARIABLE<double>("VCC", 5));
        vars.add(new VARIABLE<double>("R1", 1000));
        vars.add(new VARIABLE<double>("U", 3));
        vars.add(new VARIABLE<double>("ABCDEFGHIJKLMNOPQRST", 7));
    }
    void TearDown() override { vars.zap(); }

    GDIDX<VARIABLE<double>> vars;
};

TEST_F(Evaluator, OperatorsAndPrecedence)
{
    const Case cases[] = {
        { "1+2*3", 7, 0, END },
        { "(1+2)*3", 9, 0, END },
        { "10-4-3", 3, 0, END },
        { "24/4/3", 2, 0, END },
        { "2^3^2", 64, 0, END },
        { "-2^2", 4, 0, END },
        { "2^-1", 0.5, 0, END },
        { "(-8)^(1/3)", nan, 0, END },
        { "2*-3", -6, 0, END },
        { "2* -3", -6, 0, END },
        { "1 -2", -1, 0, END },
        { "1--2", 3, 0, END },
        { " 1 + 2 * 3 ", 7, 0, END },
        { "7 % -3", 1, 0, END },
        { "-7 % 3", -1, 0, END },
        { "7.9 % 2.9", 1, 0, END },
        { "1e300*1e300", INFINITY, 0, END },
        { "((((((((((1))))))))))", 1, 0, END },
        { "(((((((((( (1) ))))))))))", 0, 5, 11 },
        { "(((((1)))))+(((((2)))))+(((((3)))))", 6, 0, END },
    };
    for (const Case& c : cases)
        check(c, run(c.text, vars));
}

TEST_F(Evaluator, Literals)
{
    const Case cases[] = {
        { "10k", 10000, 0, END },
        { "4k7", 4700, 0, END },
        { "3m", 0.003, 0, END },
        { "3M", 3e6, 0, END },
        { "1Meg", 1e6, 0, END },
        { "10uF", 1e-5, 0, END },
        { "2.2n", 2.2e-9, 0, END },
        { "1.5e3", 1500, 0, END },
        { "1f", 1, 0, END },
        { "1t", 1, 0, END },
        { "1g", 1, 0, END },
        { "2x", 2, 0, END },
        { "2pi", 2e-12, 0, END },
        { "%101", 5, 0, END },
        { "0b101", 5, 0, END },
        { "0B11*2", 6, 0, END },
        { "$ff", 255, 0, END },
        { "0X10", 16, 0, END },
        { "$FFFFFFFF", 4294967295.0, 0, END },
        { "0xffffffff+1", 4294967296.0, 0, END },
        { "-$10", -16, 0, END },
        { "$", 0, 9, END },
        { "0x", 0, 9, END },
        { "%2", 0, 9, 1 },
        { "", 0, 9, 0 },
        { "   ", 0, 9, END },
        { "1e999", 0, 9, END },
        { "1e400", 0, 9, END },
        { "_x", 0, 9, 0 },
    };
    for (const Case& c : cases)
        check(c, run(c.text, vars));
}

TEST_F(Evaluator, SyntaxErrorsStopAtTheOffendingCharacter)
{
    const Case cases[] = {
        { "1)", 0, 1, 1 },
        { "(1))", 0, 1, 3 },
        { "1 2", 0, 12, 2 },
        { "sin(0)x", 0, 12, 6 },
        { "(1", 0, 3, END },
        { "(1 2)", 0, 3, 3 },
        { "sin 0", 0, 2, 4 },
        { "sin", 0, 2, END },
        { "pwr(2)", 0, 13, 5 },
        { "pwr(2,3,4)", 0, 3, 7 },
        { "sin()", 0, 9, 4 },
        { "1/0", 0, 6, END },
        { "1/(2-2)+x", 0, 6, 7 },
        { "5 % 0.5", 0, 6, END },
        { "nope+1", 0, 8, 0 },
        { "1 + nope", 0, 8, 4 },
        { "<VCC>", 0, 9, 0 },
        { "(1+)", 0, 9, 3 },
    };
    for (const Case& c : cases)
        check(c, run(c.text, vars));
}

TEST_F(Evaluator, Variables)
{
    const Case cases[] = {
        { "2*VCC/3", 10.0 / 3, 0, END },
        { "pwr(R1,2)", 1e6, 0, END },
        { "2*-VCC", -10, 0, END },
        { "2* -VCC", 0, 9, END },
        { "VCC VCC", 0, 12, 4 },
        // A name of a function means the function.
        { "U+1", 0, 2, 1 },
        { "u(1)+U(-1)", 1, 0, END },
        // Stored names keep 15 characters.
        { "ABCDEFGHIJKLMNO", 7, 0, END },
        { "ABCDEFGHIJKLMNOP", 0, 8, 0 },
        { "ABCDEFGHIJKLMNOPQRST", 0, 8, 0 },
    };
    for (const Case& c : cases)
        check(c, run(c.text, vars));
}

TEST_F(Evaluator, ChevronNames)
{
    const Case cases[] = {
        { "<VCC>*2", 10, 0, END },
        { "<VCC >", 0, 4, 4 },
        { "<>", 0, 7, 1 },
        { "<1>", 0, 7, 1 },
        { "2*<nope>", 0, 8, 3 },
    };
    for (const Case& c : cases)
        check(c, run(c.text, vars, 0, 1));
}

TEST_F(Evaluator, ToleranceCountsUnknownNamesAsZeroAndSkipsZeroDivisors)
{
    const Case cases[] = {
        { "nope*2+1", 1, 0, END },
        { "5/0", 5, 0, END },
        { "6/0/2", 3, 0, END },
        { "7%0.5", 7, 0, END },
        { "<nope>+1", 1, 0, END },
        { "1)", 0, 1, 1 },
    };
    for (const Case& c : cases)
        check(c, run(c.text, vars, 1, 1));
}

// Ill-formed input must end in an error, never in a trap or an exhausted stack.
TEST_F(Evaluator, HostileInputEndsInAnError)
{
    EXPECT_TRUE(std::isnan(run("2^63 % 3", vars).value));
    EXPECT_EQ(run("2^63 % 3", vars).error, 0);
    EXPECT_TRUE(std::isnan(run("3 % 1e19", vars).value));
    check({ "-2^63 % -1", 0, 0, END }, run("-2^63 % -1", vars));
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "sin(";
    Outcome outcome = run(deep + "0", vars);
    EXPECT_EQ(outcome.error, 5);
    EXPECT_EQ(outcome.stop, 4 * EVALUATOR<double>::CALLDEPTHMAX + 3);
    std::string name(1000, 'A');
    EXPECT_EQ(run(name, vars).error, 8);
    EXPECT_EQ(run(name, vars).stop, 0);
    EXPECT_EQ(run(name + "*0+1", vars, 1).value, 1);
}

TEST_F(Evaluator, EachCallStartsAfresh)
{
    EVALUATOR<double> evaluator;
    std::string bad = "((1";
    char* cursor = bad.data();
    evaluator.evaluate(&cursor, vars, 1, 1);
    EXPECT_EQ(evaluator.error, 3);
    std::string good = "<VCC>";
    cursor = good.data();
    evaluator.evaluate(&cursor, vars, 0, 0);
    EXPECT_EQ(evaluator.error, 9) << "the chevron flag of the first call must not stay";
    std::string nested = "((((((((((1))))))))))";
    cursor = nested.data();
    EXPECT_EQ(evaluator.evaluate(&cursor, vars, 0, 0), 1);
    EXPECT_EQ(evaluator.error, 0) << "the depth of the first call must not stay";
}

TEST(EvaluatorErrors, TextsByCode)
{
    EXPECT_EQ(evalerrors[0], nullptr);
    EXPECT_STREQ(evalerrors[1], "Close bracket found but no matching open bracket");
    EXPECT_STREQ(evalerrors[8], "Variable not found");
    EXPECT_STREQ(evalerrors[13], "Comma and function argument expected");
    for (int code = 1; code < EVALERRORCOUNT; ++code)
        EXPECT_NE(evalerrors[code], nullptr) << code;
}

TEST(SharedEvaluator, FieldWithPi)
{
    GDIDX<VARIABLE<double>> vars;
    vars.add(new VARIABLE<double>("PI", 3.14159265359));
    std::string field = "2*PI ";
    char* cursor = field.data();
    EXPECT_DOUBLE_EQ(evaluate(&cursor, vars), 6.28318530718);
    EXPECT_EQ(eval_err(), 0);
    EXPECT_EQ(*cursor, '\0');
    std::string bad = "2*";
    cursor = bad.data();
    evaluate(&cursor, vars);
    EXPECT_EQ(eval_err(), 9);
    vars.zap();
}

} // namespace
