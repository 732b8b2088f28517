// The drawing calls of VGDVC: each maps its world figure and resolves its style and flag word
// into what the renderer draws.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/casq/dib.h"
#include "platform/casq/mapping.h"
#include "platform/casq/textmetrics.h"
#include "platform/casq/vgdvc.h"

using casq::DPOINT;
using casq::FIGURE;
using casq::PAINT;

namespace {

// Screen text below this many of the device's thinnest lines is shown as a bar (greek).
constexpr double GREEKHEIGHT = 3;
// A circle on a screen whose radius with half its pen is below this share of the thinnest line
// would show as a speck at most: it is left out.
constexpr double SPECKSIZE = 0.25;
// A figure on a screen narrower and lower than this many of the thinnest lines shows as a block of
// its colour: what a viewer makes of it anyway, for a fraction of the cost of outline and fill.
constexpr double BLOCKSIZE = 3;
// The usual advance of a character as a share of a text style's character width.
constexpr double AVERAGEADVANCE = 0.625;

COLORREF colourof(DWORD word)
{
    return word & DF_COLOURMASK;
}

// The dashes and gaps of a pen style, in multiples of a unit (the pen's width, at least three of
// the device's thinnest lines).
std::vector<double> dashesof(int penstyle, double unit)
{
    std::vector<double> pattern;
    switch (penstyle) {
    case PENSTYLE_DASH:
        pattern = { 4, 2 };
        break;
    case PENSTYLE_DOT:
        pattern = { 1, 2 };
        break;
    case PENSTYLE_DASHDOT:
        pattern = { 4, 2, 1, 2 };
        break;
    case PENSTYLE_DASHDOTDOT:
        pattern = { 4, 2, 1, 2, 1, 2 };
        break;
    default:
        break;
    }
    for (double& length : pattern) {
        length *= unit;
    }
    return pattern;
}

std::vector<DPOINT> mapall(const casq::MAPPING& map, const POINT* points, int count)
{
    std::vector<DPOINT> mapped;
    mapped.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        mapped.push_back(map.map(points[i]));
    }
    return mapped;
}

casq::DRECT extentof(const std::vector<DPOINT>& points)
{
    casq::DRECT extent { points.front().x, points.front().y, points.front().x, points.front().y };
    for (const DPOINT& p : points) {
        extent.left = std::min(extent.left, p.x);
        extent.top = std::min(extent.top, p.y);
        extent.right = std::max(extent.right, p.x);
        extent.bottom = std::max(extent.bottom, p.y);
    }
    return extent;
}

} // namespace

bool VGDVC::drawnasblock(casq::RENDERER& renderer, casq::DRECT extent, const PAINT& paint)
{
    double pen = paint.stroke ? std::max(paint.penwidth, thinline()) / 2 : 0;
    double limit = BLOCKSIZE * thinline();
    if (!isinteractive() || extent.right - extent.left + 2 * pen >= limit
        || extent.bottom - extent.top + 2 * pen >= limit) {
        return false;
    }
    if (paint.stroke || paint.fill) {
        // At least a pixel, around the figure's middle.
        double half = std::max(pen, thinline() / 2);
        PAINT block = paint;
        block.stroke = false;
        block.fill = true;
        block.fillcolour = paint.stroke ? paint.pencolour : paint.fillcolour;
        renderer.block({ std::min(extent.left - pen, (extent.left + extent.right) / 2 - half),
                           std::min(extent.top - pen, (extent.top + extent.bottom) / 2 - half),
                           std::max(extent.right + pen, (extent.left + extent.right) / 2 + half),
                           std::max(extent.bottom + pen, (extent.top + extent.bottom) / 2 + half) },
            block);
    }
    return true;
}

DWORD VGDVC::effectiveflags(DWORD flags) const
{
    DWORD entry = drawcolours[colourmode];
    if (!entry) {
        return flags;
    }
    // The entry's colour wins for whatever it colours; its other flags join the drawing's.
    DWORD colour = (entry & DF_COLOUR) ? colourof(entry) : colourof(flags);
    return ((flags | entry) & ~DF_COLOURMASK) | colour;
}

