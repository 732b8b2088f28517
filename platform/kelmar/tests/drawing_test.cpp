// Draws one of every primitive kind, a label in each justification and a symbol with its markers
// onto a bitmap, checks pixels where each must show, and keeps the picture as
// build/artifacts/kelmar-primitives.png.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "platform/casq/devices.h"
#include "platform/kelmar/label.h"
#include "platform/kelmar/symbol.h"
#include "platform/kelmar/tests/kelmartest.h"
#include "platform/kelmar/textblock.h"
#include "platform/kelmar/textlayout.h"

using namespace kelmartest;

namespace {

constexpr int INCH = 2540000;
constexpr int TENTH = INCH / 10;
constexpr int DPI = 120;
const BOX PAGE(0, 0, 10 * INCH, 8 * INCH);

const GSTYLE_ENTRY OUTLINE("2D GRAPHIC", GSTYLE(20320, RGB(0, 0, 0), NOCOLOUR));
const GSTYLE_ENTRY BODY("COMPONENT", GSTYLE(40640, RGB(128, 0, 0), RGB(200, 200, 170)));
const GSTYLE_ENTRY PINLINE("PIN", GSTYLE(40640, RGB(128, 0, 0), NOCOLOUR));
const GSTYLE_ENTRY MARKERS("MARKER", GSTYLE(20320, RGB(0, 0, 255), NOCOLOUR));
const GSTYLE_ENTRY ANCHOR("ANCHOR", GSTYLE(0, RGB(255, 0, 0), NOCOLOUR));
const TSTYLE_ENTRY CAPTION("CAPTION", TSTYLE("Default Font", 190500, 152400, RGB(0, 0, 0), 0));
const TSTYLE_ENTRY LABELS("COMPONENT ID", TSTYLE("Default Font", 254000, 203200, RGB(0, 0, 128), 0));

// The pixel of a world point on the page.
QPoint pixel(POINT p)
{
    return QPoint(int((p.x - PAGE.x1) / double(INCH) * DPI), int((PAGE.y2 - p.y) / double(INCH) * DPI));
}

void cross(VGDVC& device, POINT at)
{
    device.drawline(at - POINT(TENTH / 2, 0), at + POINT(TENTH / 2, 0), ANCHOR.style);
    device.drawline(at - POINT(0, TENTH / 2), at + POINT(0, TENTH / 2), ANCHOR.style);
}

void caption(VGDVC& device, POINT at, const char* text)
{
    LABEL label(text, &CAPTION);
    label.setcts(CTS(at), JUSTIFY_CENTRE | JUSTIFY_TOP);
    label.plot(&device, DM_NORMAL, 0, 0);
}

constexpr int NODERADIUS = 76200;

struct MARKERSYMBOLS {
    SYMBOL node { "$MKRNODE" };
    SYMBOL label { "$MKRLABEL" };
    MARKERSYMBOLS()
    {
        node.add(new PR_CIRCLE(CIRCLE(POINT(), NODERADIUS), MARKERS));
        node.add(new PR_LINE(LINE(POINT(0, -NODERADIUS), POINT(0, NODERADIUS)), MARKERS));
        label.add(new PR_LINE(LINE(POINT(), POINT(0, 76200)), MARKERS));
        label.add(new PR_LINE(LINE(POINT(), POINT(76200, 0)), MARKERS));
    }
};

// A resistor: its body, two pins and a node marker at the end of each, a label marker above.
std::unique_ptr<SYMBOL> resistor(MARKERSYMBOLS& markers)
{
    auto symbol = std::make_unique<SYMBOL>("RES");
    symbol->add(new PR_BOX(BOX(-3 * TENTH, -TENTH, 3 * TENTH, TENTH), BODY));
    symbol->add(new PR_LINE(LINE(POINT(-6 * TENTH, 0), POINT(-3 * TENTH, 0)), PINLINE));
    symbol->add(new PR_LINE(LINE(POINT(3 * TENTH, 0), POINT(6 * TENTH, 0)), PINLINE));
    symbol->add(new PR_SYM(CTS(POINT(-6 * TENTH, 0), 1800), &markers.node, MARKERS));
    symbol->add(new PR_SYM(CTS(POINT(6 * TENTH, 0)), &markers.node, MARKERS));
    symbol->add(new PR_SYM(CTS(POINT(0, 2 * TENTH)), &markers.label, MARKERS));
    return symbol;
}

} // namespace

