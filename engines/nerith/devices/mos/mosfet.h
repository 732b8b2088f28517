#pragma once

#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/mos/load.h"
#include "engines/nerith/noise.h"

#include <cmath>

// What the MOSFET levels 1, 2, 3 and 6 share: the four terminals with series resistances on
// internal drain and source nodes, the bulk junctions and their depletion charges, Meyer's gate
// capacitances with the overlaps, limiting, the drain current in both directions, the stamps,
// convergence, truncation error, noise and the askable values. A `Level` gives its model table,
// what its process parameters make of the model, and the drain current in the channel's frame.

namespace nerith::mos {

// The paths a MOSFET's record conducts along, for the check of nodes without a DC path: the series
// resistances, the channel and the bulk junctions. The BSIM records have the same nodes.
template <class Hot> void conduction(Topology& topology, const Hot& l)
{
    topology.conducts(l.d, l.dp);
    topology.conducts(l.s, l.sp);
    topology.conducts(l.dp, l.sp);
    topology.conducts(l.b, l.dp);
    topology.conducts(l.b, l.sp);
}

namespace ids {

inline constexpr int32_t L = 1, W = 2, M = 3, Ad = 4, As = 5, Pd = 6, Ps = 7, Nrd = 8, Nrs = 9, Off = 10,
                         IcVds = 11, IcVgs = 12, IcVbs = 13, Ic = 14, Temp = 15, Dtemp = 16;
inline constexpr int32_t Id = 20, IdAlias = 21, Is = 22, Ig = 23, Ib = 24, Ibd = 25, Ibs = 26, Vgs = 27,
                         Vds = 28, Vbs = 29, Vbd = 30, Von = 31, Vdsat = 32, Gm = 33, Gds = 34, Gmbs = 35,
                         GmbsAlias = 36, Gbd = 37, Gbs = 38, Capbd = 39, Capbs = 40, Capgs = 41, Capgd = 42,
                         Capgb = 43, Qgs = 44, Qgd = 45, Qgb = 46, Qbd = 47, Qbs = 48, Power = 49,
                         ThermalNoise = 50, ChannelNoise = 51, FlickerNoise = 52;

} // namespace ids

// "ic": one to three initial voltages, vds, vgs and vbs.
template <class Instance> int setinitialvoltages(Instance& f, const IFvalue& v)
{
    if (v.v.numValue < 1 || v.v.numValue > 3 || !v.v.vec.rVec)
        return E_BADVALUE;
    double* targets[] = { &f.icvds, &f.icvgs, &f.icvbs };
    bool* given[] = { &f.icvdsgiven, &f.icvgsgiven, &f.icvbsgiven };
    for (int32_t i = 0; i < v.v.numValue; ++i) {
        *targets[i] = v.v.vec.rVec[i];
        *given[i] = true;
    }
    return 0;
}

// The initial vds, vgs and vbs of the instance into its record; a fault naming the device when one
// is no finite number. The BSIM records take them the same way.
template <class Instance, class Hot> int takeinitialvoltages(const Instance& f, Hot& l)
{
    const double values[] = { f.icvds, f.icvgs, f.icvbs };
    const bool given[] = { f.icvdsgiven, f.icvgsgiven, f.icvbsgiven };
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(values[i]))
            return fail(E_BADDEVICE, "MOSFET %s has no finite initial voltages", f.name);
        l.ic[i] = values[i];
        l.icgiven[i] = given[i];
    }
    return 0;
}

// The drain, gate, source and bulk equations of the instance into its record.
template <class Instance, class Hot> int bindterminals(IFcircuit& ckt, const Instance& f, Hot& l)
{
    int32_t nodes[4];
    if (int code = terminalnumbers(ckt, f, 4, nodes))
        return code;
    l.d = nodes[0];
    l.g = nodes[1];
    l.s = nodes[2];
    l.b = nodes[3];
    return 0;
}

