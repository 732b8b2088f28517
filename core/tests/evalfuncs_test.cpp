#include "core/text/evalfuncs.h"
#include "core/text/evaluator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Lookup is a binary search, so every used row must be findable in any letter case.
TEST(EvalFunctions, TableIsSortedAndEveryRowIsFound)
{
    for (int row = 0; row < EVALFUNCSUSED; ++row) {
        const char* name = evalfuncs[row].name;
        if (row > 0) {
            EXPECT_LT(std::strcmp(evalfuncs[row - 1].name, name), 0) << name;
        }
        EXPECT_EQ(findevalfunc(name), row) << name;
        std::string upper = name;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(findevalfunc(upper.c_str()), row) << upper;
        EXPECT_NE(evalcomputation<double>(row), nullptr) << name;
    }
    for (int row = EVALFUNCSUSED; row < EVALFUNCROWS; ++row)
        EXPECT_EQ(evalfuncs[row].name[0], '\0');
    for (const char* other : { "", "a", "sine", "uramps", "pi", "abs" })
        EXPECT_EQ(findevalfunc(other), -1) << other;
    EXPECT_EQ(findevalfunc(nullptr), -1);
}

double value(const char* expression, int* error)
{
    static GDIDX<VARIABLE<double>> none;
    std::string text = expression;
    char* cursor = text.data();
    EVALUATOR<double> evaluator;
    double result = evaluator.evaluate(&cursor, none, 0, 0);
    *error = evaluator.error;
    return result;
}

TEST(EvalFunctions, RealResults)
{
    const double pi = std::numbers::pi;
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        { "acos(1)", 0 },
        { "acosh(1)", 0 },
        { "acosh(0.5)", nan },
        { "asin(1)", pi / 2 },
        { "asin(2)", nan },
        { "asinh(1)", std::log(1 + std::sqrt(2.0)) },
        { "asinh(-1e9)", -21.416413017506358 },
        { "atan(1)", pi / 4 },
        { "atanh(0.5)", 0.5 * std::log(3.0) },
        { "atanh(1)", inf },
        { "ceil(-2.5)", -2 },
        { "cos(0)", 1 },
        { "cosh(0)", 1 },
        { "e12(4.9)", 4.7 },
        { "e12(5.2)", 5.6 },
        { "e12(9.6)", 10 },
        { "e12(1500)", 1500 },
        { "e12(0)", nan },
        { "e12(-1)", nan },
        { "e24(4.9)", 5.1 },
        { "e24(9.5)", 9.1 },
        { "e24(2.05)", 2.0 },
        { "exp(1)", std::numbers::e },
        { "floor(-2.5)", -3 },
        { "frac(-2.5)", -0.5 },
        { "integer(-2.5)", -2 },
        { "limit(5, 0, 1)", 5 },
        { "limit(-1, 0, 1)", 0 },
        { "limit(-1, 2, 1)", 1 },
        { "ln(-1)", 0 },
        { "ln(0)", -inf },
        { "log(-100)", 2 },
        { "mod(7, 0)", nan },
        { "mod(0.5, 0.9)", nan },
        { "mod(-7, 3)", -1 },
        { "mod(7.9, 2.9)", 1 },
        { "mod(-2147483648, -1)", 0 },
        { "mod(3e9, 7)", nan },
        { "pwr(-2, 2)", 4 },
        { "pwr(0, 0)", 1 },
        { "pwr(-8, 1/3)", 2 },
        { "pwrs(-2, 2)", -4 },
        { "pwrs(0, -1)", 0 },
        { "pwrs(-8, 1/3)", -2 },
        { "sgn(-3)", -1 },
        { "sgn(0)", 0 },
        { "sgn(4)", 1 },
        { "sin(0)", 0 },
        { "SIN(0)", 0 },
        { "Sin(0)", 0 },
        { "sinh(0)", 0 },
        { "sqrt(4)", 2 },
        { "sqrt(-1)", nan },
        { "stp(0)", 0.5 },
        { "stp(-1e-9)", 0 },
        { "stp(2)", 1 },
        { "tan(0)", 0 },
        { "tanh(0)", 0 },
        { "u(0)", 0.5 },
        { "uramp(-1)", 0 },
        { "uramp(2)", 2 },
        { "sin( cos(0) - 1 )*2 + sqrt(pwr(3,2))", 3 },
    };
    for (const Case& c : cases) {
        int error;
        double result = value(c.text, &error);
        EXPECT_EQ(error, 0) << c.text;
        if (std::isnan(c.expected) || std::isinf(c.expected)) {
            EXPECT_TRUE(std::isnan(c.expected) ? std::isnan(result) : result == c.expected)
                << c.text << " gave " << result;
        } else {
            EXPECT_NEAR(result, c.expected, 1e-12 * std::fmax(1, std::fabs(c.expected))) << c.text;
        }
    }
}

} // namespace
