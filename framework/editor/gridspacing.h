#pragma once

// The grid a view shows for a snap: a minor spacing no finer than the threshold (the smallest
// spacing worth drawing, in world units at the current scale), grown from the snap by the factors
// of the major spacing so that minor lines fall on the snap and major lines on minor ones.

// Spacings in world units; 0: that grid is not drawn.
struct GRIDSPACING {
    int major = 0;
    int minor = 0;
};

// major: one metre or a hundred inches in world units, by the units shown.
GRIDSPACING gridspacing(int major, int snap, int threshold);
