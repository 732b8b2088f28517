// The interface objects of mixed nets: the ADC's states and their times as it schedules them on the
// digital engine, the DAC's output as the analog bench solves it for the states its link reads.
#include "simulator/models/builtin/tests/benchtesting.h"

#include "engines/fakes/digital.h"
#include "simulator/models/builtin/adc.h"
#include "simulator/models/builtin/dac.h"
#include "simulator/models/builtin/supply.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

int64_t picoseconds(double seconds)
{
    return std::llround(seconds * 1e12);
}

class AdcTest : public BenchCircuitTest {
protected:
    // An ADC U1 reading IN (R1 to X keeps the circuit without a supply rail) into the digital net
    // DIG; without a supply its span is VOLTAGE. `circuit`: lines of netlist properties.
    ADC* make(const std::string& circuit, const std::string& innet = "IN,2")
    {
        build(circuit, "U1,ADC,,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n",
            innet + "\nU1,PS,A\nR1,PS,1\n\nX,1\nR1,PS,2\n\nDIG,1\nU1,OP,D\n\n");
        return model<ADC>("U1");
    }

    // One analog point at t with the input at v: the ADC decides, the callbacks due by then run (as
    // the digital engine runs them), the point is accepted. The callbacks it scheduled are kept.
    STATE point(ADC* adc, double t, double v)
    {
        bench->values[static_cast<size_t>(node("IN"))] = v;
        bench->step = t - bench->time;
        bench->time = t;
        fakes::digital().circuit.callbacks.clear();
        adc->simulate(picoseconds(t), SIM_ANALOG);
        scheduled.clear();
        for (const fakes::Callback& c : fakes::digital().circuit.callbacks)
            scheduled.emplace_back(c.time, static_cast<STATE>(c.value));
        std::stable_sort(scheduled.begin(), scheduled.end());
        for (const auto& [time, state] : scheduled)
            if (time <= picoseconds(t))
                adc->callback(time, static_cast<intptr_t>(state));
        adc->acceptstep(t, bench->values.data());
        return adc->present;
    }

    std::vector<std::pair<int64_t, STATE>> scheduled;
};

TEST_F(AdcTest, SwitchesAtSeventyAndThirtyPercentWithTenPercentHysteresis)
{
    ADC* adc = make("");
    ASSERT_NE(adc, nullptr);
    EXPECT_FALSE(adc->supplypins);
    const std::pair<double, STATE> inputs[] = { { 0, ADC::LOW }, { 1.9, ADC::LOW }, { 2.5, ADC::UNDEFINED },
        { 3.4, ADC::UNDEFINED }, { 3.5, ADC::HIGH }, { 3.1, ADC::HIGH }, { 2.9, ADC::UNDEFINED },
        { 1.6, ADC::UNDEFINED }, { 1.5, ADC::LOW } };
    double t = 0;
    for (const auto& [volts, state] : inputs) {
        EXPECT_EQ(point(adc, t, volts), state) << volts << " V";
        t += 1e-3;
    }
}

TEST_F(AdcTest, TransitionsArriveWhenTheInputCrossedTheThresholds)
{
    ADC* adc = make("");
    point(adc, 0, 1.0);
    ASSERT_EQ(adc->present, ADC::LOW);
    // From 1 V to 4 V over a millisecond: low is left at 2 V, high reached at 3.5 V, half a
    // millisecond apart: through the undefined state.
    point(adc, 1e-3, 4.0);
    EXPECT_THAT(scheduled,
        ElementsAre(std::pair(picoseconds(1e-3 / 3), ADC::UNDEFINED),
            std::pair(picoseconds(1e-3 * 2.5 / 3), ADC::HIGH)));
    EXPECT_EQ(adc->present, ADC::HIGH);
    // Straight down past both thresholds within 10 minimum steps: at once.
    point(adc, 1e-3 + 1e-12 * 3, 0.0);
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_EQ(scheduled[0].second, ADC::LOW);
}

