// The three switch kinds, solved by the analog bench: each switches a 1k load fed from 10 V.
#include "simulator/models/builtin/tests/benchtesting.h"

#include "engines/fakes/digital.h"
#include "simulator/models/builtin/controlledswitch.h"
#include "simulator/models/builtin/dswitch.h"

#include <cmath>
#include <string>

namespace {

using testing::ElementsAre;

// The load's voltage behind a switch of that resistance.
double loaded(double resistance)
{
    return 10 * 1000 / (1000 + resistance);
}

class SwitchTest : public BenchCircuitTest {
protected:
    // A switch S1 from S (10 V) to OUT (1k to ground), with whatever pins and parts the test adds.
    ANALOGBENCH& make(const std::string& properties, const std::string& parts, const std::string& nets)
    {
        ANALOGBENCH& solver = build(properties, parts, nets);
        solver.source(node("S"), [](double) { return 10.0; });
        solver.resistor(node("OUT"), 0, 1000);
        return solver;
    }

    // A voltage-controlled switch whose control P is the net C, N ground.
    ANALOGBENCH& voltageswitch(const std::string& properties, const char* row = "VSWITCH")
    {
        return make("", std::string("S1,") + row + ",,PRIMITIVE=ANALOG," + properties + "\n",
            "S,1\nS1,PS,+\n\nOUT,1\nS1,PS,-\n\nC,1\nS1,PS,P\n\nGND,2\nS1,PS,N\nGND,PT,GND\n\n");
    }
};

TEST_F(SwitchTest, VoltageSwitchMovesLinearlyFromRoffToRonAcrossItsBand)
{
    const struct {
        const char* properties;
        double control;
        double resistance;
    } cases[] = {
        { "", -1, 1e6 }, { "", 0, 1e6 }, { "", 0.25, 750000.25 }, { "", 1, 1 }, { "", 3, 1 },
        { "RON=10,ROFF=1k,VON=2,VOFF=1", 1.5, 505 }, { "VSW=2", 2, 1e6 }, // one threshold: off at it...
        { "VSW=2", 2.001, 1 }, // ...on above it
        { "ROFF=1e15", 0, 1e12 }, // conductances stay at or above GMIN
    };
    for (const auto& c : cases) {
        ANALOGBENCH& solver = voltageswitch(c.properties);
        solver.source(node("C"), [&](double) { return c.control; });
        solver.operatingpoint();
        EXPECT_NEAR(voltage("OUT") / loaded(c.resistance), 1, 1e-9) << c.properties << " at " << c.control;
    }
    // The switch runs on the interface device's twin of its row.
    EXPECT_STREQ(part("S1")->row->name, "VCR");
    EXPECT_THAT(lines("#W:"),
        ElementsAre("#W:VON <= VOFF not allowed in VSWITCH", "#W:VON <= VOFF not allowed in VSWITCH"));
}

TEST_F(SwitchTest, VoltageSwitchClosesWhenItsControlRampPassesTheThreshold)
{
    ANALOGBENCH& solver = voltageswitch("VSW=1", "VCR");
    solver.source(node("C"), [](double t) { return 2000 * t; });
    double closed = -1;
    solver.transient(1e-3, 1e-5, [&](double time, const std::vector<double>&) {
        double out = voltage("OUT");
        if (closed < 0 && out > 5)
            closed = time;
        EXPECT_NEAR(out, closed < 0 ? loaded(1e6) : loaded(1), 1e-6) << time;
    });
    EXPECT_GT(closed, 0.5e-3);
    EXPECT_LE(closed, 0.5e-3 + 1e-5 * (1 + 1e-9));
}

TEST_F(SwitchTest, ControlJumpingTheBandWithinAStepLongerThanTtolCutsItToAQuarter)
{
    const struct {
        const char* properties;
        double before;
        double now;
        double expected; // of a step of 1 ms
    } cases[] = {
        { "TTOL=1u", -1, 2, 0.25e-3 }, { "TTOL=1u", 2, -1, 0.25e-3 },
        { "TTOL=1u", 0.5, 2, 1e-3 }, // from inside the band
        { "TTOL=2m", -1, 2, 1e-3 }, // the step is not longer than TTOL
        { "TTOL=0", -1, 2, 1e-3 }, // no step control
        { "TTOL=-1", -1, 2, 0.25e-3 }, // any TTOL but 0
    };
    for (const auto& c : cases) {
        ANALOGBENCH& solver = voltageswitch(c.properties);
        auto* sw = model<VSWITCH>("S1");
        *solver.state(1, sw->states) = c.before;
        *solver.state(0, sw->states) = c.now;
        solver.step = 1e-3;
        double step = 1e-3;
        sw->limitstep(0, &step);
        EXPECT_DOUBLE_EQ(step, c.expected) << c.properties << " " << c.before << " to " << c.now;
    }
}

TEST_F(SwitchTest, PropertiesOutOfRangeAreWarnedAbout)
{
    voltageswitch("RON=0,ROFF=-1,VON=1,VOFF=1");
    EXPECT_THAT(lines("#W:"),
        ElementsAre("#W:VON <= VOFF not allowed in VSWITCH", "#W:RON must be > 0 for VSWITCH",
            "#W:ROFF must be > 0 for VSWITCH"));
}

TEST_F(SwitchTest, HysteresisSwitchIsTheEnginesOwnSwitchWithThePartsParameters)
{
    voltageswitch("VT=2.5,VH=0.5,RON=2", "VCR");
    auto* sw = model<VSWITCH>("S1");
    ASSERT_TRUE(sw->hysteresismode);
    // Its model is named after the part.
    int32_t type = -1;
    IFmodel* found = nullptr;
    ASSERT_EQ(spicesimulator->findModel(circuit->spice, &type, &found, const_cast<char*>("S1")), 0);
    EXPECT_EQ(found, sw->spicemodel);
    std::string text = log();
    for (const char* line : { "vt = 2.5\n", "vh = 0.5\n", "ron = 2\n" })
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    EXPECT_EQ(text.find("roff ="), std::string::npos) << text;
}

class CurrentSwitchTest : public SwitchTest {
protected:
    // A current switch U1_W1 with its probe U1_I1 between IN (1 V) and M, and M to ground through
    // `sense` ohms.
    ANALOGBENCH& currentswitch(const std::string& properties, double sense)
    {
        ANALOGBENCH& solver
            = make("", "U1_W1,CSWITCH,,PRIMITIVE=ANALOG," + properties + "\nU1_I1,IPROBE,,PRIMITIVE=ANALOG\n",
                "S,1\nU1_W1,PS,+\n\nOUT,1\nU1_W1,PS,-\n\nIN,1\nU1_I1,PS,+\n\nM,1\nU1_I1,PS,-\n\n");
        solver.source(node("IN"), [](double) { return 1.0; });
        solver.ammeter(node("IN"), node("M"), part("U1_I1")->getbranch(circuit->spice, nullptr));
        solver.resistor(node("M"), 0, sense);
        return solver;
    }
};

TEST_F(CurrentSwitchTest, ProbesCurrentSetsTheResistance)
{
    const struct {
        const char* properties;
        double sense;
        double resistance;
    } cases[] = {
        { "PROBE=I1", 10e3, 900000.1 }, // 0.1 mA of the 1 mA band
        { "PROBE=I1", 500, 1 }, // 2 mA: on
        { "PROBE=I1,ISW=1.5m", 1000, 1e6 },
        { "PROBE=I1,ISW=1.5m", 500, 1 },
    };
    for (const auto& c : cases) {
        currentswitch(c.properties, c.sense).operatingpoint();
        EXPECT_NEAR(voltage("OUT") / loaded(c.resistance), 1, 1e-9) << c.properties << " " << c.sense;
    }
    EXPECT_EQ(model<CSWITCH>("U1_W1")->probe, part("U1_I1"));
}

TEST_F(CurrentSwitchTest, ProbeThatCannotControlIsWarnedAbout)
{
    const struct {
        const char* properties;
        const char* warning;
    } cases[] = {
        { "", "#W:Current probe not specified for CSWITCH." },
        { "PROBE=I9", "#W:Probe U1_I9 not found." },
        { "PROBE=W1", "#W:Probe U1_W1 is not a current probe or voltage source." },
        { "PROBE=I1,ION=0", "#W:ION <= IOFF not allowed in CSWITCH." },
    };
    for (const auto& c : cases) {
        size_t before = lines("#W:").size();
        currentswitch(c.properties, 1000);
        std::vector<std::string> warnings = lines("#W:");
        warnings.erase(warnings.begin(), warnings.begin() + static_cast<long>(before));
        EXPECT_THAT(warnings, ElementsAre(c.warning)) << c.properties;
    }
}

class DigitalSwitchTest : public SwitchTest {
protected:
    // A digitally controlled switch from S to OUT whose EN is the net EN.
    ANALOGBENCH& digitalswitch(const std::string& properties)
    {
        return make("TRACE_NETTYPES=2\n", "S1,DSWITCH,,PRIMITIVE=ANALOG," + properties + "\n",
            "S,1\nS1,PS,A\n\nOUT,1\nS1,PS,B\n\nEN,1\nS1,IP,EN\n\n");
    }

