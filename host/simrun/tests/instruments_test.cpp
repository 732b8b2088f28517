// The real-time instruments in interactive runs of the run tool, with the host's scripted events,
// on the real engines: what the host is sent after each tick and what the log says, against the
// analytic response of the circuits.
#include "host/simrun/tests/endtoend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One event the host was sent: its reading ("kind=0 value=0.5") and the time points of a buffer,
// each the time followed by its samples.
struct HOSTEVENT {
    std::string reading;
    std::vector<std::vector<double>> points;

    // The number after "name=" in the reading; NaN without one.
    double field(const char* name) const
    {
        size_t at = reading.find(std::string(" ") + name + "=");
        return at == std::string::npos ? NAN : std::strtod(reading.c_str() + at + strlen(name) + 2, nullptr);
    }
};

// One tick of the run: the time reached, its result and its events by "id=<object> element=<n>".
struct HOSTTICK {
    double time = 0;
    int result = 0;
    std::map<std::string, HOSTEVENT> events;
};

// The ticks of an interactive run's output.
std::vector<HOSTTICK> hostticks(const std::string& output)
{
    std::vector<HOSTTICK> ticks;
    HOSTTICK tick;
    HOSTEVENT* event = nullptr;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  event ", 0) == 0) {
            size_t id = line.find("id=");
            size_t kind = line.find(" kind=");
            event = &tick.events[line.substr(id, kind - id)];
            event->reading = line.substr(kind + 1);
        } else if (line.rfind("    ", 0) == 0 && event) {
            // The states of a logic buffer are hexadecimal.
            bool states = event->reading.rfind("kind=8 ", 0) == 0;
            std::istringstream values(line);
            std::vector<double> point;
            std::string value;
            for (values >> value; values; values >> value) {
                const char* text = value.c_str();
                point.push_back(
                    point.empty() || !states ? std::strtod(text, nullptr) : std::strtoul(text, nullptr, 16));
            }
            event->points.push_back(point);
        } else if (line.rfind("tick ", 0) == 0) {
            int mode = 0;
            sscanf(line.c_str(), "tick %d %lf: %d", &mode, &tick.time, &tick.result);
            ticks.push_back(tick);
            tick = {};
            event = nullptr;
        }
    }
    return ticks;
}

// The key of an event of U1 (object 1) or of a probe of that object id.
std::string of(int object, int element)
{
    char key[40];
    snprintf(key, sizeof key, "id=%08X element=%d", object, element);
    return key;
}

class Instruments : public EndToEnd {
protected:
    // Runs the netlist file interactively.
    void interactive(const std::string& netlist, const std::string& script, const std::string& options)
    {
        run = interactiverun(netlist, script, options);
        ticks = hostticks(run.output);
    }

    std::vector<HOSTTICK> ticks;
};

