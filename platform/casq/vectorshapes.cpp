#include "platform/casq/vectorshapes.h"

#include <QPainterPath>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/casq/qtrenderer.h"
#include "platform/casq/styles.h"

namespace casq {
namespace {

constexpr double PI = 3.14159265358979323846;

double cross(DPOINT o, DPOINT a, DPOINT b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool inside(DPOINT p, DPOINT a, DPOINT b, DPOINT c)
{
    double d1 = cross(a, b, p);
    double d2 = cross(b, c, p);
    double d3 = cross(c, a, p);
    bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

std::vector<POLYLINE> polylinesof(const QPainterPath& path, double tolerance)
{
    // The toolkit flattens curves to its own fineness; scale so that it meets the tolerance.
    double scale = tolerance > 0 ? 0.25 / tolerance : 1;
    std::vector<POLYLINE> result;
    for (const QPolygonF& polygon : (QTransform::fromScale(scale, scale).map(path)).toSubpathPolygons()) {
        POLYLINE line;
        for (const QPointF& p : polygon) {
            line.points.push_back(DPOINT { p.x() / scale, p.y() / scale });
        }
        line.closed = polygon.size() > 2 && polygon.isClosed();
        if (line.points.size() >= 2) {
            result.push_back(std::move(line));
        }
    }
    return result;
}

} // namespace

std::vector<DPOINT> ellipsepoints(
    DPOINT centre, double rx, double ry, double start, double sweep, double tolerance)
{
    double radius = std::max(rx, ry);
    double step = radius > tolerance ? 2 * std::acos(1 - tolerance / radius) : PI / 2;
    int count = std::clamp(int(std::ceil(std::fabs(sweep) * PI / 180 / step)), 4, 3600);
    std::vector<DPOINT> points;
    points.reserve(size_t(count) + 1);
    for (int i = 0; i <= count; ++i) {
        double a = (start + sweep * i / count) * PI / 180;
        points.push_back(DPOINT { centre.x + rx * std::cos(a), centre.y - ry * std::sin(a) });
    }
    return points;
}

std::vector<POLYLINE> flatten(const FIGURE& figure, double tolerance)
{
    QPainterPath path;
    for (const auto& step : figure.steps) {
        switch (step.kind) {
        case FIGURE::move:
            path.moveTo(step.to.x, step.to.y);
            break;
        case FIGURE::line:
            path.lineTo(step.to.x, step.to.y);
            break;
        case FIGURE::cubic:
            path.cubicTo(step.c1.x, step.c1.y, step.c2.x, step.c2.y, step.to.x, step.to.y);
            break;
        case FIGURE::close:
            path.closeSubpath();
            break;
        }
    }
    return polylinesof(path, tolerance);
}

double textadvance(const std::string& utf8, const FONT& font)
{
    QTransform placement;
    return textlayout(DPOINT {}, 0, QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), font,
               JUSTIFY_LEFT, placement)
               .advance
        * font.size / TEXTLAYOUTSIZE * font.stretch;
}

std::vector<POLYLINE> glyphoutlines(
    DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification, double tolerance)
{
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    QTransform placement;
    TEXTLAYOUT layout = textlayout(at, angle, text, font, justification, placement);
    QPainterPath glyphs;
    glyphs.addText(layout.start, toolkitfont(font, TEXTLAYOUTSIZE), text);
    return polylinesof(placement.map(glyphs), tolerance);
}

std::vector<std::array<DPOINT, 3>> triangulate(const std::vector<DPOINT>& polygon, size_t limit)
{
    std::vector<DPOINT> corners = polygon;
    if (corners.size() > 1 && corners.front().x == corners.back().x
        && corners.front().y == corners.back().y) {
        corners.pop_back();
    }
    std::vector<std::array<DPOINT, 3>> triangles;
    if (corners.size() < 3 || corners.size() > limit) {
        return triangles;
    }
    double area = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
        const DPOINT& a = corners[i];
        const DPOINT& b = corners[(i + 1) % corners.size()];
        area += a.x * b.y - b.x * a.y;
    }
    if (area < 0) {
        std::reverse(corners.begin(), corners.end());
    }
    std::vector<size_t> left(corners.size());
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = i;
    }
    // Ear clipping: a convex corner whose triangle holds no other corner is cut off.
    size_t guard = left.size() * left.size();
    size_t i = 0;
    while (left.size() > 3 && guard--) {
        size_t n = left.size();
        DPOINT a = corners[left[(i + n - 1) % n]];
        DPOINT b = corners[left[i % n]];
        DPOINT c = corners[left[(i + 1) % n]];
        bool ear = cross(a, b, c) > 0;
        for (size_t k = 0; ear && k < n; ++k) {
            size_t index = left[k];
            if (index != left[(i + n - 1) % n] && index != left[i % n] && index != left[(i + 1) % n]) {
                ear = !inside(corners[index], a, b, c);
            }
        }
        if (ear) {
            triangles.push_back({ a, b, c });
            left.erase(left.begin() + long(i % n));
        } else {
            ++i;
        }
    }
    if (left.size() == 3) {
        triangles.push_back({ corners[left[0]], corners[left[1]], corners[left[2]] });
    }
    return triangles;
}

DPOINT alongup(DPOINT at, double angle, double distance)
{
    double a = angle * PI / 180;
    return DPOINT { at.x - distance * std::sin(a), at.y - distance * std::cos(a) };
}

std::string number(double value, int decimals)
{
    if (!std::isfinite(value)) {
        value = 0;
    }
    char buffer[64];
    auto [end, error]
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, error == std::errc() ? end : buffer);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" || text.empty() ? "0" : text;
}

std::u32string codepoints(const std::string& utf8)
{
    QList<uint> ucs = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toUcs4();
    return std::u32string(ucs.begin(), ucs.end());
}

} // namespace casq
