#include "simulator/models/parts/partmodels.h"

#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/models/parts/generator.h"
#include "simulator/models/parts/mosfet.h"
#include "simulator/models/parts/spicecpt.h"

void registerpartmodels()
{
    // Capacitors and inductors bind as plain SPICE parts; their leakage resistors and couplings
    // come with their own classes.
    for (int32_t kind : { KIND_SPICECPT, KIND_CAPACITOR, KIND_INDUCTOR }) {
        registermodel(
            kind, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
                return static_cast<COMPONENT*>(new SPICECPT(name, row, model, list));
            });
    }
    registermodel(
        KIND_MOSFET, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
            return static_cast<COMPONENT*>(new MOSFET(name, row, model, list));
        });
    for (int32_t kind = KIND_GENERATOR + 1; kind <= KIND_GENERATORLAST; ++kind) {
        registermodel(
            kind, [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) {
                return static_cast<COMPONENT*>(new GENERATOR(name, row, model, list));
            });
    }
}