TEST_F(Instruments, StateSourceClocksACounterWhosePatternTheProbesAndTheBreakpointSee)
{
    // Selection 1 raises the clock, 0 lowers it, 2 resets the counter; the count follows each
    // rising edge by 5 ns.
    std::string script = "2.2ms event 0x10 2\n2.3ms event 0x10 0\n";
    for (int k = 0; k < 7; ++k)
        script += std::to_string(k) + ".5ms event 0x10 1\n" + std::to_string(k + 1) + "ms event 0x10 0\n";
    interactive(fixture("logicstate.net"), script, "--tick 1ms --until 10ms");
    ASSERT_EQ(run.exitcode, 0) << run.output;
    // The breakpoint's 0b1101 is 5 on three pins: it stops the run as the count gets there.
    expectinorder(run.output,
        { "#I:Digital breakpoint triggered: INPUT=00000005\n%T=0.006500005\n%S=U1_B\n",
            "tick 3 0.0065: 4\nbreakpoint at 0.0065\n", "result: 0\n" });
    ASSERT_EQ(ticks.size(), 8u) << run.output;
    const int counts[] = { 0, 1, 2, 1, 2, 3, 4, 5 };
    const unsigned low = 0x0D;
    const unsigned high = 0x0F;
    for (size_t k = 0; k < ticks.size(); ++k) {
        const HOSTTICK& tick = ticks[k];
        int count = counts[k];
        // The pattern probe reports each new count, the pin probe on Q0 and the wire probe on Q1
        // (merged with Q1B) each new state of their nets.
        EXPECT_EQ(tick.events.at(of(1, 1)).reading, "kind=1 state=0000000" + std::to_string(count)) << k;
        bool q0changed = k == 0 || (counts[k - 1] & 1) != (count & 1);
        bool q1changed = k == 0 || (counts[k - 1] & 2) != (count & 2);
        char state[32];
        snprintf(state, sizeof state, "kind=5 state=%08X", count & 1 ? high : low);
        EXPECT_EQ(tick.events.count(of(5, 1)), q0changed ? 1u : 0u) << k;
        if (q0changed) {
            EXPECT_EQ(tick.events.at(of(5, 1)).reading, state) << k;
        }
        snprintf(state, sizeof state, "kind=3 state=%08X", count & 2 ? high : low);
        EXPECT_EQ(tick.events.count(of(6, 0)), q1changed ? 1u : 0u) << k;
        if (q1changed) {
            EXPECT_EQ(tick.events.at(of(6, 0)).reading, state) << k;
        }
    }
    // The continuous probe holds every change of the tick and the states at its end, Q0 first.
    auto states = [](const HOSTTICK& tick) { return tick.events.at(of(1, 0)).points; };
    using POINTS = std::vector<std::vector<double>>;
    EXPECT_EQ(states(ticks[0]), (POINTS { { 0, 0x0D, 0x0D, 0x0D } }));
    EXPECT_EQ(
        states(ticks[1]), (POINTS { { 500005000, 0x0F, 0x0D, 0x0D }, { 1000000000, 0x0F, 0x0D, 0x0D } }));
    EXPECT_EQ(states(ticks[3]),
        (POINTS { { 2200005000, 0x0D, 0x0D, 0x0D }, { 2500005000, 0x0F, 0x0D, 0x0D },
            { 3000000000, 0x0F, 0x0D, 0x0D } }));
    EXPECT_EQ(states(ticks[7]), (POINTS { { 6500005000, 0x0F, 0x0D, 0x0F } }));
}

