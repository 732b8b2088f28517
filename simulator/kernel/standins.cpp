#include "simulator/kernel/standins.h"

#include "core/text/values.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace partclass {
const PARTCLASS MOSFET { "MOSFET", "MOSFET", PINSIDES::ANALOG };
const PARTCLASS CCSOURCE { "CCSOURCE", "current-controlled source", PINSIDES::ANALOG };
const PARTCLASS ARBSOURCE { "ARBSOURCE", "arbitrary source", PINSIDES::ANALOG };
const PARTCLASS POLYSOURCE { "POLYSOURCE", "polynomial source", PINSIDES::ANALOG };
const PARTCLASS BATTERY { "BATTERY", "battery", PINSIDES::ANALOG };
const PARTCLASS ADC { "ADC", "analog-to-digital interface", PINSIDES::INTERFACE };
const PARTCLASS DAC { "DAC", "digital-to-analog interface", PINSIDES::INTERFACE };
const PARTCLASS PWRITF { "PWRITF", "power interface", PINSIDES::POWER };
const PARTCLASS VSWITCH { "VSWITCH", "voltage-controlled switch", PINSIDES::ANALOG };
const PARTCLASS CSWITCH { "CSWITCH", "current-controlled switch", PINSIDES::ANALOG };
const PARTCLASS DSWITCH { "DSWITCH", "digitally controlled switch", PINSIDES::DSWITCH };
const PARTCLASS FILEGEN { "FILEGEN", "file generator", PINSIDES::ANALOG };
const PARTCLASS WAVEGEN { "WAVEGEN", "audio generator", PINSIDES::ANALOG };
const PARTCLASS TAPE { "TAPE", "tape generator", PINSIDES::ANALOG };
const PARTCLASS SUBCKT { "SUBCKT", "SPICE subcircuit", PINSIDES::NONE };
} // namespace partclass

namespace {

char first(const SDF_PIN* pin)
{
    return pin ? pin->name[0] : 0;
}

} // namespace

STANDIN::STANDIN(const PARTCLASS& kind, const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model,
    const PROPLIST* list)
    : COMPONENT(partname, primitive, model, list)
    , partclass(kind)
{
}

int STANDIN::isanalogpin(SDF_PIN* pin)
{
    switch (partclass.sides) {
    case PINSIDES::ANALOG:
        return 1;
    case PINSIDES::INTERFACE:
        return !pin || first(pin) == 'A' || first(pin) == 'V';
    case PINSIDES::DSWITCH:
        return primitiveis("ANALOG");
    default:
        return 0;
    }
}

int STANDIN::isdigitalpin(SDF_PIN* pin)
{
    switch (partclass.sides) {
    case PINSIDES::DIGITAL:
        return 1;
    case PINSIDES::INTERFACE:
        return !pin || first(pin) == 'D';
    case PINSIDES::DSWITCH:
        return primitiveis("DIGITAL") || !pin || first(pin) == 'E';
    default:
        return 0;
    }
}

int STANDIN::isdualpin(SDF_PIN* pin)
{
    switch (partclass.sides) {
    case PINSIDES::POWER:
        return pins.count == 2;
    case PINSIDES::DSWITCH:
        return primitiveis("PASSIVE") && (!pin || first(pin) == 'A' || first(pin) == 'B');
    default:
        return 0;
    }
}

void STANDIN::notavailable()
{
    simerror("{P:%s}: the %s model is not available yet.", name, partclass.description);
}

void STANDIN::instanceerror(const char* format, ...)
{
    char text[LOGBUFFER];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (simlog()->logtext('E', text))
        simlog()->source(name, static_cast<int32_t>(geteid()));
}

void STANDIN::bindmodel(INPtables*, IFcircuit*)
{
    notavailable();
}

SPICESTANDIN::SPICESTANDIN(const PARTCLASS& kind, const char* partname, PRIMITIVE* primitive,
    const SDF_MODEL* modelrecord, const PROPLIST* list)
    : STANDIN(kind, partname, primitive, nullptr, list)
    , model(modelrecord)
{
}

INTERFACESTANDIN::INTERFACESTANDIN(const PARTCLASS& kind, const char* partname, PRIMITIVE* primitive,
    const SDF_MODEL* model, const PROPLIST* list, PXlink* handle)
    : STANDIN(kind, partname, primitive, model, list)
    , link(handle)
{
}

int INTERFACESTANDIN::setlink(COMPONENT* part)
{
    SDF_PIN* digital = findpin("D");
    const char* net = digital ? digital->net : nullptr;
    if (&partclass == &partclass::ADC) {
        if (!link && net)
            pallex_linkadc(net, &link);
        else if (link)
            power = part;
    } else {
        if (link)
            power = part;
        if (net)
            pallex_linkdac(net, &edge, &link);
    }
    return part && !link ? 0 : 1;
}

int POWERSTANDIN::powerinterface(COMPONENT** self)
{
    *self = this;
    return 1;
}
