#include "simulator/models/builtin/intmodel.h"

#include "engines/nerith/nerith.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

void INTMODEL::bindmodel(INPtables*, IFcircuit* circuit)
{
    if (isanalogpin(nullptr) || isdualpin(nullptr))
        bindanalog(circuit);
    if (isdigitalpin(nullptr) || isdualpin(nullptr))
        pallex_create(this, "INTMODEL", &properties, static_cast<IPALLEXMODEL*>(this), &pallexmodel);
    bindpins(circuit);
}

void INTMODEL::bindanalog(IFcircuit* circuit)
{
    if (circuit && spicesimulator && row) {
        int32_t type = -1;
        if (spicesimulator->findModel(circuit, &type, &spicemodel, row->name) != 0) {
            spicesimulator->newModel(circuit, row->spiceindex, &spicemodel, row->name);
            DEBUG_BUILD.trace("Created INTMODEL %s\n", row->name);
        }
        if (spicesimulator->newInstance(circuit, spicemodel, &spiceinstance, name) == 0 && spiceinstance) {
            IFvalue value {};
            value.pValue = static_cast<IINSTANCE*>(this);
            spicesimulator->setInstanceParm(circuit, spiceinstance, OBJITF_INSTANCE, &value, nullptr);
            value.pValue = static_cast<ISPICEMODEL*>(this);
            spicesimulator->setInstanceParm(circuit, spiceinstance, OBJITF_MODEL, &value, nullptr);
        }
    }
}

void INTMODEL::bindpins(IFcircuit* circuit)
{
    if (spiceinstance) {
        nodes.assign(static_cast<size_t>(pins.count), 0);
        for (int i = 0; i < pins.count; ++i) {
            SDF_PIN* pin = pins.ptr(i);
            if (!isanalogpin(pin) && !isdualpin(pin))
                continue;
            IFnode* node = nullptr;
            if (pin->net && spicesimulator->findNode(circuit, &node, pin->net) == 0 && node) {
                nodes[i] = node->number;
                if (PININFO* info = analogpins[pin->name])
                    info->node = node->number;
            } else {
                warning("SPICE failed to connect pin %s!", pin->name);
            }
        }
    }
    if (pallexmodel) {
        digital.assign(static_cast<size_t>(pins.count), nullptr);
        for (int i = 0; i < pins.count; ++i) {
            SDF_PIN* pin = pins.ptr(i);
            if (!isdigitalpin(pin) && !isdualpin(pin))
                continue;
            if (pallex_connect(pallexmodel, pin->name, pin->type, pin->net, &digital[i]) == 0)
                warning("PALLEX failed to connect pin %s!", pin->name);
            else if (PININFO* info = digitalpins[pin->name])
                info->digital = digital[i];
        }
    }
}

int INTMODEL::analogpin(const char* pin)
{
    SDF_PIN* found = pinnamed(pin);
    if (pin && !found)
        return 0;
    return isanalogpin(found) ? 1 : isdualpin(found) ? -1 : 0;
}

int INTMODEL::digitalpin(const char* pin)
{
    SDF_PIN* found = pinnamed(pin);
    if (pin && !found)
        return 0;
    return isdigitalpin(found) ? 1 : isdualpin(found) ? -1 : 0;
}

void INTMODEL::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    owner = instance;
    spiceckt = circuit;
}

void INTMODEL::loadac(double, double*, double*)
{
    error("Frequency Domain Analysis not supported.");
}

void INTMODEL::bindpallex(IINSTANCE*, IPALLEXCKT* circuit)
{
    pallexckt = circuit;
}

double INTMODEL::query(int code, double def) const
{
    double value = def;
    return spiceckt && spiceckt->query(&value, code) ? value : def;
}

const char* INTMODEL::given(const char* property)
{
    const char* text = getstrval(property, nullptr);
    return text && *text ? text : nullptr;
}
