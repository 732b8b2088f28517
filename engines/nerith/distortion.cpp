#include "engines/nerith/distortion.h"

#include "engines/nerith/ckt.h"

#include <cmath>

namespace nerith {

namespace {

// The controlling voltages' phasors in a solution; `conjugate` for those of -F2.
Taylor::Phasors phasors(const Distortion::Solution& x, std::initializer_list<Distortion::Control> controls,
    bool conjugate = false)
{
    Taylor::Phasors u {};
    std::size_t k = 0;
    for (const Distortion::Control& c : controls) {
        const std::complex<double> v
            = c.sign * (x[static_cast<std::size_t>(c.pos)] - x[static_cast<std::size_t>(c.neg)]);
        u[k++] = conjugate ? std::conj(v) : v;
    }
    return u;
}

} // namespace

// The products' currents, with a the tone at F1, b the one at F2 (conjugated for -F2), and the
// second-order responses at 2 F1 and F1 - F2: P2(a); P2'(a)[h2] + P3(a); P2'(a)[b]; P2'(a)[b*];
// P2'(h2)[b*] + P2'(a)[h1m2] + P3'(a)[b*].
std::complex<double> Distortion::source(const Taylor& f, std::initializer_list<Control> controls) const
{
    const Taylor::Phasors a = phasors(*tone1, controls);
    switch (product) {
    case Product::SecondHarmonic:
        return f.at(2, a);
    case Product::ThirdHarmonic:
        return f.slope(2, a, phasors(*harmonic, controls)) + f.at(3, a);
    case Product::Sum:
        return f.slope(2, a, phasors(*tone2, controls));
    case Product::Difference:
        return f.slope(2, a, phasors(*tone2, controls, true));
    case Product::Intermodulation: {
        const Taylor::Phasors b = phasors(*tone2, controls, true);
        return f.slope(2, phasors(*harmonic, controls), b) + f.slope(2, a, phasors(*difference, controls))
            + f.slope(3, a, b);
    }
    }
    return 0;
}

void Distortion::add(std::complex<double> current, int32_t a, int32_t b)
{
    // The current leaves the circuit at a and enters it at b.
    ckt.rhs[static_cast<std::size_t>(a)] -= current.real();
    ckt.irhs[static_cast<std::size_t>(a)] -= current.imag();
    ckt.rhs[static_cast<std::size_t>(b)] += current.real();
    ckt.irhs[static_cast<std::size_t>(b)] += current.imag();
}

void Distortion::current(
    const Taylor& i, std::initializer_list<Control> controls, int32_t a, int32_t b, double sign)
{
    add(sign * source(i, controls), a, b);
}

void Distortion::charge(
    const Taylor& q, std::initializer_list<Control> controls, int32_t a, int32_t b, double sign)
{
    add(sign * std::complex<double>(0, omega) * source(q, controls), a, b);
}

Taylor depletioncharge(const Taylor& v, double cj0, double vj, double m, double fc)
{
    if (cj0 == 0)
        return {};
    const double corner = fc * vj;
    if (v.value() < corner)
        return vj * cj0 / (1 - m) * (1 - pow(1 - v * (1 / vj), 1 - m));
    const double f1 = vj * (1 - std::exp((1 - m) * std::log(1 - fc))) / (1 - m);
    const double f2 = std::exp((1 + m) * std::log(1 - fc));
    const double f3 = 1 - fc * (1 + m);
    return cj0 * (f1 + (f3 * (v - corner) + m / (2 * vj) * (v * v - corner * corner)) * (1 / f2));
}

} // namespace nerith
