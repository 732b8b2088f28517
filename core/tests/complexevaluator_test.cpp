#include "core/text/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <string>

namespace {

using complex = std::complex<double>;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Outcome {
    complex value;
    int error;
};

template <class T> Outcome run(const std::string& expression, const DIDX& vars, int tolerant = 0)
{
    std::string text = expression;
    char* cursor = text.data();
    EVALUATOR<T> evaluator;
    T value = evaluator.evaluate(&cursor, vars, tolerant, 0);
    return { complex(value), evaluator.error };
}

// Equal, both NaN, or within a small error relative to the larger part of the expected value
// (a rounding residue in one part is measured against the magnitude, as "up to rounding" means).
bool samepart(double actual, double expected, double scale)
{
    if (std::isnan(expected) || std::isnan(actual))
        return std::isnan(expected) && std::isnan(actual);
    if (std::isinf(expected) || actual == expected)
        return actual == expected;
    return std::fabs(actual - expected) <= 1e-12 * std::fmax(scale, 1e-300);
}

bool same(complex actual, complex expected)
{
    double scale = 0;
    for (double part : { expected.real(), expected.imag() })
        if (!std::isnan(part))
            scale = std::fmax(scale, std::fabs(part));
    return samepart(actual.real(), expected.real(), scale) && samepart(actual.imag(), expected.imag(), scale);
}

class ComplexEvaluator : public ::testing::Test {
protected:
    void SetUp() override
    {
        vars.add(new VARIABLE<complex>("P1", { -4, 0 }));
        vars.add(new VARIABLE<complex>("P2", { -1, 0 }));
        vars.add(new VARIABLE<complex>("P3", { 3, 4 }));
        reals.add(new VARIABLE<double>("P1", -4));
        reals.add(new VARIABLE<double>("P2", -1));
    }
    void TearDown() override
    {
        vars.zap();
        reals.zap();
    }

    GDIDX<VARIABLE<complex>> vars;
    GDIDX<VARIABLE<double>> reals;
};

TEST_F(ComplexEvaluator, PhasorArithmeticAndFunctions)
{
    const double pi = std::numbers::pi;
    const struct {
        const char* text;
        complex value;
        int error;
    } cases[] = {
        { "2j", { 0, 2 }, 0 },
        { "3 + 4j", { 3, 4 }, 0 },
        { "2 j", { 0, 2 }, 0 },
        { "j", {}, 8 },
        { "-(3+4j)", { -3, -4 }, 0 },
        { "(1+1j)*(1-1j)", { 2, 0 }, 0 },
        { "1/(0j)", {}, 6 },
        { "(3+4j)/(1j)", { 4, -3 }, 0 },
        { "7 % (3+5j)", { 1, 0 }, 0 },
        { "7 % 5j", {}, 6 },
        { "sqrt(P1)", { 0, 2 }, 0 },
        { "ln(P2)", { 0, pi }, 0 },
        { "log(100)", { 2, 0 }, 0 },
        { "e12(4.9)", { 4.7, nan }, 0 },
        { "mod(7, 3)", { 1, nan }, 0 },
        { "mod(7+8j, 3+3j)", { 1, 2 }, 0 },
        { "pwrs(-2, 2)", { 4, 0 }, 0 },
        { "pwr(-2, 2)", { 4, 0 }, 0 },
        { "(-2)^2", { 4, 0 }, 0 },
        { "1j^2", { -1, 0 }, 0 },
        { "0^2", { 0, 0 }, 0 },
        { "10uF", {}, 12 },
        { "10u", { 1e-5, 0 }, 0 },
        { "floor(2.5-1.5j)", { 2, -2 }, 0 },
        { "frac(-2.5+2.25j)", { -0.5, 0.25 }, 0 },
        { "sgn(-3+2j)", { -1, 1 }, 0 },
        { "limit(P3, 0, 1)", { 3, 4 }, 0 },
        { "stp(0+5j)", { 0.5, 0 }, 0 },
        { "u(-1j)", { 0.5, 0 }, 0 },
        { "uramp(-1+2j)", { 0, 0 }, 0 },
        { "uramp(2+2j)", { 2, 0 }, 0 },
        { "exp(1j*3.141592653589793)", { -1, 0 }, 0 },
        { "sqrt(P3*P3)", { 3, 4 }, 0 },
    };
    for (const auto& c : cases) {
        Outcome outcome = run<complex>(c.text, vars);
        EXPECT_EQ(outcome.error, c.error) << '"' << c.text << '"';
        if (c.error == 0) {
            EXPECT_TRUE(same(outcome.value, c.value)) << '"' << c.text << "\" gave " << outcome.value;
        }
    }
}

// Where every value stays real, the complex form computes what the real one does (units after a
// literal, e12/e24 on the zero imaginary part and limit are where the two forms differ).
TEST_F(ComplexEvaluator, RealExpressionsGiveTheRealResults)
{
    const char* texts[] = {
        "1+2*3",
        "(1+2)*3",
        "10-4-3",
        "24/4/3",
        "2^3^2",
        "-2^2",
        "2^-1",
        "2*-3",
        "1--2",
        " 1 + 2 * 3 ",
        "7 % -3",
        "-7 % 3",
        "7.9 % 2.9",
        "((((((((((1))))))))))",
        "10k",
        "4k7",
        "3m",

        "2.2n",
        "$ff",
        "%101",
        "0b101",
        "0xffffffff+1",
        "-$10",
        "sin(0.5)",
        "cos(2)",
        "tan(1)",
        "sinh(1)",
        "cosh(1)",
        "tanh(0.5)",
        "asin(0.5)",
        "acos(0.5)",
        "atan(3)",
        "asinh(2)",
        "acosh(2)",
        "atanh(0.5)",
        "exp(2)",
        "sqrt(2)",
        "ln(10)",
        "log(1000)",
        "ceil(-2.5)",
        "floor(-2.5)",
        "integer(-2.5)",
        "frac(-2.5)",

        "limit(5, 0, 1)",

        "pwr(2, 10)",
        "sgn(-3)",
        "stp(0)",
        "u(1)",
        "uramp(-1)",
        "uramp(2)",
        "P1*P2+P1/P2",
    };
    for (const char* text : texts) {
        Outcome real = run<double>(text, reals);
        Outcome phasor = run<complex>(text, vars);
        ASSERT_EQ(real.error, 0) << text;
        EXPECT_EQ(phasor.error, 0) << text;
        EXPECT_TRUE(same(phasor.value, { real.value.real(), 0 })) << text << " gave " << phasor.value;
    }
}

TEST_F(ComplexEvaluator, ErrorsAndToleranceAsTheRealForm)
{
    const struct {
        const char* text;
        int tolerant;
        complex value;
        int error;
    } cases[] = {
        { "(1+2j", 0, {}, 3 },
        { "pwr(2)", 0, {}, 13 },
        { "nope+1", 0, {}, 8 },
        { "nope+1j", 1, { 0, 1 }, 0 },
        { "(2+3j)/0", 1, { 2, 3 }, 0 },
        { "", 0, {}, 9 },
        { "1e999j", 0, {}, 9 },
    };
    for (const auto& c : cases) {
        Outcome outcome = run<complex>(c.text, vars, c.tolerant);
        EXPECT_EQ(outcome.error, c.error) << '"' << c.text << '"';
        if (c.error == 0) {
            EXPECT_TRUE(same(outcome.value, c.value)) << '"' << c.text << "\" gave " << outcome.value;
        }
    }
}

} // namespace
