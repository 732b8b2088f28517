#pragma once

// Device-independent bitmaps as the system lays them out (a header, its colour table, then rows
// of 1, 4, 8, 16, 24 or 32 bits a pixel padded to 32 bits, bottom-up unless the height is
// negative), decoded into pixels. The colour table belongs to the header's block; the bits are
// checked against their size, so a header that claims more than the bits hold is refused rather
// than read past.
// Callers: VGDVC::drawbitmap (casq).

#include <cstddef>

#include "platform/casq/renderer.h"
#include "platform/win/gdi.h"

namespace casq {

// The largest width or height accepted.
constexpr int DIBMAXSIDE = 32768;

// False, leaving pixels untouched, for a header of a kind not listed above (compressed, planes
// other than 1, sizes out of range) or bits shorter than the header's rows.
bool decodedib(const BITMAPINFO* header, const void* bits, size_t size, PIXELS& pixels);

} // namespace casq
