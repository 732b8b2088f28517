#pragma once

// The renderer that paints with the toolkit's painter: for windows, bitmaps, PDF and SVG files,
// pictures and printers alike. Exclusive-or needs a raster target; elsewhere it draws plainly.
// Callers: the devices (casq).

#include <QFont>
#include <QPointF>
#include <QTransform>

#include "platform/casq/renderer.h"

class QPainter;

namespace casq {

// The toolkit face for a face name: "Vector Font" and fixed-pitch requests take the system's
// fixed-pitch face, every other name the face itself (the font matching substitutes a missing
// one), at the given pixel size.
QFont toolkitfont(const FONT& font, double pixelsize);

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

class QTRENDERER : public RENDERER {
public:
    // painter: open on the target and not owned; raster: the target is an image (exclusive-or and
    // antialiasing apply); outlines: text is drawn as glyph outlines instead of text; thinnest: the
    // width the thinnest lines are drawn with (0: the target's own thinnest line).
    QTRENDERER(QPainter* painter, bool raster, bool outlines, double thinnest = 0);
    void setpainter(QPainter* painter) { p = painter; }

    void beginpage(double width, double height, COLORREF background, bool erase) override;
    void endpage() override;
    void clip(const DRECT* area) override;
    void polyline(const std::vector<DPOINT>& points, const PAINT& paint) override;
    void polygon(const std::vector<DPOINT>& points, const PAINT& paint) override;
    void ellipse(DPOINT centre, double rx, double ry, const PAINT& paint) override;
    void arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint) override;
    void figure(const FIGURE& shape, const PAINT& paint) override;
    void text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification) override;
    void image(const PIXELS& pixels, DPOINT origin, DPOINT across, DPOINT down, int alpha) override;

private:
    // Sets pen, brush and mix for the paint; false when nothing would show.
    bool prepare(const PAINT& paint, bool fill);

    QPainter* p;
    bool raster;
    bool outlines;
    double thinnest;
};

} // namespace casq
