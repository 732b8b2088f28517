#pragma once

// Netlist files run through the run tool and HELIXSIM with the real engines, and what their tests
// read back of the results.

#include "simulator/results/partition.h"
#include "testsupport/command.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

using RUN = vkt::test::COMMANDRUN;
using vkt::test::runcommand;

inline std::string fixture(const char* name)
{
    return std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name;
}

// Why a run cannot be judged yet: a piece the engines or the models do not have; empty otherwise.
inline std::string missingpiece(const std::string& output)
{
    for (const char* piece :
        { "is not supported by the engine yet", "SPICE object type", "model is not available yet" }) {
        size_t at = output.find(piece);
        if (at != std::string::npos) {
            size_t start = output.rfind('\n', at) + 1;
            return output.substr(start, output.find('\n', at) - start);
        }
    }
    return {};
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
#ifndef HELIXSIM_REAL_ENGINES
        GTEST_SKIP() << "HELIXSIM links the engine fakes";
#endif
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }

    // Runs the netlist (in that folder, else in the test's); skips the test when a piece it needs
    // is missing, else expects success.
    void simulate(const char* netlist, const std::string& folder = {})
    {
        std::string in = folder.empty() ? std::string() : "cd '" + folder + "' && ";
        run = runcommand(in + SIMRUN_PROGRAM + " " + fixture(netlist));
        std::string missing = missingpiece(run.output);
        if (!missing.empty())
            GTEST_SKIP() << "waiting on the engine: " << missing;
        ASSERT_LE(run.exitcode, 1) << run.output;
    }

    // The partition file of that name, opened with its header.
    PARTITION& results(const char* name)
    {
        partition = std::make_unique<PARTITION>(name);
        EXPECT_EQ(partition->open(PARTITION::MODE_READHEADER), 1) << name;
        return *partition;
    }

    RUN run;
    std::unique_ptr<PARTITION> partition;
};

// The levels of a digital channel of `bits` states at `time` as a number: bit i is 1 when state i
// is high, -1 when a state is neither high nor low.
inline int word(CHANNEL_ITERATOR* channel, int bits, double time)
{
    const uint32_t* states = channel->getstates(time);
    int value = 0;
    for (int bit = 0; bit < bits && states; ++bit) {
        if ((states[bit] & 3) == 3)
            value |= 1 << bit;
        else if ((states[bit] & 3) != 1)
            return -1;
    }
    return states ? value : -1;
}

// The first time after `from` at which the analog channel crosses `level` rising (linear between
// samples); negative when it does not before `until`.
inline double crossing(PARTITION& partition, const char* channel, double level, double from, double until)
{
    CHANNEL_ITERATOR* values = partition.getiterator(channel, 0);
    double previous = values->getvalue(from);
    for (double time = from + 1e-9; time <= until; time += 1e-9) {
        double value = values->getvalue(time);
        if (previous < level && value >= level)
            return time - 1e-9 * (value - level) / (value - previous);
        previous = value;
    }
    return -1;
}