TEST_F(AdcTest, CrossingsWellInsideAStepAskForTimePointsWithinTtol)
{
    const struct {
        const char* properties;
        std::string innet;
        double ttol;
    } cases[] = {
        { "TTOL=1u\n", "IN,2", 10e-6 }, // ten times the circuit's TTOL
        { "TTOL=1u\n", "IN,2,TTOL=20u", 20e-6 }, // the input net's own
        { "", "IN,2", 0 },
    };
    for (const auto& c : cases) {
        ADC* adc = make(c.properties, c.innet);
        ASSERT_NE(adc, nullptr) << log();
        EXPECT_DOUBLE_EQ(adc->ttol, c.ttol) << c.innet;
        point(adc, 0, 1.0);
        fakes::digital().circuit.requests.clear();
        // High is crossed at 1.5 ms of a step to 2 ms: the first request lies just after the
        // crossing, the next ones half-way back to the step's start.
        bench->values[static_cast<size_t>(node("IN"))] = 4.0;
        bench->time = 2e-3;
        bench->step = 2e-3;
        adc->simulate(picoseconds(2e-3), SIM_ANALOG);
        adc->simulate(picoseconds(2e-3), SIM_ANALOG);
        double arrival = 2e-3 * 2.5 / 3;
        if (c.ttol == 0)
            EXPECT_TRUE(fakes::digital().circuit.requests.empty());
        else
            EXPECT_THAT(fakes::digital().circuit.requests,
                ElementsAre(picoseconds(arrival + c.ttol / 2), picoseconds(arrival / 2)))
                << c.innet;
    }
}

TEST_F(AdcTest, InputOnAPowerRailGivesPowerStates)
{
    build("TRACE_ITFMODS=2\n", "U1,ADC,,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n",
        "VCC,3\nU1,PS,A\nR1,PS,1\nVCC,PT,VCC\n\nX,1\nR1,PS,2\n\nDIG,1\nU1,OP,D\n\n");
    auto* adc = model<ADC>("U1");
    EXPECT_EQ(adc->high, STATE_PHI);
    EXPECT_EQ(adc->low, STATE_PLO);
    EXPECT_EQ(adc->undefined, STATE_PUD);
    EXPECT_THAT(lines("#T:Input"), ElementsAre("#T:Input of ADC 'U1' is connected to power rail {N:VCC}"));
}

TEST_F(AdcTest, LevelsInVoltsOrPercentOfTheSupplyPins)
{
    const struct {
        const char* properties;
        double low;
        double high;
    } cases[] = {
        { "", 0.3 * 3.3, 0.7 * 3.3 }, { "VTL=20%,VTH=80%", 0.2 * 3.3, 0.8 * 3.3 },
        { "VTL=0.8,VTH=2", 0.8, 2 },
        { "VTL=1+1,VHL=50%", 2, 3.3 * 0.7 }, // the hysteresis of an absolute level is in volts too
    };
    for (const auto& c : cases) {
        ANALOGBENCH& solver = build("", std::string("U1,ADC,,PRIMITIVE=ANALOG,") + c.properties + "\n",
            "IN,1\nU1,PS,A\n\nP,1\nU1,PP,V+\n\nGND,2\nU1,PP,V-\nGND,PT,GND\n\nDIG,1\nU1,OP,D\n\n");
        auto* adc = model<ADC>("U1");
        ASSERT_TRUE(adc->supplypins);
        solver.values[static_cast<size_t>(node("P"))] = 3.3;
        EXPECT_NEAR(adc->vtl.volts(3.3), c.low, 1e-12) << c.properties;
        EXPECT_NEAR(adc->vth.volts(3.3), c.high, 1e-12) << c.properties;
    }
    EXPECT_TRUE(model<ADC>("U1")->vhl.absolute);
}

