// Controlled, behavioural, coupled and switch cards through the parser into the engine, checked
// against closed forms: F, H, B, K, S and W cards and the POLY and VALUE forms of E, F, G and H as
// the simulator's deck translation writes them.
#include "host/deckrun/tests/rundeck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using decktest::Result;
using decktest::rundeck;

struct Expected {
    const char* vector;
    double value;
};

void expectvalues(const Result& r, std::initializer_list<Expected> expected)
{
    ASSERT_EQ(r.status, 0) << r.err;
    for (const Expected& e : expected)
        EXPECT_NEAR(r.last(e.vector), e.value, 1e-6 * std::max(1.0, std::fabs(e.value))) << e.vector;
}

// Sources and a sensing source whose current is 3 mA.
constexpr const char* Sensing = "sources\n"
                                "v1 in 0 dc 2\n"
                                "v2 in2 0 dc 3\n"
                                "vs in2 x 0\n"
                                "rx x 0 1k\n";

} // namespace

TEST(ControlledCards, CurrentControlledAndPolynomialSourcesFollowTheirControls)
{
    const Result r = rundeck(std::string(Sensing)
        + "f1 0 a vs 2\nra a 0 1k\n"
          "h1 b 0 vs 500\nrb b 0 1k\n"
          "e1 c 0 poly(2) in 0 in2 0 1 2 3 0.5\nrc c 0 1k\n"
          "g1 0 d poly(1) in 0 0 1m 1m\nrd d 0 1k\n"
          "f2 0 e poly(2) vs vs 1m 0 0 0 0 1k\nre e 0 1k\n"
          "h2 f 0 poly(1) vs 1 1k\nrf f 0 1k\n"
          "e2 g 0 value={v(in)*v(in2)+log(v(in2))}\nrg g 0 1k\n"
          ".op\n.print op v(a) v(b) v(c) v(d) v(e) v(f) v(g)\n");
    expectvalues(r,
        {
            { "v(a)", 2 * 3e-3 * 1e3 },
            { "v(b)", 500 * 3e-3 },
            { "v(c)", 1 + 2 * 2 + 3 * 3 + 0.5 * 2 * 2 },
            { "v(d)", (1e-3 * 2 + 1e-3 * 4) * 1e3 },
            { "v(e)", (1e-3 + 1e3 * 3e-3 * 3e-3) * 1e3 },
            { "v(f)", 1 + 1e3 * 3e-3 },
            { "v(g)", 2 * 3 + std::log(3.0) },
        });
}

