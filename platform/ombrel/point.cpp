#include "platform/ombrel/point.h"

#include <cmath>
#include <limits>

int32_t clampcoord(int64_t value)
{
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

POINT POINT::operator+(POINT p) const
{
    return { clampcoord(int64_t { x } + p.x), clampcoord(int64_t { y } + p.y) };
}

POINT POINT::operator-(POINT p) const
{
    return { clampcoord(int64_t { x } - p.x), clampcoord(int64_t { y } - p.y) };
}

int32_t POINT::dist(POINT p) const
{
    // Differences need 33 bits; hypot takes them without squaring.
    const double dx = static_cast<double>(int64_t { p.x } - x);
    const double dy = static_cast<double>(int64_t { p.y } - y);
    return clampcoord(std::llround(std::hypot(dx, dy)));
}

int POINT::snap(POINT p, int distance) const
{
    if (distance < 0)
        return 0;
    const int64_t dx = int64_t { p.x } - x;
    const int64_t dy = int64_t { p.y } - y;
    const int64_t d = distance;
    if (dx > d || dx < -d || dy > d || dy < -d)
        return 0;
    return dx * dx + dy * dy <= d * d ? 1 : 0;
}

static int32_t snapcoord(int32_t value, int step)
{
    if (step < 1)
        return value;
    // Floor division, so that -5 with step 10 goes to 0 and -6 to -10, as 5 and 6 do upwards.
    const int64_t shifted = int64_t { value } + step / 2;
    int64_t q = shifted / step;
    if (shifted % step < 0)
        --q;
    int64_t snapped = q * step;
    if (snapped > std::numeric_limits<int32_t>::max())
        snapped -= step;
    if (snapped < std::numeric_limits<int32_t>::min())
        snapped += step;
    return static_cast<int32_t>(snapped);
}

void POINT::snap(int stepx, int stepy)
{
    x = snapcoord(x, stepx);
    y = snapcoord(y, stepy);
}
