#pragma once

// A drag handle of an object: a point the user grabs to reshape it. The object that hands it out
// numbers it, gives it a cursor and a box (its point, which the framework grows to the size it
// shows), and takes it back in resize once the framework has moved its point and box.
// Callers: the drawing primitives (kelmar), the schematic's objects (TAVI), the framework's
// handle drag loop.

#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"

// The system's sizing cursors, by the directions they point.
constexpr long CURSOR_SIZENWSE = 32642;
constexpr long CURSOR_SIZENESW = 32643;
constexpr long CURSOR_SIZEWE = 32644;
constexpr long CURSOR_SIZENS = 32645;
constexpr long CURSOR_SIZEALL = 32646;

struct DRAGHANDLE {
    DRAGHANDLE() = default;
    DRAGHANDLE(int id, POINT point, long cursor);

    // Moves the point and the box by the transform.
    void map(const CTS& cts);

    int id = -1; // -1: no handle
    BOX box;
    long cursor = 0;
    int flags = 0;
    POINT point;
};
