#pragma once

// The output devices: files, pictures, the clipboard and printers. Each is made with the drawing
// units to the inch of the world it draws (2,540,000 for the editors) and with its arguments in
// the order the exports give them. The files are written through the device's output (see
// VGDVC): in place only after closeoutput, never half-written.
//
// device option (PDF, SVG, EPS, pictures): bit 0x04 (DEVICEOPTION_TEXT) keeps text as text in the
// face asked for; without it text is drawn as the outlines of its glyphs, which look the same
// everywhere.
// Callers: the print run and the exports (framework), the clipboard picture and thumbnails (TAVI).

#include <memory>

#include "platform/casq/vgdvc.h"

class QByteArray;
class QPicture;
class QString;

namespace casq {
class DXFWRITER;
class EPSWRITER;
class PICTUREPAGES;
class PLOTTERWRITER;
class QTRENDERER;
} // namespace casq

constexpr int DEVICEOPTION_TEXT = 0x04;

// A bitmap: written to a BMP file (a PNG file when the name ends in ".png"), put on the clipboard,
// or only kept for getbitmap. depth: 1 (black and white), 4 (16 colours), 8 (256 colours) or 0
// (full colour). The bitmap is as large as the mapped window, or the device area when set.
class BMDVC : public VGDVC {
public:
    BMDVC(const char* filename, int toclipboard, int depth, COLORREF background, long unitsperinch, int dpi);
    ~BMDVC() override;

    // A copy of the bitmap drawn, as a 32-bit bitmap the caller deletes; null before a page.
    HBITMAP getbitmap() const;
    int getdpi() const { return dpi; }
    unsigned getcaps() const override;
    double thinline() const override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override;

private:
    struct STATE;
    std::unique_ptr<STATE> state;
    int depth;
    int dpi;
    bool toclipboard;
};

// A vector picture: an enhanced metafile (EMF) file, or without a file a picture put on the
// clipboard (as SVG and as an image) when the device ends. reference: not used (the metafile is
// laid out at 0.01 mm to a unit whatever the screen).
class MFDVC : public VGDVC {
public:
    MFDVC(const char* filename, HDC reference, int erasebackground, COLORREF background, long unitsperinch);
    ~MFDVC() override;
    unsigned getcaps() const override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override { }
    void finishdocument() override;

private:
    struct STATE;
    std::unique_ptr<STATE> state;
};

// A PDF document, one page for each page drawn, text as text with its fonts embedded. With
// showdoc the file is opened in the desktop's viewer once it is in place.
class PDFDVC : public VGDVC {
public:
    PDFDVC(const char* filename, int showdoc, COLORREF background, long unitsperinch, int option);
    ~PDFDVC() override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override { }
    void finishdocument() override;
    void onclosed(int code) override;

private:
    struct STATE;
    std::unique_ptr<STATE> state;
    bool showdoc;
    int option;
};

// An SVG file (pages after the first in files "<name>-<n>.svg").
class SVGDVC : public VGDVC {
public:
    SVGDVC(const char* filename, int showdoc, COLORREF background, long unitsperinch, int option);
    ~SVGDVC() override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override;
    void onclosed(int code) override;

private:
    struct STATE;
    std::unique_ptr<STATE> state;
    bool showdoc;
    int option;
};

// The SVG device for callers that name the file with the toolkit's string.
class SSVGDVC : public SVGDVC {
public:
    SSVGDVC(const QString& filename, int showdoc, COLORREF background, long unitsperinch, int option);
};

// A picture of the toolkit (its recorded painting), for modules that embed the drawing: drawn into
// the caller's picture when given, else into the device's own; getdata gives its bytes.
class PCDVC : public VGDVC {
public:
    PCDVC(COLORREF background, long unitsperinch, int option, QPicture* picture);
    ~PCDVC() override;
    QByteArray getdata() const;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override { }
    void finishdocument() override;

private:
    std::unique_ptr<casq::PICTUREPAGES> pages;
};

// DXF (release 12, ASCII): LINE, POLYLINE, CIRCLE, ARC, SOLID and TEXT entities on one layer per
// colour, in millimetres (in inches with dxfoption bit 1), into the file given to openoutput;
// pages after the first in files "<name>-<n>.dxf". devicetext: not used by this writer.
class DXDVC : public VGDVC {
public:
    DXDVC(const char* devicetext, long unitsperinch, int dxfoption);
    ~DXDVC() override;
    unsigned getcaps() const override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override { }

private:
    std::unique_ptr<casq::DXFWRITER> writer;
};

// PostScript level 2 in points into the file given to openoutput: with encapsulated non-zero one
// EPS file a page (pages after the first in "<name>-<n>.eps"), else one document of all pages.
// docname titles it. devicetext: not used by this writer.
class PSDVC : public VGDVC {
public:
    PSDVC(const char* devicetext, const char* docname, int encapsulated, long unitsperinch, int option);
    ~PSDVC() override;
    unsigned getcaps() const override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override { }
    void finishdocument() override;

private:
    std::unique_ptr<casq::EPSWRITER> writer;
    bool encapsulated;
};

// Pen-plotter languages, by code: 16 HP-GL (origin at the drawing's lower-left corner), 17 HP-GL
// with the origin at the drawing's centre, 18 DM/PL in 0.005-inch steps (the 80-series plotters),
// 19 DM/PL in 0.001-inch steps.
constexpr int PLOTTER_HPGL = 16;
constexpr int PLOTTER_HPGLCENTRED = 17;
constexpr int PLOTTER_HI80 = 18;
constexpr int PLOTTER_DMPL = 19;

// A pen plotter: the plotter language into the file given to openoutput, or into the print job of
// a printer context. plotunits: the HP-GL steps per inch times 25 (25,400 for the usual 0.025 mm
// step); plotoption bit 0: every colour with pen 1, else the nearest of eight pens. Colours pick
// pens; pages are separated by the language's page advance.
class PPDVC : public VGDVC {
public:
    PPDVC(int language, int plotunits, HDC printer, int plotoption, long unitsperinch);
    ~PPDVC() override;
    unsigned getcaps() const override;
    int needspaperchange() override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override { }
    void finishdocument() override;

private:
    std::unique_ptr<casq::PLOTTERWRITER> writer;
    int language;
    HDC printer;
};

// A printer: draws on a printer context (CreateDCA, printing.h) between StartDocA and EndDoc,
// one sheet for each page, in the printer's pixels.
class WPDVC : public VGDVC {
public:
    WPDVC(HDC printer, COLORREF background, long unitsperinch);
    ~WPDVC() override;

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override;

private:
    std::unique_ptr<casq::QTRENDERER> renderer;
    HDC printer;
};
