#include "engines/nerith/devices/bsim3eval.h"
#include "engines/nerith/devices/bsim3table.h"

#include <algorithm>
#include <cmath>

// The BSIM3 MOSFET as a device type: its equations, checks and tables on the BSIM levels' load, and
// the noise densities of its NOIMOD.

namespace nerith::bsim3 {

namespace {

struct Bsim3;
using Load = bsim::Load<Bsim3>;
using Instance = bsim::Instance<Bsim3>;

// The model selectors the equations know; the first unknown one named.
const char* unknownselector(const Model& m)
{
    if (m.capmod < 0 || m.capmod > 3)
        return "CAPMOD (0 to 3)";
    if (m.mobmod < 1 || m.mobmod > 3)
        return "MOBMOD (1 to 3)";
    if (m.noimod < 1 || m.noimod > 4)
        return "NOIMOD (1 to 4)";
    if (m.binunit != 0 && m.binunit != 1)
        return "BINUNIT (0 or 1)";
    return nullptr;
}

// The warnings of a model once per model, the first time one of its instances is checked.
void warnonce(const Model& m, const Findings& found, const Instance& f)
{
    if (m.warned)
        return;
    m.warned = true;
    if (!m.version.empty() && m.version.compare(0, 3, "3.3") != 0)
        note(ERR_WARNING, "BSIM3 model %s: version %s given; the equations are those of 3.3", m.name.c_str(),
            m.version.c_str());
    if (m.nqsmod == 1 || (f.nqsgiven && f.nqsmod == 1))
        note(ERR_WARNING,
            "BSIM3 model %s: no non-quasi-static charges (NQSMOD 1): quasi-static charges are used",
            m.name.c_str());
    for (const std::string& text : found.warnings)
        note(ERR_WARNING, "BSIM3 model %s: %s", m.name.c_str(), text.c_str());
}

// The BSIM3 equations on the BSIM levels' load.
struct Bsim3 {
    using Model = bsim3::Model;
    using Constants = bsim3::Constants;

    // Noise current densities (A^2/Hz) of the operating point.
    // The channel's thermal noise: of the conductances (NOIMOD 1 and 3) or of the inversion charge
    // (NOIMOD 2 and 4).
    static double channelnoise(const Load& l)
    {
        const Channel& ch = l.ch;
        const double kt4 = 4 * Boltzmann * l.c.kelvin * l.m;
        const int32_t noimod = l.model->noimod;
        if (noimod == 2 || noimod == 4) {
            const double q = std::fabs(ch.qinv);
            return kt4 * ch.ueff * q / (l.c.leff * l.c.leff + ch.ueff * q * ch.rds);
        }
        const double g = std::fabs(bsim::gm(l) + bsim::gds(l) + bsim::gmbs(l));
        return kt4 * 2 * g / 3;
    }

    // The flicker noise at 1 Hz: the classic form of KF and AF (NOIMOD 1 and 4) or the oxide trap
    // model of NOIA, NOIB and NOIC (NOIMOD 2 and 3).
    static double flickernoise(const Load& l)
    {
        const Model& m = *l.model;
        const Constants& c = l.c;
        const Channel& ch = l.ch;
        const double cd = std::fabs(ch.ids.v);
        const int32_t noimod = m.noimod;
        if (noimod != 2 && noimod != 3)
            return l.m * m.kf * std::pow(std::max(cd, 1e-38), m.af) / (c.leff * c.leff * c.cox);
        const double n = m.polarity > 0;
        const double noia = m.noiagiven ? m.noia : n ? 1e20 : 9.9e18;
        const double noib = m.noibgiven ? m.noib : n ? 5e4 : 2.4e3;
        const double noic = m.noicgiven ? m.noic : n ? -1.4e-12 : 1.4e-12;
        const double temp = c.kelvin;
        const double leff = c.leff - 2 * m.lintnoi;
        const double esat = 2 * c.vsattemp / ch.ueff;
        double clm = 0;
        if (m.em > 0) {
            const double t0 = ((std::fabs(l.vds) - ch.vdseff) / c.litl + m.em) / esat;
            clm = std::max(c.litl * std::log(std::max(t0, 1e-38)), 0.0);
        }
        const double n0 = c.cox * ch.vgsteff / Charge;
        const double nl = c.cox * ch.vgsteff * (1 - ch.abulk / (ch.vgsteff + 2 * c.vtm) * ch.vdseff) / Charge;
        const double t1 = Charge * Charge * 8.62e-5 * cd * temp * ch.ueff;
        const double t2 = 1e8 * ch.abulk * c.cox * leff * leff;
        const double t3 = noia * std::log(std::max((n0 + 2e14) / (nl + 2e14), 1e-38));
        const double t4 = noib * (n0 - nl);
        const double t5 = noic * 0.5 * (n0 * n0 - nl * nl);
        const double t6 = 8.62e-5 * temp * cd * cd;
        const double t7 = 1e8 * leff * leff * c.weff;
        const double t8 = noia + noib * nl + noic * nl * nl;
        const double t9 = (nl + 2e14) * (nl + 2e14);
        const double strong = t1 / t2 * (t3 + t4 + t5) + t6 / t7 * clm * t8 / t9;
        const double weak = noia * 8.62e-5 * temp / (c.weff * c.leff * 4e36) * cd * cd;
        return strong + weak > 0 ? l.m * strong * weak / (strong + weak) : 0;
    }

