#include <gtest/gtest.h>

#include <climits>

#include "platform/casq/tests/recordingdevice.h"

using casqtest::RECORDINGDVC;

namespace {

constexpr int MM = 100000; // world units of a millimetre at 2,540,000 to the inch

const BOX PAGE(0, 0, 200 * MM, 140 * MM);

// Device units are tenths of a millimetre (254 to the inch).
RECORDINGDVC& begun(RECORDINGDVC& device)
{
    device.begin();
    return device;
}

casq::DPOINT first(const RECORDINGDVC& device, size_t figure = 0)
{
    return device.recorder.figures.at(figure).points.at(0);
}

} // namespace

TEST(Mapping, PlacesTheWindowOnThePageByScaleTurnAndMirror)
{
    struct CASE {
        const char* name;
        long num;
        long den;
        int rotation;
        int flip;
        double width; // the page, device units
        double height;
        casq::DPOINT origin; // where the window's lower-left corner lands
    };
    const CASE cases[] = {
        { "1:1", 1, 1, 0, 0, 2000, 1400, { 0, 1400 } },
        { "1:2", 1, 2, 0, 0, 1000, 700, { 0, 700 } },
        { "landscape", 1, 1, 900, 0, 1400, 2000, { 1400, 2000 } },
        { "half turn", 1, 1, 1800, 0, 2000, 1400, { 2000, 0 } },
        { "turn rounded to a quarter", 1, 1, 2690, 0, 1400, 2000, { 0, 0 } },
    };
    for (const CASE& c : cases) {
        RECORDINGDVC device;
        begun(device);
        device.setmapping(c.num, c.num, c.den, c.rotation, 0);
        device.setwindow(PAGE);
        device.drawline(POINT(0, 0), POINT(10 * MM, 0), GSTYLE());
        device.end();
        EXPECT_DOUBLE_EQ(device.recorder.width, c.width) << c.name;
        EXPECT_DOUBLE_EQ(device.recorder.height, c.height) << c.name;
        EXPECT_NEAR(first(device).x, c.origin.x, 1e-9) << c.name;
        EXPECT_NEAR(first(device).y, c.origin.y, 1e-9) << c.name;
    }

    RECORDINGDVC mirrored;
    begun(mirrored);
    mirrored.setmapping(1, 1, 1, 1);
    mirrored.setwindow(PAGE);
    mirrored.drawline(POINT(0, 0), POINT(10 * MM, 0), GSTYLE());
    EXPECT_DOUBLE_EQ(first(mirrored).x, 2000);
    EXPECT_DOUBLE_EQ(mirrored.recorder.figures[0].points[1].x, 1900) << "the mirror runs x backwards";
}

TEST(Mapping, AMillimetreStaysAMillimetreAcrossTheWholeRange)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(BOX(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    for (int32_t x : { INT32_MIN, -1, 0, 12345678, INT32_MAX - MM }) {
        device.drawline(POINT(x, x), POINT(x + MM, x), GSTYLE());
    }
    for (const auto& line : device.recorder.figures) {
        EXPECT_DOUBLE_EQ(line.points[1].x - line.points[0].x, 10.0) << "no drift at " << line.points[0].x;
        EXPECT_DOUBLE_EQ(line.points[1].y, line.points[0].y);
    }
}

TEST(Mapping, RefusesZeroScalesAndHoldsCompensation)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 2, 0, 0);
    EXPECT_EQ(device.setmapping(1, 1, 0), 0);
    EXPECT_EQ(device.setmapping(0, 1, 1), 0);
    EXPECT_EQ(device.setmapping(1, -3, 1, 0, 0), 0);
    device.setwindow(PAGE);
    EXPECT_EQ(device.getextent().cx, 1000) << "the refused mappings left 1:2 in place";

    device.setcompensation(0, -1);
    EXPECT_EQ(device.getextent().cx, 1000) << "nonsense corrections are no correction";
    device.setcompensation(1.5, 1);
    EXPECT_EQ(device.getextent().cx, 1500);
    EXPECT_EQ(device.getextent().cy, 700);
    device.setcompensation(1e9, 1);
    EXPECT_EQ(device.getextent().cx, 100000) << "held at 100";
}

