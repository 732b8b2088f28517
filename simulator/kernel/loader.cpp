#include "simulator/kernel/loader.h"

#include "core/text/values.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/circuitdeck.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/modellibrary.h"
#include "simulator/kernel/nodehooks.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/kernel/spicesources.h"
#include "simulator/kernel/spicedeck/decklisting.h"
#include "simulator/kernel/spicedeck/deckread.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

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
    SPICEDECK deck;
    MLIBMANAGER libraries(10, 0, nullptr);
    bool loaded = guarded([&] {
        *circuit = new CIRCUIT;
        if (!file || !*file)
            simfatal("No filename specified.");
        std::string path = findexistingpath(file);
        if (path.empty())
            simfatal("Cannot open '%s'.", file);
        std::string error;
        if (!(*circuit)->readfile(path.c_str(), error))
            simfatal("Cannot read '%s': %s.", file, error.c_str());
        siminfo("Loaded netlist '%s' for design '%s'", file, (*circuit)->getdesignname());
        simlog()->registerchannels(nullptr, traceflags, 0, &(*circuit)->getproperties(), nullptr);
        maketask(*circuit, task, options);
        setdefaultoptions(*circuit);
        setlogwindow(*circuit);

        libraries.load(getenvcopy("MODELS").c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
        CIRCUITSOURCES sources(**circuit, &libraries);
        loadspicemodels(&deck, sources);
        listdeck(&deck);
        expanddeck(&deck);
        libraries.unload();

        *table = INPtabInit((*circuit)->parts.count + (*circuit)->netcount() + deckcount(&deck));
        parserdescriptor = *spicesimulator;
        INPpas1((*circuit)->spice, deckhead(&deck), *table);
        (*circuit)->build(*table);
        parserdescriptor.newNode = spicenewnode;
        parserdescriptor.groundNode = spicegroundnode;
        setnodehooknetlist(*circuit);
        INPpas2((*circuit)->spice, deckhead(&deck), *table, *task, *options);
        setnodehooknetlist(nullptr);
        setdigitalhooks((*circuit)->hasdigital());
    });
    setnodehooknetlist(nullptr);
    freedeck(&deck);
    if (!loaded) {
        delete *circuit;
        *circuit = nullptr;
    }
}
