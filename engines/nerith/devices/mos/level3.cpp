#include "engines/nerith/devices/mos/mosfet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nerith::mos {

namespace {

// The fit of the depletion width at the drain and source junctions' corners to the junction depth.
constexpr double Width0 = 0.0631353;
constexpr double Width1 = 0.8013292;
constexpr double Width2 = -0.01110777;
// The scale of ETA's static feedback on the threshold (F m).
constexpr double FeedbackScale = 8.15e-22;
// Saturation conductances below this count as none (S).
constexpr double LeastSaturationConductance = 1e-12;

// The square root of the surface potential under the channel and its derivative by vbs, continued
// into forward bulk bias.
struct SurfaceRoot {
    double phibs, root, droot;
};
SurfaceRoot surfaceroot(double phi, double vbs)
{
    if (vbs <= 0) {
        const double phibs = phi - vbs;
        const double root = std::sqrt(phibs);
        return { phibs, root, -0.5 / root };
    }
    const double rootphi = std::sqrt(phi);
    const double root = rootphi / (1 + vbs / (phi + phi));
    const double phibs = root * root;
    return { phibs, root, -phibs / (2 * phi * rootphi) };
}

// The short-channel factor of the bulk charge and its derivative by vbs: the share of the channel's
// depletion charge the junctions at its ends do not take.
struct ShortChannel {
    double factor = 1;
    double dvb = 0;
};
ShortChannel shortchannel(const Model& m, const Scaled& at, const SurfaceRoot& s)
{
    if (m.xj == 0 || at.xd == 0)
        return {};
    const double wps = at.xd * s.root;
    const double xjonxl = m.xj / at.leff;
    const double djonxj = m.ld / m.xj;
    const double wponxj = wps / m.xj;
    const double wconxj = Width0 + Width1 * wponxj + Width2 * wponxj * wponxj;
    const double arga = wconxj + djonxj;
    const double argc = wponxj / (1 + wponxj);
    const double argb = std::sqrt(1 - argc * argc);
    const double dwpdvb = at.xd * s.droot;
    const double dadvb = (Width1 + Width2 * (wponxj + wponxj)) * dwpdvb / m.xj;
    const double dbdvb = -argc * argc * (1 - argc) * dwpdvb / (argb * wps);
    return { 1 - xjonxl * (arga * argb - djonxj), -xjonxl * (dadvb * argb + arga * dbdvb) };
}

// How much the channel shortens near and in saturation, and its derivatives.
struct Saturation {
    double delxl = 0, dldvd = 0, ddldvg = 0, ddldvd = 0, ddldvb = 0;
};

} // namespace

