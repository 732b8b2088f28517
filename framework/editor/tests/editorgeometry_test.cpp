// The editor's view geometry and grid, through the demo editor: zoom steps and their clamps, the
// view kept inside the world, coordinate and length texts, and the grid a snap gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/appln/applnmenu.h"
#include "framework/editor/gridspacing.h"
#include "framework/menus/menuitem.h"
#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/keys.h"
#include "platform/win/menu.h"
#include "platform/win/paint.h"

using demotest::runwithdemo;

namespace {

// The demo editor noting each area of its main view it paints.
class PAINTWATCH : public DEMOEDITOR {
public:
    using DEMOEDITOR::DEMOEDITOR;
    void draw_area(BOX area, int full, APPLNVIEWDVC* device) override
    {
        if (device == getmaindevice() && area.isvalid())
            painted.push_back(area);
        DEMOEDITOR::draw_area(area, full, device);
    }
    std::vector<BOX> painted;
};

} // namespace

TEST(EditorGeometry, ZoomStepsByHalfAgainAndStopsAtTheScaleLimits)
{
    struct Case {
        int scale;
        unsigned short command;
        int expected;
    };
    const Case cases[] = {
        { 15, EDITCMD_ZOOMIN, 22 },
        { 100, EDITCMD_ZOOMOUT, 66 },
        { 10, EDITCMD_ZOOMOUT, 10 },
        { 9000, EDITCMD_ZOOMIN, 10000 },
        { 10000, EDITCMD_ZOOMIN, 10000 },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNEDITSTATUS& status = demo.geteditstatus();
        for (const Case& c : cases) {
            demo.setview(c.scale, demo.getdrawing().extent().centre());
            EXPECT_EQ(demo.docommand(c.command), 1);
            EXPECT_EQ(status.scale, c.expected) << c.scale << " zoomed by " << c.command;
            EXPECT_EQ(status.pickdistance, 12700000 / c.expected);
        }
        demo.setview(100, demo.getdrawing().extent().centre());
        demo.onmousewheel(&device, -120, 0);
        EXPECT_EQ(status.scale, 66) << "the wheel towards the user zooms out";
        demo.onmousewheel(&device, 120, 0);
        EXPECT_EQ(status.scale, 99);
        EXPECT_EQ(status.command, 0);
    });
}

TEST(EditorGeometry, FittingABoxTakesTheTighterAxisAndAVoidDrawingTheWidestView)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC&) {
        APPLNEDITSTATUS& status = demo.geteditstatus();
        const BOX& view = demo.getviewarea();
        demo.setscale(BOX(0, 0, 0, 2540000), 0);
        EXPECT_EQ(status.scale, int(view.height())) << "a box of no width fits by its height";
        EXPECT_EQ(status.fitstate, -1);
        demo.setscale(BOX(0, 0, 25400000, 25400000), 0);
        EXPECT_EQ(status.scale, std::max(10, int(std::min(view.width(), view.height()) / 10)));
        status.extent = VOIDBOX;
        demo.setscale(VOIDBOX, 0);
        EXPECT_EQ(status.scale, status.minscale);
        EXPECT_EQ(status.fitstate, 0);
    });
}

TEST(EditorGeometry, TheViewStaysInsideTheWorldsLimits)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNEDITSTATUS& status = demo.geteditstatus();
        struct Case {
            POINT asked;
            int rightedge; // 1: the view's right (top) edge on the limit, -1: the left (bottom)
        };
        const Case cases[] = { { POINT(1000000000, 1000000000), 1 }, { POINT(-999999999, -1000000000), -1 } };
        for (const Case& c : cases) {
            demo.setscale(c.asked, 10, 0);
            BOX visible = device.getvisiblearea();
            int64_t w = visible.width();
            int64_t h = visible.height();
            int64_t x = c.rightedge > 0 ? 1000000000 - w / 2 : w / 2 - 1000000000;
            int64_t y = c.rightedge > 0 ? 1000000000 - h / 2 : h / 2 - 1000000000;
            // The device's visible area is whole pixels: within a unit of its half.
            EXPECT_NEAR(status.viewcentre.x, x, 1);
            EXPECT_NEAR(status.viewcentre.y, y, 1);
            EXPECT_EQ(device.getorigin(), status.viewcentre);
        }
        demo.setscale(POINT(12345, -6789), 10, 0);
        EXPECT_EQ(status.viewcentre, POINT(12345, -6789)) << "a centre well inside is kept";
    });
}

