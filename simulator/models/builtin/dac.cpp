#include "simulator/models/builtin/dac.h"

#include "engines/nerith/circuit.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/simlog.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

double DAC::readconductance(const char* property, double resistance)
{
    double value = getnumval(property, resistance);
    if (value > 0)
        return 1 / value;
    warning("%s of %s must be above 0; %g is taken.", property, name, resistance);
    return 1 / resistance;
}

void DAC::initialise(CIRCUIT* owner, void* argument)
{
    ITFMODEL::initialise(owner, argument);
    if (power)
        TRACE_ITFMODS.trace("DAC %s Using power interface: %s\n", name, power->name);
    vlo = readlevel("VLO", 0, 0);
    vhi = readlevel("VHI", 100, 5);
    vud = readlevel("VUD", 50, 2.5);
    double rlo = getnumval("RLO", 1);
    double rhi = getnumval("RHI", 1);
    double rud = getnumval("RUD", (rlo + rhi) / 2);
    gslo = readconductance("RSLO", rlo);
    gwlo = readconductance("RWLO", rlo);
    gshi = readconductance("RSHI", rhi);
    gwhi = readconductance("RWHI", rhi);
    gwud = readconductance("RWUD", rud);
    gsud = readconductance("RSUD", rud);
    gts = readconductance("RTS", 1e8);
    trise = getnumval("TRISE", 1e-9);
    tfall = getnumval("TFALL", trise);
    tts = getnumval("TTS", (trise + tfall) / 2);
    const char* ramp = given("RAMP");
    exponential = ramp && strcasecmp(ramp, "EXP") == 0;
    TRACE_ITFMODS.trace("DAC %s  RSHI=%g, RSLO=%g, RWHI=%g, RWLO=%g, RTS=%g, TRISE=%g, TFALL=%g, TTS=%g",
        name, 1 / gshi, 1 / gslo, 1 / gwhi, 1 / gwlo, 1 / gts, trise, tfall, tts);
}

int DAC::setlink(COMPONENT* part)
{
    SDF_PIN* d = findpin("D");
    if (link)
        power = part;
    else if (d && d->net)
        pallex_linkdac(d->net, &edge, &link);
    return part && !link ? 0 : 1;
}

void DAC::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    ITFMODEL::bindspice(instance, circuit);
    stamp.fetch(circuit, a, vminus);
}

void DAC::acceptstep(double time, const double* solution)
{
    STATE state = present;
    double since = 0;
    if (!link || !solution || !pallex_polldac(link, &state, &since) || state == present
        || since > time + 1e-12)
        return;
    double supply = span(solution);
    double high = vhi.volts(supply);
    double low = vlo.volts(supply);
    double undefined = vud.volts(supply);
    double now = across(solution, a);
    TRACE_ITFMODS.tracedetail(
        "DAC %s processing state %02X->%02X with VPR=%g VHI=%g VLO=%g", name, present, state, now, high, low);
    old = output;
    oldconductance = conductance;
    if (!spiceckt->modetest(MODE_INITJCT)) {
        present = state;
        changed = since;
    }
    // The part of the full swing this edge covers; the whole edge time without a swing.
    auto swing = [&](double to) { return high == low ? 1 : std::abs(to - now) / std::abs(high - low); };
    if (floating(state)) {
        target = output;
        targetconductance = gts;
        edge = tts;
    } else if ((state & STATE_LEVEL) == STATE_HIGH) {
        target = high;
        targetconductance = strong(state) ? gshi : gwhi;
        edge = trise * swing(high);
    } else if ((state & STATE_LEVEL) == STATE_LOW) {
        target = low;
        targetconductance = strong(state) ? gslo : gwlo;
        edge = tfall * swing(low);
    } else {
        target = undefined;
        targetconductance = strong(state) ? gsud : gwud;
        edge = (undefined > now ? trise : tfall) * swing(undefined);
    }
    edge = std::max(edge, minstep);
    if (spiceckt->modetest(MODE_DCOP | MODE_TRANOP) || high == low)
        return;
    // A long edge ends on a time point of its own; a short one sets the next step.
    if (edge > 100 * minstep)
        spiceckt->setbreak(time + edge);
    else
        spiceckt->proposestep(edge);
}

void DAC::drive(double volts, double siemens, double* rhs)
{
    output = volts;
    conductance = siemens;
    stamp.load(conductance);
    if (rhs) {
        rhs[a] += output * conductance;
        rhs[vminus] -= output * conductance;
    }
}

void DAC::loaddc(double time, uint32_t mode, const double* solution, double* rhs)
{
    if (mode & MODE_INITJCT) {
        output = 0;
        conductance = gts;
        present = 0;
        changed = edge = 0;
        target = old = 0;
        targetconductance = oldconductance = gts;
    }
    if (mode & (MODE_DCOP | MODE_TRANOP)) {
        acceptstep(time, solution);
        drive(target * sourcefactor(), targetconductance, rhs);
        return;
    }
    if (time < changed || !(mode & (MODE_INITTRAN | MODE_INITPRED))) {
        drive(output, conductance, rhs);
        return;
    }
    double elapsed = time - changed;
    double f = edge == 0 ? 1 : exponential ? 1 - std::exp(-elapsed / edge) : std::min(1.0, elapsed / edge);
    drive(target * f + old * (1 - f), targetconductance * f + oldconductance * (1 - f), rhs);
}

void DAC::loadac(double, double*, double*)
{
    stamp.load(conductance);
}
