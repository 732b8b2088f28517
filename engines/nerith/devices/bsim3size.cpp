#include "engines/nerith/devices/bsim3size.h"

#include "engines/nerith/devices/junction.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace nerith::bsim3 {

namespace {

// Boltzmann's constant over the electron charge as the model's equations take it (V/K).
constexpr double KOverQ = 8.617087e-5;

std::string format(const char* text, double value)
{
    char line[160];
    std::snprintf(line, sizeof line, text, value);
    return line;
}

// The sidewall values default to those of the field side, the C-V offsets to the I-V ones.
double orelse(bool given, double value, double fallback)
{
    return given ? value : fallback;
}

// exp(-x / 2) and the short-channel factor e (1 + 2 e) the threshold's roll-off takes, with the
// exponent cut at the model's threshold.
double rolloff(double exponent)
{
    const double e = exponent > -ExpThreshold ? std::exp(exponent) : MinExp;
    return e * (1 + 2 * e);
}

// The length and width offsets for the current (dl, dw) and for the charges (dlc, dwc).
struct Offsets {
    double dl = 0, dlc = 0, dw = 0, dwc = 0;
};

Offsets offsets(const Model& m, double l, double w)
{
    Offsets o;
    const double ln = std::pow(l, m.lln), wn = std::pow(w, m.lwn);
    o.dl = m.lint + m.ll / ln + m.lw / wn + m.lwl / (ln * wn);
    o.dlc = orelse(m.dlcgiven, m.dlc, m.lint) + orelse(m.llcgiven, m.llc, m.ll) / ln
        + orelse(m.lwcgiven, m.lwc, m.lw) / wn + orelse(m.lwlcgiven, m.lwlc, m.lwl) / (ln * wn);
    const double lw = std::pow(l, m.wln), ww = std::pow(w, m.wwn);
    o.dw = m.wint + m.wl / lw + m.ww / ww + m.wwl / (lw * ww);
    o.dwc = orelse(m.dwcgiven, m.dwc, m.wint) + orelse(m.wlcgiven, m.wlc, m.wl) / lw
        + orelse(m.wwcgiven, m.wwc, m.ww) / ww + orelse(m.wwlcgiven, m.wwlc, m.wwl) / (lw * ww);
    return o;
}

// A junction's built-in potential as given, raised to 0.1 V.
double atleast(double pb, const char* name, Findings& found)
{
    if (pb >= 0.1)
        return pb;
    found.warnings.push_back(std::string(name) + " is less than 0.1 V: 0.1 V is used");
    return 0.1;
}

// A junction's built-in potential at the temperature step `dt`, kept above 10 mV.
double potential(double pb, double slope, double dt, const char* name, Findings& found)
{
    double v = pb - slope * dt;
    if (v < 0.01) {
        found.warnings.push_back(
            std::string("the temperature has taken ") + name + " below 0.01 V: it is held at 0.01 V");
        v = 0.01;
    }
    return v;
}

// A junction capacitance per area or length at the temperature step `dt`, clamped at zero.
double capacitance(double c, double slope, double dt, const char* name, Findings& found)
{
    const double factor = 1 + slope * dt;
    if (factor >= 0)
        return c * factor;
    if (c > 0)
        found.warnings.push_back(
            std::string("the temperature has made ") + name + " negative: it is held at zero");
    return 0;
}

Junction junction(const Model& m, const Constants& c, double area, double perimeter, double js, double jsw)
{
    Junction j;
    j.saturation = area <= 0 && perimeter <= 0 ? 1e-14 : area * js + perimeter * jsw;
    if (j.saturation > 0 && m.ijth > 0) {
        j.linear = true;
        j.vjm = c.nvtm * std::log(m.ijth / j.saturation + 1);
        j.isevjm = j.saturation * std::exp(j.vjm / c.nvtm);
    }
    return j;
}

// The zero-bias capacitances of a side: its bottom, its sidewall along the field oxide and along the
// gate (the part of the perimeter the channel's width takes).
void junctioncapacitances(
    Junction& j, double area, double perimeter, double weff, double cj, double cjsw, double cjswg)
{
    j.bottom = cj * area;
    if (perimeter < weff) {
        j.sidewall = 0;
        j.gateside = cjswg * perimeter;
    } else {
        j.sidewall = cjsw * (perimeter - weff);
        j.gateside = cjswg * weff;
    }
}

// The fatal faults of the resolved values, as the model checks them.
void fatalchecks(const Model& m, const Constants& c, Findings& found)
{
    const double* p = c.p;
    struct Fault {
        bool bad;
        const char* text;
        double value;
    };
    const Fault faults[] = {
        { p[Nlx] < -c.leff, "Nlx = %g is less than -Leff", p[Nlx] },
        { m.tox <= 0, "Tox = %g is not positive", m.tox },
        { orelse(m.toxmgiven, m.toxm, m.tox) <= 0, "Toxm = %g is not positive",
            orelse(m.toxmgiven, m.toxm, m.tox) },
        { m.lintnoi > c.leff / 2, "Lintnoi = %g is too large: Leff for noise is negative", m.lintnoi },
        { p[Npeak] <= 0, "Nch = %g is not positive", p[Npeak] },
        { p[Nsub] <= 0, "Nsub = %g is not positive", p[Nsub] },
        { p[Ngate] < 0, "Ngate = %g is negative", p[Ngate] },
        { p[Ngate] > 1e25, "Ngate = %g is too high", p[Ngate] },
        { p[Xj] <= 0, "Xj = %g is not positive", p[Xj] },
        { p[Dvt1] < 0, "Dvt1 = %g is negative", p[Dvt1] },
        { p[Dvt1w] < 0, "Dvt1w = %g is negative", p[Dvt1w] },
        { p[W0] == -c.weff, "W0 = %g makes W0 + Weff zero", p[W0] },
        { p[Dsub] < 0, "Dsub = %g is negative", p[Dsub] },
        { p[B1] == -c.weff, "B1 = %g makes B1 + Weff zero", p[B1] },
        { c.u0temp <= 0, "U0 at the present temperature = %g is not positive", c.u0temp },
        { p[Delta] < 0, "Delta = %g is negative", p[Delta] },
        { c.vsattemp <= 0, "Vsat at the present temperature = %g is not positive", c.vsattemp },
        { p[Pclm] <= 0, "Pclm = %g is not positive", p[Pclm] },
        { p[Drout] < 0, "Drout = %g is negative", p[Drout] },
        { m.ijth < 0, "Ijth = %g is negative", m.ijth },
        { p[Clc] < 0, "Clc = %g is negative", p[Clc] },
    };
    for (const Fault& f : faults) {
        if (f.bad) {
            found.fatal = format(f.text, f.value);
            return;
        }
    }
}

// The warnings of the resolved values; some adjust the value they warn of.
void warnings(const Model& m, const Geometry& g, Constants& c, Findings& found)
{
    double* p = c.p;
    auto warn = [&](bool bad, const char* text, double value) {
        if (bad)
            found.warnings.push_back(format(text, value));
    };
    warn(p[Pscbe2] <= 0, "Pscbe2 = %g is not positive", p[Pscbe2]);
    if (m.cjsw > 0 || orelse(m.cjswggiven, m.cjswg, m.cjsw) > 0) {
        warn(g.pd < c.weff, "Pd = %g is less than W", g.pd);
        warn(g.ps < c.weff, "Ps = %g is less than W", g.ps);
    }
    warn(p[Noff] < 0.1, "Noff = %g is too small", p[Noff]);
    warn(p[Noff] > 4, "Noff = %g is too large", p[Noff]);
    warn(p[Voffcv] < -0.5, "Voffcv = %g is too small", p[Voffcv]);
    warn(p[Voffcv] > 0.5, "Voffcv = %g is too large", p[Voffcv]);
    warn(p[Moin] < 5, "Moin = %g is too small", p[Moin]);
    warn(p[Moin] > 25, "Moin = %g is too large", p[Moin]);
    if (m.capmod == 3) {
        warn(p[Acde] < 0.4, "Acde = %g is too small", p[Acde]);
        warn(p[Acde] > 1.6, "Acde = %g is too large", p[Acde]);
    }
    if (m.paramchk != 1)
        return;
    warn(c.leff <= 5e-8, "Leff = %g may be too small", c.leff);
    warn(c.leffcv <= 5e-8, "Leff for C-V = %g may be too small", c.leffcv);
    warn(c.weff <= 1e-7, "Weff = %g may be too small", c.weff);
    warn(c.weffcv <= 1e-7, "Weff for C-V = %g may be too small", c.weffcv);
    warn(p[Nlx] < 0, "Nlx = %g is negative", p[Nlx]);
    warn(m.tox < 1e-9, "Tox = %g is less than 10 A", m.tox);
    warn(p[Npeak] <= 1e15, "Nch = %g may be too small", p[Npeak]);
    warn(p[Npeak] >= 1e21, "Nch = %g may be too large", p[Npeak]);
    warn(p[Nsub] <= 1e14, "Nsub = %g may be too small", p[Nsub]);
    warn(p[Nsub] >= 1e21, "Nsub = %g may be too large", p[Nsub]);
    warn(p[Ngate] > 0 && p[Ngate] <= 1e18, "Ngate = %g is less than 1e18 cm^-3", p[Ngate]);
    warn(p[Dvt0] < 0, "Dvt0 = %g is negative", p[Dvt0]);
    warn(std::fabs(1e-6 / (p[W0] + c.weff)) > 10, "W0 = %g makes W0 + Weff too small", p[W0]);
    warn(p[Nfactor] < 0, "Nfactor = %g is negative", p[Nfactor]);
    warn(p[Cdsc] < 0, "Cdsc = %g is negative", p[Cdsc]);
    warn(p[Cdscd] < 0, "Cdscd = %g is negative", p[Cdscd]);
    warn(p[Eta0] < 0, "Eta0 = %g is negative", p[Eta0]);
    warn(std::fabs(1e-6 / (p[B1] + c.weff)) > 10, "B1 = %g makes B1 + Weff too small", p[B1]);
    if (p[A2] < 0.01) {
        warn(true, "A2 = %g is too small: 0.01 is used", p[A2]);
        p[A2] = 0.01;
    } else if (p[A2] > 1) {
        warn(true, "A2 = %g is larger than 1: A2 = 1 and A1 = 0 are used", p[A2]);
        p[A2] = 1;
        p[A1] = 0;
    }
    if (p[Rdsw] < 0) {
        warn(true, "Rdsw = %g is negative: zero is used", p[Rdsw]);
        p[Rdsw] = 0;
        c.rds0 = 0;
    } else if (c.rds0 > 0 && c.rds0 < 0.001) {
        warn(true, "Rds at the present temperature = %g is less than 0.001 ohm: zero is used", c.rds0);
        c.rds0 = 0;
    }
    warn(c.vsattemp < 1e3, "Vsat at the present temperature = %g may be too small", c.vsattemp);
    warn(p[Pdibl1] < 0, "Pdiblc1 = %g is negative", p[Pdibl1]);
    warn(p[Pdibl2] < 0, "Pdiblc2 = %g is negative", p[Pdibl2]);
}

} // namespace

