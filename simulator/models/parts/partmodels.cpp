#include "simulator/models/parts/partmodels.h"

#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/models/parts/arbsource.h"
#include "simulator/models/parts/ccsource.h"
#include "simulator/models/parts/generator.h"
#include "simulator/models/parts/mosfet.h"
#include "simulator/models/parts/passives.h"
#include "simulator/models/parts/polysource.h"
#include "simulator/models/parts/subckt.h"

namespace {

template <class PART>
COMPONENT* make(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list)
{
    return new PART(name, row, model, list);
}

// A subcircuit part has no netlist model.
COMPONENT* makesubckt(const char* name, PRIMITIVE* row, const SDF_MODEL*, const PROPLIST* list)
{
    return new SUBCKT(name, row, nullptr, list);
}

} // namespace

void registerpartmodels()
{
    const struct {
        int32_t kind;
        MODELMAKER maker;
    } makers[] = {
        { KIND_SPICECPT, make<SPICECPT> },
        { KIND_CAPACITOR, make<CAPACITOR> },
        { KIND_INDUCTOR, make<INDUCTOR> },
        { KIND_MOSFET, make<MOSFET> },
        { KIND_CCSOURCE, make<CCSOURCE> },
        { KIND_ARBSOURCE, make<ARBSOURCE> },
        { KIND_POLYSOURCE, make<POLYSOURCE> },
        { KIND_SUBCKT, makesubckt },
    };
    for (const auto& entry : makers)
        registermodel(entry.kind, entry.maker);
    for (int32_t kind = KIND_GENERATOR + 1; kind <= KIND_GENERATORLAST; ++kind)
        registermodel(kind, make<GENERATOR>);
}
