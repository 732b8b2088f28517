#pragma once

// PostScript language level 2 with the document structuring comments: encapsulated (one page, its
// bounding box exactly the page, in points) or a document of pages. Text stays text in the
// standard faces (Helvetica for the sans faces, Times for serif ones, Courier for fixed pitch),
// re-encoded to ISO Latin-1 (characters beyond it print as '?'), or is drawn as glyph outlines. Bitmaps are
// RGB images; there is no translucency, so a translucent colour is laid over the page colour beforehand.
// Callers: the PostScript device (casq).

#include <string>

#include "platform/casq/renderer.h"

namespace casq {

class OUTPUTFILE;

class EPSWRITER : public RENDERER {
public:
    EPSWRITER(std::string title, bool encapsulated, bool outlines);
    // The file the next page goes to (not owned); a document keeps writing into the same one.
    void setfile(OUTPUTFILE* file) { target = file; }
    // Ends a document of pages (its trailer); nothing for an encapsulated file.
    void finishdocument();

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
    void write(const std::string& text);
    void prologue();
    std::string x(double value) const;
    std::string y(double value) const;
    std::string colour(COLORREF colour, int alpha) const;
    // Fills and strokes the current path as the paint says.
    void paintpath(const PAINT& paint, bool closed);

    OUTPUTFILE* target = nullptr;
    std::string title;
    bool encapsulated;
    bool outlines;
    bool started = false;
    int pages = 0;
    double height = 0;
    COLORREF paper = 0xFFFFFF;
    bool clipped = false;
};

} // namespace casq
