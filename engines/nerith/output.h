#pragma once

#include <cstdint>

struct IFcircuit;
struct IFjob;

namespace nerith {

// Hands the present solution to the front end as a plot of one point at `reference` (an operating
// point). 0, or fail()'s code when the front end refused.
int plotpoint(IFcircuit& ckt, IFjob& job, double reference);

// After an output point: E_BREAK when a model or the log asked to break, E_PAUSE when the front
// end's pause test says so, else 0.
int pointdone(IFcircuit& ckt);

// The lock-step with the digital engine after an operating point in mode `dcmode`: boot steps, and
// the operating point solved again while the digital side changes, at most ITL1 times. 0, or
// fail()'s code. Nothing happens without a digital engine.
int settledigital(IFcircuit& ckt, uint32_t dcmode);

} // namespace nerith
