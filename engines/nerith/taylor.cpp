#include "engines/nerith/taylor.h"

#include <cmath>

namespace nerith {

namespace {

using Exponents = std::array<int, Taylor::Variables>;

// The monomials in order of degree: exponents of x, y and z.
constexpr std::array<Exponents, Taylor::Terms> monomials = [] {
    std::array<Exponents, Taylor::Terms> list {};
    int k = 0;
    for (int degree = 0; degree <= 3; ++degree) {
        for (int a = degree; a >= 0; --a) {
            for (int b = degree - a; b >= 0; --b)
                list[static_cast<std::size_t>(k++)] = { a, b, degree - a - b };
        }
    }
    return list;
}();

constexpr int degree(const Exponents& e)
{
    return e[0] + e[1] + e[2];
}

constexpr int indexof(const Exponents& e)
{
    for (int k = 0; k < Taylor::Terms; ++k) {
        const Exponents& m = monomials[static_cast<std::size_t>(k)];
        if (m[0] == e[0] && m[1] == e[1] && m[2] == e[2])
            return k;
    }
    return -1;
}

// Every pair of monomials whose product is of the third order or lower, and that product.
struct Product {
    int a, b, into;
};
constexpr auto products = [] {
    std::array<Product, 84> list {};
    std::size_t n = 0;
    for (int a = 0; a < Taylor::Terms; ++a) {
        for (int b = 0; b < Taylor::Terms; ++b) {
            const Exponents& x = monomials[static_cast<std::size_t>(a)];
            const Exponents& y = monomials[static_cast<std::size_t>(b)];
            const Exponents sum = { x[0] + y[0], x[1] + y[1], x[2] + y[2] };
            if (degree(sum) <= 3)
                list[n++] = { a, b, indexof(sum) };
        }
    }
    return list;
}();
static_assert(products.back().into > 0, "the table holds every product");

std::complex<double> power(std::complex<double> x, int n)
{
    std::complex<double> result = 1;
    for (int i = 0; i < n; ++i)
        result *= x;
    return result;
}

} // namespace

Taylor Taylor::variable(int k, double value)
{
    Taylor x(value);
    x.c[static_cast<std::size_t>(1 + k)] = 1;
    return x;
}

Taylor& Taylor::operator+=(const Taylor& other)
{
    for (std::size_t k = 0; k < c.size(); ++k)
        c[k] += other.c[k];
    return *this;
}

Taylor& Taylor::operator-=(const Taylor& other)
{
    for (std::size_t k = 0; k < c.size(); ++k)
        c[k] -= other.c[k];
    return *this;
}

Taylor& Taylor::operator*=(double factor)
{
    for (double& value : c)
        value *= factor;
    return *this;
}

Taylor& Taylor::operator*=(const Taylor& other)
{
    std::array<double, Terms> result {};
    for (const Product& p : products)
        result[static_cast<std::size_t>(p.into)]
            += c[static_cast<std::size_t>(p.a)] * other.c[static_cast<std::size_t>(p.b)];
    c = result;
    return *this;
}

Taylor Taylor::apply(double f, double d1, double d2, double d3) const
{
    Taylor step = *this;
    step.c[0] = 0;
    const Taylor square = step * step;
    return Taylor(f) + d1 * step + d2 / 2 * square + d3 / 6 * (square * step);
}

Taylor Taylor::reciprocal() const
{
    const double x = c[0];
    return apply(1 / x, -1 / (x * x), 2 / (x * x * x), -6 / (x * x * x * x));
}

std::complex<double> Taylor::at(int order, const Phasors& u) const
{
    std::complex<double> sum = 0;
    for (int k = 0; k < Terms; ++k) {
        const Exponents& e = monomials[static_cast<std::size_t>(k)];
        if (degree(e) == order && c[static_cast<std::size_t>(k)] != 0)
            sum += c[static_cast<std::size_t>(k)] * power(u[0], e[0]) * power(u[1], e[1]) * power(u[2], e[2]);
    }
    return sum;
}

std::complex<double> Taylor::slope(int order, const Phasors& u, const Phasors& v) const
{
    std::complex<double> sum = 0;
    for (int k = 0; k < Terms; ++k) {
        const Exponents& e = monomials[static_cast<std::size_t>(k)];
        if (degree(e) != order || c[static_cast<std::size_t>(k)] == 0)
            continue;
        for (std::size_t j = 0; j < Variables; ++j) {
            if (e[j] == 0)
                continue;
            std::complex<double> term = c[static_cast<std::size_t>(k)] * static_cast<double>(e[j]) * v[j];
            for (std::size_t i = 0; i < Variables; ++i)
                term *= power(u[i], e[i] - (i == j ? 1 : 0));
            sum += term;
        }
    }
    return sum;
}

Taylor exp(const Taylor& x)
{
    const double e = std::exp(x.value());
    return x.apply(e, e, e, e);
}

Taylor log(const Taylor& x)
{
    const double v = x.value();
    return x.apply(std::log(v), 1 / v, -1 / (v * v), 2 / (v * v * v));
}

Taylor sqrt(const Taylor& x)
{
    const double v = x.value();
    const double s = std::sqrt(v);
    return x.apply(s, 0.5 / s, -0.25 / (s * v), 0.375 / (s * v * v));
}

Taylor tan(const Taylor& x)
{
    const double t = std::tan(x.value());
    const double secant = 1 + t * t;
    return x.apply(t, secant, 2 * t * secant, 2 * secant * (1 + 3 * t * t));
}

Taylor pow(const Taylor& x, double p)
{
    const double v = x.value();
    return x.apply(std::pow(v, p), p * std::pow(v, p - 1), p * (p - 1) * std::pow(v, p - 2),
        p * (p - 1) * (p - 2) * std::pow(v, p - 3));
}

} // namespace nerith