TEST(EditorGeometry, CoordinatesAreWrittenFromTheGridOriginInThouOrMillimetres)
{
    struct Case {
        int metric;
        int32_t x, y; // from the grid origin
        const char* textx;
        const char* texty;
        const char* units;
        long length;
        const char* lengthtext;
    };
    const Case cases[] = {
        { 0, 2540000, 0, "+1000.0", "+0.0", "th", 2540000, "   1000.0" },
        { 1, 2540000, 0, "+25.400", "+0.000", "mm", 2540000, "   25.400" },
        { 0, -254, 1270, "-0.1", "+0.5", "th", 254, "      0.1" },
        { 1, -100000, 100, "-1.000", "+0.001", "mm", 100000, "    1.000" },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC&) {
        APPLNEDITSTATUS& status = demo.geteditstatus();
        status.gridorigin = POINT(5000, -7000);
        for (const Case& c : cases) {
            status.metric = c.metric;
            char x[32];
            char y[32];
            char length[32];
            const char* units = nullptr;
            demo.fmtcoord(POINT(5000 + c.x, -7000 + c.y), x, y, &units);
            EXPECT_STREQ(x, c.textx);
            EXPECT_STREQ(y, c.texty);
            EXPECT_STREQ(units, c.units);
            units = nullptr;
            demo.fmtdimension(c.length, length, &units);
            EXPECT_STREQ(length, c.lengthtext);
            EXPECT_STREQ(units, c.units);
        }
    });
}

TEST(EditorGrid, TheMinorGridGrowsFromTheSnapByTheFactorsOfTheMajor)
{
    struct Case {
        const char* what;
        int major, snap, threshold;
        GRIDSPACING expected;
    };
    const Case cases[] = {
        { "100 th at 8 pixels to 100,000 units: majors every ten minors", 254000000, 254000, 100098,
            { 2540000, 254000 } },
        { "1 mm under a threshold of 250,000: grown by twos", 100000000, 100000, 250000, { 10000000, 400000 } },
        { "a fine snap grown by its twos, then a five", 254000000, 2540, 40000, { 2540000, 101600 } },
        { "no snap: no grid", 254000000, 0, 100000, { 0, 0 } },
        { "a snap off the major: doubled, the major dropped", 254000000, 300000, 1000000, { 0, 1200000 } },
        { "a snap wider than the threshold stays; its major a decade closer", 100000000, 5000000, 100,
            { 10000000, 5000000 } },
    };
    for (const Case& c : cases) {
        GRIDSPACING grid = gridspacing(c.major, c.snap, c.threshold);
        EXPECT_EQ(grid.major, c.expected.major) << c.what;
        EXPECT_EQ(grid.minor, c.expected.minor) << c.what;
    }
}

TEST(EditorGrid, TheSnapChoiceSetsTheViewsSnapAndGrid)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNEDITSTATUS& status = demo.geteditstatus();
        demo.setview(100, POINT());
        status.snapindex = 1;
        status.gridkind = 2 << 4;
        demo.docommand(EDITCMD_SNAP);
        EXPECT_EQ(status.snapvalue, 127000);
        int x = 0;
        int y = 0;
        device.getsnap(x, y);
        EXPECT_EQ(x, 127000);
        EXPECT_EQ(status.hitdistance, std::max(127000 / 2, status.pickdistance));
        EXPECT_EQ(status.minorgrid, 254000) << "8 pixels at 100 per inch are 203,200 units";
        EXPECT_EQ(status.majorgrid, 2540000);
        demo.docommand(EDITCMD_GRID);
        EXPECT_EQ(status.gridkind >> 4, 0u) << "lines, then none";
        demo.docommand(EDITCMD_GRID);
        EXPECT_EQ(status.gridkind >> 4, 1u);
    });
}

