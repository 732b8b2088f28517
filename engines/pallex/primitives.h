#pragma once

#include <cstdint>

// The part types the engine simulates itself, and the pins each one has. A pin's role comes from its
// name (compared without case); pallex_connect refuses a name the type does not have.
//
//   type                          pins
//   BUFFER, INVERTER              one input (any name), output Q
//   AND NAND OR NOR XOR XNOR      any number of inputs (any names), output Q
//   TRIBUF, TRIINV                input A, enable EN (high drives), output Q (floats when disabled)
//   DFF                           D, clock CLK (rising edge), set S and reset R (high, optional), Q, !Q
//   JKFF                          J, K, CLK, S, R, Q, !Q
//   DLATCH                        D, EN (transparent while high), S, R, Q, !Q
//   SRLATCH                       S, R, Q, !Q
//   COUNTER                       CLK (rising edge), EN (counts while high; absent: always), RST
//                                 (high clears at once), outputs Q0..Q31 (the width is the highest
//                                 connected), carry CO (high at the last count while enabled)
//   SHIFTREG                      serial input D, CLK (rising edge: Q0 takes D, each Qn takes Qn-1),
//                                 EN (shifts while high; absent: always), RST (high clears at once),
//                                 outputs Q0..Q31 (the width is the highest connected)
//   MUX                           data D0..D31, select S0..S4 (S0 the lowest bit), EN (absent: always
//                                 enabled), Q the selected input and !Q its inverse; disabled: Q low
//   DECODER                       select A0..A4 (A0 the lowest bit), EN (absent: always enabled),
//                                 outputs Q0..Q31: the selected one high, the others low; disabled:
//                                 all low
//   CLOCK                         output Q
//   PATTERN                       outputs Q0..Q31 (Q is Q0), driven at pattern strength
//   PULLUP, PULLDOWN              any pins, each driven weak high or weak low
//   SWITCH                        A and B, joined while EN is high or after pallex_actuate closed it
//   DPROBE                        any pins, read and recorded by pallex_linkprobe
//   DUMMY                         any pins, driven only by pallex_pokepin
//   INTMODEL, EXTMODEL            any pins; the pin type decides whether a pin reads its net (PS, IP,
//                                 IO and others) or drives it (PS, OP, IO, TS, PU, PD); the model
//                                 does the rest
//
// Supply pins (pin types PP, PT, PR) are accepted on every type and take no part. Unconnected set,
// reset, clock and select inputs read low.
//
// Properties (times in seconds, through getdelay so TDSCALE and the scatter apply):
//   TD (10 ns) the propagation delay; TDLH and TDHL (default TD) for an output going high and low;
//   TDZ (default the smaller of TDLH and TDHL) for a tri-state output going to float.
//   INIT: the starting level of a gate output (absent: undefined until first evaluated) or the
//   starting state of a flip-flop, latch, counter or shift register (absent: drawn from INITSEED).
//   CLOCK: PERIOD (1 us) or FREQ (Hz), DUTY (0.5), TDELAY (0). It starts low and rises after the
//   low part of each period: the first rising edge is at TDELAY + (1 - DUTY) * PERIOD.
//   PATTERN: DATA (hexadecimal words separated by blanks or commas), STEP (1 us), TDELAY (0), REPEAT
//   (boolean). Word 0 is driven from the start, word k from TDELAY + k * STEP; after the last word
//   the source holds it, or starts over with REPEAT.
namespace pallex {

enum class Kind : uint8_t {
    BUFFER,
    INVERTER,
    AND,
    NAND,
    OR,
    NOR,
    XOR,
    XNOR,
    TRIBUF,
    TRIINV,
    DFF,
    JKFF,
    DLATCH,
    SRLATCH,
    COUNTER,
    SHIFTREG,
    MUX,
    DECODER,
    CLOCK,
    PATTERN,
    PULLUP,
    PULLDOWN,
    SWITCH,
    DPROBE,
    DUMMY,
    MODEL,
};

inline constexpr int32_t NOROLE = -1;
inline constexpr int32_t MAXWIDTH = 32;   // indexed outputs and data inputs
inline constexpr int32_t MAXSELECT = 5;   // select inputs

// The kind of a type name (compared without case); false for a name the engine does not know.
bool kindof(const char* type, Kind* kind);

// Where a named pin goes on a part of the kind.
struct PinRole {
    bool known = false;  // false: the kind has no such pin
    bool input = false;  // the pin reads its net
    bool output = false; // the pin drives its net
    int32_t slot = NOROLE;  // index among the fixed inputs or the outputs; NOROLE for a free pin
};

// The role of pin `name` of pin type `pintype` on a part of `kind`.
PinRole roleof(Kind kind, const char* name, int32_t pintype);

// The fixed input and output slots of the kind, indexed pins included (Q0..Q31 after the named
// outputs, D0..D31 and S0..S4 after the named inputs, ...).
int32_t fixedinputs(Kind kind);
int32_t fixedoutputs(Kind kind);
// The indexed outputs Q0..Q31 among the fixed outputs, after the named ones; 0 when the kind has
// none. A part of such a kind is as wide as its highest connected indexed output.
int32_t indexedoutputs(Kind kind);

}  // namespace pallex
