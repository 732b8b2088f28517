#include "simulator/models/digital/pallexcpt.h"

#include "core/text/strutil.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/primitives.h"

PALLEXCPT::PALLEXCPT(const char* name, const char* type, const SDF_MODEL* model, const PROPLIST* properties)
    : INSTANCE(name, &ROW_DIGITAL, model, properties)
{
    strnzcpy(modelname, type, sizeof modelname - 1);
}

void PALLEXCPT::bindmodel(INPtables*, IFcircuit*)
{
    if (!pallex_create(this, modelname, &properties, nullptr, &handle)) {
        warning("PALLEX failed to create component of type '%s'", modelname);
        return;
    }
    for (PININFO* info : digitalpins) {
        SDF_PIN* pin = info->pin;
        if (!pallex_connect(handle, pin->name, pin->type, pin->net, &info->digital))
            warning("PALLEX failed to connect pin %s", pin->name);
    }
}
