#include "simulator/models/builtin/rtswitch.h"

#include "core/text/values.h"
#include "engines/nerith/circuit.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/simlog.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

// The conductance of a closed switch of no resistance.
constexpr double SHORTCONDUCTANCE = 1000;
// A digital switch is closed below this resistance.
constexpr double DIGITALCLOSED = 1000;

// R(n)'s text; null when the part has no such property.
const char* positiontext(const COMPONENT* part, int32_t position)
{
    char property[32];
    snprintf(property, sizeof property, "R(%d)", position);
    return part->getproperty(property);
}

bool isoff(const char* text)
{
    return text && strcasecmp(text, "OFF") == 0;
}

} // namespace

int RTSWITCH::isanalogpin(SDF_PIN*)
{
    return primitiveis("ANALOG");
}

int RTSWITCH::isdigitalpin(SDF_PIN*)
{
    return primitiveis("DIGITAL");
}

int RTSWITCH::isdualpin(SDF_PIN*)
{
    return !primitiveis("ANALOG") && !primitiveis("DIGITAL");
}

void RTSWITCH::bindmodel(INPtables*, IFcircuit* circuit)
{
    bool analogside = primitiveis("ANALOG");
    if (!analogside && !primitiveis("DIGITAL")) {
        for (SDF_PIN* pin : pins)
            analogside = analogside
                || (pin->net && (netflags(pin->net) & NET_ANALOG) && !(netflags(pin->net) & NET_POWER));
    }
    SDF_PIN* first = pins.ptr(0);
    SDF_PIN* second = pins.ptr(1);
    const char* one = first && first->net ? first->net : "";
    const char* two = second && second->net ? second->net : "";
    if (analogside) {
        bindanalog(circuit);
        bindpins(circuit);
        TRACE_NETTYPES.trace("RTSWITCH %s connecting {N:%s} and {N:%s} is analog.", name, one, two);
        return;
    }
    pallex_create(this, "SWITCH", &properties, nullptr, &pallexmodel);
    pallex_connect(pallexmodel, "A", PIN_IO, one, nullptr);
    pallex_connect(pallexmodel, "B", PIN_IO, two, nullptr);
    TRACE_NETTYPES.trace("RTSWITCH %s connecting {N:%s} and {N:%s} is digital.", name, one, two);
}

void RTSWITCH::adddcpaths(int all, DIDX* index, char* net)
{
    const char* state = getproperty("STATE");
    if (!state)
        return;
    const char* text = positiontext(this, getdefint(state, -1));
    if (text && !isoff(text))
        COMPONENT::adddcpaths(all, index, net);
}

void RTSWITCH::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    event = eventid(this, owner);
    tswitch = getnumval("TSWITCH", 1e-3);
    userevent(event, 0.0, getdefint(getproperty("STATE"), -1));
}

void RTSWITCH::userevent(int32_t id, double time, int32_t data)
{
    if (id != event)
        return;
    changed = time;
    previous = present;
    const char* text = data == -1 ? nullptr : positiontext(this, data);
    if (data == -1 || isoff(text)) {
        resistance = INFINITY;
    } else if (!text) {
        warning("Property R(%d) missing for %s.", data, name);
    } else if (text[0] == '?' || strcasecmp(text, "[NULL]") == 0) {
        resistance = INFINITY;
    } else {
        char property[32];
        snprintf(property, sizeof property, "R(%d)", data);
        double value = 0;
        if (circuit)
            circuit->evalproperty(property, name, text, &value, resistance);
        else
            value = getdefdbl(text, resistance);
        resistance = value;
    }
    target = resistance == 0 ? SHORTCONDUCTANCE : 1.0 / resistance;
    // The ramp starts here: the engine must not step across its corner.
    if (spiceckt && target != previous)
        spiceckt->setbreak(time);
    if (pallexmodel)
        pallex_actuate(pallexmodel, time, resistance < DIGITALCLOSED ? 1 : 0);
}

void RTSWITCH::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    if (nodes.size() >= 2)
        stamp.fetch(circuit, nodes[0], nodes[1]);
}

void RTSWITCH::loaddc(double time, uint32_t mode, const double*, double*)
{
    if (mode & MODE_INITJCT) {
        previous = present = target;
    } else if (mode & (MODE_INITTRAN | MODE_INITPRED)) {
        double elapsed = time - changed;
        if (elapsed >= tswitch)
            present = target;
        else if (elapsed <= 0)
            present = previous;
        else
            present = target * (elapsed / tswitch) + previous * (1 - elapsed / tswitch);
    }
    stamp.load(present);
}

void RTSWITCH::loadac(double, double*, double*)
{
    stamp.load(target);
}

void RTSWITCH::acceptstep(double time, const double*)
{
    if (changed != 0 && changed + tswitch > time && spiceckt)
        spiceckt->setbreak(changed + tswitch);
}
