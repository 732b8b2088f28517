#include "platform/casq/emfwriter.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/casq/outputfile.h"
#include "platform/casq/qtrenderer.h"
#include "platform/casq/styles.h"
#include "platform/casq/vectorshapes.h"

namespace casq {
namespace {

// Record types.
enum : uint32_t {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_MOVETOEX = 27,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_ARC = 45,
    EMR_LINETO = 54,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
    EMR_EXTCREATEPEN = 95,
};

constexpr uint32_t PS_GEOMETRIC = 0x10000;
constexpr uint32_t PS_USERSTYLE = 7;
// The thinnest line of the metafile: a tenth of a millimetre.
constexpr double THINNEST = EMFDPI * 0.1 / 25.4;

constexpr uint32_t NULL_BRUSH_STOCK = 0x80000005;
constexpr uint32_t NULL_PEN_STOCK = 0x80000008;
constexpr uint32_t SYSTEM_FONT_STOCK = 0x8000000D;
constexpr uint32_t PENHANDLE = 1;
constexpr uint32_t BRUSHHANDLE = 2;
constexpr uint32_t FONTHANDLE = 3;
constexpr uint32_t HANDLES = 4;

int32_t whole(double value)
{
    return int32_t(std::clamp(std::llround(value), -(1LL << 30), 1LL << 30));
}

struct BOUNDS {
    int32_t left = std::numeric_limits<int32_t>::max();
    int32_t top = std::numeric_limits<int32_t>::max();
    int32_t right = std::numeric_limits<int32_t>::min();
    int32_t bottom = std::numeric_limits<int32_t>::min();

    void add(double x, double y)
    {
        left = std::min(left, whole(x));
        top = std::min(top, whole(y));
        right = std::max(right, whole(x));
        bottom = std::max(bottom, whole(y));
    }
    void add(DPOINT p) { add(p.x, p.y); }
};

} // namespace

struct EMFWRITER::RECORDS {
    std::string bytes;
    uint32_t count = 0;
    double width = 0;
    double height = 0;
    bool clipped = false;
    std::string pen; // the pen and brush selected, as the bytes that made them
    std::string brush;
    std::string font;
    COLORREF textcolour = 0xFFFFFFFF;
    uint32_t textalign = 0xFFFFFFFF;

