#include "platform/ombrel/shapes.h"

#include <cmath>

// The control distance that makes a cubic follow a quarter circle most closely: 4/3 (sqrt(2) - 1).
static constexpr double kappa = 0.5522847498307936;

static int32_t along(int32_t from, int32_t to)
{
    return clampcoord(int64_t { from } + std::llround(kappa * static_cast<double>(int64_t { to } - from)));
}

void BEZIER::setquadrant(POINT from, POINT to, int horizontal)
{
    p1 = from;
    p2 = to;
    if (horizontal) {
        c1 = { along(from.x, to.x), from.y };
        c2 = { to.x, along(to.y, from.y) };
        return;
    }
    c1 = { from.x, along(from.y, to.y) };
    c2 = { along(to.x, from.x), to.y };
}

void PATH::append(BEZIER shape, bool isline)
{
    if (!segments.empty())
        shape.p1 = last();
    if (isline) {
        shape.c1 = shape.p1;
        shape.c2 = shape.p2;
    }
    segments.push_back({ shape, isline });
}

void PATH::add(const LINE& line)
{
    append({ line.p1, line.p1, line.p2, line.p2 }, true);
}

void PATH::add(const BEZIER& arc)
{
    append(arc, false);
}

int PATH::removelast()
{
    if (segments.empty())
        return 0;
    segments.pop_back();
    return 1;
}

POINT PATH::last() const
{
    return segments.empty() ? POINT() : segments.back().shape.p2;
}

bool PATH::isclosed() const
{
    return !segments.empty() && last() == segments.front().shape.p1;
}

int PATH::validate()
{
    if (segments.empty())
        return 0;
    if (!isclosed())
        add(LINE(last(), segments.front().shape.p1));
    return 1;
}
