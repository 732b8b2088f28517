#pragma once

#include "engines/nerith/devices/family.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

// What the transmission lines share: two ports (pos1, neg1) and (pos2, neg2), each with a branch
// for the current into its positive terminal, the ports' values at the start of a run with UIC, and
// the control of the step and the break points by the waves the ports exchange.

namespace nerith {

// The cells of a line: the ports' incidence of their branches, then each branch's row.
enum LineCell : std::size_t {
    Pos1Br1,
    Neg1Br1,
    Pos2Br2,
    Neg2Br2,
    Br1Pos1,
    Br1Neg1,
    Br1Br1,
    Br1Pos2,
    Br1Neg2,
    Br1Br2,
    Br2Pos2,
    Br2Neg2,
    Br2Br2,
    Br2Pos1,
    Br2Neg1,
    Br2Br1,
    LineCells
};

// The head of a line's load record.
struct LinePorts {
    int32_t ports[4]; // pos1, neg1, pos2, neg2
    int32_t branches[2];
    std::array<int32_t, LineCells> cells;
};

// Numbers the line's terminals, makes its branches "i1" and "i2" once (kept in `branches` across
// set-ups) and places its cells.
inline int bindline(IFcircuit& ckt, IFinstance& line, int32_t (&branches)[2], LinePorts& h)
{
    if (int code = terminalnumbers(ckt, line, 4, h.ports))
        return code;
    for (int k = 0; k < 2; ++k) {
        if (branches[k] == 0)
            branches[k] = ckt.addbranch(&line, line.name, k == 0 ? "i1" : "i2");
        h.branches[k] = branches[k];
    }
    SparseMatrix& m = ckt.matrix;
    const int32_t p1 = h.ports[0], n1 = h.ports[1], p2 = h.ports[2], n2 = h.ports[3];
    const int32_t b1 = h.branches[0], b2 = h.branches[1];
    h.cells = { m.place(p1, b1), m.place(n1, b1), m.place(p2, b2), m.place(n2, b2), m.place(b1, p1),
        m.place(b1, n1), m.place(b1, b1), m.place(b1, p2), m.place(b1, n2), m.place(b1, b2), m.place(b2, p2),
        m.place(b2, n2), m.place(b2, b2), m.place(b2, p1), m.place(b2, n1), m.place(b2, b1) };
    return 0;
}

// The ports' KCL: each branch's current leaves its port's positive node and enters the negative.
inline void stampincidence(double* a, const LinePorts& h)
{
    a[h.cells[Pos1Br1]] += 1;
    a[h.cells[Neg1Br1]] -= 1;
    a[h.cells[Pos2Br2]] += 1;
    a[h.cells[Neg2Br2]] -= 1;
}

// "ic": V1, I1, V2 and I2 of the line's members v1, i1, v2, i2, as many as the vector gives.
template <class Instance> int setlinestart(Instance& t, const IFvalue& value)
{
    const int32_t count = value.v.numValue;
    if (count < 1 || count > 4 || !value.v.vec.rVec)
        return E_BADVALUE;
    double* targets[] = { &t.v1, &t.i1, &t.v2, &t.i2 };
    for (int32_t k = 0; k < count; ++k) {
        if (!std::isfinite(value.v.vec.rVec[k]))
            return E_BADVALUE;
        *targets[k] = value.v.vec.rVec[k];
    }
    return 0;
}

// The waves leaving the two ports at one time point.
using Waves = std::array<double, 2>;

// How many of the oldest `points` (ordered by their member `time`) no reading at or after
// `keepafter` needs: all but the two before the first point at or after it, which quadratic
// interpolation and the step control near it read. Three are always kept.
template <class Point> std::size_t outdated(std::span<const Point> points, double keepafter)
{
    if (points.size() <= 3)
        return 0;
    const auto kept = std::lower_bound(
        points.begin(), points.end(), keepafter, [](const Point& p, double time) { return p.time < time; });
    const auto needed = static_cast<std::size_t>(kept - points.begin());
    return std::min(points.size() - 3, needed > 2 ? needed - 2 : 0);
}

// Whether the slope of a wave changed at the point before the last of `points` (ordered by their
// member `time`, waves by `wavesof`) by at least `relative` of the larger slope and by more than
// `absolute`: a corner that arrives at the other port a delay later. At a `relative` of 1 a ramp's
// start and end are corners, as is a turn.
template <class Point, class WavesOf>
bool wavecorner(std::span<const Point> points, double relative, double absolute, WavesOf wavesof)
{
    if (points.size() < 3)
        return false;
    const Point* p = &points[points.size() - 3];
    const Waves a = wavesof(p[0]), b = wavesof(p[1]), c = wavesof(p[2]);
    for (std::size_t k = 0; k < 2; ++k) {
        const double before = (b[k] - a[k]) / (p[1].time - p[0].time);
        const double after = (c[k] - b[k]) / (p[2].time - p[1].time);
        const double change = std::fabs(after - before);
        if (change >= relative * std::max(std::fabs(after), std::fabs(before)) && change > absolute)
            return true;
    }
    return false;
}

// The longest step that keeps a straight line through the waves of `points` from `from` to `to`
// (with the two points before) within the voltage tolerances: where a wave bends, with its largest
// second divided difference (half its second derivative) times `weight`, sqrt(4 tolerance / that);
// infinity where no wave bends.
template <class Point, class WavesOf>
double bendstep(std::span<const Point> points, double from, double to, double weight, double reltol,
    double vntol, WavesOf wavesof)
{
    double most = 0;
    double largest = 0;
    auto i = std::upper_bound(
        points.begin(), points.end(), from, [](double time, const Point& p) { return time < p.time; });
    for (i = i - points.begin() >= 2 ? i - 2 : points.begin(); i + 2 < points.end() && i->time <= to; ++i) {
        const Waves a = wavesof(i[0]), b = wavesof(i[1]), c = wavesof(i[2]);
        for (std::size_t k = 0; k < 2; ++k) {
            const double second
                = ((c[k] - b[k]) / (i[2].time - i[1].time) - (b[k] - a[k]) / (i[1].time - i[0].time))
                / (i[2].time - i[0].time);
            most = std::max(most, std::fabs(second) * weight);
            largest = std::max(largest, std::fabs(b[k]));
        }
    }
    const double tolerance = reltol * largest + vntol;
    return most > 0 ? std::sqrt(4 * tolerance / most) : std::numeric_limits<double>::infinity();
}

} // namespace nerith