DrainCurrent level3current(const Model& m, const Scaled& at, double vgs, double vds, double vbs)
{
    DrainCurrent c;
    const double leff = at.leff;
    const double eta = FeedbackScale * m.eta / (at.coxarea * leff * leff * leff);
    const SurfaceRoot s = surfaceroot(at.phi, vbs);
    const ShortChannel sc = shortchannel(m, at, s);

    // Body effect, narrow width and static feedback on the threshold.
    const double gammas = at.gamma * sc.factor;
    const double fbodys = 0.5 * gammas / (s.root + s.root);
    const double narrow = at.narrow / at.weff;
    const double fbody = fbodys + narrow;
    const double onfbdy = 1 / (1 + fbody);
    const double dfbdvb = -fbodys * s.droot / s.root + fbodys * sc.dvb / sc.factor;
    const double qbonco = gammas * s.root + narrow * s.phibs;
    const double dqbdvb = gammas * s.droot + at.gamma * sc.dvb * s.root - narrow;
    const double vth = at.vbi - eta * vds + qbonco;
    const double dvtdvd = -eta;
    const double dvtdvb = dqbdvb;

    // Weak inversion joins strong inversion above von when fast surface states are given.
    double von = vth;
    double xn = 0;
    double dxndvb = 0;
    double dvodvd = 0;
    double dvodvb = 0;
    if (m.nfs != 0) {
        const double csonco = ElectronCharge * m.nfs * 1e4 / at.coxarea;
        const double cdonco = qbonco / (s.phibs + s.phibs);
        xn = 1 + csonco + cdonco;
        von = vth + at.vt * xn;
        dxndvb = dqbdvb / (s.phibs + s.phibs) - qbonco * s.droot / (s.phibs * s.root);
        dvodvd = dvtdvd;
        dvodvb = dvtdvb + at.vt * dxndvb;
    } else if (vgs <= von) {
        c.von = von;
        return c;
    }
    c.von = von;

    // Mobility modulation by the gate voltage.
    const double vgsx = std::max(vgs, von);
    const double onfg = 1 + m.theta * (vgsx - vth);
    const double fgate = 1 / onfg;
    const double us = at.mobility * 1e-4 * fgate;
    const double dfgdvg = -m.theta * fgate * fgate;
    const double dfgdvd = -dfgdvg * dvtdvd;
    const double dfgdvb = -dfgdvg * dvtdvb;

    // Saturation voltage, with velocity saturation when VMAX is given.
    double vdsat = (vgsx - vth) * onfbdy;
    double dvsdvg;
    double dvsdvd;
    double dvsdvb;
    double onvdsc = 0;
    if (m.vmax <= 0) {
        dvsdvg = onfbdy;
        dvsdvd = -dvsdvg * dvtdvd;
        dvsdvb = -dvsdvg * dvtdvb - vdsat * dfbdvb * onfbdy;
    } else {
        const double vdsc = leff * m.vmax / us;
        onvdsc = 1 / vdsc;
        const double arga = (vgsx - vth) * onfbdy;
        const double argb = std::sqrt(arga * arga + vdsc * vdsc);
        vdsat = arga + vdsc - argb;
        const double dvsdga = (1 - arga / argb) * onfbdy;
        dvsdvg = dvsdga - (1 - vdsc / argb) * vdsc * dfgdvg * onfg;
        dvsdvd = -dvsdvg * dvtdvd;
        dvsdvb = -dvsdvg * dvtdvb - arga * dvsdga * dfbdvb;
    }
    c.vdsat = vdsat;

    const double vdsx = std::min(vds, vdsat);
    double beta = at.beta * fgate;
    if (vdsx == 0) {
        c.gds = beta * (vgsx - vth);
        if (m.nfs != 0 && vgs < von)
            c.gds *= std::exp((vgs - von) / (at.vt * xn));
        return c;
    }
    const bool saturated = vds > vdsat;

    // Current factors in the linear region, with the mobility's dependence.
    const double cdo = vgsx - vth - 0.5 * (1 + fbody) * vdsx;
    const double dcodvb = -dvtdvb - 0.5 * dfbdvb * vdsx;
    const double cdnorm = cdo * vdsx;
    const double cd1 = at.beta * cdnorm;
    double cdrain = beta * cdnorm;
    double gm = beta * vdsx + dfgdvg * cd1;
    double gds
        = beta * (saturated ? -dvtdvd * vdsx : vgsx - vth - (1 + fbody + dvtdvd) * vdsx) + dfgdvd * cd1;
    double gmbs = beta * dcodvb * vdsx + dfgdvb * cd1;

    // Velocity saturation.
    double fdrain = 0;
    double dfddvg = 0;
    double dfddvd = 0;
    double dfddvb = 0;
    if (m.vmax > 0) {
        fdrain = 1 / (1 + vdsx * onvdsc);
        const double fd2 = fdrain * fdrain;
        const double arga = fd2 * vdsx * onvdsc * onfg;
        dfddvg = -dfgdvg * arga;
        dfddvd = saturated ? -dfgdvd * arga : -dfgdvd * arga - fd2 * onvdsc;
        dfddvb = -dfgdvb * arga;
        gm = fdrain * gm + dfddvg * cdrain;
        gds = fdrain * gds + dfddvd * cdrain;
        gmbs = fdrain * gmbs + dfddvb * cdrain;
        cdrain *= fdrain;
        beta *= fdrain;
    }

    // Channel length modulation: the length the channel loses in saturation (or, with BADMOS3
    // off, smoothly below it too).
    const double alpha = at.xd * at.xd;
    const bool badmos3 = at.badmos3;
    bool shortened = false;
    Saturation sat;
    if (!saturated) {
        if (m.vmax <= 0 && alpha != 0 && !badmos3) {
            const double ratio = vds / vdsat;
            const double full = std::sqrt(m.kappa * alpha * vdsat / 8);
            sat.dldvd = 4 * full * ratio * ratio * ratio / vdsat;
            sat.delxl = full * ratio * ratio * ratio * ratio;
            sat.ddldvd = -sat.dldvd;
            shortened = true;
        }
    } else if (m.vmax <= 0) {
        const double beyond = badmos3 ? vds - vdsat : vds - vdsat + vdsat / 8;
        sat.delxl = std::sqrt(m.kappa * alpha * beyond);
        sat.dldvd = 0.5 * sat.delxl / beyond;
        sat.ddldvd = -sat.dldvd;
        shortened = true;
    } else if (alpha != 0) {
        const double cdsat = cdrain;
        const double gdsat = std::max(LeastSaturationConductance, cdsat * (1 - fdrain) * onvdsc);
        const double gdoncd = gdsat / cdsat;
        const double gdonfd = gdsat / (1 - fdrain);
        const double gdonfg = gdsat * onfg;
        const double dgdvg = gdoncd * gm - gdonfd * dfddvg + gdonfg * dfgdvg;
        const double dgdvd = gdoncd * gds - gdonfd * dfddvd + gdonfg * dfgdvd;
        const double dgdvb = gdoncd * gmbs - gdonfd * dfddvb + gdonfg * dfgdvb;
        const double emax = (badmos3 ? 1 : m.kappa) * cdsat / (leff * gdsat);
        const double emoncd = emax / cdsat;
        const double emongd = emax / gdsat;
        const double demdvg = emoncd * gm - emongd * dgdvg;
        const double demdvd = emoncd * gds - emongd * dgdvd;
        const double demdvb = emoncd * gmbs - emongd * dgdvb;
        const double arga = 0.5 * emax * alpha;
        const double argc = m.kappa * alpha;
        const double argb = std::sqrt(arga * arga + argc * (vds - vdsat));
        sat.delxl = argb - arga;
        double dldem = 0;
        if (argb != 0) {
            sat.dldvd = argc / (argb + argb);
            dldem = 0.5 * (arga / argb - 1) * alpha;
        }
        sat.ddldvg = dldem * demdvg;
        sat.ddldvd = dldem * demdvd - sat.dldvd;
        sat.ddldvb = dldem * demdvb;
        shortened = true;
    }
    double gds0 = 0;
    if (shortened) {
        // Punch-through: the shortening approaches the whole length without reaching it.
        if (sat.delxl > 0.5 * leff) {
            sat.delxl = leff - leff * leff / (4 * sat.delxl);
            const double scale = 4 * (leff - sat.delxl) * (leff - sat.delxl) / (leff * leff);
            sat.ddldvg *= scale;
            sat.ddldvd *= scale;
            sat.ddldvb *= scale;
            sat.dldvd *= scale;
        }
        const double xlfact = 1 / (1 - sat.delxl / leff);
        cdrain *= xlfact;
        const double diddl = cdrain / (leff - sat.delxl);
        gds0 = diddl * sat.ddldvd;
        gm = gm * xlfact + diddl * sat.ddldvg + gds0 * dvsdvg;
        gmbs = gmbs * xlfact + diddl * sat.ddldvb + gds0 * dvsdvb;
        gds = gds * xlfact + diddl * sat.dldvd + gds0 * dvsdvd;
    }

    // Weak inversion below von.
    if (vgs < von) {
        const double onxn = 1 / xn;
        const double ondvt = onxn / at.vt;
        const double wfact = std::exp((vgs - von) * ondvt);
        cdrain *= wfact;
        const double gms = gm * wfact;
        const double gmw = cdrain * ondvt;
        gm = gmw + (saturated ? gds0 * dvsdvg * wfact : 0);
        gds = gds * wfact + (gms - gmw) * dvodvd;
        gmbs = gmbs * wfact + (gms - gmw) * dvodvb - gmw * (vgs - von) * onxn * dxndvb;
    }
    c.cdrain = cdrain;
    c.gm = gm;
    c.gds = gds;
    c.gmbs = gmbs;
    return c;
}

