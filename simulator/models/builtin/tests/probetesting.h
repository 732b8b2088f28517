#pragma once

#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/digital.h"
#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "simulator/kernel/analyses.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <memory>
#include <string>

// Circuits with probes built against the recording fakes, with their task, analysis and results
// partitions set up as before a run (partitions on the test's own folder).
class ProbeCircuitTest : public CircuitTest {
protected:
    void SetUp() override
    {
        CircuitTest::SetUp();
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }

    void TearDown() override
    {
        analysis.reset();
        for (PARTITION* partition : partitions)
            partition->close(0);
        partitions.zap();
        CircuitTest::TearDown();
    }

    // A circuit of these properties, parts and net blocks (each ending in an empty line), built,
    // with its task and analysis.
    void make(const std::string& properties, const std::string& parts, const std::string& nets)
    {
        ASSERT_TRUE(trymake(properties, parts, nets)) << log();
    }

    // The same; false when a fatal message ended the build or the set-up before the run.
    bool trymake(const std::string& properties, const std::string& parts, const std::string& nets)
    {
        auto lines = [](const std::string& text) {
            int n = 0;
            for (char c : text)
                n += c == '\n';
            return std::to_string(n);
        };
        int netcount = 0;
        for (size_t at = 0; (at = nets.find("\n\n", at)) != std::string::npos; at += 2)
            ++netcount;
        read("TAVI\n\n:Test\n*PROPERTIES," + lines(properties) + "\n" + properties + "*PARTLIST,"
            + lines(parts) + "\n" + parts + "*NETLIST," + std::to_string(netcount) + "\n" + nets);
        if (!build())
            return false;
        spicesimulator->newTask(circuit->spice, &task, "TASK");
        spicesimulator->newAnalysis(circuit->spice, 0, "OPTIONS", &options, task);
        return guarded([&] {
            analysis.reset(createanalysis(circuit.get(), task, options));
            analysis->setupresults(&moddata, &partitions);
            analysis->setup("");
            circuit->setsweepvalue("", 0);
            analysis->setoptions(0);
        });
    }

    IFtask* task = nullptr;
    IFjob* options = nullptr;
    std::unique_ptr<ANALYSIS> analysis;
    GDIDX<PARTITION> moddata;
    GDIDX<PARTITION> partitions;
};
