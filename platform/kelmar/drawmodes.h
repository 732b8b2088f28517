#pragma once

// The drawing modes an editor draws its objects in, and the device flag word each mode adds to a
// drawing (styles.h: DF_*). The table is the process's: an editor puts its colours into the words
// (a highlight colour into mode 1, a drag colour into mode 2) and every plot takes them from here.
// Callers: the schematic's objects and editors (TAVI), labels and text blocks.

#include "platform/win/scalars.h"

// Modes 4 to 7 have no meaning here beyond their words; their callers name them.
enum DRAWMODES : int {
    DM_NORMAL = 0,
    DM_COLOURED = 1, // outlines in the word's colour
    DM_DRAG = 2, // exclusive-or outlines: a rubber band or a dragged image
    DM_OUTLINE = 3, // thin outlines without fill
};
constexpr int DRAWMODECOUNT = 8;

// The word of the mode; 0 for a mode outside the table.
DWORD drawmodeword(int mode);
// Sets the word of a mode inside the table (others are ignored).
void setdrawmodeword(int mode, DWORD word);
// Puts every word back to its first value.
void resetdrawmodewords();