TEST_F(Instruments, SwitchChangesTheChargingOfAnRcThatTheMetersAndTheWireProbeFollow)
{
    // The switch shorts the capacitor, leaves it from 2 ms (position 0) and discharges it through
    // 1k from 5 ms (position 2).
    interactive(fixture("switch.net"), "2ms event 0x10 0\n5ms event 0x10 2\n", "--tick 1ms --until 7ms");
    ASSERT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(ticks.size(), 8u) << run.output;
    // The switch's conductance ramps over 1 us: the capacitor charges from the end of the opening
    // ramp, and the discharge starts half way along the closing one.
    const double opened = 2.001e-3;
    const double closed = 5.0005e-3;
    const double charged = 1 - std::exp(-(closed - opened) / 1e-3);
    // The capacitor's voltage and the current through R1, with the switch where it is at t; the
    // discharge through 1k tends to half the supply with R1 || 1k times 1u.
    auto volts = [&](double t) {
        if (t <= opened)
            return 0.0;
        if (t <= closed)
            return 1 - std::exp(-(t - opened) / 1e-3);
        return 0.5 + (charged - 0.5) * std::exp(-(t - closed) / 0.5e-3);
    };
    auto amps = [&](double t) { return (1 - volts(t)) / 1e3; };
    auto ramping = [](double t) { return (t > 2e-3 && t < 2.002e-3) || (t > 5e-3 && t < 5.001e-3); };
    // The wire probe reports when its values changed: a tick without a report shows the last one.
    const HOSTEVENT* wire = &ticks[0].events.at(of(6, 0));
    for (size_t k = 1; k < ticks.size(); ++k) {
        const HOSTTICK& tick = ticks[k];
        double time = k * 1e-3;
        EXPECT_DOUBLE_EQ(tick.time, time);
        // The snapshot of the voltmeter (reported when it changed) and the wire probe's voltage and
        // current at the tick.
        if (tick.events.count(of(1, 1))) {
            EXPECT_NEAR(tick.events.at(of(1, 1)).field("value"), volts(time), 1e-3) << time;
        }
        if (tick.events.count(of(6, 0)))
            wire = &tick.events.at(of(6, 0));
        EXPECT_NEAR(wire->field("voltage"), volts(time), 1e-3) << time;
        EXPECT_NEAR(wire->field("current"), amps(time), 1e-6) << time;
        // The waveforms of the tick: every time point up to the tick's, one channel each.
        const HOSTEVENT& voltages = tick.events.at(of(1, 3));
        const HOSTEVENT& currents = tick.events.at(of(1, 4));
        ASSERT_FALSE(voltages.points.empty()) << time;
        EXPECT_EQ(voltages.field("channels"), 1) << time;
        EXPECT_EQ(currents.field("channels"), 1) << time;
        EXPECT_DOUBLE_EQ(voltages.points.back()[0], time);
        EXPECT_EQ(currents.points.size(), voltages.points.size()) << time;
        for (size_t i = 0; i < voltages.points.size(); ++i) {
            double t = voltages.points[i][0];
            ASSERT_EQ(voltages.points[i].size(), 2u);
            EXPECT_GT(t, time - 1e-3) << time;
            if (ramping(t))
                continue;
            EXPECT_NEAR(voltages.points[i][1], volts(t), 1e-3) << t;
            EXPECT_NEAR(currents.points[i][1], amps(t), 1e-6) << t;
        }
    }
    // The peak current of the tick, in mA: the charging current falls, the discharge's rises.
    EXPECT_NEAR(ticks[3].events.at(of(1, 2)).field("value"), 1, 1e-3);
    double peak = ticks[4].events.at(of(1, 2)).field("value");
    EXPECT_LE(peak, 1e3 * amps(3e-3));
    EXPECT_GE(peak, 1e3 * amps(3.1e-3));
    EXPECT_NEAR(ticks[6].events.at(of(1, 2)).field("value"), 1e3 * amps(6e-3), 1e-3);
    EXPECT_NEAR(ticks[7].events.at(of(1, 2)).field("value"), 1e3 * amps(7e-3), 1e-3);
    // The pin probe stands on an analog net: no instrument of the run.
    EXPECT_EQ(run.output.find("id=00000005"), std::string::npos) << run.output;
}

// The switch fixture with its text changed, written to the test's folder.
std::string switchvariant(const std::string& pattern, const std::string& replacement)
{
    std::ifstream in(fixture("switch.net"));
    std::stringstream text;
    text << in.rdbuf();
    std::string file = (vkt::test::tempFolder() / "variant.net").string();
    std::ofstream(file) << std::regex_replace(text.str(), std::regex(pattern), replacement);
    return file;
}

TEST_F(Instruments, SwitchRampShorterThanTheStepControlEndsItsRun)
{
    // A 10 ns ramp puts its end within the engine's break-point margin of a step that truncation
    // rejects: the retried step must not land on the break point again.
    interactive(switchvariant("TSWITCH=1u", "TSWITCH=10n"), "2ms event 0x10 0\n5ms event 0x10 2\n",
        "--tick 1ms --until 7ms");
    ASSERT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(ticks.size(), 8u) << run.output;
    EXPECT_NEAR(
        ticks[4].events.at(of(6, 0)).field("voltage"), 1 - std::exp(-(4e-3 - 2.00001e-3) / 1e-3), 1e-3);
}

