#pragma once

// VGDVC, the graphics device every drawing goes through: world coordinates (y upwards, a number
// of units to the inch given at construction) are mapped onto a device (a window, a bitmap, a
// page of a file or a printer) and drawn in GSTYLE and TSTYLE with a drawing mode's flag word.
//
// An output runs as
//     device.openoutput(filename);            // devices that write the caller's file
//     device.begin();
//     device.setmapping(1, 1, 1, 900, 1);     // 1:1, landscape, fitted to the page
//     device.setwindow(area);
//     do { ...draw... } while (device.nextpass());
//     device.endpage();                       // each further page
//     device.end();
//     int code = device.closeoutput();        // FDI_OK, FDI_DISKFULL, FDI_ABORTED, ...
// A device that fails (a refused file, a full disk) stops drawing and reports through its code;
// nothing it was given can make it read or write out of bounds: void boxes, zero scales and
// pages, coordinates at the 32-bit ends and damaged bitmaps are refused or held at sane values.
// Callers: the editors' drawing, printing and exports (framework), the schematic objects and
// previews (TAVI, kelmar, lunder).

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/casq/outputfile.h"
#include "platform/casq/renderer.h"
#include "platform/casq/styles.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"
#include "platform/ombrel/shapes.h"
#include "platform/tirsk/basewin.h"
#include "platform/win/gdi.h"

namespace casq {
class MAPPING;
} // namespace casq

// What a device can draw (getcaps); a caller falls back where a bit is missing.
constexpr unsigned DC_FILLS = 0x01; // filled shapes
constexpr unsigned DC_BITMAPS = 0x02; // drawbitmap
constexpr unsigned DC_ALPHA = 0x04; // translucent drawing
constexpr unsigned DC_XOR = 0x08; // exclusive-or drawing

// Drawing modes (setdrawmode): the pen mixes of the system's raster operations.
constexpr int DRAWMODE_XOR = 7;
constexpr int DRAWMODE_COPY = 13;

class VGDVC : public BASEHWND {
public:
    // unitsperinch: world units to the inch (2,540,000 for the editors); deviceperinch: device
    // units to the inch (0: as many as world units, for a screen, whose mapping gives its pixels
    // directly); background: the page colour, erased unless `erase` is 0.
    VGDVC(long unitsperinch, double deviceperinch, COLORREF background, int erase);
    virtual ~VGDVC();
    VGDVC(const VGDVC&) = delete;
    VGDVC& operator=(const VGDVC&) = delete;

    // The document. begin answers 0 when the device cannot draw (its output failed).
    int begin();
    // Finishes the last page and the document; the output is complete but not yet in place.
    int end();
    // For devices that write a file the caller names (DXF, EPS, HPGL): the file; null keeps the
    // device's own. Answers the output's code so far.
    int openoutput(const char* filename);
    // Puts the output in its place (after end) and answers its code; a device destroyed after end
    // without it closes its output itself.
    int closeoutput();
    // Stops the output: drawing is ignored, nothing is written, the code becomes FDI_ABORTED.
    void abort();
    int geterror() const;
    // Whatever was drawn is complete: shown on a screen, the page ended on an output.
    virtual void enddrawing();

    // Passes and pages. A caller draws a page again while nextpass answers non-zero; every
    // device here takes its page in one pass.
    int nextpass() { return 0; }
    void endpage();
    int getpage() const { return page; }
    // Non-zero when the user must put new paper in between pages (pen plotters).
    virtual int needspaperchange();

