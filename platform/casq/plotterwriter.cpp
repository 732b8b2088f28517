#include "platform/casq/plotterwriter.h"

#include <cmath>

#include "platform/casq/devices.h"
#include "platform/casq/outputfile.h"
#include "platform/casq/vectorshapes.h"

namespace casq {
namespace {

// The stroke font of HP-GL plotters: a character is this share of its height wide and its cell a
// half again as wide as the character.
constexpr double LABELWIDTH = 0.76;
constexpr double LABELCELL = 1.5;

} // namespace

int penofcolour(COLORREF colour)
{
    const COLORREF pens[] = { RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 160, 0), RGB(255, 255, 0), RGB(0, 0, 255),
        RGB(255, 0, 255), RGB(0, 255, 255), RGB(128, 128, 128) };
    int best = 0;
    long bestdistance = -1;
    for (int i = 0; i < 8; ++i) {
        long dr = long(GetRValue(pens[i])) - GetRValue(colour);
        long dg = long(GetGValue(pens[i])) - GetGValue(colour);
        long db = long(GetBValue(pens[i])) - GetBValue(colour);
        long distance = dr * dr + dg * dg + db * db;
        if (bestdistance < 0 || distance < bestdistance) {
            best = i;
            bestdistance = distance;
        }
    }
    return best + 1;
}

PLOTTERWRITER::PLOTTERWRITER(int code, double stepsperinch, bool single)
    : language(code)
    , steps(stepsperinch)
    , onepen(single)
{
}

bool PLOTTERWRITER::ishpgl() const
{
    return language == PLOTTER_HPGL || language == PLOTTER_HPGLCENTRED;
}

void PLOTTERWRITER::write(const std::string& text)
{
    if (target) {
        target->write(text);
    }
}

std::string PLOTTERWRITER::coordinates(DPOINT device) const
{
    // Device units are the plotter's steps; plotters count upwards.
    double x = device.x;
    double y = height - device.y;
    if (language == PLOTTER_HPGLCENTRED) {
        x -= width / 2;
        y -= height / 2;
    }
    return std::to_string(std::lround(x)) + "," + std::to_string(std::lround(y));
}

void PLOTTERWRITER::beginpage(double pagewidth, double pageheight, COLORREF, bool)
{
    width = pagewidth;
    height = pageheight;
    currentpen = 0;
    currentwidth = -1;
    currentlinetype = "LT;";
    if (!started) {
        started = true;
        if (ishpgl()) {
            write("IN;\n");
        } else {
            write(language == PLOTTER_HI80 ? ";: EC5 H A\n" : ";: EC1 H A\n");
        }
    } else if (ishpgl()) {
        write("PG;\n");
    }
    ++pages;
}

void PLOTTERWRITER::endpage()
{
    write(ishpgl() ? "PU;SP0;\n" : "U 0,0 P0\n");
}

void PLOTTERWRITER::finishdocument()
{
    if (started && !ishpgl()) {
        write("@\n");
    }
}

void PLOTTERWRITER::pen(COLORREF colour, double penwidth)
{
    int index = onepen ? 1 : penofcolour(colour);
    if (index != currentpen) {
        currentpen = index;
        currentwidth = -1;
        write(ishpgl() ? "SP" + std::to_string(index) + ";\n" : "P" + std::to_string(index) + "\n");
    }
    if (ishpgl() && std::fabs(penwidth - currentwidth) > 1e-9) {
        currentwidth = penwidth;
        // Width in millimetres; 0 leaves the plotter its thinnest line.
        write("PW" + number(penwidth * 25.4 / steps, 3) + ";\n");
    }
}

void PLOTTERWRITER::outline(const PAINT& paint)
{
    pen(paint.pencolour, paint.penwidth);
    linetype(paint.dashes);
}

void PLOTTERWRITER::linetype(const std::vector<double>& dashes)
{
    std::string type = "LT;";
    if (!dashes.empty()) {
        // Classic line types, their pattern given in per cent of the page's diagonal.
        double pattern = 0;
        for (double length : dashes) {
            pattern += length;
        }
        int kind = dashes.size() == 2 ? (dashes[0] < dashes[1] ? 1 : 2) : dashes.size() == 4 ? 4 : 6;
        type = "LT" + std::to_string(kind) + "," + number(100 * pattern / std::hypot(width, height), 3) + ";";
    }
    if (ishpgl() && type != currentlinetype) {
        currentlinetype = type;
        write(type + "\n");
    }
}

