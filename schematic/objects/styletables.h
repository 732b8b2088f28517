#pragma once

// The named styles of the design (one graphic and one text table for the module) and the built-in
// rows every design starts from. Objects address the rows by position: the built-in rows stand
// first, in the order given here, and a reset puts them back.

#include "platform/kelmar/xstyles.h"

constexpr int BUILTINGRAPHICSTYLES = 16;
constexpr int BUILTINTEXTSTYLES = 16;

// The built-in rows, each table ended by a row whose name is empty.
extern const GSTYLE_ENTRY builtingraphicstyles[BUILTINGRAPHICSTYLES + 1];
extern const TSTYLE_ENTRY builtintextstyles[BUILTINTEXTSTYLES + 1];

// The design's tables.
XSTYLE_MANAGER<GSTYLE>& graphicstyles();
XSTYLE_MANAGER<TSTYLE>& textstyles();

// Empties both tables (freeing what they own) and refills them with copies of the built-in rows.
void resetstyles();
