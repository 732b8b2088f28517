#pragma once

// Distances from a point to the outlines the primitives draw, and whether a point lies inside a
// filled outline, in 64-bit arithmetic so that no coordinate of the 32-bit range overflows.
// Callers: the primitives of this folder.

#include <cstdint>
#include <vector>

#include "platform/ombrel/point.h"
#include "platform/ombrel/shapes.h"

// The distance from p to the segment from a to b, rounded up.
int64_t segmentdistance(POINT p, POINT a, POINT b);
// The points of the curve at a spacing fine enough for hit tests and boxes (its ends included).
std::vector<POINT> flatten(const BEZIER& curve);
// The distance from p to the polyline through the points.
int64_t polylinedistance(POINT p, const std::vector<POINT>& points);
// Whether p lies inside the closed polygon (even-odd rule).
bool insidepolygon(POINT p, const std::vector<POINT>& points);
