#include "simulator/models/parts/insertedprobe.h"

#include "simulator/kernel/circuit.h"
#include "simulator/models/parts/iprobe.h"


namespace {

// Inserted probes are no netlist parts: their row is not in the primitive table.
PRIMITIVE insertedrow
    = { "IPROBE", "Vsource", KIND_IPROBE, -1, nullptr, nullptr, nullptr, nullptr, "*", nullptr };

} // namespace

std::unique_ptr<IPROBE> insertprobe(const char* name, const SDF_PIN* first, const SDF_PIN* second,
    const PROPLIST* properties, INPtables* table, IFcircuit* circuit)
{
    auto probe = std::make_unique<IPROBE>(name, &insertedrow, nullptr, properties);
    probe->addpin("1", PIN_PS, first->net);
    probe->addpin("2", PIN_PS, second->net);
    probe->bindmodel(table, circuit);
    return probe;
}

COMPONENT* findrelative(const CIRCUIT* circuit, const COMPONENT* part, const char* name)
{
    return circuit ? circuit->findcomponent(relativename(part->name, name).c_str()) : nullptr;
}
