#include "framework/views/applnviewdvc.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/paint.h"

namespace {

using demotest::runwithdemo;

constexpr long UPI = 2540000;
constexpr int32_t INCH = 2540000;

tagPOINT clientcentre(APPLNVIEWDVC& device)
{
    RECT client {};
    GetClientRect(device.gethwnd(), &client);
    return tagPOINT { client.right / 2, client.bottom / 2 };
}

// Every pixel the view shows, the overlay combined in.
std::vector<COLORREF> shown(APPLNVIEWDVC& device)
{
    RECT client {};
    GetClientRect(device.gethwnd(), &client);
    HDC dc = GetDC(device.gethwnd());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(device.gethwnd(), dc);
    return pixels;
}

COLORREF pixel(APPLNVIEWDVC& device, int x, int y)
{
    HDC dc = GetDC(device.gethwnd());
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(device.gethwnd(), dc);
    return colour;
}

} // namespace

TEST(ViewDevice, MapsWorldToPixelsAtSeveralZoomsAndOrigins)
{
    struct Case {
        long pixelsperinch;
        POINT origin;
        POINT world;
        int dx, dy; // pixels from the client centre
    };
    const Case cases[] = {
        { 100, { 0, 0 }, { INCH, 0 }, 100, 0 },
        { 100, { 0, 0 }, { 0, INCH }, 0, -100 }, // world y grows upwards
        { 100, { 0, 0 }, { -INCH / 2, -INCH / 4 }, -50, 25 },
        { 50, { INCH, -INCH }, { 3 * INCH, -INCH }, 100, 0 },
        { 1000, { 123456, 0 }, { 123456 + 2540 * 7, 2540 * 3 }, 7, -3 },
        { 10, { 0, 0 }, { 1000000000, -1000000000 }, 3937, 3937 },
        { 400, { -INCH, INCH }, { -INCH, INCH }, 0, 0 },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        tagPOINT middle = clientcentre(device);
        for (const Case& c : cases) {
            device.setmapping(c.pixelsperinch, c.pixelsperinch, UPI);
            device.setorigin(c.origin);
            tagPOINT centre = device.world2client(c.origin);
            EXPECT_LE(std::abs(centre.x - middle.x), 1) << "the origin lies in the middle of the view";
            EXPECT_LE(std::abs(centre.y - middle.y), 1);
            tagPOINT at = device.world2client(c.world);
            EXPECT_EQ(at.x - centre.x, c.dx) << c.pixelsperinch << " pixels to the inch";
            EXPECT_EQ(at.y - centre.y, c.dy) << c.pixelsperinch << " pixels to the inch";
            POINT back = device.client2world(at);
            int32_t perpixel = int32_t(UPI / c.pixelsperinch);
            EXPECT_LE(std::abs(back.x - c.world.x), perpixel / 2) << "a round trip stays inside the pixel";
            EXPECT_LE(std::abs(back.y - c.world.y), perpixel / 2);
        }
    });
}

TEST(ViewDevice, SnapsToTheGridRoundingHalvesAwayFromZero)
{
    struct Case {
        POINT origin;
        long stepx, stepy, scale;
        POINT raw;
        POINT snapped;
    };
    const Case cases[] = {
        { { 0, 0 }, 254, 254, 10, { 13, -13 }, { 25, -25 } }, // a grid of 25.4 units
        { { 0, 0 }, 254, 254, 10, { 12, -12 }, { 0, 0 } },
        { { 0, 0 }, 254, 254, 10, { 38, 39 }, { 25, 50 } }, // 380 + 127 < 2 steps, 390 + 127 > 2
        { { 100, 100 }, 1000, 1000, 1, { 600, -400 }, { 1100, -900 } },
        { { 0, 0 }, 0, 1000, 1, { 1234, 1234 }, { 1234, 1000 } }, // no step along x
        { { 0, 0 }, 0, 0, 1, { 1234, -5678 }, { 1234, -5678 } }, // no grid
        { { 0, 0 }, 100, 100, 0, { 149, 151 }, { 100, 200 } }, // no scale counts as 1
        { { 0, 0 }, 254, 254, 10, { 1000000000, -1000000000 }, { 1000000006, -1000000006 } },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        for (const Case& c : cases) {
            POINT origin = c.origin;
            device.setsnap(origin, c.stepx, c.stepy, c.scale);
            device.setcursorpos(c.raw);
            EXPECT_EQ(device.getcursorpos(), c.snapped) << c.raw.x << ", " << c.raw.y;
            EXPECT_EQ(device.getpointerpos(), c.raw);
        }
    });
}

