#pragma once

#include "engines/nerith/descriptor.h"

// The front-end table the SPICE engine and its parser call back through: identifiers, the pause
// test, the clock, errors, and the plot output that goes on to the current analysis. Slots 15 to
// 19 hook the digital engine into the engine's time steps when the circuit has digital parts.

extern IFfrontEnd spicefrontend;

// The batch run's pause test: simabort, which also becomes 1 when the host window (of another
// process) is gone or ESC is down while the host is in the foreground.
int esctest();
// Puts a pause test into slot 2.
void setpausetest(int (*test)());
// Sets slots 15 to 19 to the digital engine's hooks, or all five to null.
void setdigitalhooks(bool digital);
