#include "simulator/kernel/circuit.h"

#include "engines/nerith/nerith.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstring>
#include <string>
#include <strings.h>

namespace {

// The evaluator's error code for the whole text, 0 with *value set.
int evaluatetext(const char* text, const DIDX& variables, double* value)
{
    EVALUATOR<double> evaluator;
    char* cursor = const_cast<char*>(text); // the evaluator only reads
    *value = evaluator.evaluate(&cursor, variables, 0, 0);
    return evaluator.error;
}

} // namespace

CIRCUIT::CIRCUIT()
{
    resetprimitives();
    if (!spicesimulator || spicesimulator->newCircuit(&spice) != 0) {
        spice = nullptr;
        return;
    }
    spice_initialize(this, simlog(), &spicecircuit);
}

CIRCUIT::~CIRCUIT()
{
    if (spice) {
        spicesimulator->deleteCircuit(spice);
        spice_terminate();
        spice = nullptr;
        spicecircuit = nullptr;
    }
    if (digital) {
        pallex_terminate();
        digital = 0;
        pallexcircuit = nullptr;
    }
    variables.zap();
}

char* CIRCUIT::getnet(const char* name)
{
    if (name && strcasecmp(name, "VSS") == 0) {
        siminfo("Net %s taken as alias for %s", name, "GND");
        name = "GND";
    }
    if (name && strcasecmp(name, "VDD") == 0) {
        siminfo("Net %s taken as alias for %s", name, "VCC");
        name = "VCC";
    }
    return SDF_NETLIST::getnet(name);
}

COMPONENT* CIRCUIT::getactive(COMPONENT* part) const
{
    if (!part)
        return nullptr;
    if (part->getproperty("ACTIVE"))
        return part;
    std::string owner = part->name;
    for (size_t cut = owner.rfind('_'); cut != std::string::npos; cut = owner.rfind('_')) {
        owner.resize(cut);
        COMPONENT* found = findcomponent(owner.c_str());
        if (found && found->getproperty("ACTIVE"))
            return found;
    }
    return nullptr;
}

COMPONENT* CIRCUIT::getparent(COMPONENT* part) const
{
    std::string owner = part ? part->name : "";
    for (size_t cut = owner.rfind('_'); cut != std::string::npos; cut = owner.rfind('_')) {
        owner.resize(cut);
        if (COMPONENT* found = findcomponent(owner.c_str()))
            return found;
    }
    return nullptr;
}

void CIRCUIT::setsweepvalue(const char* name, double value)
{
    variables.zap();
    if (name && *name) {
        variables.add(new VARIABLE<double>(name, value));
        DEBUG_ANALYSE.trace("Sweep variable %s=%g", name, value);
    }
    for (int i = 0; i < properties.count; ++i) {
        const char* key = static_cast<const char*>(properties.items[i]);
        const char* text = key + strlen(key) + 1;
        double result;
        if (name && *name && strcasecmp(key, name) == 0)
            continue;
        if (evaluatetext(text, variables, &result) == 0)
            variables.add(new VARIABLE<double>(key, result));
    }
    // The SPICE models set up in this pass: each model's parameters are set by its first part.
    DIDX models;
    for (SDF_COMPONENT* part : parts)
        static_cast<COMPONENT*>(part)->initialise(this, &models);
    for (COMPONENT* part : analogparts)
        part->setreference(getproperty("FREQREF"), spice);
    if (!spice || !spicesimulator)
        return;
    for (int32_t p = 0; p < spicesimulator->numNodeParms; ++p) {
        const IFparm& parameter = spicesimulator->nodeParms[p];
        for (int n = 0; n < netcount(); ++n) {
            char* net = netbyid(n);
            const char* text = netproperties(net)[parameter.keyword];
            IFnode* node = nullptr;
            if (!text || spicesimulator->findNode(spice, &node, net) != 0)
                continue;
            IFvalue setting {};
            if (!evalproperty(parameter.keyword, net, text, &setting.rValue, 0))
                continue;
            spicesimulator->setNodeParm(spice, node, parameter.id, &setting, nullptr);
            DEBUG_LOAD.trace("Assigned %s=%s on net {N:%s}", parameter.keyword, text, net);
        }
    }
}

bool CIRCUIT::evalproperty(const char* property, const char* part, const char* text, double* result, double def)
{
    *result = def;
    if (!text || strcasecmp(text, "?") == 0 || strcasecmp(text, "[NULL]") == 0)
        return false;
    double value;
    if (int error = evaluatetext(text, variables, &value)) {
        simwarning("Error %s parsing property %s of %s", evalerrors[error], property, part);
        return false;
    }
    *result = value;
    return true;
}

int CIRCUIT::getoption(const char* name, double* value)
{
    VARIABLE<double>* variable = variables[name];
    if (!variable)
        return 0;
    *value = variable->value;
    return 1;
}
