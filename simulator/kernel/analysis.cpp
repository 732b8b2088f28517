#include "simulator/kernel/analysis.h"

#include "core/text/strutil.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/results/partition.h"

#include <cstring>
#include <string>
#include <strings.h>

namespace {

std::string simtype = "TRANSIENT";

// SIMTYPE values and the SPICE analysis each selects.
const struct {
    const char* simtype;
    const char* spicename;
} simtypes[] = { { "TRANSIENT", "TRAN" }, { "FREQUENCY", "AC" }, { "TRANSFER", "DC" }, { "NOISE", "NOISE" },
    { "DISTORTION", "DISTO" }, { "OP", "OP" }, { "DCSWEEP", "OP" }, { "ACSWEEP", "AC" } };

}  // namespace

ANALYSIS::ANALYSIS(const char* analysisname, CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : circuit(owner)
    , task(spicetask)
    , options(optionsjob)
{
    strnzcpy(name, analysisname, ANALYSISNAMESIZE - 1);
    bool fits = strlen(analysisname) < ANALYSISNAMESIZE;
    int32_t index = -1;
    for (int32_t i = 0; fits && spicesimulator && i < spicesimulator->numAnalyses; ++i) {
        if (strcmp(spicesimulator->analyses[i]->name, name) == 0) {
            index = i;
            type = spicesimulator->analyses[i];
            DEBUG_ANALYSE.trace("Selected %s", type->description);
            break;
        }
    }
    if (!type)
        simfatal("Invalid analysis type %s!", analysisname);
    if (spicesimulator->newAnalysis(circuit->spice, index, name, &job, task) != 0)
        simfatal("Failed to create analysis %s", name);
    // Only an analysis that was made becomes current: the log reads its time.
    currentanalysis = this;
}

ANALYSIS::~ANALYSIS()
{
    if (currentanalysis == this)
        currentanalysis = nullptr;
}

void ANALYSIS::setupresults(DPA* moddata, DIDX* index)
{
    const char* text = circuit->getproperty("SIMTYPE");
    simtype = text ? text : "";
    const char* partitionname = circuit->getproperty("PARTITION");
    if (!partitionname)
        simfatal("No results partition specified.");
    partition = reinterpret_cast<PARTITION*>((*index)[partitionname]);
    if (!partition) {
        partition = new PARTITION(partitionname);
        partition->open(PARTITION::MODE_UPDATE);
        index->add(partition->name, partition);
    }
    for (SDF_COMPONENT* part : circuit->parts)
        static_cast<COMPONENT*>(part)->bindmoddata(moddata, index);
    partitions = index;
}

int ANALYSIS::setup(const char*)
{
    plotbegun = runopen = datawritten = runended = plotended = 0;
    lastpercent = -1;
    lasttick = 0;
    return 0;
}

void ANALYSIS::setoptions(double) { }

int ANALYSIS::run(int restart)
{
    return spicesimulator->doAnalyses(circuit->spice, restart, task);
}

void ANALYSIS::finish() { }

int ANALYSIS::beginplot(IFcircuit*, IFjob*, int32_t count, IFuid* names, int32_t type)
{
    DEBUG_ANALYSE.trace("%s - beginplot (%d nodes)", name, count);
    probes.count = 0;
    for (SDF_COMPONENT* part : circuit->parts) {
        auto* component = static_cast<COMPONENT*>(part);
        if (component->joinplot(names, count, type))
            probes.add(component);
    }
    datatype = type;
    beginrun();
    plotbegun = 1;
    return 0;
}

int ANALYSIS::beginrun()
{
    for (int i = 0; partitions && i < partitions->count; ++i)
        reinterpret_cast<PARTITION*>(partitions->items[i])->beginrun();
    runopen = 1;
    runended = 0;
    return 0;
}

int ANALYSIS::writedata(IFvalue* reference, IFvalue* data)
{
    if (datatype == IF_REAL)
        pallex_writedata(reference->rValue, nullptr);
    for (COMPONENT* probe : probes) {
        if (datatype == IF_REAL)
            probe->writereal(reference->rValue, data->v.vec.rVec, data->v.numValue);
        else if (datatype == IF_COMPLEX)
            probe->writecomplex(reference->rValue, data->v.vec.cVec, data->v.numValue);
        else
            simfatal("Unrecognized data type %d in writedata.", datatype);
    }
    datawritten = 1;
    return 0;
}

int ANALYSIS::endrun()
{
    if (!runended) {
        for (int i = 0; partitions && i < partitions->count; ++i)
            reinterpret_cast<PARTITION*>(partitions->items[i])->endrun();
    }
    runended = 1;
    return 0;
}

int ANALYSIS::endplot()
{
    DEBUG_ANALYSE.trace("%s - endplot", name);
    plotended = 1;
    endrun();
    return 0;
}

int ANALYSIS::gettime(double*)
{
    return 0;
}

ANALYSIS* createanalysis(CIRCUIT* circuit, IFtask* task, IFjob* options)
{
    if (const char* analysis = circuit->getproperty("ANALYSIS"))
        return new ANALYSIS(analysis, circuit, task, options);
    const char* selected = circuit->getproperty("SIMTYPE");
    for (const auto& entry : simtypes) {
        if (selected && strcasecmp(selected, entry.simtype) == 0)
            return new ANALYSIS(entry.spicename, circuit, task, options);
    }
    simfatal("No ANALYSIS type specified.");
}

const char* simtypetext()
{
    return simtype.c_str();
}
