// The analog real-time instruments, built against the recording fakes and driven through their
// model interface by a circuit of the test: the fakes solve nothing, so the test plays the analog
// engine's part (matrix cells, solutions, time points).
#include "simulator/models/builtin/tests/probetesting.h"

#include "engines/contract/models.h"
#include "engines/fakes/digital.h"
#include "engines/nerith/circuit.h"
#include "simulator/models/builtin/rtlogic.h"
#include "simulator/models/builtin/rtmeter.h"
#include "simulator/models/builtin/rtswitch.h"
#include "simulator/models/builtin/rtwatch.h"
#include "simulator/models/builtin/rtwire.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

// The analog circuit as the instruments see it: matrix cells by row and column, the solution,
// the time points and breaks they ask for.
class TESTCKT final : public ISPICECKT {
public:
    int modetest(uint32_t) override { return 0; }
    int query(double*, int) override { return 0; }
    double* state(int32_t, int32_t) override { return nullptr; }
    void suspend(IINSTANCE*, const char* text) override { suspended.push_back(text); }
    double* solution() override { return values.data(); }
    double lowerinitialstep(double limit) override { return limit; }
    int32_t newnode(IINSTANCE*, const char*) override { return 0; }
    int32_t newbranch(IINSTANCE*, const char*) override
    {
        values.push_back(0);
        return static_cast<int32_t>(values.size()) - 1;
    }
    double* element(int32_t row, int32_t column) override { return &cells[{ row, column }]; }
    int setbreak(double time) override
    {
        breaks.push_back(time);
        return 1;
    }
    int32_t allocstates(int32_t) override { return -1; }
    void proposestep(double) override { }

    double cell(int32_t row, int32_t column) { return cells[{ row, column }]; }
    void clear()
    {
        for (auto& entry : cells)
            entry.second = 0;
    }

    std::map<std::pair<int32_t, int32_t>, double> cells;
    std::vector<double> values = std::vector<double>(8, 0.0);
    std::vector<double> breaks;
    std::vector<std::string> suspended;
};

// A source on IN, a load on OUT, and the instruments of a test between them; U1 carries ACTIVE.
const char* circuitparts = "V1,VSOURCE,5,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n"
                           "U1,X,,ACTIVE=0000000A,SHEETID=00000003,EID=7\n";

class InstrumentTest : public ProbeCircuitTest {
protected:
    // Builds the circuit with the instruments (each line "NAME,DEVICE,VALUE,props" with pins 1 on
    // IN and 2 on OUT; PRIMITIVE=ANALOG unless a line gives PRIMITIVE) and sets each up in the
    // test's analog circuit.
    void make(const std::string& properties, const std::vector<std::string>& instruments)
    {
        std::string parts = circuitparts;
        std::string in = "V1,PS,1\n";
        std::string out = "R1,PS,1\n";
        for (const std::string& line : instruments) {
            parts += line + (line.find("PRIMITIVE=") == std::string::npos ? ",PRIMITIVE=ANALOG\n" : "\n");
            std::string name = line.substr(0, line.find(','));
            in += name + ",PS,1\n";
            out += name + ",PS,2\n";
        }
        auto count = [](const std::string& text) {
            return std::to_string(std::count(text.begin(), text.end(), '\n'));
        };
        ProbeCircuitTest::make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n" + properties, parts,
            "IN," + count(in) + "\n" + in + "\nOUT," + count(out) + "\n" + out + "\n");
        for (const std::string& line : instruments) {
            auto* instrument = dynamic_cast<INTMODEL*>(part(line.substr(0, line.find(',')).c_str()));
            if (instrument && instrument->spiceinstance)
                instrument->bindspice(instrument, &ckt);
        }
    }

    template <class T> T* instrument(const char* name) { return dynamic_cast<T*>(part(name)); }

    // The solution with these voltages on IN and OUT.
    const double* solve(double in, double out)
    {
        ckt.values[node("IN")] = in;
        ckt.values[node("OUT")] = out;
        return ckt.values.data();
    }

    int32_t node(const char* net)
    {
        IFnode* found = nullptr;
        spicesimulator->findNode(circuit->spice, &found, net);
        return found ? found->number : 0;
    }

    TESTCKT ckt;
};

