// Operating points through the descriptor, checked against hand-solved circuits.
#include "engines/nerith/tests/simulation.h"

#include <cmath>

using nerithtest::frontend;
using nerithtest::Simulation;

namespace {

void expectnear(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected)) << what;
}

} // namespace

TEST(OperatingPoint, ResistorNetworkWithSourcesGivesAnalyticVoltages)
{
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "n1", "0" }, { { "dc", 10 } });
    auto* r1 = s.add("Resistor", "r1", { "n1", "n2" }, { { "resistance", 1e3 } });
    s.add("Resistor", "r2", { "n2", "0" }, { { "resistance", 2e3 } });
    s.add("Resistor", "r3", { "n2", "n3" }, { { "resistance", 3e3 } });
    s.add("Resistor", "r4", { "n3", "0" }, { { "resistance", 4e3 } });
    // 1 mA flows from ground through the source into n3.
    auto* i1 = s.add("Isource", "i1", { "0", "n3" }, { { "dc", 1e-3 } });
    ASSERT_EQ(s.run(), 0) << s.message(s.run());

    // Nodal equations: 22 v2 - 4 v3 = 120 and 4 v2 - 7 v3 = -12.
    const double v3 = 744.0 / 138;
    const double v2 = 888.0 / 138;
    expectnear(s.v("n1"), 10, "n1");
    expectnear(s.v("n2"), v2, "n2");
    expectnear(s.v("n3"), v3, "n3");
    const double supply = (10 - v2) / 1e3;
    expectnear(s.ask(v1, "i"), -supply, "source current flows out of its positive terminal");
    expectnear(s.ask(v1, "p"), 10 * supply, "source power delivered");
    expectnear(s.ask(r1, "i"), supply, "resistor current");
    expectnear(s.ask(r1, "p"), supply * supply * 1e3, "resistor power");
    expectnear(s.ask(i1, "v"), -v3, "current source voltage");
    expectnear(s.ask(i1, "p"), v3 * 1e-3, "current source power delivered");
}

TEST(OperatingPoint, LongRTwoRLadderHalvesAtEveryNode)
{
    // Every node sees R to ground to its right, so each one is half the one before, down to 2^-40.
    constexpr int Sections = 40;
    Simulation s;
    s.add("Vsource", "vref", { "a0", "0" }, { { "dc", 1 } });
    for (int k = 1; k <= Sections; ++k) {
        const std::string left = "a" + std::to_string(k - 1);
        const std::string node = "a" + std::to_string(k);
        s.add("Resistor", ("rs" + std::to_string(k)).c_str(), { left.c_str(), node.c_str() },
            { { "resistance", 1e3 } });
        s.add(
            "Resistor", ("rg" + std::to_string(k)).c_str(), { node.c_str(), "0" }, { { "resistance", 2e3 } });
    }
    s.add("Resistor", "rend", { ("a" + std::to_string(Sections)).c_str(), "0" }, { { "resistance", 2e3 } });
    ASSERT_EQ(s.run(), 0);
    for (int k = 0; k <= Sections; ++k)
        expectnear(s.v(("a" + std::to_string(k)).c_str()), std::ldexp(1.0, -k), "ladder node");
}

