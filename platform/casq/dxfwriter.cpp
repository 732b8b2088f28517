#include "platform/casq/dxfwriter.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/casq/outputfile.h"
#include "platform/casq/styles.h"
#include "platform/casq/vectorshapes.h"

namespace casq {
namespace {

struct RGBTRIPLE {
    int r, g, b;
};

std::array<RGBTRIPLE, 256> indexpalette()
{
    std::array<RGBTRIPLE, 256> palette {};
    const RGBTRIPLE first[] = { { 0, 0, 0 }, { 255, 0, 0 }, { 255, 255, 0 }, { 0, 255, 0 }, { 0, 255, 255 },
        { 0, 0, 255 }, { 255, 0, 255 }, { 0, 0, 0 }, { 128, 128, 128 }, { 192, 192, 192 } };
    for (int i = 0; i < 10; ++i) {
        palette[size_t(i)] = first[i];
    }
    // 10..249: 24 hues in steps of 15 degrees, each at five values, full and half saturation.
    const double values[] = { 1.0, 0.8, 0.6, 0.5, 0.3 };
    for (int i = 10; i < 250; ++i) {
        double hue = (i - 10) / 10 * 15.0;
        double value = values[(i % 10) / 2];
        double saturation = i % 2 ? 0.5 : 1.0;
        double c = value * saturation;
        double x = c * (1 - std::fabs(std::fmod(hue / 60, 2) - 1));
        double m = value - c;
        double rgb[3] = {};
        int sector = int(hue / 60) % 6;
        const int order[6][3]
            = { { 0, 1, 2 }, { 1, 0, 2 }, { 2, 0, 1 }, { 2, 1, 0 }, { 1, 2, 0 }, { 0, 2, 1 } };
        double parts[3] = { c, x, 0 };
        for (int k = 0; k < 3; ++k) {
            rgb[k] = parts[order[sector][k]];
        }
        palette[size_t(i)] = { int(std::lround((rgb[0] + m) * 255)), int(std::lround((rgb[1] + m) * 255)),
            int(std::lround((rgb[2] + m) * 255)) };
    }
    const int greys[] = { 51, 91, 132, 173, 214, 255 };
    for (int i = 0; i < 6; ++i) {
        palette[size_t(250 + i)] = { greys[i], greys[i], greys[i] };
    }
    return palette;
}

const char* linetypeof(int penstyle)
{
    switch (penstyle) {
    case PENSTYLE_DASH:
        return "DASHED";
    case PENSTYLE_DOT:
        return "DOT";
    case PENSTYLE_DASHDOT:
        return "DASHDOT";
    case PENSTYLE_DASHDOTDOT:
        return "DIVIDE";
    default:
        return nullptr;
    }
}

// A linetype: its name, description and pattern in millimetres (dashes positive, gaps negative).
struct LINETYPE {
    const char* name;
    const char* description;
    std::vector<double> pattern;
};

const std::vector<LINETYPE>& linetypes()
{
    static const std::vector<LINETYPE> all { { "CONTINUOUS", "Solid line", {} },
        { "DASHED", "__ __ __", { 3.0, -1.5 } }, { "DOT", ". . . .", { 0.0, -1.0 } },
        { "DASHDOT", "__ . __ .", { 3.0, -1.0, 0.0, -1.0 } },
        { "DIVIDE", "__ . . __", { 3.0, -1.0, 0.0, -1.0, 0.0, -1.0 } } };
    return all;
}

std::string layername(COLORREF colour)
{
    char name[16];
    std::snprintf(
        name, sizeof name, "COLOUR_%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return name;
}

// Text in the drawing's code page: ASCII and Latin-1 as they are, everything else as \U+XXXX, and
// the control characters dropped.
std::string dxftext(const std::string& utf8)
{
    std::string text;
    for (char32_t c : codepoints(utf8)) {
        if (c >= 0x20 && c < 0x7F) {
            text.push_back(char(c));
        } else if (c >= 0xA0 && c <= 0xFF) {
            text.push_back(char(c));
        } else if (c >= 0x80 && c != 0xFFFF) {
            char code[16];
            std::snprintf(code, sizeof code, "\\U+%04X", unsigned(c));
            text += code;
        }
    }
    return text;
}

} // namespace

int nearestindexcolour(COLORREF colour)
{
    static const std::array<RGBTRIPLE, 256> palette = indexpalette();
    int r = GetRValue(colour);
    int g = GetGValue(colour);
    int b = GetBValue(colour);
    if (r == 0 && g == 0 && b == 0) {
        return 7; // black on white paper, white on a dark screen
    }
    int best = 1;
    long bestdistance = -1;
    for (int i = 1; i < 256; ++i) {
        if (i == 7) {
            continue;
        }
        long dr = palette[size_t(i)].r - r;
        long dg = palette[size_t(i)].g - g;
        long db = palette[size_t(i)].b - b;
        long distance = dr * dr + dg * dg + db * db;
        if (bestdistance < 0 || distance < bestdistance) {
            best = i;
            bestdistance = distance;
        }
    }
    return best;
}

DXFWRITER::DXFWRITER(double deviceperinch)
    : unit(deviceperinch)
{
}

double DXFWRITER::tolerance() const
{
    return unit / 254; // a tenth of a millimetre
}

void DXFWRITER::beginpage(double pagewidth, double pageheight, COLORREF, bool)
{
    width = pagewidth;
    height = pageheight;
    entities.clear();
    layers.clear();
    styles.clear();
}

void DXFWRITER::group(int code, const std::string& value)
{
    entities += std::to_string(code) + "\n" + value + "\n";
}

void DXFWRITER::group(int code, double value)
{
    group(code, number(value, 6));
}

void DXFWRITER::point(int code, DPOINT device)
{
    group(code, device.x);
    group(code + 10, height - device.y);
    group(code + 20, 0.0);
}

void DXFWRITER::entity(const char* type, COLORREF colour)
{
    layers.insert(colour);
    group(0, type);
    group(8, layername(colour));
}

void DXFWRITER::line(const std::vector<DPOINT>& points, bool closed, const PAINT& paint)
{
    if (!paint.stroke || points.size() < 2) {
        return;
    }
    const char* linetype = linetypeof(paint.penstyle);
    if (points.size() == 2 && paint.penwidth <= 0 && !closed) {
        entity("LINE", paint.pencolour);
        if (linetype) {
            group(6, linetype);
        }
        point(10, points[0]);
        point(11, points[1]);
        return;
    }
    entity("POLYLINE", paint.pencolour);
    if (linetype) {
        group(6, linetype);
    }
    group(66, "1");
    point(10, DPOINT { 0, height });
    group(70, closed ? "1" : "0");
    group(40, paint.penwidth);
    group(41, paint.penwidth);
    for (const DPOINT& p : points) {
        entity("VERTEX", paint.pencolour);
        point(10, p);
    }
    entity("SEQEND", paint.pencolour);
}

void DXFWRITER::fill(const std::vector<DPOINT>& polygon, COLORREF colour)
{
    for (const auto& triangle : triangulate(polygon)) {
        entity("SOLID", colour);
        point(10, triangle[0]);
        point(11, triangle[1]);
        point(12, triangle[2]);
        point(13, triangle[2]);
    }
}

void DXFWRITER::polyline(const std::vector<DPOINT>& points, const PAINT& paint)
{
    line(points, false, paint);
}

void DXFWRITER::polygon(const std::vector<DPOINT>& points, const PAINT& paint)
{
    if (paint.fill) {
        fill(points, paint.fillcolour);
    }
    line(points, points.size() > 2, paint);
}

void DXFWRITER::bulged(const std::vector<DPOINT>& vertices, double bulge, bool closed, const PAINT& paint,
    COLORREF colour, double width)
{
    entity("POLYLINE", colour);
    if (const char* linetype = linetypeof(paint.penstyle)) {
        group(6, linetype);
    }
    group(66, "1");
    point(10, DPOINT { 0, height });
    group(70, closed ? "1" : "0");
    group(40, width);
    group(41, width);
    for (const DPOINT& vertex : vertices) {
        entity("VERTEX", colour);
        point(10, vertex);
        group(42, bulge);
    }
    entity("SEQEND", colour);
}

void DXFWRITER::ellipse(DPOINT centre, double rx, double ry, const PAINT& paint)
{
    bool circle = std::fabs(rx - ry) <= tolerance();
    if (paint.fill && circle) {
        // Two half circles half the radius out and as wide as the radius cover the disc.
        bulged({ { centre.x - rx / 2, centre.y }, { centre.x + rx / 2, centre.y } }, 1.0, true, PAINT {},
            paint.fillcolour, rx);
    } else if (paint.fill) {
        fill(ellipsepoints(centre, rx, ry, 0, 360, tolerance()), paint.fillcolour);
    }
    if (!paint.stroke) {
        return;
    }
    if (!circle) {
        line(ellipsepoints(centre, rx, ry, 0, 360, tolerance()), true, paint);
    } else if (paint.penwidth <= 0 && !linetypeof(paint.penstyle)) {
        entity("CIRCLE", paint.pencolour);
        point(10, centre);
        group(40, rx);
    } else {
        bulged({ { centre.x - rx, centre.y }, { centre.x + rx, centre.y } }, 1.0, true, paint,
            paint.pencolour, paint.penwidth);
    }
}

void DXFWRITER::arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint)
{
    if (!paint.stroke) {
        return;
    }
    if (std::fabs(rx - ry) > tolerance() || std::fabs(sweep) >= 360) {
        line(ellipsepoints(centre, rx, ry, start, sweep, tolerance()), std::fabs(sweep) >= 360, paint);
        return;
    }
    double from = sweep >= 0 ? start : start + sweep;
    if (paint.penwidth <= 0 && !linetypeof(paint.penstyle)) {
        entity("ARC", paint.pencolour);
        point(10, centre);
        group(40, rx);
        group(50, std::fmod(std::fmod(from, 360) + 360, 360));
        group(51, std::fmod(std::fmod(from + std::fabs(sweep), 360) + 360, 360));
        return;
    }
    // A polyline arc: its bulge is the tangent of a quarter of the sweep (anticlockwise upwards).
    std::vector<DPOINT> ends = ellipsepoints(centre, rx, ry, start, sweep, rx);
    bulged({ ends.front(), ends.back() }, std::tan(sweep * 3.14159265358979323846 / 720), false, paint,
        paint.pencolour, paint.penwidth);
}

void DXFWRITER::figure(const FIGURE& shape, const PAINT& paint)
{
    for (const POLYLINE& part : flatten(shape, tolerance())) {
        if (part.closed && paint.fill) {
            fill(part.points, paint.fillcolour);
        }
        line(part.points, part.closed, paint);
    }
}

std::string DXFWRITER::stylename(const FONT& font)
{
    std::string name;
    for (char c : font.fixedpitch ? std::string("VECTOR") : font.face) {
        name.push_back(std::isalnum(static_cast<unsigned char>(c))
                ? char(std::toupper(static_cast<unsigned char>(c)))
                : '_');
    }
    if (font.bold) {
        name += "_BOLD";
    }
    if (font.italic) {
        name += "_ITALIC";
    }
    std::string file = font.fixedpitch ? std::string("txt") : font.face + ".ttf";
    styles.emplace(name, file);
    return name;
}

void DXFWRITER::text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification)
{
    std::string text = dxftext(utf8);
    if (text.empty() || font.size <= 0) {
        return;
    }
    std::string style = stylename(font);
    int horizontal = (justification & 3) == JUSTIFY_RIGHT ? 2 : (justification & 3) == JUSTIFY_CENTRE ? 1 : 0;
    int vertical = (justification & 0xC) == JUSTIFY_TOP ? 3 : (justification & 0xC) == JUSTIFY_MIDDLE ? 2 : 0;
    entity("TEXT", font.colour);
    point(10, at);
    group(40, CAPHEIGHT * font.size);
    group(1, text);
    group(50, std::fmod(std::fmod(angle, 360) + 360, 360));
    group(41, font.stretch);
    group(7, style);
    if (horizontal || vertical) {
        group(72, std::to_string(horizontal));
        point(11, at);
        group(73, std::to_string(vertical));
    }
}