TEST_F(InstrumentTest, AnalogSwitchStartsOpenAndRampsToEachPosition)
{
    make("TRACE_NETTYPES=2\n",
        { "U1_S1,RTSWITCH,,PRIMITIVE=PASSIVE,STATE=-1,R(1)=10,R(2)=0,R(3)=OFF,TSWITCH=1m" });
    EXPECT_THAT(lines("#T:RTSWITCH"),
        testing::ElementsAre("#T:RTSWITCH U1_S1 connecting {N:IN} and {N:OUT} is analog."));
    auto* sw = instrument<RTSWITCH>("U1_S1");
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(sw->event, 7);
    int32_t p = node("IN");
    int32_t q = node("OUT");
    struct Step {
        const char* what;
        double time;
        uint32_t mode;
        double conductance;
    };
    auto load = [&](const Step& step) {
        ckt.clear();
        sw->loaddc(step.time, step.mode, nullptr, nullptr);
        EXPECT_DOUBLE_EQ(ckt.cell(p, p), step.conductance) << step.what;
        EXPECT_DOUBLE_EQ(ckt.cell(q, q), step.conductance) << step.what;
        EXPECT_DOUBLE_EQ(ckt.cell(p, q), -step.conductance) << step.what;
        EXPECT_DOUBLE_EQ(ckt.cell(q, p), -step.conductance) << step.what;
    };
    load({ "open at the start", 0, MODE_INITJCT, 0 });
    sw->userevent(8, 1e-3, 1);
    load({ "another switch's event", 1e-3, MODE_INITPRED, 0 });
    sw->userevent(7, 1e-3, 1);
    load({ "no new time point yet", 1e-3, 0, 0 });
    load({ "half way along the ramp", 1.5e-3, MODE_INITPRED, 0.05 });
    sw->acceptstep(1.5e-3, nullptr);
    // The ramp's start and end are break points.
    EXPECT_THAT(ckt.breaks, testing::ElementsAre(1e-3, 2e-3));
    load({ "at the end of the ramp", 2e-3, MODE_INITPRED, 0.1 });
    sw->userevent(7, 3e-3, 2);
    load({ "R 0 is 1000 S", 5e-3, MODE_INITPRED, 1000 });
    mark = size();
    sw->userevent(7, 6e-3, 5);
    EXPECT_EQ(log(), "#W:Property R(5) missing for U1_S1.\n%S=U1_S1\n%E=0007\n");
    load({ "a missing position keeps the resistance", 8e-3, MODE_INITPRED, 1000 });
    sw->userevent(7, 9e-3, 3);
    load({ "OFF opens it", 11e-3, MODE_INITPRED, 0 });
}

TEST_F(InstrumentTest, SwitchIsADcPathOnlyAtAClosedStartingPosition)
{
    make("",
        { "S1,RTSWITCH,,PRIMITIVE=ANALOG,STATE=1,R(1)=10", "S2,RTSWITCH,,PRIMITIVE=ANALOG,STATE=2,R(2)=OFF",
            "S3,RTSWITCH,,PRIMITIVE=ANALOG,R(1)=10" });
    for (const auto& [name, path] : { std::pair { "S1", true }, { "S2", false }, { "S3", false } }) {
        DIDX index;
        char* in = circuit->getnet("IN");
        instrument<RTSWITCH>(name)->adddcpaths(1, &index, in);
        EXPECT_EQ(index.count, path ? 1 : 0) << name;
    }
}

TEST_F(InstrumentTest, DigitalSwitchIsTheEngineSwitchClosedBelowAThousandOhms)
{
    make("", { "U1_S1,RTSWITCH,,PRIMITIVE=\"DIGITAL,RTSWITCH\",STATE=1,R(1)=999,R(2)=1k" });
    auto* sw = instrument<RTSWITCH>("U1_S1");
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(sw->spiceinstance, nullptr);
    sw->userevent(7, 2e-3, 2);
    EXPECT_THAT(fakes::callsof("pallex_create(U1_S1"), testing::ElementsAre("pallex_create(U1_S1, SWITCH)"));
    EXPECT_THAT(fakes::callsof("pallex_connect(U1_S1"),
        testing::ElementsAre("pallex_connect(U1_S1, A, 3, IN)", "pallex_connect(U1_S1, B, 3, OUT)"));
    EXPECT_THAT(fakes::callsof("pallex_actuate"),
        testing::ElementsAre("pallex_actuate(U1_S1, 0, 1)", "pallex_actuate(U1_S1, 0.002, 0)"));
}

