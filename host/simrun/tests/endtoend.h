#pragma once

// Netlist files run through the run tool and HELIXSIM with the real engines, batch or interactive,
// and what their tests read back of the results and the output.

#include "platform/hulvane/results/partition.h"
#include "testsupport/command.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using RUN = vkt::test::COMMANDRUN;
using vkt::test::runcommand;

inline std::string fixture(const char* name)
{
    return std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name;
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }

    // Runs the netlist (in that folder, else in the test's) and expects success.
    void simulate(const char* netlist, const std::string& folder = {})
    {
        std::string in = folder.empty() ? std::string() : "cd '" + folder + "' && ";
        run = runcommand(in + SIMRUN_PROGRAM + " " + fixture(netlist));
        ASSERT_LE(run.exitcode, 1) << run.output;
    }

    // The partition file of that name, opened with its header.
    PARTITION& results(const char* name)
    {
        partition = std::make_unique<PARTITION>(name);
        EXPECT_EQ(partition->open(PARTITION::MODE_READHEADER), 1) << name;
        return *partition;
    }

    // Runs the fixture deck through ngspice, whose wrdata card writes <deck>out.txt: time and value
    // pairs of the partition's channels in order, and expects each channel within `share` of the
    // vector's range of ngspice's value at ngspice's time points. scripts/install-deps installs ngspice.
    void expectreference(
        const char* deck, const char* name, const std::vector<const char*>& channels, double share = 1e-3)
    {
        ASSERT_EQ(runcommand("command -v ngspice").exitcode, 0) << "the reference simulator ngspice is missing";
        std::filesystem::path folder = vkt::test::makeTempSubfolder("ngspice");
        std::filesystem::copy_file(
            fixture(deck), folder / deck, std::filesystem::copy_options::overwrite_existing);
        RUN reference = runcommand("cd '" + folder.string() + "' && ngspice -b " + deck);
        std::ifstream data(folder / (std::filesystem::path(deck).stem().string() + "out.txt"));
        ASSERT_TRUE(data) << reference.output;
        std::vector<std::vector<double>> rows;
        for (std::string line; std::getline(data, line);) {
            std::istringstream numbers(line);
            std::vector<double>& row = rows.emplace_back();
            for (double value; numbers >> value;)
                row.push_back(value);
        }
        ASSERT_GT(rows.size(), 100u);
        PARTITION& results = this->results(name);
        for (std::size_t k = 0; k < channels.size(); ++k) {
            CHANNEL_ITERATOR* probe = results.getiterator(channels[k], 0);
            ASSERT_NE(probe, nullptr) << channels[k];
            double least = rows[0][2 * k + 1];
            double most = least;
            for (const auto& row : rows) {
                least = std::min(least, row[2 * k + 1]);
                most = std::max(most, row[2 * k + 1]);
            }
            for (const auto& row : rows)
                EXPECT_NEAR(probe->getvalue(row[2 * k]), row[2 * k + 1], share * (most - least))
                    << channels[k] << " at t=" << row[2 * k];
        }
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

// Expects each piece in the output, each after the one before.
inline void expectinorder(const std::string& output, const std::vector<std::string>& pieces)
{
    size_t at = 0;
    for (const std::string& piece : pieces) {
        size_t found = output.find(piece, at);
        EXPECT_NE(found, std::string::npos) << "missing, or out of order:\n" << piece << "\nin:\n" << output;
        if (found != std::string::npos)
            at = found + piece.size();
    }
}

// An interactive run of the netlist file with the host's script (host/simrun/hostscript.h) and the
// options --tick and --until.
inline vkt::test::COMMANDRUN interactiverun(
    const std::string& netlist, const std::string& script, const std::string& options)
{
    std::string path = (vkt::test::tempFolder() / "host.txt").string();
    std::ofstream(path) << script;
    return vkt::test::runcommand(
        std::string(SIMRUN_PROGRAM) + " --interactive " + netlist + " " + options + " --events " + path);
}
