#pragma once

#include <cmath>

// A value carried with its derivatives by the gate, drain and bulk voltages of an evaluation (each
// against the source), so that the drain current and the charges give their conductances and
// capacitances by the chain rule as they are computed.

namespace nerith::bsim {

struct Dual {
    double v = 0; // the value
    double g = 0, d = 0, b = 0; // by vgs, vds and vbs

    constexpr Dual() = default;
    constexpr Dual(double value)
        : v(value)
    {
    }
    constexpr Dual(double value, double dg, double dd, double db)
        : v(value)
        , g(dg)
        , d(dd)
        , b(db)
    {
    }

    // The derivative of f(x) at this x, f'(x) being `slope`.
    constexpr Dual along(double value, double slope) const
    {
        return { value, slope * g, slope * d, slope * b };
    }
};

constexpr Dual operator-(const Dual& a)
{
    return { -a.v, -a.g, -a.d, -a.b };
}
constexpr Dual operator+(const Dual& a, const Dual& b)
{
    return { a.v + b.v, a.g + b.g, a.d + b.d, a.b + b.b };
}
constexpr Dual operator-(const Dual& a, const Dual& b)
{
    return { a.v - b.v, a.g - b.g, a.d - b.d, a.b - b.b };
}
constexpr Dual operator*(const Dual& a, const Dual& b)
{
    return { a.v * b.v, a.g * b.v + a.v * b.g, a.d * b.v + a.v * b.d, a.b * b.v + a.v * b.b };
}
constexpr Dual operator/(const Dual& a, const Dual& b)
{
    const double q = a.v / b.v;
    const double r = 1 / b.v;
    return { q, (a.g - q * b.g) * r, (a.d - q * b.d) * r, (a.b - q * b.b) * r };
}
constexpr Dual operator+(const Dual& a, double b)
{
    return { a.v + b, a.g, a.d, a.b };
}
constexpr Dual operator+(double a, const Dual& b)
{
    return b + a;
}
constexpr Dual operator-(const Dual& a, double b)
{
    return { a.v - b, a.g, a.d, a.b };
}
constexpr Dual operator-(double a, const Dual& b)
{
    return { a - b.v, -b.g, -b.d, -b.b };
}
constexpr Dual operator*(const Dual& a, double b)
{
    return { a.v * b, a.g * b, a.d * b, a.b * b };
}
constexpr Dual operator*(double a, const Dual& b)
{
    return b * a;
}
constexpr Dual operator/(const Dual& a, double b)
{
    return a * (1 / b);
}
constexpr Dual operator/(double a, const Dual& b)
{
    const double q = a / b.v;
    return b.along(q, -q / b.v);
}
inline Dual& operator+=(Dual& a, const Dual& b)
{
    return a = a + b;
}
inline Dual& operator-=(Dual& a, const Dual& b)
{
    return a = a - b;
}
inline Dual& operator*=(Dual& a, const Dual& b)
{
    return a = a * b;
}

inline Dual sqrt(const Dual& a)
{
    const double r = std::sqrt(a.v);
    return a.along(r, 0.5 / r);
}
inline Dual exp(const Dual& a)
{
    const double e = std::exp(a.v);
    return a.along(e, e);
}
inline Dual log(const Dual& a)
{
    return a.along(std::log(a.v), 1 / a.v);
}
inline Dual pow(const Dual& a, double n)
{
    const double p = std::pow(a.v, n);
    return a.along(p, n * p / a.v);
}

} // namespace nerith::bsim
