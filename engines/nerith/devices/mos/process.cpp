#include "engines/nerith/devices/mos/process.h"

#include <algorithm>
#include <cmath>

namespace nerith::mos {

namespace {

// The work function of silicon's conduction band edge above the vacuum level, and of aluminium
// (eV): the flat-band voltage of an aluminium gate (TPG 0) starts from their difference.
constexpr double SiliconAffinity = 3.25;
constexpr double AluminiumWorkFunction = 3.2;

// The zero-bias capacitances and the charge coefficients above the corner of one bulk junction.
BulkJunction bulkjunction(double bottom, double sidewall, const BulkGrading& g, double fc)
{
    BulkJunction j;
    j.bottom = bottom;
    j.sidewall = sidewall;
    const double arg = 1 - fc;
    const double sarg = std::exp(-g.mj * std::log(arg));
    const double sargsw = std::exp(-g.mjsw * std::log(arg));
    j.f2 = (bottom * (1 - fc * (1 + g.mj)) * sarg + sidewall * (1 - fc * (1 + g.mjsw)) * sargsw) / arg;
    j.f3 = (bottom * g.mj * sarg + sidewall * g.mjsw * sargsw) / (arg * g.potential);
    j.f4 = g.potential
            * (bottom * (1 - arg * sarg) / (1 - g.mj) + sidewall * (1 - arg * sargsw) / (1 - g.mjsw))
        - 0.5 * j.f3 * g.corner * g.corner - g.corner * j.f2;
    return j;
}

} // namespace

const char* unsound(const Model& m)
{
    auto bad = [](double v) { return !std::isfinite(v); };
    if (bad(m.vto) || bad(m.kp) || bad(m.gamma) || m.gamma < 0 || bad(m.lambda))
        return "threshold or transconductance parameter";
    if (bad(m.phi) || m.phi <= 0)
        return "surface potential PHI";
    if (bad(m.tox) || m.tox < 0 || bad(m.u0) || m.u0 <= 0 || bad(m.ld) || bad(m.nsub) || bad(m.nss))
        return "process parameter TOX, U0, LD, NSUB or NSS";
    if (bad(m.rd) || m.rd < 0 || bad(m.rs) || m.rs < 0 || bad(m.rsh) || m.rsh < 0)
        return "series resistance RD, RS or RSH";
    if (bad(m.is) || m.is < 0 || bad(m.js) || m.js < 0)
        return "bulk saturation current IS or JS";
    if (bad(m.pb) || m.pb <= 0)
        return "bulk junction potential PB";
    if (bad(m.cbd) || m.cbd < 0 || bad(m.cbs) || m.cbs < 0 || bad(m.cj) || m.cj < 0 || bad(m.cjsw)
        || m.cjsw < 0)
        return "bulk junction capacitance";
    // Above 1 the depletion charge keeps its closed form; at 1 it has none.
    if (bad(m.mj) || m.mj < 0 || m.mj == 1 || bad(m.mjsw) || m.mjsw < 0 || m.mjsw == 1)
        return "grading coefficient MJ or MJSW";
    if (bad(m.fc) || m.fc < 0 || m.fc >= 1)
        return "coefficient FC";
    if (bad(m.cgso) || m.cgso < 0 || bad(m.cgdo) || m.cgdo < 0 || bad(m.cgbo) || m.cgbo < 0)
        return "overlap capacitance";
    if (bad(m.kf) || m.kf < 0 || bad(m.af) || m.af <= 0)
        return "noise coefficient KF or AF";
    return nullptr;
}

const char* fromdoping(const Model& m, double nominal, double intrinsic, Process& p)
{
    p.coxarea = m.tox > 0 ? OxidePermittivity / m.tox : 0;
    p.kp = m.kp;
    p.phi = m.phi;
    p.gamma = m.gamma;
    p.vto = m.vto;
    p.xd = 0;
    if (p.coxarea == 0)
        return nullptr;
    if (!m.kpgiven)
        p.kp = m.u0 * 1e-4 * p.coxarea;
    if (!m.nsubgiven)
        return nullptr;
    const double doping = m.nsub * 1e6;
    if (!(doping > intrinsic))
        return "substrate doping NSUB (it must exceed the intrinsic carrier density)";
    if (!m.phigiven)
        p.phi = std::max(0.1, 2 * thermalvoltage(nominal) * std::log(doping / intrinsic));
    const double gap = energygap(nominal);
    const double type = m.polarity;
    double gate = AluminiumWorkFunction;
    if (m.tpg != 0)
        gate = SiliconAffinity + 0.5 * gap - type * m.tpg * 0.5 * gap;
    const double workdifference = gate - (SiliconAffinity + 0.5 * gap + type * 0.5 * p.phi);
    if (!m.gammagiven)
        p.gamma = std::sqrt(2 * SiliconPermittivity * ElectronCharge * doping) / p.coxarea;
    if (!m.vtogiven) {
        const double flatband = workdifference - m.nss * 1e4 * ElectronCharge / p.coxarea;
        p.vto = flatband + type * (p.gamma * std::sqrt(p.phi) + p.phi);
    }
    p.xd = std::sqrt(2 * SiliconPermittivity / (ElectronCharge * doping));
    return nullptr;
}

double seriesconductance(bool given, double r, double rsh, double squares, double multiplier)
{
    const double resistance = given ? r : rsh * squares;
    return resistance > 0 ? multiplier / resistance : 0;
}

const char* scale(
    const Model& m, const Process& p, const Geometry& g, double nominal, double kelvin, Constants& c)
{
    Scaled& at = c.at;
    c.kelvin = kelvin;
    at.vt = thermalvoltage(kelvin);
    at.leff = g.l - 2 * m.ld;
    at.weff = g.w - 2 * m.wd;
    if (!(at.leff > 0))
        return "effective channel length (L minus twice LD is not positive)";
    if (!(at.weff > 0))
        return "effective channel width (W minus twice WD is not positive)";
    const double ratio = kelvin / nominal;
    const double mobilityfactor = 1 / (ratio * std::sqrt(ratio));
    at.beta = p.kp * mobilityfactor * g.m * at.weff / at.leff;
    at.mobility = m.u0 * mobilityfactor;
    at.coxarea = p.coxarea;
    at.cox = p.coxarea * at.leff * at.weff * g.m;
    at.gamma = p.gamma;
    at.xd = p.xd;

    // The threshold's temperature dependence: the surface potential and the energy gap's.
    const double gap = energygap(kelvin);
    const double nominalgap = energygap(nominal);
    at.phi = junctiontemperature(p.phi, 0, 0, nominal, kelvin).potential;
    if (!(at.phi > 0))
        return "surface potential PHI (not positive at the temperature)";
    const double type = m.polarity;
    const double builtin = p.vto - type * p.gamma * std::sqrt(p.phi) + 0.5 * (nominalgap - gap)
        + type * 0.5 * (at.phi - p.phi);
    at.vbi = type * builtin;
    at.vto = at.vbi + p.gamma * std::sqrt(at.phi);

    // Bulk junctions: IS for both, unless JS and both areas are given.
    const double satfactor = std::exp(-gap / at.vt + nominalgap / thermalvoltage(nominal));
    const bool bydensity = m.js != 0 && g.ad != 0 && g.as != 0;
    c.drainsat = g.m * satfactor * (bydensity ? m.js * g.ad : m.is);
    c.sourcesat = g.m * satfactor * (bydensity ? m.js * g.as : m.is);
    c.drainvcrit = criticalvoltage(at.vt, c.drainsat);
    c.sourcevcrit = criticalvoltage(at.vt, c.sourcesat);
    const JunctionTemperature bottom = junctiontemperature(m.pb, 1, m.mj, nominal, kelvin);
    const JunctionTemperature side = junctiontemperature(m.pb, 1, m.mjsw, nominal, kelvin);
    at.bulkpot = bottom.potential;
    if (!(at.bulkpot > 0))
        return "bulk junction potential PB (not positive at the temperature)";
    c.grading = { bottom.potential, m.mj, m.mjsw, m.fc * bottom.potential, bottom.potential / (1 - m.mj),
        bottom.potential / (1 - m.mjsw) };
    const double drainbottom = m.cbdgiven ? m.cbd : m.cj * g.ad;
    const double sourcebottom = m.cbsgiven ? m.cbs : m.cj * g.as;
    c.drain = bulkjunction(
        drainbottom * bottom.capacitance * g.m, m.cjsw * g.pd * side.capacitance * g.m, c.grading, m.fc);
    c.source = bulkjunction(
        sourcebottom * bottom.capacitance * g.m, m.cjsw * g.ps * side.capacitance * g.m, c.grading, m.fc);

    c.gdpr = seriesconductance(m.rdgiven, m.rd, m.rsh, g.nrd, g.m);
    c.gspr = seriesconductance(m.rsgiven, m.rs, m.rsh, g.nrs, g.m);
    c.cgso = m.cgso * at.weff * g.m;
    c.cgdo = m.cgdo * at.weff * g.m;
    c.cgbo = m.cgbo * at.leff * g.m;
    return nullptr;
}

} // namespace nerith::mos
