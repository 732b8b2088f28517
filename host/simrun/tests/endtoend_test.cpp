// Netlist files run through the run tool and HELIXSIM with the real engines, their probe channels
// checked against the analytic response and, where it is installed, the reference simulator.
#include "host/partdump/dump.h"
#include "host/simrun/tests/endtoend.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

TEST_F(EndToEnd, PulseIntoRcMatchesTheAnalyticResponseAndTheReference)
{
    ASSERT_NO_FATAL_FAILURE(simulate("rc.net"));
    CHANNEL_ITERATOR* probe = results("RC").getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    const double tau = 1e-3;
    for (int i = 1; i <= 50; ++i) {
        double t = i * 1e-4;
        EXPECT_NEAR(probe->getvalue(t), 1 - std::exp(-t / tau), 1e-3) << "t=" << t;
    }
    expectreference("rc.cir", "RC", { "VOUT" });
}

// The SPICE parts of the capacitor, the inductor, the current-controlled sources, the subcircuit,
// the behavioural and the polynomial sources, each circuit checked against the same one in ngspice.
TEST_F(EndToEnd, SpicePartsMatchTheReference)
{
    const struct {
        const char* netlist;
        const char* deck;
        const char* partition;
        std::vector<const char*> channels;
    } circuits[] = {
        { "coupled.net", "coupled.cir", "COUPLED", { "VB", "VC", "VOUT" } },
        { "subckt.net", "subckt.cir", "SUBCKT", { "VOUT" } },
        { "behavioural.net", "behavioural.cir", "BEHAVIOURAL", { "VMUL", "VLIM", "VI" } },
        { "polysource.net", "polysource.cir", "POLYSOURCE", { "VLIN", "VPOLY", "VCUR" } },
    };
    for (const auto& c : circuits) {
        SCOPED_TRACE(c.netlist);
        ASSERT_NO_FATAL_FAILURE(simulate(c.netlist));
        EXPECT_EQ(run.output.find("#W:"), std::string::npos) << run.output;
        expectreference(c.deck, c.partition, c.channels);
    }
}

TEST_F(EndToEnd, HalfWaveRectifierPassesOnlyThePositiveHalves)
{
    ASSERT_NO_FATAL_FAILURE(simulate("rectifier.net"));
    CHANNEL_ITERATOR* probe = results("RECT").getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    // Peak of the positive half less one diode drop; the negative half blocked.
    double peak = probe->getvalue(0.25e-3);
    EXPECT_GT(peak, 4.0);
    EXPECT_LT(peak, 4.6);
    EXPECT_NEAR(probe->getvalue(0.75e-3), 0.0, 1e-3);
    EXPECT_NEAR(probe->getvalue(1.25e-3), peak, 0.05);
}

TEST_F(EndToEnd, DcSweepRecordsOnePointPerStep)
{
    ASSERT_NO_FATAL_FAILURE(simulate("dcsweep.net"));
    PARTITION& sweep = results("SWEEP");
    EXPECT_EQ(sweep.runcount, 1);
    CHANNEL_ITERATOR* probe = sweep.getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    int points = 0;
    probe->getmaxmarkers(&points);
    EXPECT_EQ(points, 11);
    for (double vin : { 0.0, 2.0, 5.0, 10.0 })
        EXPECT_NEAR(probe->getvalue(vin), 0.75 * vin, 1e-6) << vin;
}

TEST_F(EndToEnd, FrequencyRunRecordsComplexSamplesThatTheDumpPrints)
{
    ASSERT_NO_FATAL_FAILURE(simulate("lowpass_ac.net"));
    const std::string path = (vkt::test::tempFolder() / "LOWPASS.PDF").string();
    std::FILE* out = std::tmpfile();
    ASSERT_EQ(dumppartition(path.c_str(), false, out), 0);
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    EXPECT_NE(text.find("0,VOUT,OUT,complex,16\n"), std::string::npos) << text;
    // 5 points a decade from 10 Hz to 100 kHz, each 1 / (1 + jwRC).
    int points = 0;
    std::istringstream lines(text.substr(text.find("run,channel,time,value\n")));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && !line.empty()) {
        double f = 0, re = 0, im = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "0,VOUT,%lf,%lf,%lf", &f, &re, &im), 3) << line;
        const std::complex<double> expected = 1.0 / std::complex<double>(1, 2 * M_PI * f * 1e-3);
        EXPECT_NEAR(re, expected.real(), 1e-9) << f;
        EXPECT_NEAR(im, expected.imag(), 1e-9) << f;
        EXPECT_NEAR(f, 10 * std::pow(10, points / 5.0), 1e-9 * f);
        ++points;
    }
    EXPECT_EQ(points, 21);
}

