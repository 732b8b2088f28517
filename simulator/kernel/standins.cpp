#include "simulator/kernel/standins.h"

#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstdarg>
#include <cstdio>

namespace partclass {
const PARTCLASS CCSOURCE { "CCSOURCE", "current-controlled source", PINSIDES::ANALOG };
const PARTCLASS ARBSOURCE { "ARBSOURCE", "arbitrary source", PINSIDES::ANALOG };
const PARTCLASS POLYSOURCE { "POLYSOURCE", "polynomial source", PINSIDES::ANALOG };
const PARTCLASS SUBCKT { "SUBCKT", "SPICE subcircuit", PINSIDES::NONE };
} // namespace partclass

STANDIN::STANDIN(const PARTCLASS& kind, const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model,
    const PROPLIST* list)
    : COMPONENT(partname, primitive, model, list)
    , partclass(kind)
{
}

int STANDIN::isanalogpin(SDF_PIN*)
{
    return partclass.sides == PINSIDES::ANALOG;
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