TEST_F(AdcTest, PullResistorsLoadTheInput)
{
    ANALOGBENCH& solver = build("", "U1,ADC,,PRIMITIVE=ANALOG,RPOS=1k,RNEG=3k\n",
        "IN,1\nU1,PS,A\n\nP,1\nU1,PP,V+\n\nGND,2\nU1,PP,V-\nGND,PT,GND\n\nDIG,1\nU1,OP,D\n\n");
    solver.source(node("P"), [](double) { return 4.0; });
    solver.operatingpoint();
    EXPECT_NEAR(voltage("IN"), 3.0, 1e-9);
}

class DacTest : public BenchCircuitTest {
protected:
    // A DAC U1 driving OUT (1M to ground) from the digital net DIG.
    ANALOGBENCH& make(const std::string& properties, double load = 1e6)
    {
        ANALOGBENCH& solver = build("", "U1,DAC,,PRIMITIVE=ANALOG," + properties + "\n",
            "OUT,1\nU1,PS,A\n\nX,1\nU1,PP,V-\n\nDIG,1\nU1,IP,D\n\n");
        solver.resistor(node("OUT"), node("X"), load);
        solver.source(node("X"), [](double) { return 0.0; });
        return solver;
    }

    // The link's state from a time on.
    void drive(STATE state, double since) { fakes::digital().dacstates["DIG"] = { state, since }; }

    // OUT at every accepted point of a transient to tstop in steps of at most tmax, with the link
    // changing to each state at its time (a time point of the run).
    std::vector<std::pair<double, double>> run(
        double tstop, double tmax, const std::vector<std::pair<double, STATE>>& changes)
    {
        std::vector<std::pair<double, double>> points;
        size_t next = 0;
        bench->beforeaccept = [&](double time) {
            for (; next < changes.size() && changes[next].first <= time * (1 + 1e-12); ++next)
                drive(changes[next].second, time);
        };
        bench->transient(tstop, tmax,
            [&](double time, const std::vector<double>&) { points.emplace_back(time, voltage("OUT")); });
        return points;
    }
};

TEST_F(DacTest, OperatingPointDrivesTheStateAtOnce)
{
    const struct {
        const char* properties;
        STATE state;
        double load;
        double expected;
    } cases[] = {
        { "", STATE_SHI, 1e6, 5 * 1e6 / (1e6 + 1) }, { "", STATE_SLO, 1e6, 0 },
        { "", STATE_WUD, 1e6, 2.5 * 1e6 / (1e6 + 1) }, { "RSHI=10,RWHI=100", STATE_SHI, 10, 2.5 },
        { "RSHI=10,RWHI=100", STATE_WHI, 10, 5.0 * 10 / 110 },
        { "VOLTAGE=3.3,VLO=10%", STATE_SLO, 1e12, 0.33 }, { "VUD=20%", STATE_SUD, 1e12, 1 },
        { "", STATE_NONE, 1e8, 0 }, // floating from the start: 0 V through RTS
    };
    for (const auto& c : cases) {
        ANALOGBENCH& solver = make(c.properties, c.load);
        drive(c.state, 0);
        solver.operatingpoint();
        EXPECT_NEAR(voltage("OUT"), c.expected, 1e-9) << c.properties << " " << c.state;
    }
}