template <class Level> struct Mosfet {
    static constexpr bool Linear = false;
    using Model = mos::Model;
    using Hot = Load;

    struct Instance : Bindable<Hot> {
        double l, w, m, ad, as, pd, ps, nrd, nrs, icvds, icvgs, icvbs, temp, dtemp;
        bool lgiven = false, wgiven = false, adgiven = false, asgiven = false;
        bool icvdsgiven = false, icvgsgiven = false, icvbsgiven = false, tempgiven = false, off = false;
        Node* dnode = nullptr;
        Node* snode = nullptr;
    };

    static const Model& modelof(const Instance& f) { return static_cast<const Model&>(*f.model); }

    // Terminal currents at the last solution, into each terminal.
    struct Currents {
        double d = 0, g = 0, s = 0, b = 0;
    };
    static double state(IFcircuit& ckt, const Load& f, int32_t index)
    {
        return ckt.mode & MODE_TRAN ? ckt.states[0][static_cast<std::size_t>(f.state + index)] : 0;
    }
    static Currents currents(IFcircuit& ckt, const Instance& instance)
    {
        if (!instance.bound)
            return {};
        const Load& f = *instance.hot;
        const double type = f.model->polarity;
        const Prediction p = predict(f, ckt.solution.data());
        const double cqgs = state(ckt, f, Qgs + 1);
        const double cqgd = state(ckt, f, Qgd + 1);
        const double cqgb = state(ckt, f, Qgb + 1);
        Currents i;
        i.d = type * (p.cd - cqgd);
        i.g = type * (cqgs + cqgd + cqgb);
        i.b = type * (p.cb - cqgb);
        i.s = -(i.d + i.g + i.b);
        return i;
    }
    static double drain(IFcircuit& ckt, const Instance& f) { return currents(ckt, f).d; }
    static double gate(IFcircuit& ckt, const Instance& f) { return currents(ckt, f).g; }
    static double source(IFcircuit& ckt, const Instance& f) { return currents(ckt, f).s; }
    static double bulk(IFcircuit& ckt, const Instance& f) { return currents(ckt, f).b; }
    static double power(IFcircuit& ckt, const Instance& f)
    {
        if (!f.bound)
            return 0;
        const Currents i = currents(ckt, f);
        const Load& l = *f.hot;
        const double* x = ckt.solution.data();
        return i.d * x[l.d] + i.g * x[l.g] + i.s * x[l.s] + i.b * x[l.b];
    }
    template <int32_t Index> static double charge(IFcircuit& ckt, const Instance& f)
    {
        return f.bound ? state(ckt, *f.hot, Index) : 0;
    }
    static double vbd(IFcircuit&, const Instance& f) { return f.bound ? f.hot->vbs - f.hot->vds : 0; }
    // Noise current densities (A^2/Hz): the series resistances' thermal noise, the channel's
    // thermal noise 8kT gm / 3 and its flicker noise at 1 Hz.
    static double thermalnoise(IFcircuit&, const Instance& f)
    {
        return f.bound ? 4 * Boltzmann * f.hot->c.kelvin * (f.hot->c.gdpr + f.hot->c.gspr) : 0;
    }
    static double channelnoise(IFcircuit&, const Instance& f)
    {
        return f.bound ? 8 * Boltzmann * f.hot->c.kelvin * std::fabs(f.hot->gm) / 3 : 0;
    }
    static double flickernoise(IFcircuit& ckt, const Instance& f)
    {
        const Model& m = modelof(f);
        if (!f.bound || f.hot->c.at.cox == 0)
            return 0;
        const Scaled& at = f.hot->c.at;
        return m.kf * std::pow(std::fabs(drain(ckt, f)), m.af) / (at.cox * at.coxarea);
    }

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::l, &Instance::lgiven>("l", ids::L, "Length").in("m"),
        field<&Instance::w, &Instance::wgiven>("w", ids::W, "Width").in("m"),
        field<&Instance::m>("m", ids::M, "Parallel multiplier").initially(1),
        field<&Instance::ad, &Instance::adgiven>("ad", ids::Ad, "Drain area").in("m2"),
        field<&Instance::as, &Instance::asgiven>("as", ids::As, "Source area").in("m2"),
        field<&Instance::pd>("pd", ids::Pd, "Drain perimeter").in("m"),
        field<&Instance::ps>("ps", ids::Ps, "Source perimeter").in("m"),
        field<&Instance::nrd>("nrd", ids::Nrd, "Drain squares").initially(1),
        field<&Instance::nrs>("nrs", ids::Nrs, "Source squares").initially(1),
        field<&Instance::off>("off", ids::Off, "Device initially off"),
        field<&Instance::icvds, &Instance::icvdsgiven>("icvds", ids::IcVds, "Initial D-S voltage").in("V"),
        field<&Instance::icvgs, &Instance::icvgsgiven>("icvgs", ids::IcVgs, "Initial G-S voltage").in("V"),
        field<&Instance::icvbs, &Instance::icvbsgiven>("icvbs", ids::IcVbs, "Initial B-S voltage").in("V"),
        settable<&setinitialvoltages<Instance>>(
            "ic", ids::Ic, IF_REAL | IF_VECTOR, "Initial D-S, G-S and B-S voltages"),
        field<&Instance::temp, &Instance::tempgiven>("temp", ids::Temp, "Instance temperature").in("degC"),
        field<&Instance::dtemp>("dtemp", ids::Dtemp, "Instance temperature above the circuit's").in("degC"),
        computed<&drain>("id", ids::Id, "Drain current").in("A"),
        computed<&drain>("cd", ids::IdAlias, "Drain current").in("A"),
        computed<&source>("is", ids::Is, "Source current").in("A"),
        computed<&gate>("ig", ids::Ig, "Gate current").in("A"),
        computed<&bulk>("ib", ids::Ib, "Bulk current").in("A"),
        recorded<Instance, &Hot::cbd>("ibd", ids::Ibd, "B-D junction current").in("A"),
        recorded<Instance, &Hot::cbs>("ibs", ids::Ibs, "B-S junction current").in("A"),
        recorded<Instance, &Hot::vgs>("vgs", ids::Vgs, "Gate-source voltage").in("V"),
        recorded<Instance, &Hot::vds>("vds", ids::Vds, "Drain-source voltage").in("V"),
        recorded<Instance, &Hot::vbs>("vbs", ids::Vbs, "Bulk-source voltage").in("V"),
        computed<&vbd>("vbd", ids::Vbd, "Bulk-drain voltage").in("V"),
        recorded<Instance, &Hot::von>("von", ids::Von, "Turn-on voltage").in("V"),
        recorded<Instance, &Hot::vdsat>("vdsat", ids::Vdsat, "Saturation drain voltage").in("V"),
        recorded<Instance, &Hot::gm>("gm", ids::Gm, "Transconductance").in("S"),
        recorded<Instance, &Hot::gds>("gds", ids::Gds, "Drain-source conductance").in("S"),
        recorded<Instance, &Hot::gmbs>("gmb", ids::Gmbs, "Bulk-source transconductance").in("S"),
        recorded<Instance, &Hot::gmbs>("gmbs", ids::GmbsAlias, "Bulk-source transconductance").in("S"),
        recorded<Instance, &Hot::gbd>("gbd", ids::Gbd, "Bulk-drain conductance").in("S"),
        recorded<Instance, &Hot::gbs>("gbs", ids::Gbs, "Bulk-source conductance").in("S"),
        recorded<Instance, &Hot::capbd>("cbd", ids::Capbd, "Bulk-drain capacitance").in("F"),
        recorded<Instance, &Hot::capbs>("cbs", ids::Capbs, "Bulk-source capacitance").in("F"),
        recorded<Instance, &Hot::capgs>("cgs", ids::Capgs, "Gate-source capacitance").in("F"),
        recorded<Instance, &Hot::capgd>("cgd", ids::Capgd, "Gate-drain capacitance").in("F"),
        recorded<Instance, &Hot::capgb>("cgb", ids::Capgb, "Gate-bulk capacitance").in("F"),
        computed<&charge<Qgs>>("qgs", ids::Qgs, "Gate-source charge").in("C"),
        computed<&charge<Qgd>>("qgd", ids::Qgd, "Gate-drain charge").in("C"),
        computed<&charge<Qgb>>("qgb", ids::Qgb, "Gate-bulk charge").in("C"),
        computed<&charge<Qbd>>("qbd", ids::Qbd, "Bulk-drain charge").in("C"),
        computed<&charge<Qbs>>("qbs", ids::Qbs, "Bulk-source charge").in("C"),
        computed<&power>("p", ids::Power, "Power dissipated").in("W"),
        computed<&thermalnoise>("thermalnoise", ids::ThermalNoise, "Series resistance noise density")
            .in("A2/Hz"),
        computed<&channelnoise>("channelnoise", ids::ChannelNoise, "Channel thermal noise density")
            .in("A2/Hz"),
        computed<&flickernoise>("flickernoise", ids::FlickerNoise, "Flicker noise density at 1 Hz")
            .in("A2/Hz"),
    });
    static constexpr auto modelparameters = Level::modelparameters;

    // The instance's geometry, the options' defaults for what it does not give.
    static Geometry geometry(const IFcircuit& ckt, const Instance& f)
    {
        const Options& o = ckt.options;
        return { f.lgiven ? f.l : o.defl, f.wgiven ? f.w : o.defw, f.m, f.adgiven ? f.ad : o.defad,
            f.asgiven ? f.as : o.defas, f.pd, f.ps, f.nrd, f.nrs };
    }

    static int check(IFcircuit& ckt, const Instance& f, Hot& l)
    {
        const Model& m = modelof(f);
        const char* name = f.name;
        const double nominal = nominalkelvin(ckt, m.tnomgiven, m.tnom);
        if (nominal == 0)
            return fail(
                E_BADDEVICE, "MOSFET %s: model %s has a TNOM below absolute zero", name, m.name.c_str());
        const Geometry g = geometry(ckt, f);
        if (const char* wrong = unsoundgeometry(g))
            return fail(E_BADDEVICE, "MOSFET %s has an unusable %s", name, wrong);
        const double kelvin = devicekelvin(ckt, true, f.tempgiven ? f.temp : ckt.options.temp + f.dtemp);
        if (kelvin == 0)
            return fail(E_BADDEVICE, "MOSFET %s has a temperature below absolute zero", name);
        Process p;
        const char* problem = unsound(m);
        if (!problem)
            problem = Level::prepare(m, nominal, p);
        if (!problem)
            problem = scale(m, p, g, nominal, kelvin, l.c);
        if (problem)
            return fail(E_BADDEVICE, "MOSFET %s: model %s has an unusable %s", name, m.name.c_str(), problem);
        if constexpr (requires { Level::finish(m, p, ckt.options, l.c); })
            Level::finish(m, p, ckt.options, l.c);
        l.model = &m;
        l.off = f.off;
        return takeinitialvoltages(f, l);
    }

    static int bind(IFcircuit& ckt, Instance& f, Hot& l)
    {
        if (int code = bindterminals(ckt, f, l))
            return code;
        const Model& m = modelof(f);
        const Geometry g = geometry(ckt, f);
        l.dp = seriesconductance(m.rdgiven, m.rd, m.rsh, g.nrd, 1) > 0
            ? internalnode(ckt, f, f.dnode, "drain")
            : l.d;
        l.sp = seriesconductance(m.rsgiven, m.rs, m.rsh, g.nrs, 1) > 0
            ? internalnode(ckt, f, f.snode, "source")
            : l.s;
        if ((l.state = ckt.models.allocstates(StateCount)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", f.name);
        placecells(ckt.matrix, l);
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const Loading loading(ckt, Level::CubicReverse);
        for (Hot& f : list)
            loadone<Level>(loading, f);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& f)
    {
        applyac(f, ckt.omega, ckt.matrix.stamps(), ckt.matrix.imaginary());
    }

    // The series resistances' and the channel's thermal noise, and the channel's flicker noise.
    static void noise(IFcircuit& ckt, const Instance& i, const Hot& f, NoiseSources& sources)
    {
        const double fourkt = 4 * Boltzmann * f.c.kelvin;
        sources.add(i,
            {
                { "rd", f.d, f.dp, fourkt * f.c.gdpr, 0 },
                { "rs", f.s, f.sp, fourkt * f.c.gspr, 0 },
                { "id", f.dp, f.sp, channelnoise(ckt, i), 0 },
                { "1overf", f.dp, f.sp, 0, flickernoise(ckt, i) },
            });
    }

    static bool converged(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& f : list) {
            if (!settled(ckt, f))
                return false;
        }
        return true;
    }

    static void settle(IFcircuit& ckt, std::span<Hot> list, TruncationTest* test)
    {
        for (Hot& f : list) {
            if (f.bypassed)
                settlecharges(ckt, f);
        }
        if (test)
            truncation(ckt, list, *test);
    }

    // The gate charges' truncation error limits the step, as the bulk charges' does not.
    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        for (const Hot& f : list) {
            test.add(f.state + Qgs, ckt.options.abstol);
            test.add(f.state + Qgd, ckt.options.abstol);
            test.add(f.state + Qgb, ckt.options.abstol);
        }
    }

    static void topology(Topology& topology, const Instance&, const Hot& l) { conduction(topology, l); }
};

} // namespace nerith::mos
