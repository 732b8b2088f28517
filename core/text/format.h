#pragma once

#include <atomic>
#include <cstdint>

// Short texts of values for users and property values: engineering prefixes, lengths with units,
// colours and digital drive levels. The result buffers of fmtval and fmtdim are per thread and
// stay valid until the same thread's next call of that function.

// A value with an engineering prefix letter (T G M k m u n p f) and about digits significant
// digits: '4.70k', or with pointprefix '4k70' (the letter in place of the point); magnitudes below
// 1e-15 give "0.00", 1e15 and above an exponent form ('2.00e+15'), non-finite values "%g".
// digits above 15 count as 15. Writes at most 23 characters: buf needs 24 bytes; null buf uses a
// per-thread buffer. Returns the text.
char* fmtval(double value, int digits, int pointprefix, char* buf);

// A length in 10 nm steps with the best display unit ('2.54mm', "10th"); 0 gives "0".
// Writes at most 23 characters: buf needs 24 bytes; null buf uses a per-thread buffer shared by
// both forms. Returns the text.
char* fmtdim(int value, char* buf);
// As fmtdim for value counted in multiples of scale steps (scale below 1 counts as 1); the display
// unit chosen (steps per unit) is stored through unit when it is not null.
char* fmtdim(int value, int* unit, int scale, char* buf);
// The display unit, in steps per unit, that fmtdim chooses for value and scale.
int getdimunit(int value, int scale);

// The display unit of lengths: 0 automatic, -1 imperial automatic (thou or inch), -2 metric
// automatic (micrometre or millimetre), else a fixed unit in steps (100000 millimetres, 2540 thou).
extern std::atomic<int> dimunit;

// A colour in the COLORREF layout (red in the low byte; the top byte ignored) as "(r,g,b)", or
// with hex "(0xRR,0xGG,0xBB)". buf needs 17 bytes.
void fmtrgb(char* buf, uint32_t colour, int hex);

// Digital drive levels, from power low through floating to power high.
enum DSTATES : int {
    DS_NONE = -1,
    DS_PLO,
    DS_SLO,
    DS_WLO,
    DS_FLOAT,
    DS_WHI,
    DS_SHI,
    DS_PHI,
};

// The level a keyword names, case-insensitive ("PLO", "Low", "0", "FLOAT", "H", "IHI", ...);
// DS_NONE for a null or unknown keyword.
DSTATES pallex_state(const char* keyword);
// The keyword of a level, read back as the same level; null for a level outside DS_PLO..DS_PHI.
const char* pallex_state(DSTATES level);
