#pragma once

#include "engines/nerith/devices/bsim1.h"

// The BSIM2 MOSFET: its model card, what an instance's size makes of it, and the channel's current
// and charges at a bias. Outside the channel (junctions, overlaps, series resistances) it is BSIM1.
// Its thermal voltage is that of the temperature its parameters were extracted at (TEMP).

namespace nerith::bsim2 {

using bsim::Bias;
using bsim::Channel;
using bsim::Dual;

// The size-dependent parameters, each with its length and width terms: P = P0 + PL / Leff + PW / Weff
// (Leff and Weff in um).
enum Binned : std::size_t {
    Vfb,
    Phi,
    K1,
    K2,
    Eta0,
    EtaB,
    Beta0B, // mu0b
    Betas0, // mus0
    BetasB, // musb
    Beta20, // mu20
    Beta2B,
    Beta2G,
    Beta30, // mu30
    Beta3B,
    Beta3G,
    Beta40, // mu40
    Beta4B,
    Beta4G,
    Ua0,
    UaB,
    Ub0,
    UbB,
    U10,
    U1B,
    U1D,
    N0,
    NB,
    ND,
    Vof0,
    VofB,
    VofD,
    Ai0,
    AiB,
    Bi0,
    BiB,
    Vghigh,
    Vglow,
    BinnedCount
};

struct Model : IFmodel {
    int32_t polarity = 1; // +1 N channel, -1 P channel
    double bin[BinnedCount][3] {};
    double mu0 = 0, dl = 0, dw = 0, tox = 0, temp = 0, vdd = 0, vgg = 0, vbb = 0, cgso = 0, cgdo = 0,
           cgbo = 0;
    double xpart = 0; // above 1: no charges
    double rsh = 0, js = 0, pb = 0, mj = 0, pbsw = 0, mjsw = 0, cj = 0, cjsw = 0, wdf = 0, dell = 0;
    double kf = 0, af = 0;
};

struct Constants : bsim1::Outer {
    double p[BinnedCount] {}; // at the instance's size; the betas in A/V^2
    double beta0 = 0; // A/V^2
    double vtm = 0; // kT/q at TEMP
    double sqrtphi = 0, phis3 = 0;
};

// The constants of an instance of `m` with the drawn length and width `l`, `w` (m), its junction
// areas and perimeters and squares; null, or the value that makes them unusable.
const char* prepare(const Model& m, double l, double w, double ad, double as, double pd, double ps,
    double nrd, double nrs, Constants& c);

// The channel at `v`; the charges only when `charges` is set.
Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges);

} // namespace nerith::bsim2
