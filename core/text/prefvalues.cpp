#include "core/text/prefvalues.h"

#include <cmath>
#include <limits>

namespace {

constexpr double e12[] = { 1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2, 10.0 };
constexpr double e24[] = { 1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0, 3.3, 3.6, 3.9, 4.3,
    4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1, 10.0 };

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Powers of ten up to 1e22 are exact doubles; dividing by one rather than multiplying by its
// inexact reciprocal keeps results such as 0.047 exact.
double scale(double mantissa, int exponent)
{
    if (exponent < 0 && exponent >= -22)
        return mantissa / std::pow(10.0, -exponent);
    return mantissa * std::pow(10.0, exponent);
}

} // namespace

double roundtoseries(double x, const double* table, int n)
{
    if (!(x > 0) || std::isinf(x) || n < 1 || !table)
        return notANumber;
    int exponent = static_cast<int>(std::floor(std::log10(x)));
    double m = scale(x, -exponent);
    for (int i = 0; i < n; ++i) {
        double lo = table[i];
        double hi = table[i + 1];
        if (std::sqrt(lo * hi) > m)
            return scale(lo, exponent);
        if (hi >= m)
            return scale(hi, exponent);
    }
    return notANumber;
}

double rounde12(double x)
{
    return roundtoseries(x, e12, 12);
}

double rounde24(double x)
{
    return roundtoseries(x, e24, 24);
}
