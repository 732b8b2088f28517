#pragma once

// The renderer that paints with the toolkit's painter: for windows, bitmaps, PDF and SVG files,
// pictures and printers alike. Exclusive-or needs a raster target; elsewhere it draws plainly.
// On raster targets text comes from glyph runs kept per text (glyphcache.h).
// Callers: the devices (casq).

#include <QFont>
#include <QPointF>
#include <QTransform>
#include <functional>
#include <memory>

#include "platform/casq/renderer.h"

class QPainter;
class QPainterPath;

namespace casq {

class GLYPHCACHE;

// The toolkit face for a face name: "Vector Font" and fixed-pitch requests take the system's
// fixed-pitch face, every other name the face itself (the font matching substitutes a missing
// one), at the given pixel size.
QFont toolkitfont(const FONT& font, double pixelsize);

// The figure as a path of the toolkit (odd-even filled).
QPainterPath pathof(const FIGURE& shape);

// Text is laid out at this size and scaled onto the device, so that every device, whatever its
// resolution, places the same glyphs at the same proportions.
constexpr double TEXTLAYOUTSIZE = 100.0;

struct TEXTLAYOUT {
    QPointF start; // where the baseline starts, in layout units
    double advance; // the text's advance, in layout units
};
// Lays text out as every device draws it; placement becomes the transform from layout units onto
// the device (the point, the turn, the size and the stretch).
TEXTLAYOUT textlayout(
    DPOINT at, double angle, const QString& text, const FONT& font, int justification, QTransform& placement);
// The same for a text of the advance (layout units).
TEXTLAYOUT textlayout(DPOINT at, double angle, double advance, const FONT& font, int justification, QTransform& placement);

class QTRENDERER : public RENDERER {
public:
    // painter: open on the target and not owned; raster: the target is an image (exclusive-or and
    // antialiasing apply); outlines: text is drawn as glyph outlines instead of text; thinnest: the
    // width the thinnest lines are drawn with (0: the target's own thinnest line).
    QTRENDERER(QPainter* painter, bool raster, bool outlines, double thinnest = 0);
    ~QTRENDERER() override;
    void setpainter(QPainter* painter)
    {
        flush();
        p = painter;
        prepared.valid = false;
    }
    // Draws the texts queued so far: before the caller paints on the painter itself.
    void flush();
    // Exclusive-or drawing goes to the painter this opens when first needed (a window's overlay,
    // so that it never changes the drawing beneath); without one, or when it opens none, onto the
    // target itself.
    void setoverlay(std::function<QPainter*()> opener) { overlay = std::move(opener); }

    void beginpage(double width, double height, COLORREF background, bool erase) override;
    void endpage() override;
    void clip(const DRECT* area) override;
    void polyline(const std::vector<DPOINT>& points, const PAINT& paint) override;
    void polygon(const std::vector<DPOINT>& points, const PAINT& paint) override;
    void ellipse(DPOINT centre, double rx, double ry, const PAINT& paint) override;
    void arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint) override;
    void figure(const FIGURE& shape, const PAINT& paint) override;
    void block(const DRECT& area, const PAINT& paint) override;
    void text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification) override;
    void image(const PIXELS& pixels, DPOINT origin, DPOINT across, DPOINT down, int alpha) override;

private:
    // The painter for the paint, with pen, brush and mix set; null when nothing would show.
    QPainter* prepare(const PAINT& paint, bool fill);
    // The overlay's painter for this page, opened with the page's clip; null without one.
    QPainter* overlaypainter();
    void applyclip(QPainter& painter) const;

    QPainter* p;
    std::function<QPainter*()> overlay;
    // The state prepare set last, kept while nothing else changes the painter's.
    struct PREPARED {
        bool valid = false;
        const QPainter* target = nullptr;
        bool filled = false;
        PAINT last;
        bool matches(const QPainter* painter, const PAINT& paint, bool fill) const;
    } prepared;
    std::unique_ptr<GLYPHCACHE> glyphs; // raster targets: texts shaped once
    QPainter* overlaid = nullptr; // opened on this page
    bool clipped = false;
    DRECT cliparea;
    bool raster;
    bool outlines;
    double thinnest;
};

} // namespace casq
