#include "engines/nerith/devices/bsim3eval.h"

#include <cmath>

namespace nerith::bsim3 {

namespace {

// The smoothing widths of the flat band, saturation and overlap corners.
constexpr double Delta3 = 0.02, Delta4 = 0.02, Delta1 = 0.02;

// 1 + x, bent away from zero below -0.5 as (1 + 3x) / (3 + 8x) so that it stays positive and smooth.
Dual onepluskept(const Dual& x)
{
    if (x.v >= -0.5)
        return 1 + x;
    return (1 + 3 * x) / (3 + 8 * x);
}

// 1 + x kept positive below -0.9 as (0.8 + x) / (17 + 20x).
Dual oneplusbounded(const Dual& x)
{
    if (x.v >= -0.9)
        return 1 + x;
    return (0.8 + x) / (17 + 20 * x);
}

// The short-channel factor e (1 + 2e) of e = exp(x), x cut at the threshold (a constant there).
Dual rolloff(const Dual& x)
{
    if (x.v > -ExpThreshold) {
        const Dual e = exp(x);
        return e * (1 + 2 * e);
    }
    return MinExp * (1 + 2 * MinExp);
}

// What the current's evaluation leaves for the charges.
struct Intermediate {
    Dual vbseff, phis, sqrtphis, vgseff, vgst, vth, n, abulk0;
};

// The charge partition of the inversion charge to the source, for XPART above, below and at 0.5.
enum class Partition { Zero, Forty, Fifty };

Partition partition(double xpart)
{
    return xpart > 0.5 ? Partition::Zero : xpart < 0.5 ? Partition::Forty : Partition::Fifty;
}

// The long-channel charges of CAPMOD 0.
void capmod0(const Model& m, const Constants& c, const Intermediate& in, const Dual& vbs, const Dual& vds,
    Channel& out)
{
    const double* p = c.p;
    const Dual vbseff = in.vbseff.v < 0 ? vbs : c.phi - in.phis;
    const double vfb = p[Vfbcv];
    const Dual vth = vfb + c.phi + c.k1ox * in.sqrtphis;
    const Dual vgst = in.vgseff - vth;
    const double coxwl = c.cox * c.weffcv * c.leffcv;
    const Dual arg = in.vgseff - vbseff - vfb;
    if (arg.v <= 0) {
        out.qg = coxwl * arg;
        out.qb = -out.qg;
        out.qd = 0;
        return;
    }
    if (vgst.v <= 0) {
        const double t1 = 0.5 * c.k1ox;
        out.qg = coxwl * c.k1ox * (sqrt(t1 * t1 + arg) - t1);
        out.qb = -out.qg;
        out.qd = 0;
        return;
    }
    const Dual abulkcv = in.abulk0 * c.abulkcvfactor;
    const Dual vdsat = vgst / abulkcv;
    const Partition share = partition(m.xpart);
    if (vdsat.v <= vds.v) {
        out.qg = coxwl * (in.vgseff - vfb - c.phi - vdsat / 3);
        const Dual t2 = -2.0 / 3 * coxwl * vgst;
        out.qb = -(out.qg + t2);
        out.qd = share == Partition::Zero ? Dual() : share == Partition::Forty ? 0.4 * t2 : 0.5 * t2;
        out.qinv = -(out.qg.v + out.qb.v);
        return;
    }
    const Dual alphaz = vgst / vdsat;
    const Dual t1 = 2 * vdsat - vds;
    const Dual t2 = vds / (3 * t1);
    const Dual t3 = t2 * vds;
    const Dual t4 = 0.25 * coxwl * alphaz;
    out.qg = coxwl * (in.vgseff - vfb - c.phi - 0.5 * (vds - t3));
    switch (share) {
    case Partition::Zero:
        out.qd = t4 * (2 * vds - t1 - 3 * t3);
        out.qb = -(out.qg + out.qd + t4 * (t3 - t1 - 2 * vds));
        break;
    case Partition::Forty: {
        const Dual t6 = 8 * vdsat * vdsat - 6 * vdsat * vds + 1.2 * vds * vds;
        out.qd = t4 * (vds - t1 - t2 / t1 * t6);
        out.qb = -(out.qg - t4 * 2 * (t1 + t3));
        break;
    }
    case Partition::Fifty:
        out.qd = -t4 * (t1 + t3);
        out.qb = -(out.qg + out.qd + out.qd);
        break;
    }
    out.qinv = -(out.qg.v + out.qb.v);
}

// The source's share of the inversion charge of the charge-sheet models: `vg` the effective gate
// drive, `t0` Abulk Vdseff, `t2` 12 (vg - t0 / 2); `inversion` the gate and bulk inversion charges'
// sum for the 50/50 split.
Dual sourceshare(
    Partition share, const Dual& coxwl, const Dual& vg, const Dual& t0, const Dual& t2, const Dual& inversion)
{
    switch (share) {
    case Partition::Zero:
        return -coxwl * (0.5 * vg + 0.25 * t0 - 0.5 * t0 * t0 / t2);
    case Partition::Forty: {
        const Dual t = t2 / 12;
        const Dual scale = 0.5 * coxwl / (t * t);
        return -scale * (vg * (2 * t0 * t0 / 3 + vg * (vg - 4 * t0 / 3)) - 2 * t0 * t0 * t0 / 15);
    }
    case Partition::Fifty:
        break;
    }
    return -0.5 * inversion;
}

// The flat band voltage's smooth effective value below which the gate accumulates.
Dual flatband(double vfbzb, const Dual& vgseff, const Dual& vbseffcv)
{
    const Dual v3 = vfbzb - vgseff + vbseffcv - Delta3;
    const Dual t0 = vfbzb <= 0 ? sqrt(v3 * v3 - 4 * Delta3 * vfbzb) : sqrt(v3 * v3 + 4 * Delta3 * vfbzb);
    return vfbzb - 0.5 * (v3 + t0);
}

// The depletion charge under the gate over the oxide capacitance's `coxwl`.
Dual depletioncharge(const Constants& c, const Dual& coxwl, const Dual& t3)
{
    const double t0 = 0.5 * c.k1ox;
    if (c.k1ox == 0)
        return 0;
    const Dual t1 = t3.v < 0 ? t0 + t3 / c.k1ox : sqrt(t0 * t0 + t3);
    return coxwl * c.k1ox * (t1 - t0);
}

// The charge-sheet charges of CAPMOD 1, 2 and 3.
void chargesheet(const Model& m, const Constants& c, const Intermediate& in, const Dual& vds, Channel& out)
{
    const double* p = c.p;
    const Dual vbseffcv = in.vbseff.v < 0 ? in.vbseff : c.phi - in.phis;
    const double coxwl = c.cox * c.weffcv * c.leffcv;
    const Dual noff = in.n * p[Noff];
    const Dual t0 = c.vtm * noff;
    const Dual vgstnvt = (in.vgst - p[Voffcv]) / t0;
    Dual vgsteff;
    if (vgstnvt.v > ExpThreshold)
        vgsteff = in.vgst - p[Voffcv];
    else if (vgstnvt.v < -ExpThreshold)
        vgsteff = t0 * std::log(1 + MinExp);
    else
        vgsteff = t0 * log(1 + exp(vgstnvt));
    const Dual abulkcv = in.abulk0 * c.abulkcvfactor;
    const Partition share = partition(m.xpart);

    if (m.capmod == 1) {
        const Dual arg = in.vgseff - vbseffcv - c.vfbzb - vgsteff;
        if (arg.v <= 0) {
            out.qg = coxwl * arg;
        } else {
            const double t = 0.5 * c.k1ox;
            out.qg = coxwl * c.k1ox * (sqrt(t * t + arg) - t);
        }
        out.qb = -out.qg;
        const Dual vdsatcv = vgsteff / abulkcv;
        Dual qs;
        if (vdsatcv.v < vds.v) {
            out.qg += coxwl * (vgsteff - vdsatcv / 3);
            out.qb += coxwl / 3 * (vdsatcv - vgsteff);
            const double f = share == Partition::Zero ? -2.0 / 3
                : share == Partition::Forty           ? -0.4
                                                      : -1.0 / 3;
            qs = f * coxwl * vgsteff;
        } else {
            const Dual a = abulkcv * vds;
            const Dual t1 = 12 * (vgsteff - 0.5 * a + 1e-20);
            const Dual t3 = a * vds / t1;
            const Dual qgi = coxwl * (vgsteff - 0.5 * vds + t3);
            const Dual qbi = coxwl * (1 - abulkcv) * (0.5 * vds - t3);
            out.qg += qgi;
            out.qb += qbi;
            qs = sourceshare(share, coxwl, vgsteff, a, t1, qgi + qbi);
        }
        out.qd = -(out.qg + out.qb + qs);
        out.qinv = -(out.qg.v + out.qb.v);
        return;
    }

    if (m.capmod == 2) {
        const Dual vfbeff = flatband(c.vfbzb, in.vgseff, vbseffcv);
        const Dual qac0 = coxwl * (vfbeff - c.vfbzb);
        const Dual qsub0 = depletioncharge(c, coxwl, in.vgseff - vfbeff - vbseffcv - vgsteff);
        const Dual vdsatcv = vgsteff / abulkcv;
        const Dual v4 = vdsatcv - vds - Delta4;
        Dual vdseffcv = vdsatcv - 0.5 * (v4 + sqrt(v4 * v4 + 4 * Delta4 * vdsatcv));
        if (vds.v == 0)
            vdseffcv = 0;
        const Dual a = abulkcv * vdseffcv;
        const Dual t1 = 12 * (vgsteff - 0.5 * a + 1e-20);
        const Dual t3 = a * vdseffcv / t1;
        out.qinv = coxwl * (vgsteff.v - 0.5 * a.v + abulkcv.v * t3.v);
        out.qg = coxwl * (vgsteff - 0.5 * vdseffcv + t3);
        out.qb = coxwl * (1 - abulkcv) * (0.5 * vdseffcv - t3);
        const Dual qs = sourceshare(share, coxwl, vgsteff, a, t1, out.qg + out.qb);
        out.qg += qac0 + qsub0;
        out.qb -= qac0 + qsub0;
        out.qd = -(out.qg + out.qb + qs);
        return;
    }

    // CAPMOD 3: the charge centroid's distance from the interface lowers the oxide capacitance.
    const Dual vfbeff = flatband(c.vfbzb, in.vgseff, vbseffcv);
    const double cox = c.cox;
    const double tox = 1e8 * c.tox;
    const Dual ta = (in.vgseff - vbseffcv - c.vfbzb) / tox * p[Acde];
    Dual tcen;
    if (ta.v > -ExpThreshold && ta.v < ExpThreshold)
        tcen = c.ldeb * exp(ta);
    else
        tcen = c.ldeb * (ta.v <= -ExpThreshold ? MinExp : MaxExp);
    const double link = 1e-3 * c.tox;
    const Dual v3 = c.ldeb - tcen - link;
    tcen = c.ldeb - 0.5 * (v3 + sqrt(v3 * v3 + 4 * link * c.ldeb));
    Dual ccen = SiliconPermittivity / tcen;
    Dual coxeff = cox / (cox + ccen) * ccen;
    Dual coxwlcen = coxwl * coxeff / cox;
    const Dual qac0 = coxwlcen * (vfbeff - c.vfbzb);
    const Dual qsub0 = depletioncharge(c, coxwlcen, in.vgseff - vfbeff - vbseffcv - vgsteff);

    double denominator, t0phi;
    if (c.k1ox <= 0) {
        denominator = 0.25 * p[Moin] * c.vtm;
        t0phi = 0.5 * c.sqrtphi;
    } else {
        denominator = p[Moin] * c.vtm * c.k1ox * c.k1ox;
        t0phi = c.k1ox * c.sqrtphi;
    }
    const Dual deltaphi = c.vtm * log(1 + (2 * t0phi + vgsteff) * vgsteff / denominator);
    const Dual tdp = vgsteff - deltaphi - 0.001;
    const Dual vgdp = 0.5 * (tdp + sqrt(tdp * tdp + vgsteff * 0.004));
    const Dual t3 = 4 * (in.vth - c.vfbzb - c.phi);
    const Dual tt = t3.v >= 0 ? (vgsteff + t3) / (2 * tox) : (vgsteff + 1e-20) / (2 * tox);
    tcen = 1.9e-9 / (1 + exp(0.7 * log(tt)));
    ccen = SiliconPermittivity / tcen;
    coxeff = cox / (cox + ccen) * ccen;
    coxwlcen = coxwl * coxeff / cox;

    const Dual vdsatcv = vgdp / abulkcv;
    const Dual v4 = vdsatcv - vds - Delta4;
    const Dual root = sqrt(v4 * v4 + 4 * Delta4 * vdsatcv);
    Dual vdseffcv = v4.v >= 0 ? vdsatcv - 0.5 * (v4 + root) : vdsatcv * (1 - 2 * Delta4 / (root - v4));
    if (vds.v == 0)
        vdseffcv = 0;
    const Dual a = abulkcv * vdseffcv;
    const Dual t2 = 12 * (vgdp - 0.5 * a + 1e-20);
    const Dual ratio = a / t2;
    out.qg = coxwlcen * (vgdp - a * (0.5 - ratio));
    out.qinv = -out.qg.v;
    out.qb = coxwlcen * (1 - abulkcv) * (0.5 * vdseffcv - a * vdseffcv / t2);
    const Dual qs = sourceshare(share, coxwlcen, vgdp, a, t2, out.qg);
    out.qg += qac0 + qsub0 - out.qb;
    out.qb -= qac0 + qsub0;
    out.qd = -(out.qg + out.qb + qs);
}

} // namespace

Channel channel(const Model& m, const Constants& c, const Bias& bias, bool charges)
{
    const double* p = c.p;
    Channel out;
    const bsim::Frame f = bsim::frame(bias);
    out.mode = f.mode;
    const Dual &vgs = f.vgs, &vds = f.vds, &vbs = f.vbs;

    // The effective bulk voltage, kept above vbsc, and the surface potential.
    const Dual tv = vbs - c.vbsc - 0.001;
    Dual vbseff = c.vbsc + 0.5 * (tv + sqrt(tv * tv - 0.004 * c.vbsc));
    if (vbseff.v < vbs.v)
        vbseff = vbs;
    Dual phis, sqrtphis;
    if (vbseff.v > 0) {
        phis = c.phi * (c.phi / (c.phi + vbseff));
        sqrtphis = c.phis3 / (c.phi + 0.5 * vbseff);
    } else {
        phis = c.phi - vbseff;
        sqrtphis = sqrt(phis);
    }
    const Dual xdep = c.xdep0 * sqrtphis / c.sqrtphi;
    const double leff = c.leff;
    const double vtm = c.vtm;

    // The threshold: body effect, short and narrow channel roll-off, lateral doping, temperature,
    // narrow width and drain-induced barrier lowering.
    const Dual rootxdep = sqrt(xdep);
    const double v0 = c.vbi - c.phi;
    const Dual lt1 = c.factor1 * rootxdep * onepluskept(p[Dvt2] * vbseff);
    const Dual ltw = c.factor1 * rootxdep * onepluskept(p[Dvt2w] * vbseff);
    const Dual theta0 = rolloff(-0.5 * p[Dvt1] * leff / lt1);
    const Dual deltavth = p[Dvt0] * theta0 * v0;
    const Dual narrow = p[Dvt0w] * rolloff(-0.5 * p[Dvt1w] * c.weff * leff / ltw) * v0;
    const double tempratio = c.tratio - 1;
    const Dual lateral = c.k1ox * (std::sqrt(1 + p[Nlx] / leff) - 1) * c.sqrtphi
        + (p[Kt1] + p[Kt1l] / leff + p[Kt2] * vbseff) * tempratio;
    const double width = c.tox * c.phi / (c.weff + p[W0]);
    Dual eta = p[Eta0] + p[Etab] * vbseff;
    if (eta.v < 1e-4)
        eta = (2e-4 - eta) / (3 - 2e4 * eta);
    const Dual dibl = eta * c.theta0vb0 * vds;
    const Dual vth = m.polarity * c.vth0 - p[K1] * c.sqrtphi + c.k1ox * sqrtphis - c.k2ox * vbseff - deltavth
        - narrow + (p[K3] + p[K3b] * vbseff) * width + lateral - dibl;
    out.vth = vth.v;

    // The subthreshold swing factor.
    const Dual swing = (p[Nfactor] * SiliconPermittivity / xdep
                           + (p[Cdsc] + p[Cdscb] * vbseff + p[Cdscd] * vds) * theta0 + p[Cit])
        / c.cox;
    const Dual n = onepluskept(swing);

    // Poly-silicon gate depletion.
    Dual vgseff = vgs;
    const double vfbphi = c.vfb + c.phi;
    if (p[Ngate] > 1e18 && p[Ngate] < 1e25 && vgs.v > vfbphi) {
        const double t1 = 1e6 * Charge * SiliconPermittivity * p[Ngate] / (c.cox * c.cox);
        const Dual t2 = t1 * (sqrt(1 + 2 * (vgs - vfbphi) / t1) - 1);
        const Dual t7 = 1.12 - 0.5 * t2 * t2 / t1 - 0.05;
        vgseff = vgs - (1.12 - 0.5 * (t7 + sqrt(t7 * t7 + 0.224)));
    }
    const Dual vgst = vgseff - vth;

    // The effective gate drive, smooth from weak to strong inversion.
    const Dual t10 = 2 * n * vtm;
    const Dual vgstnvt = vgst / t10;
    const Dual exparg = (2 * p[Voff] - vgst) / t10;
    Dual vgsteff;
    if (vgstnvt.v > ExpThreshold)
        vgsteff = vgst;
    else if (exparg.v > ExpThreshold)
        vgsteff = vtm * c.cdep0 / c.cox * exp((vgst - p[Voff]) / (n * vtm));
    else
        vgsteff = t10 * log(1 + exp(vgstnvt)) / (1 + t10 * c.cox / (vtm * c.cdep0) * exp(exparg));
    out.vgsteff = vgsteff.v;

    // The effective width and the source-drain resistance.
    const Dual rootdiff = sqrtphis - c.sqrtphi;
    Dual weff = c.weff - 2 * (p[Dwg] * vgsteff + p[Dwb] * rootdiff);
    if (weff.v < 2e-8)
        weff = 2e-8 * (4e-8 - weff) / (6e-8 - 2 * weff);
    const Dual rds = c.rds0 * oneplusbounded(p[Prwg] * vgsteff + p[Prwb] * rootdiff);
    out.rds = rds.v;

    // The bulk charge factor.
    const Dual t1 = 0.5 * c.k1ox / sqrtphis;
    const Dual t5 = leff / (leff + 2 * sqrt(p[Xj] * xdep));
    const Dual t2 = p[A0] * t5 + p[B0] / (c.weff + p[B1]);
    Dual abulk0 = 1 + t1 * t2;
    Dual abulk = abulk0 - t1 * p[Ags] * p[A0] * t5 * t5 * t5 * vgsteff;
    if (abulk0.v < 0.1)
        abulk0 = (0.2 - abulk0) / (3 - 20 * abulk0);
    if (abulk.v < 0.1)
        abulk = (0.2 - abulk) / (3 - 20 * abulk);
    const Dual ketaterm = p[Keta] * vbseff;
    const Dual keta = ketaterm.v >= -0.9 ? 1 / (1 + ketaterm) : (17 + 20 * ketaterm) / (0.8 + ketaterm);
    abulk *= keta;
    abulk0 *= keta;
    out.abulk = abulk.v;

    // The mobility.
    Dual degradation;
    if (m.mobmod == 1) {
        const Dual t3 = (vgsteff + vth + vth) / c.tox;
        degradation = t3 * (p[Ua] + p[Uc] * vbseff + p[Ub] * t3);
    } else if (m.mobmod == 2) {
        degradation = vgsteff / c.tox * (p[Ua] + p[Uc] * vbseff + p[Ub] * vgsteff / c.tox);
    } else {
        const Dual t3 = (vgsteff + vth + vth) / c.tox;
        degradation = t3 * (p[Ua] + p[Ub] * t3) * (1 + p[Uc] * vbseff);
    }
    const Dual denominator
        = degradation.v >= -0.8 ? 1 + degradation : (0.6 + degradation) / (7 + 10 * degradation);
    const Dual ueff = c.u0temp / denominator;
    out.ueff = ueff.v;

    // The saturation voltage.
    const Dual wvcoxrds = weff * c.vsattemp * c.cox * rds;
    const Dual esatl = 2 * c.vsattemp / ueff * leff;
    Dual lambda;
    if (p[A1] == 0) {
        lambda = p[A2];
    } else if (p[A1] > 0) {
        const double t0 = 1 - p[A2];
        const Dual t = t0 - p[A1] * vgsteff - 0.0001;
        lambda = p[A2] + t0 - 0.5 * (t + sqrt(t * t + 0.0004 * t0));
    } else {
        const Dual t = p[A2] + p[A1] * vgsteff - 0.0001;
        lambda = 0.5 * (t + sqrt(t * t + 0.0004 * p[A2]));
    }
    const Dual vgst2vtm = vgsteff + 2 * vtm;
    Dual vdsat;
    if (rds.v == 0 && lambda.v == 1) {
        vdsat = esatl * vgst2vtm / (abulk * esatl + vgst2vtm);
    } else {
        const Dual t9 = abulk * wvcoxrds;
        const Dual a = 2 * abulk * (t9 - 1 + 1 / lambda);
        const Dual b = vgst2vtm * (2 / lambda - 1) + abulk * esatl + 3 * vgst2vtm * t9;
        const Dual cc = vgst2vtm * (esatl + 2 * vgst2vtm * wvcoxrds);
        vdsat = (b - sqrt(b * b - 2 * a * cc)) / a;
    }
    out.vdsat = vdsat.v;

    // The effective drain voltage, smooth through the saturation voltage.
    const Dual dv = vdsat - vds - p[Delta];
    Dual vdseff = vdsat - 0.5 * (dv + sqrt(dv * dv + 4 * p[Delta] * vdsat));
    if (vds.v == 0)
        vdseff = { 0, 0, vdseff.d, 0 };

    // The early voltage at saturation.
    const Dual share = 1 - 0.5 * abulk * vdsat / vgst2vtm;
    const Dual vasat = (esatl + vdsat + 2 * wvcoxrds * vgsteff * share) / (2 / lambda - 1 + wvcoxrds * abulk);
    if (vdseff.v > vds.v)
        vdseff.v = vds.v;
    const Dual diffvds = vds - vdseff;
    out.vdseff = vdseff.v;

    // Channel length modulation, drain-induced barrier lowering of the output resistance, and the
    // gate dependence of the early voltage.
    Dual vaclm = MaxExp;
    if (p[Pclm] > 0 && diffvds.v > 1e-10)
        vaclm = leff * (abulk + vgsteff / esatl) / (p[Pclm] * abulk * c.litl) * diffvds;
    Dual vadibl = MaxExp;
    if (c.thetarout > 0) {
        const Dual t8 = abulk * vdsat;
        vadibl = (vgst2vtm - vgst2vtm * t8 / (vgst2vtm + t8)) / c.thetarout;
        const Dual t7 = p[Pdiblb] * vbseff;
        vadibl = t7.v >= -0.9 ? vadibl / (1 + t7) : vadibl * (17 + 20 * t7) / (0.8 + t7);
    }
    const Dual gatefactor = oneplusbounded(p[Pvag] / esatl * vgsteff);
    const Dual va = vasat + gatefactor * vaclm * vadibl / (vaclm + vadibl);

    // Substrate current induced body effect on the output resistance.
    Dual vascbe = MaxExp;
    if (p[Pscbe2] > 0) {
        if (diffvds.v > p[Pscbe1] * c.litl / ExpThreshold)
            vascbe = leff * exp(p[Pscbe1] * c.litl / diffvds) / p[Pscbe2];
        else
            vascbe = MaxExp * leff / p[Pscbe2];
    }

    // The drain current.
    const Dual beta = ueff * c.cox * weff / leff;
    const Dual fgche1 = vgsteff * (1 - 0.5 * abulk * vdseff / vgst2vtm);
    const Dual fgche2 = 1 + vdseff / esatl;
    const Dual gche = beta * fgche1 / fgche2;
    const Dual idl = gche * vdseff / (1 + gche * rds);
    const Dual idsa = idl * (1 + diffvds / va);
    out.ids = idsa * (1 + diffvds / vascbe);

    // The substrate current.
    const double alpha = p[Alpha0] + p[Alpha1] * leff;
    if (alpha > 0 && p[Beta0] > 0) {
        const double t2s = alpha / leff;
        const Dual t1s = diffvds.v > p[Beta0] / ExpThreshold ? t2s * diffvds * exp(-p[Beta0] / diffvds)
                                                             : t2s * MinExp * diffvds;
        out.isub = t1s * idsa;
    }
    out.ids = out.ids * out.mode;

    if (!charges || m.xpart < 0)
        return out;
    const Intermediate in { vbseff, phis, sqrtphis, vgseff, vgst, vth, n, abulk0 };
    if (m.capmod == 0)
        capmod0(m, c, in, vbs, vds, out);
    else
        chargesheet(m, c, in, vds, out);
    if (out.mode < 0) {
        // The drain's charge is the channel's source's.
        out.qd = -(out.qg + out.qb + out.qd);
    }
    return out;
}

Dual overlapcharge(const Model& m, const Constants& c, double cgo, double cgl, const Dual& v)
{
    if (m.capmod == 0)
        return cgo * v;
    const double side = c.weffcv * cgl;
    const double kappa = c.p[Ckappa];
    if (m.capmod == 1) {
        if (v.v < 0)
            return cgo * v - side * 0.5 * kappa * (sqrt(1 - 4 * v / kappa) - 1);
        return (side + cgo) * v;
    }
    const Dual t0 = v + Delta1;
    const Dual t2 = 0.5 * (t0 - sqrt(t0 * t0 + 4 * Delta1));
    return (cgo + side) * v - side * (t2 + 0.5 * kappa * (sqrt(1 - 4 * t2 / kappa) - 1));
}

Dual junctioncharge(const Constants& c, const Junction& j, double v)
{
    const double zero[] = { j.bottom, j.sidewall, j.gateside };
    const double phi[] = { c.phib, c.phibsw, c.phibswg };
    const double grading[] = { c.mj, c.mjsw, c.mjswg };
    return bsim::depletioncharge(zero, phi, grading, v);
}

Diode junctioncurrent(const Junction& j, double nvtm, double v, double gmin)
{
    Diode d;
    if (j.saturation <= 0) {
        d.g = gmin;
        d.i = gmin * v;
        return d;
    }
    if (!j.linear || v < j.vjm) {
        const double e = std::exp(v / nvtm);
        d.g = j.saturation * e / nvtm + gmin;
        d.i = j.saturation * (e - 1) + gmin * v;
        return d;
    }
    const double slope = j.isevjm / nvtm;
    d.g = slope + gmin;
    d.i = j.isevjm - j.saturation + slope * (v - j.vjm) + gmin * v;
    return d;
}

} // namespace nerith::bsim3