void DXFWRITER::endpage()
{
    std::string out;
    auto g = [&](int code, const std::string& value) { out += std::to_string(code) + "\n" + value + "\n"; };
    auto gn = [&](int code, double value) { g(code, number(value, 6)); };
    g(0, "SECTION");
    g(2, "HEADER");
    g(9, "$ACADVER");
    g(1, "AC1009");
    g(9, "$DWGCODEPAGE");
    g(3, "ANSI_1252");
    g(9, "$INSBASE");
    gn(10, 0);
    gn(20, 0);
    gn(30, 0);
    for (auto [name, x, y] :
        { std::tuple { "$EXTMIN", 0.0, 0.0 }, std::tuple { "$EXTMAX", width, height } }) {
        g(9, name);
        gn(10, x);
        gn(20, y);
        gn(30, 0);
    }
    for (auto [name, x, y] :
        { std::tuple { "$LIMMIN", 0.0, 0.0 }, std::tuple { "$LIMMAX", width, height } }) {
        g(9, name);
        gn(10, x);
        gn(20, y);
    }
    g(0, "ENDSEC");

    g(0, "SECTION");
    g(2, "TABLES");
    g(0, "TABLE");
    g(2, "LTYPE");
    g(70, std::to_string(linetypes().size()));
    for (const LINETYPE& type : linetypes()) {
        double length = 0;
        for (double piece : type.pattern) {
            length += std::fabs(piece);
        }
        g(0, "LTYPE");
        g(2, type.name);
        g(70, "0");
        g(3, type.description);
        g(72, "65");
        g(73, std::to_string(type.pattern.size()));
        gn(40, length * unit / 25.4);
        for (double piece : type.pattern) {
            gn(49, piece * unit / 25.4);
        }
    }
    g(0, "ENDTAB");
    g(0, "TABLE");
    g(2, "LAYER");
    g(70, std::to_string(layers.size() + 1));
    g(0, "LAYER");
    g(2, "0");
    g(70, "0");
    g(62, "7");
    g(6, "CONTINUOUS");
    for (COLORREF colour : layers) {
        g(0, "LAYER");
        g(2, layername(colour));
        g(70, "0");
        g(62, std::to_string(nearestindexcolour(colour)));
        g(6, "CONTINUOUS");
    }
    g(0, "ENDTAB");
    g(0, "TABLE");
    g(2, "STYLE");
    g(70, std::to_string(styles.size() + 1));
    g(0, "STYLE");
    g(2, "STANDARD");
    g(70, "0");
    gn(40, 0);
    gn(41, 1);
    gn(50, 0);
    g(71, "0");
    gn(42, 2.5);
    g(3, "txt");
    g(4, "");
    for (const auto& [name, file] : styles) {
        g(0, "STYLE");
        g(2, name);
        g(70, "0");
        gn(40, 0);
        gn(41, 1);
        gn(50, 0);
        g(71, "0");
        gn(42, 2.5);
        g(3, file);
        g(4, "");
    }
    g(0, "ENDTAB");
    g(0, "ENDSEC");
    g(0, "SECTION");
    g(2, "BLOCKS");
    g(0, "ENDSEC");
    g(0, "SECTION");
    g(2, "ENTITIES");
    out += entities;
    g(0, "ENDSEC");
    g(0, "EOF");
    if (target) {
        target->write(out);
    }
}

} // namespace casq