void prepare(const Model& m, const Geometry& g, double nominal, double kelvin, Constants& c, Findings& found)
{
    const int32_t type = m.polarity;
    c.kelvin = kelvin;
    c.tox = m.tox;
    c.cox = OxidePermittivity / m.tox;
    c.tratio = kelvin / nominal;
    c.vtm = KOverQ * kelvin;
    c.factor1 = std::sqrt(SiliconPermittivity / OxidePermittivity * m.tox);
    const double vtm0 = KOverQ * nominal;
    const double eg0 = 1.16 - 7.02e-4 * nominal * nominal / (nominal + 1108);
    const double ni = 1.45e10 * (nominal / 300.15) * std::sqrt(nominal / 300.15)
        * std::exp(21.5565981 - eg0 / (2 * vtm0));
    const double eg = 1.16 - 7.02e-4 * kelvin * kelvin / (kelvin + 1108);
    c.vcrit = criticalvoltage(thermalvoltage(ReferenceTemperature), 1e-14);

    // The junctions at temperature.
    double js = m.js;
    double jsw = m.jsw;
    if (kelvin != nominal) {
        const double t = std::exp((eg0 / vtm0 - eg / c.vtm + m.xti * std::log(kelvin / nominal)) / m.nj);
        js *= t;
        jsw *= t;
    }
    js = std::max(js, 0.0);
    jsw = std::max(jsw, 0.0);
    const double dt = kelvin - nominal;
    const double cj = capacitance(m.cj, m.tcj, dt, "cj", found);
    const double cjsw = capacitance(m.cjsw, m.tcjsw, dt, "cjsw", found);
    const double cjswg = capacitance(orelse(m.cjswggiven, m.cjswg, m.cjsw), m.tcjswg, dt, "cjswg", found);
    c.phib = potential(atleast(m.pb, "pb", found), m.tpb, dt, "pb", found);
    c.phibsw = potential(atleast(m.pbsw, "pbsw", found), m.tpbsw, dt, "pbsw", found);
    c.phibswg = potential(
        atleast(orelse(m.pbswggiven, m.pbswg, m.pbsw), "pbswg", found), m.tpbswg, dt, "pbswg", found);
    c.mj = m.mj;
    c.mjsw = m.mjsw;
    c.mjswg = orelse(m.mjswggiven, m.mjswg, m.mjsw);
    c.nvtm = c.vtm * m.nj;

    // The effective size and the binned parameters there.
    const Offsets o = offsets(m, g.l, g.w);
    c.leff = g.l + m.xl - 2 * o.dl;
    c.weff = g.w + m.xw - 2 * o.dw;
    c.leffcv = g.l + m.xl - 2 * o.dlc;
    c.weffcv = g.w + m.xw - 2 * o.dwc;
    if (c.leff <= 0 || c.weff <= 0 || c.leffcv <= 0 || c.weffcv <= 0) {
        found.fatal = c.leff <= 0 ? "the effective channel length is not positive"
            : c.weff <= 0         ? "the effective channel width is not positive"
            : c.leffcv <= 0       ? "the effective channel length for C-V is not positive"
                                  : "the effective channel width for C-V is not positive";
        return;
    }
    const double unit = m.binunit == 1 ? 1e-6 : 1;
    const double invl = unit / c.leff, invw = unit / c.weff, invlw = unit * unit / (c.leff * c.weff);
    double* p = c.p;
    for (std::size_t k = 0; k < BinnedCount; ++k)
        p[k] = m.bin[k][Base] + m.bin[k][ByLength] * invl + m.bin[k][ByWidth] * invw
            + m.bin[k][ByArea] * invlw;
    // Base values whose defaults depend on the type, the mobility model or another parameter.
    if (!m.given[U0])
        p[U0] += type > 0 ? 0.067 : 0.025;
    if (!m.given[Uc])
        p[Uc] += m.mobmod == 3 ? -0.0465 : -0.0465e-9;
    if (!m.given[Uc1])
        p[Uc1] += m.mobmod == 3 ? -0.056 : -0.056e-9;
    if (!m.given[Dsub])
        p[Dsub] += m.bin[Drout][Base];

    c.abulkcvfactor = 1 + std::pow(p[Clc] / c.leffcv, p[Cle]);
    const double t0 = c.tratio - 1;
    p[Ua] += p[Ua1] * t0;
    p[Ub] += p[Ub1] * t0;
    p[Uc] += p[Uc1] * t0;
    if (p[U0] > 1)
        p[U0] /= 1e4; // given in cm2/Vs
    c.u0temp = p[U0] * std::pow(c.tratio, p[Ute]);
    c.vsattemp = p[Vsat] - p[At] * t0;
    c.rds0 = (p[Rdsw] + p[Prt] * t0) / std::pow(c.weff * 1e6, p[Wr]);

    const double toxm = orelse(m.toxmgiven, m.toxm, m.tox);
    fatalchecks(m, c, found);
    if (!found.fatal.empty())
        return;
    warnings(m, g, c, found);

    // Overlaps: the given per-width values, else from the lateral diffusion or the junction depth.
    const double cf
        = m.given[Cf] ? p[Cf] : 2 * OxidePermittivity / std::numbers::pi * std::log(1 + 0.4e-6 / m.tox);
    const double dlc = orelse(m.dlcgiven, m.dlc, m.lint);
    auto overlap = [&](bool given, double value, double cgl) {
        if (given)
            return value;
        return m.dlcgiven && dlc > 0 ? dlc * c.cox - cgl : 0.6 * p[Xj] * c.cox;
    };
    double cgdo = overlap(m.cgdogiven, m.cgdo, p[Cgdl]);
    double cgso = overlap(m.cgsogiven, m.cgso, p[Cgsl]);
    double cgbo = m.cgbogiven ? m.cgbo : 2 * orelse(m.dwcgiven, m.dwc, m.wint) * c.cox;
    if (m.paramchk == 1) {
        double* values[] = { &cgdo, &cgso, &cgbo };
        const char* names[] = { "cgdo = %g is negative: zero is used", "cgso = %g is negative: zero is used",
            "cgbo = %g is negative: zero is used" };
        for (int i = 0; i < 3; ++i) {
            if (*values[i] < 0) {
                found.warnings.push_back(format(names[i], *values[i]));
                *values[i] = 0;
            }
        }
    }
    c.cgdo = (cgdo + cf) * c.weffcv;
    c.cgso = (cgso + cf) * c.weffcv;
    c.cgbo = cgbo * c.leffcv;
    c.tconst = c.u0temp * p[Elm] / (c.cox * c.weffcv * c.leffcv * c.leffcv * c.leffcv);

    // The doping, the surface potential and the body effect.
    if (!m.given[Npeak] && m.given[Gamma1]) {
        const double t = p[Gamma1] * c.cox;
        p[Npeak] = 3.021e22 * t * t;
    }
    c.phi = 2 * vtm0 * std::log(p[Npeak] / ni);
    c.sqrtphi = std::sqrt(c.phi);
    c.phis3 = c.sqrtphi * c.phi;
    c.xdep0 = std::sqrt(2 * SiliconPermittivity / (Charge * p[Npeak] * 1e6)) * c.sqrtphi;
    c.litl = std::sqrt(3 * p[Xj] * m.tox);
    c.vbi = vtm0 * std::log(1e20 * p[Npeak] / (ni * ni));
    c.cdep0 = std::sqrt(Charge * SiliconPermittivity * p[Npeak] * 1e6 / 2 / c.phi);
    c.ldeb = std::sqrt(SiliconPermittivity * vtm0 / (Charge * p[Npeak] * 1e6)) / 3;
    p[Acde] *= std::pow(p[Npeak] / 2e16, -0.25);

    if (m.given[K1] || m.given[K2]) {
        if (!m.given[K1]) {
            found.warnings.push_back("k1 should be given with k2: 0.53 is used");
            p[K1] = 0.53;
        }
        if (!m.given[K2]) {
            found.warnings.push_back("k2 should be given with k1: -0.0186 is used");
            p[K2] = -0.0186;
        }
        const Binned ignored[] = { Nsub, Xt, Vbx, Gamma1, Gamma2 };
        const char* names[] = { "nsub", "xt", "vbx", "gamma1", "gamma2" };
        for (int i = 0; i < 5; ++i) {
            if (m.given[ignored[i]])
                found.warnings.push_back(std::string(names[i]) + " is ignored because k1 or k2 is given");
        }
    } else {
        if (!m.given[Vbx])
            p[Vbx] = c.phi - 7.7348e-4 * p[Npeak] * p[Xt] * p[Xt];
        if (p[Vbx] > 0)
            p[Vbx] = -p[Vbx];
        if (p[Vbm] > 0)
            p[Vbm] = -p[Vbm];
        if (!m.given[Gamma1])
            p[Gamma1] = 5.753e-12 * std::sqrt(p[Npeak]) / c.cox;
        if (!m.given[Gamma2])
            p[Gamma2] = 5.753e-12 * std::sqrt(p[Nsub]) / c.cox;
        const double t1 = std::sqrt(c.phi - p[Vbx]) - c.sqrtphi;
        const double t2 = std::sqrt(c.phi * (c.phi - p[Vbm])) - c.phi;
        p[K2] = (p[Gamma1] - p[Gamma2]) * t1 / (2 * t2 + p[Vbm]);
        p[K1] = p[Gamma2] - 2 * p[K2] * std::sqrt(c.phi - p[Vbm]);
    }
    if (p[K2] < 0) {
        const double t = 0.5 * p[K1] / p[K2];
        c.vbsc = std::clamp(0.9 * (c.phi - t * t), -30.0, -3.0);
    } else {
        c.vbsc = -30;
    }
    c.vbsc = std::min(c.vbsc, p[Vbm]);
    if (!m.given[Vfb])
        p[Vfb] = m.given[Vth0] ? type * p[Vth0] - c.phi - p[K1] * c.sqrtphi : -1;
    if (!m.given[Vth0])
        p[Vth0] = type * (p[Vfb] + c.phi + p[K1] * c.sqrtphi);
    c.vth0 = p[Vth0];
    c.vfb = p[Vfb];
    c.k1ox = p[K1] * m.tox / toxm;
    c.k2ox = p[K2] * m.tox / toxm;

    // The drain-induced barrier lowering and output resistance factors, and the flat band voltage
    // at zero bias.
    const double lt = std::sqrt(SiliconPermittivity / OxidePermittivity * m.tox * c.xdep0);
    c.theta0vb0 = rolloff(-0.5 * p[Dsub] * c.leff / lt);
    c.thetarout = p[Pdibl1] * rolloff(-0.5 * p[Drout] * c.leff / lt) + p[Pdibl2];
    const double lt0 = c.factor1 * std::sqrt(c.xdep0);
    const double v0 = c.vbi - c.phi;
    const double narrow = p[Dvt0w] * rolloff(-0.5 * p[Dvt1w] * c.weff * c.leff / lt0) * v0;
    const double shortchannel = p[Dvt0] * rolloff(-0.5 * p[Dvt1] * c.leff / lt0) * v0;
    const double width = m.tox * c.phi / (c.weff + p[W0]);
    const double lateral = c.k1ox * (std::sqrt(1 + p[Nlx] / c.leff) - 1) * c.sqrtphi
        + (p[Kt1] + p[Kt1l] / c.leff) * (c.tratio - 1);
    const double vth = type * p[Vth0] - narrow - shortchannel + p[K3] * width + lateral;
    c.vfbzb = vth - c.phi - p[K1] * c.sqrtphi;

    // Series resistances and the junctions.
    c.gdrain = m.rsh * g.nrd > 0 ? 1 / (m.rsh * g.nrd) : 0;
    c.gsource = m.rsh * g.nrs > 0 ? 1 / (m.rsh * g.nrs) : 0;
    c.drain = junction(m, c, g.ad, g.pd, js, jsw);
    c.source = junction(m, c, g.as, g.ps, js, jsw);
    junctioncapacitances(c.drain, g.ad, g.pd, c.weff, cj, cjsw, cjswg);
    junctioncapacitances(c.source, g.as, g.ps, c.weff, cj, cjsw, cjswg);
}

} // namespace nerith::bsim3
