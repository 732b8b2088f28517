#pragma once

#include "engines/nerith/circuit.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/kernelrun.h"
#include "simulator/kernel/tests/kerneltesting.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

// A part that joins every plot and records what the analysis hands it: the value of one net at
// each point, the noise of one net, the watch record's value of that net.
class RECORDER : public COMPONENT {
public:
    explicit RECORDER(const char* name, const char* watched = "OUT", char* noisenet = nullptr)
        : COMPONENT(name, nullptr, nullptr, nullptr)
        , watched(watched)
        , noisenet(noisenet)
    {
    }
    int joinplot(IFuid* names, int32_t count, int32_t) override
    {
        index = -1;
        for (int32_t i = 0; i < count; ++i)
            if (strcasecmp(names[i], watched.c_str()) == 0)
                index = i;
        return 1;
    }
    int joinnoise(char* net, int32_t) override { return net == noisenet; }
    void writereal(double reference, const double* values, int32_t count) override
    {
        points.push_back({ reference, index >= 0 && index < count ? values[index] : 0 });
    }
    void writenoise(double frequency, const double*, int32_t, int32_t output, int32_t input) override
    {
        noise.push_back({ frequency, static_cast<double>(output * 10 + input) });
    }
    void watchpopup(const DPA* nodes, const double* values, IFcircuit*, PARTITION*) override
    {
        for (int i = 0; i < nodes->count; ++i)
            if (strcasecmp(static_cast<const char*>(nodes->items[i]), watched.c_str()) == 0)
                watchedvalue = values[i];
    }

    std::string watched;
    char* noisenet;
    int32_t index = -1;
    std::vector<std::pair<double, double>> points;
    std::vector<std::pair<double, double>> noise;
    double watchedvalue = -1;
};

// A divider: the source V1 of the variable VIN into R1 (1k) and R2 (3k); OUT is 3/4 of VIN.
inline const char* const DIVIDER = "*PARTLIST,3\n"
                                   "V1,VSOURCE,VIN,PRIMITIVE=ANALOG\n"
                                   "R1,RESISTOR,1k,PRIMITIVE=ANALOG\n"
                                   "R2,RESISTOR,3k,PRIMITIVE=ANALOG\n"
                                   "*NETLIST,3\n"
                                   "IN,2\nV1,PS,+\nR1,PS,1\n\n"
                                   "OUT,2\nR1,PS,2\nR2,PS,1\n\n"
                                   "GND,3\nV1,PS,-\nR2,PS,2\nGND,PT,GND\n\n";

// A kernel signed on, with a circuit loaded from netlist text as a run loads it, and the analysis
// the factory makes for it; its results go to the test's folder.
class AnalysisTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
        signon();
    }

    void TearDown() override
    {
        release();
        KernelTest::TearDown();
    }

    // Loads a netlist of these properties (NAME=VALUE lines) and sections; false when the load
    // failed.
    bool load(const std::string& properties, const std::string& sections = DIVIDER)
    {
        release();
        std::string path = (vkt::test::tempFolder() / "analysis.net").string();
        auto lines = std::count(properties.begin(), properties.end(), '\n');
        std::ofstream(path) << "TAVI\n\n:Test\n*PROPERTIES," << lines << "\n" << properties << sections;
        mark = size();
        if (!run.load(path.c_str()))
            return false;
        circuit->setsweepvalue("", 0);
        mark = size();
        return true;
    }

    // The factory's analysis; null when a fatal message ended it.
    ANALYSIS* create()
    {
        ANALYSIS* made = nullptr;
        guarded([&] { made = createanalysis(circuit, task, options); });
        delete analysis;
        analysis = made;
        return made;
    }

    RECORDER* addrecorder(const char* name, const char* watched = "OUT", char* noisenet = nullptr)
    {
        auto* part = new RECORDER(name, watched, noisenet);
        circuit->parts.add(part);
        circuit->analogparts.add(part);
        return part;
    }

    // Results set-up, options and one run as the batch run does them.
    int runonce(double sweep = 0)
    {
        analysis->setupresults(&moddata, &partitions);
        analysis->setup("");
        circuit->setsweepvalue("", sweep);
        analysis->setoptions(sweep);
        return analysis->run(1);
    }

    // A real parameter of a job as the engine answers it; NAN when it answers none.
    double asked(IFjob* job, const IFanalysis* kind, const char* keyword)
    {
        for (int32_t i = 0; kind && i < kind->numParms; ++i) {
            if (strcmp(kind->analysisParms[i].keyword, keyword) != 0)
                continue;
            IFvalue value {};
            if (spicesimulator->askAnalysisQuest(
                    circuit->spice, job, kind->analysisParms[i].id, &value, nullptr)
                != 0)
                return NAN;
            return value.rValue;
        }
        return NAN;
    }

    // An option as the engine's circuit holds it: the options job's values go to the circuit
    // when a run starts.
    double circuitquery(int code)
    {
        double value = NAN;
        return spicecircuit && spicecircuit->query(&value, code) ? value : NAN;
    }

    // The analysis's own parameter as the engine holds it.
    double parameter(const char* keyword) { return asked(analysis->job, analysis->type, keyword); }

    // The partitions (closed), the task, the analysis and the circuit.
    void release() { run.teardown(); }

    KERNELRUN run;
    CIRCUIT*& circuit = run.circuit;
    IFtask*& task = run.task;
    IFjob*& options = run.options;
    ANALYSIS*& analysis = run.analysis;
    GDIDX<PARTITION>& moddata = run.moddata;
    GDIDX<PARTITION>& partitions = run.partitions;
};