TEST(OperatingPoint, ControlledSources)
{
    Simulation s;
    s.add("Vsource", "vin", { "in", "0" }, { { "dc", 0.5 } });
    // Voltage gain into a load.
    auto* e1 = s.add("VCVS", "e1", { "out", "0", "in", "0" }, { { "gain", 10 } });
    s.add("Resistor", "rload", { "out", "0" }, { { "resistance", 1e3 } });
    // Transconductance: gain * v(in) flows from ground through the source into g.
    auto* g1 = s.add("VCCS", "g1", { "0", "g", "in", "0" }, { { "gain", 2e-3 } });
    s.add("Resistor", "rg", { "g", "0" }, { { "resistance", 1e3 } });
    // An inverting amplifier around a high-gain VCVS: vout = -10 A / (11 + A) exactly.
    const double a = 1e6;
    s.add("Resistor", "r1", { "in", "minus" }, { { "resistance", 1e3 } });
    s.add("Resistor", "r2", { "minus", "amp" }, { { "resistance", 10e3 } });
    s.add("VCVS", "eamp", { "amp", "0", "0", "minus" }, { { "gain", a } });
    ASSERT_EQ(s.run(), 0);

    expectnear(s.v("out"), 5, "vcvs output");
    expectnear(s.ask(e1, "i"), -5e-3, "vcvs current");
    expectnear(s.ask(e1, "p"), 25e-3, "vcvs power delivered");
    expectnear(s.v("g"), 1, "vccs output");
    expectnear(s.ask(g1, "i"), 1e-3, "vccs current");
    expectnear(s.v("amp"), -0.5 * 10 * a / (11 + a), "inverting amplifier");
}

TEST(OperatingPoint, PlotNamesEveryEquationInOrderByTheNodesOwnIdentifiers)
{
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "a", "0" }, { { "dc", 2 } });
    s.add("Resistor", "r1", { "a", "b" }, { { "resistance", 1 } });
    s.add("Resistor", "r2", { "b", "0" }, { { "resistance", 1 } });
    // The branch exists as soon as it is asked for, before any run.
    const auto branch = static_cast<int32_t>(s.ask(v1, "branch"));
    ASSERT_EQ(s.run(), 0);

    ASSERT_EQ(frontend().plots.size(), 1u);
    const nerithtest::Plot& plot = frontend().plots.front();
    EXPECT_EQ(plot.analysis, "OP");
    EXPECT_TRUE(plot.ended);
    ASSERT_EQ(plot.names.size(), 3u);
    ASSERT_EQ(plot.points.size(), 1u);
    for (const char* name : { "a", "b" }) {
        IFnode* node = nullptr;
        ASSERT_EQ(s.d->findNode(s.ckt, &node, name), 0);
        EXPECT_EQ(plot.names[static_cast<std::size_t>(node->number - 1)], node->name) << name;
    }
    EXPECT_STREQ(plot.names[static_cast<std::size_t>(branch - 1)], "#v1#branch");
    EXPECT_DOUBLE_EQ(plot.points.front().second[static_cast<std::size_t>(branch - 1)], -1);
}

TEST(OperatingPoint, EmptyCircuitGivesAnEmptyPoint)
{
    Simulation s;
    ASSERT_EQ(s.run(), 0);
    ASSERT_EQ(frontend().plots.size(), 1u);
    EXPECT_TRUE(frontend().plots.front().names.empty());
    ASSERT_EQ(frontend().plots.front().points.size(), 1u);
    EXPECT_TRUE(frontend().plots.front().points.front().second.empty());
}

TEST(OperatingPoint, ParametersChangedBetweenRunsTakeEffect)
{
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    auto* r1 = s.add("Resistor", "r1", { "a", "b" }, { { "resistance", 1e3 } });
    s.add("Resistor", "r2", { "b", "0" }, { { "resistance", 1e3 } });
    ASSERT_EQ(s.run(), 0);
    expectnear(s.v("b"), 0.5, "first run");
    ASSERT_EQ(s.set(v1, "dc", 4), 0);
    ASSERT_EQ(s.set(r1, "resistance", 3e3), 0);
    ASSERT_EQ(s.run(), 0);
    expectnear(s.v("b"), 1, "second run");
}

