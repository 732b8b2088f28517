#include "engines/pallex/tests/harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using harness::Circuit;

namespace {

constexpr STATE X = STATE_NONE;  // an input left floating

// Drives nets "i0", "i1", ... from a DUMMY part with the given states from `time` on.
PXobject* inputs(Circuit& circuit, size_t count)
{
    std::vector<std::pair<std::string, std::string>> wiring;
    for (size_t i = 0; i < count; ++i)
        wiring.emplace_back(std::to_string(i + 1), "i" + std::to_string(i));
    return circuit.part("S", "DUMMY", wiring);
}

void poke(PXobject* source, const std::vector<STATE>& states, double time)
{
    for (size_t i = 0; i < states.size(); ++i)
        EXPECT_NE(pallex_pokepin(source, static_cast<int32_t>(i), time, states[i]), 0);
}

}  // namespace

TEST(Primitives, GatesOfAnyWidthWithUndefinedInputs)
{
    struct Case {
        const char* type;
        std::vector<STATE> in;
        STATE out;
    };
    const Case cases[] = {
        { "BUFFER", { STATE_WHI }, STATE_SHI },
        { "BUFFER", { X }, STATE_SUD },
        { "INVERTER", { STATE_SHI }, STATE_SLO },
        { "AND", { STATE_SHI, STATE_SHI, STATE_SHI }, STATE_SHI },
        { "AND", { STATE_SHI, X, STATE_SLO }, STATE_SLO },
        { "AND", { STATE_SHI, X }, STATE_SUD },
        { "NAND", { STATE_SHI, STATE_SHI }, STATE_SLO },
        { "NAND", { STATE_SLO, X }, STATE_SHI },
        { "OR", { STATE_SLO, STATE_SLO, STATE_SLO, STATE_SLO }, STATE_SLO },
        { "OR", { X, STATE_IHI }, STATE_SHI },
        { "NOR", { STATE_SLO, X }, STATE_SUD },
        { "NOR", { STATE_SLO, STATE_PLO }, STATE_SHI },
        { "XOR", { STATE_SHI, STATE_SHI, STATE_SHI }, STATE_SHI },
        { "XOR", { STATE_SHI, STATE_SLO, X }, STATE_SUD },
        { "XNOR", { STATE_SHI, STATE_SLO }, STATE_SLO },
    };
    for (const Case& test : cases) {
        Circuit circuit;
        PXobject* source = inputs(circuit, test.in.size());
        std::vector<std::pair<std::string, std::string>> wiring;
        for (size_t i = 0; i < test.in.size(); ++i)
            wiring.emplace_back(std::string(1, static_cast<char>('A' + i)), "i" + std::to_string(i));
        wiring.emplace_back("Q", "y");
        circuit.part("G", test.type, wiring, { { "INIT", "0" } });
        poke(source, test.in, 0);
        circuit.start(20e-9);
        EXPECT_EQ(circuit.state("y"), test.out) << test.type << " with " << test.in.size() << " inputs";
    }
}

TEST(Primitives, SequentialPartsFollowTheirInputsStepByStep)
{
    // Each step drives the inputs, runs 20 ns and expects Q; S and R are the last two inputs.
    struct Step {
        std::vector<STATE> in;
        STATE q;
    };
    struct Case {
        const char* type;
        std::vector<const char*> pins;
        std::vector<Step> steps;
    };
    const STATE L = STATE_SLO;
    const STATE H = STATE_SHI;
    const Case cases[] = {
        { "DFF", { "D", "CLK", "S", "R" },
            { { { H, L, L, L }, L }, { { H, H, L, L }, H }, { { L, H, L, L }, H }, { { L, L, L, L }, H },
                { { L, H, L, L }, L }, { { H, H, H, L }, H }, { { H, H, L, H }, L }, { { H, H, H, H }, STATE_SUD } } },
        // A clock through the undefined state makes its edge when it reaches the new level; a rise
        // from a clock never known may or may not be an edge.
        { "DFF", { "D", "CLK", "S", "R" }, { { { H, L, L, L }, L }, { { H, X, L, L }, L }, { { H, H, L, L }, H } } },
        { "DFF", { "D", "CLK", "S", "R" }, { { { H, L, L, L }, L }, { { H, X, L, L }, L }, { { H, L, L, L }, L } } },
        { "DFF", { "D", "CLK", "S", "R" }, { { { H, X, L, L }, L }, { { H, H, L, L }, STATE_SUD } } },
        { "JKFF", { "J", "K", "CLK", "S", "R" },
            { { { H, H, L, L, L }, L }, { { H, H, H, L, L }, H }, { { H, H, L, L, L }, H },
                { { H, H, H, L, L }, L }, { { L, L, L, L, L }, L }, { { L, L, H, L, L }, L },
                { { H, L, L, L, L }, L }, { { H, L, H, L, L }, H } } },
        { "DLATCH", { "D", "EN", "S", "R" },
            { { { H, L, L, L }, L }, { { H, H, L, L }, H }, { { L, H, L, L }, L }, { { H, L, L, L }, L } } },
        { "SRLATCH", { "S", "R" }, { { { L, L }, L }, { { H, L }, H }, { { L, L }, H }, { { L, H }, L } } },
    };
    for (const Case& test : cases) {
        Circuit circuit;
        PXobject* source = inputs(circuit, test.pins.size());
        std::vector<std::pair<std::string, std::string>> wiring;
        for (size_t i = 0; i < test.pins.size(); ++i)
            wiring.emplace_back(test.pins[i], "i" + std::to_string(i));
        wiring.emplace_back("Q", "q");
        wiring.emplace_back("!Q", "nq");
        circuit.part("F", test.type, wiring, { { "INIT", "0" }, { "TD", "1n" } });
        EXPECT_NE(pallex_setup(), 0);
        double time = 0;
        for (size_t at = 0; at < test.steps.size(); ++at) {
            poke(source, test.steps[at].in, time);
            time += 20e-9;
            circuit.advance(time);
            EXPECT_EQ(circuit.state("q"), test.steps[at].q) << test.type << " step " << at;
        }
    }
}

