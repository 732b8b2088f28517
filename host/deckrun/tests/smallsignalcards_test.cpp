// Transmission-line cards and the small-signal loads of the controlled, behavioural, coupled and
// switch devices through the parser into the engine, checked against closed forms.
#include "host/deckrun/tests/rundeck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

namespace {

using decktest::Result;
using decktest::rundeck;

// The value of `name` in the row of the first sweep value at or after `at`.
double valueat(const Result& r, const std::string& name, double at)
{
    const std::vector<std::string> names = r.names();
    const auto column = static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    for (const std::vector<double>& row : r.rows()) {
        if (column < row.size() && row[0] >= at * (1 - 1e-12))
            return row[column];
    }
    return std::nan("");
}

// The printed block `k` (plots are separated by an empty line) as a result of its own.
Result block(const Result& r, std::size_t k)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < k && from != std::string::npos; ++i)
        from = r.out.find("\n\n", from) + 2;
    return { r.status, r.out.substr(from, r.out.find("\n\n", from) - from), r.err };
}

} // namespace

TEST(SmallSignalCards, ControlledCoupledBehaviouralAndSwitchedDevicesFollowTheirSlopes)
{
    // Each output is a closed form of the 1 V input at its operating point (2 V): a gain of 3, the
    // slope 2 v(in) of a square, a closed switch of 1 kohm dividing with 1 kohm, and current sources
    // sensed through 1 kohm. A current giving 1 V across the first of two fully coupled inductors
    // gives the turns ratio sqrt(L2 / L1) across the second, 90 degrees ahead of the current.
    const Result r = rundeck("small-signal loads\n"
                             "vin in 0 dc 2 ac 1\n"
                             "e1 o1 0 in 0 3\n"
                             "b1 o2 0 v=v(in)*v(in)\n"
                             "it 0 p ac 0.1591549431\nl1 p 0 1m\nl2 o3 0 4m\nk1 l1 l2 1\nr3 o3 0 1t\n"
                             "rs in o4 1k\ns1 o4 0 in 0 smod\n.model smod sw vt=1 ron=1k\n"
                             "vs in x 0\nrx x 0 1k\nf1 0 o5 vs 2\nr5 o5 0 1k\n"
                             "h1 o6 0 vs 500\n"
                             "g1 0 o7 in 0 1m\nr7 o7 0 1k\n"
                             ".ac lin 1 1k 1k\n"
                             ".print ac vm(o1) vm(o2) vm(o3) vp(o3) vm(o4) vm(o5) vm(o6) vm(o7)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const struct {
        const char* vector;
        double value;
    } expected[] = {
        { "vm(o1)", 3 },
        { "vm(o2)", 4 },
        { "vm(o3)", 2 },
        { "vp(o3)", 90 },
        { "vm(o4)", 0.5 },
        { "vm(o5)", 2 },
        { "vm(o6)", 0.5 },
        { "vm(o7)", 1 },
    };
    for (const auto& e : expected)
        EXPECT_NEAR(r.last(e.vector), e.value, 1e-6) << e.vector;
}

