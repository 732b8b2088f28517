#include "simulator/models/builtin/controlledswitch.h"

#include "core/files/pathopen.h"
#include "engines/nerith/nerith.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const SWITCHKIND VOLTAGESWITCH { "VSWITCH", "Switch", "VT", "VH", "VSW", "VON", "VOFF", 1,
    "VON <= VOFF not allowed in VSWITCH", "RON must be > 0 for VSWITCH", "ROFF must be > 0 for VSWITCH" };
const SWITCHKIND CURRENTSWITCH { "CSWITCH", "Cswitch", "IT", "IH", "ISW", "ION", "IOFF", 0.001,
    "ION <= IOFF not allowed in CSWITCH.", "RON must be > 0 for CSWITCH.", "ROFF must be > 0 for CSWITCH." };

bool hasproperty(const PROPLIST* list, const char* key)
{
    return list && (*list)[key];
}

} // namespace

CONTROLLEDSWITCH::CONTROLLEDSWITCH(const SWITCHKIND& switchkind, const char* partname, PRIMITIVE* primitive,
    const SDF_MODEL* model, const PROPLIST* list)
    : INTMODEL(partname, primitive, model, list)
    , kind(switchkind)
    , hysteresismode(hasproperty(&properties, kind.threshold) || hasproperty(&properties, kind.hysteresis))
{
}

void CONTROLLEDSWITCH::bindmodel(INPtables* table, IFcircuit* circuit)
{
    spice = circuit;
    if (hysteresismode) {
        bindhysteresis(circuit);
        return;
    }
    // Rows of the engine's switch are followed by their twin on the interface device.
    if (row && row->spicetype && strcmp(row->spicetype, kind.device) == 0) {
        ++row;
        lookupspicetype(row);
    }
    INTMODEL::bindmodel(table, circuit);
}

// The engine's switch device: its model and instance named after the part, each pin up to the
// device's terminal count bound to the terminal its name gives.
void CONTROLLEDSWITCH::bindhysteresis(IFcircuit* circuit)
{
    int32_t type = -1;
    const IFdevice* device = findspicedevice(kind.device, &type);
    if (!device)
        fatal("SPICE object type %s not found!", kind.device);
    if (!circuit || spicesimulator->newModel(circuit, type, &spicemodel, name) != 0
        || spicesimulator->newInstance(circuit, spicemodel, &spiceinstance, name) != 0)
        return;
    for (int i = 0; i < pins.count && i < device->terminals; ++i) {
        SDF_PIN* pin = pins.ptr(i);
        const char* net = pin->net ? pin->net : "";
        IFnode* node = nullptr;
        if (spicesimulator->findNode(circuit, &node, net) != 0 || !node) {
            warning("Node {N:%s} not found whilst binding pin %s.", net, pin->name);
            continue;
        }
        auto terminal = static_cast<int32_t>(strtol(pin->name, nullptr, 10));
        if (spicesimulator->bindNode(circuit, spiceinstance, terminal, node) != 0) {
            warning("Failed to bind pin %s.", pin->name);
            continue;
        }
        if (DEBUG_BUILD.level > 1)
            fprintf(modulestdout(), "bound pin %s to net {N:%s}\n", pin->name, net);
    }
}

void CONTROLLEDSWITCH::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    if (given(kind.both)) {
        on = off = getnumval(kind.both, 0);
    } else {
        on = getnumval(kind.on, kind.ondefault);
        off = getnumval(kind.off, 0);
    }
    ron = getnumval("RON", 1);
    roff = getnumval("ROFF", 1e6);
    ttol = getnumval("TTOL", 0);
    if (on <= off)
        warning("%s", kind.bandwarning);
    if (ron <= 0)
        warning("%s", kind.ronwarning);
    if (roff <= 0)
        warning("%s", kind.roffwarning);
    if (!hysteresismode || !spicemodel || !owner)
        return;
    sethysteresis();
    int32_t type = -1;
    const IFdevice* device = findspicedevice(kind.device, &type);
    DEBUG_LOAD.trace("Model Parameters for %s...", name);
    for (int32_t i = 0; device && i < device->numModelParms; ++i) {
        const IFparm& parameter = device->modelParms[i];
        const char* text = properties[parameter.keyword];
        IFvalue value {};
        if (!text || !parsespicevalue(owner, name, &parameter, text, &value))
            continue;
        spicesimulator->setModelParm(spice, spicemodel, parameter.id, &value, nullptr);
        fprintf(modulestdout(), "%s = %s\n", parameter.keyword, text);
    }
}

