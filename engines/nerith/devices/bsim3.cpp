#include "engines/nerith/devices/bsim3eval.h"
#include "engines/nerith/devices/bsim3table.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/mos/mosfet.h"

#include <algorithm>
#include <array>
#include <cmath>

// The BSIM3 MOSFET as a device type: its instances, the load of each Newton iteration (limiting,
// the channel, the bulk junctions, the charges of gate, bulk and drain integrated and stamped with
// their full capacitance matrix), convergence, truncation error, the model's parameter checks and
// the askable operating point and noise densities.

namespace nerith::bsim3 {

namespace {

namespace ids {

inline constexpr int32_t L = 1, W = 2, M = 3, Ad = 4, As = 5, Pd = 6, Ps = 7, Nrd = 8, Nrs = 9, Off = 10,
                         Nqsmod = 11, Acnqsmod = 12, Ic = 13, IcVds = 14, IcVgs = 15, IcVbs = 16;
inline constexpr int32_t Gmbs = 20, Gm = 21, Gds = 22, Vdsat = 23, Vth = 24, Id = 25, Vbs = 26, Vgs = 27,
                         Vds = 28, Ibd = 29, Ibs = 30, Gbd = 31, Gbs = 32, Qb = 33, Cqb = 34, Qg = 35,
                         Cqg = 36, Qd = 37, Cqd = 38, Cgg = 39, Cgd = 40, Cgs = 41, Cdg = 42, Cdd = 43,
                         Cds = 44, Cbg = 45, Cbd = 46, Cbs = 47, Capbd = 48, Capbs = 49, Isub = 50,
                         ThermalNoise = 51, ChannelNoise = 52, FlickerNoise = 53;

} // namespace ids

// The states: the voltages of the point (for the predictor), then the pairs of gate, bulk and drain
// charge with their currents.
enum : int32_t {
    StateVbs,
    StateVgs,
    StateVds,
    StateQg,
    StateQb = StateQg + 2,
    StateQd = StateQb + 2,
    StateCount = StateQd + 2
};

// The terminals the channel's stamps join, in the order of a Dual's derivatives' reference: gate,
// internal drain, internal source, bulk.
enum Terminal : std::size_t { G, Dp, Sp, B };

// Matrix cells: the 4 x 4 block of the internal terminals, row by row, then the series resistances.
enum : std::size_t { Block = 16, DD = Block, DDp, DpD, SS, SSp, SpS, CellCount };

// The kT/q the junctions' limiting takes, as the model defines it: at the reference temperature.
const double LimitingVt = thermalvoltage(ReferenceTemperature);

// The load record of an instance.
struct Load {
    const Model* model = nullptr;
    Constants c;
    double m = 1;
    bool off = false;
    double ic[3] {}; // vds, vgs, vbs
    bool icgiven[3] {};
    int32_t d = 0, g = 0, s = 0, b = 0, dp = 0, sp = 0;
    int32_t state = 0;
    std::array<int32_t, CellCount> cells {};
    // The last iterate, its channel and the currents into the internal drain and the bulk (without
    // the charges') with their derivatives, for the convergence test.
    double vbs = 0, vgs = 0, vds = 0;
    double von = 0;
    Channel ch;
    Diode bs, bd;
    Dual idrain, ibulk;
    double capbs = 0, capbd = 0;
};

struct Instance : Bindable<Load> {
    double l, w, m, ad, as, pd, ps, nrd, nrs, icvds, icvgs, icvbs;
    int32_t nqsmod, acnqsmod;
    bool icvdsgiven = false, icvgsgiven = false, icvbsgiven = false, off = false, nqsgiven = false;
    Node* dnode = nullptr;
    Node* snode = nullptr;
};

const Model& modelof(const Instance& f)
{
    return static_cast<const Model&>(*f.model);
}

// What one iteration reads of the circuit.
struct Loading {
    explicit Loading(IFcircuit& circuit)
        : ckt(circuit)
        , x(circuit.solution.data())
        , a(circuit.matrix.stamps())
        , rhs(circuit.rhs.data())
        , gmin(circuit.options.gmin)
        , mode(circuit.mode)
        , transient(circuit.mode & MODE_TRAN)
        , first(circuit.mode & MODE_INITTRAN)
        , slope(transient ? circuit.integration.slope() : 0)
    {
    }
    IFcircuit& ckt;
    const double* x;
    double* a;
    double* rhs;
    double gmin;
    uint32_t mode;
    bool transient;
    bool first;
    double slope;
};

Bias atsolution(const double* x, const Load& f)
{
    const double type = f.model->polarity;
    return { type * (x[f.g] - x[f.sp]), type * (x[f.dp] - x[f.sp]), type * (x[f.b] - x[f.sp]) };
}

// The voltages of the iteration: the initial guesses, the initial conditions, or the solution (at a
// new time point the extrapolation of the last two) limited against the last iterate. True when the
// junction's limiting changed one.
bool voltages(const Loading& in, const Load& f, Bias& v)
{
    const double type = f.model->polarity;
    if ((in.mode & MODE_INITTRAN) && (in.mode & MODE_UIC)) {
        v = atsolution(in.x, f);
        v.vds = f.icgiven[0] ? type * f.ic[0] : v.vds;
        v.vgs = f.icgiven[1] ? type * f.ic[1] : v.vgs;
        v.vbs = f.icgiven[2] ? type * f.ic[2] : v.vbs;
        return false;
    }
    if ((in.mode & (MODE_INITJCT | MODE_INITFIX)) && f.off) {
        v = {};
        return false;
    }
    if (in.mode & MODE_INITJCT) {
        v = { type * f.ic[1], type * f.ic[0], type * f.ic[2] };
        if (v.vbs == 0 && v.vgs == 0 && v.vds == 0)
            v = { type * f.c.vth0 + 0.1, 0.1, 0 };
        return false;
    }
    Bias old { f.vgs, f.vds, f.vbs };
    if (in.mode & MODE_INITPRED) {
        const double* last = in.ckt.states[1].data() + f.state;
        const double* before = in.ckt.states[2].data() + f.state;
        const double* t = in.ckt.integration.times;
        const double ratio = (t[0] - t[1]) / (t[1] - t[2]);
        old = { last[StateVgs], last[StateVds], last[StateVbs] };
        v = { (1 + ratio) * old.vgs - ratio * before[StateVgs],
            (1 + ratio) * old.vds - ratio * before[StateVds],
            (1 + ratio) * old.vbs - ratio * before[StateVbs] };
    } else {
        v = atsolution(in.x, f);
    }
    const double vgd = v.vgs - v.vds;
    if (old.vds >= 0) {
        v.vgs = fetlim(v.vgs, old.vgs, f.von);
        v.vds = limvds(v.vgs - vgd, old.vds);
    } else {
        const double limited = fetlim(vgd, old.vgs - old.vds, f.von);
        v.vds = v.vgs - limited;
        v.vds = -limvds(-v.vds, -old.vds);
        v.vgs = limited + v.vds;
    }
    bool limited = false;
    if (v.vds >= 0) {
        v.vbs = pnjlim(v.vbs, old.vbs, LimitingVt, f.c.vcrit, limited);
    } else {
        const double vbd = pnjlim(v.vbs - v.vds, old.vbs - old.vds, LimitingVt, f.c.vcrit, limited);
        v.vbs = vbd + v.vds;
    }
    return limited;
}

// The charge `q` integrated in the state pair `state`: its current and the derivatives of it.
Dual flow(const Loading& in, const Load& f, int32_t state, const Dual& q)
{
    const double i = integratestate(in.ckt, f.state + state, q.v, in.first);
    return { i, in.slope * q.g, in.slope * q.d, in.slope * q.b };
}

// The stamps of the currents `into` the internal terminals, each a Dual by vgs, vds and vbs.
void stamp(const Loading& in, const Load& f, const Bias& v, const Dual (&into)[4])
{
    const double type = f.model->polarity;
    const int32_t nodes[4] = { f.g, f.dp, f.sp, f.b };
    double* a = in.a;
    const double m = f.m;
    for (std::size_t row = 0; row < 4; ++row) {
        const Dual& i = into[row];
        const int32_t* cell = f.cells.data() + 4 * row;
        a[cell[G]] += m * i.g;
        a[cell[Dp]] += m * i.d;
        a[cell[B]] += m * i.b;
        a[cell[Sp]] -= m * (i.g + i.d + i.b);
        in.rhs[nodes[row]] -= m * type * (i.v - i.g * v.vgs - i.d * v.vds - i.b * v.vbs);
    }
    const double gd = m * f.c.gdrain;
    const double gs = m * f.c.gsource;
    if (gd != 0) {
        a[f.cells[DD]] += gd;
        a[f.cells[DDp]] -= gd;
        a[f.cells[DpD]] -= gd;
        a[f.cells[4 * Dp + Dp]] += gd;
    }
    if (gs != 0) {
        a[f.cells[SS]] += gs;
        a[f.cells[SSp]] -= gs;
        a[f.cells[SpS]] -= gs;
        a[f.cells[4 * Sp + Sp]] += gs;
    }
}

// The overlap, bulk overlap and junction charges outside the channel, added to its charges.
void outercharges(const Model& m, const Constants& c, const Bias& v, Load& f, Dual& qg, Dual& qb, Dual& qd)
{
    const Dual vgs { v.vgs, 1, 0, 0 };
    const Dual vgd { v.vgs - v.vds, 1, -1, 0 };
    const Dual vgb { v.vgs - v.vbs, 1, 0, -1 };
    const Dual qgdo = overlapcharge(m, c, c.cgdo, c.p[Cgdl], vgd);
    const Dual qgso = overlapcharge(m, c, c.cgso, c.p[Cgsl], vgs);
    const Dual qgb = c.cgbo * vgb;
    const Dual js = junctioncharge(c, c.source, v.vbs);
    const double vbd = v.vbs - v.vds;
    const Dual jd = junctioncharge(c, c.drain, vbd);
    f.capbs = js.b;
    f.capbd = jd.b;
    const Dual qbs { js.v, 0, 0, js.b };
    const Dual qbd { jd.v, 0, -jd.b, jd.b };
    qg += qgdo + qgso + qgb;
    qb += qbs + qbd - qgb;
    qd -= qgdo + qbd;
}

void loadone(const Loading& in, Load& f)
{
    Bias v;
    const bool limited = voltages(in, f, v);
    const Model& m = *f.model;
    const Constants& c = f.c;
    f.ch = channel(m, c, v, in.transient);
    const Channel& ch = f.ch;
    const double vbd = v.vbs - v.vds;
    f.bs = junctioncurrent(c.source, c.nvtm, v.vbs, in.gmin);
    f.bd = junctioncurrent(c.drain, c.nvtm, vbd, in.gmin);
    const Dual ibs { f.bs.i, 0, 0, f.bs.g };
    const Dual ibd { f.bd.i, 0, -f.bd.g, f.bd.g };
    // Currents into the internal terminals: the channel's, the substrate current from the channel's
    // drain to the bulk, and the junctions' from the bulk.
    Dual into[4];
    into[Dp] = ch.ids - ibd;
    into[Sp] = -ch.ids - ibs;
    into[B] = ibs + ibd - ch.isub;
    into[ch.mode > 0 ? Dp : Sp] += ch.isub;
    f.idrain = into[Dp];
    f.ibulk = into[B];
    if (in.transient) {
        double* now = in.ckt.states[0].data() + f.state;
        now[StateVbs] = v.vbs;
        now[StateVgs] = v.vgs;
        now[StateVds] = v.vds;
        Dual qg = ch.qg, qb = ch.qb, qd = ch.qd;
        outercharges(m, c, v, f, qg, qb, qd);
        const Dual cg = flow(in, f, StateQg, qg);
        const Dual cb = flow(in, f, StateQb, qb);
        const Dual cd = flow(in, f, StateQd, qd);
        into[G] += cg;
        into[B] += cb;
        into[Dp] += cd;
        into[Sp] -= cg + cb + cd;
    }
    if (limited)
        ++in.ckt.noncon;
    f.vbs = v.vbs;
    f.vgs = v.vgs;
    f.vds = v.vds;
    f.von = ch.vth;
    stamp(in, f, v, into);
}

// Whether the currents the last iterate's linearisation predicts at `x` match its own.
bool settled(const IFcircuit& ckt, const Load& f, const double* x)
{
    if (f.off && (ckt.mode & MODE_INITFIX))
        return true;
    const Bias v = atsolution(x, f);
    const double dg = v.vgs - f.vgs, dd = v.vds - f.vds, db = v.vbs - f.vbs;
    const Options& o = ckt.options;
    auto near = [&](const Dual& i) {
        const double predicted = i.v + i.g * dg + i.d * dd + i.b * db;
        return std::fabs(predicted - i.v)
            < o.reltol * std::max(std::fabs(predicted), std::fabs(i.v)) + o.abstol;
    };
    return near(f.idrain) && near(f.ibulk);
}

void placecells(SparseMatrix& x, Load& f)
{
    const int32_t nodes[4] = { f.g, f.dp, f.sp, f.b };
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t column = 0; column < 4; ++column)
            f.cells[4 * row + column] = x.place(nodes[row], nodes[column]);
    }
    f.cells[DD] = x.place(f.d, f.d);
    f.cells[DDp] = x.place(f.d, f.dp);
    f.cells[DpD] = x.place(f.dp, f.d);
    f.cells[SS] = x.place(f.s, f.s);
    f.cells[SSp] = x.place(f.s, f.sp);
    f.cells[SpS] = x.place(f.sp, f.s);
}

