#include "simulator/models/parts/iprobe.h"

#include "engines/nerith/circuit.h"
#include "engines/nerith/nerith.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/runstate.h"
#include "simulator/models/parts/probesetting.h"
#include "simulator/models/spice/spiceparams.h"
#include "platform/hulvane/results/partition.h"

#include <cmath>

IPROBE::IPROBE(const char* partname, PRIMITIVE* primitive, const SDF_MODEL* modelrecord, const PROPLIST* list)
    : SPICECPT(partname, primitive, modelrecord, list)
{
    event.sheet = 0xFFFFFFFF;
    event.kind = ACTIVEEVENT::KIND_VALUE;
    // No current was reported yet.
    event.value = std::nan("");
}

void IPROBE::bindmodel(INPtables*, IFcircuit* circuit)
{
    branchindex = -1;
    if (!circuit || !spicesimulator || !row)
        return;
    spice = circuit;
    modelname = row->name;
    if (!makemodel(circuit) || !makeinstance(circuit))
        return;
    IFvalue zero {};
    zero.rValue = 0.0;
    setinstanceparm(spicesimulator, circuit, spiceinstance, row->device, "dc", &zero);
    branchindex = getbranch(circuit, nullptr) - 1;
}

void IPROBE::bindmoddata(const DPA* moddata, DIDX* partitions)
{
    INSTANCE::bindmoddata(moddata, partitions);
    const char* named = getstrval("PARTITION", nullptr);
    partition = named && *named && partitions ? resultspartition(partitions, named, name) : nullptr;
}

void IPROBE::initialise(CIRCUIT* owner, void* argument)
{
    INSTANCE::initialise(owner, argument);
    tolerance = outputtolerance(this, owner);
    event.sheet = gethexval("SHEETID", 0xFFFFFFFF);
    event.first = gethexval("CALLBACK", 0);
    event.second = 0;
}

int IPROBE::joinplot(IFuid*, int32_t, int32_t type)
{
    if (!partition)
        return branchindex >= 0;
    if (branchindex < 0) {
        SDF_PIN* first = pins.ptr(0);
        warning("Could not link to net %s in probe %s", first && first->net ? first->net : "", name);
        channel = -1;
        return 0;
    }
    const char* label = getvalue();
    channel = partition->addchannel(name, label ? label : "");
    if (channel >= 0)
        partition->setchannel(
            channel, type == IF_COMPLEX ? PARTITION::KIND_COMPLEX : PARTITION::KIND_ANALOG, 1, tolerance);
    return 1;
}

void IPROBE::writereal(double reference, const double* values, int32_t count)
{
    if (!partition || channel < 0)
        return;
    double value = branchindex >= 0 && branchindex < count ? values[branchindex] : 0.0;
    partition->writeanalog(reference, channel, value, 0);
}

void IPROBE::writecomplex(double reference, const IFcomplex* values, int32_t count)
{
    if (!partition || channel < 0)
        return;
    PARTITIONCOMPLEX value { 0, 0 };
    if (branchindex >= 0 && branchindex < count)
        value = { values[branchindex].real, values[branchindex].imag };
    partition->writecomplex(reference, channel, value);
}

int IPROBE::activeevents(double time, DPA* list)
{
    if (event.first == 0)
        return 0;
    const double* solution = spicecircuit ? spicecircuit->solution() : nullptr;
    double current = solution && branchindex >= 0 ? solution[branchindex + 1] : 0.0;
    if (time != 0 && current == event.value)
        return 1;
    event.value = current;
    list->add(&event);
    return 1;
}