TEST(Mapping, FitsTheWindowToTheArea)
{
    RECORDINGDVC device;
    begun(device);
    device.setarea(RECT { 0, 0, 500, 500 }, tagPOINT { 250, 250 });
    device.setmapping(1, 1, 1, 0, 1);
    device.setwindow(PAGE);
    EXPECT_EQ(device.getextent().cx, 500);
    EXPECT_EQ(device.getextent().cy, 350);

    device.setmapping(1, 1, 1, 0, 2);
    device.setwindow(BOX(0, 0, 10 * MM, 10 * MM));
    EXPECT_EQ(device.getextent().cx, 100) << "only shrunk: a small window keeps its scale";
    device.fittopage(BOX(0, 0, 10 * MM, 10 * MM), 0);
    EXPECT_EQ(device.getextent().cx, 500);
    device.drawline(POINT(5 * MM, 5 * MM), POINT(5 * MM, 5 * MM), GSTYLE());
    EXPECT_DOUBLE_EQ(first(device).x, 250) << "the window's centre lands on the area's";
    EXPECT_DOUBLE_EQ(first(device).y, 250);

    device.fittopage(BOX(0, 0, 0, 0), 0);
    EXPECT_EQ(device.getextent().cx, 0) << "a window of no size fits nothing and divides by nothing";
}

TEST(Mapping, VoidWindowMakesASmallPageAndNoFault)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(VOIDBOX);
    device.drawcircle(POINT(0, 0), MM, GSTYLE());
    device.end();
    EXPECT_EQ(device.recorder.width, 1);
    EXPECT_EQ(device.recorder.height, 1);
}

TEST(Drawing, StylesAndFlagWordsMakeThePaint)
{
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    struct CASE {
        const char* name;
        DWORD flags;
        COLORREF pen;
        COLORREF fill;
        bool filled;
        double width;
        bool exclusive;
    };
    const CASE cases[] = {
        { "the style itself", 0, red, blue, true, 5, false },
        { "pen colour", DF_PENCOLOUR | RGB(1, 2, 3), RGB(1, 2, 3), blue, true, 5, false },
        { "fill colour", DF_FILLCOLOUR | RGB(1, 2, 3), red, RGB(1, 2, 3), true, 5, false },
        { "all colours", DF_COLOUR | RGB(9, 9, 9), RGB(9, 9, 9), RGB(9, 9, 9), true, 5, false },
        { "outline only", DF_NOFILL, red, blue, false, 5, false },
        { "thin", DF_THIN, red, blue, true, 0, false },
        { "drag mode", 0x51000000, RGB(0, 0, 0), blue, false, 5, true },
        { "overview mode", 0x48000000, red, blue, false, 0, false },
    };
    for (const CASE& c : cases) {
        RECORDINGDVC device;
        begun(device);
        device.setmapping(1, 1, 1, 0, 0);
        device.setwindow(PAGE);
        device.drawbox(BOX(0, 0, 10 * MM, 10 * MM), GSTYLE(MM / 2, red, blue), c.flags);
        const casq::PAINT& paint = device.recorder.figures.at(0).paint;
        EXPECT_EQ(paint.pencolour, c.pen) << c.name;
        EXPECT_EQ(paint.fill, c.filled) << c.name;
        if (c.filled) {
            EXPECT_EQ(paint.fillcolour, c.fill) << c.name;
        }
        EXPECT_DOUBLE_EQ(paint.penwidth, c.width) << c.name;
        EXPECT_EQ(paint.exclusiveor, c.exclusive) << c.name;
    }
}