TEST_F(EndToEnd, InteractiveRunTicksPassesTheScriptAndNamesItsResults)
{
    run = interactiverun(fixture("live.net"), "2ms event 0x10 1\n3ms pause\n4ms snapshot\n", "--tick 1ms --until 5ms");
    ASSERT_LE(run.exitcode, 1) << run.output;
    expectinorder(run.output,
        { "initialize: 0\n",
            "host events: 1\n  event sheet=00000001 id=00000002 element=0 kind=0 value=0\ntick 0 0: 0\n",
            "tick 3 0.001: 0\n", "event 16 1 at 0.002: 0\n", "tick 3 0.002: 0\n", "tick 2 0.003: 0\n",
            "tick 10 0.004: 0\n", "tick 3 0.005: 0\n",
            "#I:Results written to '" + (vkt::test::tempFolder() / "LIVE.PDF").string() + "'.\n", "result: 0\n" });
    // The readings the probe posted follow the charging of the capacitor.
    PARTITION& live = results("LIVE");
    CHANNEL_ITERATOR* probe = live.getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    EXPECT_NEAR(probe->getvalue(5e-3), 1 - std::exp(-5), 1e-3);
}

TEST_F(EndToEnd, InteractiveRunWithoutTstopLeavesItsLastSnapshotWhenItEnds)
{
    run = interactiverun(fixture("snapshot.net"), "2ms snapshot\n", "--tick 1ms --until 3ms");
    ASSERT_LE(run.exitcode, 1) << run.output;
    PARTITION& snapshot = results("SNAP");
    EXPECT_EQ(snapshot.runcount, 2);
    CHANNEL_ITERATOR* probe = snapshot.getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    EXPECT_NEAR(probe->getvalue(0), 1 - std::exp(-2), 1e-3);
    DIDX records;
    ASSERT_EQ(snapshot.loadrecords(records), 1);
    EXPECT_NE(records["C1"], nullptr);
    records.zap();
}

// The live meters are models that stamp themselves through the engine's interface device: a
// voltmeter loading the capacitor with 1k halves the time constant and the final voltage, and the
// ammeter in the feed reads the current the voltage leaves.
TEST_F(EndToEnd, LiveMetersReadTheCircuitTheyLoad)
{
    run = runcommand(
        std::string(SIMRUN_PROGRAM) + " --interactive " + fixture("meters.net") + " --tick 1ms --until 3ms");
    ASSERT_LE(run.exitcode, 1) << run.output;
    std::vector<double> readings;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find("value=");
        if (at != std::string::npos)
            readings.push_back(std::stod(line.substr(at + 6)));
    }
    ASSERT_EQ(readings.size(), 8u) << run.output;
    for (int tick = 1; tick <= 3; ++tick) {
        const double voltage = 0.5 * -std::expm1(-2.0 * tick);
        EXPECT_NEAR(readings[2 * tick], (1 - voltage) / 1e3, 1e-7) << tick;
        EXPECT_NEAR(readings[2 * tick + 1], voltage, 1e-4) << tick;
    }
}

TEST_F(EndToEnd, BatchRunNamesTheResultsFileItWrote)
{
    ASSERT_NO_FATAL_FAILURE(simulate("rc.net"));
    EXPECT_NE(
        run.output.find("#I:Results written to '" + (vkt::test::tempFolder() / "RC.PDF").string() + "'.\n"),
        std::string::npos)
        << run.output;
}