TEST(ViewDevice, TheCrosshairGoesWithoutTraceWhateverItsModes)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        demo.setview(100, POINT(50000000, 50000000)); // blank paper, away from the drawing
        UpdateWindow(device.gethwnd());
        device.setxcursor(XCURSOR_SMALL);
        device.setcursorpos(device.client2world(clientcentre(device)));
        std::vector<COLORREF> before = shown(device);
        tagPOINT c = device.world2client(device.getcursorpos());

        device.showcursor(1);
        EXPECT_NE(shown(device), before) << "the small cross shows";
        EXPECT_EQ(device.setxcursor(XCURSOR_FULL), XCURSOR_SMALL);
        EXPECT_EQ(pixel(device, 2, c.y), RGB(0, 0, 0)) << "the full crosshair inverts the white sheet";
        RECT client {};
        GetClientRect(device.gethwnd(), &client);
        EXPECT_EQ(pixel(device, c.x + 4, c.y + 4), before[size_t((c.y + 4) * client.right + c.x + 4)])
            << "no trace of the small cross";

        // A paint beneath the cursor leaves it, and its removal leaves the paint whole.
        device.invalidate(VOIDBOX, REPAINT_ALL);
        UpdateWindow(device.gethwnd());
        EXPECT_EQ(pixel(device, 2, c.y), RGB(0, 0, 0));
        EXPECT_EQ(device.showcursor(0), 1);
        EXPECT_EQ(shown(device), before);
    });
}

TEST(ViewDevice, AnArrowKeyMovesTheCursorOneStepOnlyOnAFullGrid)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        tagPOINT screen = clientcentre(device);
        ClientToScreen(device.gethwnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        POINT origin;
        device.setsnap(origin, 0, INCH / 10, 1);
        device.setcursorpos(device.screen2world(screen));
        POINT before = device.getcursorpos();
        device.movecursor(VK_RIGHT);
        EXPECT_EQ(device.getcursorpos(), before) << "without a step along x nothing moves";

        device.setsnap(origin, INCH / 10, INCH / 10, 1);
        device.setcursorpos(device.screen2world(screen));
        before = device.getcursorpos();
        device.movecursor(VK_RIGHT);
        EXPECT_EQ(device.getcursorpos(), POINT(before.x + INCH / 10, before.y));
        device.movecursor(VK_UP);
        EXPECT_EQ(device.getcursorpos(), POINT(before.x + INCH / 10, before.y + INCH / 10)) << "up is +y";
        tagPOINT now {};
        GetCursorPos(&now);
        tagPOINT expected = device.world2screen(device.getcursorpos());
        EXPECT_EQ(now.x, expected.x) << "the system pointer follows";
        EXPECT_EQ(now.y, expected.y);
    });
}

TEST(ViewWindow, PointerAtTheRightEdgePansTheViewRightByItsHostsStep)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        demo.geteditstatus().extent = BOX(-254000000, -254000000, 254000000, 254000000);
        device.setmapping(100, 100, UPI);
        device.setorigin(POINT(0, 0));
        BOX visible = device.getvisiblearea();
        device.constrain();
        RECT client {};
        GetClientRect(device.gethwnd(), &client);
        tagPOINT edge { client.right - 1, client.bottom / 2 };
        ClientToScreen(device.gethwnd(), &edge);
        win::postmouse(WM_MOUSEMOVE, edge, 0, 0, device.gethwnd());
        while (win::deliverqueued()) { }
        device.release();
        POINT origin = device.getorigin();
        EXPECT_NEAR(origin.x, visible.width() / autopandivisor(4), UPI / 100) << "to within a pixel";
        EXPECT_EQ(origin.y, 0) << "and not vertically";
    });
}
