#pragma once

// How much room text takes as the devices draw it (VGDVC::drawtext): its width and the box it
// covers around its anchor, in world units, so that a caller can hit-test and redraw text without
// a device. Without a toolkit application (a program that draws nothing) the face is measured as
// if every character were as wide as the style's character width.
// Callers: the drawing primitives' labels, text blocks and texts (kelmar).

#include <cstdint>

#include "platform/casq/styles.h"
#include "platform/ombrel/box.h"

namespace casq {
struct FONT;
// The face, size (device units), stretch and effects of a text style, as every device draws it.
FONT fontof(const TSTYLE& style, double size);
} // namespace casq

// The advance of the whole text (UTF-8) in the style, in world units.
int32_t textwidth(const char* text, const TSTYLE& style);
// The box the text covers when drawn unturned at the origin with the justification (JUSTIFY_*):
// from its left end to its right end, from the descent below its baseline to the height of its
// capitals above it.
// Void for an empty text.
BOX textbox(const char* text, int justification, const TSTYLE& style);