TEST_F(EndToEnd, DigitalPartsRecordTheirStateSequence)
{
    ASSERT_NO_FATAL_FAILURE(simulate("logic.net"));
    PARTITION& logic = results("LOGIC");
    CHANNEL_ITERATOR* count = logic.getiterator("PC", 0);
    CHANNEL_ITERATOR* onehot = logic.getiterator("PY", 0);
    CHANNEL_ITERATOR* toggle = logic.getiterator("PF", 0);
    ASSERT_TRUE(count && onehot && toggle);
    // The clock rises at 50 ns and every 100 ns after; the count follows 5 ns later, the decoder
    // 2 ns after the count, and the flip-flop toggles 3 ns after the decoder raises its output 7.
    EXPECT_EQ(word(count, 3, 54.9e-9), 0);
    EXPECT_EQ(word(onehot, 8, 56.9e-9), 1);
    for (int edge = 0; edge < 19; ++edge) {
        double clock = 50e-9 + edge * 100e-9;
        int expected = (edge + 1) % 8;
        EXPECT_EQ(word(count, 3, clock + 5.1e-9), expected) << clock;
        EXPECT_EQ(word(count, 3, clock + 99e-9), expected) << clock;
        EXPECT_EQ(word(onehot, 8, clock + 7.1e-9), 1 << expected) << clock;
    }
    EXPECT_EQ(word(toggle, 1, 659.9e-9), 0);
    EXPECT_EQ(word(toggle, 1, 660.1e-9), 1);
    EXPECT_EQ(word(toggle, 1, 1459.9e-9), 1);
    EXPECT_EQ(word(toggle, 1, 1460.1e-9), 0);
}

TEST_F(EndToEnd, MixedCircuitKeepsItsAnalogAndDigitalChannelsInStep)
{
    ASSERT_NO_FATAL_FAILURE(simulate("mixed.net"));
    PARTITION& mixed = results("MIXED");
    // The divider's output rises at 1.51, 5.51 and 9.51 us and falls 2 us after each rise.
    CHANNEL_ITERATOR* divider = mixed.getiterator("PD", 0);
    ASSERT_NE(divider, nullptr);
    for (double rise : { 1.51e-6, 5.51e-6, 9.51e-6 }) {
        EXPECT_EQ(word(divider, 1, rise - 1e-9), 0) << rise;
        EXPECT_EQ(word(divider, 1, rise + 1e-9), 1) << rise;
        EXPECT_EQ(word(divider, 1, rise + 2e-6 - 1e-9), 1) << rise;
        EXPECT_EQ(word(divider, 1, rise + 2e-6 + 1e-9), 0) << rise;
    }
    // The RC low-pass charges from the first rise with its time constant (1k plus the 1 ohm of
    // the interface's output, 1 nF).
    CHANNEL_ITERATOR* rc = mixed.getiterator("VRC", 0);
    ASSERT_NE(rc, nullptr);
    const double tau = 1001 * 1e-9;
    for (double after : { 0.2e-6, 0.5e-6, 1e-6, 1.5e-6 })
        EXPECT_NEAR(rc->getvalue(1.51e-6 + after), 5 * (1 - std::exp(-after / tau)), 0.02) << after;
    // The flip-flop toggles 5 ns after the RC voltage crosses the interface's high threshold (70 %
    // of the 5 V supply) going up, once per rise of the divider.
    CHANNEL_ITERATOR* toggle = mixed.getiterator("PF", 0);
    ASSERT_NE(toggle, nullptr);
    int expected = 0;
    for (double rise : { 1.51e-6, 5.51e-6, 9.51e-6 }) {
        double cross = crossing(mixed, "VRC", 3.5, rise, rise + 2e-6);
        ASSERT_GT(cross, 0) << rise;
        EXPECT_EQ(word(toggle, 1, cross + 5e-9 - 2e-9), expected) << cross;
        expected ^= 1;
        EXPECT_EQ(word(toggle, 1, cross + 5e-9 + 2e-9), expected) << cross;
    }
}

TEST_F(EndToEnd, ExampleModelLibraryLoadsSimulatesAndIsReleased)
{
    setenv("MODELS", MODELLIBRARIES, 1);
    simulate("staircase.net");
    unsetenv("MODELS");
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.output.find("#W:"), std::string::npos) << run.output;
    PARTITION& staircase = results("STAIRCASE");
    CHANNEL_ITERATOR* count = staircase.getiterator("PQ", 0);
    CHANNEL_ITERATOR* out = staircase.getiterator("VO", 0);
    ASSERT_TRUE(count && out);
    // The clock rises at 0.5 us and every 1 us after; each edge counts 10 ns later, and OUT steps
    // by 1 V of the model's 7 V full scale, 0.9 V across the load.
    for (int edge = 0; edge < 9; ++edge) {
        double settled = 1.4e-6 + edge * 1e-6;
        int expected = (edge + 1) % 8;
        EXPECT_EQ(word(count, 3, settled), expected) << settled;
        EXPECT_NEAR(out->getvalue(settled), 0.9 * expected, 1e-6) << settled;
    }
}

} // namespace
