#pragma once

#include <array>

// The impulse responses of a uniform line with series resistance and inductance and shunt
// capacitance per length (no shunt conductance), at delay T = LEN sqrt(L C) and the attenuation
// rate alpha = R / 2L. A port's current is
//   I1 = y * V1 - h3 * V2 - h2 * I2   (* convolution),
// with y the characteristic admittance's response Y0 (delta(t) + tail), h2 the propagation's
// e^-alphaT delta(t - T) + tail and h3 = Y0 e^-alphaT delta(t - T) + tail; the tails of h2 and h3
// start at T. LC lines have alpha 0 and no tails.

namespace nerith::ltra {

// e^-x I0(x), e^-x I1(x) and e^-x I1(x) / x of the modified Bessel functions, x >= 0, to about 2e-7.
struct ScaledBessel {
    double i0, i1, i1overx;
};
ScaledBessel scaledbessel(double x);

class RlcKernels {
public:
    RlcKernels(double y0, double alpha, double delay);

    double admittance() const { return y0; }
    double delay() const { return td; }
    double attenuation() const { return through; } // e^-alphaT, the weight of the delayed deltas
    bool lossless() const { return alpha == 0; }

    // The integral of y's tail from 0 to tau, and that integral integrated again.
    std::array<double, 2> admittanceintegrals(double tau) const;
    // y's tail integrated from 0 to infinity: y0 + it is the admittance at DC, 0.
    double admittancetotal() const { return -y0; }

    // The tails of h2 and h3 at tau >= T.
    std::array<double, 2> propagationtails(double tau) const;
    // Their integrals from T to infinity: with the deltas they make the DC transfer 1 and Y(0) 0.
    std::array<double, 2> propagationtotals() const { return { 1 - through, -y0 * through }; }

private:
    double y0, alpha, td, through;
};

// The responses to a unit ramp of a line with only R and C per length, whose kernels are
// singular at 0: y = sqrt(C/R) sqrt(s), h2 = e^-a sqrt(s) and h3 = y h2, a = LEN sqrt(R C). Their DC
// gains are 0, 1 and 0.
class RcKernels {
public:
    RcKernels(double rootcr, double a);

    // At t >= 0: the ramp responses of y, h2 and h3.
    std::array<double, 3> ramps(double t) const;

private:
    double rootcr, a;
};

} // namespace nerith::ltra
