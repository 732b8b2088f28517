#include "simulator/models/builtin/rtwire.h"

#include "engines/nerith/circuit.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/simlog.h"

#include <cmath>

RTPPROBE::RTPPROBE(
    const char* partname, PRIMITIVE* primitive, const SDF_MODEL* modelrecord, const PROPLIST* list)
    : INTMODEL(partname, primitive, modelrecord, list)
{
    event.sheet = 0xFFFFFFFF;
    readidentity(event, getproperty("PIN"));
}

void RTPPROBE::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    SDF_PIN* pin = pins.ptr(0);
    state = nullptr;
    if (pins.count != 1 || !pin->net || !pallex_linknet(pin->net, &state)) {
        state = nullptr;
        return;
    }
    event.kind = ACTIVEEVENT::KIND_PINSTATE;
    event.words[0] = 0;
    TRACE_NETTYPES.trace("Pin probe on %s is digital", pin->net);
}

int RTPPROBE::activeevents(double time, DPA* list)
{
    if (!state)
        return 0;
    if (run != RUNMODE_PAUSED)
        reportstate(event, time, *state, list);
    return 1;
}

RTWPROBE::RTWPROBE(
    const char* partname, PRIMITIVE* primitive, const SDF_MODEL* modelrecord, const PROPLIST* list)
    : INTMODEL(partname, primitive, modelrecord, list)
{
    event.sheet = 0xFFFFFFFF;
    readidentity(event, getproperty("WIRE"));
}

void RTWPROBE::bindmodel(INPtables*, IFcircuit* circuit)
{
    bool digitalside = false;
    for (SDF_PIN* pin : pins)
        digitalside = digitalside || (pin->net && !(netflags(pin->net) & (NET_ANALOG | NET_POWER)));
    if (!digitalside) {
        event.kind = ACTIVEEVENT::KIND_WIREVALUES;
        event.value = event.extra = NAN;
        voltage = current = 0;
        bindanalog(circuit);
        bindpins(circuit);
        return;
    }
    event.kind = ACTIVEEVENT::KIND_WIRESTATE;
    event.words[0] = 0;
    SDF_PIN* first = pins.ptr(0);
    SDF_PIN* second = pins.ptr(1);
    pallex_create(this, "DPROBE", &properties, nullptr, &probe);
    pallex_connect(probe, "*", PIN_IP, first->net, nullptr);
    if (pins.count == 2 && second->net) {
        pallex_mergenets(first->net, second->net);
        TRACE_NETTYPES.trace("Wire %s has merged nets {N:%s} and {N:%s}", name, first->net, second->net);
    }
}

void RTWPROBE::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    gwire = 0;
    if (owner)
        owner->getoption("GWIRE", &gwire);
}

void RTWPROBE::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    if (!twoends())
        return;
    if (gwire != 0)
        conductance.fetch(circuit, nodes[0], nodes[1]);
    else
        wire.fetch(circuit, instance, nodes[0], nodes[1]);
}

void RTWPROBE::loaddc(double, uint32_t, const double*, double*)
{
    if (!twoends())
        return;
    if (gwire != 0)
        conductance.load(gwire);
    else
        wire.load();
}

void RTWPROBE::read(const double* solution)
{
    if (!solution || nodes.empty())
        return;
    double one = solution[nodes[0]];
    double two = twoends() ? solution[nodes[1]] : one;
    voltage = (one + two) / 2;
    current = wire.branch ? solution[wire.branch] : (one - two) * gwire;
}

int RTWPROBE::activeevents(double time, DPA* list)
{
    if (!spiceinstance && !probe)
        return 0;
    if (run == RUNMODE_PAUSED)
        return 1;
    if (probe) {
        STATE state = 0;
        pallex_peekpin(probe, 0, &state);
        reportstate(event, time, state, list);
        return 1;
    }
    // The circuit shows the tick, which may lie between two of the engine's points.
    if (spiceckt)
        read(spiceckt->solution());
    if (time != 0 && voltage == event.value && current == event.extra)
        return 1;
    event.value = voltage;
    event.extra = current;
    list->add(&event, -1);
    return 1;
}
