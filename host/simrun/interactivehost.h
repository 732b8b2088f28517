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
// A breakpoint (4), the end of the analysis (5) or a failed tick (2, 3) ends the ticks.

struct INTERACTIVEPLAN {
    double tick = 1e-3; // seconds between ticks
    double until = 0; // the last tick's time
    std::vector<HOSTACTION> actions;
};

// Runs netlist through the interactive exports of the loaded HELIXSIM module; the result of the
// initialisation when it failed, else of the termination. `progress` (null: none) gets the share
// of the run done, over one line.
int runinteractive(
    HMODULE module, const char* netlist, HWND host, const INTERACTIVEPLAN& plan, FILE* out, FILE* progress);