TEST_F(DacTest, HalfTheSwingTakesHalfTheRiseTime)
{
    ANALOGBENCH& solver = make("TRISE=1u,TFALL=2u", 1e12);
    drive(STATE_SUD, 0);
    std::vector<std::pair<double, double>> points
        = run(5e-6, 0.25e-6, { { 1e-6, STATE_SHI }, { 3e-6, STATE_SLO } });
    auto at = [&](double t) {
        auto found = std::find_if(
            points.begin(), points.end(), [&](const auto& p) { return std::abs(p.first - t) < 1e-15; });
        EXPECT_NE(found, points.end()) << t;
        return found == points.end() ? NAN : found->second;
    };
    EXPECT_NEAR(at(1e-6), 2.5, 1e-9);
    EXPECT_NEAR(at(1.25e-6), 3.75, 1e-9);
    EXPECT_NEAR(at(1.5e-6), 5, 1e-9); // 2.5 V of the 5 V swing: TRISE / 2
    EXPECT_NEAR(at(2e-6), 5, 1e-9);
    EXPECT_NEAR(at(3.5e-6), 3.75, 1e-9); // the whole swing down in TFALL
    EXPECT_NEAR(at(5e-6), 0, 1e-9);
    // The edge's end was a time point of its own.
    auto edge = solver.breaks.lower_bound(1.5e-6 - 1e-15);
    EXPECT_TRUE(edge != solver.breaks.end() && *edge < 1.5e-6 + 1e-15);
}

TEST_F(DacTest, ExponentialEdgesApproachTheTarget)
{
    make("TRISE=1u,RAMP=EXP");
    drive(STATE_SLO, 0);
    std::vector<std::pair<double, double>> points = run(2e-6, 0.25e-6, { { 0.5e-6, STATE_SHI } });
    for (const auto& [t, v] : points) {
        if (t > 0.5e-6) {
            EXPECT_NEAR(v / (1e6 / (1e6 + 1)), 5 * (1 - std::exp(-(t - 0.5e-6) / 1e-6)), 1e-9) << t;
        }
    }
}

TEST_F(DacTest, FloatingOutputKeepsItsVoltageBehindRts)
{
    make("TTS=1n", 1e8);
    drive(STATE_SHI, 0);
    std::vector<std::pair<double, double>> points = run(3e-6, 0.5e-6, { { 1e-6, STATE_FLT } });
    // Half of the last 5 V across the 1e8 load behind 1e8.
    EXPECT_NEAR(points.back().second, 2.5, 1e-6);
}

TEST_F(DacTest, LinkOfTheEngineIsKeptAndThePowerInterfaceWithIt)
{
    fakes::digital().dacs["OUT"] = { "U1_U2" };
    fakes::digital().adcs["IN"] = { "U1_U2" };
    build("TRACE_ITFMODS=2\n",
        "U1_PWR,X,,PRIMITIVE=POWER,VOLTAGE=3.3\nU1_U2,INV,,PRIMITIVE=DIGITAL\nR1,RESISTOR,1k,PRIMITIVE="
        "ANALOG\n"
        "R2,RESISTOR,1k,PRIMITIVE=ANALOG\n",
        "V3,2\nU1_PWR,PP,V+\n+3.3,PT,+3.3\n\nGND,2\nU1_PWR,PP,V-\nGND,PT,GND\n\nIN,2\nU1_U2,IP,A\nR1,PS,1\n\n"
        "OUT,2\nU1_U2,OP,Q\nR2,PS,1\n\n");
    auto* dac = model<DAC>("U1_U2_DAC#0000");
    auto* adc = model<ADC>("U1_U2_ADC#0000");
    ASSERT_TRUE(dac && adc);
    EXPECT_EQ(dac->power, part("U1_PWR"));
    EXPECT_EQ(adc->power, part("U1_PWR"));
    EXPECT_TRUE(dac->supplypins && adc->supplypins);
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#T:ADC U1_U2_ADC#0000 Using power interface: U1_PWR\n"));
    EXPECT_THAT(text, HasSubstr("#T:DAC U1_U2_DAC#0000 Using power interface: U1_PWR\n"));
    EXPECT_THAT(text,
        HasSubstr("#T:DAC U1_U2_DAC#0000  RSHI=1, RSLO=1, RWHI=1, RWLO=1, RTS=1e+08, "
                  "TRISE=1e-09, TFALL=1e-09, TTS=1e-09\n"));
    // The DAC reads its own part's output through the engine's link, not the net.
    EXPECT_TRUE(fakes::callsof("pallex_linkdac").empty());
}

} // namespace