    void put32(uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); }
    void puti(int32_t v) { put32(uint32_t(v)); }
    void putf(float v) { bytes.append(reinterpret_cast<const char*>(&v), 4); }
    void put16(uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); }
    void putpoint(DPOINT p)
    {
        puti(whole(p.x));
        puti(whole(p.y));
    }
    void putbounds(const BOUNDS& b)
    {
        puti(b.left);
        puti(b.top);
        puti(b.right);
        puti(b.bottom);
    }
    size_t start(uint32_t type)
    {
        size_t at = bytes.size();
        put32(type);
        put32(0);
        return at;
    }
    void finish(size_t at)
    {
        while (bytes.size() % 4) {
            bytes.push_back('\0');
        }
        uint32_t size = uint32_t(bytes.size() - at);
        std::memcpy(&bytes[at + 4], &size, 4);
        ++count;
    }
    void simple(uint32_t type, std::initializer_list<uint32_t> words)
    {
        size_t at = start(type);
        for (uint32_t w : words) {
            put32(w);
        }
        finish(at);
    }
    // Replaces the object in a handle slot: the stock object in, the old one deleted, the new
    // one made by `make` and selected.
    template <class MAKE> void replace(uint32_t handle, uint32_t stock, MAKE make)
    {
        simple(EMR_SELECTOBJECT, { stock });
        simple(EMR_DELETEOBJECT, { handle });
        make();
        simple(EMR_SELECTOBJECT, { handle });
    }

    void selectpen(const PAINT& paint)
    {
        double width = paint.penwidth > 0 ? paint.penwidth : THINNEST;
        std::string key = "none";
        if (paint.stroke) {
            key = std::to_string(whole(width)) + "/" + std::to_string(paint.pencolour);
            for (double length : paint.dashes) {
                key += "/" + std::to_string(whole(length));
            }
        }
        if (key == pen) {
            return;
        }
        pen = key;
        if (!paint.stroke) {
            simple(EMR_SELECTOBJECT, { NULL_PEN_STOCK });
            return;
        }
        // A geometric pen: round ends and joins, and dashes of the pattern's lengths.
        replace(PENHANDLE, NULL_PEN_STOCK, [&] {
            size_t at = start(EMR_EXTCREATEPEN);
            for (uint32_t word : { PENHANDLE, 0u, 0u, 0u, 0u,
                     PS_GEOMETRIC | (paint.dashes.empty() ? 0u : PS_USERSTYLE), uint32_t(whole(width)),
                     0u /* BS_SOLID */, paint.pencolour, 0u, uint32_t(paint.dashes.size()) }) {
                put32(word);
            }
            for (double length : paint.dashes) {
                put32(uint32_t(std::max(1, whole(length))));
            }
            finish(at);
        });
    }
    void selectbrush(bool fill, COLORREF colour)
    {
        std::string key = fill ? std::to_string(colour) : "none";
        if (key == brush) {
            return;
        }
        brush = key;
        if (!fill) {
            simple(EMR_SELECTOBJECT, { NULL_BRUSH_STOCK });
            return;
        }
        replace(BRUSHHANDLE, NULL_BRUSH_STOCK, [&] {
            simple(EMR_CREATEBRUSHINDIRECT, { BRUSHHANDLE, 0 /* BS_SOLID */, colour, 0 });
        });
    }
    // Restores the state saved last; the objects selected then come back, so ours are selected
    // again when next needed.
    void restore()
    {
        simple(EMR_RESTOREDC, { uint32_t(-1) });
        pen.clear();
        brush.clear();
        font.clear();
        textcolour = textalign = 0xFFFFFFFF;
    }
    void select(const PAINT& paint, bool fill)
    {
        selectpen(paint);
        selectbrush(fill && paint.fill, paint.fillcolour);
    }
    void points(uint32_t type, const std::vector<DPOINT>& list)
    {
        BOUNDS b;
        for (const DPOINT& p : list) {
            b.add(p);
        }
        size_t at = start(type);
        putbounds(b);
        put32(uint32_t(list.size()));
        for (const DPOINT& p : list) {
            putpoint(p);
        }
        finish(at);
    }
};

EMFWRITER::EMFWRITER()
    : records(std::make_unique<RECORDS>())
{
}

EMFWRITER::~EMFWRITER() = default;

void EMFWRITER::beginpage(double width, double height, COLORREF background, bool erase)
{
    *records = RECORDS();
    records->width = width;
    records->height = height;
    records->simple(EMR_SETBKMODE, { 1 /* TRANSPARENT */ });
    records->simple(EMR_SETPOLYFILLMODE, { 1 /* ALTERNATE */ });
    if (erase) {
        PAINT paint;
        paint.stroke = false;
        paint.fill = true;
        paint.fillcolour = background;
        polygon({ { 0, 0 }, { width, 0 }, { width, height }, { 0, height } }, paint);
    }
}

