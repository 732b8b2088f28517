#pragma once

// World points: 32-bit integer coordinates, y growing upwards. Every sum or product that can leave
// the 32-bit range is formed in 64 bits and the result is held at the range's ends.

#include <cstdint>

struct POINT {
    int32_t x = 0;
    int32_t y = 0;

    constexpr POINT() = default;
    constexpr POINT(int32_t px, int32_t py)
        : x(px)
        , y(py)
    {
    }

    friend constexpr bool operator==(const POINT&, const POINT&) = default;
    POINT operator+(POINT p) const;
    POINT operator-(POINT p) const;
    POINT& operator+=(POINT p) { return *this = *this + p; }
    POINT& operator-=(POINT p) { return *this = *this - p; }

    // The straight distance to p, rounded to the nearest unit (at most the 32-bit maximum).
    int32_t dist(POINT p) const;
    // 1 when p lies within distance of this point (inclusive); 0 otherwise or for a negative distance.
    int snap(POINT p, int distance) const;
    // Moves the point to the nearest multiple of the steps, counted from 0, negative coordinates
    // alike (a half step rounds up). A step below 1 leaves that coordinate alone.
    void snap(int stepx, int stepy);
};

// A 64-bit value held at the ends of the 32-bit range.
int32_t clampcoord(int64_t value);
