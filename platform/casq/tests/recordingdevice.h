#pragma once

// A device whose renderer keeps what it is given, so that tests see the mapped figures and the
// paints resolved from styles and flag words. Its device units are tenths of a millimetre.

#include <string>
#include <vector>

#include "platform/casq/vgdvc.h"

namespace casqtest {

struct FIGURE {
    std::string kind; // "polyline", "polygon", "ellipse", "arc", "figure", "text", "image"
    std::vector<casq::DPOINT> points {}; // ellipse and arc: the centre; image: origin, across, down
    casq::PAINT paint {};
    double rx = 0;
    double ry = 0;
    double start = 0;
    double sweep = 0;
    std::string text {};
    casq::FONT font {};
    double angle = 0;
    int justification = 0;
    int width = 0; // image pixels
    int height = 0;
};

class RECORDER : public casq::RENDERER {
public:
    void beginpage(double w, double h, COLORREF, bool) override
    {
        ++pages;
        width = w;
        height = h;
    }
    void endpage() override { }
    void clip(const casq::DRECT* area) override { clipped = area != nullptr; }
    void polyline(const std::vector<casq::DPOINT>& points, const casq::PAINT& paint) override
    {
        figures.push_back({ .kind = "polyline", .points = points, .paint = paint });
    }
    void polygon(const std::vector<casq::DPOINT>& points, const casq::PAINT& paint) override
    {
        figures.push_back({ .kind = "polygon", .points = points, .paint = paint });
    }
    void ellipse(casq::DPOINT centre, double rx, double ry, const casq::PAINT& paint) override
    {
        figures.push_back({ .kind = "ellipse", .points = { centre }, .paint = paint, .rx = rx, .ry = ry });
    }
    void arc(casq::DPOINT centre, double rx, double ry, double start, double sweep,
        const casq::PAINT& paint) override
    {
        figures.push_back(
            { .kind = "arc", .points = { centre }, .paint = paint, .rx = rx, .ry = ry, .start = start, .sweep = sweep });
    }
    void figure(const casq::FIGURE& shape, const casq::PAINT& paint) override
    {
        FIGURE f { .kind = "figure", .paint = paint };
        for (const auto& step : shape.steps) {
            f.points.push_back(step.to);
        }
        figures.push_back(f);
    }
    void text(casq::DPOINT at, double angle, const std::string& utf8, const casq::FONT& font,
        int justification) override
    {
        FIGURE f { .kind = "text", .points = { at } };
        f.text = utf8;
        f.font = font;
        f.angle = angle;
        f.justification = justification;
        figures.push_back(f);
    }
    void image(const casq::PIXELS& pixels, casq::DPOINT origin, casq::DPOINT across, casq::DPOINT down,
        int alpha) override
    {
        FIGURE f { .kind = "image", .points = { origin, across, down } };
        f.width = pixels.width;
        f.height = pixels.height;
        figures.push_back(f);
    }

    std::vector<FIGURE> figures;
    int pages = 0;
    double width = 0;
    double height = 0;
    bool clipped = false;
};

class RECORDINGDVC : public VGDVC {
public:
    explicit RECORDINGDVC(long unitsperinch = 2540000)
        : VGDVC(unitsperinch, 254, RGB(255, 255, 255), 1)
    {
    }
    RECORDER recorder;
    int finished = 0;

protected:
    casq::RENDERER* startpage(double, double) override { return &recorder; }
    void finishpage() override { ++finished; }
};

} // namespace casqtest
