#include "simulator/models/builtin/rtmeter.h"

#include "engines/nerith/circuit.h"
#include "simulator/kernel/circuit.h"

#include <cmath>
#include <strings.h>

namespace {

RTMETER::MODE readmode(const char* text)
{
    const char* const names[] = { "SNAPSHOT", "PEAK", "RMS", "CONTINUOUS" };
    for (int i = 0; text && i < 4; ++i)
        if (strcasecmp(text, names[i]) == 0)
            return static_cast<RTMETER::MODE>(i);
    return RTMETER::SNAPSHOT;
}

} // namespace

RTMETER::RTMETER(bool currentmeter, const char* partname, PRIMITIVE* primitive, const SDF_MODEL* modelrecord,
    const PROPLIST* list)
    : INTMODEL(partname, primitive, modelrecord, list)
    , current(currentmeter)
{
    event.sheet = 0xFFFFFFFF;
    event.kind = ACTIVEEVENT::KIND_VALUE;
}

void RTMETER::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    active = setidentity(event, this, owner);
    event.kind = ACTIVEEVENT::KIND_VALUE;
    event.value = NAN;
    mode = readmode(getproperty("MODE"));
    scale = getnumval("SCALE", 0);
    min = getnumval("MIN", 0);
    max = getnumval("MAX", 1);
    load = 0;
    double resistance = 0;
    if (current || !owner || !owner->evalproperty("LOAD", name, getproperty("LOAD"), &resistance, 0))
        return;
    if (resistance == 0)
        warning("Zero LOAD value ignored in %s", name);
    else
        load = 1.0 / resistance;
}

void RTMETER::setrunmode(int32_t runmode)
{
    run = runmode;
    if (runmode == RUNMODE_PAUSED)
        return;
    times.clear();
    samples.clear();
    peak = 0;
}

double RTMETER::tickreading() const
{
    if (mode == PEAK && run != RUNMODE_PAUSED)
        return peak;
    if (mode != RMS)
        return reading;
    if (samples.empty())
        return reading;
    double squares = 0;
    for (double sample : samples)
        squares += sample * sample;
    return std::sqrt(squares / static_cast<double>(samples.size()));
}

int RTMETER::activeevents(double time, DPA* list)
{
    if (!active)
        return 0;
    // The circuit shows the tick itself, which may lie between two of the engine's points.
    const double* present = spiceckt && run != RUNMODE_PAUSED ? spiceckt->solution() : nullptr;
    if (mode != CONTINUOUS) {
        if (present && mode != RMS) {
            reading = quantity(present);
            peak = std::max(peak, reading);
        }
        reportvalue(event, time, shownreading(tickreading(), scale, min, max), list);
        return 1;
    }
    if (run == RUNMODE_PAUSED && !current)
        return 1;
    if (present && (times.empty() || times.back() < time))
        sample(time, present);
    // A channel per sample of a time point: one current, or the voltage of every pin.
    size_t channels = current ? 1 : nodes.size();
    reportbuffer(event, ACTIVEEVENT::KIND_BUFFER, times.size(), channels, times.data(), samples.data(), list);
    return 1;
}

void RTMETER::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    int32_t p = nodes.size() > 0 ? nodes[0] : 0;
    int32_t q = nodes.size() > 1 ? nodes[1] : 0;
    if (current)
        ammeter.fetch(circuit, instance, p, q);
    else if (load != 0)
        loadstamp.fetch(circuit, p, q);
}

void RTMETER::loaddc(double, uint32_t flags, const double*, double*)
{
    if (flags & MODE_INITJCT)
        reading = 0;
    if (current)
        ammeter.load();
    else
        loadstamp.load(load);
}

double RTMETER::quantity(const double* solution) const
{
    return current ? (ammeter.branch ? solution[ammeter.branch] : 0.0) : pinvoltage(*this, solution);
}

void RTMETER::acceptstep(double time, const double* solution)
{
    if (!active || !solution)
        return;
    double value = quantity(solution);
    switch (mode) {
    case SNAPSHOT:
    case PEAK:
        reading = value;
        peak = std::max(peak, value);
        break;
    case RMS:
        samples.push_back(value);
        break;
    case CONTINUOUS:
        sample(time, solution);
        break;
    }
}

void RTMETER::sample(double time, const double* solution)
{
    times.push_back(time);
    if (current) {
        samples.push_back(quantity(solution));
        return;
    }
    for (int32_t node : nodes)
        samples.push_back(solution[node]);
}