TEST_F(InstrumentTest, MetersReportTheirTickByMode)
{
    make("",
        { "U1_M1,RTVPROBE,,SCALE=2,ELEMENT=4", "U1_M2,RTVPROBE,,MODE=peak,SCALE=1",
            "U1_M3,RTVPROBE,,MODE=Rms,SCALE=1", "U1_M4,RTVPROBE,,MODE=CONTINUOUS",
            "U1_M5,RTVPROBE,,MODE=PEAKS,MIN=1,MAX=3", "Z1,RTVPROBE," });
    std::vector<RTMETER*> meters;
    for (const char* name : { "U1_M1", "U1_M2", "U1_M3", "U1_M4", "U1_M5", "Z1" })
        meters.push_back(instrument<RTMETER>(name));
    auto tick = [&](double time, int runmode, const std::vector<std::pair<double, double>>& points) {
        DPA list(10);
        activedatatable().count = 0;
        for (RTMETER* meter : meters)
            meter->setrunmode(runmode);
        for (size_t i = 0; i < points.size(); ++i)
            for (RTMETER* meter : meters)
                meter->acceptstep(time * static_cast<double>(i + 1) / static_cast<double>(points.size()),
                    solve(points[i].first, points[i].second));
        std::vector<std::string> reported;
        for (RTMETER* meter : meters) {
            int answered = meter->activeevents(time, &list);
            EXPECT_EQ(answered, meter->name[0] == 'U') << meter->name;
        }
        for (int i = 0; i < list.count; ++i) {
            const auto* event = static_cast<const ACTIVEEVENT*>(list.items[i]);
            char text[96];
            if (event->kind == ACTIVEEVENT::KIND_BUFFER)
                snprintf(text, sizeof text, "%u/%u/%u buffer %u x %u", event->sheet, event->first,
                    event->second, event->words[0], event->words[1]);
            else
                snprintf(text, sizeof text, "%u/%u/%u %g", event->sheet, event->first, event->second,
                    event->value);
            reported.push_back(text);
        }
        return reported;
    };
    // Readings across the meter: 1, 3 and 2 V; RMS of the three: sqrt(14/3).
    EXPECT_THAT(tick(0, 3, { { 1, 0 } }),
        testing::ElementsAre("3/10/4 2", "3/10/0 1", "3/10/0 1", "3/10/0 buffer 1 x 2", "3/10/0 0"));
    EXPECT_THAT(tick(1e-3, 3, { { 1, 0 }, { 4, 1 }, { 3, 1 } }),
        testing::ElementsAre("3/10/4 4", "3/10/0 3", "3/10/0 2.16025", "3/10/0 buffer 3 x 2", "3/10/0 0.5"));
    // Nothing changed: only the buffer goes out; a paused voltage meter posts no buffer.
    EXPECT_THAT(
        tick(2e-3, 3, { { 3, 1 } }), testing::ElementsAre("3/10/0 2", "3/10/0 2", "3/10/0 buffer 1 x 2"));
    EXPECT_THAT(tick(3e-3, 2, {}), testing::ElementsAre());
    // The buffer holds the times, then both pins' voltages at each.
    tick(4e-3, 3, { { 5, 2 } });
    RTMETER* continuous = meters[3];
    EXPECT_EQ(continuous->times, std::vector<double> { 4e-3 });
    EXPECT_EQ(continuous->samples, (std::vector<double> { 5, 2 }));
    EXPECT_EQ(activeaddress(&activedatatable(), continuous->event.ids[0]), continuous->times.data());
    EXPECT_EQ(activeaddress(&activedatatable(), continuous->event.ids[1]), continuous->samples.data());
}

