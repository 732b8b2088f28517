#include "simulator/models/spice/spiceparams.h"

#include <strings.h>

const IFparm* findparameter(const IFparm* table, int32_t count, const char* keyword, int32_t access)
{
    for (int32_t i = 0; table && keyword && i < count; ++i) {
        if ((table[i].dataType & access) == access && strcasecmp(table[i].keyword, keyword) == 0)
            return &table[i];
    }
    return nullptr;
}

const IFparm* findinstanceparm(const IFdevice* device, const char* keyword, int32_t access)
{
    return device ? findparameter(device->instanceParms, device->numInstanceParms, keyword, access) : nullptr;
}

const IFparm* findmodelparm(const IFdevice* device, const char* keyword, int32_t access)
{
    return device ? findparameter(device->modelParms, device->numModelParms, keyword, access) : nullptr;
}

int setinstanceparm(const IFsimulator* simulator, IFcircuit* circuit, IFinstance* instance,
    const IFdevice* device, const char* keyword, IFvalue* value)
{
    const IFparm* parameter = findinstanceparm(device, keyword, IF_SET);
    if (!parameter || !simulator)
        return E_BADPARM;
    return simulator->setInstanceParm(circuit, instance, parameter->id, value, nullptr);
}
