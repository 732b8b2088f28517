#pragma once

// The hot and disabled looks of a toolbar's image strip, made from copies of the normal strip.
// Callers: TOOLBAR.

#include "platform/win/handletypes.h"

// Every pixel lightened, its alpha kept: blue x 1.08 + 12, green x 1.07 + 11, red x 1.1 + 14,
// each held to 255.
void lightenimages(HIMAGELIST list);
// Every image replaced by Qt's disabled rendering of it at `size` pixels.
void greyimages(HIMAGELIST list, int size);
