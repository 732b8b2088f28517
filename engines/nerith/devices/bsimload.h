#pragma once

#include "engines/nerith/devices/bsimdual.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/devices/mos/mosfet.h"
#include "engines/nerith/noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <utility>

// What the BSIM levels share as device types: four terminals with series resistances on internal
// drain and source nodes, limiting, the channel's current and charges of gate, bulk and drain (from
// a level's own equations, each a Dual by the terminal voltages) integrated and stamped with their
// full capacitance matrix, bulk junctions, convergence and truncation error. A `Level` gives its
// model, constants and tables, and the equations.

namespace nerith::bsim {

// The channel's voltages against the source, multiplied by the polarity (in either direction).
struct Bias {
    double vgs = 0, vds = 0, vbs = 0;
};

// What a level's channel gives at a bias; each Dual is by the voltages of the bias as it was given
// (the real drain and source, whichever the channel takes as its drain).
struct Channel {
    int32_t mode = 1; // -1: the source is the channel's drain (vds < 0)
    Dual ids; // from the drain to the source
    Dual isub; // from the channel's drain (the source when mode is -1) to the bulk
    Dual qg, qb, qd; // intrinsic charges of gate, bulk and drain, without overlaps and junctions
    double vth = 0, vdsat = 0, vgsteff = 0, vdseff = 0, ueff = 0, abulk = 0, rds = 0;
    double qinv = 0; // the inversion charge the thermal noise takes
};

// The voltages a level's equations take in the channel's own frame (vds >= 0), seeded with their
// derivatives by the bias as given: with vds < 0 the source is the drain.
struct Frame {
    int32_t mode = 1;
    Dual vgs, vds, vbs;
};
inline Frame frame(const Bias& bias)
{
    if (bias.vds >= 0)
        return { 1, { bias.vgs, 1, 0, 0 }, { bias.vds, 0, 1, 0 }, { bias.vbs, 0, 0, 1 } };
    return { -1, { bias.vgs - bias.vds, 1, -1, 0 }, { -bias.vds, 0, -1, 0 },
        { bias.vbs - bias.vds, 0, -1, 1 } };
}

// The current of a bulk junction side with its conductance.
struct Diode {
    double i = 0, g = 0;
};

// The depletion charge of a bulk junction side of zero-bias capacitances `zero` (bottom and
// sidewalls), potentials `phi` and gradings `m` at `v`, its capacitance in the derivative by vbs;
// above zero bias continued by the first two terms of its series.
template <std::size_t N>
Dual depletioncharge(const double (&zero)[N], const double (&phi)[N], const double (&m)[N], double v)
{
    Dual q;
    if (v < 0) {
        for (std::size_t k = 0; k < N; ++k) {
            if (zero[k] <= 0)
                continue;
            const double arg = 1 - v / phi[k];
            const double sarg = m[k] == 0.5 ? 1 / std::sqrt(arg) : std::exp(-m[k] * std::log(arg));
            q.v += phi[k] * zero[k] * (1 - arg * sarg) / (1 - m[k]);
            q.b += zero[k] * sarg;
        }
        return q;
    }
    double sum = 0, slope = 0;
    for (std::size_t k = 0; k < N; ++k) {
        sum += zero[k];
        slope += zero[k] * m[k] / phi[k];
    }
    q.v = v * (sum + 0.5 * v * slope);
    q.b = sum + v * slope;
    return q;
}

// The set, ask and default of term T of a model's binned parameter K (`Model::bin`); the set of
// the base term raises its flag in `Model::given` where the model keeps them.
template <class Model, std::size_t K, std::size_t T>
int setbinned(Model& m, const IFvalue& value, const Parameter<Model>&)
{
    if (!std::isfinite(value.rValue))
        return E_BADVALUE;
    m.bin[K][T] = value.rValue;
    if constexpr (T == 0 && requires { m.given[K]; })
        m.given[K] = true;
    return 0;
}
template <class Model, std::size_t K, std::size_t T> int askbinned(IFcircuit&, Model& m, IFvalue& value)
{
    value.rValue = m.bin[K][T];
    return 0;
}
template <class Model, std::size_t K, std::size_t T> void resetbinned(Model& m, double initial)
{
    m.bin[K][T] = initial;
    if constexpr (T == 0 && requires { m.given[K]; })
        m.given[K] = false;
}

// A size-dependent parameter: the keywords of its base value and of its terms, what it is, its unit
// and its default.
template <std::size_t Terms> struct BinnedRow {
    const char* keywords[Terms];
    const char* description;
    const char* unit;
    double initial = 0;
};

// The row of term T of binned parameter K of `Rows` under `keyword` and `id`.
template <class Model, const auto& Rows, std::size_t K, std::size_t T>
constexpr Parameter<Model> binnedrow(const char* keyword, int32_t id)
{
    Parameter<Model> row = rows::basic<Model>(keyword, id, IF_REAL | IF_SET | IF_ASK, Rows[K].description);
    row.set = &setbinned<Model, K, T>;
    row.ask = &askbinned<Model, K, T>;
    row.reset = &resetbinned<Model, K, T>;
    if constexpr (T == 0) {
        row.unit = Rows[K].unit;
        row.initial = Rows[K].initial;
    }
    return row;
}

// No rows after the binned ones.
template <class Model> inline constexpr std::array<Parameter<Model>, 0> noextrarows {};

// The model table of the rows `Plain`, then every term of each binned parameter of `Rows` (ids from
// `first` on, the terms of parameter k from first + terms k), then the rows `Extra` (aliases).
template <class Model, const auto& Plain, const auto& Rows, const auto& Extra, std::size_t... K>
constexpr auto binnedtable(int32_t first, std::index_sequence<K...>)
{
    constexpr std::size_t terms = std::size(Rows[0].keywords);
    constexpr std::size_t count = std::size(Plain) + terms * sizeof...(K) + std::size(Extra);
    Parameter<Model> rows[count] {};
    std::size_t at = 0;
    for (const Parameter<Model>& row : Plain)
        rows[at++] = row;
    auto add = [&]<std::size_t k, std::size_t... T>(
        std::integral_constant<std::size_t, k>, std::index_sequence<T...>)
    {
        ((rows[at++] = binnedrow<Model, Rows, k, T>(
              Rows[k].keywords[T], first + static_cast<int32_t>(terms * k + T))),
            ...);
    };
    (add(std::integral_constant<std::size_t, K> {}, std::make_index_sequence<terms> {}), ...);
    for (const Parameter<Model>& row : Extra)
        rows[at++] = row;
    return ParameterTable<Model, count>(rows);
}

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

// The kT/q the junctions' limiting takes: at the reference temperature.
inline const double LimitingVt = thermalvoltage(ReferenceTemperature);

// The load record of an instance of `Level`.
template <class Level> struct Load {
    const typename Level::Model* model = nullptr;
    typename Level::Constants c;
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
    Dual charges[4]; // of the terminals (gate, drain, source, bulk) at the point linearised for AC
};

// The parameters of an instance; each level's table names the ones it takes.
template <class Level> struct Instance : Bindable<Load<Level>> {
    double l, w, m, ad, as, pd, ps, nrd, nrs, icvds, icvgs, icvbs;
    int32_t nqsmod, acnqsmod;
    bool icvdsgiven = false, icvgsgiven = false, icvbsgiven = false, off = false, nqsgiven = false;
    Node* dnode = nullptr;
    Node* snode = nullptr;
};

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
        , linearising(circuit.mode & MODE_INITSMSIG)
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
    bool linearising; // the operating point of a small-signal analysis: its charges are kept
    bool first;
    double slope;
};

