#pragma once

// The placement of the oldest pin records: 12 bytes, six little-endian i16: the offset x and y
// (old units, which the reader scales), then the turn as a matrix xx, xy, yx, yy of -1, 0 and 1
// mapping (x, y) to (xx*x + xy*y, yx*x + yy*y).
// Callers: the pin reader of old device data (TAVI).

#include <cstdint>

#include "platform/ombrel/cts.h"

struct CTS16 {
    int16_t x = 0;
    int16_t y = 0;
    int16_t xx = 1;
    int16_t xy = 0;
    int16_t yx = 0;
    int16_t yy = 1;

    // From the 12 stored bytes.
    static CTS16 frombytes(const uint8_t bytes[12]);
    // The same placement as a CTS; a matrix that is no quarter turn, with or without a mirror,
    // counts as no turn.
    CTS widen() const;
};
