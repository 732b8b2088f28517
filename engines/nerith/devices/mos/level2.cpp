#include "engines/nerith/devices/mos/mosfet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nerith::mos {

namespace {

// Residuals of the saturation voltage's quartic above this count as no root.
constexpr double RootResidual = 1e-6;
// Below this drain-source voltage (V) the channel is taken at vds = 0: conductance, no current.
constexpr double LeastVds = 1e-10;
// The least depletion width at the drain that limits the channel's shortening without NSUB (m).
constexpr double DefaultPunchThrough = 0.25e-6;

// The square root of phi - vbs (or of phi - vbs + vds at the drain) continued into forward bias,
// with its first and second derivatives by vbs.
struct Root {
    double value, d1, d2;
};
Root surfaceroot(double phi, double vbs)
{
    if (vbs <= 0) {
        const double value = std::sqrt(phi - vbs);
        const double d1 = -0.5 / value;
        return { value, d1, 0.5 * d1 / (phi - vbs) };
    }
    const double rootphi = std::sqrt(phi);
    const double value = rootphi / (1 + 0.5 * vbs / phi);
    const double tmp = value / (phi * rootphi);
    const double d1 = -0.5 * value * tmp;
    return { value, d1, -d1 * tmp };
}

} // namespace

double smallestroot(double a1, double b1, double c1, double d1)
{
    // Ferrari's method: a root y of the resolvent cubic splits the quartic into two quadratics.
    const double a = -b1;
    const double b = a1 * c1 - 4 * d1;
    const double c = -d1 * (a1 * a1 - 4 * b1) - c1 * c1;
    const double r = -a * a / 3 + b;
    const double s = 2 * a * a * a / 27 - a * b / 3 + c;
    const double p = s * s / 4 + r * r * r / 27;
    double y;
    if (p < 0) {
        const double rho = std::cbrt(std::sqrt(s * s / 4 - p));
        const double angle = std::atan2(std::sqrt(-p), -s / 2);
        y = 2 * rho * std::cos(angle / 3) - a / 3;
    } else {
        y = std::cbrt(-s / 2 + std::sqrt(p)) + std::cbrt(-s / 2 - std::sqrt(p)) - a / 3;
    }
    const double a3 = std::sqrt(std::max(0.0, a1 * a1 / 4 - b1 + y));
    const double b3 = std::sqrt(std::max(0.0, y * y / 4 - d1));
    double smallest = -1;
    for (const double sa : { 1.0, -1.0 }) {
        for (const double sb : { 1.0, -1.0 }) {
            const double a4 = a1 / 2 + sa * a3;
            const double b4 = y / 2 + sb * b3;
            const double discriminant = a4 * a4 / 4 - b4;
            if (discriminant < 0)
                continue;
            for (const double x : { -a4 / 2 + std::sqrt(discriminant), -a4 / 2 - std::sqrt(discriminant) }) {
                const double residual = (((x + a1) * x + b1) * x + c1) * x + d1;
                if (x > 0 && std::fabs(residual) <= RootResidual && (smallest < 0 || x < smallest))
                    smallest = x;
            }
        }
    }
    return smallest;
}