template <class Level> Bias atsolution(const double* x, const Load<Level>& f)
{
    const double type = f.model->polarity;
    return { type * (x[f.g] - x[f.sp]), type * (x[f.dp] - x[f.sp]), type * (x[f.b] - x[f.sp]) };
}

// The voltages of the iteration: the initial guesses, the initial conditions, or the solution (at a
// new time point the extrapolation of the last two) limited against the last iterate. True when the
// junction's limiting changed one.
template <class Level> bool voltages(const Loading& in, const Load<Level>& f, Bias& v)
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
            v = Level::initialguess(*f.model, f.c);
        return false;
    }
    Bias old { f.vgs, f.vds, f.vbs };
    if (in.mode & MODE_INITPRED) {
        v.vgs = extrapolatestate(in.ckt, f.state + StateVgs, old.vgs);
        v.vds = extrapolatestate(in.ckt, f.state + StateVds, old.vds);
        v.vbs = extrapolatestate(in.ckt, f.state + StateVbs, old.vbs);
    } else {
        v = atsolution(in.x, f);
    }
    limitgatedrain(v.vgs, v.vds, old.vgs, old.vds, f.von, true);
    bool limited = false;
    v.vbs = limitbulk(v.vbs, v.vds, old.vbs, old.vds, LimitingVt, Level::vcrit(f.c, false),
        Level::vcrit(f.c, true), limited);
    return limited;
}

