#include "engines/nerith/devices/bsim1.h"

#include <algorithm>
#include <cmath>

namespace nerith::bsim1 {

namespace {

// The thermal voltage the model's subthreshold current takes: at the reference temperature.
const double Vt = thermalvoltage(ReferenceTemperature);

// The charges of gate, bulk and drain of the 0/100 (`zero`) or 40/60 partition.
void charges(const Model& m, const Constants& c, const Dual& vgs, const Dual& vds, const Dual& vbs,
    const Dual& sqrtvpb, const Dual& a, Channel& out)
{
    const double* p = c.p;
    const double wlcox = c.wlcox;
    const double vfb = p[Vfb];
    const double phi = std::max(0.1, p[Phi]);
    const Dual vth0 = vfb + phi + p[K1] * sqrtvpb;
    const Dual vgsvth = vgs - vth0;
    const Dual arg1 = a * vds;
    const Dual arg3 = vds - arg1;
    const Dual vgbvfb = vgs - vbs - vfb;
    if (vgbvfb.v < 0) {
        // Accumulation.
        out.qg = wlcox * vgbvfb;
        out.qb = -out.qg;
        out.qd = 0;
        return;
    }
    if (vgs.v < vth0.v) {
        // Depletion; without a body effect the gate's charge is the oxide's.
        const double k1 = p[K1];
        out.qg = k1 > 0 ? 0.5 * wlcox * k1 * k1 * (sqrt(1 + 4 * vgbvfb / (k1 * k1)) - 1) : wlcox * vgbvfb;
        out.qb = -out.qg;
        out.qd = 0;
        return;
    }
    const Dual pinchoff = vgsvth.v / a.v > 0 ? vgsvth / a : Dual();
    if (vds.v < pinchoff.v) {
        const Dual arg2 = vgsvth - 0.5 * arg1;
        const bool entered = arg2.v > 1e-8;
        const Dual ent = entered ? arg2 : Dual(1e-8);
        const Dual argl5 = entered ? arg1 / ent : Dual(2.0);
        const Dual argl7 = argl5 / 12;
        out.qg = wlcox * (vgs - vfb - phi - 0.5 * vds + vds * argl7);
        out.qb = wlcox * (-vth0 + vfb + phi + 0.5 * arg3 - arg3 * argl7);
        if (m.xpart) {
            out.qd = -wlcox * (0.5 * vgsvth - 0.75 * arg1 + 0.125 * arg1 * argl5);
        } else {
            const Dual vcom = vgsvth * vgsvth / 6 - 0.125 * arg1 * vgsvth + 0.025 * arg1 * arg1;
            const Dual argl6 = entered ? vcom / (ent * ent) : Dual(4.0 / 15);
            out.qd = -wlcox * (0.5 * (vgsvth - arg1) + arg1 * argl6);
        }
        return;
    }
    const Dual args1 = 1 / (3 * a);
    out.qg = wlcox * (vgs - vfb - phi - vgsvth * args1);
    out.qb = wlcox * (vfb + phi - vth0 + (1 - a) * vgsvth * args1);
    out.qd = m.xpart ? Dual() : -4.0 / 15 * wlcox * vgsvth;
}

} // namespace

const char* prepare(const Model& m, double l, double w, double ad, double as, double pd, double ps,
    double nrd, double nrs, Constants& c)
{
    double leff, weff; // um
    if (const char* wrong = effectivesize(m, l, w, leff, weff, c))
        return wrong;
    c.leff = leff;
    const double coxwl = c.cox * weff / leff;
    double* p = c.p;
    for (std::size_t k = 0; k < BinnedCount; ++k)
        p[k] = m.bin[k][0] + m.bin[k][1] / leff + m.bin[k][2] / weff;
    p[Phi] = std::max(p[Phi], 0.1);
    p[K1] = std::max(p[K1], 0.0);
    p[K2] = std::max(p[K2], 0.0);
    c.vt0 = p[Vfb] + p[Phi] + p[K1] * std::sqrt(p[Phi]) - p[K2] * p[Phi];
    c.betazero = m.muz * coxwl;
    p[BetaZeroB] *= coxwl;
    p[BetaVdd] *= coxwl;
    p[BetaVddB] *= coxwl;
    p[BetaVddD] = std::max(p[BetaVddD] * coxwl, 0.0);
    c.wlcox = c.cox * leff * weff * 1e-8;
    prepareouter(m, w, leff, ad, as, pd, ps, nrd, nrs, c);
    return nullptr;
}

Channel channel(const Model& m, const Constants& c, const Bias& bias, bool withcharges)
{
    const double* p = c.p;
    Channel out;
    const bsim::Frame f = bsim::frame(bias);
    out.mode = f.mode;
    const Dual &vgs = f.vgs, &vds = f.vds, &vbs = f.vbs;
    const double vdd = m.vdd;

    // Mobility degradation by the gate and by the drain (velocity saturation), the drain-induced
    // barrier lowering, each cut at its bounds.
    Dual ugs = p[Ugs] + p[UgsB] * vbs;
    if (ugs.v <= 0)
        ugs = 0;
    Dual uds = p[Uds] + p[UdsB] * vbs + p[UdsD] * (vds - vdd);
    uds = uds.v <= 0 ? Dual() : uds / c.leff;
    Dual eta = p[Eta] + p[EtaB] * vbs + p[EtaD] * (vds - vdd);
    if (eta.v <= 0)
        eta = 0;
    else if (eta.v > 1)
        eta = 1;
    const Dual vpb = vbs.v <= 0 ? p[Phi] - vbs : Dual(p[Phi]);
    const Dual sqrtvpb = sqrt(vpb);
    const Dual vth = p[Vfb] + p[Phi] + p[K1] * sqrtvpb - p[K2] * vpb - eta * vds;
    out.vth = vth.v;
    const Dual vgsvth = vgs - vth;
    const Dual g = 1 - 1 / (1.744 + 0.8364 * vpb);
    Dual a = 1 + 0.5 * g * p[K1] / sqrtvpb;
    if (a.v < 1)
        a = 1;

    Dual ids;
    if (vgsvth.v >= 0) {
        // The mobility at vds between its values at zero and at VDD, quadratic up to VDD and linear
        // above (linear throughout without a VDD).
        const Dual betavds0 = c.betazero + p[BetaZeroB] * vbs;
        const Dual betavdd = p[BetaVdd] + p[BetaVddB] * vbs;
        const double slope = p[BetaVddD];
        Dual beta0;
        if (vds.v > vdd || vdd <= 0) {
            beta0 = betavdd + slope * (vds - vdd);
        } else {
            const Dual c1 = (-betavdd + betavds0 + slope * vdd) / (vdd * vdd);
            const Dual c2 = 2 * (betavdd - betavds0) / vdd - slope;
            beta0 = (c1 * vds + c2) * vds + betavds0;
        }
        Dual arg = 1 + ugs * vgsvth;
        if (arg.v < 1)
            arg = 1;
        const Dual beta = beta0 / arg;
        Dual vc = uds * vgsvth / a;
        if (vc.v < 0)
            vc = 0;
        const Dual k = 0.5 * (1 + vc + sqrt(1 + 2 * vc));
        const Dual vdsat = vgsvth / (a * sqrt(k));
        out.vdsat = std::max(vdsat.v, 0.0);
        if (vds.v < out.vdsat) {
            Dual argl1 = 1 + uds * vds;
            if (argl1.v < 1)
                argl1 = 1;
            ids = beta * (vgsvth - 0.5 * a * vds) * vds / argl1;
        } else {
            ids = 0.5 * beta * vgsvth * vgsvth / (a * k);
        }
    }
    // The subthreshold current, added below and above the threshold alike and limited to `ilimit`.
    // The drain's factor 1 - exp(-vds / Vt) multiplies the limited current rather than entering the
    // limit, where above the threshold it would leave the limit's whole current at any vds > 0 and
    // none at vds = 0: a step no Newton iteration settles on. Below the threshold and from a few Vt
    // of drain voltage on, both are the same.
    if (p[N0] < 200) {
        Dual n = p[N0] + p[Nb] * vbs + p[Nd] * vds;
        if (n.v < 0.5)
            n = 0.5;
        const Dual wds = 1 - exp(-vds / Vt);
        const Dual wgs = exp(vgsvth / (n * Vt));
        const double ilimit = 4.5 * Vt * Vt * c.betazero;
        const Dual iexp = 6.04965 * Vt * Vt * c.betazero * wgs;
        ids += wds * ilimit * iexp / (ilimit + iexp);
    }
    if (ids.v < 0)
        ids = 0;
    out.ids = ids * out.mode;
    out.vgsteff = vgsvth.v;
    if (withcharges)
        charges(m, c, vgs, vds, vbs, sqrtvpb, a, out);
    if (out.mode < 0)
        out.qd = -(out.qg + out.qb + out.qd);
    return out;
}

} // namespace nerith::bsim1