void EMFWRITER::endpage()
{
    RECORDS& r = *records;
    if (r.clipped) {
        r.simple(EMR_RESTOREDC, { uint32_t(-1) });
    }
    r.simple(EMR_SELECTOBJECT, { NULL_PEN_STOCK });
    r.simple(EMR_SELECTOBJECT, { NULL_BRUSH_STOCK });
    r.simple(EMR_SELECTOBJECT, { SYSTEM_FONT_STOCK });
    for (uint32_t handle : { PENHANDLE, BRUSHHANDLE, FONTHANDLE }) {
        r.simple(EMR_DELETEOBJECT, { handle });
    }
    r.simple(EMR_EOF, { 0, 16, 20 });

    RECORDS header;
    std::u16string description = u"VKT";
    description.push_back(u'\0');
    description += u"drawing";
    description.append(2, u'\0');
    int32_t w = whole(r.width);
    int32_t h = whole(r.height);
    size_t at = header.start(EMR_HEADER);
    header.putbounds(BOUNDS { 0, 0, std::max(0, w - 1), std::max(0, h - 1) });
    header.putbounds(BOUNDS { 0, 0, w, h }); // the frame, in 0.01 mm: the units themselves
    header.put32(0x464D4520); // " EMF"
    header.put32(0x10000);
    header.put32(0); // file size, set below
    header.put32(r.count + 1);
    header.put16(uint16_t(HANDLES));
    header.put16(0);
    header.put32(uint32_t(description.size()));
    header.put32(108);
    header.put32(0); // palette entries
    header.puti(32000); // reference device: 320 by 240 mm at 100 pixels a millimetre
    header.puti(24000);
    header.puti(320);
    header.puti(240);
    header.put32(0); // no pixel format
    header.put32(0);
    header.put32(0); // no OpenGL
    header.puti(320000); // the reference size in micrometres
    header.puti(240000);
    header.bytes.append(reinterpret_cast<const char*>(description.data()), description.size() * 2);
    header.finish(at);
    uint32_t total = uint32_t(header.bytes.size() + r.bytes.size());
    std::memcpy(&header.bytes[48], &total, 4);
    if (target) {
        target->write(header.bytes);
        target->write(r.bytes);
    }
}

void EMFWRITER::clip(const DRECT* area)
{
    RECORDS& r = *records;
    if (r.clipped) {
        r.restore();
        r.clipped = false;
    }
    if (!area) {
        return;
    }
    r.simple(EMR_SAVEDC, {});
    r.simple(EMR_INTERSECTCLIPRECT,
        { uint32_t(whole(area->left)), uint32_t(whole(area->top)), uint32_t(whole(area->right)),
            uint32_t(whole(area->bottom)) });
    r.clipped = true;
}

void EMFWRITER::polyline(const std::vector<DPOINT>& points, const PAINT& paint)
{
    records->select(paint, false);
    records->points(EMR_POLYLINE, points);
}

void EMFWRITER::polygon(const std::vector<DPOINT>& points, const PAINT& paint)
{
    records->select(paint, true);
    records->points(EMR_POLYGON, points);
}

void EMFWRITER::ellipse(DPOINT centre, double rx, double ry, const PAINT& paint)
{
    RECORDS& r = *records;
    r.select(paint, true);
    r.simple(EMR_ELLIPSE,
        { uint32_t(whole(centre.x - rx)), uint32_t(whole(centre.y - ry)), uint32_t(whole(centre.x + rx)),
            uint32_t(whole(centre.y + ry)) });
}

void EMFWRITER::arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint)
{
    if (std::fabs(sweep) >= 360) {
        PAINT outline = paint;
        outline.fill = false;
        ellipse(centre, rx, ry, outline);
        return;
    }
    // Arcs run anticlockwise from the first radial to the second.
    double from = sweep >= 0 ? start : start + sweep;
    double to = sweep >= 0 ? start + sweep : start;
    auto radial = [&](double degrees) {
        double a = degrees * 3.14159265358979323846 / 180;
        return DPOINT { centre.x + rx * std::cos(a), centre.y - ry * std::sin(a) };
    };
    RECORDS& r = *records;
    r.select(paint, false);
    size_t at = r.start(EMR_ARC);
    r.putbounds(
        BOUNDS { whole(centre.x - rx), whole(centre.y - ry), whole(centre.x + rx), whole(centre.y + ry) });
    r.putpoint(radial(from));
    r.putpoint(radial(to));
    r.finish(at);
}