DrainCurrent level2current(const Model& m, const Scaled& at, double vgs, double vds, double vbs)
{
    DrainCurrent c;
    const double leff = at.leff;
    const double phi = at.phi;
    const double vt = at.vt;
    const bool oxide = at.coxarea > 0;
    const bool faststates = m.nfs != 0 && oxide;
    const double phibs = phi - vbs;
    const Root s = surfaceroot(phi, vbs);
    const Root d = surfaceroot(phi, vbs - vds);

    // Threshold: narrow-channel factor, short-channel reduction of the bulk charge at both ends.
    const double factor
        = oxide ? 0.25 * std::numbers::pi * m.delta * SiliconPermittivity / (at.coxarea * at.weff) : 0;
    const double eta = 1 + factor;
    const double vbin = at.vbi + factor * phibs;
    double gamasd = at.gamma;
    double dgddvb = 0;
    double dgdvds = 0;
    double dgddb2 = 0;
    if (at.gamma > 0 || at.xd > 0) {
        const double xd = at.xd;
        double argss = 0;
        double argsd = 0;
        double dbargs = 0;
        double dbargd = 0;
        if (m.xj > 0) {
            const double argxs = 1 + 2 * xd * s.value / m.xj;
            const double argxd = 1 + 2 * xd * d.value / m.xj;
            const double args = std::sqrt(argxs);
            const double argd = std::sqrt(argxd);
            argss = 0.5 * m.xj / leff * (args - 1);
            argsd = 0.5 * m.xj / leff * (argd - 1);
            dbargs = 0.5 / leff * xd * s.d1 / args;
            dbargd = 0.5 / leff * xd * d.d1 / argd;
            const double dasdb2 = -xd * (s.d2 + s.d1 * s.d1 * xd / (m.xj * argxs)) / (leff * args);
            const double daddb2 = -xd * (d.d2 + d.d1 * d.d1 * xd / (m.xj * argxd)) / (leff * argd);
            dgddb2 = -0.5 * at.gamma * (dasdb2 + daddb2);
            dgdvds = at.gamma * 0.5 * xd * d.d1 / (leff * argd);
        }
        gamasd = at.gamma * (1 - argss - argsd);
        dgddvb = -at.gamma * (dbargs + dbargd);
    }
    double von = vbin + gamasd * s.value;
    double xn = 0;
    double argg = 0;
    if (faststates) {
        const double cdonco = -(gamasd * s.d1 + dgddvb * s.value) + factor;
        xn = 1 + ElectronCharge * m.nfs * 1e4 / at.coxarea + cdonco;
        von += vt * xn;
        argg = 1 / (vt * xn);
    } else if (vgs <= vbin) {
        c.von = von;
        return c;
    }
    c.von = von;
    const double vgst = vgs - von;

    const double sarg3 = s.value * s.value * s.value;
    double barg = d.value;
    double dbrgdb = d.d1;
    double body = barg * barg * barg - sarg3;
    double gdbdv = 2 * gamasd * (barg * barg * dbrgdb - s.value * s.value * s.d1);
    double dodvbs = -factor + dgddvb * s.value + gamasd * s.d1;
    double dxndvb = 0;
    double dxndvd = 0;
    double dodvds = 0;
    if (faststates) {
        dxndvb = 2 * dgddvb * s.d1 + gamasd * s.d2 + dgddb2 * s.value;
        dodvbs += vt * dxndvb;
        dxndvd = dgdvds * s.d1;
        dodvds = dgdvds * s.value + vt * dxndvd;
    }

    // Effective mobility, degraded above the critical field.
    double ufact = 1;
    double ueff = m.u0 * 1e-4;
    double dudvgs = 0;
    double dudvbs = 0;
    const double critical = oxide ? m.ucrit * 100 * SiliconPermittivity / at.coxarea : 0;
    if (oxide && vgst > critical) {
        ufact = std::exp(m.uexp * std::log(critical / vgst));
        ueff *= ufact;
        dudvgs = -ufact * m.uexp / vgst;
        dudvbs = m.uexp * ufact * dodvbs / vgst;
    }

    // Saturation voltage by the Grove-Frohman equation, or with VMAX from scattering-limited
    // velocity saturation.
    const double vgsx = faststates ? std::max(vgs, von) : vgs;
    const double gammad = gamasd / eta;
    double vdsat;
    double dsdvgs;
    double dsdvbs;
    if (gammad > 0) {
        const double gammd2 = gammad * gammad;
        const double argv = (vgsx - vbin) / eta + phibs;
        if (argv <= 0) {
            vdsat = dsdvgs = dsdvbs = 0;
        } else {
            const double arg = std::sqrt(1 + 4 * argv / gammd2);
            vdsat = std::max(0.0, (vgsx - vbin) / eta + gammd2 * (1 - arg) / 2);
            dsdvgs = (1 - 1 / arg) / eta;
            dsdvbs
                = (gammad * (1 - arg) + 2 * argv / (gammad * arg)) / eta * dgddvb + 1 / arg + factor * dsdvgs;
        }
    } else {
        vdsat = std::max(0.0, (vgsx - vbin) / eta);
        dsdvgs = 1;
        dsdvbs = 0;
    }
    if (m.vmax > 0) {
        const double v1 = (vgsx - vbin) / eta + phibs;
        const double xv = m.vmax * leff / ueff;
        const double a1 = gammad / 0.75;
        const double root = smallestroot(a1, -2 * (v1 + xv), -2 * gammad * xv,
            2 * v1 * (phibs + xv) - phibs * phibs - 4.0 / 3.0 * gammad * sarg3);
        if (root > 0)
            vdsat = root * root - phibs;
    }
    c.vdsat = vdsat;

    // Channel length modulation, from the depletion width beyond saturation unless LAMBDA is given.
    double xlamda = m.lambda;
    double dldvgs = 0;
    double dldvds = 0;
    double dldvbs = 0;
    double bsarg = 0;
    double bodys = 0;
    double gdbdvs = 0;
    if (vds != 0) {
        const Root sat = surfaceroot(phi, vbs - vdsat);
        bsarg = sat.value;
        bodys = bsarg * bsarg * bsarg - sarg3;
        gdbdvs = 2 * gamasd * (bsarg * bsarg * sat.d1 - s.value * s.value * s.d1);
        double dldsat = 0;
        bool modulated = false;
        if (m.vmax <= 0) {
            if (m.nsubgiven && xlamda <= 0) {
                const double argv = (vds - vdsat) / 4;
                const double sargv = std::sqrt(1 + argv * argv);
                xlamda = at.xd / (leff * vds) * std::sqrt(argv + sargv);
                dldsat = vds * xlamda / (8 * sargv);
                modulated = true;
            }
        } else {
            const double xdv = at.xd / std::sqrt(m.neff);
            const double xlv = m.vmax * xdv / (2 * ueff);
            const double vqchan = (vgsx - vbin) / eta - vdsat - gamasd * bsarg;
            const double dqdsat = -1 + gamasd * sat.d1;
            const double vl = m.vmax * leff;
            const double dfunds = vl * dqdsat - ueff * vqchan;
            const double dfundg = (vl - ueff * vdsat) / eta;
            const double dfundb
                = -vl * (1 + dqdsat - factor / eta) + ueff * (gdbdvs - dgddvb * bodys / 1.5) / eta;
            dsdvgs = -dfundg / dfunds;
            dsdvbs = -dfundb / dfunds;
            if (m.nsubgiven && xlamda <= 0) {
                const double xls = std::sqrt(xlv * xlv + std::max(vds - vdsat, 0.0));
                xlamda = xdv / (leff * vds) * (xls - xlv);
                dldsat = xdv / (2 * xls) / leff;
                modulated = true;
            }
        }
        if (modulated) {
            dldvgs = dldsat * dsdvgs;
            dldvds = -xlamda + dldsat;
            dldvbs = dldsat * dsdvbs;
        }
    }

    // The shortening stops at punch-through.
    const double xwb = m.nsubgiven ? at.xd * std::sqrt(at.bulkpot) : DefaultPunchThrough;
    const double xld = leff - at.xd * std::sqrt(at.bulkpot);
    double clfact = 1 - xlamda * vds;
    dldvds = -xlamda - dldvds;
    const double xleff = leff * clfact;
    if (xleff < xwb) {
        const double limited = xwb / (1 + (xlamda * vds * leff - xld) / xwb);
        clfact = limited / leff;
        const double dfact = limited * limited / (xwb * xwb);
        dldvgs *= dfact;
        dldvds *= dfact;
        dldvbs *= dfact;
    }
    const double beta1 = at.beta * ufact / clfact;

    if (vds <= LeastVds) {
        if (vgs > von)
            c.gds = beta1 * (vgs - vbin - gamasd * s.value);
        else if (faststates)
            c.gds = beta1 * (von - vbin - gamasd * s.value) * std::exp(argg * (vgs - von));
        return c;
    }
    const bool saturated = vds > vdsat;
    if (faststates && vgs <= von) {
        // Weak inversion.
        if (vdsat <= 0)
            return c;
        const double vdson = std::min(vdsat, vds);
        if (saturated) {
            barg = bsarg;
            body = bodys;
            gdbdv = gdbdvs;
        }
        const double cdson = beta1 * ((von - vbin - eta * vdson * 0.5) * vdson - gamasd * body / 1.5);
        const double didvds = beta1 * (von - vbin - eta * vdson - gamasd * barg);
        double gdson = -cdson * dldvds / clfact - beta1 * dgdvds * body / 1.5;
        if (vds < vdsat)
            gdson += didvds;
        double gbson = -cdson * dldvbs / clfact
            + beta1 * (dodvbs * vdson + factor * vdson - dgddvb * body / 1.5 - gdbdv);
        if (saturated)
            gbson += didvds * dsdvbs;
        const double expg = std::exp(argg * (vgs - von));
        c.cdrain = cdson * expg;
        const double gmw = c.cdrain * argg;
        c.gm = saturated ? gmw + didvds * dsdvgs * expg : gmw;
        const double tmp = gmw * (vgs - von) / xn;
        c.gds = gdson * expg - c.gm * dodvds - tmp * dxndvd;
        c.gmbs = gbson * expg - c.gm * dodvbs - tmp * dxndvb;
        return c;
    }
    if (!saturated) {
        c.cdrain = beta1 * ((vgs - vbin - eta * vds / 2) * vds - gamasd * body / 1.5);
        c.gm = c.cdrain * (dudvgs / ufact - dldvgs / clfact) + beta1 * vds;
        c.gds = c.cdrain * (-dldvds / clfact)
            + beta1 * (vgs - vbin - eta * vds - gamasd * barg - dgdvds * body / 1.5);
        c.gmbs = c.cdrain * (dudvbs / ufact - dldvbs / clfact)
            - beta1 * (gdbdv + dgddvb * body / 1.5 - factor * vds);
    } else {
        const double drive = vgs - vbin - eta * vdsat - gamasd * bsarg;
        c.cdrain = beta1 * ((vgs - vbin - eta * vdsat / 2) * vdsat - gamasd * bodys / 1.5);
        c.gm = c.cdrain * (dudvgs / ufact - dldvgs / clfact) + beta1 * vdsat + beta1 * drive * dsdvgs;
        c.gds = -c.cdrain * dldvds / clfact - beta1 * dgdvds * bodys / 1.5;
        c.gmbs = c.cdrain * (dudvbs / ufact - dldvbs / clfact)
            - beta1 * (gdbdvs + dgddvb * bodys / 1.5 - factor * vdsat) + beta1 * drive * dsdvbs;
    }
    return c;
}

