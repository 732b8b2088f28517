#include "engines/nerith/devices/mos/load.h"

#include "engines/nerith/ckt.h"

#include <algorithm>
#include <cmath>

namespace nerith::mos {

namespace {

Bias atsolution(const double* x, const Load& f)
{
    const double type = f.model->polarity;
    return { type * (x[f.b] - x[f.sp]), type * (x[f.g] - x[f.sp]), type * (x[f.dp] - x[f.sp]) };
}

// The currents the linearisation of the last iterate predicts at the voltages `v`.
Prediction predictat(const Load& f, const Bias& v)
{
    const double dvbs = v.vbs - f.vbs;
    const double dvgs = v.vgs - f.vgs;
    const double dvds = v.vds - f.vds;
    const double dvbd = dvbs - dvds;
    Prediction p;
    if (f.mode > 0)
        p.cd = f.cd - f.gbd * dvbd + f.gmbs * dvbs + f.gm * dvgs + f.gds * dvds;
    else
        p.cd = f.cd - (f.gbd - f.gmbs) * dvbd - f.gm * (dvgs - dvds) + f.gds * dvds;
    p.cb = f.cbs + f.cbd + f.gbd * dvbd + f.gbs * dvbs;
    return p;
}

// The halves of Meyer's capacitances at the iterate: the channel's source side is the drain's when
// the direction is reversed.
MeyerHalves halves(const Bias& v, const DrainCurrent& ch, const Scaled& at)
{
    const double vgd = v.vgs - v.vds;
    if (v.vds >= 0)
        return meyer(v.vgs, vgd, ch.von, ch.vdsat, at.phi, at.cox);
    const MeyerHalves r = meyer(vgd, v.vgs, ch.von, ch.vdsat, at.phi, at.cox);
    return { r.gd, r.gs, r.gb };
}

// The conductance and equivalent current of each gate charge.
struct GateCompanions {
    double gcgs = 0, gcgd = 0, gcgb = 0;
    double ceqgs = 0, ceqgd = 0, ceqgb = 0;
};

// Meyer's gate charges at a transient point: each grows from the last point's by the voltage step
// times the mean of the two points' capacitances plus the overlap. At the first point the charges
// start as those of the operating point, which becomes the last point.
GateCompanions gatecharges(const Loading& in, Load& f, const Bias& v, const DrainCurrent& ch)
{
    IFcircuit& ckt = in.ckt;
    double* now = ckt.states[0].data() + f.state;
    double* last = ckt.states[1].data() + f.state;
    const MeyerHalves h = halves(v, ch, f.c.at);
    now[StateVbs] = v.vbs;
    now[StateVgs] = v.vgs;
    now[StateVds] = v.vds;
    now[HalfGs] = h.gs;
    now[HalfGd] = h.gd;
    now[HalfGb] = h.gb;
    const double vgd = v.vgs - v.vds;
    const double vgb = v.vgs - v.vbs;
    double qgs;
    double qgd;
    double qgb;
    if (in.first) {
        std::copy(now, now + Qgs, last);
        f.capgs = 2 * h.gs + f.c.cgso;
        f.capgd = 2 * h.gd + f.c.cgdo;
        f.capgb = 2 * h.gb + f.c.cgbo;
        qgs = v.vgs * f.capgs;
        qgd = vgd * f.capgd;
        qgb = vgb * f.capgb;
    } else {
        f.capgs = h.gs + last[HalfGs] + f.c.cgso;
        f.capgd = h.gd + last[HalfGd] + f.c.cgdo;
        f.capgb = h.gb + last[HalfGb] + f.c.cgbo;
        const double vgs1 = last[StateVgs];
        qgs = (v.vgs - vgs1) * f.capgs + last[Qgs];
        qgd = (vgd - (vgs1 - last[StateVds])) * f.capgd + last[Qgd];
        qgb = (vgb - (vgs1 - last[StateVbs])) * f.capgb + last[Qgb];
    }
    GateCompanions g;
    g.gcgs = in.slope * f.capgs;
    g.gcgd = in.slope * f.capgd;
    g.gcgb = in.slope * f.capgb;
    g.ceqgs = integratestate(ckt, f.state + Qgs, qgs, in.first) - g.gcgs * v.vgs;
    g.ceqgd = integratestate(ckt, f.state + Qgd, qgd, in.first) - g.gcgd * vgd;
    g.ceqgb = integratestate(ckt, f.state + Qgb, qgb, in.first) - g.gcgb * vgb;
    return g;
}

} // namespace

Loading::Loading(IFcircuit& circuit, bool reversecubic)
    : ckt(circuit)
    , x(circuit.solution.data())
    , a(circuit.matrix.stamps())
    , gmin(circuit.options.gmin)
    , mode(circuit.mode)
    , transient(circuit.mode & MODE_TRAN)
    , first(circuit.mode & MODE_INITTRAN)
    , oldlimit(circuit.options.oldlimit)
    , bypass(circuit.options.bypass && (circuit.mode & (MODE_INITFLOAT | MODE_INITFIX))
          && !(circuit.mode & (MODE_INITPRED | MODE_INITTRAN | MODE_INITSMSIG)))
    , reltol(circuit.options.reltol)
    , vntol(circuit.options.vntol)
    , abstol(circuit.options.abstol)
    , cubic(reversecubic)
    , slope(transient ? circuit.integration.slope() : 0)
{
}

bool voltages(const Loading& in, const Load& f, Bias& v)
{
    const double type = f.model->polarity;
    if ((in.mode & MODE_INITTRAN) && (in.mode & MODE_UIC)) {
        // The instance's own initial voltages where given, else those of the nodes' conditions.
        v = atsolution(in.x, f);
        v.vds = f.icgiven[0] ? type * f.ic[0] : v.vds;
        v.vgs = f.icgiven[1] ? type * f.ic[1] : v.vgs;
        v.vbs = f.icgiven[2] ? type * f.ic[2] : v.vbs;
        return false;
    }
    if (in.mode & MODE_INITJCT) {
        v = {};
        if (f.off)
            return false;
        v = { type * f.ic[2], type * f.ic[1], type * f.ic[0] };
        if (v.vbs == 0 && v.vgs == 0 && v.vds == 0)
            v = { -1, f.c.at.vto, 0 };
        return false;
    }
    if ((in.mode & MODE_INITFIX) && f.off) {
        v = {};
        return false;
    }
    Bias old { f.vbs, f.vgs, f.vds };
    if (in.mode & MODE_INITPRED) {
        // A new time point starts from the voltages of the last two accepted points, extrapolated
        // linearly, and limits against the last (the last iterate may be of a step taken again).
        v.vbs = extrapolatestate(in.ckt, f.state + StateVbs, old.vbs);
        v.vgs = extrapolatestate(in.ckt, f.state + StateVgs, old.vgs);
        v.vds = extrapolatestate(in.ckt, f.state + StateVds, old.vds);
    } else {
        v = atsolution(in.x, f);
    }
    limitgatedrain(v.vgs, v.vds, old.vgs, old.vds, f.von, !in.oldlimit);
    bool limited = false;
    v.vbs = limitbulk(v.vbs, v.vds, old.vbs, old.vds, f.c.at.vt, f.c.sourcevcrit, f.c.drainvcrit, limited);
    return limited;
}

void stamp(const Loading& in, Load& f, const Bias& v, const DrainCurrent& ch, bool limited)
{
    const Constants& c = f.c;
    const double type = f.model->polarity;
    const double vbd = v.vbs - v.vds;
    const double vgd = v.vgs - v.vds;
    const JunctionCurrent bs = bulkcurrent(v.vbs, c.sourcesat, c.at.vt, in.gmin, in.cubic);
    const JunctionCurrent bd = bulkcurrent(vbd, c.drainsat, c.at.vt, in.gmin, in.cubic);
    const bool normal = v.vds >= 0;
    f.mode = normal ? 1 : -1;
    f.cbs = bs.i;
    f.gbs = bs.g;
    f.cbd = bd.i;
    f.gbd = bd.g;
    f.cd = f.mode * ch.cdrain - bd.i;
    GateCompanions gate;
    if (in.transient) {
        const Depletion qbd = bulkdepletion(vbd, c.drain, c.grading);
        const Depletion qbs = bulkdepletion(v.vbs, c.source, c.grading);
        f.capbd = qbd.capacitance;
        f.capbs = qbs.capacitance;
        const double cqbd = integratestate(in.ckt, f.state + Qbd, qbd.charge, in.first);
        const double cqbs = integratestate(in.ckt, f.state + Qbs, qbs.charge, in.first);
        f.gbd += in.slope * qbd.capacitance;
        f.cbd += cqbd;
        f.cd -= cqbd;
        f.gbs += in.slope * qbs.capacitance;
        f.cbs += cqbs;
        gate = gatecharges(in, f, v, ch);
    }
    if (limited)
        ++in.ckt.noncon;
    f.vbs = v.vbs;
    f.vgs = v.vgs;
    f.vds = v.vds;
    f.von = ch.von;
    f.vdsat = ch.vdsat;
    f.gm = ch.gm;
    f.gds = ch.gds;
    f.gmbs = ch.gmbs;

    const double ceqbs = type * (f.cbs - f.gbs * v.vbs);
    const double ceqbd = type * (f.cbd - f.gbd * vbd);
    const double cdreq = normal ? type * (ch.cdrain - ch.gds * v.vds - ch.gm * v.vgs - ch.gmbs * v.vbs)
                                : -type * (ch.cdrain + ch.gds * v.vds - ch.gm * vgd - ch.gmbs * vbd);
    f.gcgs = gate.gcgs;
    f.gcgd = gate.gcgd;
    f.gcgb = gate.gcgb;
    f.sources[0] = -type * (gate.ceqgs + gate.ceqgb + gate.ceqgd);
    f.sources[1] = -(ceqbs + ceqbd - type * gate.ceqgb);
    f.sources[2] = ceqbd - cdreq + type * gate.ceqgd;
    f.sources[3] = cdreq + ceqbs + type * gate.ceqgs;
    apply(in, f);
}

void placecells(SparseMatrix& x, Load& f)
{
    f.tied = f.dp == f.d && f.sp == f.s && f.s == f.b;
    if (f.tied) {
        f.cells.fill(SparseMatrix::Ground);
        f.cells[TiedGG] = x.place(f.g, f.g);
        f.cells[TiedDD] = x.place(f.d, f.d);
        f.cells[TiedSS] = x.place(f.s, f.s);
        f.cells[TiedGD] = x.place(f.g, f.d);
        f.cells[TiedGS] = x.place(f.g, f.s);
        f.cells[TiedDG] = x.place(f.d, f.g);
        f.cells[TiedDS] = x.place(f.d, f.s);
        f.cells[TiedSG] = x.place(f.s, f.g);
        f.cells[TiedSD] = x.place(f.s, f.d);
        return;
    }
    const std::pair<int32_t, int32_t> places[CellCount]
        = { { f.d, f.d }, { f.g, f.g }, { f.s, f.s }, { f.b, f.b }, { f.dp, f.dp }, { f.sp, f.sp },
              { f.d, f.dp }, { f.g, f.b }, { f.g, f.dp }, { f.g, f.sp }, { f.s, f.sp }, { f.b, f.dp },
              { f.b, f.sp }, { f.dp, f.sp }, { f.dp, f.d }, { f.b, f.g }, { f.dp, f.g }, { f.sp, f.g },
              { f.sp, f.s }, { f.dp, f.b }, { f.sp, f.b }, { f.sp, f.dp } };
    for (std::size_t k = 0; k < CellCount; ++k)
        f.cells[k] = x.place(places[k].first, places[k].second);
}

namespace {

// What the matrix holds of an instance: the channel's, junctions' and series conductances and the
// gate charges' terms, conductances of a Newton iteration or admittances of the small signal.
struct Stamp {
    double gm = 0, gds = 0, gmbs = 0, gbd = 0, gbs = 0;
    double gcgs = 0, gcgd = 0, gcgb = 0;
    double gdpr = 0, gspr = 0;
};

[[gnu::always_inline]] inline void stampmatrix(double* a, const Load& f, const Stamp& t)
{
    // The channel's transconductances enter at the source of its direction.
    const bool normal = f.mode > 0;
    const double gm = t.gm;
    const double gmbs = t.gmbs;
    const double gds = t.gds;
    const double forward = normal ? gm + gmbs : 0;
    const double reverse = normal ? 0 : gm + gmbs;
    const double sign = f.mode;
    const auto& e = f.cells;
    if (f.tied) {
        // The stamps below with sp and b one node and no series resistances, summed by place.
        a[e[TiedGG]] += t.gcgd + t.gcgs + t.gcgb;
        a[e[TiedDD]] += gds + t.gbd + reverse + t.gcgd;
        a[e[TiedSS]] += gds + t.gbd + forward - sign * gmbs + t.gcgs + t.gcgb;
        a[e[TiedGD]] -= t.gcgd;
        a[e[TiedGS]] -= t.gcgs + t.gcgb;
        a[e[TiedDG]] += sign * gm - t.gcgd;
        a[e[TiedDS]] += -gds - t.gbd - forward + sign * gmbs;
        a[e[TiedSG]] += -sign * gm - t.gcgs - t.gcgb;
        a[e[TiedSD]] += -gds - t.gbd - reverse;
        return;
    }
    if (t.gdpr != 0 || t.gspr != 0) {
        a[e[Dd]] += t.gdpr;
        a[e[Ss]] += t.gspr;
        a[e[DDp]] -= t.gdpr;
        a[e[SSp]] -= t.gspr;
        a[e[DpD]] -= t.gdpr;
        a[e[SpS]] -= t.gspr;
    }
    a[e[Gg]] += t.gcgd + t.gcgs + t.gcgb;
    a[e[Bb]] += t.gbd + t.gbs + t.gcgb;
    a[e[DpDp]] += t.gdpr + gds + t.gbd + reverse + t.gcgd;
    a[e[SpSp]] += t.gspr + gds + t.gbs + forward + t.gcgs;
    a[e[GB]] -= t.gcgb;
    a[e[GDp]] -= t.gcgd;
    a[e[GSp]] -= t.gcgs;
    a[e[BG]] -= t.gcgb;
    a[e[BDp]] -= t.gbd;
    a[e[BSp]] -= t.gbs;
    a[e[DpG]] += sign * gm - t.gcgd;
    a[e[DpB]] += -t.gbd + sign * gmbs;
    a[e[DpSp]] += -gds - forward;
    a[e[SpG]] += -sign * gm - t.gcgs;
    a[e[SpB]] += -t.gbs - sign * gmbs;
    a[e[SpDp]] += -gds - reverse;
}

} // namespace

void apply(const Loading& in, const Load& f)
{
    double* rhs = in.ckt.rhs.data();
    rhs[f.g] += f.sources[0];
    rhs[f.b] += f.sources[1];
    rhs[f.dp] += f.sources[2];
    rhs[f.sp] += f.sources[3];
    stampmatrix(in.a, f,
        { f.gm, f.gds, f.gmbs, f.gbd, f.gbs, f.gcgs, f.gcgd, f.gcgb, f.c.gdpr, f.c.gspr });
}

void applyac(const Load& f, double omega, double* real, double* imaginary)
{
    stampmatrix(real, f, { f.gm, f.gds, f.gmbs, f.gbd, f.gbs, 0, 0, 0, f.c.gdpr, f.c.gspr });
    const Constants& c = f.c;
    const Bias v { f.vbs, f.vgs, f.vds };
    DrainCurrent edge;
    edge.von = f.von;
    edge.vdsat = f.vdsat;
    const MeyerHalves h = halves(v, edge, c.at);
    const double capbd = bulkdepletion(f.vbs - f.vds, c.drain, c.grading).capacitance;
    const double capbs = bulkdepletion(f.vbs, c.source, c.grading).capacitance;
    Stamp t;
    t.gbd = omega * capbd;
    t.gbs = omega * capbs;
    t.gcgs = omega * (2 * h.gs + c.cgso);
    t.gcgd = omega * (2 * h.gd + c.cgdo);
    t.gcgb = omega * (2 * h.gb + c.cgbo);
    stampmatrix(imaginary, f, t);
}

bool unchanged(const Loading& in, const Load& f)
{
    const Bias v = atsolution(in.x, f);
    auto near = [&](double now, double before) {
        return std::fabs(now - before) < in.reltol * std::max(std::fabs(now), std::fabs(before)) + in.vntol;
    };
    if (!near(v.vbs, f.vbs) || !near(v.vgs, f.vgs) || !near(v.vds, f.vds)
        || !near(v.vbs - v.vds, f.vbs - f.vds))
        return false;
    const Prediction p = predictat(f, v);
    const double cb = f.cbs + f.cbd;
    return std::fabs(p.cd - f.cd) < in.reltol * std::max(std::fabs(p.cd), std::fabs(f.cd)) + in.abstol
        && std::fabs(p.cb - cb) < in.reltol * std::max(std::fabs(p.cb), std::fabs(cb)) + in.abstol;
}

void settlecharges(IFcircuit& ckt, Load& f)
{
    const Bias v = atsolution(ckt.solution.data(), f);
    double* now = ckt.states[0].data() + f.state;
    const double slope = ckt.integration.slope();
    auto move = [&](int32_t pair, double capacitance, double step) {
        now[pair] += capacitance * step;
        now[pair + 1] += slope * capacitance * step;
    };
    const double dvgs = v.vgs - now[StateVgs];
    const double dvgd = dvgs - (v.vds - now[StateVds]);
    const double dvgb = dvgs - (v.vbs - now[StateVbs]);
    const double dvbs = v.vbs - now[StateVbs];
    move(Qgs, f.capgs, dvgs);
    move(Qgd, f.capgd, dvgd);
    move(Qgb, f.capgb, dvgb);
    move(Qbs, f.capbs, dvbs);
    move(Qbd, f.capbd, dvbs - (v.vds - now[StateVds]));
    now[StateVbs] = v.vbs;
    now[StateVgs] = v.vgs;
    now[StateVds] = v.vds;
}

Prediction predict(const Load& f, const double* x)
{
    return predictat(f, atsolution(x, f));
}

bool settled(const IFcircuit& ckt, const Load& f)
{
    const Options& o = ckt.options;
    const Prediction p = predict(f, ckt.rhs.data());
    const double cb = f.cbs + f.cbd;
    return std::fabs(p.cd - f.cd) < o.reltol * std::max(std::fabs(p.cd), std::fabs(f.cd)) + o.abstol
        && std::fabs(p.cb - cb) <= o.reltol * std::max(std::fabs(p.cb), std::fabs(cb)) + o.abstol;
}

const char* unsoundgeometry(const Geometry& g)
{
    auto bad = [](double v) { return !std::isfinite(v) || v < 0; };
    if (!std::isfinite(g.l) || g.l <= 0)
        return "length L";
    if (!std::isfinite(g.w) || g.w <= 0)
        return "width W";
    if (!std::isfinite(g.m) || g.m <= 0)
        return "multiplier M";
    if (bad(g.ad) || bad(g.as) || bad(g.pd) || bad(g.ps))
        return "drain or source area or perimeter";
    if (bad(g.nrd) || bad(g.nrs))
        return "number of drain or source squares";
    return nullptr;
}

} // namespace nerith::mos