// Noise current densities (A^2/Hz) of the operating point.
double thermalnoise(IFcircuit&, const Instance& f)
{
    if (!f.bound)
        return 0;
    const Load& l = *f.hot;
    return 4 * Boltzmann * l.c.kelvin * l.m * (l.c.gdrain + l.c.gsource);
}

// The channel's thermal noise: of the conductances (NOIMOD 1 and 3) or of the inversion charge
// (NOIMOD 2 and 4).
double channelnoise(IFcircuit&, const Instance& f)
{
    if (!f.bound)
        return 0;
    const Load& l = *f.hot;
    const Channel& ch = l.ch;
    const double kt4 = 4 * Boltzmann * l.c.kelvin * l.m;
    const int32_t noimod = modelof(f).noimod;
    if (noimod == 2 || noimod == 4) {
        const double q = std::fabs(ch.qinv);
        return kt4 * ch.ueff * q / (l.c.leff * l.c.leff + ch.ueff * q * ch.rds);
    }
    const double g = std::fabs(ch.ids.g) + std::fabs(ch.ids.d) + std::fabs(ch.ids.b);
    return kt4 * 2 * g / 3;
}

// The flicker noise at 1 Hz: the classic form of KF and AF (NOIMOD 1 and 4) or the oxide trap
// model of NOIA, NOIB and NOIC (NOIMOD 2 and 3).
double flickernoise(IFcircuit&, const Instance& f)
{
    if (!f.bound)
        return 0;
    const Load& l = *f.hot;
    const Model& m = modelof(f);
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

template <auto Get> double operating(IFcircuit&, const Instance& f)
{
    return f.bound ? Get(*f.hot) : 0;
}

// The drain current and the channel's conductances in its own frame (drain and source exchanged
// when vds < 0), the polarity's sign included in the current.
double drain(const Load& l)
{
    return l.model->polarity * l.ch.ids.v;
}
double gm(const Load& l)
{
    return l.ch.mode > 0 ? l.ch.ids.g : -l.ch.ids.g;
}
double gmbs(const Load& l)
{
    return l.ch.mode > 0 ? l.ch.ids.b : -l.ch.ids.b;
}
double gds(const Load& l)
{
    return l.ch.mode > 0 ? l.ch.ids.d : l.ch.ids.d + l.ch.ids.g + l.ch.ids.b;
}
template <Dual Channel::*Charge> double chargeof(const Load& l)
{
    return l.model->polarity * (l.ch.*Charge).v;
}
// The intrinsic capacitance of a charge by the gate, drain or source voltage (the derivative by the
// source being minus the sum of the others).
template <Dual Channel::*Charge, int By> double capacitanceof(const Load& l)
{
    const Dual& q = l.ch.*Charge;
    return By == 0 ? q.g : By == 1 ? q.d : -(q.g + q.d + q.b);
}
template <int32_t State> double statecharge(IFcircuit& ckt, const Instance& f)
{
    return f.bound && (ckt.mode & MODE_TRAN) ? f.hot->model->polarity * ckt.states[0][f.hot->state + State]
                                             : 0;
}

constexpr auto instanceparameters = parametertable<Instance>({
    field<&Instance::l>("l", ids::L, "Length").in("m").initially(5e-6),
    field<&Instance::w>("w", ids::W, "Width").in("m").initially(5e-6),
    field<&Instance::m>("m", ids::M, "Parallel multiplier").initially(1),
    field<&Instance::ad>("ad", ids::Ad, "Drain area").in("m2"),
    field<&Instance::as>("as", ids::As, "Source area").in("m2"),
    field<&Instance::pd>("pd", ids::Pd, "Drain perimeter").in("m"),
    field<&Instance::ps>("ps", ids::Ps, "Source perimeter").in("m"),
    field<&Instance::nrd>("nrd", ids::Nrd, "Number of squares in the drain").initially(1),
    field<&Instance::nrs>("nrs", ids::Nrs, "Number of squares in the source").initially(1),
    field<&Instance::off>("off", ids::Off, "Device initially off"),
    field<&Instance::nqsmod, &Instance::nqsgiven>("nqsmod", ids::Nqsmod, "Non-quasi-static model selector"),
    field<&Instance::acnqsmod>("acnqsmod", ids::Acnqsmod, "AC non-quasi-static model selector"),
    settable<&mos::setinitialvoltages<Instance>>(
        "ic", ids::Ic, IF_REAL | IF_VECTOR, "Initial D-S, G-S and B-S voltages"),
    field<&Instance::icvds, &Instance::icvdsgiven>("icvds", ids::IcVds, "Initial D-S voltage").in("V"),
    field<&Instance::icvgs, &Instance::icvgsgiven>("icvgs", ids::IcVgs, "Initial G-S voltage").in("V"),
    field<&Instance::icvbs, &Instance::icvbsgiven>("icvbs", ids::IcVbs, "Initial B-S voltage").in("V"),
    computed<&operating<&gmbs>>("gmbs", ids::Gmbs, "Bulk-source transconductance").in("S"),
    computed<&operating<&gm>>("gm", ids::Gm, "Transconductance").in("S"),
    computed<&operating<&gds>>("gds", ids::Gds, "Drain-source conductance").in("S"),
    computed<&operating<[](const Load& l) { return l.ch.vdsat; }>>("vdsat", ids::Vdsat, "Saturation voltage")
        .in("V"),
    computed<&operating<[](const Load& l) { return l.von; }>>("vth", ids::Vth, "Threshold voltage").in("V"),
    computed<&operating<&drain>>("id", ids::Id, "Channel current from drain to source").in("A"),
    computed<&operating<[](const Load& l) { return l.model->polarity * l.ch.isub.v; }>>(
        "isub", ids::Isub, "Substrate current")
        .in("A"),
    computed<&operating<[](const Load& l) { return l.vbs; }>>("vbs", ids::Vbs, "Bulk-source voltage").in("V"),
    computed<&operating<[](const Load& l) { return l.vgs; }>>("vgs", ids::Vgs, "Gate-source voltage").in("V"),
    computed<&operating<[](const Load& l) { return l.vds; }>>("vds", ids::Vds, "Drain-source voltage")
        .in("V"),
    computed<&operating<[](const Load& l) { return l.model->polarity * l.bd.i; }>>(
        "ibd", ids::Ibd, "Bulk-drain junction current")
        .in("A"),
    computed<&operating<[](const Load& l) { return l.model->polarity * l.bs.i; }>>(
        "ibs", ids::Ibs, "Bulk-source junction current")
        .in("A"),
    computed<&operating<[](const Load& l) { return l.bd.g; }>>("gbd", ids::Gbd, "Bulk-drain conductance")
        .in("S"),
    computed<&operating<[](const Load& l) { return l.bs.g; }>>("gbs", ids::Gbs, "Bulk-source conductance")
        .in("S"),
    computed<&statecharge<StateQb>>("qb", ids::Qb, "Bulk charge").in("C"),
    computed<&statecharge<StateQb + 1>>("cqb", ids::Cqb, "Bulk charge current").in("A"),
    computed<&statecharge<StateQg>>("qg", ids::Qg, "Gate charge").in("C"),
    computed<&statecharge<StateQg + 1>>("cqg", ids::Cqg, "Gate charge current").in("A"),
    computed<&statecharge<StateQd>>("qd", ids::Qd, "Drain charge").in("C"),
    computed<&statecharge<StateQd + 1>>("cqd", ids::Cqd, "Drain charge current").in("A"),
    computed<&operating<&capacitanceof<&Channel::qg, 0>>>("cgg", ids::Cgg, "Gate charge by the gate").in("F"),
    computed<&operating<&capacitanceof<&Channel::qg, 1>>>("cgd", ids::Cgd, "Gate charge by the drain")
        .in("F"),
    computed<&operating<&capacitanceof<&Channel::qg, 2>>>("cgs", ids::Cgs, "Gate charge by the source")
        .in("F"),
    computed<&operating<&capacitanceof<&Channel::qd, 0>>>("cdg", ids::Cdg, "Drain charge by the gate")
        .in("F"),
    computed<&operating<&capacitanceof<&Channel::qd, 1>>>("cdd", ids::Cdd, "Drain charge by the drain")
        .in("F"),
    computed<&operating<&capacitanceof<&Channel::qd, 2>>>("cds", ids::Cds, "Drain charge by the source")
        .in("F"),
    computed<&operating<&capacitanceof<&Channel::qb, 0>>>("cbg", ids::Cbg, "Bulk charge by the gate").in("F"),
    computed<&operating<&capacitanceof<&Channel::qb, 1>>>("cbd", ids::Cbd, "Bulk charge by the drain")
        .in("F"),
    computed<&operating<&capacitanceof<&Channel::qb, 2>>>("cbs", ids::Cbs, "Bulk charge by the source")
        .in("F"),
    computed<&operating<[](const Load& l) { return l.capbd; }>>(
        "capbd", ids::Capbd, "Drain junction capacitance")
        .in("F"),
    computed<&operating<[](const Load& l) { return l.capbs; }>>(
        "capbs", ids::Capbs, "Source junction capacitance")
        .in("F"),
    computed<&thermalnoise>("thermalnoise", ids::ThermalNoise, "Series resistance noise density").in("A2/Hz"),
    computed<&channelnoise>("channelnoise", ids::ChannelNoise, "Channel thermal noise density").in("A2/Hz"),
    computed<&flickernoise>("flickernoise", ids::FlickerNoise, "Flicker noise density at 1 Hz").in("A2/Hz"),
});

// The first value of an instance's own parameters the equations cannot take, named; null when none.
const char* unsoundgeometry(const Instance& f)
{
    auto bad = [](double v) { return !std::isfinite(v) || v < 0; };
    if (!std::isfinite(f.l) || f.l <= 0)
        return "length L";
    if (!std::isfinite(f.w) || f.w <= 0)
        return "width W";
    if (!std::isfinite(f.m) || f.m <= 0)
        return "multiplier M";
    if (bad(f.ad) || bad(f.as) || bad(f.pd) || bad(f.ps))
        return "drain or source area or perimeter";
    if (bad(f.nrd) || bad(f.nrs))
        return "number of drain or source squares";
    for (double v : { f.icvds, f.icvgs, f.icvbs }) {
        if (!std::isfinite(v))
            return "initial voltage";
    }
    return nullptr;
}

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
    const bool version = !m.version.empty() && m.version.compare(0, 3, "3.3") != 0;
    if (version)
        note(ERR_WARNING, "BSIM3 model %s: version %s given; the equations are those of 3.3", m.name.c_str(),
            m.version.c_str());
    if (m.nqsmod == 1 || (f.nqsgiven && f.nqsmod == 1))
        note(ERR_WARNING,
            "BSIM3 model %s: no non-quasi-static charges (NQSMOD 1): quasi-static charges are used",
            m.name.c_str());
    for (const std::string& text : found.warnings)
        note(ERR_WARNING, "BSIM3 model %s: %s", m.name.c_str(), text.c_str());
}