TEST_F(InstrumentTest, CurrentMeterIsAnAmmeterAndTheVoltageMeterCarriesItsLoad)
{
    make("",
        { "U1_I1,RTIPROBE,", "U1_V1,RTVPROBE,,LOAD=2k", "U1_V2,RTVPROBE,,LOAD=0",
            "U1_I2,RTIPROBE,,MODE=CONTINUOUS" });
    EXPECT_NE(log().find("#W:Zero LOAD value ignored in U1_V2\n%S=U1_V2\n"), std::string::npos) << log();
    int32_t p = node("IN");
    int32_t q = node("OUT");
    auto* ammeter = instrument<RTMETER>("U1_I1");
    int32_t branch = ammeter->ammeter.branch;
    ASSERT_GT(branch, 0);
    ckt.clear();
    for (const char* name : { "U1_I1", "U1_V1", "U1_V2" })
        instrument<RTMETER>(name)->loaddc(0, MODE_INITJCT, nullptr, nullptr);
    EXPECT_EQ(ckt.cell(p, branch), 1);
    EXPECT_EQ(ckt.cell(branch, p), 1);
    EXPECT_EQ(ckt.cell(q, branch), -1);
    EXPECT_EQ(ckt.cell(branch, q), -1);
    EXPECT_DOUBLE_EQ(ckt.cell(p, p), 0.5e-3);
    EXPECT_DOUBLE_EQ(ckt.cell(p, q), -0.5e-3);
    ckt.values[branch] = -2e-3;
    ammeter->acceptstep(1e-3, ckt.values.data());
    DPA list(4);
    ammeter->activeevents(1e-3, &list);
    ASSERT_EQ(list.count, 1);
    EXPECT_DOUBLE_EQ(static_cast<const ACTIVEEVENT*>(list.items[0])->value, 0); // normalised: below MIN

    // Its buffer holds one current per time point, whatever its pins: one channel.
    auto* buffered = instrument<RTMETER>("U1_I2");
    buffered->setrunmode(3);
    for (double time : { 1e-3, 2e-3 })
        buffered->acceptstep(time, ckt.values.data());
    list.count = 0;
    buffered->activeevents(2e-3, &list);
    ASSERT_EQ(list.count, 1);
    const auto* event = static_cast<const ACTIVEEVENT*>(list.items[0]);
    EXPECT_EQ(event->words[0], 2u);
    EXPECT_EQ(event->words[1], 1u);
    EXPECT_EQ(buffered->samples.size(), 2u);
}

TEST_F(InstrumentTest, BreakpointFiresOnEachRiseToItsLevelAfterItsStart)
{
    make("", { "B1,RTVBREAK,2.5,AFTER=1m" });
    auto* breakpoint = instrument<RTWATCH>("B1");
    struct Step {
        double time;
        double volts;
        bool fires;
    } steps[] = { { 0.5e-3, 3, false }, { 1e-3, 3, true }, { 2e-3, 3.1, false }, { 3e-3, 1, false },
        { 4e-3, 2.5, true } };
    for (const Step& step : steps) {
        mark = size();
        size_t before = ckt.suspended.size();
        breakpoint->acceptstep(step.time, solve(step.volts, 0));
        EXPECT_EQ(ckt.suspended.size(), before + (step.fires ? 1 : 0)) << step.time;
        if (step.fires) {
            EXPECT_EQ(ckt.suspended.back(), step.volts == 3 ? "VT=3.00V" : "VT=2.50V");
            EXPECT_EQ(log(), "#I:Voltage breakpoint triggered: " + ckt.suspended.back() + "\n%S=B1\n");
        }
    }
}

