#include "engines/nerith/devices/bsim2.h"

#include <algorithm>
#include <cmath>

namespace nerith::bsim2 {

namespace {

// x held at most at `most` (a constant there).
Dual atmost(const Dual& x, double most)
{
    return x.v > most ? Dual(most) : x;
}
Dual atleast(const Dual& x, double least)
{
    return x.v < least ? Dual(least) : x;
}

// The channel's charges: accumulation, depletion, and the inversion charge of the linear and the
// saturated channel (40/60 partition), with the bulk charge Qbulk of the depletion layer.
void charges(const Constants& c, const Dual& vgs, const Dual& vds, const Dual& vbs, const Dual& phisb,
    const Dual& vgst, const Dual& aa, const Dual& ua, const Dual& ub, const Dual& u1s, const Dual& vdsatdc,
    Channel& out)
{
    const double* p = c.p;
    const double coxwl = c.wlcox;
    const Dual vbseff = vbs.v < 0 ? vbs : p[Phi] - phisb;
    const Dual arg1 = vgs - vbseff - p[Vfb];
    const Dual arg2 = arg1 - vgst;
    const Dual qbulk = coxwl / 3 * arg2;
    if (arg1.v <= 0) {
        out.qg = coxwl * arg1;
        out.qb = -out.qg;
        out.qd = 0;
        return;
    }
    if (vgst.v <= 0) {
        const Dual t2 = arg1 / arg2;
        out.qg = coxwl * arg1 * (1 - t2 * (1 - t2 / 3));
        out.qb = -out.qg;
        out.qd = 0;
        return;
    }
    Dual vdsat = vdsatdc;
    if (vgst.v < p[Vghigh]) {
        const Dual uvert = atleast(1 + vgst * (ua + vgst * ub), 0.2);
        const Dual vc = u1s / aa / uvert * vgst;
        const Dual kk = 0.5 * (1 + vc + sqrt(1 + 2 * vc));
        vdsat = vgst / (aa * sqrt(kk));
    }
    if (vds.v >= vdsat.v) {
        out.qb = -qbulk;
        out.qg = 2 * coxwl / 3 * vgst + qbulk;
        out.qd = -0.4 * 2 * coxwl / 3 * vgst;
        return;
    }
    const Dual vgdt = vgst * (1 - vds / vdsat);
    const Dual t0 = vgst / (vgst + vgdt);
    const Dual t1 = vgdt / (vgst + vgdt);
    const Dual t5 = t0 * t1;
    out.qg = 2 * coxwl / 3 * (vgst + vgdt - vgdt * t0) + qbulk;
    out.qb = -qbulk;
    out.qd = -coxwl / 3 * (0.2 * vgdt + 0.8 * vgst + vgdt * t1 + 0.2 * t5 * (vgdt - vgst));
}

} // namespace

const char* prepare(const Model& m, double l, double w, double ad, double as, double pd, double ps,
    double nrd, double nrs, Constants& c)
{
    double leff, weff; // um
    if (const char* wrong = bsim1::effectivesize(m, l, w, leff, weff, c))
        return wrong;
    if (!(m.temp > -273))
        return "extraction temperature TEMP";
    const double coxwl = c.cox * weff / leff;
    double* p = c.p;
    for (std::size_t k = 0; k < BinnedCount; ++k)
        p[k] = m.bin[k][0] + m.bin[k][1] / leff + m.bin[k][2] / weff;
    // The saturated mobility at least the zero-field one, and its body dependence kept from making
    // it fall below that one within VBB.
    c.beta0 = m.mu0;
    p[Betas0] = std::max(p[Betas0], 1.01 * c.beta0);
    const double room = p[Betas0] - c.beta0 - p[Beta0B] * m.vbb;
    if (-p[BetasB] * m.vbb > room)
        p[BetasB] = -room / m.vbb;
    for (Binned k : { Beta0B, Betas0, BetasB, Beta30, Beta3B, Beta3G, Beta40, Beta4B, Beta4G })
        p[k] *= coxwl;
    c.beta0 *= coxwl;
    p[N0] = std::max(p[N0], 0.0);
    c.vtm = 8.625e-5 * (m.temp + 273.0);
    c.wlcox = c.cox * leff * weff * 1e-8;
    c.sqrtphi = std::sqrt(p[Phi]);
    c.phis3 = c.sqrtphi * p[Phi];
    c.vt0 = p[Vfb] + p[Phi] + p[K1] * c.sqrtphi - p[K2] * p[Phi];
    bsim1::prepareouter(m, w, leff, ad, as, pd, ps, nrd, nrs, c);
    return nullptr;
}

Channel channel(const Model& m, const Constants& c, const Bias& bias, bool withcharges)
{
    const double* p = c.p;
    Channel out;
    const bsim::Frame f = bsim::frame(bias);
    out.mode = f.mode;
    // The voltages held within twice VBB, VGG and VDD.
    const Dual vbs = atleast(f.vbs, 2 * m.vbb);
    const Dual vgs = atmost(f.vgs, 2 * m.vgg);
    const Dual vds = atmost(f.vds, 2 * m.vdd);
    const double vtm = c.vtm;
    const double phi = p[Phi];

    // The threshold with its body effect and drain-induced lowering.
    Dual phisb, t1s;
    if (vbs.v <= 0) {
        phisb = phi - vbs;
        t1s = sqrt(phisb);
    } else {
        phisb = phi * phi / (phi + vbs);
        t1s = c.phis3 / (phi + 0.5 * vbs);
    }
    const Dual eta = p[Eta0] + p[EtaB] * vbs;
    const Dual ua = p[Ua0] + p[UaB] * vbs;
    const Dual ub = p[Ub0] + p[UbB] * vbs;
    const Dual u1s = p[U10] + p[U1B] * vbs;
    const Dual vth = p[Vfb] + phi + p[K1] * t1s - p[K2] * phisb - eta * vds;
    out.vth = vth.v;
    const Dual vgst = vgs - vth;
    const Dual gg = 1 - 1 / (1.744 + 0.8364 * phisb);
    const Dual aa = 1 + 0.5 * gg / t1s * p[K1];

    // The effective gate drive: exponential in weak inversion up to VGLOW, the gate drive itself
    // from VGHIGH on, a cubic between that joins both with their slopes.
    const double vghigh = p[Vghigh], vglow = p[Vglow];
    const bool strong = vgst.v >= vghigh || p[N0] == 0;
    Dual vgeff = vgst, exp0, exp1;
    if (!strong) {
        const Dual vof = p[Vof0] + p[VofB] * vbs + p[VofD] * vds;
        const Dual n = p[N0] + p[NB] / t1s + p[ND] * vds;
        const Dual tmp = 0.5 / (n * vtm);
        exp1 = exp(atleast(-vds / vtm, -30));
        const Dual drain = atleast(1 - exp1, 1e-18);
        if (vgst.v <= vglow) {
            exp0 = exp(0.5 * vof + atleast(vgst * tmp, -30));
            vgeff = sqrt(2 * aa * drain) * vtm * exp0;
        } else {
            exp0 = exp(0.5 * vof + atleast(vglow * tmp, -30));
            const Dual low = sqrt(2 * aa * (1 - exp1)) * vtm * exp0;
            const Dual slope = low * tmp;
            const double t0 = 2 * vghigh, t1 = 2 * vglow, t2 = 3 * vghigh * vghigh, t3 = 3 * vglow * vglow;
            const double t4 = vghigh - vglow, t5 = vghigh * vghigh - vglow * vglow;
            const double t6 = vghigh * vghigh * vghigh - vglow * vglow * vglow;
            const Dual t7 = vghigh - low;
            const double delta = 1 / ((t1 - t0) * t6 + (t2 - t3) * t5 + (t0 * t3 - t1 * t2) * t4);
            const Dual b = (t1 - slope * t0) * t6 + (slope * t2 - t3) * t5 + (t0 * t3 - t1 * t2) * t7;
            const Dual cc = (slope - 1) * t6 + (t2 - t3) * t7 + (t3 - slope * t2) * t4;
            const Dual d = (t1 - t0) * t7 + (1 - slope) * t5 + (slope * t0 - t1) * t4;
            const Dual a = vghigh * vghigh * (cc + d * t0);
            vgeff = (a + vgst * (b + vgst * (cc + vgst * d))) * delta;
        }
    }
    out.vgsteff = vgeff.v;

    Dual ids, vdsat;
    if (vgeff.v > 0) {
        const Dual uvert = atleast(1 + vgeff * (ua + vgeff * ub), 0.2);
        const Dual vc = u1s / aa / uvert * vgeff;
        const Dual kk = 0.5 * (1 + vc + sqrt(1 + 2 * vc));
        vdsat = atleast(vgeff / (aa * sqrt(kk)), 1e-18);
        out.vdsat = vdsat.v;
        // The mobility's dependence on vds, a tanh from its zero-field value to its saturated one.
        const Dual beta0 = c.beta0 + p[Beta0B] * vbs;
        const Dual betas = p[Betas0] + p[BetasB] * vbs;
        const Dual beta2 = p[Beta20] + p[Beta2B] * vbs + p[Beta2G] * vgs;
        const Dual beta3 = p[Beta30] + p[Beta3B] * vbs + p[Beta3G] * vgs;
        const Dual beta4 = p[Beta40] + p[Beta4B] * vbs + p[Beta4G] * vgs;
        const Dual beta1 = betas - (beta0 + m.vdd * (beta3 - m.vdd * beta4));
        const Dual e = exp(atmost(vds * beta2 / vdsat, 30));
        const Dual tanh = (e * e - 1) / (e * e + 1);
        const Dual beta = beta0 + beta1 * tanh + vds * (beta3 - beta4 * vds);
        // Impact ionization's rise of the saturated current.
        auto ionization = [&]() -> Dual {
            if (p[Ai0] == 0 || vds.v <= vdsat.v)
                return 1;
            const Dual ai = p[Ai0] + p[AiB] * vbs;
            const Dual bi = p[Bi0] + p[BiB] * vbs;
            return 1 + ai * exp(-atmost(bi / (vds - vdsat), 30));
        };
        if (strong || vgst.v > vglow) {
            if (vds.v <= vdsat.v) {
                const Dual t4 = vds / vdsat - 1;
                const Dual u1 = u1s * (1 - p[U1D] * t4 * t4);
                const Dual utot = atleast(uvert + u1 * vds, 0.5);
                ids = beta / utot * (vgeff - 0.5 * aa * vds) * vds;
            } else {
                ids = beta / uvert * 0.5 * vgeff * vgeff / (aa * kk) * ionization();
            }
        } else {
            ids = beta * vtm * vtm * exp0 * exp0 * (1 - exp1) * ionization();
        }
    }
    out.ids = ids * out.mode;
    if (withcharges && m.xpart <= 1)
        charges(c, vgs, vds, vbs, phisb, vgst, aa, ua, ub, u1s, vdsat, out);
    if (out.mode < 0)
        out.qd = -(out.qg + out.qb + out.qd);
    return out;
}

} // namespace nerith::bsim2
