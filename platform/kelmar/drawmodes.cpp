#include "platform/kelmar/drawmodes.h"

#include <algorithm>
#include <iterator>

#include "platform/casq/styles.h"

namespace {

constexpr DWORD FIRSTWORDS[DRAWMODECOUNT] = { 0, DF_PENCOLOUR, DF_NOFILL | DF_XOR | DF_PENCOLOUR, DF_NOFILL | DF_THIN,
    DF_PENCOLOUR, DF_PENCOLOUR, 0, 0 };

DWORD words[DRAWMODECOUNT] = { FIRSTWORDS[0], FIRSTWORDS[1], FIRSTWORDS[2], FIRSTWORDS[3], FIRSTWORDS[4],
    FIRSTWORDS[5], FIRSTWORDS[6], FIRSTWORDS[7] };

bool intable(int mode)
{
    return mode >= 0 && mode < DRAWMODECOUNT;
}

} // namespace

DWORD drawmodeword(int mode)
{
    return intable(mode) ? words[mode] : 0;
}

void setdrawmodeword(int mode, DWORD word)
{
    if (intable(mode)) {
        words[mode] = word;
    }
}

void resetdrawmodewords()
{
    std::copy(std::begin(FIRSTWORDS), std::end(FIRSTWORDS), std::begin(words));
}
