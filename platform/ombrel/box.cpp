#include "platform/ombrel/box.h"

#include <algorithm>

void BOX::set(POINT p1, POINT p2)
{
    x1 = std::min(p1.x, p2.x);
    x2 = std::max(p1.x, p2.x);
    y1 = std::min(p1.y, p2.y);
    y2 = std::max(p1.y, p2.y);
}

void BOX::normalize()
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
}

bool BOX::contains(POINT p) const
{
    return p.x >= x1 && p.x <= x2 && p.y >= y1 && p.y <= y2;
}

bool BOX::contains(POINT p, int tolerance) const
{
    if (isvoid())
        return false;
    const int64_t t = tolerance;
    return p.x >= x1 - t && p.x <= x2 + t && p.y >= y1 - t && p.y <= y2 + t;
}

bool BOX::contains(const BOX& inner) const
{
    if (isvoid() || inner.isvoid())
        return false;
    return inner.x1 >= x1 && inner.x2 <= x2 && inner.y1 >= y1 && inner.y2 <= y2;
}

bool BOX::intersects(const BOX& other) const
{
    if (isvoid() || other.isvoid())
        return false;
    return other.x1 <= x2 && other.x2 >= x1 && other.y1 <= y2 && other.y2 >= y1;
}

BOX& BOX::operator&=(const BOX& other)
{
    if (!intersects(other))
        return *this = VOIDBOX;
    x1 = std::max(x1, other.x1);
    y1 = std::max(y1, other.y1);
    x2 = std::min(x2, other.x2);
    y2 = std::min(y2, other.y2);
    return *this;
}

BOX& BOX::operator|=(const BOX& other)
{
    if (other.isvoid())
        return *this;
    if (isvoid())
        return *this = other;
    x1 = std::min(x1, other.x1);
    y1 = std::min(y1, other.y1);
    x2 = std::max(x2, other.x2);
    y2 = std::max(y2, other.y2);
    return *this;
}

BOX& BOX::operator|=(POINT p)
{
    return *this |= BOX(p, p);
}

void BOX::grow(int d)
{
    if (isvoid())
        return;
    x1 = clampcoord(int64_t { x1 } - d);
    y1 = clampcoord(int64_t { y1 } - d);
    x2 = clampcoord(int64_t { x2 } + d);
    y2 = clampcoord(int64_t { y2 } + d);
}

static int32_t middle(int32_t a, int32_t b)
{
    const int64_t sum = int64_t { a } + b;
    return static_cast<int32_t>(sum >= 0 ? sum / 2 : (sum - 1) / 2);
}

POINT BOX::centre() const
{
    if (isvoid())
        return { x1, y1 };
    return { middle(x1, x2), middle(y1, y2) };
}

void BOX::map(const CTS& cts)
{
    if (isvoid())
        return;
    const POINT corners[4] = { { x1, y1 }, { x2, y1 }, { x2, y2 }, { x1, y2 } };
    BOX mapped = VOIDBOX;
    for (const POINT& corner : corners)
        mapped |= cts.map(corner);
    *this = mapped;
}

bool BOX::snap(POINT origin, int step)
{
    POINT low = POINT(x1, y1) - origin;
    POINT high = POINT(x2, y2) - origin;
    low.snap(step, step);
    high.snap(step, step);
    low += origin;
    high += origin;
    x1 = low.x;
    y1 = low.y;
    x2 = high.x;
    y2 = high.y;
    return isvalid();
}