TEST(SmallSignalCards, AMosfetAmplifiesByItsTransconductance)
{
    // In saturation at vgs - vto = 1 V, kp W / L = 1 mA/V^2 gives gm = 1 mS: a gain of -gm RD = -4
    // with the bulk on the source; the drain's 1 nF makes a pole at 1 / (2 pi RD C).
    const Result r = rundeck("common source\n"
                             "vdd vdd 0 5\nvin g 0 dc 2 ac 1\nrd vdd d 4k\ncd d 0 1n\n"
                             "m1 d g 0 0 nmod l=1u w=10u\n.model nmod nmos level=1 vto=1 kp=100u\n"
                             ".ac lin 2 1 39788.73577\n.print ac vm(d) vp(d)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::vector<double>> rows = r.rows();
    ASSERT_EQ(rows.size(), 2u);
    const double lag = std::atan(2 * M_PI * 4e3 * 1e-9) * 180 / M_PI; // at 1 Hz
    EXPECT_NEAR(rows[0][1], 4, 1e-6);
    EXPECT_NEAR(rows[0][2], 180 - lag, 1e-6);
    EXPECT_NEAR(rows[1][1], 4 / std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(rows[1][2], 135, 1e-6);
}

TEST(SmallSignalCards, ALosslessLineDelaysByItsLengthAndReflectsByItsEnd)
{
    // A 1 V step through 50 ohm into 50 ohm lines of 10 ns: the matched line's end rises to 0.5 V
    // after the delay and its start stays; the open line's end doubles to 1 V and the reflection
    // lifts its start to 1 V after the round trip; the shorted line's return cancels the step.
    const Result r = rundeck("line reflections\n"
                             "vin in 0 pwl(0 0 0.1n 1)\n"
                             "r1 in a 50\nt1 a 0 b 0 z0=50 td=10n\nrb b 0 50\n"
                             "r2 in c 50\nt2 c 0 d 0 zo=50 td=10n\nrd d 0 1g\n"
                             "r3 in e 50\nt3 e 0 f 0 z0=50 f=25meg\nrf f 0 1m\n"
                             ".tran 0.1n 30n\n"
                             ".print tran v(a) v(b) v(c) v(d) v(e) v(f)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const struct {
        const char* vector;
        double at;
        double value;
    } expected[] = {
        { "v(b)", 9.9e-9, 0 },
        { "v(b)", 10.2e-9, 0.5 },
        { "v(a)", 25e-9, 0.5 },
        { "v(d)", 9.9e-9, 0 },
        { "v(d)", 10.2e-9, 1 },
        { "v(c)", 15e-9, 0.5 },
        { "v(c)", 20.2e-9, 1 },
        { "v(e)", 15e-9, 0.5 },
        { "v(e)", 20.2e-9, 0 },
    };
    for (const auto& e : expected)
        EXPECT_NEAR(valueat(r, e.vector, e.at), e.value, 1e-3) << e.vector << " at " << e.at;
}

TEST(SmallSignalCards, ALosslessLineTurnsThePhaseByItsDelay)
{
    // Matched, the line passes half the source with the phase -360 f TD; at its operating point it
    // is a wire, so the load divides the source with the source's resistance.
    const Result r = rundeck("line in ac\n"
                             "vin in 0 dc 1 ac 1\n"
                             "r1 in a 50\nt1 a 0 b 0 z0=50 td=125n\nrb b 0 50\n"
                             ".op\n.ac lin 2 1meg 2meg\n"
                             ".print op v(b)\n.print ac vm(b) vp(b)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(block(r, 0).last("v(b)"), 0.5, 1e-9);
    const std::vector<std::vector<double>> rows = block(r, 1).rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NEAR(rows[0][1], 0.5, 1e-9);
    EXPECT_NEAR(rows[0][2], -45, 1e-6);
    EXPECT_NEAR(rows[1][1], 0.5, 1e-9);
    EXPECT_NEAR(rows[1][2], -90, 1e-6);
}

TEST(SmallSignalCards, AUniformRcLineHoldsItsTotalResistanceAndCapacitance)
{
    // 2 mm of 10 kohm/mm and 1 pF/mm: in DC 20 kohm between its ends, dividing with 20 kohm; a
    // current into both ends tied charges 2 pF, once the sections have settled into step.
    const Result divider = rundeck("urc divider\n"
                                   "vin in 0 1\nu1 in b 0 line l=2m\nrb b 0 20k\n"
                                   ".model line urc rperl=10meg cperl=1n\n.op\n.print op v(b)\n");
    ASSERT_EQ(divider.status, 0) << divider.err;
    EXPECT_NEAR(divider.last("v(b)"), 0.5, 1e-9);
    const Result charge = rundeck("urc charge\n"
                                  "i1 0 a 1u\nu1 a a 0 line l=2m n=4\n"
                                  ".model line urc rperl=10meg cperl=1n\n"
                                  ".tran 10n 1u 0 10n uic\n.print tran v(a)\n");
    ASSERT_EQ(charge.status, 0) << charge.err;
    const std::vector<std::vector<double>> rows = charge.rows();
    const auto middle
        = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[0] >= 0.5e-6; });
    ASSERT_NE(middle, rows.end());
    const double slope = (rows.back()[1] - (*middle)[1]) / (rows.back()[0] - (*middle)[0]);
    EXPECT_NEAR(slope, 1e-6 / 2e-12, 1e-3 * 1e-6 / 2e-12);
}

TEST(SmallSignalCards, LinesThatCannotBeSimulatedFailNamingThem)
{
    const struct {
        const char* cards;
        const char* message;
    } cases[] = {
        { "t1 a 0 b 0 td=1n", "t1 needs a characteristic impedance" },
        { "t1 a 0 b 0 z0=-50 td=1n", "t1 needs a characteristic impedance" },
        { "t1 a 0 b 0 z0=50", "t1 needs a delay above 0" },
        { "t1 a 0 b 0 z0=50 f=0", "t1 needs a delay above 0" },
        { "u1 a b 0 line\n.model line urc", "u1 needs a length L above 0" },
        { "u1 a b 0 line l=1m\n.model line urc k=1", "its model needs K above 1" },
        { "u1 a b 0 line l=1m\n.model line urc rperl=0", "its model needs K above 1" },
        { "u1 a b 0 line l=1m n=0\n.model line urc", "N must lie from 1 to 10000" },
        { "u1 a b 0 line l=1m\n.model line urc isperl=1f",
            "the diode-loaded line (ISPERL) cannot be simulated" },
    };
    for (const auto& c : cases) {
        const Result r = rundeck(std::string("bad line\nvin a 0 1\nrb b 0 50\n") + c.cards + "\n.op\n");
        EXPECT_EQ(r.status, 1) << c.cards;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(SmallSignalCards, LossyLinesAreTheirTwoPortsInDcAndAc)
{
    // 50 ohm into each line, 100 ohm at its end: the load's voltage against the chain parameters
    // cosh, Zc sinh, sinh / Zc of the line at the operating point (nearly DC) and two frequencies.
    const struct {
        const char* model;
        double r, l, g, c, len;
    } lines[] = {
        { "r=2 l=250n c=100p len=2", 2, 250e-9, 0, 100e-12, 2 },
        { "l=250n c=100p len=1", 0, 250e-9, 0, 100e-12, 1 },
        { "r=1k c=100p len=1", 1000, 0, 0, 100e-12, 1 },
        { "r=100 g=1m len=3", 100, 0, 1e-3, 0, 3 },
    };
    for (const auto& line : lines) {
        const Result r
            = rundeck(std::string("line two-port\nvin in 0 dc 1 ac 1\nrs in a 50\no1 a 0 b 0 line\n"
                                  "rl b 0 100\n.model line ltra ")
                + line.model + "\n.op\n.ac lin 2 1meg 20meg\n.print op v(b)\n.print ac vr(b) vi(b)\n");
        ASSERT_EQ(r.status, 0) << r.err;
        auto expected = [&](double f) {
            const std::complex<double> s(0, 2 * std::numbers::pi * f);
            const std::complex<double> z = line.r + s * line.l, y = line.g + s * line.c;
            const std::complex<double> gamma = std::sqrt(z * y) * line.len, zc = std::sqrt(z / y);
            const std::complex<double> a = std::cosh(gamma), b = zc * std::sinh(gamma),
                                       c = std::sinh(gamma) / zc;
            return 1.0 / (a + b / 100.0 + 50.0 * (c + a / 100.0));
        };
        EXPECT_NEAR(block(r, 0).last("v(b)"), expected(1e-6).real(), 1e-6) << line.model;
        const std::vector<std::vector<double>> rows = block(r, 1).rows();
        ASSERT_EQ(rows.size(), 2u);
        for (const std::vector<double>& row : rows) {
            const std::complex<double> v = expected(row[0]);
            EXPECT_NEAR(row[1], v.real(), 1e-9) << line.model << " at " << row[0];
            EXPECT_NEAR(row[2], v.imag(), 1e-9) << line.model << " at " << row[0];
        }
    }
}

TEST(SmallSignalCards, LossyLinesCarryAStepWithTheirDelayAndLossAndSettleToDc)
{
    // Lines of 10 ns and 50 ohm, matched at both ends, under a 1 V step: nothing arrives before the
    // delay, then half the step attenuated by e^-(R / 2L) T, and in the end the DC divider through
    // R LEN. Without loss the step arrives whole; an RC line has no delay and settles alike.
    const Result r = rundeck("line steps\n"
                             "vin in 0 pwl(0 0 0.1n 1)\n"
                             "r1 in a 50\no1 a 0 b 0 lossy\nrb b 0 50\n"
                             "r2 in c 50\no2 c 0 d 0 lossless\nrd d 0 50\n"
                             "r3 in e 50\no3 e 0 f 0 rc\nrf f 0 50\n"
                             ".model lossy ltra r=5 l=250n c=100p len=2\n"
                             ".model lossless ltra l=250n c=100p len=2\n"
                             ".model rc ltra r=10 c=100p len=1\n"
                             ".tran 0.1n 400n\n"
                             ".print tran v(b) v(d) v(f)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const double attenuation = std::exp(-5 / (2 * 250e-9) * 10e-9);
    const struct {
        const char* vector;
        double at;
        double value;
        double tolerance;
    } expected[] = {
        { "v(b)", 9.9e-9, 0, 1e-9 },
        { "v(b)", 10.15e-9, 0.5 * attenuation, 5e-3 },
        { "v(b)", 400e-9, 50.0 / 110, 1e-3 },
        { "v(d)", 9.9e-9, 0, 1e-9 },
        { "v(d)", 10.2e-9, 0.5, 1e-3 },
        { "v(d)", 400e-9, 0.5, 1e-3 },
        { "v(f)", 400e-9, 50.0 / 110, 1e-3 },
    };
    for (const auto& e : expected)
        EXPECT_NEAR(valueat(r, e.vector, e.at), e.value, e.tolerance) << e.vector << " at " << e.at;
}

TEST(SmallSignalCards, LossyLinesThatCannotBeSimulatedFailNamingThem)
{
    const struct {
        const char* model;
        const char* message;
    } cases[] = {
        { "r=1 l=1n c=1p", "o1 needs a length LEN above 0 in model line" },
        { "r=1 l=1n c=1p len=0", "o1 needs a length LEN above 0" },
        { "r=-1 l=1n c=1p len=1", "R, L, G and C of model line must not be below 0" },
        { "r=1 l=1n g=1m c=1p len=1", "model line has no case the line handles" },
        { "l=1n len=1", "model line has no case the line handles" },
        { "r=1 l=1n c=1p len=1 rel=-1", "REL and ABS must not be below 0" },
    };
    for (const auto& c : cases) {
        const Result r
            = rundeck(std::string("bad line\nvin a 0 1\nrb b 0 50\no1 a 0 b 0 line\n.model line ltra ")
                + c.model + "\n.op\n");
        EXPECT_EQ(r.status, 1) << c.model;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(SmallSignalCards, ALossyLineStartsFromItsInitialConditions)
{
    // Charged to 1 V and open at its end, the line's end holds 1 V until the discharge through the
    // 50 ohm at its start has crossed it, whatever the nodes hold at 0.
    const Result r = rundeck("charged line\n"
                             "vin in 0 0\nr1 in a 50\no1 a 0 b 0 lossy ic=1 0 1 0\nrb b 0 1meg\n"
                             ".model lossy ltra r=5 l=250n c=100p len=2\n"
                             ".tran 0.1n 15n uic\n.print tran v(a) v(b)\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(valueat(r, "v(a)", 1e-9), 0.5, 0.02);
    EXPECT_NEAR(valueat(r, "v(b)", 9.5e-9), 1, 1e-3);
    EXPECT_LT(valueat(r, "v(b)", 12e-9), 0.2);
}
