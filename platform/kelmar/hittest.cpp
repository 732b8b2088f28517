#include "platform/kelmar/hittest.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int CURVESTEPS = 32;

POINT bezierpoint(const BEZIER& c, double t)
{
    double u = 1 - t;
    double a = u * u * u;
    double b = 3 * u * u * t;
    double d = 3 * u * t * t;
    double e = t * t * t;
    return POINT(clampcoord(std::llround(a * c.p1.x + b * c.c1.x + d * c.c2.x + e * c.p2.x)),
        clampcoord(std::llround(a * c.p1.y + b * c.c1.y + d * c.c2.y + e * c.p2.y)));
}

} // namespace

int64_t segmentdistance(POINT p, POINT a, POINT b)
{
    double dx = double(b.x) - a.x;
    double dy = double(b.y) - a.y;
    double px = double(p.x) - a.x;
    double py = double(p.y) - a.y;
    double length = dx * dx + dy * dy;
    double t = length > 0 ? std::clamp((px * dx + py * dy) / length, 0.0, 1.0) : 0.0;
    return static_cast<int64_t>(std::ceil(std::hypot(px - t * dx, py - t * dy)));
}

std::vector<POINT> flatten(const BEZIER& curve)
{
    std::vector<POINT> points;
    points.reserve(CURVESTEPS + 1);
    for (int i = 0; i <= CURVESTEPS; ++i) {
        points.push_back(bezierpoint(curve, double(i) / CURVESTEPS));
    }
    return points;
}

int64_t polylinedistance(POINT p, const std::vector<POINT>& points)
{
    if (points.size() == 1) {
        return segmentdistance(p, points[0], points[0]);
    }
    int64_t best = std::numeric_limits<int64_t>::max();
    for (size_t i = 1; i < points.size(); ++i) {
        best = std::min(best, segmentdistance(p, points[i - 1], points[i]));
    }
    return best;
}

bool insidepolygon(POINT p, const std::vector<POINT>& points)
{
    bool inside = false;
    size_t n = points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const POINT& a = points[i];
        const POINT& b = points[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            double cross = double(b.x - double(a.x)) * (double(p.y) - a.y) / (double(b.y) - a.y) + a.x;
            if (p.x < cross) {
                inside = !inside;
            }
        }
    }
    return inside;
}