    // EN as the digital engine shows it to the switch.
    void enable(STATE state) { fakes::digitalpin("S1", 0)->state = state; }
};

TEST_F(DigitalSwitchTest, ConductanceRampsOverTonAfterEnableRises)
{
    ANALOGBENCH& solver = digitalswitch("TON=1m,TOFF=0.5m");
    enable(STATE_SLO);
    double changed = -1;
    solver.transient(4e-3, 1e-4, [&](double time, const std::vector<double>&) {
        auto* sw = model<DSWITCH>("S1");
        if (changed < 0 && sw->state == STATE_SHI)
            changed = time;
        double conductance = changed < 0 ? 0 : std::min(1.0, (time - changed) / 1e-3);
        if (conductance > 0)
            EXPECT_NEAR(voltage("OUT") / loaded(1 / conductance), 1, 1e-9) << time;
        else
            EXPECT_NEAR(voltage("OUT"), 0, 1e-9) << time;
        if (time >= 1e-3)
            enable(STATE_SHI);
    });
    ASSERT_GT(changed, 1e-3);
    // The end of the ramp was a time point of its own.
    EXPECT_EQ(solver.breaks.count(changed + 1e-3), 1u);
    EXPECT_THAT(lines("#T:Switch"), ElementsAre("#T:Switch S1 connecting {N:S} and {N:OUT} is analog."));
}

TEST_F(DigitalSwitchTest, OperatingPointTakesTheStateAtOnceAndUndefinedGoesHalfWay)
{
    const struct {
        const char* properties;
        STATE state;
        double conductance;
    } cases[] = {
        { "TON=1m", STATE_SHI, 1 },
        { "TON=1m", STATE_WLO, 0 },
        { "RON=4,ROFF=1k", STATE_WHI, 0.25 },
        { "RON=4,ROFF=1k", STATE_SLO, 1e-3 },
        { "RON=4,ROFF=1k", STATE_SUD, (0.25 + 1e-3) / 2 }, // from the OFF target at the start
        { "RON=OFF,ROFF=1", STATE_SHI, 0 },
        { "RON=0", STATE_SHI, 1000 },
    };
    for (const auto& c : cases) {
        ANALOGBENCH& solver = digitalswitch(c.properties);
        enable(c.state);
        solver.operatingpoint();
        EXPECT_DOUBLE_EQ(model<DSWITCH>("S1")->present, c.conductance) << c.properties << " " << c.state;
    }
    EXPECT_THAT(lines("#W:"), ElementsAre("#W:Value of 0 for RON not allowed in DSWITCH."));
}

TEST_F(DigitalSwitchTest, SwitchWithoutTimesSwitchesAtOnceAndUndefinedMovesHalfWay)
{
    ANALOGBENCH& solver = digitalswitch("RON=1");
    enable(STATE_SLO);
    const STATE states[] = { STATE_SHI, STATE_SLO, STATE_WUD, STATE_WUD, STATE_WUD };
    std::vector<double> seen;
    solver.transient(5e-3, 1e-3, [&](double time, const std::vector<double>&) {
        if (time == 0)
            return;
        enable(states[seen.size()]);
        seen.push_back(model<DSWITCH>("S1")->present);
    });
    // A change is taken at the point after it and holds from the next one: high, low, then
    // half-way between the on conductance and the low target.
    EXPECT_THAT(seen, ElementsAre(0.0, 0.0, 1.0, 0.0, 0.5));
}

TEST_F(DigitalSwitchTest, NetsDecideTheSideOfAPassiveSwitch)
{
    const struct {
        const char* primitive;
        const char* extra; // a part on A
        bool analog;
    } cases[] = {
        { "ANALOG", "", true },
        { "DIGITAL", "R1,RESISTOR,1k,PRIMITIVE=ANALOG\n", false },
        { "PASSIVE", "R1,RESISTOR,1k,PRIMITIVE=ANALOG\n", true },
        { "PASSIVE", "", false },
    };
    for (const auto& c : cases) {
        std::string extra = c.extra;
        ProbeCircuitTest::make("SIMTYPE=TRANSIENT\nPARTITION=RUN\nTRACE_NETTYPES=2\n",
            std::string("S1,DSWITCH,,PRIMITIVE=\"") + c.primitive + ",DSWITCH\"\n" + extra,
            std::string("A,") + (extra.empty() ? "1" : "2") + "\nS1,PS,A\n"
                + (extra.empty() ? "" : "R1,PS,1\n") + "\nB,1\nS1,PS,B\n\nEN,1\nS1,IP,EN\n\n");
        auto* sw = model<DSWITCH>("S1");
        ASSERT_NE(sw, nullptr) << log();
        EXPECT_EQ(sw->spiceinstance != nullptr, c.analog) << c.primitive << " " << c.extra;
        EXPECT_EQ(lines("#T:Switch").back(),
            std::string("#T:Switch S1 connecting {N:A} and {N:B} is ") + (c.analog ? "analog." : "digital."));
    }
}

} // namespace