// The charge `q` integrated in the state pair `state`: its current and the derivatives of it.
inline Dual flow(const Loading& in, int32_t state, const Dual& q)
{
    const double i = integratestate(in.ckt, state, q.v, in.first);
    return { i, in.slope * q.g, in.slope * q.d, in.slope * q.b };
}

// Adds `scale` times the derivatives of the quantities `rows` of the internal terminals (each a
// Dual by vgs, vds and vbs) to the matrix entries `a`.
template <class Level>
void stampderivatives(double* a, const Load<Level>& f, const Dual (&rows)[4], double scale)
{
    for (std::size_t row = 0; row < 4; ++row) {
        const Dual& i = rows[row];
        const int32_t* cell = f.cells.data() + 4 * row;
        a[cell[G]] += scale * i.g;
        a[cell[Dp]] += scale * i.d;
        a[cell[B]] += scale * i.b;
        a[cell[Sp]] -= scale * (i.g + i.d + i.b);
    }
}

// The stamps of the series conductances `gd` and `gs` of an instance of multiplier m.
template <class Level> void stampseries(double* a, const Load<Level>& f, double gd, double gs)
{
    gd *= f.m;
    gs *= f.m;
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

// The stamps of the currents `into` the internal terminals, each a Dual by vgs, vds and vbs, and of
// the series conductances.
template <class Level>
void stamp(const Loading& in, const Load<Level>& f, const Bias& v, const Dual (&into)[4])
{
    const double type = f.model->polarity;
    const int32_t nodes[4] = { f.g, f.dp, f.sp, f.b };
    stampderivatives(in.a, f, into, f.m);
    for (std::size_t row = 0; row < 4; ++row) {
        const Dual& i = into[row];
        in.rhs[nodes[row]] -= f.m * type * (i.v - i.g * v.vgs - i.d * v.vds - i.b * v.vbs);
    }
    stampseries(in.a, f, f.c.gdrain, f.c.gsource);
}

// The small-signal stamps of an instance at the point linearised: its conductances, and its
// capacitances times omega on the imaginary part.
template <class Level> void applyac(const Load<Level>& f, double omega, double* real, double* imaginary)
{
    const Dual conductances[4] = { Dual(), f.idrain, -(f.idrain + f.ibulk), f.ibulk };
    stampderivatives(real, f, conductances, f.m);
    stampseries(real, f, f.c.gdrain, f.c.gsource);
    stampderivatives(imaginary, f, f.charges, f.m * omega);
}

template <class Level> void loadone(const Loading& in, Load<Level>& f)
{
    Bias v;
    const bool limited = voltages(in, f, v);
    const auto& m = *f.model;
    const auto& c = f.c;
    f.ch = Level::channel(m, c, v, in.transient || in.linearising);
    const Channel& ch = f.ch;
    f.bs = Level::junctioncurrent(c, false, v.vbs, in.gmin);
    f.bd = Level::junctioncurrent(c, true, v.vbs - v.vds, in.gmin);
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
    if (in.transient || in.linearising) {
        // The overlaps, linear or the level's own, and the junctions' depletion charges.
        const Dual vgs { v.vgs, 1, 0, 0 };
        const Dual vgd { v.vgs - v.vds, 1, -1, 0 };
        const Dual vgb { v.vgs - v.vbs, 1, 0, -1 };
        const Dual qgdo = Level::overlap(m, c, true, vgd);
        const Dual qgso = Level::overlap(m, c, false, vgs);
        const Dual qgb = c.cgbo * vgb;
        const Dual js = Level::junctioncharge(c, false, v.vbs);
        const Dual jd = Level::junctioncharge(c, true, v.vbs - v.vds);
        f.capbs = js.b;
        f.capbd = jd.b;
        const Dual qbs { js.v, 0, 0, js.b };
        const Dual qbd { jd.v, 0, -jd.b, jd.b };
        const Dual qg = ch.qg + qgdo + qgso + qgb;
        const Dual qb = ch.qb + qbs + qbd - qgb;
        const Dual qd = ch.qd - qgdo - qbd;
        if (in.linearising) {
            f.charges[G] = qg;
            f.charges[Dp] = qd;
            f.charges[B] = qb;
            f.charges[Sp] = -(qg + qb + qd);
        } else {
            double* now = in.ckt.states[0].data() + f.state;
            now[StateVbs] = v.vbs;
            now[StateVgs] = v.vgs;
            now[StateVds] = v.vds;
            const Dual cg = flow(in, f.state + StateQg, qg);
            const Dual cb = flow(in, f.state + StateQb, qb);
            const Dual cd = flow(in, f.state + StateQd, qd);
            into[G] += cg;
            into[B] += cb;
            into[Dp] += cd;
            into[Sp] -= cg + cb + cd;
        }
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
template <class Level> bool settled(const IFcircuit& ckt, const Load<Level>& f, const double* x)
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

template <class Level> void placecells(SparseMatrix& x, Load<Level>& f)
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

// The first value of an instance's own parameters the equations cannot take, named; null when none.
template <class Level> const char* unsoundgeometry(const Instance<Level>& f)
{
    if (const char* wrong = mos::unsoundgeometry({ f.l, f.w, f.m, f.ad, f.as, f.pd, f.ps, f.nrd, f.nrs }))
        return wrong;
    for (double v : { f.icvds, f.icvgs, f.icvbs }) {
        if (!std::isfinite(v))
            return "initial voltage";
    }
    return nullptr;
}

// The operating point of a bound instance by `Get` of its load record; 0 while it is not bound.
template <class Level, auto Get> double operating(IFcircuit&, const Instance<Level>& f)
{
    return f.hot ? Get(*f.hot) : 0;
}

// The drain current and the channel's conductances in its own frame (drain and source exchanged
// when vds < 0), the polarity's sign in the current.
template <class Level> double drain(const Load<Level>& l)
{
    return l.model->polarity * l.ch.ids.v;
}
template <class Level> double gm(const Load<Level>& l)
{
    return l.ch.mode > 0 ? l.ch.ids.g : -l.ch.ids.g;
}
template <class Level> double gmbs(const Load<Level>& l)
{
    return l.ch.mode > 0 ? l.ch.ids.b : -l.ch.ids.b;
}
template <class Level> double gds(const Load<Level>& l)
{
    return l.ch.mode > 0 ? l.ch.ids.d : l.ch.ids.d + l.ch.ids.g + l.ch.ids.b;
}
// The intrinsic capacitance of a charge by the gate, drain or source voltage (the derivative by the
// source being minus the sum of the others).
template <class Level, Dual Channel::*Charge, int By> double capacitanceof(const Load<Level>& l)
{
    const Dual& q = l.ch.*Charge;
    return By == 0 ? q.g : By == 1 ? q.d : -(q.g + q.d + q.b);
}
template <class Level, int32_t State> double statecharge(IFcircuit& ckt, const Instance<Level>& f)
{
    if (!f.hot || !(ckt.mode & MODE_TRAN))
        return 0;
    return f.hot->model->polarity * ckt.states[0][f.hot->state + State];
}
// The series resistances' thermal noise density (A^2/Hz).
template <class Level> double resistancenoise(const Load<Level>& l)
{
    return thermalnoise(Level::kelvin(l.c), l.m * (l.c.gdrain + l.c.gsource));
}

// Ids of the instance rows every level shares; each level numbers its own from 100 on.
namespace ids {
inline constexpr int32_t L = 1, W = 2, M = 3, Ad = 4, As = 5, Pd = 6, Ps = 7, Nrd = 8, Nrs = 9, Off = 10,
                         Ic = 13;
inline constexpr int32_t Gmbs = 20, Gm = 21, Gds = 22, Vdsat = 23, Vth = 24, Id = 25, Vbs = 26, Vgs = 27,
                         Vds = 28, Ibd = 29, Ibs = 30, Gbd = 31, Gbs = 32, Qb = 33, Cqb = 34, Qg = 35,
                         Cqg = 36, Qd = 37, Cqd = 38, Cgg = 39, Cgd = 40, Cgs = 41, Cdg = 42, Cdd = 43,
                         Cds = 44, Cbg = 45, Cbd = 46, Cbs = 47, Capbd = 48, Capbs = 49, ThermalNoise = 51;
} // namespace ids

// The size, junction and initial-condition rows and the operating point every level answers.
template <class Level> constexpr auto sharedrows()
{
    using L = Load<Level>;
    using Instance = bsim::Instance<Level>;
    return std::array {
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
        settable<&mos::setinitialvoltages<Instance>>(
            "ic", ids::Ic, IF_REAL | IF_VECTOR, "Initial D-S, G-S and B-S voltages"),
        computed<&operating<Level, &gmbs<Level>>>("gmbs", ids::Gmbs, "Bulk-source transconductance").in("S"),
        computed<&operating<Level, &gm<Level>>>("gm", ids::Gm, "Transconductance").in("S"),
        computed<&operating<Level, &gds<Level>>>("gds", ids::Gds, "Drain-source conductance").in("S"),
        computed<&operating<Level, [](const L& l) { return l.ch.vdsat; }>>(
            "vdsat", ids::Vdsat, "Saturation voltage")
            .in("V"),
        computed<&operating<Level, [](const L& l) { return l.von; }>>("vth", ids::Vth, "Threshold voltage")
            .in("V"),
        computed<&operating<Level, &drain<Level>>>("id", ids::Id, "Channel current from drain to source")
            .in("A"),
        computed<&operating<Level, [](const L& l) { return l.vbs; }>>("vbs", ids::Vbs, "Bulk-source voltage")
            .in("V"),
        computed<&operating<Level, [](const L& l) { return l.vgs; }>>("vgs", ids::Vgs, "Gate-source voltage")
            .in("V"),
        computed<&operating<Level, [](const L& l) { return l.vds; }>>("vds", ids::Vds, "Drain-source voltage")
            .in("V"),
        computed<&operating<Level, [](const L& l) { return l.model->polarity * l.bd.i; }>>(
            "ibd", ids::Ibd, "Bulk-drain junction current")
            .in("A"),
        computed<&operating<Level, [](const L& l) { return l.model->polarity * l.bs.i; }>>(
            "ibs", ids::Ibs, "Bulk-source junction current")
            .in("A"),
        computed<&operating<Level, [](const L& l) { return l.bd.g; }>>(
            "gbd", ids::Gbd, "Bulk-drain conductance")
            .in("S"),
        computed<&operating<Level, [](const L& l) { return l.bs.g; }>>(
            "gbs", ids::Gbs, "Bulk-source conductance")
            .in("S"),
        computed<&statecharge<Level, StateQb>>("qb", ids::Qb, "Bulk charge").in("C"),
        computed<&statecharge<Level, StateQb + 1>>("cqb", ids::Cqb, "Bulk charge current").in("A"),
        computed<&statecharge<Level, StateQg>>("qg", ids::Qg, "Gate charge").in("C"),
        computed<&statecharge<Level, StateQg + 1>>("cqg", ids::Cqg, "Gate charge current").in("A"),
        computed<&statecharge<Level, StateQd>>("qd", ids::Qd, "Drain charge").in("C"),
        computed<&statecharge<Level, StateQd + 1>>("cqd", ids::Cqd, "Drain charge current").in("A"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qg, 0>>>(
            "cgg", ids::Cgg, "Gate charge by the gate")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qg, 1>>>(
            "cgd", ids::Cgd, "Gate charge by the drain")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qg, 2>>>(
            "cgs", ids::Cgs, "Gate charge by the source")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qd, 0>>>(
            "cdg", ids::Cdg, "Drain charge by the gate")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qd, 1>>>(
            "cdd", ids::Cdd, "Drain charge by the drain")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qd, 2>>>(
            "cds", ids::Cds, "Drain charge by the source")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qb, 0>>>(
            "cbg", ids::Cbg, "Bulk charge by the gate")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qb, 1>>>(
            "cbd", ids::Cbd, "Bulk charge by the drain")
            .in("F"),
        computed<&operating<Level, &capacitanceof<Level, &Channel::qb, 2>>>(
            "cbs", ids::Cbs, "Bulk charge by the source")
            .in("F"),
        computed<&operating<Level, [](const L& l) { return l.capbd; }>>(
            "capbd", ids::Capbd, "Drain junction capacitance")
            .in("F"),
        computed<&operating<Level, [](const L& l) { return l.capbs; }>>(
            "capbs", ids::Capbs, "Source junction capacitance")
            .in("F"),
        computed<&operating<Level, &resistancenoise<Level>>>(
            "thermalnoise", ids::ThermalNoise, "Series resistance noise density")
            .in("A2/Hz"),
    };
}

// The device type of a BSIM level.
template <class Level> struct Device {
    static constexpr bool Linear = false;
    using Model = typename Level::Model;
    using Instance = bsim::Instance<Level>;
    using Hot = Load<Level>;

    static constexpr auto parameters = Level::instancetable();
    static constexpr auto modelparameters = Level::modelparameters;

    static const Model& modelof(const Instance& f) { return static_cast<const Model&>(*f.model); }

    static int check(IFcircuit& ckt, const Instance& f, Hot& l)
    {
        const Model& m = modelof(f);
        if (const char* wrong = unsoundgeometry(f))
            return fail(E_BADDEVICE, "MOSFET %s has an unusable %s", f.name, wrong);
        if (int code = Level::prepare(ckt, m, f, l.c))
            return code;
        l.model = &m;
        l.m = f.m;
        l.off = f.off;
        return mos::takeinitialvoltages(f, l);
    }

    static int bind(IFcircuit& ckt, Instance& f, Hot& l)
    {
        if (int code = mos::bindterminals(ckt, f, l))
            return code;
        const Model& m = modelof(f);
        l.dp = m.rsh * f.nrd > 0 ? internalnode(ckt, f, f.dnode, "drain") : l.d;
        l.sp = m.rsh * f.nrs > 0 ? internalnode(ckt, f, f.snode, "source") : l.s;
        if ((l.state = ckt.models.allocstates(StateCount)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", f.name);
        placecells(ckt.matrix, l);
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const Loading loading(ckt);
        for (Hot& f : list)
            loadone(loading, f);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& f)
    {
        applyac(f, ckt.omega, ckt.matrix.stamps(), ckt.matrix.imaginary());
    }

    // The series resistances' and the channel's thermal noise and the channel's flicker noise, as
    // the level's noise model has them.
    static void noise(IFcircuit&, const Instance& i, const Hot& f, NoiseSources& sources)
    {
        const double kelvin = Level::kelvin(f.c);
        sources.add(i,
            {
                { "rd", f.d, f.dp, thermalnoise(kelvin, f.m * f.c.gdrain), 0 },
                { "rs", f.s, f.sp, thermalnoise(kelvin, f.m * f.c.gsource), 0 },
                { "id", f.dp, f.sp, Level::channelnoise(f), 0 },
                { "1overf", f.dp, f.sp, 0, Level::flickernoise(f) },
            });
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

    static void topology(Topology& topology, const Instance&, const Hot& l) { mos::conduction(topology, l); }
};

} // namespace nerith::bsim
