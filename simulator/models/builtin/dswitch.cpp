#include "simulator/models/builtin/dswitch.h"

#include "engines/nerith/circuit.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cmath>
#include <strings.h>

namespace {

// The conductance that stands for a resistance of 0.
constexpr double SHORTCONDUCTANCE = 1000;

char initial(const SDF_PIN* pin)
{
    return pin ? pin->name[0] : 0;
}

const char* netof(const SDF_PIN* pin)
{
    return pin && pin->net ? pin->net : "";
}

// An analog net that is no power rail.
bool analognet(const SDF_PIN* pin)
{
    return pin && pin->net && (netflags(pin->net) & NET_ANALOG) && !(netflags(pin->net) & NET_POWER);
}

} // namespace

int DSWITCH::isanalogpin(SDF_PIN*)
{
    return primitiveis("ANALOG");
}

int DSWITCH::isdigitalpin(SDF_PIN* pin)
{
    return primitiveis("DIGITAL") || !pin || initial(pin) == 'E';
}

int DSWITCH::isdualpin(SDF_PIN* pin)
{
    return primitiveis("PASSIVE") && (!pin || initial(pin) == 'A' || initial(pin) == 'B');
}

void DSWITCH::bindmodel(INPtables*, IFcircuit* circuit)
{
    SDF_PIN* a = findpin("A");
    SDF_PIN* b = findpin("B");
    bool analog = primitiveis("ANALOG") || (!primitiveis("DIGITAL") && (analognet(a) || analognet(b)));
    if (!analog) {
        pallex_create(this, "SWITCH", &properties, nullptr, &pallexmodel);
        const struct {
            const char* name;
            SDF_PINTYPE type;
        } sides[] = { { "A", PIN_IO }, { "B", PIN_IO }, { "EN", PIN_IP } };
        for (int i = 0; i < 3 && i < pins.count; ++i)
            pallex_connect(pallexmodel, sides[i].name, sides[i].type, netof(pins.ptr(i)), nullptr);
        TRACE_NETTYPES.trace("Switch %s connecting {N:%s} and {N:%s} is digital.", name, netof(a), netof(b));
        return;
    }
    bindanalog(circuit);
    bindpins(circuit);
    if (SDF_PIN* enable = findpin("EN")) {
        pallex_create(this, "DUMMY", &properties, nullptr, &control);
        pallex_connect(control, "EN", PIN_IP, netof(enable), nullptr);
        // The analog engine then steps onto the changes of EN.
        pallex_linkdac(netof(enable), nullptr, &link);
    } else {
        warning("Pin 'EN' not found in %s: the switch stays open.", name);
    }
    TRACE_NETTYPES.trace("Switch %s connecting {N:%s} and {N:%s} is analog.", name, netof(a), netof(b));
}

void DSWITCH::bindpins(IFcircuit* circuit)
{
    if (!spiceinstance)
        return;
    nodes.assign(2, 0);
    for (int i = 0; i < 2; ++i) {
        SDF_PIN* pin = pins.ptr(i);
        IFnode* node = nullptr;
        if (!pin || !pin->net || spicesimulator->findNode(circuit, &node, pin->net) != 0 || !node)
            fatal("Node %s not found whilst binding pin %s of %s!", netof(pin), pin ? pin->name : "", name);
        nodes[static_cast<size_t>(i)] = node->number;
    }
}

double DSWITCH::readconductance(const char* property, double resistance)
{
    const char* text = given(property);
    if (!text)
        return 1 / resistance;
    if (strcasecmp(text, "OFF") == 0)
        return 0;
    resistance = getnumval(property, resistance);
    if (resistance != 0)
        return 1 / resistance;
    warning("Value of 0 for %s not allowed in DSWITCH.", property);
    return SHORTCONDUCTANCE;
}

void DSWITCH::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    gon = readconductance("RON", 1);
    goff = readconductance("ROFF", INFINITY);
    if (given("TSWITCH")) {
        ton = toff = getnumval("TSWITCH", 0);
    } else {
        ton = getnumval("TON", 0);
        toff = getnumval("TOFF", 0);
    }
}

void DSWITCH::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    stamp.fetch(circuit, pinnode(0), pinnode(1));
}

bool DSWITCH::sample(double time)
{
    STATE now = state;
    if (!control || !pallex_peekpin(control, 0, &now) || now == state)
        return false;
    state = now;
    changed = time;
    old = present;
    switch (state & STATE_LEVEL) {
    case STATE_HIGH:
        ramp = ton;
        target = gon;
        break;
    case STATE_LOW:
        ramp = toff;
        target = goff;
        break;
    default:
        ramp = (ton + toff) / 2;
        target = (gon + target) / 2;
        break;
    }
    return true;
}

void DSWITCH::acceptstep(double time, const double*)
{
    if (!sample(time) || !spiceckt || spiceckt->modetest(MODE_DCOP | MODE_TRANOP))
        return;
    // A long ramp ends on a time point of its own; a short one sets the next step.
    if (ramp > 100 * query(QUERY_MINSTEP, 0))
        spiceckt->setbreak(changed + ramp);
    else if (ramp > 0)
        spiceckt->proposestep(ramp);
}

void DSWITCH::loaddc(double time, uint32_t mode, const double*, double*)
{
    if (mode & MODE_INITJCT) {
        present = old = target = goff;
        changed = ramp = 0;
        state = 0;
    }
    if (mode & (MODE_DCOP | MODE_TRANOP)) {
        sample(time);
        present = target;
    } else if (mode & (MODE_INITTRAN | MODE_INITPRED)) {
        double elapsed = time - changed;
        if (elapsed <= 0)
            present = old;
        else if (elapsed >= ramp)
            present = target;
        else
            present = old + (target - old) * elapsed / ramp;
    }
    stamp.load(present);
}

void DSWITCH::loadac(double, double*, double*)
{
    stamp.load(present);
}
