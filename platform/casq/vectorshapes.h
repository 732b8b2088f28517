#pragma once

// Shapes the file writers reduce figures to when their format lacks them: curves and ellipses as
// polylines, text as the outlines of its glyphs, filled polygons as triangles; and the plain
// numbers and colours of text formats.
// Callers: the DXF, EPS, HP-GL, DM/PL and EMF writers (casq).

#include <array>
#include <string>
#include <vector>

#include "platform/casq/renderer.h"

namespace casq {

struct POLYLINE {
    std::vector<DPOINT> points;
    bool closed = false;
};

// Points along an ellipse from `start` through `sweep` degrees (anticlockwise on the page), no
// further than `tolerance` device units off the curve.
std::vector<DPOINT> ellipsepoints(
    DPOINT centre, double rx, double ry, double start, double sweep, double tolerance);
// The figure's subpaths with their curves flattened to within `tolerance`.
std::vector<POLYLINE> flatten(const FIGURE& figure, double tolerance);
// The glyph outlines of text laid out as every device lays it out, flattened to `tolerance`.
std::vector<POLYLINE> glyphoutlines(
    DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification, double tolerance);
// The text's advance at the font's size and stretch, in device units.
double textadvance(const std::string& utf8, const FONT& font);
// A simple polygon (either winding) cut into triangles; empty when it has fewer than 3 corners or
// more than `limit` (the cut takes time in the square of the corners).
std::vector<std::array<DPOINT, 3>> triangulate(const std::vector<DPOINT>& polygon, size_t limit = 2000);
// The point `distance` along the text's up direction at `angle` degrees from `at` (negative:
// downwards), for placing text by its top or middle.
DPOINT alongup(DPOINT at, double angle, double distance);

// A number with at most `decimals` decimals, trailing zeros dropped, whatever the locale.
std::string number(double value, int decimals = 4);
// The code points of UTF-8 text (malformed bytes become U+FFFD).
std::u32string codepoints(const std::string& utf8);

} // namespace casq