TEST_F(Instruments, TicksOfARunWithoutTmaxEndOnTheirTimes)
{
    // Without TMAX the run lasts a day: break points spaced by a share of that would swallow ticks.
    interactive(switchvariant("PROPERTIES,3\nSIMTYPE=TRANSIENT\nPARTITION=SWITCH\nTMAX=100u",
                    "PROPERTIES,2\nSIMTYPE=TRANSIENT\nPARTITION=SWITCH"),
        "2ms event 0x10 0\n", "--tick 1ms --until 7ms");
    ASSERT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(ticks.size(), 8u) << run.output;
    for (size_t k = 0; k < ticks.size(); ++k)
        EXPECT_DOUBLE_EQ(ticks[k].time, k * 1e-3);
}

// A step of 1 V charges R1 (1k) and C1 (1u) from time 0, with the watching instruments of U1: those
// on the voltage (one pin on the capacitor, OUT) and one on the current (in series from MID to OUT,
// or reversed from OUT to MID).
std::string rcnetlist(
    const std::vector<std::string>& voltage, const std::string& current, bool reversed = false)
{
    std::string parts = "V1,VPULSE,,PRIMITIVE=ANALOG,V1=0,V2=1,TD=0,TR=1n,TF=1n,PW=1,PER=2\n"
                        "R1,RESISTOR,1k,PRIMITIVE=ANALOG\nC1,CAPACITOR,1u,PRIMITIVE=ANALOG\n"
                        "U1,SOURCE,,ACTIVE=1,SHEETID=2,EID=10\n";
    std::string out = "C1,PS,1\n";
    std::string mid = "R1,PS,2\n";
    for (const std::string& line : voltage) {
        parts += line + ",PRIMITIVE=ANALOG\n";
        out += line.substr(0, line.find(',')) + ",PS,1\n";
    }
    if (current.empty()) {
        out += mid;
    } else {
        parts += current + ",PRIMITIVE=ANALOG\n";
        std::string name = current.substr(0, current.find(','));
        mid += name + (reversed ? ",PS,2\n" : ",PS,1\n");
        out += name + (reversed ? ",PS,1\n" : ",PS,2\n");
    }
    auto count
        = [](const std::string& text) { return std::to_string(std::count(text.begin(), text.end(), '\n')); };
    std::string nets = "IN,2\nV1,PS,+\nR1,PS,1\n\nOUT," + count(out) + "\n" + out + "\n";
    if (!current.empty())
        nets += "MID," + count(mid) + "\n" + mid + "\n";
    nets += "GND,3\nV1,PS,-\nC1,PS,2\nGND,PT,GND\n";
    std::string text
        = "TAVI NETLIST FILE\nWatched RC\nDesign: Watch\n*PROPERTIES,3\nSIMTYPE=TRANSIENT\nPARTITION=WATCH\n"
          "TMAX=100u\n*PARTLIST,"
        + count(parts) + "\n" + parts + "*NETLIST," + (current.empty() ? "3" : "4") + "\n" + nets;
    std::string path = (vkt::test::tempFolder() / "watch.net").string();
    std::ofstream(path) << text;
    return path;
}

// The number the first match of `pattern` captures; NaN when nothing matches.
double captured(const std::string& output, const std::string& pattern)
{
    std::smatch match;
    return std::regex_search(output, match, std::regex(pattern)) ? std::stod(match[1]) : NAN;
}

