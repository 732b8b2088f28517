#include "simulator/kernel/part.h"

#include "core/text/strutil.h"

SDF_COMPONENT::SDF_COMPONENT(const char* partname, const PROPLIST* list)
{
    strnzcpy(name, partname, PARTNAMESIZE - 1);
    if (list)
        properties.merge(*list);
}

SDF_COMPONENT::~SDF_COMPONENT()
{
    pins.zap();
}

void SDF_COMPONENT::setproperty(const char* key, const char* value)
{
    properties.add(key, value);
}

SDF_PIN* SDF_COMPONENT::addpin(const char* pinname, SDF_PINTYPE type, char* net)
{
    auto* pin = new SDF_PIN {};
    strnzcpy(pin->name, pinname, PINNAMESIZE - 1);
    strnzcpy(pin->netlistname, pinname, PINNAMESIZE - 1);
    pin->type = type;
    pin->net = net;
    pins.add(pin);
    return pin;
}