void CONTROLLEDSWITCH::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    if (internal == 0)
        internal = circuit->newnode(instance, "internal");
    states = circuit->allocstates(2);
    resistor.fetch(circuit, pinnode(0), internal);
    link.fetch(circuit, instance, internal, pinnode(1));
    fetchcoupling(circuit);
}

void CONTROLLEDSWITCH::stamp() const
{
    resistor.load(conductance);
    link.load();
    loadcoupling(coupling);
}

void CONTROLLEDSWITCH::loaddc(double, uint32_t mode, const double* solution, double* rhs)
{
    double value = 0;
    double current = 0;
    double* present = spiceckt ? spiceckt->state(0, states) : nullptr;
    double* previous = spiceckt ? spiceckt->state(1, states) : nullptr;
    // The first iteration starts from nothing; the first of a time point from the last one.
    if (mode & MODE_INITJCT) {
        value = current = 0;
    } else if (mode & (MODE_INITTRAN | MODE_INITPRED)) {
        if (previous) {
            value = previous[0];
            current = previous[1];
        }
    } else if (solution) {
        value = control(solution);
        current = link.branch ? solution[link.branch] : 0;
        if (present) {
            present[0] = value;
            present[1] = current;
        }
    }

    double offset = 0;
    coupling = 0;
    if (value <= off) {
        conductance = 1 / roff;
    } else if (value >= on) {
        conductance = 1 / ron;
    } else {
        conductance = (on - off) / ((on - value) * roff + (value - off) * ron);
        coupling = current * (ron - roff) / (on - off);
        offset = -coupling * value;
    }
    double gmin = query(QUERY_GMIN, 1e-12);
    conductance = std::clamp(conductance, gmin, 1 / gmin);
    stamp();
    if (link.branch && rhs)
        rhs[link.branch] += offset;
}

void CONTROLLEDSWITCH::loadac(double, double*, double*)
{
    stamp();
}

void CONTROLLEDSWITCH::limitstep(double, double* step)
{
    double present = query(QUERY_STEP, 0);
    if (!stepcontrol() || present <= ttol || !spiceckt)
        return;
    const double* now = spiceckt->state(0, states);
    const double* before = spiceckt->state(1, states);
    if (!now || !before)
        return;
    bool jumped = (now[0] < off && before[0] > on) || (before[0] < off && now[0] > on);
    if (jumped)
        *step = 0.25 * present;
}

VSWITCH::VSWITCH(const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model, const PROPLIST* list)
    : CONTROLLEDSWITCH(VOLTAGESWITCH, partname, primitive, model, list)
{
}

double VSWITCH::control(const double* solution) const
{
    return solution[pinnode(2)] - solution[pinnode(3)];
}

void VSWITCH::fetchcoupling(ISPICECKT* circuit)
{
    coupleplus = circuit->element(link.branch, pinnode(2));
    coupleminus = circuit->element(link.branch, pinnode(3));
}

void VSWITCH::loadcoupling(double k) const
{
    if (!coupleplus || !coupleminus)
        return;
    *coupleplus -= k;
    *coupleminus += k;
}

CSWITCH::CSWITCH(const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model, const PROPLIST* list)
    : CONTROLLEDSWITCH(CURRENTSWITCH, partname, primitive, model, list)
{
}

void CSWITCH::initialise(CIRCUIT* owner, void* argument)
{
    if (!probesought && owner) {
        probesought = true;
        const char* probename = given("PROBE");
        if (!probename) {
            warning("Current probe not specified for CSWITCH.");
        } else {
            std::string full = relativename(name, probename);
            probe = owner->findcomponent(full.c_str());
            if (!probe)
                warning("Probe %s not found.", full.c_str());
            else if ((controlbranch = probe->getbranch(owner->spice, nullptr)) == 0)
                warning("Probe %s is not a current probe or voltage source.", full.c_str());
        }
    }
    CONTROLLEDSWITCH::initialise(owner, argument);
}

void CSWITCH::sethysteresis()
{
    if (!probe)
        return;
    IFvalue value {};
    value.uValue = probe->name;
    spicesimulator->setInstanceParm(spice, spiceinstance, CSW_CONTROL, &value, nullptr);
}

double CSWITCH::control(const double* solution) const
{
    return solution[controlbranch];
}

void CSWITCH::fetchcoupling(ISPICECKT* circuit)
{
    couple = controlbranch ? circuit->element(link.branch, controlbranch) : nullptr;
}

void CSWITCH::loadcoupling(double k) const
{
    if (couple)
        *couple -= k;
}