TEST(ControlledCards, AControlThatIsNoSourceFailsTheRunNamingIt)
{
    const struct {
        const char* card;
        const char* message;
    } cases[] = {
        { "f1 0 a vnone 2", "its controlling source vnone does not exist" },
        { "h1 a 0 rx 2", "its controlling device rx is no voltage source" },
        { "w1 a 0 rx wmod", "its controlling device rx is no voltage source" },
        { "b1 a 0 v=i(ra)", "its controlling device ra is no voltage source" },
    };
    for (const auto& c : cases) {
        const Result r = rundeck(std::string(Sensing) + c.card + "\nra a 0 1k\n.model wmod csw\n.op\n");
        EXPECT_EQ(r.status, 1) << c.card;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(ControlledCards, BehaviouralSourcesSolveTheirExpressions)
{
    // A multiplier, a soft limiter, a current of a sensing source, a diode law that Newton solves by
    // its exact slope, and a quantity the time sets.
    const Result op = rundeck(std::string(Sensing)
        + "b1 m 0 v=v(in)*v(in2,in)\nrm m 0 1k\n"
          "b2 l 0 v=1.5*tanh(v(in)/0.5)\nrl l 0 1k\n"
          "b3 0 s i=i(vs)*2\nrs s 0 1k\n"
          "i1 0 n 2m\nb4 n 0 i=1m*(exp(v(n)/0.1)-1)\n"
          "b5 t 0 v=1+time\nrt t 0 1k\n"
          ".op\n.print op v(m) v(l) v(s) v(n) v(t)\n");
    expectvalues(op,
        {
            { "v(m)", 2 * (3 - 2) },
            { "v(l)", 1.5 * std::tanh(4.0) },
            { "v(s)", 2 * 3e-3 * 1e3 },
            { "v(n)", 0.1 * std::log(3.0) },
            { "v(t)", 1 },
        });
    const Result tran = rundeck("ramp\nb1 t 0 v=1k*time\nrt t 0 1k\n.tran 10u 1m\n.print tran v(t)\n");
    expectvalues(tran, { { "v(t)", 1 } });
}

TEST(ControlledCards, AnExpressionOutsideItsDomainIsHeldFiniteAndWarnedOnce)
{
    // b1 divides by a node that stays at 0; b2 takes a root of a negative number at the first
    // iterate only.
    const Result r = rundeck("domain\nv1 a 0 dc 3\nrz z 0 1k\n"
                             "b1 y 0 v=1/v(z)\nry y 0 1k\n"
                             "b2 w 0 v=sqrt(v(a)-1)\nrw w 0 1k\n"
                             ".tran 10u 50u\n.print tran v(y) v(w)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& row : r.rows()) {
        for (double value : row)
            EXPECT_TRUE(std::isfinite(value));
    }
    EXPECT_NEAR(r.last("v(w)"), std::sqrt(2.0), 1e-9);
    const std::string warning = "b1: the expression has no finite value at an iterate";
    const std::size_t first = r.err.find(warning);
    EXPECT_NE(first, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(warning, first + 1), std::string::npos) << r.err;
}

TEST(ControlledCards, CoupledInductorsTransformByTheirMutualInductance)
{
    // An open secondary sees M di1/dt = (M / L1) v1, with M = k sqrt(L1 L2).
    const Result r
        = rundeck("transformer\nv1 in 0 sin(0 1 1k)\nr1 in a 1\nl1 a 0 1m\nl2 b 0 4m\nk1 l1 l2 0.9\n"
                  "r2 b 0 1meg\n.tran 5u 2m 0 5u\n.print tran v(a) v(b)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    int checked = 0;
    for (const auto& row : r.rows()) {
        if (std::fabs(row[1]) < 0.5)
            continue;
        EXPECT_NEAR(row[2] / row[1], 0.9 * 2, 1e-3) << row[0];
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

TEST(ControlledCards, CouplingsThatCannotBeSimulatedFailNamingThem)
{
    const struct {
        const char* card;
        const char* message;
    } cases[] = {
        { "k1 l1 l2 1.5", "mutual inductance k1 needs a coupling factor between -1 and 1" },
        { "k1 l1 r1 0.5", "mutual inductance k1: r1 is no inductor" },
        { "k1 l1 l9 0.5", "mutual inductance k1: its inductor l9 does not exist" },
        { "k1 l1 l1 0.5", "mutual inductance k1 couples l1 with itself" },
    };
    for (const auto& c : cases) {
        const Result r = rundeck(
            std::string("k\nv1 a 0 1\nl1 a 0 1m\nl2 b 0 1m\nr1 b 0 1k\n") + c.card + "\n.tran 1u 10u\n");
        EXPECT_EQ(r.status, 1) << c.card;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(ControlledCards, SwitchesFollowTheirControlWithHysteresis)
{
    // A control rising from 0 to 5 and falling back: the switch closes above 3 on the way up and
    // opens below 2 on the way down. The current switch reads the same control as 1 mA per volt.
    const Result r
        = rundeck("switches\nvc c 0 pwl(0 0 1m 5 2m 0)\nvs c x 0\nrx x 0 1k\nvdd vdd 0 5\n"
                  "rv vdd ov 1k\ns1 ov 0 c 0 smod\n.model smod sw vt=2.5 vh=0.5 ron=1 roff=1meg\n"
                  "ri vdd oi 1k\nw1 oi 0 vs wmod\n.model wmod csw it=2.5m ih=0.5m ron=1 roff=1meg\n"
                  ".tran 1u 2m 0 1u\n.print tran v(c) v(ov) v(oi)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    int closed = 0;
    for (const auto& row : r.rows()) {
        const double time = row[0];
        const double control = row[1];
        // Away from the switching points by more than the step the switch is seen at.
        const double threshold = time < 1e-3 ? 3 : 2;
        if (std::fabs(control - threshold) < 0.02)
            continue;
        const bool on = control > threshold;
        closed += on;
        for (std::size_t k : { 2u, 3u })
            EXPECT_NEAR(row[k], on ? 5.0 / 1001 : 5e6 / (1e6 + 1e3), 1e-6) << time;
    }
    EXPECT_GT(closed, 100);
}

TEST(ControlledCards, ASwitchInItsHysteresisBandStartsAsItsFlagSays)
{
    for (const char* flag : { "", " on", " off" }) {
        const Result r = rundeck(std::string("flag\nvc c 0 2.5\nvdd vdd 0 5\nrv vdd o 1k\ns1 o 0 c 0 smod")
            + flag + "\n.model smod sw vt=2.5 vh=0.5 ron=1 roff=1meg\n.op\n.print op v(o)\n");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NEAR(r.last("v(o)"), std::string(flag) == " on" ? 5.0 / 1001 : 5e6 / (1e6 + 1e3), 1e-9)
            << flag;
    }
}

TEST(ControlledCards, ASwitchingPointIsApproachedNotSteppedOver)
{
    // The control crosses 2.5 V at 0.5 ms; steps of up to 100 us shrink on the way, so the switch
    // closes within the margin's 0.05 V (10 us at 5 V/ms) after the crossing.
    const Result r = rundeck("ramp\nvc c 0 pwl(0 0 1m 5)\nvdd vdd 0 5\nrv vdd o 1k\ns1 o 0 c 0 smod\n"
                             ".model smod sw vt=2.5 vh=0 ron=1 roff=1meg\n.tran 100u 1m 0 100u\n"
                             ".print tran v(c) v(o)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    double closed = -1;
    for (const auto& row : r.rows()) {
        if (row[2] < 1 && closed < 0)
            closed = row[0];
    }
    EXPECT_GT(closed, 0.5e-3);
    EXPECT_LT(closed, 0.5e-3 + 10e-6);
}
