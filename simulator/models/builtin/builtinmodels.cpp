#include "simulator/models/builtin/builtinmodels.h"

#include "simulator/kernel/modelcatalog.h"
#include "simulator/models/builtin/iprobe.h"
#include "simulator/models/builtin/vprobe.h"

void registerbuiltinmodels()
{
    registermodel(
        KIND_VPROBE, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
            return static_cast<COMPONENT*>(new VPROBE(name, row, model, list));
        });
    registermodel(
        KIND_IPROBE, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
            return static_cast<COMPONENT*>(new IPROBE(name, row, model, list));
        });
}
