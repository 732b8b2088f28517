#include "simulator/models/builtin/itfmodel.h"

#include "core/text/values.h"
#include "engines/nerith/circuit.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstring>

ITFMODEL::ITFMODEL(
    const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model, const PROPLIST* list, PXlink* handle)
    : INTMODEL(partname, primitive, model, list)
    , link(handle)
{
}

int ITFMODEL::isanalogpin(SDF_PIN* pin)
{
    return !pin || pin->name[0] == 'A' || pin->name[0] == 'V';
}

int ITFMODEL::isdigitalpin(SDF_PIN* pin)
{
    return !pin || pin->name[0] == 'D';
}

void ITFMODEL::bindpins(IFcircuit* circuit)
{
    int32_t* targets[] = { &a, &vplus, &vminus };
    const char* names[] = { "A", "V+", "V-" };
    for (int i = 0; i < 3; ++i) {
        SDF_PIN* pin = findpin(names[i]);
        *targets[i] = 0;
        if (!pin)
            continue;
        IFnode* node = nullptr;
        if (!pin->net || !circuit || spicesimulator->findNode(circuit, &node, pin->net) != 0 || !node)
            fatal("Node %s not found whilst binding pin %s of %s!", pin->net ? pin->net : "", names[i], name);
        *targets[i] = node->number;
        if (PININFO* info = analogpins[pin->name])
            info->node = node->number;
    }
    supplypins = findpin("V+") && findpin("V-");
    SDF_PIN* d = findpin("D");
    if (!d)
        fatal("Pin 'D' not found in %s", name);
    IPALLEXPIN2* handle = nullptr;
    if (pallexmodel && pallex_connect(pallexmodel, d->name, PIN_OP, d->net, &handle))
        if (PININFO* info = digitalpins[d->name])
            info->digital = handle;
}

void ITFMODEL::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    voltage = getnumval("VOLTAGE", 5);
}

void ITFMODEL::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    minstep = query(QUERY_MINSTEP, 0);
}

ITFMODEL::LEVEL ITFMODEL::readlevel(const char* property, double percent, double volts, const bool* absolute)
{
    const char* text = given(property);
    bool inpercent = absolute ? !*absolute : !text || strchr(text, '%');
    if (inpercent)
        return { text ? getdefdbl(text, percent) : percent, false };
    return { getnumval(property, volts), true };
}

double ITFMODEL::span(const double* solution) const
{
    return supplypins ? solution[vplus] - solution[vminus] : voltage;
}
