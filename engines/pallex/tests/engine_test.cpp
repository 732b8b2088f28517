#include "engines/pallex/tests/harness.h"

#include "engines/contract/simlog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using harness::Circuit;

namespace {

// A ring of inverters "I0".."I<n-1>" on nets "n0".."n<n-1>" (inverter i drives n<i> from n<i-1>),
// started with the single inconsistency at I0 when `init` is set.
void ring(Circuit& circuit, int count, std::map<std::string, std::string> properties, bool init)
{
    for (int i = 0; i < count; ++i) {
        auto given = properties;
        if (init)
            given["INIT"] = std::to_string(i % 2);
        std::string in = "n" + std::to_string((i + count - 1) % count);
        std::string out = "n" + std::to_string(i);
        circuit.part("I" + std::to_string(i), "INVERTER", { { "A", in }, { "Q", out } }, given);
    }
}

class Log final : public ISIMLOG {
public:
    int trace(TRACEFLAG*, int, const char*, va_list) override { return 0; }
    void registerchannels(const TRACEFLAGINFO*, TRACEFLAG*, int32_t, PROPLIST*, ITRACEOWNER*) override {}
    void setlevels(const int32_t*) override {}
    int log(int cls, const char* format, va_list args) override
    {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        lines.push_back(std::string(1, static_cast<char>(cls)) + " " + text);
        return 1;
    }
    void source(const char*, int32_t) override {}
    void help(int32_t, const char*) override {}

    std::vector<std::string> lines;
};

}  // namespace

TEST(Engine, InverterRingOscillatesWithThePeriodOfItsDelays)
{
    Circuit circuit;
    ring(circuit, 5, { { "TDLH", "1n" }, { "TDHL", "2n" } }, true);
    harness::Watch& n0 = circuit.watch("n0");
    EXPECT_EQ(circuit.start(100e-9), 1);
    // One wave: every inverter rises and falls once a period, 5 * (1 ns + 2 ns).
    EXPECT_EQ(n0.rises(), (std::vector<int64_t> { 1000, 16000, 31000, 46000, 61000, 76000, 91000 }));
    EXPECT_EQ(circuit.state("n0"), STATE_SLO);
}

TEST(Engine, RingWithoutAStartingValueStaysUndefined)
{
    Circuit circuit;
    ring(circuit, 3, {}, false);
    circuit.start(1e-6);
    EXPECT_EQ(circuit.state("n1"), STATE_SUD);
}

TEST(Engine, TwoStrongDriversThatDisagreeAreFlaggedAsContention)
{
    Circuit circuit;
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "a" }, { "2", "b" } });
    circuit.part("B1", "BUFFER", { { "A", "a" }, { "Q", "y" } });
    circuit.part("B2", "BUFFER", { { "A", "b" }, { "Q", "y" } });
    circuit.part("P", "PULLUP", { { "1", "y" } });
    pallex_pokepin(source, 0, 0, STATE_SLO);
    pallex_pokepin(source, 1, 0, STATE_SHI);
    circuit.start(50e-9);
    EXPECT_EQ(circuit.state("y"), STATE_SUD | STATE_CONTENTION);
    pallex_pokepin(source, 1, 60e-9, STATE_SLO);
    circuit.advance(100e-9);
    EXPECT_EQ(circuit.state("y"), STATE_SLO);
}

TEST(Engine, ZeroDelayLoopIsReportedAndBreaksTheRun)
{
    Log log;
    pallex_signon(1, &log, nullptr);
    {
        Circuit circuit;
        ring(circuit, 3, { { "TD", "0" } }, true);
        EXPECT_EQ(circuit.start(1e-9), 3);
    }
    pallex_signon(1, nullptr, nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "E The digital circuit oscillates without delay at 0 s.");
}

TEST(Engine, SameSeedsGiveTheSameRunAndOtherSeedsAnother)
{
    // A twisted ring of flip-flops from random starting states, with scattered delays.
    auto trace = [](const char* initseed, const char* tdseed) {
        Circuit circuit({ { "INITSEED", initseed }, { "TDSCALE", "RANDOM" }, { "TDSEED", tdseed },
            { "TDLOWER", "0.5" }, { "TDUPPER", "1.5" } });
        circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "20n" } });
        circuit.part("N", "INVERTER", { { "A", "q5" }, { "Q", "d0" } });
        for (int i = 0; i < 6; ++i) {
            std::string d = i ? "q" + std::to_string(i - 1) : "d0";
            circuit.part("F" + std::to_string(i), "DFF", { { "D", d }, { "CLK", "clk" }, { "Q", "q" + std::to_string(i) } });
        }
        harness::Watch& watch = circuit.watch("q3");
        circuit.start(2e-6);
        return watch.seen;
    };
    auto first = trace("3", "7");
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(trace("3", "7"), first);
    EXPECT_NE(trace("4", "7"), first);
    EXPECT_NE(trace("3", "8"), first);
}