TEST_F(InstrumentTest, RangeCheckActsByItsModeOnceEachTimeItLeavesItsRange)
{
    make("",
        { "C0,RTVCHECK,Vdd,MIN=1,MAX=2,MODE=0", "C1,RTVCHECK,Vdd,MIN=1,MAX=2,MODE=1",
            "C2,RTVCHECK,Vdd,MIN=1,MAX=2,MODE=2", "C3,RTVCHECK,Vdd,MIN=1,MAX=2",
            "C5,RTVCHECK,Vdd,MIN=1,MAX=2,MODE=5", "CM,RTVCHECK,Vdd,MIN=1,MAX=2,MSG=%s at %s ouside %g to %g",
            "CH,RTVCHECK,Vdd,MIN=1,MAX=2,MSG=%s%s%s%s%n" });
    const std::string standard = "'Vdd' (2.50V) is outside specified range (1V-2V)";
    const struct {
        const char* name;
        std::string logged;
        bool stops;
    } cases[] = {
        { "C0", "#I:" + standard + "\n%S=C0\n", true },
        { "C1", "#I:" + standard + "\n%S=C1\n", false },
        { "C2", "#W:" + standard + "\n%S=C2\n", false },
        { "C3", "#E:" + standard + "\n%S=C3\n", false },
        { "C5", "", false },
        { "CM", "#E:Vdd at 2.50 ouside 1 to 2\n%S=CM\n", false },
        { "CH", "#E:" + standard + "\n%S=CH\n", false },
    };
    for (const auto& c : cases) {
        auto* check = instrument<RTWATCH>(c.name);
        for (double volts : { 1.0, 2.0, 2.5, 3.0, 1.5, 2.5 }) {
            mark = size();
            size_t stops = ckt.suspended.size();
            check->acceptstep(0, solve(volts, 0));
            bool acts = volts == 2.5;
            EXPECT_EQ(log(), acts ? c.logged : "") << c.name << " " << volts;
            EXPECT_EQ(ckt.suspended.size(), stops + (acts && c.stops ? 1 : 0)) << c.name << " " << volts;
        }
    }
}