namespace {

struct Level2 {
    static constexpr bool CubicReverse = false;

    static constexpr auto modelparameters = parametertable<Model>(
        {
            kprow(),
            lambdarow(),
            toxrow(1e-7),
            mjswrow(0.33),
            field<&Model::delta>("delta", Delta, "Width effect on threshold"),
            field<&Model::uexp>("uexp", Uexp, "Crit. field exp for mob. deg."),
            field<&Model::ucrit>("ucrit", Ucrit, "Crit. field for mob. degradation")
                .in("V/cm")
                .initially(1e4),
            field<&Model::vmax>("vmax", Vmax, "Maximum carrier drift velocity").in("m/s"),
            field<&Model::xj>("xj", Xj, "Junction depth").in("m"),
            field<&Model::neff>("neff", Neff, "Total channel charge coeff.").initially(1),
            field<&Model::nfs>("nfs", Nfs, "Fast surface state density").in("1/cm2"),
        },
        sharedrows);

    static const char* prepare(const Model& m, double nominal, Process& p)
    {
        auto bad = [](double v) { return !std::isfinite(v); };
        if (bad(m.delta) || bad(m.uexp) || bad(m.ucrit) || m.ucrit <= 0 || bad(m.vmax) || bad(m.xj)
            || m.xj < 0 || bad(m.neff) || m.neff <= 0 || bad(m.nfs))
            return "level 2 parameter DELTA, UEXP, UCRIT, VMAX, XJ, NEFF or NFS";
        return fromdoping(m, nominal, IntrinsicDensity, p);
    }

    static constexpr CurrentFunction current = level2current;
};

} // namespace

} // namespace nerith::mos

namespace nerith {

extern const DeviceKind mos2kind;
constexpr DeviceKind mos2kind
    = devicekind<mos::Mosfet<mos::Level2>>("MOS2", "Level 2 MOSFET with Meyer capacitances", 4);

} // namespace nerith
