#pragma once

#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/distortion.h"
#include "engines/nerith/noise.h"

#include <algorithm>
#include <cmath>

// What the junction and Schottky-gate field-effect transistors share: the gate diodes to source and
// drain, series resistances on internal drain and source nodes, the channel current in both
// directions of the drain-source voltage, limiting, charges and stamps. A `Channel` gives the model
// parameters, the channel current in forward operation and the gate charges.

namespace nerith {

// The channel current of forward operation (vds >= 0) and its derivatives by vgs and vds.
struct ChannelCurrent {
    double i = 0;
    double gm = 0;
    double gds = 0;
};

// The gate charges' currents and capacitances of one iteration.
struct GateCharges {
    double qgs = 0;
    double qgd = 0;
    double capgs = 0;
    double capgd = 0;
};

// The values of an instance at its temperature, scaled by area, that the channel prepares.
struct FetScaled {
    double kelvin = 0;
    double vt = 0;
    double csat = 0;
    double vcrit = 0;
    double threshold = 0;
    double beta = 0;
    double gatepot = 0;
    double czgs = 0;
    double czgd = 0;
    double gdpr = 0;
    double gspr = 0;
};

namespace fetids {

inline constexpr int32_t Off = 1, Area = 2, InitialVoltages = 3, InitialVds = 4, InitialVgs = 5,
                         Temperature = 6;
inline constexpr int32_t Vgs = 10, Vgd = 11, GateCurrent = 12, DrainCurrent = 13, SourceCurrent = 14,
                         GateDrainCurrent = 15, Gm = 16, Gds = 17, Ggs = 18, Ggd = 19, Qgs = 20, Cqgs = 21,
                         Qgd = 22, Cqgd = 23, Power = 24, GateAlias = 25, DrainAlias = 26, SourceAlias = 27,
                         ThermalNoise = 28, ShotNoise = 29, FlickerNoise = 30;

} // namespace fetids

template <class Channel> struct FieldEffect {
    static constexpr bool Linear = false;
    using Model = typename Channel::Model;

    // States: the gate charge pairs, then what the channel keeps of the point.
    enum : int32_t { Qgs = 0, Qgd = 2, ChannelStates = 4 };

    // Cells, by row and column: drain d, gate g, source s and the internal drain dp and source sp.
    enum : std::size_t { Dd, Gg, Ss, DpDp, SpSp, DDp, GDp, GSp, SSp, DpD, DpG, DpSp, SpG, SpS, SpDp };

    struct Hot {
        const Model* model;
        double icvds, icvgs;
        bool off;
        FetScaled at;
        // The last iterate.
        double vgs, vgd, cg, cd, cgd, gm, gds, ggs, ggd;
        double capgs, capgd; // the gate capacitances of the last small-signal load
        int32_t d, g, s, dp, sp;
        int32_t state;
        std::array<int32_t, 15> cells;
    };

    struct Instance : Bindable<Hot> {
        double area, icvds, icvgs, temp;
        bool off = false;
        bool tempgiven = false;
        Node* dnode = nullptr;
        Node* snode = nullptr;
    };

    static const Model& modelof(const Instance& f) { return static_cast<const Model&>(*f.model); }

    // Gate and drain currents at the last solution, from the linearisation it was solved with.
    struct Currents {
        double g = 0, d = 0;
    };
    static Currents currents(IFcircuit& ckt, const Instance& instance)
    {
        if (!instance.bound)
            return {};
        const Hot& f = *instance.hot;
        const double* x = ckt.solution.data();
        const int32_t type = f.model->polarity;
        const double dgs = type * (x[f.g] - x[f.sp]) - f.vgs;
        const double dgd = type * (x[f.g] - x[f.dp]) - f.vgd;
        return { type * (f.cg + f.ggd * dgd + f.ggs * dgs),
            type * (f.cd + f.gm * dgs + f.gds * (dgs - dgd) - f.ggd * dgd) };
    }
    static double gate(IFcircuit& ckt, const Instance& f) { return currents(ckt, f).g; }
    static double drain(IFcircuit& ckt, const Instance& f) { return currents(ckt, f).d; }
    static double source(IFcircuit& ckt, const Instance& f)
    {
        const Currents i = currents(ckt, f);
        return -(i.g + i.d);
    }
    static double power(IFcircuit& ckt, const Instance& f)
    {
        const Currents i = currents(ckt, f);
        return f.bound ? terminalpower(ckt, true, { i.d, f.hot->d }, { i.g, f.hot->g }, f.hot->s) : 0;
    }
    static double state(IFcircuit& ckt, const Instance& f, int32_t index)
    {
        return f.bound && !ckt.states[0].empty()
            ? ckt.states[0][static_cast<std::size_t>(f.hot->state + index)]
            : 0;
    }
    static double qgs(IFcircuit& ckt, const Instance& f) { return state(ckt, f, Qgs); }
    static double cqgs(IFcircuit& ckt, const Instance& f) { return state(ckt, f, Qgs + 1); }
    static double qgd(IFcircuit& ckt, const Instance& f) { return state(ckt, f, Qgd); }
    static double cqgd(IFcircuit& ckt, const Instance& f) { return state(ckt, f, Qgd + 1); }
    // Noise current densities (A^2/Hz): the series resistances' thermal noise, the channel's
    // thermal noise (8kT gm / 3), and its flicker noise at 1 Hz.
    static double thermal(IFcircuit&, const Instance& f)
    {
        return f.bound ? 4 * Boltzmann * f.hot->at.kelvin * (f.hot->at.gdpr + f.hot->at.gspr) : 0;
    }
    static double channelnoise(IFcircuit&, const Instance& f)
    {
        return f.bound ? 8 * Boltzmann * f.hot->at.kelvin * std::fabs(f.hot->gm) / 3 : 0;
    }
    static double flicker(IFcircuit& ckt, const Instance& f)
    {
        const Model& m = modelof(f);
        return m.kf * std::pow(std::fabs(drain(ckt, f)), m.af);
    }

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::off>("off", fetids::Off, "Device initially off"),
        settable<&setinitialpair<&Instance::icvds, &Instance::icvgs>>(
            "ic", fetids::InitialVoltages, IF_REAL | IF_VECTOR, "Initial VDS and VGS"),
        field<&Instance::area>("area", fetids::Area, "Area factor").initially(1),
        field<&Instance::icvds>("ic-vds", fetids::InitialVds, "Initial D-S voltage").in("V"),
        field<&Instance::icvgs>("ic-vgs", fetids::InitialVgs, "Initial G-S voltage").in("V"),
        field<&Instance::temp, &Instance::tempgiven>("temp", fetids::Temperature, "Instance temperature")
            .in("degC"),
        recorded<Instance, &Hot::vgs>("vgs", fetids::Vgs, "Voltage G-S").in("V"),
        recorded<Instance, &Hot::vgd>("vgd", fetids::Vgd, "Voltage G-D").in("V"),
        computed<&gate>("cg", fetids::GateCurrent, "Current at gate node").in("A"),
        computed<&drain>("cd", fetids::DrainCurrent, "Current at drain node").in("A"),
        computed<&source>("cs", fetids::SourceCurrent, "Current at source node").in("A"),
        computed<&gate>("ig", fetids::GateAlias, "Gate current").in("A"),
        computed<&drain>("id", fetids::DrainAlias, "Drain current").in("A"),
        computed<&source>("is", fetids::SourceAlias, "Source current").in("A"),
        recorded<Instance, &Hot::cgd>("cgd", fetids::GateDrainCurrent, "Current G-D").in("A"),
        recorded<Instance, &Hot::gm>("gm", fetids::Gm, "Transconductance").in("S"),
        recorded<Instance, &Hot::gds>("gds", fetids::Gds, "Conductance D-S").in("S"),
        recorded<Instance, &Hot::ggs>("ggs", fetids::Ggs, "Conductance G-S").in("S"),
        recorded<Instance, &Hot::ggd>("ggd", fetids::Ggd, "Conductance G-D").in("S"),
        computed<&qgs>("qgs", fetids::Qgs, "Charge storage G-S junction").in("C"),
        computed<&cqgs>("cqgs", fetids::Cqgs, "Current of the G-S charge").in("A"),
        computed<&qgd>("qgd", fetids::Qgd, "Charge storage G-D junction").in("C"),
        computed<&cqgd>("cqgd", fetids::Cqgd, "Current of the G-D charge").in("A"),
        computed<&power>("p", fetids::Power, "Power dissipated").in("W"),
        computed<&thermal>("thermalnoise", fetids::ThermalNoise, "Series resistance noise density")
            .in("A2/Hz"),
        computed<&channelnoise>("channelnoise", fetids::ShotNoise, "Channel thermal noise density")
            .in("A2/Hz"),
        computed<&flicker>("flickernoise", fetids::FlickerNoise, "Flicker noise density at 1 Hz").in("A2/Hz"),
    });
    static constexpr auto modelparameters = Channel::modelparameters;

    static int check(IFcircuit& ckt, const Instance& f, Hot& h)
    {
        const Model& m = modelof(f);
        const double nominal = nominalkelvin(ckt, m.tnomgiven, m.tnom);
        if (int code = junctionfault(
                Channel::what, f.name, m.name.c_str(), nominal, Channel::unsound(m), f.area))
            return code;
        if (!(std::isfinite(f.icvds) && std::isfinite(f.icvgs)))
            return fail(E_BADDEVICE, "%s %s has no finite initial voltages", Channel::what, f.name);
        h.model = &m;
        h.icvds = f.icvds;
        h.icvgs = f.icvgs;
        h.off = f.off;
        FetScaled& at = h.at;
        at = FetScaled {};
        at.kelvin = devicekelvin(ckt, f.tempgiven, f.temp);
        if (at.kelvin == 0)
            return fail(
                E_BADDEVICE, "%s %s has a temperature below absolute zero", Channel::what, f.name);
        at.vt = thermalvoltage(at.kelvin);
        Channel::prepare(m, nominal, at);
        at.csat *= f.area;
        at.beta *= f.area;
        at.czgs *= f.area;
        at.czgd *= f.area;
        at.vcrit = criticalvoltage(at.vt, at.csat);
        at.gdpr = m.rd > 0 ? f.area / m.rd : 0;
        at.gspr = m.rs > 0 ? f.area / m.rs : 0;
        if (!std::isfinite(at.csat) || at.csat <= 0 || !std::isfinite(at.vcrit) || !(at.gatepot > 0)
            || !std::isfinite(at.beta))
            return fail(E_BADDEVICE, "%s %s: model %s gives no usable gate junction at %g K", Channel::what,
                f.name, m.name.c_str(), at.kelvin);
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& instance, Hot& f)
    {
        int32_t nodes[3];
        if (int code = terminalnumbers(ckt, instance, 3, nodes))
            return code;
        f.d = nodes[0];
        f.g = nodes[1];
        f.s = nodes[2];
        const Model& m = modelof(instance);
        f.dp = m.rd > 0 ? internalnode(ckt, instance, instance.dnode, "drain") : f.d;
        f.sp = m.rs > 0 ? internalnode(ckt, instance, instance.snode, "source") : f.s;
        if ((f.state = ckt.models.allocstates(ChannelStates + Channel::States)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", instance.name);
        SparseMatrix& x = ckt.matrix;
        f.cells = { x.place(f.d, f.d), x.place(f.g, f.g), x.place(f.s, f.s), x.place(f.dp, f.dp),
            x.place(f.sp, f.sp), x.place(f.d, f.dp), x.place(f.g, f.dp), x.place(f.g, f.sp),
            x.place(f.s, f.sp), x.place(f.dp, f.d), x.place(f.dp, f.g), x.place(f.dp, f.sp),
            x.place(f.sp, f.g), x.place(f.sp, f.s), x.place(f.sp, f.dp) };
        return 0;
    }

    // The gate voltages this iteration starts from (type-corrected): the initial-junction guesses,
    // the initial voltages at the first point of a transient with UIC (which solves no operating
    // point), or the solution limited against the last iterate. `limited` when limiting changed one.
    static void gatevoltages(IFcircuit& ckt, const Hot& f, double& vgs, double& vgd, bool& limited)
    {
        limited = false;
        const uint32_t mode = ckt.mode;
        if ((mode & MODE_INITTRAN) && (mode & MODE_UIC)) {
            vgs = f.icvgs;
            vgd = f.icvgs - f.icvds;
            return;
        }
        if ((mode & MODE_INITJCT) && !f.off) {
            vgs = vgd = -1;
            return;
        }
        if ((mode & MODE_INITJCT) || ((mode & MODE_INITFIX) && f.off)) {
            vgs = vgd = 0;
            return;
        }
        const double* x = ckt.solution.data();
        const int32_t type = f.model->polarity;
        bool first = false;
        bool second = false;
        vgs = pnjlim(type * (x[f.g] - x[f.sp]), f.vgs, f.at.vt, f.at.vcrit, first);
        vgd = pnjlim(type * (x[f.g] - x[f.dp]), f.vgd, f.at.vt, f.at.vcrit, second);
        const double gs = fetlim(vgs, f.vgs, f.at.threshold);
        const double gd = fetlim(vgd, f.vgd, f.at.threshold);
        limited = first || second || gs != vgs || gd != vgd;
        vgs = gs;
        vgd = gd;
    }

    // A gate diode's current and conductance, GMIN included.
    static void gatediode(double v, double csat, double vt, double gmin, double& i, double& g)
    {
        if (v <= -5 * vt) {
            g = -csat / v + gmin;
            i = g * v;
        } else {
            const double e = std::exp(v / vt);
            g = csat * e / vt + gmin;
            i = csat * (e - 1) + gmin * v;
        }
    }

    // The channel current from drain to source at any vds: forward operation as the channel
    // gives it, reverse operation with drain and source exchanged.
    static ChannelCurrent channel(const Model& m, const FetScaled& at, double vgs, double vgd)
    {
        const double vds = vgs - vgd;
        if (vds >= 0)
            return Channel::forward(m, at, vgs - at.threshold, vds);
        const ChannelCurrent r = Channel::forward(m, at, vgd - at.threshold, -vds);
        return { -r.i, -r.gm, r.gm + r.gds };
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const double gmin = ckt.options.gmin;
        const uint32_t mode = ckt.mode;
        const bool transient = mode & MODE_TRAN;
        const bool first = mode & MODE_INITTRAN;
        const bool charges = transient || (mode & MODE_INITSMSIG);
        const double slope = transient ? ckt.integration.slope() : 0;
        double* rhs = ckt.rhs.data();
        double* a = ckt.matrix.stamps();
        for (Hot& f : list) {
            const Model& m = *f.model;
            const int32_t type = m.polarity;
            double vgs;
            double vgd;
            bool limited;
            gatevoltages(ckt, f, vgs, vgd, limited);
            const double vds = vgs - vgd;

            double cgsj;
            double ggs;
            double cgdj;
            double ggd;
            gatediode(vgs, f.at.csat, f.at.vt, gmin, cgsj, ggs);
            gatediode(vgd, f.at.csat, f.at.vt, gmin, cgdj, ggd);
            double cg = cgsj + cgdj;
            const ChannelCurrent ch = channel(m, f.at, vgs, vgd);
            double cd = ch.i - cgdj;

            if (charges) {
                const GateCharges q = Channel::charges(ckt, m, f, vgs, vgd, first);
                f.capgs = q.capgs;
                f.capgd = q.capgd;
                if (transient) {
                    const double cqgs = integratestate(ckt, f.state + Qgs, q.qgs, first);
                    const double cqgd = integratestate(ckt, f.state + Qgd, q.qgd, first);
                    ggs += slope * q.capgs;
                    ggd += slope * q.capgd;
                    cg += cqgs + cqgd;
                    cd -= cqgd;
                    cgdj += cqgd;
                }
            }

            if (limited)
                ++ckt.noncon;
            f.vgs = vgs;
            f.vgd = vgd;
            f.cg = cg;
            f.cd = cd;
            f.cgd = cgdj;
            f.gm = ch.gm;
            f.gds = ch.gds;
            f.ggs = ggs;
            f.ggd = ggd;

            const double ceqgd = type * (cgdj - ggd * vgd);
            const double ceqgs = type * ((cg - cgdj) - ggs * vgs);
            const double cdreq = type * ((cd + cgdj) - ch.gds * vds - ch.gm * vgs);
            rhs[f.g] += -ceqgs - ceqgd;
            rhs[f.dp] += -cdreq + ceqgd;
            rhs[f.sp] += cdreq + ceqgs;

            const FetScaled& at = f.at;
            a[f.cells[Dd]] += at.gdpr;
            a[f.cells[Gg]] += ggd + ggs;
            a[f.cells[Ss]] += at.gspr;
            a[f.cells[DpDp]] += at.gdpr + ch.gds + ggd;
            a[f.cells[SpSp]] += at.gspr + ch.gds + ch.gm + ggs;
            a[f.cells[DDp]] -= at.gdpr;
            a[f.cells[GDp]] -= ggd;
            a[f.cells[GSp]] -= ggs;
            a[f.cells[SSp]] -= at.gspr;
            a[f.cells[DpD]] -= at.gdpr;
            a[f.cells[DpG]] += ch.gm - ggd;
            a[f.cells[DpSp]] -= ch.gds + ch.gm;
            a[f.cells[SpG]] -= ggs + ch.gm;
            a[f.cells[SpS]] -= at.gspr;
            a[f.cells[SpDp]] -= ch.gds;
        }
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& f)
    {
        const FetScaled& at = f.at;
        const double xgs = ckt.omega * f.capgs;
        const double xgd = ckt.omega * f.capgd;
        double* a = ckt.matrix.stamps();
        double* x = ckt.matrix.imaginary();
        a[f.cells[Dd]] += at.gdpr;
        a[f.cells[Gg]] += f.ggd + f.ggs;
        x[f.cells[Gg]] += xgd + xgs;
        a[f.cells[Ss]] += at.gspr;
        a[f.cells[DpDp]] += at.gdpr + f.gds + f.ggd;
        x[f.cells[DpDp]] += xgd;
        a[f.cells[SpSp]] += at.gspr + f.gds + f.gm + f.ggs;
        x[f.cells[SpSp]] += xgs;
        a[f.cells[DDp]] -= at.gdpr;
        a[f.cells[GDp]] -= f.ggd;
        x[f.cells[GDp]] -= xgd;
        a[f.cells[GSp]] -= f.ggs;
        x[f.cells[GSp]] -= xgs;
        a[f.cells[SSp]] -= at.gspr;
        a[f.cells[DpD]] -= at.gdpr;
        a[f.cells[DpG]] += f.gm - f.ggd;
        x[f.cells[DpG]] -= xgd;
        a[f.cells[DpSp]] -= f.gds + f.gm;
        a[f.cells[SpG]] -= f.ggs + f.gm;
        x[f.cells[SpG]] -= xgs;
        a[f.cells[SpS]] -= at.gspr;
        a[f.cells[SpDp]] -= f.gds;
    }

    // Noise currents: the series resistances' thermal noise, the channel's thermal noise (that of a
    // conductance of 2/3 gm) and its flicker noise.
    static void noise(IFcircuit& ckt, const Instance& instance, const Hot& f, NoiseSources& sources)
    {
        const double kelvin = f.at.kelvin;
        sources.add(instance,
            { { "rd", f.dp, f.d, thermalnoise(kelvin, f.at.gdpr) },
                { "rs", f.sp, f.s, thermalnoise(kelvin, f.at.gspr) },
                { "id", f.dp, f.sp, channelnoise(ckt, instance) },
                { "1overf", f.dp, f.sp, 0, flicker(ckt, instance) } });
    }

    // A gate diode's current of gatediode() as a polynomial of its voltage; far reverse-biased,
    // linear.
    static Taylor gatediode(const Taylor& v, double csat, double vt, double gmin)
    {
        if (v.value() <= -5 * vt)
            return gmin * v - csat;
        return csat * (exp(v * (1 / vt)) - 1) + gmin * v;
    }

    // The distortion of the gate diodes, the channel current in either direction and, where the
    // channel gives them as charges of one voltage each, the gate charges.
    static void distortion(IFcircuit& ckt, const Instance&, const Hot& f, Distortion& products)
    {
        const Model& m = *f.model;
        const double type = m.polarity;
        const double gmin = ckt.options.gmin;
        const Taylor vgs = Taylor::variable(0, f.vgs);
        const Taylor vgd = Taylor::variable(1, f.vgd);
        const Taylor vds = vgs - vgd;
        const Taylor channel = vds.value() >= 0 ? Channel::current(m, f.at, vgs - f.at.threshold, vds)
                                                : -Channel::current(m, f.at, vgd - f.at.threshold, -vds);
        const Distortion::Control gs { f.g, f.sp, type };
        const Distortion::Control gd { f.g, f.dp, type };
        products.current(gatediode(vgs, f.at.csat, f.at.vt, gmin), { gs, gd }, f.g, f.sp, type);
        products.current(gatediode(vgd, f.at.csat, f.at.vt, gmin), { gs, gd }, f.g, f.dp, type);
        products.current(channel, { gs, gd }, f.dp, f.sp, type);
        if constexpr (requires { Channel::charges(m, f.at, vgs, vgd); }) {
            const std::array<Taylor, 2> q = Channel::charges(m, f.at, vgs, vgd);
            products.charge(q[0], { gs, gd }, f.g, f.sp, type);
            products.charge(q[1], { gs, gd }, f.g, f.dp, type);
        }
    }

    static bool converged(IFcircuit& ckt, std::span<const Hot> list)
    {
        const double* x = ckt.solution.data();
        const Options& o = ckt.options;
        for (const Hot& f : list) {
            const int32_t type = f.model->polarity;
            const double dgs = type * (x[f.g] - x[f.sp]) - f.vgs;
            const double dgd = type * (x[f.g] - x[f.dp]) - f.vgd;
            const double cghat = f.cg + f.ggd * dgd + f.ggs * dgs;
            const double cdhat = f.cd + f.gm * dgs + f.gds * (dgs - dgd) - f.ggd * dgd;
            if (std::fabs(cghat - f.cg) > o.reltol * std::max(std::fabs(cghat), std::fabs(f.cg)) + o.abstol)
                return false;
            if (std::fabs(cdhat - f.cd) > o.reltol * std::max(std::fabs(cdhat), std::fabs(f.cd)) + o.abstol)
                return false;
        }
        return true;
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        for (const Hot& f : list) {
            test.add(f.state + Qgs, ckt.options.abstol);
            test.add(f.state + Qgd, ckt.options.abstol);
        }
    }

    static void topology(Topology& topology, const Instance&, const Hot& f)
    {
        topology.conducts(f.d, f.dp);
        topology.conducts(f.s, f.sp);
        topology.conducts(f.dp, f.sp);
        topology.conducts(f.g, f.sp);
    }
};

} // namespace nerith
