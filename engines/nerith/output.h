#pragma once

#include "engines/nerith/values.h"

#include <cstdint>

struct IFcircuit;
struct IFjob;

namespace nerith {

// A plot of the front end: begun with the identifiers of its vectors, given points, ended. Without a
// front end that takes plots, every call does nothing and succeeds.
class Plot {
public:
    // `reference` names the sweep variable (null: none); `type` is IF_REAL or IF_COMPLEX. 0, or
    // fail()'s code when the front end refused.
    int begin(IFcircuit& ckt, IFjob& job, const char* reference, int32_t count, IFuid* names, int32_t type);
    // One point: the reference value and `count` values of the plot's type.
    int add(double reference, int32_t count, const void* values);
    int end();
    bool open() const { return plot != nullptr; }
    // Around the points of one value `outer` of the outer sweep of a nested sweep.
    int domain(const char* reference, double outer);
    int enddomain();

private:
    IFjob* owner = nullptr;
    IFplot* plot = nullptr;
};

// Hands the present solution to the front end as a plot of one point at `reference` (an operating
// point). 0, or fail()'s code when the front end refused.
int plotpoint(IFcircuit& ckt, IFjob& job, double reference);

// After an output point: E_BREAK when a model or the log asked to break, E_PAUSE when the front
// end's pause test says so, else 0.
int pointdone(IFcircuit& ckt);

// The operating point of an analysis named `analysis` (mode MODE_DCOP or MODE_DCTRANCURVE) with
// the digital side set up for it and settled. 0, or fail()'s code.
int solveoperatingpoint(IFcircuit& ckt, const char* analysis, uint32_t dcmode);

// The lock-step with the digital engine after an operating point in mode `dcmode`: boot steps, and
// the operating point solved again while the digital side changes, at most ITL1 times; `first` when
// the point is the first of its analysis. 0, or fail()'s code. Nothing happens without a digital
// engine.
int settledigital(IFcircuit& ckt, uint32_t dcmode, bool first = true);

} // namespace nerith