TEST_F(Instruments, BreakpointsAndStoppingChecksEndTheTickAtTheirLevel)
{
    // The capacitor reaches 0.5 V at 0.693 ms, 0.9 V at 2.303 ms and 0.95 V at 2.996 ms; the
    // current falls to 0.1 mA at 2.303 ms. A point at or past the level stops the tick, no later
    // than one largest step (TMAX, 100 us) after the crossing.
    const struct {
        std::vector<std::string> voltage;
        std::string current;
        std::string message; // captures the level reported
        double low, high; // its bounds
        double crossing; // the time the level is reached
    } cases[] = {
        { { "U1_B,RTVBREAK,0.9,AFTER=1m" }, "", "#I:Voltage breakpoint triggered: VT=([0-9.]+)mV\n", 900, 910,
            2.3026e-3 },
        // Past 0.5 V before AFTER: the breakpoint fires at AFTER, on the tick's point there.
        { { "U1_B,RTVBREAK,0.5,AFTER=1m" }, "", "#I:Voltage breakpoint triggered: VT=([0-9.]+)mV\n", 632, 632,
            1e-3 },
        // Reversed, the ammeter reads the charging current negative, rising to -0.1 mA (and 0 before
        // the step, at the operating point).
        { {}, "U1_B,RTIBREAK,-0.1m,AFTER=1m", "#I:Current breakpoint triggered: IT=(-[0-9.]+)uA\n", -100,
            -90.5, 2.3026e-3 },
        { { "U1_C,RTVCHECK,Vout,MAX=0.95,MODE=0" }, "",
            "#I:'Vout' \\(([0-9.]+)mV\\) is outside specified range \\(0V-0.95V\\)\n", 950, 955, 2.9957e-3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        interactive(rcnetlist(c.voltage, c.current, !c.current.empty()), "", "--tick 1ms --until 5ms");
        double level = captured(run.output, c.message);
        EXPECT_GE(level, c.low) << run.output;
        EXPECT_LE(level, c.high) << run.output;
        ASSERT_FALSE(ticks.empty());
        EXPECT_EQ(ticks.back().result, 4) << run.output;
        EXPECT_GE(ticks.back().time, c.crossing - 1e-9);
        EXPECT_LE(ticks.back().time, c.crossing + 1e-4);
        EXPECT_NE(run.output.find("\nbreakpoint at "), std::string::npos);
        EXPECT_EQ(run.exitcode, 0);
    }
}

TEST_F(Instruments, RangeChecksReportInTheirClassAndAHostileMessageIsOnlyText)
{
    // The current starts at 0 (below MIN), rises to 1 mA with the step and falls below 0.2 mA at
    // 1.609 ms; the voltage passes 0.5 V at 0.693 ms and 0.95 V at 2.996 ms.
    interactive(rcnetlist({ "U1_C1,RTVCHECK,Vout,MAX=0.5,MODE=1,MSG=%s rose to %s (limit %gV to %gV)",
                              "U1_C3,RTVCHECK,Vout,MAX=0.95" },
                    "U1_C2,RTICHECK,Icharge,MIN=0.2m,MAX=2m,MODE=2,MSG=%s%s%s%s%n"),
        "", "--tick 1ms --until 5ms");
    // A message whose conversions do not fit the check's arguments gives the standard text; an
    // error ends the host's run, in the tick whose points pass the limit (the first one past
    // 2.996 ms may lie past the tick at 3 ms).
    expectinorder(run.output,
        { "#W:'Icharge' (0.00A) is outside specified range (0.0002A-0.002A)\n%S=U1_C2\n", "tick 0 0: 1\n",
            "#I:Vout rose to ", "#W:'Icharge' (", "tick 3 0.002: 1\n", "#E:'Vout' (", "result: 3\n" });
    EXPECT_TRUE(
        std::regex_search(run.output, std::regex("\n#E:'Vout' [^\n]*\n(%[^\n]*\n)*tick 3 0.00[34]: 3\n")))
        << run.output;
    EXPECT_NEAR(captured(run.output, "#I:Vout rose to ([0-9.]+)m \\(limit 0V to 0.5V\\)\n"), 530, 30);
    EXPECT_NEAR(captured(run.output,
                    "#W:'Icharge' \\(([0-9.]+)uA\\) is outside specified range "
                    "\\(0.0002A-0.002A\\)\n"),
        190, 10);
    EXPECT_NEAR(
        captured(run.output, "#E:'Vout' \\(([0-9.]+)mV\\) is outside specified range \\(0V-0.95V\\)\n"), 952,
        3);
    // Each check reports once for each time it leaves its range.
    auto count = [&](const std::string& text) {
        size_t n = 0;
        for (size_t at = run.output.find(text); at != std::string::npos; at = run.output.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("#W:'Icharge'"), 2u);
    EXPECT_EQ(count("#I:Vout rose to"), 1u);
    EXPECT_EQ(count("#E:'Vout'"), 1u);
}

} // namespace
