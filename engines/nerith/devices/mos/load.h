#pragma once

#include "engines/nerith/circuit.h"
#include "engines/nerith/devices/mos/charges.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct IFcircuit;

// One Newton iteration of a MOSFET: its voltages, limited; its bulk junctions; the charges and
// stamps around the drain current its level gives. Written once for every level.

namespace nerith::mos {

// The states of an instance: the voltages and the halves of Meyer's capacitances of the point,
// then the charge pairs.
enum : int32_t {
    StateVbs,
    StateVgs,
    StateVds,
    HalfGs,
    HalfGd,
    HalfGb,
    Qgs,
    Qgd = Qgs + 2,
    Qgb = Qgd + 2,
    Qbd = Qgb + 2,
    Qbs = Qbd + 2,
    StateCount = Qbs + 2
};

// Matrix cells, by row and column: drain d, gate g, source s, bulk b and the internal drain dp and
// source sp. An instance without series resistances whose bulk is its source has fewer places:
// those of drain, gate and source (the Tied cells), the others unused.
enum : std::size_t { TiedGG, TiedDD, TiedSS, TiedGD, TiedGS, TiedDG, TiedDS, TiedSG, TiedSD };
enum : std::size_t {
    Dd,
    Gg,
    Ss,
    Bb,
    DpDp,
    SpSp,
    DDp,
    GB,
    GDp,
    GSp,
    SSp,
    BDp,
    BSp,
    DpSp,
    DpD,
    BG,
    DpG,
    SpG,
    SpS,
    DpB,
    SpB,
    SpDp,
    CellCount
};

// What the load loop reads and writes of an instance: the family's record of it while it is bound.
struct Load {
    const Model* model = nullptr;
    Constants c;
    bool off = false;
    double ic[3] {}; // initial vds, vgs and vbs
    bool icgiven[3] {};
    // The last iterate, in the channel's frame.
    double vbs = 0, vgs = 0, vds = 0;
    int32_t mode = 1; // -1: drain and source exchanged
    double von = 0, vdsat = 0;
    double cd = 0; // into the drain: the channel's current less the bulk-drain junction's
    double cbs = 0, cbd = 0, gbs = 0, gbd = 0, gm = 0, gds = 0, gmbs = 0;
    double capbs = 0, capbd = 0;
    double capgs = 0, capgd = 0, capgb = 0; // the gate capacitances the charges were integrated with
    // The companion of the iterate: the gate charges' conductances and the currents into the gate,
    // bulk, drain and source.
    double gcgs = 0, gcgd = 0, gcgb = 0;
    double sources[4] {};
    bool bypassed = false; // the last iteration kept the companion of the one before
    int32_t d = 0, g = 0, s = 0, b = 0, dp = 0, sp = 0;
    int32_t state = 0;
    std::array<int32_t, CellCount> cells {}; // matrix places when bound, then entries
    bool tied = false; // the Tied cells: no series resistance, the bulk on the source
};

// The terminal voltages of an iteration, in the channel's frame.
struct Bias {
    double vbs = 0;
    double vgs = 0;
    double vds = 0;
};

// What every instance's load reads of the circuit in one iteration.
struct Loading {
    Loading(IFcircuit& ckt, bool cubic);
    IFcircuit& ckt;
    const double* x; // the last iterate
    double* a; // the matrix entries
    double gmin;
    uint32_t mode;
    bool transient;
    bool first; // the first iteration of a transient's first point
    bool oldlimit;
    bool bypass; // an iteration where a device whose voltages stand still keeps its companion
    double reltol, vntol, abstol;
    bool cubic; // the bulk junctions' reverse current as level 3 has it
    double slope;
};

// The voltages the iteration starts from: the guesses of the first operating-point iteration, the
// initial conditions at the first point of a transient from them, or the last solution limited
// against the last iterate (at a new time point, against the last accepted point). True when the
// bulk junction's limiting changed one.
bool voltages(const Loading& in, const Load& f, Bias& v);

// The rest of the iteration once the drain current `ch` (of the channel in the direction `v.vds`
// gives) is known: the bulk junctions, the charges, the record of the iterate and the stamps.
void stamp(const Loading& in, Load& f, const Bias& v, const DrainCurrent& ch, bool limited);

// The places of the instance's cells in the matrix, once its nodes are known.
void placecells(SparseMatrix& x, Load& f);

// Stamps the companion of the last iterate.
void apply(const Loading& in, const Load& f);

// Stamps the small-signal admittance at angular frequency `omega` of the operating point the last
// iterate linearised: its conductances into the real parts, its capacitances into the imaginary.
void applyac(const Load& f, double omega, double* real, double* imaginary);

// Whether the solution moved every voltage of the instance, and the currents its linearisation
// predicts, by less than the tolerances since the last iterate: the companion stands.
bool unchanged(const Loading& in, const Load& f);

// At a converged time point whose last iteration kept the companion: the charges and their currents
// moved along the capacitances to the solution, as the solved equations have them, and the
// voltages the next point starts its charges from.
void settlecharges(IFcircuit& ckt, Load& f);

// The drain and bulk currents the linearisation of the last iterate predicts at the solution `x`,
// in the channel's frame.
struct Prediction {
    double cd = 0;
    double cb = 0;
};
Prediction predict(const Load& f, const double* x);

// Whether the currents the last iterate's linearisation predicts at the new iterate (which Newton
// holds in the right-hand side when it asks) match the last iterate's within the tolerances.
bool settled(const IFcircuit& ckt, const Load& f);

// The first value of an instance's geometry the equations cannot take, named; null when none.
const char* unsoundgeometry(const Geometry& g);

// One iteration of an instance of `Level`.
template <class Level> void loadone(const Loading& in, Load& f)
{
    f.bypassed = in.bypass && !(f.off && (in.mode & MODE_INITFIX)) && unchanged(in, f);
    if (f.bypassed) {
        apply(in, f);
        return;
    }
    Bias v;
    const bool limited = voltages(in, f, v);
    const Model& m = *f.model;
    const DrainCurrent ch = v.vds >= 0 ? Level::current(m, f.c.at, v.vgs, v.vds, v.vbs)
                                       : Level::current(m, f.c.at, v.vgs - v.vds, -v.vds, v.vbs - v.vds);
    stamp(in, f, v, ch, limited);
}

} // namespace nerith::mos
