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
        const double* last = in.ckt.states[1].data() + f.state;
        const double* before = in.ckt.states[2].data() + f.state;
        const double* t = in.ckt.integration.times;
        const double ratio = (t[0] - t[1]) / (t[1] - t[2]);
        old = { last[StateVbs], last[StateVgs], last[StateVds] };
        v = { (1 + ratio) * old.vbs - ratio * before[StateVbs],
            (1 + ratio) * old.vgs - ratio * before[StateVgs],
            (1 + ratio) * old.vds - ratio * before[StateVds] };
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
        if (!in.oldlimit)
            v.vds = -limvds(-v.vds, -old.vds);
        v.vgs = limited + v.vds;
    }
    bool limited = false;
    if (v.vds >= 0) {
        v.vbs = pnjlim(v.vbs, old.vbs, f.c.at.vt, f.c.sourcevcrit, limited);
    } else {
        const double vbd = pnjlim(v.vbs - v.vds, old.vbs - old.vds, f.c.at.vt, f.c.drainvcrit, limited);
        v.vbs = vbd + v.vds;
    }
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
    double* rhs = in.ckt.rhs.data();
    rhs[f.g] -= type * (gate.ceqgs + gate.ceqgb + gate.ceqgd);
    rhs[f.b] -= ceqbs + ceqbd - type * gate.ceqgb;
    rhs[f.dp] += ceqbd - cdreq + type * gate.ceqgd;
    rhs[f.sp] += cdreq + ceqbs + type * gate.ceqgs;

    // The channel's transconductances enter at the source of its direction.
    const double gm = ch.gm;
    const double gmbs = ch.gmbs;
    const double forward = normal ? gm + gmbs : 0;
    const double reverse = normal ? 0 : gm + gmbs;
    const double sign = normal ? 1 : -1;
    double* a = in.a;
    const auto& e = f.cells;
    a[e[Dd]] += c.gdpr;
    a[e[Gg]] += gate.gcgd + gate.gcgs + gate.gcgb;
    a[e[Ss]] += c.gspr;
    a[e[Bb]] += f.gbd + f.gbs + gate.gcgb;
    a[e[DpDp]] += c.gdpr + ch.gds + f.gbd + reverse + gate.gcgd;
    a[e[SpSp]] += c.gspr + ch.gds + f.gbs + forward + gate.gcgs;
    a[e[DDp]] -= c.gdpr;
    a[e[GB]] -= gate.gcgb;
    a[e[GDp]] -= gate.gcgd;
    a[e[GSp]] -= gate.gcgs;
    a[e[SSp]] -= c.gspr;
    a[e[BG]] -= gate.gcgb;
    a[e[BDp]] -= f.gbd;
    a[e[BSp]] -= f.gbs;
    a[e[DpD]] -= c.gdpr;
    a[e[DpG]] += sign * gm - gate.gcgd;
    a[e[DpB]] += -f.gbd + sign * gmbs;
    a[e[DpSp]] += -ch.gds - forward;
    a[e[SpG]] += -sign * gm - gate.gcgs;
    a[e[SpS]] -= c.gspr;
    a[e[SpB]] += -f.gbs - sign * gmbs;
    a[e[SpDp]] += -ch.gds - reverse;
}

Prediction predict(const Load& f, const double* x)
{
    const Bias v = atsolution(x, f);
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
