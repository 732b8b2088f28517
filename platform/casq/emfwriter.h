#pragma once

// Enhanced metafiles: one page a file, 0.01 mm to a logical unit (the reference device has 100
// pixels to the millimetre, so logical units, device pixels and the frame's 0.01 mm coincide).
// Pens, brushes and fonts are made when the drawing changes them and deleted when replaced; text
// is UTF-16 with its advances; bitmaps are 24-bit. No translucency and no exclusive-or.
// Callers: the metafile device (casq).

#include <memory>
#include <string>

#include "platform/casq/renderer.h"

namespace casq {

class OUTPUTFILE;

// Device units of the metafile: 2540 to the inch.
constexpr double EMFDPI = 2540;

class EMFWRITER : public RENDERER {
public:
    EMFWRITER();
    ~EMFWRITER() override;
    // The file the next page goes to (not owned).
    void setfile(OUTPUTFILE* file) { target = file; }

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
    struct RECORDS;
    std::unique_ptr<RECORDS> records;
    OUTPUTFILE* target = nullptr;
};

} // namespace casq