TEST(Primitives, FlipFlopSamplesOnTheClockEdgeAfterItsDelays)
{
    Circuit circuit;
    // Clock edges rise at 5, 15 and 25 ns; D is 0, then 1 from 8 ns, then 0 from 16 ns.
    circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "10n" } });
    circuit.part("P", "PATTERN", { { "Q", "d" } }, { { "DATA", "0 1 0" }, { "STEP", "8n" } });
    circuit.part("F", "DFF", { { "D", "d" }, { "CLK", "clk" }, { "Q", "q" } },
        { { "INIT", "1" }, { "TDLH", "1n" }, { "TDHL", "2n" } });
    harness::Watch& q = circuit.watch("q");
    circuit.start(40e-9);
    EXPECT_EQ(q.seen, (std::vector<std::pair<int64_t, STATE>> { { 7000, STATE_SLO }, { 16000, STATE_SHI }, { 27000, STATE_SLO } }));
}

TEST(Primitives, SynchronousCounterCascadeCountsEveryEdge)
{
    Circuit circuit;
    circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "10n" } });
    PXobject* reset = circuit.part("S", "DUMMY", { { "1", "rst" } });
    pallex_pokepin(reset, 0, 0, STATE_SLO);
    for (int stage = 0; stage < 2; ++stage) {
        std::vector<std::pair<std::string, std::string>> wiring { { "CLK", "clk" }, { "RST", "rst" },
            { "CO", "co" + std::to_string(stage) } };
        if (stage)
            wiring.emplace_back("EN", "co0");
        for (int bit = 0; bit < 4; ++bit)
            wiring.emplace_back("Q" + std::to_string(bit), "q" + std::to_string(stage * 4 + bit));
        circuit.part("C" + std::to_string(stage), "COUNTER", wiring, { { "INIT", "0" }, { "TD", "1n" } });
    }
    auto value = [&circuit] {
        int result = 0;
        for (int bit = 0; bit < 8; ++bit)
            result |= ((circuit.state("q" + std::to_string(bit)) & STATE_LEVEL) == STATE_HIGH) << bit;
        return result;
    };
    // 200 rising edges, at 5 ns and every 10 ns after.
    circuit.start(1.997e-6);
    EXPECT_EQ(value(), 200);
    EXPECT_EQ(circuit.state("co1"), STATE_SLO);
    pallex_pokepin(reset, 0, 2e-6, STATE_SHI);
    circuit.advance(2.0015e-6);
    EXPECT_EQ(value(), 0);
}

TEST(Primitives, TriStateOutputFloatsOverAPullUp)
{
    Circuit circuit;
    PXobject* source = inputs(circuit, 2);
    circuit.part("T", "TRIINV", { { "A", "i0" }, { "EN", "i1" }, { "Q", "y" } }, { { "TD", "2n" }, { "TDZ", "5n" } });
    circuit.part("P", "PULLUP", { { "1", "y" } });
    poke(source, { STATE_SHI, STATE_SHI }, 0);
    circuit.start(10e-9);
    EXPECT_EQ(circuit.state("y"), STATE_SLO);
    poke(source, { STATE_SHI, STATE_SLO }, 10e-9);
    circuit.advance(14e-9);
    EXPECT_EQ(circuit.state("y"), STATE_SLO);
    circuit.advance(15e-9);
    EXPECT_EQ(circuit.state("y"), STATE_WHI);
}

TEST(Primitives, PatternSourceStepsThroughItsWordsAndRepeats)
{
    Circuit circuit;
    circuit.part("P", "PATTERN", { { "Q0", "b0" }, { "Q1", "b1" } },
        { { "DATA", "1,2 3" }, { "STEP", "10n" }, { "TDELAY", "5n" }, { "REPEAT", "1" } });
    harness::Watch& b1 = circuit.watch("b1");
    circuit.start(60e-9);
    // Words 1, 2, 3 from 0, 15 and 25 ns, then again from 35 ns.
    EXPECT_EQ(b1.seen, (std::vector<std::pair<int64_t, STATE>> { { 15000, STATE_IHI }, { 35000, STATE_ILO }, { 45000, STATE_IHI } }));
    EXPECT_EQ(circuit.state("b0"), STATE_IHI);
}

