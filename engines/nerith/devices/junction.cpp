#include "engines/nerith/devices/junction.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/report.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nerith {

double thermalvoltage(double kelvin)
{
    return Boltzmann * kelvin / ElectronCharge;
}

double pnjlim(double proposed, double old, double vt, double critical, bool& limited)
{
    limited = false;
    if (proposed > critical && std::fabs(proposed - old) > 2 * vt) {
        limited = true;
        if (old <= 0)
            return vt * std::log(proposed / vt);
        // Follow the current rather than the voltage: the new voltage is where the linearised
        // current at `old` would have taken the exponential.
        const double arg = 1 + (proposed - old) / vt;
        return arg > 0 ? old + vt * std::log(arg) : critical;
    }
    if (proposed >= 0)
        return proposed;
    // A reverse step at most doubles the reverse voltage (plus a volt), so breakdown is approached
    // gradually.
    const double floor = old > 0 ? -old - 1 : 2 * old - 1;
    if (proposed < floor) {
        limited = true;
        return floor;
    }
    return proposed;
}

double criticalvoltage(double vt, double is)
{
    return vt * std::log(vt / (std::numbers::sqrt2 * is));
}

double fetlim(double proposed, double old, double vto)
{
    const double high = std::fabs(2 * (old - vto)) + 2;
    const double low = std::fabs(old - vto) + 1;
    const double wellon = vto + 3.5;
    const double step = proposed - old;
    if (old >= vto) {
        if (old >= wellon) {
            if (step <= 0) {
                if (proposed >= wellon)
                    return -step > low ? old - low : proposed;
                return std::max(proposed, vto + 2);
            }
            return step >= high ? old + high : proposed;
        }
        return step <= 0 ? std::max(proposed, vto - 0.5) : std::min(proposed, vto + 4);
    }
    if (step <= 0)
        return -step > high ? old - high : proposed;
    const double turnon = vto + 0.5;
    if (proposed > turnon)
        return turnon;
    return step > low ? old + low : proposed;
}

double limvds(double proposed, double old)
{
    if (old >= 3.5) {
        if (proposed > old)
            return std::min(proposed, 3 * old + 2);
        return proposed < 3.5 ? std::max(proposed, 2.0) : proposed;
    }
    return proposed > old ? std::min(proposed, 4.0) : std::max(proposed, -0.5);
}

void limitgatedrain(double& vgs, double& vds, double oldvgs, double oldvds, double von, bool limitreversed)
{
    const double vgd = vgs - vds;
    if (oldvds >= 0) {
        vgs = fetlim(vgs, oldvgs, von);
        vds = limvds(vgs - vgd, oldvds);
        return;
    }
    const double limited = fetlim(vgd, oldvgs - oldvds, von);
    vds = vgs - limited;
    if (limitreversed)
        vds = -limvds(-vds, -oldvds);
    vgs = limited + vds;
}

double limitbulk(double vbs, double vds, double oldvbs, double oldvds, double vt, double sourcevcrit,
    double drainvcrit, bool& limited)
{
    if (vds >= 0)
        return pnjlim(vbs, oldvbs, vt, sourcevcrit, limited);
    return pnjlim(vbs - vds, oldvbs - oldvds, vt, drainvcrit, limited) + vds;
}

Depletion depletion(double v, double cj0, double vj, double m, double fc)
{
    Depletion d;
    if (cj0 == 0)
        return d;
    // x^-m; the usual abrupt junction (m = 1/2) without a logarithm.
    auto power = [m](double x) { return m == 0.5 ? 1 / std::sqrt(x) : std::exp(-m * std::log(x)); };
    const double corner = fc * vj;
    if (v < corner) {
        const double arg = 1 - v / vj;
        const double sarg = power(arg);
        d.charge = vj * cj0 * (1 - arg * sarg) / (1 - m);
        d.capacitance = cj0 * sarg;
        return d;
    }
    // Above the corner the capacitance goes on as the tangent of its curve there.
    const double rest = 1 - fc;
    const double f1 = vj * (1 - rest * power(rest)) / (1 - m);
    const double f2 = rest / power(rest);
    const double f3 = 1 - fc * (1 + m);
    d.charge = cj0 * (f1 + (f3 * (v - corner) + m / (2 * vj) * (v * v - corner * corner)) / f2);
    d.capacitance = cj0 / f2 * (f3 + m * v / vj);
    return d;
}

double energygap(double kelvin)
{
    return 1.16 - 7.02e-4 * kelvin * kelvin / (kelvin + 1108);
}

namespace {

// The part of the built-in potential that the intrinsic carrier density's temperature adds.
double potentialshift(double kelvin)
{
    const double arg = -energygap(kelvin) / (2 * Boltzmann * kelvin)
        + energygap(ReferenceTemperature) / (2 * Boltzmann * ReferenceTemperature);
    return -2 * thermalvoltage(kelvin)
        * (1.5 * std::log(kelvin / ReferenceTemperature) + ElectronCharge * arg);
}

} // namespace

JunctionTemperature junctiontemperature(double vj, double cj0, double m, double tnom, double kelvin)
{
    const double reference = (vj - potentialshift(tnom)) / (tnom / ReferenceTemperature);
    const double oldgamma = (vj - reference) / reference;
    JunctionTemperature t;
    t.potential = potentialshift(kelvin) + kelvin / ReferenceTemperature * reference;
    const double newgamma = (t.potential - reference) / reference;
    t.capacitance = cj0 / (1 + m * (4e-4 * (tnom - ReferenceTemperature) - oldgamma))
        * (1 + m * (4e-4 * (kelvin - ReferenceTemperature) - newgamma));
    return t;
}

double saturationtemperature(double is, double eg, double xti, double n, double tnom, double kelvin)
{
    const double ratio = kelvin / tnom;
    return is * std::exp((ratio - 1) * eg / (n * thermalvoltage(kelvin)) + xti / n * std::log(ratio));
}

namespace {

double kelvin(double celsius)
{
    const double k = celsius + KelvinOffset;
    return std::isfinite(k) && k > 0 ? k : 0;
}

} // namespace

double devicekelvin(const IFcircuit& ckt, bool given, double celsius)
{
    return kelvin(given ? celsius : ckt.options.temp);
}

double nominalkelvin(const IFcircuit& ckt, bool given, double celsius)
{
    return kelvin(given ? celsius : ckt.options.tnom);
}

double terminalpower(const IFcircuit& ckt, bool bound, TerminalCurrent a, TerminalCurrent b, int32_t common)
{
    if (!bound)
        return 0;
    const double* x = ckt.solution.data();
    return a.current * (x[a.node] - x[common]) + b.current * (x[b.node] - x[common]);
}

int junctionfault(const char* kind, const char* device, const char* model, double nominal,
    const char* unusable, double area)
{
    if (nominal == 0)
        return fail(E_BADDEVICE, "%s %s: model %s has a TNOM below absolute zero", kind, device, model);
    if (unusable)
        return fail(E_BADDEVICE, "%s %s: model %s has an unusable %s", kind, device, model, unusable);
    if (!std::isfinite(area) || area <= 0)
        return fail(E_BADDEVICE, "%s %s has an area of %g; it must be positive", kind, device, area);
    return 0;
}

int32_t internalnode(IFcircuit& ckt, IFinstance& owner, Node*& node, const char* suffix)
{
    if (!node) {
        node = &ckt.newnode(identifier(ckt, owner.name, suffix));
        ckt.nodenames.insert(node);
    }
    const int32_t number = ckt.addnode(*node);
    ckt.equations[static_cast<std::size_t>(number)].owner = &owner;
    return number;
}

} // namespace nerith
