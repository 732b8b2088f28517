#include "simulator/kernel/loader.h"

#include "core/files/pathopen.h"
#include "core/text/values.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cmath>
#include <strings.h>

namespace {

void maketask(CIRCUIT* circuit, IFtask** task, IFjob** options)
{
    spicesimulator->newTask(circuit->spice, task, "TASK");
    for (int32_t i = 0; i < spicesimulator->numAnalyses; ++i) {
        if (strcasecmp(spicesimulator->analyses[i]->name, "options") == 0) {
            spicesimulator->newAnalysis(circuit->spice, i, "OPTIONS", options, *task);
            return;
        }
    }
}

void setdefaultoptions(CIRCUIT* circuit)
{
    if (!circuit->getproperty("TEMP"))
        circuit->setproperty("TEMP", "27");
    if (!circuit->getproperty("VTHERM"))
        circuit->setproperty("VTHERM", "(TEMP+273)*8.6173468e-5");
    if (!circuit->getproperty("RSHUNT") && !circuit->getproperty("GLEAK"))
        circuit->setproperty("GLEAK", "1E-12");
    if (circuit->testproperty("PRECHARGE", "FALSE") || circuit->testproperty("PRECHARGE", "OFF"))
        circuit->setproperty("UIC", "TRUE");
}

void setlogwindow(CIRCUIT* circuit)
{
    double start = getdefdbl(circuit->getproperty("LOGSTART"), 0);
    double time = getdefdbl(circuit->getproperty("LOGTIME"), INFINITY);
    simlog()->setlogwindow(start, start + time);
}

}  // namespace

void loadnetlist(const char* file, CIRCUIT** circuit, INPtables** table, IFtask** task, IFjob** options)
{
    FILE* stream = nullptr;
    bool loaded = guarded([&] {
        *circuit = new CIRCUIT;
        if (!file || !*file)
            simfatal("No filename specified.");
        stream = pathopen(nullptr, file, "r", 0);
        if (!stream)
            simfatal("Cannot open '%s'.", file);
        (*circuit)->read(stream);
        siminfo("Loaded netlist '%s' for design '%s'", file, (*circuit)->getdesignname());
        simlog()->registerchannels(nullptr, traceflags, 0, &(*circuit)->getproperties(), nullptr);
        maketask(*circuit, task, options);
        setdefaultoptions(*circuit);
        setlogwindow(*circuit);
        *table = INPtabInit((*circuit)->parts.count + (*circuit)->netcount());
        parserdescriptor = *spicesimulator;
        INPpas1((*circuit)->spice, nullptr, *table);
        INPpas2((*circuit)->spice, nullptr, *table, *task, *options);
        setdigitalhooks((*circuit)->hasdigital());
    });
    if (stream)
        fclose(stream);
    if (!loaded) {
        delete *circuit;
        *circuit = nullptr;
    }
}
