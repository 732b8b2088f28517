#include "simulator/kernel/kernelrun.h"

#include "engines/nerith/nerith.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/loader.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <string>

bool KERNELRUN::load(const char* netlist)
{
    loadnetlist(netlist, &circuit, &table, &task, &options);
    if (circuit)
        return true;
    // The load freed its circuit; the task went with the circuit's SPICE side.
    task = nullptr;
    options = nullptr;
    INPtabEnd(table);
    table = nullptr;
    return false;
}

void KERNELRUN::closepartitions()
{
    for (PARTITION* partition : partitions) {
        std::string file = pathforwriting(partition->path);
        if (partition->close(simstatus))
            siminfo("Results written to '%s'.", file.c_str());
    }
    partitions.zap();
    moddata.count = 0;
}

void KERNELRUN::teardown()
{
    closepartitions();
    if (circuit && task)
        spicesimulator->deleteTask(circuit->spice, task);
    task = nullptr;
    options = nullptr;
    INPkillMods();
    INPtabEnd(table);
    table = nullptr;
    delete analysis;
    analysis = nullptr;
    delete circuit;
    circuit = nullptr;
}

void KERNELRUN::forget()
{
    circuit = nullptr;
    table = nullptr;
    task = nullptr;
    options = nullptr;
    analysis = nullptr;
    moddata.count = 0;
    partitions.count = 0;
}

void KERNELRUN::logstatistics()
{
    IFvalue values[4] {};
    const int32_t ids[4] = { OPT_ITERATIONS, OPT_STEPS, OPT_GOODSTEPS, OPT_BADSTEPS };
    for (int i = 0; i < 4; ++i)
        spicesimulator->askAnalysisQuest(circuit->spice, options, ids[i], &values[i], nullptr);
    TRACE_PERFORMANCE.trace("Total Iterations=%d, Total Steps=%d, Good Steps=%d, Bad Steps=%d",
        values[0].iValue, values[1].iValue, values[2].iValue, values[3].iValue);
}
