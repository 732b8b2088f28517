#include "simulator/models/parts/ccsource.h"

#include "simulator/kernel/runstate.h"
#include "simulator/models/parts/insertedprobe.h"
#include "simulator/models/spice/spiceparams.h"

#include <string>

void CCSOURCE::bindmodel(INPtables* table, IFcircuit* circuit)
{
    if (pins.count == 4 && circuit && spicesimulator) {
        probe = insertprobe(
            (std::string(name) + "#PN").c_str(), pins.ptr(2), pins.ptr(3), &properties, table, circuit);
        control = probe.get();
    }
    SPICECPT::bindmodel(table, circuit);
}

void CCSOURCE::initialise(CIRCUIT* owner, void* models)
{
    if (!control && owner) {
        if (const char* text = getstrval("PROBE", nullptr)) {
            control = findrelative(owner, this, text);
            if (!control)
                warning("Probe %s specified for %s not found", text, name);
        } else {
            warning("Current probe not specified for source %s", name);
        }
    }
    if (control && spiceinstance) {
        IFvalue value {};
        value.uValue = control->name;
        setinstanceparm(spicesimulator, spice, spiceinstance, row->device, "control", &value);
    }
    SPICECPT::initialise(owner, models);
}