void EMFWRITER::figure(const FIGURE& shape, const PAINT& paint)
{
    RECORDS& r = *records;
    bool closed = std::any_of(
        shape.steps.begin(), shape.steps.end(), [](const auto& s) { return s.kind == FIGURE::close; });
    r.select(paint, closed);
    BOUNDS bounds;
    r.simple(EMR_BEGINPATH, {});
    for (const auto& step : shape.steps) {
        size_t at;
        switch (step.kind) {
        case FIGURE::move:
        case FIGURE::line:
            at = r.start(step.kind == FIGURE::move ? EMR_MOVETOEX : EMR_LINETO);
            r.putpoint(step.to);
            r.finish(at);
            bounds.add(step.to);
            break;
        case FIGURE::cubic: {
            BOUNDS b;
            for (DPOINT p : { step.c1, step.c2, step.to }) {
                b.add(p);
                bounds.add(p);
            }
            at = r.start(EMR_POLYBEZIERTO);
            r.putbounds(b);
            r.put32(3);
            r.putpoint(step.c1);
            r.putpoint(step.c2);
            r.putpoint(step.to);
            r.finish(at);
            break;
        }
        case FIGURE::close:
            r.simple(EMR_CLOSEFIGURE, {});
            break;
        }
    }
    r.simple(EMR_ENDPATH, {});
    bool fill = closed && paint.fill;
    uint32_t type = fill && paint.stroke ? EMR_STROKEANDFILLPATH : fill ? EMR_FILLPATH : EMR_STROKEPATH;
    size_t at = r.start(type);
    r.putbounds(bounds);
    r.finish(at);
}

