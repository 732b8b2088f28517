// Outside decks as the reference simulator takes them: model cards with grading coefficients above
// 1, parameters of other models and the reference's BSIM3 levels; an operating point that only gmin
// stepping finds; nodesets; sources whose parameters left out (or given as 0) take the run's step
// and stop; parameters and braced expressions; parameterised subcircuits; temperature coefficients
// of models and multipliers of inductors and controlled sources; diode sidewalls; a step that must
// not collapse; analyses given in a control block.
#include "host/deckrun/tests/rundeck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using decktest::Result;
using decktest::rundeck;

std::string deckfile(const char* name)
{
    std::ifstream in(std::string(VKT_TEST_SOURCE_DIR) + "/../decks/" + name);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The row whose first value is `x`, within `tolerance`; null when there is none.
const std::vector<double>* rowat(const std::vector<std::vector<double>>& rows, double x, double tolerance)
{
    const auto row = std::find_if(
        rows.begin(), rows.end(), [&](const std::vector<double>& r) { return std::fabs(r[0] - x) < tolerance; });
    return row != rows.end() ? &*row : nullptr;
}

TEST(OutsideCards, GradingAboveOneAndUnknownParametersRunWithWarnings)
{
    const Result r = rundeck(deckfile("model_cards.cir"));
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* warning : { "unknown parameter \"utra\" of model nenh left out",
             "diode model dmj: grading coefficient M = 1.3 too large, limited to 0.9",
             "BJT model qmj: grading coefficient MJE, MJC or MJS above 0.999 limited to it" })
        EXPECT_NE(r.err.find(warning), std::string::npos) << warning << "\n" << r.err;
    // A MOSFET's junctions keep their closed form above 1: no warning for them.
    EXPECT_EQ(r.err.find("MJ or MJSW"), std::string::npos) << r.err;
    EXPECT_EQ(r.rows().size(), 832u);
}

TEST(OutsideCards, Levels8And49AreBsim3)
{
    const std::string deck = deckfile("model_cards.cir");
    const Result bsim3 = rundeck(std::regex_replace(deck, std::regex("level=49"), "level=7"));
    ASSERT_EQ(bsim3.status, 0) << bsim3.err;
    for (const char* level : { "level=49", "LEVEL = 8", "level=8.0" }) {
        const Result r = rundeck(std::regex_replace(deck, std::regex("level=49"), level));
        EXPECT_EQ(r.status, 0) << level << r.err;
        EXPECT_EQ(r.out, bsim3.out) << level;
    }
}

