#pragma once

// The shared strip of the check mark, shown by checked items that have no image of their own.

#include "platform/win/handletypes.h"

constexpr const char* CHECKMARKBITMAP = "MENUCHECKMARK";

// Made with the first image strip of a run, or when it is first asked for (again after the shared
// images were released); null when the bitmap is missing.
HBITMAP sharedcheckmark();
