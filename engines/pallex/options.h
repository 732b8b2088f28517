#pragma once

#include <cstdint>

class IINSTANCE;
class IOPTIONS;

// The netlist options that make a digital run vary: initial values and the scatter of delays. The
// random draws are hashed from the seed, the part's name and the property's name, so a part gets the
// same value however many others read theirs first, and a run repeats exactly. The modes the
// netlist calls fully random draw from a fixed seed for the same reason.
namespace pallex {

struct Options {
    uint32_t initseed = 1;   // INITSEED, or the fixed seed when absent or "RANDOM"
    bool scatter = false;    // TDSCALE "RANDOM": delays scattered between lower and upper
    double scale = 1.0;      // TDSCALE as a number
    uint32_t delayseed = 1;  // TDSEED, or the fixed seed when absent or "RANDOM"
    double lower = 0.9;      // TDLOWER
    double upper = 1.1;      // TDUPPER

    // The options the circuit answers; defaults for the rest (circuit null: all defaults).
    static Options read(IOPTIONS* circuit);
};

// The options getdelay and getinitval use: those read at the last set-up of the circuit.
Options& options();

// A delay property of the part in picoseconds, scaled or scattered by the options; `def` when the
// property is absent or unreadable (a negative one draws a warning), and `def` scaled as well when
// `scaledefault` is set.
int64_t delayof(IINSTANCE* instance, const char* property, int64_t def, bool scaledefault);
// An initial value property: a number, or "RANDOM" for 32 bits drawn from INITSEED; `def` when
// absent or unreadable.
int32_t initvalof(IINSTANCE* instance, const char* property, int32_t def);
// 32 bits drawn from INITSEED for the part and property.
uint32_t randominit(IINSTANCE* instance, const char* property);

}  // namespace pallex