TEST(Drawing, ColourTableEntryOfTheModeTurnsTheOutputMonochrome)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    device.setcolourmode(7);
    device.setdrawcolour(7, 0x47000000);
    device.drawcircle(POINT(0, 0), MM, GSTYLE(0, RGB(0, 128, 0), RGB(200, 200, 170)));
    device.drawtext(POINT(0, 0), "label", 0, 0, TSTYLE("Arial", MM, MM, RGB(0, 0, 192), 0));
    device.drawcircle(
        POINT(0, 0), MM, GSTYLE(0, RGB(0, 128, 0), RGB(200, 200, 170)), DF_COLOUR | RGB(255, 0, 0));
    device.setdrawcolour(7, 0);
    device.drawcircle(POINT(0, 0), MM, GSTYLE(0, RGB(0, 128, 0), RGB(200, 200, 170)));
    const auto& figures = device.recorder.figures;
    EXPECT_EQ(figures[0].paint.pencolour, RGB(0, 0, 0));
    EXPECT_FALSE(figures[0].paint.fill);
    EXPECT_EQ(figures[1].font.colour, RGB(0, 0, 0));
    EXPECT_EQ(figures[2].paint.pencolour, RGB(0, 0, 0)) << "the entry wins over the drawing's own colour";
    EXPECT_EQ(figures[3].paint.pencolour, RGB(0, 128, 0)) << "entry reset: colours back";
    EXPECT_TRUE(figures[3].paint.fill);
    EXPECT_EQ(device.getdrawcolour(0), 0u);
    device.setdrawcolour(0, 0x47000000);
    EXPECT_EQ(device.getdrawcolour(0), 0u) << "entry 0 is always no change";
}

TEST(Drawing, ModeAndLayerMakeTranslucency)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    device.setdrawmode(DRAWMODE_COPY, 128);
    device.beginlayer(128, 0);
    device.fillbox(BOX(0, 0, MM, MM), RGB(1, 2, 3));
    device.endlayer();
    device.setdrawmode(DRAWMODE_XOR);
    device.drawline(POINT(0, 0), POINT(MM, MM), GSTYLE());
    const auto& figures = device.recorder.figures;
    EXPECT_EQ(figures[0].paint.alpha, 64);
    EXPECT_FALSE(figures[0].paint.stroke) << "a filled box has no outline";
    EXPECT_EQ(figures[0].paint.fillcolour, RGB(1, 2, 3));
    EXPECT_TRUE(figures[1].paint.exclusiveor);
    EXPECT_EQ(figures[1].paint.alpha, 255);
}

TEST(Drawing, TextTakesItsStyleAndReadsForwardsWhenMirrored)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 1);
    device.setwindow(PAGE);
    TSTYLE style("Vector Font", 4 * MM, int(1.6 * MM), RGB(0, 0, 192), TS_BOLD | TS_UNDERLINE);
    device.drawtext(POINT(0, 0), "R1", 900, JUSTIFY_LEFT | JUSTIFY_TOP | 0x1000, style);
    device.drawtext(POINT(0, 0), "", 0, 0, style);
    device.drawtext(POINT(0, 0), nullptr, 0, 0, style);
    style.flags |= TS_HIDDEN;
    device.drawtext(POINT(0, 0), "hidden", 0, 0, style);
    ASSERT_EQ(device.recorder.figures.size(), 1u) << "empty, null and hidden texts draw nothing";
    const auto& text = device.recorder.figures[0];
    EXPECT_EQ(text.text, "R1");
    EXPECT_DOUBLE_EQ(text.font.size, 40);
    EXPECT_DOUBLE_EQ(text.font.stretch, 0.5) << "width 0.4 of the height: half the usual 0.8";
    EXPECT_TRUE(text.font.fixedpitch);
    EXPECT_TRUE(text.font.bold);
    EXPECT_TRUE(text.font.underline);
    EXPECT_DOUBLE_EQ(text.angle, -90);
    EXPECT_EQ(text.justification, JUSTIFY_RIGHT | JUSTIFY_TOP) << "mirrored: its end lies at the point";
}

