#pragma once

// Coordinate transforms of the world: a point is mirrored first (mirror word bit 1 negates x, bit 2
// negates y), then turned counter-clockwise by the angle in tenths of a degree, then moved by the
// offset. Angles and mirror words compose exactly; offsets are whole units, so a turn that is not a
// multiple of 90 degrees rounds each mapped point to the nearest unit.

#include <cstdint>

#include "platform/ombrel/point.h"

struct CTS {
    int32_t x = 0;
    int32_t y = 0;
    int16_t angle = 0;
    int16_t mirror_word = 0;

    constexpr CTS() = default;
    constexpr CTS(POINT offset, int a = 0, int m = 0)
        : x(offset.x)
        , y(offset.y)
        , angle(static_cast<int16_t>(a))
        , mirror_word(static_cast<int16_t>(m))
    {
    }

    friend constexpr bool operator==(const CTS&, const CTS&) = default;
    POINT offset() const { return { x, y }; }

    // This transform followed by next: mapping by the result equals mapping by this, then by next.
    CTS& operator*=(const CTS& next);
    CTS operator*(const CTS& next) const { return CTS(*this) *= next; }
    // The transform that undoes this one: this * inverse() is ZEROCTS exactly.
    CTS inverse() const;
    // Toggles mirroring across an axis: 1 negates x, 2 negates y (before the turn).
    void mirror(int axis);
    // Angle into 0..3599, mirror word to its two bits.
    void normalize();
    // The point mapped by this transform.
    POINT map(POINT p) const;
    // The point turned and mirrored, without the offset.
    POINT turn(POINT p) const;
};

// Stored in this layout where transforms are kept in records: offset, angle, mirror word.
static_assert(sizeof(CTS) == 12);

inline constexpr CTS ZEROCTS {};