// The first iterate leaves a node held by off devices alone; gmin stepping as the reference steps it
// reaches its operating point (ngspice's values at time 0).
TEST(OutsideCards, GminSteppingFindsTheReferencesOperatingPoint)
{
    const Result r = rundeck(deckfile("gmin_stepping.cir"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("trying gmin stepping"), std::string::npos) << r.err;
    ASSERT_FALSE(r.rows().empty());
    const std::vector<double> start = r.rows().front();
    EXPECT_NEAR(start[1], -14.76598, 1e-4);
    EXPECT_NEAR(start[2], -14.99994, 1e-3);
}

// A nodeset holds its node until the circuit has settled with it, and only then lets go: a latch
// ends where the reference's does, even at its balance point (ngspice's values).
TEST(OutsideCards, NodesetsHoldUntilTheCircuitSettlesWithThem)
{
    const std::string latch = "latch\nvdd vdd 0 5\nmp1 q qb vdd vdd pm w=10u l=2u\nmn1 q qb 0 0 nm w=5u l=2u\n"
                              "mp2 qb q vdd vdd pm w=10u l=2u\nmn2 qb q 0 0 nm w=5u l=2u\n"
                              ".model nm nmos level=1 vto=0.8 kp=50u\n.model pm pmos level=1 vto=-0.8 kp=20u\n.op\n";
    for (const auto& [nodeset, q] : { std::pair { "v(q)=2.6", 8.1e-9 }, { "v(q)=2.3", 2.405262 }, { "v(q)=4", 5.0 },
             { "v(qb)=2.6", 5.0 } }) {
        const Result r = rundeck(latch + ".nodeset " + nodeset + "\n.end\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NEAR(r.last("v(q)"), q, 1e-5) << nodeset;
    }
}

TEST(OutsideCards, SourcesTakeTheReferencesDefaults)
{
    const Result r = rundeck(deckfile("source_defaults.cir"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> names = r.names();
    auto at = [&](double time, const std::string& name) {
        const auto column = static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
        for (const std::vector<double>& row : r.rows()) {
            if (std::fabs(row[0] - time) < 1e-15)
                return row.at(column);
        }
        ADD_FAILURE() << "no point at " << time;
        return 0.0;
    };
    const double step = 0.5e-9;
    const struct {
        double time;
        const char* vector;
        double value;
    } cases[] = {
        { step, "v(p1)", 1 }, // the rise takes the step, the width the stop time
        { 2e-9, "v(p3)", 0 },
        { 2e-9 + step, "v(p3)", 1 },
        { 5e-9, "v(s2)", 1.5 }, // the frequency is 1 / the stop time
        { 2 * step, "v(e1)", -std::expm1(-1) }, // the first delay is the step too
        { 1e-9 + step, "v(e2)", -std::expm1(-1) },
        { 3e-9, "v(w1)", 0 }, // the points delayed by TD
        { 4e-9, "v(w1)", 1 },
        { 5e-9, "v(w1)", 0 },
        { 6e-9, "v(w1)", 1 }, // repeated from R after the last point
        { 5e-9, "v(f1)", 1 },
    };
    for (const auto& c : cases)
        EXPECT_NEAR(at(c.time, c.vector), c.value, 1e-6) << c.vector << " at " << c.time;
}

TEST(OutsideCards, ParametersAndBracedExpressionsTakeTheirValues)
{
    const Result r = rundeck(deckfile("params.cir"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // gain = rval / 500 = 2 into a divider of 3k over 1k, the diode still off at the first point;
    // the behavioural source halves the gained voltage.
    ASSERT_EQ(r.names(), (std::vector<std::string> { "time", "v(out)", "v(d)", "v(b)" }));
    EXPECT_NEAR(r.rows().back()[0], 20e-9, 1e-18);

    const Result bad = rundeck("t\n.param a={b+1}\nr1 n 0 {a}\nv1 n 0 1\n.op\n.end\n");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("line 2: \"b+1\" does not evaluate"), std::string::npos) << bad.err;
}

// Sidewall currents merged into the bottom's or of their own emission coefficient, a breakdown of
// its own slope, sidewall capacitance and parallel copies: ngspice's values to its printed digits.
// ngspice's operating point of the deck; instances with the same values share one copy.
TEST(OutsideCards, ParameterisedSubcircuitsTakeTheirInstancesValues)
{
    const Result r = rundeck(deckfile("subckt_params.cir"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const auto& [name, value] : { std::pair { "v(o1)", 1.333333 }, { "v(o2)", 1.333333 }, { "v(o3)", 1.5 },
             { "v(o4)", 2.666667 }, { "v(4:mid)", 4.0 }, { "v(4:aux)", 8.0 }, { "v(o5)", 1.333333 }, { "v(o6)", 1.333333 } })
        EXPECT_NEAR(r.last(name), value, 1e-6) << name;

    for (const auto& [card, problem] :
        { std::pair { "x9 in o9 divider rc=1", "line 5: subcircuit divider has no parameter rc" },
            { "x9 in o9 divider ra={1+", "line 5: the value of ra is not closed" },
            { "x9 in o9 divider ra={1+q}", "line 5: ra: \"1+q\" does not evaluate" } }) {
        const Result bad = rundeck(std::string("bad instances\n.subckt divider in out params: ra=1k\nr1 in out {ra}\n")
            + ".ends\n" + card + "\nv1 in 0 1\nr9 o9 0 1k\n.op\n.end\n");
        EXPECT_EQ(bad.status, 1) << card;
        EXPECT_NE(bad.err.find(problem), std::string::npos) << card << "\n" << bad.err;
    }
}

// ngspice's values at one of the points both take: every coefficient, TNOM and multiplier counts.
TEST(OutsideCards, ModelTemperatureCoefficientsAndMultipliersTakeTheReferencesValues)
{
    const Result r = rundeck(deckfile("model_coefficients.cir"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<double>* row = rowat(r.rows(), 5.192438e-08, 1e-14);
    ASSERT_NE(row, nullptr);
    const double expected[] = { 8.808359e-02, 2.925755e-02, 6.824360e-02, 9.653449e-01, 9.526441e-01, 2.0, -1.12539 };
    for (std::size_t k = 0; k < std::size(expected); ++k)
        EXPECT_NEAR((*row)[k + 1], expected[k], 5e-6 * std::fabs(expected[k])) << r.names()[k + 1];
}

TEST(OutsideCards, DiodeSidewallsTakeTheReferencesValues)
{
    const std::string deck = deckfile("diode_sidewall.cir");
    const Result dc = rundeck(std::regex_replace(deck, std::regex("\\.tran.*\n"), ""));
    ASSERT_EQ(dc.status, 0) << dc.err;
    EXPECT_EQ(dc.err, "");
    const struct {
        double vin, merged, wall, breakdown;
    } sweep[] = {
        { -20, -2.00018e-11, -2.00018e-11, -4.97283e-02 },
        { -16, -1.60032e-11, -1.60050e-11, -9.85393e-03 },
        { 0.6, 1.779570e-05, 2.373512e-05, 3.723971e-07 },
        { 1, 1.639149e-01, 3.097749e-01, 1.437148e-03 },
    };
    const std::vector<std::vector<double>> swept = dc.rows();
    for (const auto& c : sweep) {
        const std::vector<double>* row = rowat(swept, c.vin, 1e-9);
        ASSERT_NE(row, nullptr) << c.vin;
        EXPECT_NEAR((*row)[1], c.merged, 1e-4 * std::fabs(c.merged)) << c.vin;
        EXPECT_NEAR((*row)[2], c.wall, 1e-4 * std::fabs(c.wall)) << c.vin;
        EXPECT_NEAR((*row)[3], c.breakdown, 1e-4 * std::fabs(c.breakdown)) << c.vin;
    }

    const Result tran = rundeck(std::regex_replace(deck, std::regex("\\.dc.*\n"), ""));
    ASSERT_EQ(tran.status, 0) << tran.err;
    const std::vector<std::vector<double>> points = tran.rows();
    for (auto [time, value] : { std::pair { 3e-9, -4.55626 }, { 8e-9, -2.86825 } }) {
        const std::vector<double>* row = rowat(points, time, 1e-15);
        ASSERT_NE(row, nullptr) << time;
        EXPECT_NEAR((*row)[1], value, 1e-5) << time;
    }
}

// Where the devices' currents jitter with the rounding of the solution, the point is taken once its
// nodes settle, as the reference takes it, rather than the step cut down to nothing.
TEST(OutsideCards, HugeCompanionConductancesDoNotCollapseTheStep)
{
    const Result r = rundeck(deckfile("step_collapse.cir"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::vector<double>> points = r.rows();
    EXPECT_LT(points.size(), 200u); // ngspice: 122
    for (auto [time, out, gate] : { std::tuple { 65e-9, 9.864538, 9.498522 }, { 150e-9, 9.864519, 10.0 } }) {
        const std::vector<double>* row = rowat(points, time, 1e-15);
        ASSERT_NE(row, nullptr) << time;
        EXPECT_NEAR((*row)[1], out, 1e-5) << time;
        EXPECT_NEAR((*row)[2], gate, 1e-5) << time;
    }
}

TEST(OutsideCards, AnalysesOfAControlBlockRunAsTheReferencesBatchModeRunsThem)
{
    const Result r = rundeck("rc\nv1 in 0 pulse(0 1 1n 1n 1n 10n 20n)\nr1 in out 1k\nc1 out 0 2p\n.control\n"
                             "* the analysis given only here\ntran 0.2n 40n\nrun\nprint v(out)\n.endc\n"
                             ".print tran v(out)\n.end\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "warning: line 9: control command \"print\" left out\n");
    // ngspice's values at the corners of the pulse.
    for (const auto& [time, value] : { std::pair { 2e-9, 2.127471e-01 }, { 13e-9, 7.840502e-01 }, { 40e-9, 2.361199e-02 } }) {
        bool found = false;
        for (const std::vector<double>& row : r.rows()) {
            if (std::fabs(row[0] - time) < 1e-15) {
                EXPECT_NEAR(row[1], value, 1e-6) << time;
                found = true;
            }
        }
        EXPECT_TRUE(found) << time;
    }
}

} // namespace