TEST(CheckFormat, OnlyAFormatThatFitsTheFourArgumentsIsUsed)
{
    const char* standard = "'%s' (%sV) is outside specified range (%gV-%gV)";
    const struct {
        const char* format;
        const char* text;
    } cases[] = {
        { nullptr, "'Vdd' (3.00V) is outside specified range (1V-2V)" },
        { "%s: %s", "Vdd: 3.00" },
        { "100%% %-8s|%10.3s|%+.2e|%G", "100% Vdd     |       3.0|+1.00e+00|2" },
        { "plain", "plain" },
        { "%s%s%s%s%n", "'Vdd' (3.00V) is outside specified range (1V-2V)" },
        { "%d", "'Vdd' (3.00V) is outside specified range (1V-2V)" },
        { "%s %s %g %g %g", "'Vdd' (3.00V) is outside specified range (1V-2V)" },
        { "%*s", "'Vdd' (3.00V) is outside specified range (1V-2V)" },
        { "%ls", "'Vdd' (3.00V) is outside specified range (1V-2V)" },
        { "cut %", "'Vdd' (3.00V) is outside specified range (1V-2V)" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatcheck(c.format, standard, "Vdd", "3.00", 1, 2), c.text)
            << (c.format ? c.format : "null");
}

// Digital nets D1 and D2 (a digital part reads both), the analog net IN, and the probes of a test.
class MixedInstrumentTest : public InstrumentTest {
protected:
    void build(const std::string& parts, const std::string& pins)
    {
        ProbeCircuitTest::make("SIMTYPE=TRANSIENT\nPARTITION=RUN\nTRACE_NETTYPES=2\nGWIRE=1e3\n",
            std::string(circuitparts) + "G1,AND2,,PRIMITIVE=DIGITAL\n" + parts,
            "IN,1\nV1,PS,1\n\nD1,1\nG1,IP,A\n\nD2,1\nG1,IP,B\n\n" + pins);
    }

    // The fake digital engine's pin i of the part made for `name`.
    fakes::DigitalPin* pin(const char* name, int32_t i) { return fakes::digitalpin(name, i); }

    // What a part reports at a tick, as "kind:value" texts.
    std::vector<std::string> report(COMPONENT* part, double time)
    {
        DPA list(4);
        part->activeevents(time, &list);
        std::vector<std::string> texts;
        for (int i = 0; i < list.count; ++i) {
            const auto* event = static_cast<const ACTIVEEVENT*>(list.items[i]);
            char text[64];
            if (event->kind == ACTIVEEVENT::KIND_WIREVALUES)
                snprintf(text, sizeof text, "%d:%g,%g", event->kind, event->value, event->extra);
            else
                snprintf(text, sizeof text, "%d:%X", event->kind, event->words[0]);
            texts.push_back(text);
        }
        return texts;
    }
};

TEST_F(MixedInstrumentTest, PinProbeFollowsTheStateOfItsDigitalNetOnly)
{
    build("P1,PPROBE,,PRIMITIVE=MIXED,PIN=3:1A:2\nP2,PPROBE,,PRIMITIVE=MIXED\nP3,PPROBE,,PRIMITIVE=MIXED\n",
        "D3,1\nP1,PS,1\n\nIN2,1\nP2,PS,1\n\nD4,2\nP3,PS,1\nP3,PS,2\n\n");
    fakes::digital().nets["D3"] = STATE_FLT;
    fakes::digital().nets["D4"] = STATE_FLT;
    for (const char* name : { "P1", "P2", "P3" })
        part(name)->initialise(circuit.get(), nullptr);
    auto* probe = instrument<RTPPROBE>("P1");
    EXPECT_EQ(probe->event.sheet, 3u);
    EXPECT_EQ(probe->event.first, 0x1Au);
    EXPECT_EQ(probe->event.second, 2u);
    EXPECT_THAT(lines("#T:Pin probe"), testing::Contains("#T:Pin probe on D3 is digital"));
    EXPECT_THAT(report(probe, 0), testing::ElementsAre("5:2"));
    EXPECT_THAT(report(probe, 1e-3), testing::ElementsAre());
    fakes::digital().nets["D3"] = 0x0F;
    probe->setrunmode(2);
    EXPECT_THAT(report(probe, 2e-3), testing::ElementsAre());
    probe->setrunmode(3);
    EXPECT_THAT(report(probe, 3e-3), testing::ElementsAre("5:F"));
    // An analog net, or two pins: never linked, never an instrument of the tick.
    DPA list(4);
    EXPECT_EQ(part("P2")->activeevents(0, &list), 0);
    EXPECT_EQ(part("P3")->activeevents(0, &list), 0);
}

TEST_F(MixedInstrumentTest, WireProbeShowsTheVoltageAndCurrentOfAnAnalogWire)
{
    build("W1,WPROBE,,PRIMITIVE=MIXED,WIRE=4:5\nW3,WPROBE,,PRIMITIVE=MIXED\n",
        "IN2,3\nW1,PS,1\nW3,PS,1\nR1,PS,2\n\nOUT,2\nW1,PS,2\nR1,PS,1\n\n");
    auto* analog = instrument<RTWPROBE>("W1");
    ASSERT_NE(analog->spiceinstance, nullptr);
    analog->bindspice(analog, &ckt);
    EXPECT_EQ(analog->event.sheet, 4u);
    EXPECT_EQ(analog->event.first, 5u);
    // GWIRE 1e3 S with ends at 1.0 V and 0.999 V: 1 A.
    ckt.values[node("IN2")] = 1.0;
    ckt.values[node("OUT")] = 0.999;
    EXPECT_THAT(report(analog, 0), testing::ElementsAre("6:0.9995,1"));
    ckt.clear();
    analog->loaddc(0, MODE_INITJCT, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(ckt.cell(node("IN2"), node("IN2")), 1e3);
    EXPECT_THAT(report(analog, 1e-3), testing::ElementsAre());
    // One end: its voltage, no current.
    auto* single = instrument<RTWPROBE>("W3");
    single->bindspice(single, &ckt);
    EXPECT_THAT(report(single, 0), testing::ElementsAre("6:1,0"));
}

TEST_F(MixedInstrumentTest, WireOnADigitalNetIsTheEnginesProbeAndMergesItsEnds)
{
    build("W2,WPROBE,,PRIMITIVE=MIXED\n", "D1X,2\nW2,PS,1\nG1,OP,Y\n\nD6,1\nW2,PS,2\n\n");
    auto* wire = instrument<RTWPROBE>("W2");
    EXPECT_EQ(wire->spiceinstance, nullptr);
    EXPECT_THAT(fakes::callsof("pallex_mergenets"), testing::ElementsAre("pallex_mergenets(D1X, D6)"));
    EXPECT_THAT(lines("#T:Wire"), testing::ElementsAre("#T:Wire W2 has merged nets {N:D1X} and {N:D6}"));
    pin("W2", 0)->state = 0x0D;
    EXPECT_THAT(report(wire, 0), testing::ElementsAre("3:D"));
    EXPECT_THAT(report(wire, 1e-3), testing::ElementsAre());
}

TEST_F(MixedInstrumentTest, LogicProbeReportsItsPatternOrEveryStateOfTheTick)
{
    build("U1_L1,RTDPROBE,,PRIMITIVE=DIGITAL,ELEMENT=2\nU1_L2,RTDPROBE,,PRIMITIVE=DIGITAL,MODE=continuous\n",
        "D1P,2\nU1_L1,PS,1\nU1_L2,PS,1\n\nD2P,2\nU1_L1,PS,2\nU1_L2,PS,2\n\n");
    auto* probe = instrument<RTDPROBE>("U1_L1");
    EXPECT_THAT(report(probe, 0), testing::ElementsAre("1:FFFFFFFF"));
    pin("U1_L1", 0)->state = 0x0F;
    pin("U1_L1", 1)->state = 0x0D;
    EXPECT_THAT(report(probe, 1e-3), testing::ElementsAre("1:1"));
    probe->setrunmode(2);
    pin("U1_L1", 1)->state = 0x0F;
    EXPECT_THAT(report(probe, 2e-3), testing::ElementsAre("1:3"));

    auto* continuous = instrument<RTDPROBE>("U1_L2");
    continuous->setrunmode(3);
    pin("U1_L2", 0)->state = 0x0D;
    continuous->simulate(100, SIM_FIRST);
    pin("U1_L2", 0)->state = 0x0F;
    continuous->simulate(100, SIM_EVALUATE);
    continuous->simulate(50, SIM_EVALUATE);
    continuous->simulate(200, SIM_ANALOG);
    activedatatable().count = 0;
    EXPECT_THAT(report(continuous, 3e-10), testing::ElementsAre("8:2"));
    EXPECT_EQ(continuous->times, (std::vector<int64_t> { 100, 300 }));
    EXPECT_EQ(continuous->states, (std::vector<STATE> { 0x0F, STATE_FLT, 0x0F, STATE_FLT }));
    EXPECT_EQ(continuous->event.words[1], 2u);
    EXPECT_EQ(activeaddress(&activedatatable(), continuous->event.ids[1]), continuous->states.data());
}

TEST_F(MixedInstrumentTest, DigitalBreakpointFiresOnArrivingAtItsPatternFromItsStart)
{
    build("B1,RTDBREAK,0b101,PRIMITIVE=DIGITAL,AFTER=1e-9\nB2,RTDBREAK,xyz,PRIMITIVE=DIGITAL\n",
        "D1Q,2\nB1,PS,1\nB2,PS,1\n\nD2Q,2\nB1,PS,2\nB2,PS,2\n\n");
    EXPECT_THAT(lines("#W:syntax"), testing::Contains("#W:syntax error in trigger value."));
    auto* breakpoint = instrument<RTDBREAK>("B1");
    EXPECT_EQ(breakpoint->trigger, 1u);
    EXPECT_EQ(breakpoint->after, 1000);
    breakpoint->simulate(0, SIM_FIRST);
    EXPECT_THAT(fakes::callsof("setcallback"), testing::ElementsAre("setcallback(1000, 0)"));
    pin("B1", 0)->state = 0x0F;
    pin("B1", 1)->state = 0x0D;
    breakpoint->simulate(500, SIM_EVALUATE);
    EXPECT_TRUE(fakes::callsof("pallex suspend").empty());
    mark = size();
    breakpoint->callback(1000, 0);
    breakpoint->simulate(2000, SIM_EVALUATE);
    EXPECT_EQ(log(), "#I:Digital breakpoint triggered: INPUT=00000001\n%T=0\n%S=B1\n");
    pin("B1", 1)->state = 0x0F;
    breakpoint->simulate(3000, SIM_EVALUATE);
    pin("B1", 1)->state = 0x0D;
    breakpoint->simulate(4000, SIM_EVALUATE);
    EXPECT_THAT(fakes::callsof("pallex suspend"),
        testing::ElementsAre("pallex suspend(B1, INPUT=00000001)", "pallex suspend(B1, INPUT=00000001)"));
}

} // namespace
