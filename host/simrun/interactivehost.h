#pragma once

#include "host/simrun/hostscript.h"
#include "platform/win/handletypes.h"

#include <cstdio>
#include <vector>

// The command-line host's interactive run: it initialises the run on the netlist, starts it, then
// advances it tick by tick (each tick a fixed step of simulated time) until a time or the end of
// the analysis, passing the script's user events before the tick that reaches their time, and
// ends it. It prints one line per export called on `out`:
//
//   initialize: <result>
//   tick <mode> <time reached, %g s>: <result>     (the host window prints the tick's events)
//   event <id> <argument> at <time>: <result>
//   result: <the result of rts_terminate>
//
// A breakpoint (4), the end of the analysis (5) or a failed tick (2, 3) ends the ticks. The kernel's
// log goes to `out` too.
//
// In real time, as the host runs it, the tick to time t starts when t has passed on the wall clock
// since the first advance (at once when the run is behind), and the run ends with
//
//   real time: <simulated s> in <wall s>: <ratio> simulated seconds per wall second
//   tick latency: median <ms> ms, 99th percentile <ms> ms, maximum <ms> ms (<n> ticks)

struct INTERACTIVEPLAN {
    double tick = 1e-3; // seconds between ticks
    double until = 0; // the last tick's time
    bool realtime = false; // paced to the wall clock
    std::vector<HOSTACTION> actions;
};

// How the advancing ticks (all but the start) kept pace.
struct TICKFIGURES {
    double simulated = 0; // seconds of simulated time they reached
    double wall = 0; // seconds on the wall clock from the first one's start to the last one's end
    std::vector<double> latencies; // seconds each spent in rts_execute, in order
};

struct LATENCIES {
    double median = 0;
    double p99 = 0; // the 99th percentile: the least that 99 % of the ticks stay within
    double most = 0;
};
LATENCIES latencies(std::vector<double> seconds);

// Runs netlist through the interactive exports of the loaded HELIXSIM module; the result of the
// initialisation when it failed, else of the termination. `progress` (null: none) gets the share
// of the run done, over one line; `figures` (null: none) how the ticks kept pace.
int runinteractive(HMODULE module, const char* netlist, HWND host, const INTERACTIVEPLAN& plan, FILE* out,
    FILE* progress, TICKFIGURES* figures = nullptr);