    static constexpr auto modelparameters = bsim3::modelparameters;
    static constexpr int32_t Nqsmod = 100, Acnqsmod = 101, IcVds = 102, IcVgs = 103, IcVbs = 104, Isub = 105,
                             ChannelNoise = 106, FlickerNoise = 107;
    static constexpr auto instancetable()
    {
        constexpr Parameter<Instance> ownrows[] = {
            field<&Instance::nqsmod, &Instance::nqsgiven>(
                "nqsmod", Nqsmod, "Non-quasi-static model selector"),
            field<&Instance::acnqsmod>("acnqsmod", Acnqsmod, "AC non-quasi-static model selector"),
            field<&Instance::icvds, &Instance::icvdsgiven>("icvds", IcVds, "Initial D-S voltage").in("V"),
            field<&Instance::icvgs, &Instance::icvgsgiven>("icvgs", IcVgs, "Initial G-S voltage").in("V"),
            field<&Instance::icvbs, &Instance::icvbsgiven>("icvbs", IcVbs, "Initial B-S voltage").in("V"),
            computed<&bsim::operating<Bsim3, [](const Load& l) { return l.model->polarity * l.ch.isub.v; }>>(
                "isub", Isub, "Substrate current")
                .in("A"),
            computed<&bsim::operating<Bsim3, &channelnoise>>(
                "channelnoise", ChannelNoise, "Channel thermal noise density")
                .in("A2/Hz"),
            computed<&bsim::operating<Bsim3, &flickernoise>>(
                "flickernoise", FlickerNoise, "Flicker noise density at 1 Hz")
                .in("A2/Hz"),
        };
        return parametertable(ownrows, bsim::sharedrows<Bsim3>());
    }

    static int prepare(IFcircuit& ckt, const Model& m, const Instance& f, Constants& c)
    {
        const char* name = f.name;
        if (const char* wrong = unknownselector(m))
            return fail(
                E_BADDEVICE, "MOSFET %s: BSIM3 model %s has an unknown %s", name, m.name.c_str(), wrong);
        const double nominal = nominalkelvin(ckt, m.tnomgiven, m.tnom);
        const double kelvin = devicekelvin(ckt, false, 0);
        if (nominal == 0 || kelvin == 0)
            return fail(E_BADDEVICE, "MOSFET %s: BSIM3 model %s has a temperature below absolute zero", name,
                m.name.c_str());
        Findings found;
        bsim3::prepare(m, { f.l, f.w, f.ad, f.as, f.pd, f.ps, f.nrd, f.nrs }, nominal, kelvin, c, found);
        if (!found.fatal.empty())
            return fail(
                E_BADDEVICE, "MOSFET %s: BSIM3 model %s: %s", name, m.name.c_str(), found.fatal.c_str());
        warnonce(m, found, f);
        return 0;
    }

    static bsim::Bias initialguess(const Model& m, const Constants& c)
    {
        return { m.polarity * c.vth0 + 0.1, 0.1, 0 };
    }
    static double vcrit(const Constants& c, bool) { return c.vcrit; }
    static double kelvin(const Constants& c) { return c.kelvin; }
    static Channel channel(const Model& m, const Constants& c, const bsim::Bias& v, bool charges)
    {
        return bsim3::channel(m, c, v, charges);
    }
    static Diode junctioncurrent(const Constants& c, bool drain, double v, double gmin)
    {
        return bsim3::junctioncurrent(drain ? c.drain : c.source, c.nvtm, v, gmin);
    }
    static Dual junctioncharge(const Constants& c, bool drain, double v)
    {
        return bsim3::junctioncharge(c, drain ? c.drain : c.source, v);
    }
    static Dual overlap(const Model& m, const Constants& c, bool drain, const Dual& v)
    {
        return drain ? overlapcharge(m, c, c.cgdo, c.p[Cgdl], v) : overlapcharge(m, c, c.cgso, c.p[Cgsl], v);
    }
};

} // namespace

} // namespace nerith::bsim3

namespace nerith {

extern const DeviceKind bsim3kind;
constexpr DeviceKind bsim3kind
    = devicekind<bsim::Device<bsim3::Bsim3>>("BSIM3", "Berkeley short-channel IGFET model, version 3.3", 4);

} // namespace nerith
