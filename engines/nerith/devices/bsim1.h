#pragma once

#include "engines/nerith/device.h"
#include "engines/nerith/devices/bsimload.h"

#include <algorithm>
#include <array>
#include <cmath>
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

// What an instance of BSIM1 or BSIM2 has outside its channel: the bulk junctions, the overlaps and
// the series resistances.
struct Outer {
    double cox = 0; // F/cm^2
    double wlcox = 0; // F
    double vt0 = 0; // the threshold at zero bias
    double cgso = 0, cgdo = 0, cgbo = 0; // F
    double phib = 0, phibsw = 0, mj = 0, mjsw = 0;
    Junction drain, source;
    double gdrain = 0, gsource = 0;
    double kelvin = 0; // of the run, for the noise
};

// The effective length and width (um) of a BSIM1 or BSIM2 instance of `m` drawn `l` by `w` (m), and
// its oxide capacitance (F/cm^2) in `c`; null, or the value that makes them unusable.
template <class M>
const char* effectivesize(const M& m, double l, double w, double& leff, double& weff, Outer& c)
{
    if (!(m.tox > 0))
        return "oxide thickness TOX";
    leff = l * 1e6 - m.dl;
    weff = w * 1e6 - m.dw;
    if (!(leff > 0))
        return "effective channel length (L less DL)";
    if (!(weff > 0))
        return "effective channel width (W less DW)";
    c.cox = 3.453e-13 / (m.tox * 1e-4); // the model's oxide permittivity (F/cm) over TOX
    return nullptr;
}

// The outer values of an instance of `m` (a BSIM1 or BSIM2 model) of drawn width `w` (m), effective
// length `leff` (um), junction areas and perimeters and squares.
template <class M>
void prepareouter(const M& m, double w, double leff, double ad, double as, double pd, double ps, double nrd,
    double nrs, Outer& c)
{
    const double vt = thermalvoltage(ReferenceTemperature);
    c.cgso = m.cgso * w;
    c.cgdo = m.cgdo * w;
    c.cgbo = m.cgbo * leff * 1e-6;
    c.phib = std::max(m.pb, 0.1);
    c.phibsw = std::max(m.pbsw, 0.1);
    c.mj = m.mj;
    c.mjsw = m.mjsw;
    c.gdrain = m.rsh * nrd > 0 ? 1 / (m.rsh * nrd) : 0;
    c.gsource = m.rsh * nrs > 0 ? 1 / (m.rsh * nrs) : 0;
    auto junction = [&](double area, double perimeter) {
        Junction j;
        j.saturation = std::max(area * m.js, 1e-15);
        j.vcrit = criticalvoltage(vt, j.saturation);
        j.bottom = m.cj * area;
        j.sidewall = m.cjsw * perimeter;
        return j;
    };
    c.drain = junction(ad, pd);
    c.source = junction(as, ps);
}

// What BSIM1 and BSIM2 give the BSIM load outside their channels: junctions whose current is linear
// in reverse bias, depletion charges of bottom and sidewall, linear overlaps.
struct OuterEquations {
    template <class L> static double channelnoise(const L& l);
    template <class L> static double flickernoise(const L& l);
    template <class M> static bsim::Bias initialguess(const M&, const Outer& c) { return { c.vt0, 0, -1 }; }
    static double vcrit(const Outer& c, bool drain) { return drain ? c.drain.vcrit : c.source.vcrit; }
    static double kelvin(const Outer& c) { return c.kelvin; }
    static bsim::Diode junctioncurrent(const Outer& c, bool drain, double v, double gmin)
    {
        const double vt = bsim::LimitingVt;
        const double is = drain ? c.drain.saturation : c.source.saturation;
        if (v <= 0) {
            const double g = is / vt + gmin;
            return { g * v, g };
        }
        const double e = std::exp(v / vt);
        return { is * (e - 1) + gmin * v, is * e / vt + gmin };
    }
    static Dual junctioncharge(const Outer& c, bool drain, double v)
    {
        const Junction& j = drain ? c.drain : c.source;
        const double zero[] = { j.bottom, j.sidewall };
        const double phi[] = { c.phib, c.phibsw };
        const double grading[] = { c.mj, c.mjsw };
        return bsim::depletioncharge(zero, phi, grading, v);
    }
    template <class M> static Dual overlap(const M&, const Outer& c, bool drain, const Dual& v)
    {
        return (drain ? c.cgdo : c.cgso) * v;
    }
};

struct Constants : Outer {
    double p[BinnedCount] {}; // at the instance's size; the betas in A/V^2
    double betazero = 0; // A/V^2
    double leff = 0; // um
};