    // Mapping. The scales say how many device inches a world inch becomes: xscale / units and
    // yscale / units (the screen counts its pixels as device inches, so there xscale is the
    // pixels to `units` world units); flip mirrors the world's x.
    // Answers 0, changing nothing, for a scale or units of 0 or below.
    int setmapping(long xscale, long yscale, long units, int flip = 0);
    // The same for output pages: turned anticlockwise by rotation (tenths of a degree, whole
    // quarters), and with fit non-zero each window is fitted to the page (fit 2: only shrunk).
    int setmapping(long xscale, long yscale, long units, int rotation, int fit);
    // The world area of the page; its centre lands on the centre of the device area.
    void setwindow(const BOX& world);
    // Fits the world area to the device area (or the page) and makes it the window.
    void fittopage(const BOX& world, int onlyshrink);
    // The part of the page that is drawn on, in device units, and where the window's centre
    // lands on it. Without it the page is just as large as the mapped window.
    void setarea(const RECT& area, tagPOINT centre);
    // Corrections of the printer's scale along its x and y (1.0: none; held to 0.001..100).
    void setcompensation(double xcomp, double ycomp);
    // The world point at the device anchor (the window's centre, or the screen's centre point).
    void setorigin(POINT world);
    POINT getorigin() const;
    // The size of the mapped window in device units (what the output draws on).
    SIZE getextent() const;

    // Colours. The drawing-colour table holds a flag word per colour mode; the word of the
    // current mode is applied to every drawing after its own, so that one entry can turn a whole
    // output monochrome (entry 0 is always no change).
    void setbackground(COLORREF colour);
    COLORREF getbackground() const { return background; }
    // The background's brightness from 0 (black) to 1 (white).
    double brightness() const;
    void setcolourmode(int mode);
    int getcolourmode() const { return colourmode; }
    void setdrawcolour(int index, DWORD word);
    DWORD getdrawcolour(int index) const;
    // The mix of later drawing: DRAWMODE_COPY or DRAWMODE_XOR, with an opacity for copies.
    void setdrawmode(int mode, int alpha = 255);
    // Drawing between the two is translucent by alpha (0..255). The colour is the layer's; its
    // drawing names its own colours.
    void beginlayer(int alpha, COLORREF colour);
    void endlayer();

    // The world area drawing is limited to (a void box lifts the limit); getclipbox answers the
    // world area the device can show, the limit included.
    void setclipbox(const BOX& world);
    BOX getclipbox() const;

    // Drawing, each in a style and a drawing mode's flag word.
    void drawline(POINT from, POINT to, const GSTYLE& style, DWORD flags = 0);
    void drawline(const LINE& line, const GSTYLE& style, DWORD flags = 0);
    void drawpolyline(const POINT* points, int count, const GSTYLE& style, DWORD flags = 0);
    // A closed polygon, filled by the style's brush.
    void drawpolygon(const POINT* points, int count, const GSTYLE& style, DWORD flags = 0);
    void drawbox(const BOX& box, const GSTYLE& style, DWORD flags = 0);
    // The box filled with one colour, without outline.
    void fillbox(const BOX& box, COLORREF colour, DWORD flags = 0);
    void drawcircle(POINT centre, int radius, const GSTYLE& style, DWORD flags = 0);
    // An arc of the circle from start through sweep (tenths of a degree, anticlockwise).
    void drawarc(POINT centre, int radius, int start, int sweep, const GSTYLE& style, DWORD flags = 0);
    void drawbezier(const BEZIER& curve, const GSTYLE& style, DWORD flags = 0);
    // A path of lines and curves; a closed path is filled by the style's brush.
    void drawpath(const PATH& path, const GSTYLE& style, DWORD flags = 0);
    // Text (UTF-8) at a point, turned anticlockwise by angle (tenths of a degree) and justified
    // by the code (JUSTIFY_*) around the point. A hidden style draws nothing. On a screen, text
    // smaller than three of its thinnest lines is drawn as a bar as long as the text.
    void drawtext(
        POINT at, const char* text, int angle, int justification, const TSTYLE& style, DWORD flags = 0);
    // A device-independent bitmap (header, colour table, then `size` bytes of bits) with its
    // lower-left corner at the placement's offset, width by height world units before the
    // placement turns and mirrors it. 0 when the device draws no bitmaps or the header and bits
    // disagree (then nothing is drawn).
    int drawbitmap(const CTS& placement, int width, int height, const BITMAPINFO* header, const void* bits,
        size_t size, DWORD flags = 0);
    // Fills the world area (a void box: the whole page) with the background.
    void erase(const BOX& area);