TEST(OperatingPoint, DeletingADeviceAndItsNodeRenumbers)
{
    Simulation s;
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 3 } });
    s.add("Resistor", "r1", { "a", "b" }, { { "resistance", 1e3 } });
    auto* v2 = s.add("Vsource", "v2", { "c", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r2", { "b", "0" }, { { "resistance", 2e3 } });
    ASSERT_EQ(s.run(), 0);
    IFnode* c = s.node("c");
    EXPECT_EQ(s.d->deleteNode(s.ckt, c), E_BADVALUE);
    ASSERT_EQ(s.d->deleteInstance(s.ckt, v2), 0);
    ASSERT_EQ(s.d->deleteNode(s.ckt, c), 0);
    ASSERT_EQ(s.run(), 0);

    const nerithtest::Plot& plot = frontend().plots.back();
    ASSERT_EQ(plot.names.size(), 3u); // a, b and the branch of v1
    expectnear(s.v("b"), 2, "divider after the deletion");
    for (std::size_t i = 0; i < plot.names.size(); ++i)
        EXPECT_STRNE(plot.names[i], "c");
}

TEST(OperatingPoint, NodesetsGuideOnlyTheFirstIterations)
{
    Simulation s;
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "a", "b" }, { { "resistance", 1e3 } });
    s.add("Resistor", "r2", { "b", "0" }, { { "resistance", 1e3 } });
    ASSERT_EQ(s.nodeparm("b", "nodeset", 0.9), 0);
    ASSERT_EQ(s.run(), 0);
    expectnear(s.v("b"), 0.5, "the solution, not the nodeset");
    IFvalue iterations {};
    ASSERT_EQ(s.d->askAnalysisQuest(s.ckt, s.options, OPT_ITERATIONS, &iterations, nullptr), 0);
    EXPECT_EQ(iterations.iValue, 3);
}

TEST(OperatingPoint, PauseAndBreakStopAfterThePointAndResume)
{
    Simulation s;
    IFjob* second = nullptr;
    ASSERT_EQ(s.d->newAnalysis(s.ckt, s.analysis("OP"), "OP2", &second, s.task), 0);
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1 } });

    frontend().pauseat = 1;
    EXPECT_EQ(s.run(), E_PAUSE);
    EXPECT_EQ(frontend().plots.size(), 1u);
    EXPECT_EQ(s.run(0), 0);
    EXPECT_EQ(frontend().plots.size(), 2u);
    EXPECT_EQ(frontend().plots.back().analysis, "OP2");
    EXPECT_EQ(s.run(0), 0); // nothing left to resume
    EXPECT_EQ(frontend().plots.size(), 2u);

    frontend().pauseat = 0;
    ISPICECKT* models = nullptr;
    ASSERT_EQ(spice_initialize(nullptr, nullptr, &models), 0);
    models->suspend(nullptr, "stop here");
    EXPECT_EQ(s.run(), E_BREAK);
    EXPECT_STREQ(simerrmsg(E_BREAK), "stop here");
    EXPECT_EQ(s.run(0), 0);
    EXPECT_EQ(frontend().plots.size(), 4u);
}

TEST(OperatingPoint, DigitalSideIsBootedUntilItSettles)
{
    Simulation s(true);
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1 } });
    std::vector<std::pair<int, int>> calls;
    int setups = 0;
    frontend().digitalsetup = [&] { return ++setups; };
    frontend().bootstep = [&](int first, int settle, int* changes) {
        calls.emplace_back(first, settle);
        *changes = calls.size() < 3 ? 1 : 0;
        return 1;
    };
    ASSERT_EQ(s.run(), 0);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>> { { 1, 1 }, { 0, 1 }, { 0, 1 } }));
    EXPECT_EQ(frontend().plots.size(), 1u);

    // A digital side that never settles ends the run once the iteration limit is spent.
    calls.clear();
    frontend().bootstep = [&](int first, int settle, int* changes) {
        calls.emplace_back(first, settle);
        *changes = 1;
        return 1;
    };
    ASSERT_EQ(s.optioninteger("itl1", 5), 0);
    EXPECT_EQ(s.run(), E_ITERLIM);
    EXPECT_EQ(calls.size(), 6u);
    EXPECT_NE(s.message(E_ITERLIM).find("digital"), std::string::npos);
    EXPECT_STREQ(s.d->nonconvErr(s.ckt), "the digital side");

    frontend().digitalsetup = [] { return 0; };
    EXPECT_EQ(s.run(), E_PRIVATE + 1);
    EXPECT_NE(s.message(E_PRIVATE + 1).find("digital engine"), std::string::npos);
}
