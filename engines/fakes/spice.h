#pragma once

#include "engines/contract/models.h"
#include "engines/nerith/nerith.h"

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The recording fake of the SPICE engine: the exports of nerith.h and a descriptor whose entries
// record every call (engines/fakes/recorder.h) and keep circuits, nodes, models, instances, tasks
// and analyses by name. It solves nothing: its runs deliver the plots a test scripted.
namespace fakes {

// One output plot of real points a run delivers. Data names that name a node give that node's own
// identifier.
struct ScriptedPlot {
    std::string reference = "time";
    std::vector<std::string> names;  // solution equations 1..N in order
    std::vector<std::pair<double, std::vector<double>>> points;
};

// ISPICECKT as the kernel and the digital engine see it in the fake: the numbers a test sets or
// inspects. The fake runs no analog model of its own (OBJITF), so what only such a model asks for
// (equations, matrix cells, states, steps) is refused.
class SpiceCircuit final : public ISPICECKT {
public:
    int modetest(uint32_t bits) override { return (mode & bits) != 0; }
    int query(double* out, int code) override;
    double* state(int32_t, int32_t) override { return nullptr; }
    void suspend(IINSTANCE* owner, const char* text) override;
    double* solution() override { return values.data(); }
    double lowerinitialstep(double limit) override { return limit; }
    int32_t newnode(IINSTANCE*, const char*) override { return -1; }
    int32_t newbranch(IINSTANCE*, const char*) override { return -1; }
    double* element(int32_t, int32_t) override { return nullptr; }
    int setbreak(double time) override;
    int32_t allocstates(int32_t) override { return -1; }
    void proposestep(double) override { }

    uint32_t mode = 0;
    std::map<int, double> queries { { QUERY_TIME, 0 }, { QUERY_STEP, 1e-9 }, { QUERY_GMIN, 1e-12 },
        { QUERY_STEPFLOOR, 1e-15 }, { QUERY_MINSTEP, 1e-12 }, { QUERY_SRCFACT, 1 }, { QUERY_ORDER, 1 } };
    int32_t equations = 0; // equations made so far (nodes of the circuit, then branches)
    std::vector<double> values { 0 }; // the solution; [0] is ground
    bool breakasked = false;
};

struct Spice {
    // Scripts: each doAnalyses with restart 1 delivers the next run; doAnalyses with restart 0 goes
    // on with the run the pause test stopped.
    std::deque<std::vector<ScriptedPlot>> runs;
    std::map<int, std::string> errors; // simerrmsg's texts by code
    std::map<std::string, double> answers;  // askInstanceQuest by "instance.keyword" (real values)
    // What the fake holds.
    IFfrontEnd* frontend = nullptr;
    IFsimulator descriptor {};
    SpiceCircuit circuit; // the interface spice_initialize hands out
};

Spice& spice();
// Frees the fake's circuit and restores it as loaded (called by fakes::reset).
void resetspice();
// The fake's device, analysis and node-parameter tables (slots 32 to 39).
const IFsimulator& descriptortables();

}  // namespace fakes