struct Bsim3 {
    static constexpr bool Linear = false;
    using Model = bsim3::Model;
    using Instance = bsim3::Instance;
    using Hot = Load;

    static constexpr auto parameters = instanceparameters;
    static constexpr auto modelparameters = bsim3::modelparameters;

    static int check(IFcircuit& ckt, const Instance& f, Hot& l)
    {
        const Model& m = modelof(f);
        const char* name = f.name.c_str();
        if (const char* wrong = unsoundgeometry(f))
            return fail(E_BADDEVICE, "MOSFET %s has an unusable %s", name, wrong);
        if (const char* wrong = unknownselector(m))
            return fail(
                E_BADDEVICE, "MOSFET %s: BSIM3 model %s has an unknown %s", name, m.name.c_str(), wrong);
        const double nominal = nominalkelvin(ckt, m.tnomgiven, m.tnom);
        const double kelvin = devicekelvin(ckt, false, 0);
        if (nominal == 0 || kelvin == 0)
            return fail(E_BADDEVICE, "MOSFET %s: BSIM3 model %s has a temperature below absolute zero", name,
                m.name.c_str());
        Findings found;
        prepare(m, { f.l, f.w, f.ad, f.as, f.pd, f.ps, f.nrd, f.nrs }, nominal, kelvin, l.c, found);
        if (!found.fatal.empty())
            return fail(
                E_BADDEVICE, "MOSFET %s: BSIM3 model %s: %s", name, m.name.c_str(), found.fatal.c_str());
        warnonce(m, found, f);
        l.model = &m;
        l.m = f.m;
        l.off = f.off;
        const double values[] = { f.icvds, f.icvgs, f.icvbs };
        const bool given[] = { f.icvdsgiven, f.icvgsgiven, f.icvbsgiven };
        for (int i = 0; i < 3; ++i) {
            l.ic[i] = values[i];
            l.icgiven[i] = given[i];
        }
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& f, Hot& l)
    {
        int32_t nodes[4];
        if (int code = terminalnumbers(f, 4, nodes))
            return code;
        l.d = nodes[0];
        l.g = nodes[1];
        l.s = nodes[2];
        l.b = nodes[3];
        const Model& m = modelof(f);
        l.dp = m.rsh * f.nrd > 0 ? internalnode(ckt, f, f.dnode, "drain") : l.d;
        l.sp = m.rsh * f.nrs > 0 ? internalnode(ckt, f, f.snode, "source") : l.s;
        if ((l.state = ckt.models.allocstates(StateCount)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", f.name.c_str());
        placecells(ckt.matrix, l);
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const Loading loading(ckt);
        for (Hot& f : list)
            loadone(loading, f);
    }

    static bool converged(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& f : list) {
            if (!settled(ckt, f, ckt.rhs.data()))
                return false;
        }
        return true;
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        for (const Hot& f : list) {
            test.add(f.state + StateQb, ckt.options.abstol);
            test.add(f.state + StateQg, ckt.options.abstol);
            test.add(f.state + StateQd, ckt.options.abstol);
        }
    }

    static void topology(Topology& topology, const Instance&, const Hot& l)
    {
        topology.conducts(l.d, l.dp);
        topology.conducts(l.s, l.sp);
        topology.conducts(l.dp, l.sp);
        topology.conducts(l.b, l.dp);
        topology.conducts(l.b, l.sp);
    }
};

} // namespace

} // namespace nerith::bsim3

namespace nerith {

extern const DeviceKind bsim3kind;
constexpr DeviceKind bsim3kind
    = devicekind<bsim3::Bsim3>("BSIM3", "Berkeley short-channel IGFET model, version 3.3", 4);

} // namespace nerith