TEST(Drawing, EveryKindEveryJustificationAndASymbolWithItsMarkers)
{
    const std::string file = (std::filesystem::path(VKT_ARTIFACTS_DIR) / "kelmar-primitives.png").string();
    BMDVC device(file.c_str(), 0, 0, RGB(255, 255, 255), INCH, DPI);
    device.openoutput(file.c_str());
    ASSERT_EQ(device.begin(), 1);
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);

    // Row one: a primitive of every kind in its cell, the box also turned by 30 degrees.
    MARKERSYMBOLS markers;
    std::unique_ptr<SYMBOL> res = resistor(markers);
    BEZIER curve;
    curve.setquadrant(POINT(-4 * TENTH, -3 * TENTH), POINT(4 * TENTH, 3 * TENTH), 1);
    PATH path = closedpath();
    std::unique_ptr<PRIMITIVE> kinds[] = {
        std::make_unique<PR_LINE>(LINE(POINT(-4 * TENTH, -3 * TENTH), POINT(4 * TENTH, 3 * TENTH)), OUTLINE),
        std::make_unique<PR_BOX>(BOX(-4 * TENTH, -2 * TENTH, 4 * TENTH, 2 * TENTH), BODY),
        std::make_unique<PR_CIRCLE>(CIRCLE(POINT(), 3 * TENTH), BODY),
        std::make_unique<PR_BEZIER>(curve, OUTLINE),
        std::make_unique<PR_PATH>(path, BODY),
        std::make_unique<PR_TEXT>(CTS(POINT()), "Text\nin two lines", LABELS.style, JUSTIFY_CENTRE | JUSTIFY_MIDDLE, OUTLINE),
        std::make_unique<PR_SYM>(CTS(POINT(), 0, 0), res.get(), OUTLINE),
        std::make_unique<PR_SYM>(CTS(POINT()), &markers.node, MARKERS),
    };
    kinds[4]->scale(1000);
    CTS pathmiddle;
    kinds[4]->normalise(pathmiddle);
    kinds[1]->map(CTS(POINT(), 300));
    const char* names[] = { "line", "box (turned)", "circle", "curve", "path", "text", "symbol", "marker" };
    for (int i = 0; i < 8; ++i) {
        POINT middle(INCH / 2 + i * 5 * INCH / 4, 7 * INCH);
        kinds[i]->plot(CTS(middle), &device, 0);
        caption(device, middle - POINT(0, INCH / 2 + TENTH), names[i]);
    }

    // Row two: a label in each of the nine justifications around its anchor.
    const char* horizontal[] = { "LEFT", "CENTRE", "RIGHT" };
    const char* vertical[] = { "TOP", "MIDDLE", "BOTTOM" };
    for (int h = 0; h < 3; ++h) {
        for (int v = 0; v < 3; ++v) {
            POINT anchor(3 * INCH / 2 + 3 * h * INCH, 5 * INCH - v * INCH / 2);
            LABEL label((std::string(horizontal[h]) + " " + vertical[v]).c_str(), &LABELS);
            label.setcts(CTS(anchor), gettjust(h, v));
            label.plot(&device, DM_NORMAL, 0, 0);
            cross(device, anchor);
        }
    }

    // Row three: the symbol, turned and mirrored, its node markers found and ringed.
    const CTS placements[] = { CTS(POINT(INCH, 2 * INCH)), CTS(POINT(3 * INCH, 2 * INCH), 900),
        CTS(POINT(5 * INCH, 2 * INCH), 0, 1), CTS(POINT(7 * INCH, 2 * INCH), 450) };
    for (const CTS& placement : placements) {
        res->plot(placement, &device, 0);
        CTS node;
        ASSERT_EQ(res->getmarker("$MKRNODE", &node, nullptr), 1);
        cross(device, (node * placement).offset());
    }
    TEXTBLOCK notes("A resistor as placed, turned by 90 degrees, mirrored, and turned by 45 degrees.\n{HIDDEN=NOT SHOWN}\nIts pins end in node markers.", &CAPTION);
    notes.setcts(CTS(POINT(INCH / 2, INCH)), JUSTIFY_LEFT | JUSTIFY_TOP);
    notes.plot(&device, DM_NORMAL, 0);
    ASSERT_EQ(device.end(), 1);
    ASSERT_EQ(device.closeoutput(), FDI_OK);

    QImage image(QString::fromStdString(file), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 10 * DPI);
    auto colourat = [&](POINT p) { return image.pixel(pixel(p)) & 0xFFFFFF; };
    EXPECT_EQ(colourat(POINT(INCH / 2 + 5 * INCH / 2, 7 * INCH)), 0xC8C8AAu) << "the circle's fill";
    EXPECT_EQ(colourat(POINT(INCH / 2 + 5 * INCH / 4, 7 * INCH)), 0xC8C8AAu) << "the turned box's fill";
    // The right node marker of the placed symbol: white inside its ring, blue on it.
    POINT node(INCH + 6 * TENTH, 2 * INCH);
    EXPECT_EQ(colourat(node + POINT(NODERADIUS / 2, NODERADIUS / 2)), 0xFFFFFFu) << "inside the node marker's ring";
    unsigned ring = colourat(node + POINT(NODERADIUS, 0));
    EXPECT_TRUE((ring & 0xFF) > 0xC0 && (ring >> 16) < 0x80) << std::hex << ring << ": on the node marker's ring";
    EXPECT_NE(colourat(POINT(3 * INCH, 2 * INCH + 6 * TENTH)), 0xFFFFFFu)
        << "the turned symbol's pin ends above its origin";
}