void EMFWRITER::text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification)
{
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (text.isEmpty() || font.size <= 0) {
        return;
    }
    RECORDS& r = *records;
    QFont layoutfont = toolkitfont(font, TEXTLAYOUTSIZE);
    QFontMetricsF metrics(layoutfont);
    double scale = font.size / TEXTLAYOUTSIZE;
    int32_t escapement = whole(angle * 10);
    bool fixed = font.fixedpitch;
    std::u16string face = (fixed ? QStringLiteral("Courier New") : QString::fromStdString(font.face))
                              .left(31)
                              .toStdU16String();
    int32_t charwidth = font.stretch != 1 ? whole(metrics.averageCharWidth() * scale * font.stretch) : 0;
    std::string key = std::to_string(whole(font.size)) + "/" + std::to_string(charwidth) + "/"
        + std::to_string(escapement) + "/" + std::to_string(font.bold) + std::to_string(font.italic)
        + std::to_string(font.underline) + std::to_string(font.strikeout)
        + QString::fromStdU16String(face).toStdString();
    if (key != r.font) {
        r.font = key;
        r.replace(FONTHANDLE, SYSTEM_FONT_STOCK, [&] {
            size_t record = r.start(EMR_EXTCREATEFONTINDIRECTW);
            r.put32(FONTHANDLE);
            r.puti(-whole(font.size));
            r.puti(charwidth);
            r.puti(escapement);
            r.puti(escapement);
            r.puti(font.bold ? 700 : 400);
            r.bytes.push_back(char(font.italic));
            r.bytes.push_back(char(font.underline));
            r.bytes.push_back(char(font.strikeout));
            r.bytes.push_back(char(1)); // DEFAULT_CHARSET
            r.bytes.push_back(char(4)); // OUT_TT_PRECIS
            r.bytes.push_back(char(0));
            r.bytes.push_back(char(4)); // ANTIALIASED_QUALITY
            r.bytes.push_back(char(fixed ? 1 : 0));
            std::u16string name = face;
            name.resize(32, u'\0');
            r.bytes.append(reinterpret_cast<const char*>(name.data()), 64);
            r.finish(record);
        });
    }
    if (r.textcolour != font.colour) {
        r.textcolour = font.colour;
        r.simple(EMR_SETTEXTCOLOR, { font.colour });
    }
    uint32_t align = 24 /* TA_BASELINE */
        | ((justification & 3) == JUSTIFY_RIGHT         ? 2u
                : (justification & 3) == JUSTIFY_CENTRE ? 6u
                                                        : 0u);
    if (r.textalign != align) {
        r.textalign = align;
        r.simple(EMR_SETTEXTALIGN, { align });
    }
    double drop = (justification & 0xC) == JUSTIFY_TOP ? CAPHEIGHT * font.size
        : (justification & 0xC) == JUSTIFY_MIDDLE      ? CAPHEIGHT * font.size / 2
                                                       : 0;
    DPOINT reference = alongup(at, angle, -drop);

    std::u16string units = text.toStdU16String();
    std::vector<int32_t> advances;
    double sum = 0;
    for (char16_t unit : units) {
        double next = sum + metrics.horizontalAdvance(QChar(unit)) * scale * font.stretch;
        advances.push_back(whole(next) - whole(sum));
        sum = next;
    }
    BOUNDS bounds;
    bounds.add(reference);
    size_t record = r.start(EMR_EXTTEXTOUTW);
    r.putbounds(bounds);
    r.put32(1); // GM_COMPATIBLE
    r.putf(0);
    r.putf(0);
    r.putpoint(reference);
    r.put32(uint32_t(units.size()));
    uint32_t stringoffset = 76;
    uint32_t stringbytes = uint32_t((units.size() * 2 + 3) / 4 * 4);
    r.put32(stringoffset);
    r.put32(0); // options
    r.putbounds(BOUNDS { 0, 0, -1, -1 });
    r.put32(stringoffset + stringbytes);
    r.bytes.append(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    while ((r.bytes.size() - record) % 4) {
        r.bytes.push_back('\0');
    }
    for (int32_t advance : advances) {
        r.puti(advance);
    }
    r.finish(record);
}

void EMFWRITER::image(const PIXELS& pixels, DPOINT origin, DPOINT across, DPOINT down, int alpha)
{
    RECORDS& r = *records;
    int w = pixels.width;
    int h = pixels.height;
    bool upright = across.y == 0 && down.x == 0 && across.x > 0 && down.y > 0;
    if (!upright) {
        r.simple(EMR_SAVEDC, {});
        size_t at = r.start(EMR_MODIFYWORLDTRANSFORM);
        for (double v : { across.x / w, across.y / w, down.x / h, down.y / h, origin.x, origin.y }) {
            r.putf(float(v));
        }
        r.put32(2); // MWT_LEFTMULTIPLY
        r.finish(at);
    }
    DPOINT place = upright ? origin : DPOINT {};
    DPOINT size = upright ? DPOINT { across.x, down.y } : DPOINT { double(w), double(h) };
    uint32_t stride = uint32_t((w * 3 + 3) / 4 * 4);
    uint32_t bitsize = stride * uint32_t(h);
    BOUNDS bounds;
    bounds.add(origin);
    bounds.add(origin.x + across.x, origin.y + across.y);
    bounds.add(origin.x + down.x, origin.y + down.y);
    bounds.add(origin.x + across.x + down.x, origin.y + across.y + down.y);
    size_t at = r.start(EMR_STRETCHDIBITS);
    r.putbounds(bounds);
    r.puti(whole(place.x));
    r.puti(whole(place.y));
    r.puti(0);
    r.puti(0);
    r.puti(w);
    r.puti(h);
    r.put32(80);
    r.put32(40);
    r.put32(120);
    r.put32(bitsize);
    r.put32(0); // DIB_RGB_COLORS
    r.put32(0x00CC0020); // SRCCOPY
    r.puti(whole(size.x));
    r.puti(whole(size.y));
    for (uint32_t v : { 40u, uint32_t(w), uint32_t(h), 1u | (24u << 16), 0u, bitsize, 0u, 0u, 0u, 0u }) {
        r.put32(v);
    }
    std::string row(stride, '\0');
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = pixels.argb[size_t(y) * w + x];
            // No translucency here: blend onto white.
            uint32_t a = ((p >> 24) * uint32_t(alpha)) / 255;
            auto mix = [&](uint32_t c) { return char((c * a + 255 * (255 - a)) / 255); };
            row[x * 3] = mix(p & 0xFF);
            row[x * 3 + 1] = mix((p >> 8) & 0xFF);
            row[x * 3 + 2] = mix((p >> 16) & 0xFF);
        }
        r.bytes += row;
    }
    r.finish(at);
    if (!upright) {
        r.restore();
    }
}

} // namespace casq