namespace {

struct Level3 {
    static constexpr bool CubicReverse = true;

    static constexpr auto modelparameters = parametertable<Model>(
        {
            kprow(),
            toxrow(1e-7),
            mjswrow(0.33),
            field<&Model::delta>("delta", Delta, "Width effect on threshold"),
            field<&Model::vmax>("vmax", Vmax, "Maximum carrier drift velocity").in("m/s"),
            field<&Model::xj>("xj", Xj, "Junction depth").in("m"),
            field<&Model::nfs>("nfs", Nfs, "Fast surface state density").in("1/cm2"),
            field<&Model::eta>("eta", Eta, "Vds dependence of threshold voltage"),
            field<&Model::theta>("theta", Theta, "Vgs dependence on mobility").in("1/V"),
            field<&Model::kappa>("kappa", Kappa, "Saturation field factor").initially(0.2),
            field<&Model::wd>("wd", Wd, "Width narrowing by diffusion").in("m"),
        },
        sharedrows);

    static const char* prepare(const Model& m, double nominal, Process& p)
    {
        if (!(m.tox > 0))
            return "oxide thickness TOX (level 3 needs one)";
        auto bad = [](double v) { return !std::isfinite(v); };
        if (bad(m.delta) || bad(m.vmax) || bad(m.xj) || m.xj < 0 || bad(m.nfs) || bad(m.eta) || bad(m.theta)
            || bad(m.kappa) || bad(m.wd))
            return "level 3 parameter DELTA, VMAX, XJ, NFS, ETA, THETA, KAPPA or WD";
        // The intrinsic density the doping must exceed, at TNOM.
        const double ratio = nominal / 300;
        const double intrinsic = IntrinsicDensity * ratio * std::sqrt(ratio)
            * std::exp(0.5 * energygap(nominal) * (1.0 / 300 - 1 / nominal) / (Boltzmann / ElectronCharge));
        return fromdoping(m, nominal, intrinsic, p);
    }

    static void finish(const Model& m, const Process& p, const Options& o, Constants& c)
    {
        c.at.narrow = m.delta * 0.5 * std::numbers::pi * SiliconPermittivity / p.coxarea;
        c.at.badmos3 = o.badmos3;
    }

    static constexpr CurrentFunction current = level3current;
};

} // namespace

} // namespace nerith::mos

namespace nerith {

extern const DeviceKind mos3kind;
constexpr DeviceKind mos3kind
    = devicekind<mos::Mosfet<mos::Level3>>("MOS3", "Level 3 MOSFET with Meyer capacitances", 4);

} // namespace nerith