PAINT VGDVC::paintof(const GSTYLE& style, DWORD flags, bool fillable)
{
    DWORD word = effectiveflags(flags);
    PAINT paint;
    paint.stroke = style.haspen();
    paint.pencolour = (word & DF_PENCOLOUR) ? colourof(word) : colourof(style.pencolour);
    paint.penwidth = (word & DF_THIN) ? 0 : std::max(0.0, map->length(style.penwidth));
    if (paint.penwidth < thinline() && isinteractive()) {
        // A pen thinner than a screen's pixel shows as one: drawn so, it is far cheaper.
        paint.penwidth = 0;
    }
    paint.penstyle = std::clamp(style.penstyle, int(PENSTYLE_SOLID), int(PENSTYLE_DASHDOTDOT));
    paint.dashes = dashesof(paint.penstyle, std::max(paint.penwidth, 3 * thinline()));
    paint.fill = fillable && style.hasfill() && !(word & DF_NOFILL);
    paint.fillcolour = (word & DF_FILLCOLOUR) ? colourof(word) : colourof(style.brushcolour);
    paint.alpha = currentalpha();
    paint.exclusiveor = drawmode == DRAWMODE_XOR || (word & DF_XOR);
    return paint;
}

void VGDVC::drawline(POINT from, POINT to, const GSTYLE& style, DWORD flags)
{
    POINT ends[] = { from, to };
    drawpolyline(ends, 2, style, flags);
}

void VGDVC::drawline(const LINE& line, const GSTYLE& style, DWORD flags)
{
    drawline(line.p1, line.p2, style, flags);
}

void VGDVC::drawpolyline(const POINT* points, int count, const GSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = points && count >= 2 ? active() : nullptr;
    if (!renderer || !style.haspen()) {
        return;
    }
    renderer->polyline(mapall(*map, points, count), paintof(style, flags, false));
}

void VGDVC::drawpolygon(const POINT* points, int count, const GSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = points && count >= 2 ? active() : nullptr;
    if (!renderer) {
        return;
    }
    std::vector<DPOINT> mapped = mapall(*map, points, count);
    PAINT paint = paintof(style, flags, count >= 3);
    if (!drawnasblock(*renderer, extentof(mapped), paint)) {
        renderer->polygon(mapped, paint);
    }
}

void VGDVC::drawbox(const BOX& box, const GSTYLE& style, DWORD flags)
{
    if (box.isvoid()) {
        return;
    }
    POINT corners[] = { { box.x1, box.y1 }, { box.x2, box.y1 }, { box.x2, box.y2 }, { box.x1, box.y2 } };
    drawpolygon(corners, 4, style, flags);
}

void VGDVC::fillbox(const BOX& box, COLORREF colour, DWORD flags)
{
    GSTYLE fill(0, 0, colour & DF_COLOURMASK);
    fill.penstyle = PENSTYLE_NONE;
    drawbox(box, fill, flags & ~DF_NOFILL);
}

void VGDVC::drawcircle(POINT centre, int radius, const GSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = radius > 0 ? active() : nullptr;
    if (!renderer) {
        return;
    }
    PAINT paint = paintof(style, flags, true);
    if (isinteractive() && map->length(radius) + paint.penwidth / 2 < SPECKSIZE * thinline()) {
        return;
    }
    DPOINT middle = map->map(centre);
    double rx = std::abs(radius * map->getxscale());
    double ry = std::abs(radius * map->getyscale());
    if (!drawnasblock(*renderer, { middle.x - rx, middle.y - ry, middle.x + rx, middle.y + ry }, paint)) {
        renderer->ellipse(middle, radius * map->getxscale(), radius * map->getyscale(), paint);
    }
}

void VGDVC::drawarc(POINT centre, int radius, int start, int sweep, const GSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = radius > 0 && sweep != 0 ? active() : nullptr;
    if (!renderer || !style.haspen()) {
        return;
    }
    double from, through;
    map->arc(start, std::clamp(sweep, -3600, 3600), from, through);
    renderer->arc(map->map(centre), radius * map->getxscale(), radius * map->getyscale(), from, through,
        paintof(style, flags, false));
}

void VGDVC::drawbezier(const BEZIER& curve, const GSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = active();
    if (!renderer || !style.haspen()) {
        return;
    }
    FIGURE figure;
    figure.moveto(map->map(curve.p1));
    figure.cubicto(map->map(curve.c1), map->map(curve.c2), map->map(curve.p2));
    PAINT paint = paintof(style, flags, false);
    if (!drawnasblock(*renderer, extentof({ figure.steps[0].to, figure.steps[1].c1, figure.steps[1].c2, figure.steps[1].to }), paint)) {
        renderer->figure(figure, paint);
    }
}

void VGDVC::drawpath(const PATH& path, const GSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = path.count() ? active() : nullptr;
    if (!renderer) {
        return;
    }
    const auto& segments = path.getsegments();
    FIGURE figure;
    std::vector<DPOINT> hull; // the points and control points: the curves lie within them
    figure.moveto(map->map(segments.front().shape.p1));
    hull.push_back(figure.steps.back().to);
    for (const auto& segment : segments) {
        const BEZIER& s = segment.shape;
        if (segment.isline) {
            figure.lineto(map->map(s.p2));
        } else {
            figure.cubicto(map->map(s.c1), map->map(s.c2), map->map(s.p2));
            hull.push_back(figure.steps.back().c1);
            hull.push_back(figure.steps.back().c2);
        }
        hull.push_back(figure.steps.back().to);
    }
    bool closed = path.isclosed();
    if (closed) {
        figure.closefigure();
    }
    PAINT paint = paintof(style, flags, closed);
    if (!drawnasblock(*renderer, extentof(hull), paint)) {
        renderer->figure(figure, paint);
    }
}

