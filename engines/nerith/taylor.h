#pragma once

#include <array>
#include <complex>
#include <cstdint>

namespace nerith {

// A function of up to three variables as its Taylor polynomial to the third order about a point:
// the coefficients of the monomials x^a y^b z^c (a + b + c <= 3), in which the distortion analysis
// writes a device's nonlinear currents and charges. Arithmetic drops the terms above the third
// order.
class Taylor {
public:
    static constexpr int Variables = 3;
    static constexpr int Terms = 20;
    using Phasors = std::array<std::complex<double>, Variables>;

    Taylor() = default;
    Taylor(double constant) { c[0] = constant; }
    // Variable `k` at `value`.
    static Taylor variable(int k, double value);

    double value() const { return c[0]; }

    Taylor& operator+=(const Taylor& other);
    Taylor& operator-=(const Taylor& other);
    Taylor& operator*=(const Taylor& other);
    Taylor& operator*=(double factor);
    friend Taylor operator+(Taylor a, const Taylor& b) { return a += b; }
    friend Taylor operator-(Taylor a, const Taylor& b) { return a -= b; }
    friend Taylor operator*(Taylor a, const Taylor& b) { return a *= b; }
    friend Taylor operator*(Taylor a, double b) { return a *= b; }
    friend Taylor operator*(double a, Taylor b) { return b *= a; }
    friend Taylor operator-(Taylor a) { return a *= -1; }
    friend Taylor operator/(const Taylor& a, const Taylor& b) { return a * b.reciprocal(); }

    // A function of one argument applied: its value and first three derivatives at value().
    Taylor apply(double f, double d1, double d2, double d3) const;
    Taylor reciprocal() const;

    // The homogeneous part of order `order` (2 or 3) at the phasors u, and its derivative at u in
    // the direction v.
    std::complex<double> at(int order, const Phasors& u) const;
    std::complex<double> slope(int order, const Phasors& u, const Phasors& v) const;

private:
    std::array<double, Terms> c {};
};

Taylor exp(const Taylor& x);
Taylor log(const Taylor& x);
Taylor sqrt(const Taylor& x);
Taylor tan(const Taylor& x);
Taylor pow(const Taylor& x, double power);

} // namespace nerith
