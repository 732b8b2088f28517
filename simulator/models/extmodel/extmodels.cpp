#include "simulator/models/extmodel/extmodels.h"

#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/models/extmodel/extmodel.h"
#include "simulator/models/extmodel/modelentries.h"

#include <memory>

namespace {

COMPONENT* makeextmodel(
    const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model, const PROPLIST* list)
{
    return new EXTMODEL(name, row, type, model, list, list ? (*list)["MODDLL"] : nullptr);
}

// A script model, its script handed to the script engine to compile. `block` is the script block
// (its name comes first), null when the part names no script the netlist has.
COMPONENT* makescriptmodel(
    const char* name, PRIMITIVE*, const char* block, const SDF_MODEL* model, const PROPLIST* list)
{
    const auto* script = reinterpret_cast<const SDF_SCRIPT*>(block);
    auto part = std::make_unique<SCRIPTMODEL>(name, script, model, list);
    auto* load = reinterpret_cast<decltype(&loadprogram)>(part->entry("loadprogram"));
    if (!load)
        part->error("'%s' is not a script model", SCRIPTENGINE);
    else if (!script)
        part->error("Script model missing.");
    else
        load(part.get(), script->text);
    return part.release();
}

} // namespace

void registerextmodels()
{
    registertypedmodel(KIND_EXTMODEL, makeextmodel);
    registertypedmodel(KIND_SCRIPTMODEL, makescriptmodel);
}
