#include "engines/nerith/devices/ltrakernels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nerith::ltra {

namespace {

// A polynomial's value at x by Horner's rule, coefficients from the constant term up.
template <std::size_t N> double polynomial(const double (&c)[N], double x)
{
    double sum = 0;
    for (std::size_t k = N; k-- > 0;)
        sum = sum * x + c[k];
    return sum;
}

} // namespace

ScaledBessel scaledbessel(double x)
{
    // The polynomial approximations of Abramowitz and Stegun 9.8.1 to 9.8.4.
    if (x <= 3.75) {
        static constexpr double i0[]
            = { 1, 3.5156229, 3.0899424, 1.2067492, 0.2659732, 0.0360768, 0.0045813 };
        static constexpr double i1[]
            = { 0.5, 0.87890594, 0.51498869, 0.15084934, 0.02658733, 0.00301532, 0.00032411 };
        const double t2 = (x / 3.75) * (x / 3.75);
        const double decay = std::exp(-x);
        const double i1overx = decay * polynomial(i1, t2);
        return { decay * polynomial(i0, t2), x * i1overx, i1overx };
    }
    static constexpr double i0[] = { 0.39894228, 0.01328592, 0.00225319, -0.00157565, 0.00916281, -0.02057706,
        0.02635537, -0.01647633, 0.00392377 };
    static constexpr double i1[] = { 0.39894228, -0.03988024, -0.00362018, 0.00163801, -0.01031555,
        0.02282967, -0.02895312, 0.01787654, -0.00420059 };
    const double inverse = 3.75 / x;
    const double root = std::sqrt(x);
    const double scaled1 = polynomial(i1, inverse) / root;
    return { polynomial(i0, inverse) / root, scaled1, scaled1 / x };
}

RlcKernels::RlcKernels(double y0, double alpha, double delay)
    : y0(y0)
    , alpha(alpha)
    , td(delay)
    , through(std::exp(-alpha * delay))
{
}

// y's tail is y0 alpha e^-at (I1(at) - I0(at)), the derivative of y0 e^-at I0(at); the integral of
// e^-x I0(x) from 0 is x e^-x (I0(x) + I1(x)).
std::array<double, 2> RlcKernels::admittanceintegrals(double tau) const
{
    const ScaledBessel b = scaledbessel(alpha * tau);
    return { y0 * (b.i0 - 1), y0 * tau * (b.i0 + b.i1 - 1) };
}

// With rho = sqrt(tau^2 - T^2): h2's tail alpha T e^-a tau I1(a rho) / rho, h3's
// y0 alpha e^-a tau (tau I1(a rho) / rho - I0(a rho)).
std::array<double, 2> RlcKernels::propagationtails(double tau) const
{
    const double rho = std::sqrt(std::max(tau * tau - td * td, 0.0));
    const ScaledBessel b = scaledbessel(alpha * rho);
    const double decay = std::exp(-alpha * (tau - rho));
    const double i1overrho = alpha * b.i1overx;
    return { alpha * td * decay * i1overrho, y0 * alpha * decay * (tau * i1overrho - b.i0) };
}

RcKernels::RcKernels(double rootcr, double a)
    : rootcr(rootcr)
    , a(a)
{
}

// The inverse transforms of s^-3/2, s^-2 e^-a sqrt(s) and s^-3/2 e^-a sqrt(s).
std::array<double, 3> RcKernels::ramps(double t) const
{
    if (t <= 0)
        return {};
    const double root = std::sqrt(t / std::numbers::pi);
    const double u = a / (2 * std::sqrt(t));
    const double gauss = std::exp(-u * u);
    const double tail = std::erfc(u);
    return { rootcr * 2 * root, (t + a * a / 2) * tail - a * root * gauss,
        rootcr * (2 * root * gauss - a * tail) };
}

} // namespace nerith::ltra