// The model rows of BSIM1 and BSIM2 alike: type, size reductions, overlaps, junctions, noise (ids 1
// to 20; each level numbers its own rows from 50 on).
template <class M> constexpr auto outerrows()
{
    return std::array {
        settable<&setpolarity<M, 1>>("nmos", 1, IF_FLAG, "N type MOSfet model"),
        settable<&setpolarity<M, -1>>("pmos", 2, IF_FLAG, "P type MOSfet model"),
        reading<&M::polarity>("type", 3, "N (1) or P (-1) channel"),
        field<&M::dl>("dl", 4, "Channel length reduction").in("um"),
        field<&M::dw>("dw", 5, "Channel width reduction").in("um"),
        field<&M::cgso>("cgso", 6, "Gate-source overlap capacitance per width").in("F/m"),
        field<&M::cgdo>("cgdo", 7, "Gate-drain overlap capacitance per width").in("F/m"),
        field<&M::cgbo>("cgbo", 8, "Gate-bulk overlap capacitance per length").in("F/m"),
        field<&M::rsh>("rsh", 9, "Source-drain diffusion sheet resistance").in("ohm"),
        field<&M::js>("js", 10, "Source-drain junction saturation current per area").in("A/m2"),
        field<&M::pb>("pb", 11, "Bottom junction built-in potential").in("V"),
        field<&M::mj>("mj", 12, "Bottom junction grading coefficient"),
        field<&M::pbsw>("pbsw", 13, "Sidewall junction built-in potential").in("V"),
        field<&M::mjsw>("mjsw", 14, "Sidewall junction grading coefficient"),
        field<&M::cj>("cj", 15, "Bottom junction capacitance per area").in("F/m2"),
        field<&M::cjsw>("cjsw", 16, "Sidewall junction capacitance per length").in("F/m"),
        field<&M::wdf>("wdf", 17, "Default width of the source and drain diffusions").in("m"),
        field<&M::dell>("dell", 18, "Length reduction of the source and drain diffusions").in("m"),
        field<&M::kf>("kf", 19, "Flicker noise coefficient"),
        field<&M::af>("af", 20, "Flicker noise exponent").initially(1),
    };
}

// The rows `own` followed by `shared`.
template <class M, std::size_t N, std::size_t S>
constexpr std::array<Parameter<M>, N + S> joinrows(
    const Parameter<M> (&own)[N], const std::array<Parameter<M>, S>& shared)
{
    std::array<Parameter<M>, N + S> rows {};
    for (std::size_t i = 0; i < N; ++i)
        rows[i] = own[i];
    for (std::size_t i = 0; i < S; ++i)
        rows[N + i] = shared[i];
    return rows;
}

// The noise densities (A^2/Hz) of a BSIM1 or BSIM2 instance: the channel's thermal noise 8kT gm / 3
// and its flicker noise at 1 Hz.
template <class L> double channelnoise(const L& l)
{
    return thermalnoise(l.c.kelvin, 2 * l.m * std::fabs(l.ch.ids.g) / 3);
}
template <class L> double flickernoise(const L& l)
{
    const double wl = l.c.wlcox / l.c.cox * 1e-4; // m^2
    return l.m * l.model->kf * std::pow(std::max(std::fabs(l.ch.ids.v), 1e-38), l.model->af)
        / (wl * l.c.cox * l.c.cox);
}

template <class L> double OuterEquations::channelnoise(const L& l)
{
    return bsim1::channelnoise(l);
}
template <class L> double OuterEquations::flickernoise(const L& l)
{
    return bsim1::flickernoise(l);
}

// The instance table of BSIM1 and BSIM2: the initial voltages under their own keywords, the noise.
template <class Level> constexpr auto instancetable()
{
    using Instance = bsim::Instance<Level>;
    using Load = bsim::Load<Level>;
    constexpr int32_t IcVds = 100, IcVgs = 101, IcVbs = 102, ChannelNoise = 103, FlickerNoise = 104;
    constexpr Parameter<Instance> ownrows[] = {
        field<&Instance::icvds, &Instance::icvdsgiven>("vds", IcVds, "Initial D-S voltage").in("V"),
        field<&Instance::icvgs, &Instance::icvgsgiven>("vgs", IcVgs, "Initial G-S voltage").in("V"),
        field<&Instance::icvbs, &Instance::icvbsgiven>("vbs", IcVbs, "Initial B-S voltage").in("V"),
        computed<&bsim::operating<Level, &channelnoise<Load>>>(
            "channelnoise", ChannelNoise, "Channel thermal noise density")
            .in("A2/Hz"),
        computed<&bsim::operating<Level, &flickernoise<Load>>>(
            "flickernoise", FlickerNoise, "Flicker noise density at 1 Hz")
            .in("A2/Hz"),
    };
    return parametertable(ownrows, bsim::sharedrows<Level>());
}

// The constants of an instance of `m` with the drawn length and width `l`, `w` (m), its junction
// areas and perimeters and squares; null, or the value that makes them unusable.
const char* prepare(const Model& m, double l, double w, double ad, double as, double pd, double ps,
    double nrd, double nrs, Constants& c);

// The channel at `v`; the charges only when `charges` is set.
Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges);

} // namespace nerith::bsim1