TEST(Primitives, MultiplexerPicksTheSelectedInputAndKnowsOnlyWhatItsCandidatesAgreeOn)
{
    struct Case {
        std::vector<STATE> data;  // D0..D3
        std::vector<STATE> select;  // S0, S1
        STATE enable;
        STATE q;
    };
    const STATE L = STATE_SLO;
    const STATE H = STATE_SHI;
    const Case cases[] = {
        { { L, H, L, L }, { H, L }, H, H },
        { { L, L, L, H }, { H, H }, X, STATE_SUD },
        { { L, H, L, L }, { X, L }, H, STATE_SUD },
        { { H, H, L, L }, { X, L }, H, H },
        { { H, H, L, L }, { L, L }, L, L },
        { { L, H, H, H }, { L, L }, X, L },
    };
    for (const Case& test : cases) {
        Circuit circuit;
        PXobject* source = inputs(circuit, 7);
        circuit.part("M", "MUX",
            { { "D0", "i0" }, { "D1", "i1" }, { "D2", "i2" }, { "D3", "i3" }, { "S0", "i4" }, { "S1", "i5" },
                { "EN", "i6" }, { "Q", "q" }, { "!Q", "nq" } });
        std::vector<STATE> in = test.data;
        in.insert(in.end(), test.select.begin(), test.select.end());
        in.push_back(test.enable);
        poke(source, in, 0);
        circuit.start(20e-9);
        EXPECT_EQ(circuit.state("q"), test.q) << "case " << (&test - cases);
        EXPECT_EQ(circuit.state("nq"), test.q == H ? L : test.q == L ? H : STATE_SUD);
    }
}

TEST(Primitives, DecoderRaisesTheSelectedOutput)
{
    struct Case {
        std::vector<STATE> in;  // A0, A1, EN
        std::vector<STATE> q;   // Q0..Q3
    };
    const STATE L = STATE_SLO;
    const STATE H = STATE_SHI;
    const STATE U = STATE_SUD;
    const Case cases[] = {
        { { H, H, H }, { L, L, L, H } },
        { { L, L, H }, { H, L, L, L } },
        { { X, L, H }, { U, U, L, L } },
        { { L, H, L }, { L, L, L, L } },
        { { L, H, X }, { L, L, U, L } },
    };
    for (const Case& test : cases) {
        Circuit circuit;
        PXobject* source = inputs(circuit, 3);
        circuit.part("D", "DECODER",
            { { "A0", "i0" }, { "A1", "i1" }, { "EN", "i2" }, { "Q0", "q0" }, { "Q1", "q1" }, { "Q2", "q2" },
                { "Q3", "q3" } });
        poke(source, test.in, 0);
        circuit.start(20e-9);
        for (size_t bit = 0; bit < test.q.size(); ++bit)
            EXPECT_EQ(circuit.state("q" + std::to_string(bit)), test.q[bit])
                << "case " << (&test - cases) << " Q" << bit;
    }
}

TEST(Primitives, ShiftRegisterShiftsOnEachRisingEdgeAndClearsOnReset)
{
    Circuit circuit;
    circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "10n" } });
    // D is 1, 0, 1, 1 at the rising edges of 5, 15, 25 and 35 ns, then floats.
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "d" }, { "2", "rst" } });
    const STATE bits[] = { STATE_SHI, STATE_SLO, STATE_SHI, STATE_SHI };
    for (int i = 0; i < 4; ++i)
        pallex_pokepin(source, 0, i * 10e-9, bits[i]);
    pallex_pokepin(source, 0, 40e-9, STATE_NONE);
    pallex_pokepin(source, 1, 0, STATE_SLO);
    circuit.part("R", "SHIFTREG",
        { { "D", "d" }, { "CLK", "clk" }, { "RST", "rst" }, { "Q0", "q0" }, { "Q1", "q1" }, { "Q2", "q2" },
            { "Q3", "q3" } },
        { { "INIT", "0" }, { "TD", "1n" } });
    auto q = [&circuit] {
        std::string levels;
        for (int bit = 3; bit >= 0; --bit) {
            STATE state = circuit.state("q" + std::to_string(bit));
            levels += state == STATE_SHI ? '1' : state == STATE_SLO ? '0' : 'X';
        }
        return levels;
    };
    circuit.start(17e-9);
    EXPECT_EQ(q(), "0010");
    circuit.advance(37e-9);
    EXPECT_EQ(q(), "1011");
    circuit.advance(47e-9);
    EXPECT_EQ(q(), "011X");
    pallex_pokepin(source, 1, 50e-9, STATE_SHI);
    circuit.advance(52e-9);
    EXPECT_EQ(q(), "0000");
}
