#pragma once

// The map from world units (y upwards) to device units (y downwards): a world origin that lands on
// a device anchor, a scale along each axis, a mirror and a turn by whole quarters. Every point is
// mapped on its own from its 64-bit distance to the origin, so nothing drifts across a page.
// Callers: the devices (casq).

#include <cstdint>

#include "platform/casq/renderer.h"
#include "platform/ombrel/point.h"

namespace casq {

class MAPPING {
public:
    // Device units per world unit along the device's x and y; a turn in tenths of a degree
    // (rounded to whole quarters), anticlockwise; a mirror of the world's x before the turn.
    void set(double xscale, double yscale, int rotation, bool flip);
    void setorigin(double x, double y)
    {
        originx = x;
        originy = y;
    }
    void setanchor(DPOINT device) { anchor = device; }
    // Multiplies both scales (fitting to a page, compensation).
    void scaleby(double xfactor, double yfactor);

    DPOINT map(POINT world) const;
    DPOINT map(double x, double y) const;
    // The world point (unrounded) at a device point.
    void unmap(DPOINT device, double& x, double& y) const;
    // The device extent of a world extent (width, height), turned with the map.
    DPOINT extent(double width, double height) const;
    // A world length as a device length (the mean of the two scales).
    double length(double world) const { return world * (xscale + yscale) / 2; }
    // A world direction in tenths of a degree as a device angle in degrees, anticlockwise; with
    // the mirror the angle is negated so that text still reads from left to right.
    double angle(int tenths) const;
    // A world arc (start and sweep in tenths of a degree) as a device arc in degrees.
    void arc(int start, int sweep, double& devicestart, double& devicesweep) const;

    double getxscale() const { return xscale; }
    double getyscale() const { return yscale; }
    int getquarters() const { return quarters; }
    bool isflipped() const { return flip; }
    double getoriginx() const { return originx; }
    double getoriginy() const { return originy; }
    DPOINT getanchor() const { return anchor; }

private:
    double xscale = 1;
    double yscale = 1;
    int quarters = 0;
    bool flip = false;
    double originx = 0;
    double originy = 0;
    DPOINT anchor;
};

} // namespace casq