    // Off-page drawing, for a drawing that paints an area by itself and lays it back (an active
    // component's display): a bitmap device over the world area at this device's resolution,
    // turned by minus rotation (tenths of a degree), owned by this device until drawcache. Null
    // when this device draws no bitmaps. A second call replaces the first cache.
    VGDVC* createcache(const BOX& area, int rotation);
    // Lays the cache back over the area turned by rotation and releases it; 0 when no cache is
    // open or it could not be drawn.
    int drawcache(const BOX& area, int rotation);
    // The system device context drawing goes to (a screen's window context); null for devices
    // that draw elsewhere.
    virtual HDC getdc();

    // Non-zero for a device the user works on (a screen), 0 for printers and files.
    virtual int isinteractive();
    virtual unsigned getcaps() const;

protected:
    // The renderer of a page just begun (device units width by height), owned by the device;
    // null when it cannot draw.
    virtual casq::RENDERER* startpage(double width, double height) = 0;
    // The page drawn with the renderer of startpage is complete.
    virtual void finishpage() = 0;
    // All pages are complete: write what is left.
    virtual void finishdocument() { }
    // The output was closed with the code (its files are in place when it is FDI_OK).
    virtual void onclosed(int code) { }
    // The renderer of the page, starting it when none is open; null when nothing can be drawn.
    casq::RENDERER* active();
    // The device area the window lands on: the page unless setarea gave one.
    RECT pagearea() const;
    const casq::MAPPING& mapping() const { return *map; }
    // The device mapping was changed by a subclass (a screen that moved or grew).
    void remap();
    // The device's anchor for the window's centre: setarea's centre, else the page's middle.
    virtual casq::DPOINT anchor() const;
    // The page's size in device units: setarea's area, else the mapped window (at least a unit).
    virtual casq::DPOINT pagesize() const;
    // The thinnest line the device shows, in device units (its dashes are made to this scale).
    virtual double thinline() const;
    // Ends the page in progress (a screen's drawing session) without counting a new page.
    void closepage();
    // The world point at the anchor, to a fraction of a unit (a screen scrolled by whole pixels).
    void setorigin(double x, double y);
    // The opacity drawing has now: the drawing mode's times the layer's.
    int currentalpha() const { return drawalpha * layeralpha / 255; }
    // The file of a page for devices that keep one page to a file: the output itself for page
    // 1, a file of its own (committed with the output) for later ones.
    casq::OUTPUTFILE& pagefile(int number);

    casq::OUTPUTFILE output;
    COLORREF background;

private:
    casq::PAINT paintof(const GSTYLE& style, DWORD flags, bool fillable);
    DWORD effectiveflags(DWORD flags) const;
    bool cannotdraw() const;
    // Draws a figure of the extent (device units) as a block of its colour when a screen shows it
    // too small to make out; false, nothing drawn, when it is larger or the device no screen.
    bool drawnasblock(casq::RENDERER& renderer, casq::DRECT extent, const casq::PAINT& paint);
    void greek(POINT at, const char* text, int angle, int justification, const TSTYLE& style, COLORREF colour,
        DWORD flags);

    std::vector<std::unique_ptr<casq::OUTPUTFILE>> pagefiles;
    std::unique_ptr<VGDVC> cache;
    casq::RENDERER* current = nullptr;
    bool eraseonpage;
    bool begun = false;
    bool pageopen = false;

    long unitsperinch;
    double deviceperinch;
    std::unique_ptr<casq::MAPPING> map;
    double xnum = 1;
    double ynum = 1;
    double denominator = 1;
    int rotation = 0;
    bool flip = false;
    int fitmode = 0;
    double fitfactor = 1;
    double xcomp = 1;
    double ycomp = 1;
    BOX window;
    bool hasorigin = false;
    double originx = 0;
    double originy = 0;
    bool hasarea = false;
    RECT area {};
    tagPOINT areacentre {};
    BOX clipbox;
    int page = 1;
    int colourmode = 0;
    DWORD drawcolours[8] = {};
    int drawmode = DRAWMODE_COPY;
    int drawalpha = 255;
    int layeralpha = 255;
    bool ended = false;
    bool closed = false;
};
