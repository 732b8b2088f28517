// The real-time instruments in interactive runs of the run tool, with the host's scripted events,
// on the real engines: what the host is sent after each tick and what the log says.
#include "host/simrun/tests/simruntesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class Instruments : public testing::Test {
protected:
    void SetUp() override
    {
#ifndef HELIXSIM_REAL_ENGINES
        GTEST_SKIP() << "HELIXSIM links the engine fakes";
#endif
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }
};

// The host event line of an instrument of U1 (sheet 2, object 1).
std::string event(int element, const std::string& reading)
{
    return "  event sheet=00000002 id=00000001 element=" + std::to_string(element) + " " + reading + "\n";
}

TEST_F(Instruments, StateSourceClocksACounterWhosePatternTheProbesAndTheBreakpointSee)
{
    // Selection 1 raises the clock, 0 lowers it, 2 resets the counter; the count follows each
    // rising edge by 5 ns.
    std::string script = "2.2ms event 0x10 2\n2.3ms event 0x10 0\n";
    for (int k = 0; k < 7; ++k)
        script += std::to_string(k) + ".5ms event 0x10 1\n" + std::to_string(k + 1) + "ms event 0x10 0\n";
    vkt::test::COMMANDRUN run = interactiverun("logicstate.net", script, "--tick 1ms --until 10ms");
    ASSERT_EQ(run.exitcode, 0) << run.output;
    // The pattern probe reports the count when it changed; the continuous one every change of its
    // pins in the tick and their states at the tick's end (0D low, 0F high, pin Q0 first).
    auto tick = [](double time, int count, const std::string& samples) {
        char line[64];
        snprintf(line, sizeof line, "tick 3 %g: 0\n", time);
        return "host events: 2\n" + event(1, "kind=1 state=0000000" + std::to_string(count))
            + event(0, "kind=8 " + samples) + line;
    };
    expectinorder(run.output,
        { "initialize: 0\n",
            "host events: 2\n" + event(1, "kind=1 state=00000000")
                + event(0, "kind=8 points=1 channels=3\n    0ps: 0D 0D 0D") + "tick 0 0: 0\n",
            tick(0.001, 1, "points=2 channels=3\n    500005000ps: 0F 0D 0D\n    1000000000ps: 0F 0D 0D"),
            tick(0.002, 2, "points=2 channels=3\n    1500005000ps: 0D 0F 0D\n    2000000000ps: 0D 0F 0D"),
            tick(0.003, 1,
                "points=3 channels=3\n    2200005000ps: 0D 0D 0D\n    2500005000ps: 0F 0D 0D\n"
                "    3000000000ps: 0F 0D 0D"),
            tick(0.004, 2, "points=2 channels=3\n    3500005000ps: 0D 0F 0D\n    4000000000ps: 0D 0F 0D"),
            tick(0.005, 3, "points=2 channels=3\n    4500005000ps: 0F 0F 0D\n    5000000000ps: 0F 0F 0D"),
            tick(0.006, 4, "points=2 channels=3\n    5500005000ps: 0D 0D 0F\n    6000000000ps: 0D 0D 0F"),
            // The breakpoint's 0b1101 is 5 on three pins; it stops the run as the count gets there.
            "#I:Digital breakpoint triggered: INPUT=00000005\n%T=0.006500005\n%S=U1_B\n",
            "host events: 2\n" + event(1, "kind=1 state=00000005")
                + event(0, "kind=8 points=1 channels=3\n    6500005000ps: 0F 0D 0F"),
            "tick 3 0.0065: 4\nbreakpoint at 0.0065\n", "result: 0\n" });
}

} // namespace