TEST(Drawing, ShapesMapTheirGeometry)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    device.drawarc(POINT(100 * MM, 70 * MM), 10 * MM, 450, 900, GSTYLE());
    device.drawarc(POINT(100 * MM, 70 * MM), 10 * MM, 0, 0, GSTYLE());
    device.drawcircle(POINT(100 * MM, 70 * MM), 0, GSTYLE());
    PATH path;
    path.add(LINE(POINT(0, 0), POINT(10 * MM, 0)));
    path.add(LINE(POINT(10 * MM, 0), POINT(10 * MM, 10 * MM)));
    path.validate();
    device.drawpath(path, GSTYLE(0, 0, RGB(1, 1, 1)));
    device.drawpath(PATH(), GSTYLE());
    device.drawpolygon(nullptr, 5, GSTYLE());
    const auto& figures = device.recorder.figures;
    ASSERT_EQ(figures.size(), 2u) << "zero sweeps and radii and empty shapes draw nothing";
    EXPECT_EQ(figures[0].kind, "arc");
    EXPECT_DOUBLE_EQ(figures[0].rx, 100);
    EXPECT_DOUBLE_EQ(figures[0].start, 45);
    EXPECT_DOUBLE_EQ(figures[0].sweep, 90);
    EXPECT_EQ(figures[1].kind, "figure");
    EXPECT_TRUE(figures[1].paint.fill) << "a closed path is filled";
    EXPECT_EQ(figures[1].points.size(), 5u) << "move, three lines and the close";
}

TEST(Drawing, BitmapLandsOnItsPlacement)
{
    RECORDINGDVC device;
    begun(device);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    BITMAPINFO header {};
    header.bmiHeader = { sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, 0, 0, 0, 0, 0, 0 };
    unsigned char bits[16] = {};
    EXPECT_EQ(
        device.drawbitmap(CTS(POINT(10 * MM, 10 * MM)), 20 * MM, 10 * MM, &header, bits, sizeof bits), 1);
    EXPECT_EQ(device.drawbitmap(CTS(POINT(0, 0)), 20 * MM, 10 * MM, &header, bits, 15), 0)
        << "bits too short";
    EXPECT_EQ(device.drawbitmap(CTS(POINT(0, 0)), 0, 10 * MM, &header, bits, sizeof bits), 0);
    ASSERT_EQ(device.recorder.figures.size(), 1u);
    const auto& image = device.recorder.figures[0];
    EXPECT_DOUBLE_EQ(image.points[0].x, 100) << "top-left corner";
    EXPECT_DOUBLE_EQ(image.points[0].y, 1200);
    EXPECT_DOUBLE_EQ(image.points[1].x, 200) << "across";
    EXPECT_DOUBLE_EQ(image.points[2].y, 100) << "down";
}

TEST(Pages, DocumentHasAtLeastOnePageAndNoneTrailing)
{
    RECORDINGDVC empty;
    empty.begin();
    empty.end();
    EXPECT_EQ(empty.recorder.pages, 1) << "an empty sheet still prints a page";

    RECORDINGDVC sheets;
    sheets.begin();
    sheets.setmapping(1, 1, 1, 0, 0);
    sheets.setwindow(PAGE);
    for (int sheet = 0; sheet < 3; ++sheet) {
        do {
            sheets.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE());
        } while (sheets.nextpass());
        sheets.endpage();
    }
    sheets.end();
    EXPECT_EQ(sheets.recorder.pages, 3);
    EXPECT_EQ(sheets.finished, 3);
    EXPECT_EQ(sheets.closeoutput(), FDI_OK) << "a device without a file has nothing to fail";
}

TEST(Pages, AbortStopsDrawingAndReportsIt)
{
    RECORDINGDVC device;
    device.begin();
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    device.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE());
    device.abort();
    device.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE());
    device.end();
    EXPECT_EQ(device.recorder.figures.size(), 1u);
    EXPECT_EQ(device.closeoutput(), FDI_ABORTED);
}

TEST(Queries, ClipBoxIsTheShownWorldWithinTheLimit)
{
    RECORDINGDVC device;
    device.begin();
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    EXPECT_EQ(device.getclipbox(), PAGE);
    device.setclipbox(BOX(10 * MM, 10 * MM, 300 * MM, 20 * MM));
    EXPECT_EQ(device.getclipbox(), BOX(10 * MM, 10 * MM, 200 * MM, 20 * MM));
    device.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE());
    EXPECT_TRUE(device.recorder.clipped);
    device.setclipbox(VOIDBOX);
    EXPECT_FALSE(device.recorder.clipped);
    EXPECT_EQ(device.isinteractive(), 0);
    device.setbackground(RGB(255, 255, 255));
    EXPECT_DOUBLE_EQ(device.brightness(), 1.0);
    device.setbackground(0);
    EXPECT_DOUBLE_EQ(device.brightness(), 0.0);
}