TEST(EditorGrid, TheSnapMenuItemsShowTheirValuesAndTheKeysBoundToThem)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC&) {
        APPLNMENU* bar = demo.getmenubar();
        ASSERT_NE(bar, nullptr);
        HMENU popup = CreatePopupMenu();
        for (unsigned i = 0; i < 4; ++i)
            AppendMenuA(popup, MF_STRING, EDITCMD_SNAP | (i << 12), "Snap");
        int chosen = 0;
        ICMDTARGET* target = static_cast<APPLNMODULE*>(&demo);
        auto* group = new MENUGROUP(popup, 0, target, &chosen);
        for (int i = 1; i < 4; ++i)
            group->addmember();
        bar->additem(group, target);
        demo.getkeytranslator()->assign(0x110, EDITCMD_SNAP, VK_F1 + 4);
        demo.getkeytranslator()->assign(0x110, EDITCMD_SNAP | 0x2000, (VK_F1 + 6) | 0x22000);
        demo.geteditstatus().metric = 0;
        demo.setgrid(demo.geteditstatus().gridorigin, 0);
        const char* imperial[] = { "Snap 0.1in\tF5", "Snap 50th", "Snap 25th\tF7", "Snap 10th" };
        for (int i = 0; i < 4; ++i) {
            char text[64] = "";
            GetMenuStringA(popup, UINT(i), text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, imperial[i]);
        }
        demo.geteditstatus().metric = 1;
        demo.setgrid(demo.geteditstatus().gridorigin, 0);
        char text[64] = "";
        GetMenuStringA(popup, 3, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Snap 0.1mm") << "the metric choices once the units are";
        DestroyMenu(popup);
    });
}

TEST(EditorGrid, AGridOriginMovedByWholeStepsRepaintsOnlyItsTwoMarks)
{
    for (int doublebuffer : { 0, 1 }) {
        runwithdemo<PAINTWATCH>(10, [&](auto&, PAINTWATCH& demo, APPLNVIEWDVC& device) {
            device.setgdidoublebuffer(doublebuffer);
            APPLNEDITSTATUS& status = demo.geteditstatus();
            status.gridkind = 2 << 4;
            POINT from = demo.getdrawing().extent().centre();
            from.snap(254000, 254000);
            demo.setview(100, from);
            demo.setgrid(from, 1);
            UpdateWindow(device.gethwnd());
            ASSERT_EQ(status.minorgrid, 254000);
            demo.painted.clear();
            POINT to(from.x + 10 * 254000, from.y - 4 * 254000);
            demo.setgrid(to, 1);
            UpdateWindow(device.gethwnd());
            ASSERT_EQ(demo.painted.size(), 2u) << "double buffered: " << doublebuffer;
            POINT between((from.x + to.x) / 2, (from.y + to.y) / 2);
            for (const BOX& area : demo.painted) {
                EXPECT_TRUE(area.contains(from) != area.contains(to)) << "one mark each";
                EXPECT_FALSE(area.contains(between));
                EXPECT_LT(area.width(), 2 * 254000 + 10 * 25400) << "a mark and a few pixels";
            }
            demo.painted.clear();
            demo.setgrid(POINT(to.x + 127000, to.y), 1);
            UpdateWindow(device.gethwnd());
            EXPECT_EQ(device.getrepaintmode(), 0);
            ASSERT_FALSE(demo.painted.empty());
            EXPECT_TRUE(demo.painted.front().contains(device.getvisiblearea()))
                << "half a step off the grid: the whole view";
        });
    }
}