void PLOTTERWRITER::stroke(const std::vector<DPOINT>& points, bool closed)
{
    if (points.size() < 2) {
        return;
    }
    std::string moves
        = ishpgl() ? "PU" + coordinates(points[0]) + ";PD" : "U " + coordinates(points[0]) + " D ";
    for (size_t i = 1; i <= points.size() - (closed ? 0 : 1); ++i) {
        moves += (i > 1 ? "," : "") + coordinates(points[i % points.size()]);
    }
    write(moves + (ishpgl() ? ";PU;\n" : "\n"));
}

void PLOTTERWRITER::fillpolygon(const std::vector<DPOINT>& points, COLORREF colour)
{
    if (!ishpgl() || points.size() < 3) {
        return;
    }
    pen(colour, currentwidth < 0 ? 0 : currentwidth);
    std::string moves = "PU" + coordinates(points[0]) + ";PM0;PD";
    for (size_t i = 1; i <= points.size(); ++i) {
        moves += (i > 1 ? "," : "") + coordinates(points[i % points.size()]);
    }
    write(moves + ";PM2;FP;PU;\n");
}

void PLOTTERWRITER::polyline(const std::vector<DPOINT>& points, const PAINT& paint)
{
    if (paint.stroke) {
        outline(paint);
        stroke(points, false);
    }
}

void PLOTTERWRITER::polygon(const std::vector<DPOINT>& points, const PAINT& paint)
{
    if (paint.fill) {
        fillpolygon(points, paint.fillcolour);
    }
    if (paint.stroke) {
        outline(paint);
        stroke(points, true);
    }
}

void PLOTTERWRITER::ellipse(DPOINT centre, double rx, double ry, const PAINT& paint)
{
    std::vector<DPOINT> points = ellipsepoints(centre, rx, ry, 0, 360, tolerance());
    if (paint.fill) {
        fillpolygon(points, paint.fillcolour);
    }
    if (!paint.stroke) {
        return;
    }
    outline(paint);
    if (ishpgl() && std::fabs(rx - ry) < 1) {
        write("PU" + coordinates(centre) + ";CI" + std::to_string(std::lround(rx)) + ";\n");
        return;
    }
    stroke(points, true);
}

void PLOTTERWRITER::arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint)
{
    if (!paint.stroke) {
        return;
    }
    outline(paint);
    std::vector<DPOINT> points = ellipsepoints(centre, rx, ry, start, sweep, tolerance());
    if (ishpgl() && std::fabs(rx - ry) < 1) {
        write("PU" + coordinates(points.front()) + ";PD;AA" + coordinates(centre) + "," + number(sweep, 3)
            + ";PU;\n");
        return;
    }
    stroke(points, false);
}

void PLOTTERWRITER::figure(const FIGURE& shape, const PAINT& paint)
{
    for (const POLYLINE& part : flatten(shape, tolerance())) {
        if (part.closed && paint.fill) {
            fillpolygon(part.points, paint.fillcolour);
        }
        if (paint.stroke) {
            outline(paint);
            stroke(part.points, part.closed);
        }
    }
}

void PLOTTERWRITER::text(
    DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification)
{
    if (font.size <= 0) {
        return;
    }
    pen(font.colour, 0);
    if (!ishpgl()) {
        for (const POLYLINE& stroke : glyphoutlines(at, angle, utf8, font, justification, tolerance())) {
            this->stroke(stroke.points, stroke.closed);
        }
        return;
    }
    std::string label;
    for (char32_t c : codepoints(utf8)) {
        label.push_back(c >= 0x20 && c < 0x7F ? char(c) : '?');
    }
    double capital = CAPHEIGHT * font.size;
    double charwidth = capital * LABELWIDTH * font.stretch;
    double advance = double(label.size()) * charwidth * LABELCELL;
    double shift = (justification & 3) == JUSTIFY_RIGHT ? advance
        : (justification & 3) == JUSTIFY_CENTRE         ? advance / 2
                                                        : 0;
    double drop = (justification & 0xC) == JUSTIFY_TOP ? capital
        : (justification & 0xC) == JUSTIFY_MIDDLE      ? capital / 2
                                                       : 0;
    double a = angle * 3.14159265358979323846 / 180;
    DPOINT start = alongup(DPOINT { at.x - shift * std::cos(a), at.y + shift * std::sin(a) }, angle, -drop);
    double centimetres = 2.54 / steps;
    write("SI" + number(charwidth * centimetres, 4) + "," + number(capital * centimetres, 4) + ";DI"
        + number(std::cos(a), 5) + "," + number(std::sin(a), 5) + ";PU" + coordinates(start) + ";LB" + label
        + "\x03\n");
}

} // namespace casq
