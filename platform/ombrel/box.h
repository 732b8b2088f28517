#pragma once

// World boxes: x1, y1 the low corner and x2, y2 the high one, edges included. A box is void when
// x2 < x1 or y2 < y1; VOIDBOX is the void box every join starts from.

#include <cstdint>

#include "platform/ombrel/cts.h"
#include "platform/ombrel/point.h"

struct BOX {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = -1;
    int32_t y2 = -1;

    constexpr BOX() = default;
    constexpr BOX(int32_t left, int32_t bottom, int32_t right, int32_t top)
        : x1(left)
        , y1(bottom)
        , x2(right)
        , y2(top)
    {
    }
    // The box spanned by two corners, in either order.
    BOX(POINT p1, POINT p2) { set(p1, p2); }

    friend constexpr bool operator==(const BOX&, const BOX&) = default;

    void set(POINT p1, POINT p2);
    bool isvoid() const { return x2 < x1 || y2 < y1; }
    bool isvalid() const { return !isvoid(); }
    // Swaps the coordinates of each axis into order, so that a box read with its corners reversed
    // becomes valid.
    void normalize();

    // Edges count as inside; a void box contains nothing.
    bool contains(POINT p) const;
    // p lies within the box grown by tolerance.
    bool contains(POINT p, int tolerance) const;
    // Every point of a valid box lies inside; false when either is void.
    bool contains(const BOX& inner) const;
    // The boxes share at least one point; false when either is void.
    bool intersects(const BOX& other) const;
    // Becomes the common part (void when there is none).
    BOX& operator&=(const BOX& other);
    // Becomes the smallest box holding both; a void box adds nothing.
    BOX& operator|=(const BOX& other);
    BOX& operator|=(POINT p);
    // Moves every edge outwards by d (inwards for negative d); a void box stays as it is.
    void grow(int d);

    // The middle, rounded down; the low corner of a void box.
    POINT centre() const;
    // x2 - x1 and y2 - y1, in 64 bits: negative for a void box.
    int64_t width() const { return int64_t { x2 } - x1; }
    int64_t height() const { return int64_t { y2 } - y1; }

    // Becomes the box around the four mapped corners; a void box stays void.
    void map(const CTS& cts);
    // Snaps each edge to the nearest multiple of step counted from origin; true when the result is
    // a valid box.
    bool snap(POINT origin, int step);
};

inline constexpr BOX VOIDBOX {};