// Text too small to read on a screen is shown as a bar as long as its line, in its colour: what a
// reader sees of it anyway, for a fraction of the cost of laying out its glyphs.
void VGDVC::greek(POINT at, const char* text, int angle, int justification, const TSTYLE& style, COLORREF colour,
    DWORD flags)
{
    double characters = 0;
    for (const char* p = text; *p; ++p) {
        characters += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    }
    double length = characters * style.width * AVERAGEADVANCE;
    double left = (justification & 3) == JUSTIFY_RIGHT ? -length : (justification & 3) == JUSTIFY_CENTRE ? -length / 2 : 0;
    double capitals = casq::CAPHEIGHT * style.height;
    double middle = (justification & 0xC) == JUSTIFY_TOP ? -capitals / 2 : (justification & 0xC) == JUSTIFY_MIDDLE ? 0 : capitals / 2;
    double radians = angle * std::numbers::pi / 1800.0;
    auto placed = [&](double x) {
        return POINT(clampcoord(std::llround(at.x + x * std::cos(radians) - middle * std::sin(radians))),
            clampcoord(std::llround(at.y + x * std::sin(radians) + middle * std::cos(radians))));
    };
    drawline(placed(left), placed(left + length), GSTYLE(colour, PENSTYLE_SOLID), flags & ~DF_PENCOLOUR);
}

void VGDVC::drawtext(
    POINT at, const char* text, int angle, int justification, const TSTYLE& style, DWORD flags)
{
    casq::RENDERER* renderer = text && *text && style.isvisible() && style.height > 0 ? active() : nullptr;
    if (!renderer) {
        return;
    }
    DWORD word = effectiveflags(flags);
    casq::FONT font = casq::fontof(style, map->length(style.height));
    font.colour = (word & DF_TEXTCOLOUR) ? colourof(word) : colourof(style.colour);
    if (isinteractive() && font.size < GREEKHEIGHT * thinline()) {
        greek(at, text, angle, justification, style, font.colour, flags);
        return;
    }
    font.alpha = currentalpha();
    int justify = justification & 0xF;
    if (map->isflipped() && (justify & 3) != JUSTIFY_CENTRE) {
        justify ^= JUSTIFY_RIGHT; // mirrored text still reads forwards: its other end lies at the point
    }
    renderer->text(map->map(at), map->angle(angle), text, font, justify);
}

int VGDVC::drawbitmap(const CTS& placement, int width, int height, const BITMAPINFO* header, const void* bits,
    size_t size, DWORD flags)
{
    if (!(getcaps() & DC_BITMAPS) || width <= 0 || height <= 0) {
        return 0;
    }
    casq::PIXELS pixels;
    if (!casq::decodedib(header, bits, size, pixels)) {
        return 0;
    }
    casq::RENDERER* renderer = active();
    if (!renderer) {
        return 0;
    }
    DPOINT topleft = map->map(placement.map(POINT(0, height)));
    DPOINT topright = map->map(placement.map(POINT(width, height)));
    DPOINT bottomleft = map->map(placement.map(POINT(0, 0)));
    renderer->image(pixels, topleft, DPOINT { topright.x - topleft.x, topright.y - topleft.y },
        DPOINT { bottomleft.x - topleft.x, bottomleft.y - topleft.y }, currentalpha());
    return 1;
}

void VGDVC::erase(const BOX& world)
{
    casq::RENDERER* renderer = active();
    if (!renderer) {
        return;
    }
    PAINT paint;
    paint.stroke = false;
    paint.fill = true;
    paint.fillcolour = background;
    std::vector<DPOINT> corners;
    if (world.isvoid()) {
        DPOINT size = pagesize();
        RECT page = pagearea();
        corners = { { double(page.left), double(page.top) }, { size.x + page.left, double(page.top) },
            { size.x + page.left, size.y + page.top }, { double(page.left), size.y + page.top } };
    } else {
        for (POINT p : { POINT(world.x1, world.y1), POINT(world.x2, world.y1), POINT(world.x2, world.y2),
                 POINT(world.x1, world.y2) }) {
            corners.push_back(map->map(p));
        }
    }
    renderer->polygon(corners, paint);
}
