#pragma once

// The window layer's pixel geometry: points, rectangles and sizes as messages and calls carry
// them. The world geometry has its own POINT type; this one is the plain pixel pair.
// Callers: window positions (core), BASEWIN (tirsk), the window layer.

#include "platform/win/scalars.h"

struct tagPOINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct SIZE {
    LONG cx;
    LONG cy;
};
