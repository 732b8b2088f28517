#pragma once

// What a device draws with once its world drawing is mapped: figures in device units (x to the
// right, y downwards, from the page's top-left corner), already clipped to nothing and coloured.
// One renderer paints with the toolkit (screen, bitmap, PDF, SVG, pictures, printers); the file
// writers of the formats the toolkit lacks (DXF, EPS, HPGL, EMF) are renderers of their own.
// Callers: the devices (casq).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/colour.h"

namespace casq {

struct DPOINT {
    double x = 0;
    double y = 0;
};

struct DRECT {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// How a figure is drawn: its outline, its fill, how it meets what lies under it.
struct PAINT {
    bool stroke = true;
    COLORREF pencolour = 0;
    double penwidth = 0; // device units; 0: the thinnest line the device draws
    int penstyle = 0; // PENSTYLE_SOLID .. PENSTYLE_DASHDOTDOT
    std::vector<double> dashes; // the pen style's dash and gap lengths in device units; empty: solid
    bool fill = false;
    COLORREF fillcolour = 0;
    int alpha = 255; // 255 opaque
    bool exclusiveor = false; // raster devices: drawing twice restores the pixels
};

// A face as the device draws it: `size` is the em in device units, `stretch` widens (above 1) or
// narrows it, `fixedpitch` asks for the system's fixed-pitch face where the face itself is none.
struct FONT {
    std::string face;
    double size = 0;
    double stretch = 1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool fixedpitch = false;
    COLORREF colour = 0;
    int alpha = 255;
};

// The height of capitals as a share of the em: where text hangs from its top or middle, every
// device places it by this one ratio, so that the formats agree.
constexpr double CAPHEIGHT = 0.72;

// Subpaths of lines and cubic curves.
struct FIGURE {
    enum Kind : uint8_t { move, line, cubic, close };
    struct Step {
        Kind kind;
        DPOINT to;
        DPOINT c1; // cubic only
        DPOINT c2;
    };
    std::vector<Step> steps;

    void moveto(DPOINT p) { steps.push_back({ move, p, {}, {} }); }
    void lineto(DPOINT p) { steps.push_back({ line, p, {}, {} }); }
    void cubicto(DPOINT c1, DPOINT c2, DPOINT p) { steps.push_back({ cubic, p, c1, c2 }); }
    void closefigure() { steps.push_back({ close, {}, {}, {} }); }
};

// 32-bit pixels 0xAARRGGBB, rows top-down.
struct PIXELS {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};

class RENDERER {
public:
    virtual ~RENDERER() = default;

    // A page of the size (device units), filled with the background unless transparent.
    virtual void beginpage(double width, double height, COLORREF background, bool erase) = 0;
    virtual void endpage() = 0;
    // Limits drawing to the rectangle; null lifts the limit.
    virtual void clip(const DRECT* area) = 0;

    virtual void polyline(const std::vector<DPOINT>& points, const PAINT& paint) = 0;
    virtual void polygon(const std::vector<DPOINT>& points, const PAINT& paint) = 0;
    // An axis-parallel ellipse (a circle when rx equals ry).
    virtual void ellipse(DPOINT centre, double rx, double ry, const PAINT& paint) = 0;
    // An arc of an axis-parallel ellipse: from `start` degrees through `sweep` degrees, counted
    // anticlockwise as seen on the page; outline only.
    virtual void arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint) = 0;
    virtual void figure(const FIGURE& shape, const PAINT& paint) = 0;
    // The rectangle filled with the paint's fill colour, without an outline: what a screen shows
    // of a figure too small to make out. By default the rectangle as a polygon.
    virtual void block(const DRECT& area, const PAINT& paint)
    {
        polygon({ { area.left, area.top }, { area.right, area.top }, { area.right, area.bottom }, { area.left, area.bottom } },
            paint);
    }
    // UTF-8 text at `at`, turned anticlockwise by `angle` degrees, aligned by the justification
    // code (JUSTIFY_*) around the point.
    virtual void text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification)
        = 0;
    // The image with its top-left pixel corner at `origin`, its rows along `across` (the device
    // vector of its whole width) and its columns along `down` (the vector of its whole height).
    virtual void image(const PIXELS& pixels, DPOINT origin, DPOINT across, DPOINT down, int alpha) = 0;
};

} // namespace casq
