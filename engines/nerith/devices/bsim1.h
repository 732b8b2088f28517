#pragma once

#include "engines/nerith/device.h"
#include "engines/nerith/devices/bsimload.h"

#include <cstddef>
#include <cstdint>

// The BSIM1 MOSFET: its model card, what an instance's size makes of it, and the channel's current
// and charges at a bias. The model's parameters hold at the temperature they were extracted at
// (TEMP); its equations have no temperature dependence.

namespace nerith::bsim1 {

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
    Eta,
    EtaB, // x2e
    EtaD, // x3e
    BetaZeroB, // x2mz
    BetaVdd, // mus
    BetaVddB, // x2ms
    BetaVddD, // x3ms
    Ugs, // u0
    UgsB, // x2u0
    Uds, // u1
    UdsB, // x2u1
    UdsD, // x3u1
    N0,
    Nb,
    Nd,
    BinnedCount
};

struct Model : IFmodel {
    int32_t polarity = 1; // +1 N channel, -1 P channel
    double bin[BinnedCount][3] {};
    double muz = 0, dl = 0, dw = 0, tox = 0, temp = 0, vdd = 0, cgso = 0, cgdo = 0, cgbo = 0;
    bool xpart = false; // 0/100 partition of the saturated channel's charge (else 40/60)
    double rsh = 0, js = 0, pb = 0, mj = 0, pbsw = 0, mjsw = 0, cj = 0, cjsw = 0, wdf = 0, dell = 0;
    double kf = 0, af = 0;
};

// A side's bulk junction.
struct Junction {
    double saturation = 0; // A
    double vcrit = 0;
    double bottom = 0, sidewall = 0; // zero-bias capacitances (F)
};

struct Constants {
    double p[BinnedCount] {}; // at the instance's size; the betas in A/V^2
    double betazero = 0; // A/V^2
    double leff = 0; // um
    double cox = 0; // F/cm^2
    double wlcox = 0; // F
    double vt0 = 0;
    double cgso = 0, cgdo = 0, cgbo = 0; // F
    double phib = 0, phibsw = 0, mj = 0, mjsw = 0;
    Junction drain, source;
    double gdrain = 0, gsource = 0;
    double kelvin = 0; // of the run, for the noise
};

// The constants of an instance of `m` with the drawn length and width `l`, `w` (m), its junction
// areas and perimeters and squares; null, or the value that makes them unusable.
const char* prepare(const Model& m, double l, double w, double ad, double as, double pd, double ps,
    double nrd, double nrs, Constants& c);

// The channel at `v`; the charges only when `charges` is set.
Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges);

} // namespace nerith::bsim1
