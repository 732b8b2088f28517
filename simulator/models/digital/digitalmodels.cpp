#include "simulator/models/digital/digitalmodels.h"

#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/models/digital/pallexcpt.h"
#include "simulator/models/digital/rtdstate.h"

void registerdigitalmodels()
{
    auto make
        = [](const char* name, PRIMITIVE*, const char* type, const SDF_MODEL* model, const PROPLIST* list) {
              return static_cast<COMPONENT*>(new PALLEXCPT(name, type, model, list));
          };
    registertypedmodel(KIND_PALLEXCPT, make);
    registertypedmodel(KIND_DIGITALPART, make);
    registermodel(
        KIND_RTDSTATE, [](const char* name, PRIMITIVE*, const SDF_MODEL* model, const PROPLIST* list) {
            return static_cast<COMPONENT*>(new RTDSTATE(name, model, list));
        });
}
