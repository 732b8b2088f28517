#include "core/text/evalfuncs.h"

#include "core/text/ascii.h"
#include "core/text/prefvalues.h"

#include <cmath>
#include <limits>

const EVALFUNC evalfuncs[EVALFUNCROWS] = {
    { "acos", 1 },
    { "acosh", 1 },
    { "asin", 1 },
    { "asinh", 1 },
    { "atan", 1 },
    { "atanh", 1 },
    { "ceil", 1 },
    { "cos", 1 },
    { "cosh", 1 },
    { "e12", 1 },
    { "e24", 1 },
    { "exp", 1 },
    { "floor", 1 },
    { "frac", 1 },
    { "integer", 1 },
    { "limit", 3 },
    { "ln", 1 },
    { "log", 1 },
    { "mod", 2 },
    { "pwr", 2 },
    { "pwrs", 2 },
    { "sgn", 1 },
    { "sin", 1 },
    { "sinh", 1 },
    { "sqrt", 1 },
    { "stp", 1 },
    { "tan", 1 },
    { "tanh", 1 },
    { "u", 1 },
    { "uramp", 1 },
    {},
    {},
};

int findevalfunc(const char* name)
{
    if (!name)
        return -1;
    int lo = 0;
    int hi = EVALFUNCSUSED - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int order = asciicasecmp(name, evalfuncs[mid].name);
        if (order == 0)
            return mid;
        if (order < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return -1;
}

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

double unitstep(double x)
{
    if (x < 0)
        return 0;
    if (x > 0)
        return 1;
    return x == 0 ? 0.5 : x;
}

// Truncation to 32 bits is defined only for values whose whole part fits; the others, and NaN,
// give no integer at all.
bool fits32(double x)
{
    return x > -2147483649.0 && x < 2147483648.0;
}

// Remainder of the 32-bit truncations, with the sign of the dividend; computed in 64 bits so that
// the most negative value by -1 gives 0 rather than a trap.
double mod(double a, double b)
{
    if (!fits32(a) || !fits32(b))
        return notANumber;
    auto dividend = static_cast<int64_t>(a);
    auto divisor = static_cast<int64_t>(b);
    if (divisor == 0)
        return notANumber;
    return static_cast<double>(dividend % divisor);
}

double pwrs(double a, double b)
{
    if (a == 0)
        return 0;
    return std::copysign(std::pow(std::fabs(a), b), a);
}

double limit(double a, double b, double c)
{
    return a > b ? a : std::fmin(b, c);
}

double sgn(double x)
{
    if (x < 0)
        return -1;
    return x > 0 ? 1 : 0;
}

double frac(double x)
{
    double whole;
    return std::modf(x, &whole);
}

// The inverse hyperbolic functions are ln(x + sqrt(x*x - 1)), ln(x + sqrt(x*x + 1)) and
// 0.5 * ln((1 + x) / (1 - x)); the library's forms compute the same without losing everything to
// cancellation or overflow far from zero.
const EVALCOMPUTATION<double> realcomputations[EVALFUNCROWS] = {
    [](const double* x) { return std::acos(x[0]); },
    [](const double* x) { return std::acosh(x[0]); },
    [](const double* x) { return std::asin(x[0]); },
    [](const double* x) { return std::asinh(x[0]); },
    [](const double* x) { return std::atan(x[0]); },
    [](const double* x) { return std::atanh(x[0]); },
    [](const double* x) { return std::ceil(x[0]); },
    [](const double* x) { return std::cos(x[0]); },
    [](const double* x) { return std::cosh(x[0]); },
    [](const double* x) { return rounde12(x[0]); },
    [](const double* x) { return rounde24(x[0]); },
    [](const double* x) { return std::exp(x[0]); },
    [](const double* x) { return std::floor(x[0]); },
    [](const double* x) { return frac(x[0]); },
    [](const double* x) { return std::trunc(x[0]); },
    [](const double* x) { return limit(x[0], x[1], x[2]); },
    [](const double* x) { return std::log(std::fabs(x[0])); },
    [](const double* x) { return std::log10(std::fabs(x[0])); },
    [](const double* x) { return mod(x[0], x[1]); },
    [](const double* x) { return std::pow(std::fabs(x[0]), x[1]); },
    [](const double* x) { return pwrs(x[0], x[1]); },
    [](const double* x) { return sgn(x[0]); },
    [](const double* x) { return std::sin(x[0]); },
    [](const double* x) { return std::sinh(x[0]); },
    [](const double* x) { return std::sqrt(x[0]); },
    [](const double* x) { return unitstep(x[0]); },
    [](const double* x) { return std::tan(x[0]); },
    [](const double* x) { return std::tanh(x[0]); },
    [](const double* x) { return unitstep(x[0]); },
    [](const double* x) { return x[0] < 0 ? 0 : x[0]; },
    nullptr,
    nullptr,
};

using complex = std::complex<double>;

// The real function of a row applied to the real and to the imaginary part separately.
template <int row> complex eachpart(const complex* z)
{
    double re[EVALFUNCMAXARGS];
    double im[EVALFUNCMAXARGS];
    for (int n = 0; n < evalfuncs[row].argc; ++n) {
        re[n] = z[n].real();
        im[n] = z[n].imag();
    }
    return { realcomputations[row](re), realcomputations[row](im) };
}

// The real function of a row on the real part; the imaginary part is 0.
template <int row> complex realpart(const complex* z)
{
    double re = z[0].real();
    return { realcomputations[row](&re), 0 };
}

complex power(const complex* z)
{
    return std::exp(z[1] * std::log(z[0]));
}

constexpr int ROW_CEIL = 6;
constexpr int ROW_E12 = 9;
constexpr int ROW_E24 = 10;
constexpr int ROW_FLOOR = 12;
constexpr int ROW_FRAC = 13;
constexpr int ROW_INTEGER = 14;
constexpr int ROW_MOD = 18;
constexpr int ROW_SGN = 21;
constexpr int ROW_STP = 25;
constexpr int ROW_U = 28;
constexpr int ROW_URAMP = 29;

const EVALCOMPUTATION<complex> complexcomputations[EVALFUNCROWS] = {
    [](const complex* z) { return std::acos(z[0]); },
    [](const complex* z) { return std::acosh(z[0]); },
    [](const complex* z) { return std::asin(z[0]); },
    [](const complex* z) { return std::asinh(z[0]); },
    [](const complex* z) { return std::atan(z[0]); },
    [](const complex* z) { return std::atanh(z[0]); },
    eachpart<ROW_CEIL>,
    [](const complex* z) { return std::cos(z[0]); },
    [](const complex* z) { return std::cosh(z[0]); },
    eachpart<ROW_E12>,
    eachpart<ROW_E24>,
    [](const complex* z) { return std::exp(z[0]); },
    eachpart<ROW_FLOOR>,
    eachpart<ROW_FRAC>,
    eachpart<ROW_INTEGER>,
    [](const complex* z) { return z[0]; },
    [](const complex* z) { return std::log(z[0]); },
    [](const complex* z) { return std::log(z[0]) * 0.4342944819032518; },
    eachpart<ROW_MOD>,
    power,
    power,
    eachpart<ROW_SGN>,
    [](const complex* z) { return std::sin(z[0]); },
    [](const complex* z) { return std::sinh(z[0]); },
    [](const complex* z) { return std::sqrt(z[0]); },
    realpart<ROW_STP>,
    [](const complex* z) { return std::tan(z[0]); },
    [](const complex* z) { return std::tanh(z[0]); },
    realpart<ROW_U>,
    realpart<ROW_URAMP>,
    nullptr,
    nullptr,
};

} // namespace

template <> EVALCOMPUTATION<double> evalcomputation<double>(int row)
{
    return row >= 0 && row < EVALFUNCROWS ? realcomputations[row] : nullptr;
}

template <> EVALCOMPUTATION<complex> evalcomputation<complex>(int row)
{
    return row >= 0 && row < EVALFUNCROWS ? complexcomputations[row] : nullptr;
}
