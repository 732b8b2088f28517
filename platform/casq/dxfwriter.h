#pragma once

// DXF release 12 (ASCII): one drawing a page, y upwards from the page's lower-left corner, in the
// device's units (millimetres or inches). Each colour gets a layer of its own (named
// "COLOUR_RRGGBB", with the nearest colour of the standard index palette) and every entity lies on
// the layer of its colour. Lines of no width are LINE entities, wider ones and polylines POLYLINE
// with their width; circles and arcs of circles stay CIRCLE and ARC, or polylines of arcs (bulges)
// when they have a width; fills become SOLID triangles (filled circles the usual donut polyline); text stays
// TEXT in a STYLE named after its face, in the drawing's code page (ANSI_1252) with "\U+XXXX" for other
// characters. No bitmaps. Callers: the DXF device (casq).

#include <map>
#include <set>
#include <string>

#include "platform/casq/renderer.h"

namespace casq {

class OUTPUTFILE;

class DXFWRITER : public RENDERER {
public:
    // deviceperinch: 25.4 for millimetres, 1 for inches.
    explicit DXFWRITER(double deviceperinch);
    void setfile(OUTPUTFILE* file) { target = file; }

    void beginpage(double width, double height, COLORREF background, bool erase) override;
    void endpage() override;
    void clip(const DRECT*) override { }
    void polyline(const std::vector<DPOINT>& points, const PAINT& paint) override;
    void polygon(const std::vector<DPOINT>& points, const PAINT& paint) override;
    void ellipse(DPOINT centre, double rx, double ry, const PAINT& paint) override;
    void arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint) override;
    void figure(const FIGURE& shape, const PAINT& paint) override;
    void text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification) override;
    void image(const PIXELS&, DPOINT, DPOINT, DPOINT, int) override { }

private:
    // Starts an entity of the type on the layer of the colour.
    void entity(const char* type, COLORREF colour);
    void group(int code, const std::string& value);
    void group(int code, double value);
    void point(int code, DPOINT device);
    void line(const std::vector<DPOINT>& points, bool closed, const PAINT& paint);
    void fill(const std::vector<DPOINT>& polygon, COLORREF colour);
    // A polyline of arcs: every vertex with the same bulge, the line of the width.
    void bulged(const std::vector<DPOINT>& vertices, double bulge, bool closed, const PAINT& paint,
        COLORREF colour, double width);
    std::string stylename(const FONT& font);
    double tolerance() const;

    OUTPUTFILE* target = nullptr;
    double unit;
    double height = 0;
    double width = 0;
    std::string entities;
    std::set<COLORREF> layers;
    std::map<std::string, std::string> styles; // name -> font file
};

// The colour of the standard index palette (1..255) nearest to an RGB colour.
int nearestindexcolour(COLORREF colour);

} // namespace casq
