#pragma once

#include "engines/mavro/mavro.h"
#include "engines/nerith/nerith.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/signon.h"
#include "simulator/kernel/simlog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Circuits built against the real engines, and the operating points the SPICE engine solves.

// An operating point whose node voltages the test keeps, by node name.
class OPERATINGPOINT final : public ANALYSIS {
public:
    OPERATINGPOINT(CIRCUIT* circuit, IFtask* task)
        : ANALYSIS("OP", circuit, task, nullptr)
    {
    }
    int beginplot(IFcircuit*, IFjob*, int32_t count, IFuid* names, int32_t) override
    {
        nodes.assign(names, names + count);
        return 0;
    }
    int beginrun() override { return 0; }
    int writedata(IFvalue*, IFvalue* data) override
    {
        for (int32_t i = 0; i < data->v.numValue && i < static_cast<int32_t>(nodes.size()); ++i)
            voltages[nodes[static_cast<size_t>(i)]] = data->v.vec.rVec[i];
        return 0;
    }
    int endrun() override { return 0; }
    int endplot() override { return 0; }

    std::vector<std::string> nodes;
    std::map<std::string, double> voltages;
};

class RealEngineTest : public testing::Test {
protected:
    void SetUp() override
    {
        memset(traceflags, 0, sizeof traceflags);
        simstatus = 0;
        output = tmpfile();
        simsignon(fileno(output), nullptr, 0);
    }

    void TearDown() override
    {
        if (task)
            spicesimulator->deleteTask(circuit->spice, task);
        INPtabEnd(table);
        delete circuit;
        fclose(output);
    }

    // Reads and builds the netlist under a guard; false when a fatal message ended it.
    bool build(const std::string& text)
    {
        circuit = new CIRCUIT;
        FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        circuit->read(stream);
        fclose(stream);
        simlog()->registerchannels(nullptr, traceflags, 0, &circuit->getproperties(), nullptr);
        table = INPtabInit(64);
        parserdescriptor = *spicesimulator;
        return guarded([&] { circuit->build(table); });
    }

    // The operating point after the parts read their properties, as before a run (on the load's
    // task when there is one).
    std::map<std::string, double> operatingpoint()
    {
        circuit->setsweepvalue("", 0);
        if (!task)
            spicesimulator->newTask(circuit->spice, &task, "TASK");
        OPERATINGPOINT analysis(circuit, task);
        EXPECT_EQ(analysis.run(1), 0) << log();
        return analysis.voltages;
    }

    std::string log()
    {
        struct stat status { };
        fstat(fileno(output), &status);
        std::string text(static_cast<size_t>(status.st_size), '\0');
        ssize_t n = pread(fileno(output), text.data(), text.size(), 0);
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return text;
    }

    FILE* output = nullptr;
    CIRCUIT* circuit = nullptr;
    INPtables* table = nullptr;
    IFtask* task = nullptr;
};