namespace {

// A model that asks for a callback at set-up, then drives its output one nanosecond after it.
class Pulser final : public IPALLEXMODEL {
public:
    int digitalpin(const char*) override { return 1; }
    void bindpallex(IINSTANCE* part, IPALLEXCKT* bound) override
    {
        instance = part;
        circuit = bound;
    }
    void runmode(int32_t) override {}
    void setstate(double, int32_t) override {}
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void simulate(int64_t time, uint32_t mode) override
    {
        if (mode & SIM_FIRST)
            circuit->setcallback(5000, this, 42);
        if (mode & SIM_EVALUATE)
            evaluated.push_back(time);
    }
    void callback(int64_t time, intptr_t value) override
    {
        called.emplace_back(circuit->gettime(), value);
        past = circuit->setcallback(time - 1, this, 0);
        output->setstate(time + 1000, STATE_SHI);
        if (value == 42)
            circuit->setcallback(time + 10000, this, 43);
        else
            circuit->suspend(instance, "stop");
    }
    int32_t pallexevent(intptr_t) override { return 0; }

    IINSTANCE* instance = nullptr;
    IPALLEXCKT* circuit = nullptr;
    IPALLEXPIN2* output = nullptr;
    std::vector<std::pair<int64_t, intptr_t>> called;
    std::vector<int64_t> evaluated;
    int past = -1;
};

}  // namespace

TEST(Engine, ModelsGetCallbacksDriveTheirPinsAndSeeTheirInputs)
{
    Circuit circuit;
    Pulser pulser;
    PXobject* part = nullptr;
    ASSERT_NE(pallex_create(&circuit.instance("M"), "INTMODEL", nullptr, &pulser, &part), 0);
    EXPECT_EQ(pulser.circuit, circuit.circuit);
    IPALLEXPIN2* input = nullptr;
    ASSERT_NE(pallex_connect(part, "Y", 2, "y", &pulser.output), 0);
    ASSERT_NE(pallex_connect(part, "A", 1, "y2", &input), 0);
    EXPECT_EQ(input->setstate(0, STATE_SHI), 0);
    circuit.part("B", "BUFFER", { { "A", "y" }, { "Q", "y2" } }, { { "TD", "2n" } });

    EXPECT_EQ(circuit.start(5.5e-9), 1);
    EXPECT_EQ(pulser.called, (std::vector<std::pair<int64_t, intptr_t>> { { 5000, 42 } }));
    EXPECT_EQ(pulser.past, 0);
    EXPECT_EQ(circuit.state("y"), STATE_FLT);
    EXPECT_EQ(circuit.advance(6e-9), 1);
    EXPECT_EQ(circuit.state("y"), STATE_SHI);
    EXPECT_EQ(circuit.advance(14e-9), 1);
    EXPECT_EQ(input->ishigh(), 1);
    // The buffer's output, undefined from the start, went high at 8 ns.
    EXPECT_EQ(pulser.evaluated, (std::vector<int64_t> { 8000 }));
    // The second callback suspends: the run breaks after the point, then goes on.
    EXPECT_EQ(circuit.advance(20e-9), 3);
    EXPECT_EQ(circuit.advance(30e-9), 1);
}

TEST(Engine, DrivesAskedForAheadAllHappenInOrder)
{
    Circuit circuit;
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "a" } });
    harness::Watch& a = circuit.watch("a");
    EXPECT_NE(pallex_setup(), 0);
    pallex_pokepin(source, 0, 3e-9, STATE_SLO);
    pallex_pokepin(source, 0, 1e-9, STATE_SHI);
    pallex_pokepin(source, 0, 2e-9, STATE_WLO);
    pallex_pokepin(source, 0, 2e-9, STATE_WHI);
    circuit.advance(5e-9);
    EXPECT_EQ(a.seen, (std::vector<std::pair<int64_t, STATE>> { { 1000, STATE_SHI }, { 2000, STATE_WHI }, { 3000, STATE_SLO } }));
}
