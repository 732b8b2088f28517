#include "platform/casq/mapping.h"

#include <cmath>
#include <utility>

namespace casq {
namespace {

// Turns (x, y) anticlockwise by whole quarters.
void turn(int quarters, double& x, double& y)
{
    switch (quarters) {
    case 1:
        std::swap(x, y);
        x = -x;
        break;
    case 2:
        x = -x;
        y = -y;
        break;
    case 3:
        std::swap(x, y);
        y = -y;
        break;
    default:
        break;
    }
}

} // namespace

void MAPPING::set(double x, double y, int rotation, bool mirror)
{
    xscale = x;
    yscale = y;
    int tenths = ((rotation % 3600) + 3600) % 3600;
    quarters = ((tenths + 450) / 900) % 4;
    flip = mirror;
}

void MAPPING::scaleby(double xfactor, double yfactor)
{
    xscale *= xfactor;
    yscale *= yfactor;
}

DPOINT MAPPING::map(POINT world) const
{
    // The distances are whole numbers below 2^33, exact in a double.
    return map(double(int64_t { world.x }), double(int64_t { world.y }));
}

DPOINT MAPPING::map(double x, double y) const
{
    double dx = x - originx;
    double dy = y - originy;
    if (flip) {
        dx = -dx;
    }
    turn(quarters, dx, dy);
    return DPOINT { anchor.x + dx * xscale, anchor.y - dy * yscale };
}

void MAPPING::unmap(DPOINT device, double& x, double& y) const
{
    double dx = (device.x - anchor.x) / xscale;
    double dy = (anchor.y - device.y) / yscale;
    turn((4 - quarters) % 4, dx, dy);
    if (flip) {
        dx = -dx;
    }
    x = originx + dx;
    y = originy + dy;
}

DPOINT MAPPING::extent(double width, double height) const
{
    if (quarters % 2) {
        std::swap(width, height);
    }
    return DPOINT { std::fabs(width * xscale), std::fabs(height * yscale) };
}

double MAPPING::angle(int tenths) const
{
    double degrees = tenths / 10.0;
    return (flip ? -degrees : degrees) + 90.0 * quarters;
}

void MAPPING::arc(int start, int sweep, double& devicestart, double& devicesweep) const
{
    double from = start / 10.0;
    double through = sweep / 10.0;
    if (flip) {
        from = 180.0 - from;
        through = -through;
    }
    devicestart = from + 90.0 * quarters;
    devicesweep = through;
}

} // namespace casq
