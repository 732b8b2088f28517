#include "simulator/models/builtin/adc.h"

#include "engines/nerith/circuit.h"
#include "engines/pallex/circuit.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/simlog.h"

#include <algorithm>
#include <cmath>

namespace {

double conductance(double resistance)
{
    return resistance == 0 ? 0 : 1 / resistance;
}

int64_t picoseconds(double seconds)
{
    return std::llround(seconds / 1e-12);
}

} // namespace

void ADC::bindpins(IFcircuit* circuit)
{
    ITFMODEL::bindpins(circuit);
    SDF_PIN* input = findpin("A");
    if (input && input->net && (netflags(input->net) & NET_POWER)) {
        TRACE_ITFMODS.trace("Input of ADC '%s' is connected to power rail {N:%s}", name, input->net);
        high = STATE_PHI;
        low = STATE_PLO;
        undefined = STATE_PUD;
    }
}

void ADC::initialise(CIRCUIT* owner, void* argument)
{
    ITFMODEL::initialise(owner, argument);
    if (power)
        TRACE_ITFMODS.trace("ADC %s Using power interface: %s", name, power->name);
    vtl = readlevel("VTL", 30, 30);
    vhl = readlevel("VHL", 10, 10, &vtl.absolute);
    vth = readlevel("VTH", 70, 70);
    vhh = readlevel("VHH", 10, 10, &vth.absolute);
    rpos = conductance(getnumval("RPOS", 0));
    rneg = conductance(getnumval("RNEG", 0));
    INETINFO* net = getpinnet("A");
    ttol = net ? net->getnumval("TTOL", 0) : 0;
    double circuitttol = 0;
    if (ttol == 0 && owner && owner->getoption("TTOL", &circuitttol))
        ttol = 10 * circuitttol;
}

int ADC::setlink(COMPONENT* part)
{
    SDF_PIN* d = findpin("D");
    if (!link && d && d->net)
        pallex_linkadc(d->net, &link);
    else if (link)
        power = part;
    return part && !link ? 0 : 1;
}

void ADC::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    ITFMODEL::bindspice(instance, circuit);
    if (rpos != 0)
        pullup.fetch(circuit, a, vplus);
    if (rneg != 0)
        pulldown.fetch(circuit, a, vminus);
}

void ADC::loaddc(double, uint32_t mode, const double*, double*)
{
    if (mode & MODE_INITJCT) {
        present = pending = decided = 0;
        vprevious = 0;
        requests = 0;
    }
    pullup.load(rpos);
    pulldown.load(rneg);
}

void ADC::loadac(double, double*, double*)
{
    pullup.load(rpos);
    pulldown.load(rneg);
}

void ADC::acceptstep(double, const double* solution)
{
    vprevious = across(solution, a);
    pending = decided;
    requests = 0;
}

void ADC::post(double time, STATE state, const char* speed)
{
    TRACE_ITFMODS.tracedetail(
        "ADC %s posting %s state transition %02X->%02X for time %.10lg", name, speed, present, state, time);
    pallexckt->setcallback(picoseconds(time), this, static_cast<intptr_t>(state));
}

void ADC::simulate(int64_t, uint32_t mode)
{
    if (!(mode & SIM_ANALOG) || !spiceckt || !pallexckt)
        return;
    double t = query(QUERY_TIME, 0);
    double tprev = t - query(QUERY_STEP, 0);
    const double* solution = spiceckt->solution();
    double vin = across(solution, a);
    double supply = span(solution);
    double lowlevel = vtl.volts(supply);
    double lowhysteresis = vhl.volts(supply);
    double highlevel = vth.volts(supply);
    double highhysteresis = vhh.volts(supply);

    // The time the input crossed the level within the step.
    auto crossing
        = [&](double level) { return ((level - vin) * tprev + (vprevious - level) * t) / (vprevious - vin); };
    STATE next = pending;
    double arrival = 0;
    double leave = 0;
    if (vin >= highlevel) {
        next = high;
        arrival = crossing(highlevel);
        leave = present == low ? crossing(lowlevel + lowhysteresis) : arrival;
    } else if (vin <= lowlevel) {
        next = low;
        arrival = crossing(lowlevel);
        leave = present == high ? crossing(highlevel - highhysteresis) : arrival;
    } else if (present == high && vin < highlevel - highhysteresis) {
        next = undefined;
        arrival = leave = crossing(highlevel - highhysteresis);
    } else if (present == low && vin > lowlevel + lowhysteresis) {
        next = undefined;
        arrival = leave = crossing(lowlevel + lowhysteresis);
    }
    decided = next;
    if (tprev < t && vin != vprevious) {
        arrival = std::clamp(arrival, tprev, t);
        leave = std::clamp(leave, tprev, t);
    } else {
        arrival = leave = t;
    }

    if (next != present) {
        if (arrival <= leave || arrival - leave <= 10 * minstep) {
            post(arrival, next, "fast");
        } else {
            post(leave, undefined, "slow");
            post(arrival, next, "slow");
        }
    }
    // A crossing well inside the step is found again on a time point next to it.
    if (ttol != 0 && arrival > tprev + ttol && arrival < t - ttol) {
        double at = requests == 0 ? arrival + ttol / 2 : (tprev + arrival) / 2;
        ++requests;
        pallexckt->requesttime(picoseconds(at));
    }
}

void ADC::callback(int64_t time, intptr_t value)
{
    auto state = static_cast<STATE>(value);
    TRACE_ITFMODS.tracedetail("ADC %s processing state transition %02X->%02X at time %.10lg", name, present,
        state, static_cast<double>(time) * 1e-12);
    pallex_postadc(link, state);
    present = state;
}
