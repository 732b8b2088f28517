#include "simulator/models/parts/sideresistor.h"

#include "engines/nerith/nerith.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"

bool SIDERESISTOR::make(IFcircuit* circuit, IFinstance* beside, const char* part)
{
    int32_t type = -1;
    if (!spicesimulator || !findspicedevice("resistor", &type))
        return false;
    name = std::string(part) + "#RPARA";
    if (spicesimulator->newModel(circuit, type, &model, "RPARA") != 0
        || spicesimulator->newInstance(circuit, model, &instance, name.c_str()) != 0) {
        instance = nullptr;
        return false;
    }
    for (int32_t terminal = 1; terminal <= 2; ++terminal) {
        IFnode* node = nullptr;
        if (spicesimulator->instToNode(circuit, beside, terminal, &node, nullptr) == 0 && node)
            spicesimulator->bindNode(circuit, instance, terminal, node);
    }
    return true;
}

bool SIDERESISTOR::set(IFcircuit* circuit, IFinstance* beside, const char* part, double resistance)
{
    if (!instance && !make(circuit, beside, part))
        return false;
    IFvalue value {};
    value.rValue = resistance;
    spicesimulator->setInstanceParm(circuit, instance, RES_RESISTANCE, &value, nullptr);
    return true;
}
