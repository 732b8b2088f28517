#pragma once

// Pen-plotter languages. HP-GL: "IN;", pens chosen by colour ("SP"), lines as "PU"/"PD" moves in
// absolute plotter steps, pen widths ("PW", millimetres), dashes as line types ("LT"), circles ("CI") and
// arcs ("AA"), fills in polygon mode ("PM", "FP"), text as labels ("SI", "DI", "LB"), pages advanced with
// "PG;". DM/PL:
// ";:" with the step size ("EC1", "EC5"), "P<pen>", "U" and "D" moves, text drawn as the strokes
// of its glyph outlines, "@" at the end. Everything is reduced to pen strokes where the language
// has no command: curves to short lines, no bitmaps.
// Callers: the pen-plotter device (casq).

#include <string>

#include "platform/casq/renderer.h"

namespace casq {

class OUTPUTFILE;

class PLOTTERWRITER : public RENDERER {
public:
    // language: PLOTTER_HPGL .. PLOTTER_DMPL; stepsperinch: the plotter's resolution; onepen: every
    // colour with pen 1.
    PLOTTERWRITER(int language, double stepsperinch, bool onepen);
    void setfile(OUTPUTFILE* file) { target = file; }
    // Ends the plot (pen away, end of data).
    void finishdocument();

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
    bool ishpgl() const;
    void write(const std::string& text);
    std::string coordinates(DPOINT device) const;
    void pen(COLORREF colour, double width);
    void stroke(const std::vector<DPOINT>& points, bool closed);
    // Dashes as the nearest of the language's line types ("LT").
    void linetype(const std::vector<double>& dashes);
    // The pen and line type of the paint's outline.
    void outline(const PAINT& paint);
    void fillpolygon(const std::vector<DPOINT>& points, COLORREF colour);
    double tolerance() const { return 1.0; }

    OUTPUTFILE* target = nullptr;
    int language;
    double steps;
    bool onepen;
    bool started = false;
    int pages = 0;
    double width = 0;
    double height = 0;
    int currentpen = 0;
    double currentwidth = -1;
    std::string currentlinetype;
};

// The pen (1..8) of a colour: the nearest of black, red, green, yellow, blue, magenta, cyan and
// grey.
int penofcolour(COLORREF colour);

} // namespace casq
