#include <gtest/gtest.h>

#include "platform/casq/tests/recordingdevice.h"
#include "platform/casq/textmetrics.h"

using casqtest::RECORDINGDVC;

namespace {

constexpr int MM = 100000; // world units of a millimetre at 2,540,000 to the inch

// A screen of the recording device: its thinnest line is one device unit (a tenth of a millimetre).
class SCREEN : public RECORDINGDVC {
public:
    int isinteractive() override { return 1; }
};

template <class DEVICE> std::vector<std::string> kindsdrawn(const std::function<void(VGDVC&)>& draw)
{
    DEVICE device;
    device.begin();
    device.setmapping(1, 1, 1);
    device.setwindow(BOX(0, 0, 100 * MM, 100 * MM));
    draw(device);
    std::vector<std::string> kinds;
    for (const auto& figure : device.recorder.figures)
        kinds.push_back(figure.kind);
    return kinds;
}

} // namespace

TEST(TextMetrics, TheBoxOfATextFollowsItsJustificationAndWidth)
{
    TSTYLE style("Vector Font", 10 * MM, 8 * MM, 0, 0);
    int32_t one = textwidth("M", style);
    int32_t three = textwidth("MMM", style);
    EXPECT_GT(one, 0);
    EXPECT_NEAR(three, 3 * one, 2) << "a fixed-pitch face";
    TSTYLE narrow = style;
    narrow.width = 4 * MM;
    EXPECT_NEAR(textwidth("MMM", narrow), three / 2, 2) << "half the character width, half as wide";
    EXPECT_EQ(textwidth("", style), 0);

    BOX leftbottom = textbox("MMM", JUSTIFY_LEFT | JUSTIFY_BOTTOM, style);
    EXPECT_EQ(leftbottom.x1, 0);
    EXPECT_EQ(leftbottom.x2, three);
    EXPECT_EQ(leftbottom.y2, 72 * MM / 10) << "capitals stand above the baseline";
    EXPECT_LT(leftbottom.y1, 0) << "descenders hang below it";
    BOX righttop = textbox("MMM", JUSTIFY_RIGHT | JUSTIFY_TOP, style);
    EXPECT_EQ(righttop.x2, 0);
    EXPECT_EQ(righttop.y2, 0);
    BOX middle = textbox("MMM", JUSTIFY_CENTRE | JUSTIFY_MIDDLE, style);
    EXPECT_NEAR(middle.x1 + middle.x2, 0, 1);
    EXPECT_TRUE(textbox("", 0, style).isvoid());
}

TEST(TextMetrics, AScreenShowsWhatIsTooSmallToSeeCheaply)
{
    auto tiny = [](VGDVC& device) {
        device.drawtext(POINT(10 * MM, 10 * MM), "R12", 0, 0, TSTYLE("Arial", MM / 5, MM / 6, 0, 0));
        device.drawcircle(POINT(20 * MM, 20 * MM), MM / 50, GSTYLE(0, 0, NOCOLOUR));
    };
    auto readable = [](VGDVC& device) {
        device.drawtext(POINT(10 * MM, 10 * MM), "R12", 0, 0, TSTYLE("Arial", 5 * MM, 4 * MM, 0, 0));
        device.drawcircle(POINT(20 * MM, 20 * MM), MM, GSTYLE(0, 0, NOCOLOUR));
    };
    EXPECT_EQ(kindsdrawn<SCREEN>(tiny), (std::vector<std::string> { "polyline" }))
        << "text a fifth of a millimetre high is a bar; a circle of a fiftieth is left out";
    EXPECT_EQ(kindsdrawn<RECORDINGDVC>(tiny), (std::vector<std::string> { "text", "ellipse" }))
        << "files and printers keep everything";
    EXPECT_EQ(kindsdrawn<SCREEN>(readable), (std::vector<std::string> { "text", "ellipse" }));

    // Figures less than three pixels across, pen included, are blocks of the colour they show.
    auto small = [](VGDVC& device) {
        device.drawcircle(POINT(20 * MM, 20 * MM), MM / 20, GSTYLE(0, RGB(255, 0, 0), RGB(0, 255, 0)));
        GSTYLE fillonly(0, 0, RGB(0, 0, 255));
        fillonly.penstyle = PENSTYLE_NONE;
        device.drawbox(BOX(0, 0, MM / 10, MM / 10), fillonly);
        BEZIER curve;
        curve.setquadrant(POINT(0, 0), POINT(MM / 10, MM / 10), 0);
        device.drawbezier(curve, GSTYLE(0, RGB(9, 9, 9), NOCOLOUR));
        device.drawcircle(POINT(20 * MM, 20 * MM), MM / 5, GSTYLE(0, 0, NOCOLOUR));
    };
    std::vector<std::string> blocks = kindsdrawn<SCREEN>(small);
    EXPECT_EQ(blocks, (std::vector<std::string> { "polygon", "polygon", "polygon", "ellipse" }))
        << "a circle a pixel across with its pen is a block; one of four is not";
    EXPECT_EQ(kindsdrawn<RECORDINGDVC>(small), (std::vector<std::string> { "ellipse", "polygon", "figure", "ellipse" }));
    SCREEN blocked;
    blocked.begin();
    blocked.setmapping(1, 1, 1);
    blocked.setwindow(BOX(0, 0, 100 * MM, 100 * MM));
    small(blocked);
    const auto& circle = blocked.recorder.figures[0];
    EXPECT_FALSE(circle.paint.stroke);
    EXPECT_TRUE(circle.paint.fill);
    EXPECT_EQ(circle.paint.fillcolour, RGB(255, 0, 0)) << "its pen covers it";
    ASSERT_EQ(circle.points.size(), 4u);
    EXPECT_DOUBLE_EQ(circle.points[2].x - circle.points[0].x, 2) << "the circle and half the thinnest pen each side";
    EXPECT_EQ(blocked.recorder.figures[1].paint.fillcolour, RGB(0, 0, 255)) << "a box without a pen shows its fill";

    SCREEN screen;
    screen.begin();
    screen.setmapping(1, 1, 1);
    screen.setwindow(BOX(0, 0, 100 * MM, 100 * MM));
    screen.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE(MM / 20, 0, NOCOLOUR));
    screen.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE(MM / 2, 0, NOCOLOUR));
    ASSERT_EQ(screen.recorder.figures.size(), 2u);
    EXPECT_EQ(screen.recorder.figures[0].paint.penwidth, 0) << "thinner than a pixel: the thinnest line";
    EXPECT_DOUBLE_EQ(screen.recorder.figures[1].paint.penwidth, 5);
}
