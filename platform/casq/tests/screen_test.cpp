#include <gtest/gtest.h>

#include <vector>

#include "platform/casq/sgdvc.h"
#include "platform/win/gdi.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

constexpr long UPI = 2540000;
constexpr int INCH = 2540000;

// A view of 200 by 100 pixels at 100 pixels to the inch, the world's origin in its middle.
struct View {
    View()
    {
        frame = toplevel(0, 0, 240, 160, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        RECT client {};
        GetClientRect(frame, &client);
        device = std::make_unique<SGDVC>(frame, 5, BOX(0, 0, 199, 99), WS_VISIBLE, UPI);
        device->setmapping(100, 100, UPI);
        device->setorigin(POINT(0, 0));
        settle();
    }
    ~View() { device.reset(); }

    std::vector<COLORREF> pixels() const
    {
        HDC dc = GetDC(device->gethwnd());
        std::vector<COLORREF> all;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 200; ++x) {
                all.push_back(GetPixel(dc, x, y));
            }
        }
        ReleaseDC(device->gethwnd(), dc);
        return all;
    }
    COLORREF pixel(int x, int y) const { return pixels()[size_t(y) * 200 + x]; }

    FreshQt fresh;
    HWND frame = nullptr;
    std::unique_ptr<SGDVC> device;
};

// A view whose paint draws a red box around the world's origin.
class PAINTINGVIEW : public SGDVC {
public:
    using SGDVC::SGDVC;
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT) {
            return SGDVC::msghlr(window, message, wParam, lParam);
        }
        ++paints;
        modeatpaint = getrepaintmode();
        PAINTSTRUCT paint;
        beginpaint(&paint);
        fillbox(BOX(-INCH / 10, -INCH / 10, INCH / 10, INCH / 10), RGB(255, 0, 0));
        endpaint(&paint);
        return 0;
    }
    int paints = 0;
    int modeatpaint = 0;
};

// A view that keeps the area of its last paint.
class RECORDINGVIEW : public SGDVC {
public:
    using SGDVC::SGDVC;
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT) {
            return SGDVC::msghlr(window, message, wParam, lParam);
        }
        PAINTSTRUCT paint;
        beginpaint(&paint);
        painted = paint.rcPaint;
        endpaint(&paint);
        return 0;
    }
    RECT painted {};
};

} // namespace

TEST(Screen, ExclusiveOrTwiceRestoresThePixels)
{
    View view;
    SGDVC& device = *view.device;
    device.beginanimate();
    device.fillbox(BOX(-INCH / 2, -INCH / 4, INCH / 4, INCH / 4), RGB(200, 30, 30));
    device.drawtext(POINT(-INCH / 2, -INCH / 3), "Ag", 0, 0, TSTYLE("Arial", INCH / 5, INCH / 6, 0, 0));
    device.endanimate();
    std::vector<COLORREF> before = view.pixels();

    auto rubberband = [&] {
        device.beginanimate();
        device.setdrawmode(DRAWMODE_XOR);
        GSTYLE band(RGB(0, 255, 255), PENSTYLE_SOLID);
        device.drawbox(BOX(-INCH / 3, -INCH / 3, INCH / 2, INCH / 3), band);
        device.drawline(
            POINT(-INCH, -INCH / 2), POINT(INCH, INCH / 2), GSTYLE(INCH / 50, RGB(255, 0, 255), NOCOLOUR));
        device.drawcircle(POINT(0, 0), INCH / 4, band);
        device.drawbezier(BEZIER { POINT(-INCH, 0), POINT(0, INCH), POINT(0, -INCH), POINT(INCH, 0) }, band);
        device.setdrawmode(DRAWMODE_COPY);
        device.endanimate();
    };
    rubberband();
    std::vector<COLORREF> drawn = view.pixels();
    EXPECT_NE(drawn, before);
    rubberband();
    EXPECT_EQ(view.pixels(), before);
}

TEST(Screen, ARubberBandNeitherWipedNorLeftBehindByAPaintBeneathIt)
{
    FreshQt fresh;
    HWND frame = toplevel(0, 0, 240, 160, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    PAINTINGVIEW view(frame, 5, BOX(0, 0, 199, 99), WS_VISIBLE, UPI);
    view.setmapping(100, 100, UPI);
    view.setorigin(POINT(0, 0));
    settle();
    auto pixel = [&](int x, int y) {
        HDC dc = GetDC(view.gethwnd());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(view.gethwnd(), dc);
        return colour;
    };
    auto band = [&] {
        view.beginanimate();
        view.setdrawmode(DRAWMODE_XOR);
        view.drawline(POINT(-INCH, 0), POINT(INCH, 0), GSTYLE(RGB(255, 255, 255), PENSTYLE_SOLID));
        view.setdrawmode(DRAWMODE_COPY);
        view.endanimate();
    };
    band();
    EXPECT_EQ(pixel(100, 50), RGB(0, 255, 255)) << "the band over the red box";
    EXPECT_EQ(pixel(20, 50), RGB(0, 0, 0)) << "the band over the white page";
    view.invalidate(VOIDBOX, REPAINT_ALL);
    UpdateWindow(view.gethwnd());
    EXPECT_EQ(pixel(20, 50), RGB(0, 0, 0)) << "the paint beneath leaves the band";
    band();
    EXPECT_EQ(pixel(100, 50), RGB(255, 0, 0)) << "removing it leaves the paint whole";
    EXPECT_EQ(pixel(20, 50), RGB(255, 255, 255));
}

TEST(Screen, MapsWorldAndPixelsBothWays)
{
    View view;
    SGDVC& device = *view.device;
    tagPOINT centre = device.world2client(POINT(0, 0));
    EXPECT_EQ(centre.x, 100);
    EXPECT_EQ(centre.y, 50);
    tagPOINT corner = device.world2client(POINT(-INCH, INCH / 2));
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0) << "world y grows upwards";
    EXPECT_EQ(device.client2world(tagPOINT { 150, 25 }), POINT(INCH / 2, INCH / 4));
    BOX visible = device.getvisiblearea();
    EXPECT_EQ(visible, BOX(-INCH, -INCH / 2, INCH, INCH / 2));
    tagPOINT screen = device.world2screen(POINT(0, 0));
    EXPECT_EQ(device.screen2world(screen), POINT(0, 0));
    EXPECT_EQ(device.isinteractive(), 1);
}

TEST(Screen, ScrollingMovesWhatStaysAndRepaintsTheRest)
{
    View view;
    auto recording = std::make_unique<RECORDINGVIEW>(view.frame, 5, BOX(0, 0, 199, 99), WS_VISIBLE, UPI);
    RECORDINGVIEW& device = *recording;
    view.device = std::move(recording);
    device.setmapping(100, 100, UPI);
    device.setorigin(POINT(0, 0));
    settle();
    device.fillbox(BOX(-INCH / 10, -INCH / 10, INCH / 10, INCH / 10), RGB(0, 0, 255));
    settle();
    EXPECT_EQ(view.pixel(100, 50), RGB(0, 0, 255)) << "a lone drawing call shows once the loop turns";
    device.scroll(INCH / 2, 0);
    EXPECT_EQ(device.getorigin(), POINT(INCH / 2, 0));
    EXPECT_EQ(view.pixel(50, 50), RGB(0, 0, 255)) << "moved 50 pixels to the left";
    EXPECT_NE(view.pixel(100, 50), RGB(0, 0, 255));
    EXPECT_EQ(device.getrepaintmode(), REPAINT_ALL);
    UpdateWindow(device.gethwnd());
    EXPECT_EQ(device.painted.left, 150) << "the uncovered strip";
}

TEST(Screen, PaintsTheInvalidAreaOnOrOffScreen)
{
    for (int buffered : { 0, 1 }) {
        FreshQt fresh;
        HWND frame = toplevel(0, 0, 240, 160, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        PAINTINGVIEW view(frame, 5, BOX(0, 0, 199, 99), WS_VISIBLE, UPI);
        view.setmapping(100, 100, UPI);
        view.setorigin(POINT(0, 0));
        view.setgdidoublebuffer(buffered);
        EXPECT_EQ(view.isgdidoublebuffer(), buffered);
        settle();
        view.invalidate(BOX(-INCH / 5, -INCH / 5, INCH / 5, INCH / 5), REPAINT_GRID);
        view.invalidate(BOX(0, 0, 1, 1), REPAINT_CONTENT);
        EXPECT_EQ(view.getrepaintmode(), REPAINT_GRID) << "the most urgent mode stays";
        UpdateWindow(view.gethwnd());
        EXPECT_GE(view.paints, 1);
        EXPECT_EQ(view.modeatpaint, REPAINT_GRID);
        EXPECT_EQ(view.getrepaintmode(), 0);
        HDC dc = GetDC(view.gethwnd());
        EXPECT_EQ(GetPixel(dc, 100, 50), RGB(255, 0, 0)) << "buffered " << buffered;
        EXPECT_EQ(GetPixel(dc, 100, 10), RGB(255, 255, 255))
            << "outside the update area the paint erased nothing";
        ReleaseDC(view.gethwnd(), dc);
    }
}

TEST(Screen, GridOfDotsAtItsSpacing)
{
    View view;
    SGDVC& device = *view.device;
    device.beginanimate();
    device.grid(GRID_DOTS, POINT(0, 0), INCH / 10, RGB(0, 0, 0));
    device.grid(GRID_DOTS, POINT(0, 0), INCH / 1000, RGB(255, 0, 0)); // a pixel apart: not drawn
    device.endanimate();
    EXPECT_EQ(view.pixel(100, 50), RGB(0, 0, 0));
    EXPECT_EQ(view.pixel(110, 40), RGB(0, 0, 0));
    EXPECT_EQ(view.pixel(105, 50), RGB(255, 255, 255));
}

TEST(Screen, AFigureTooSmallToMakeOutIsABlockOfItsColour)
{
    View view;
    SGDVC& device = *view.device;
    device.beginanimate();
    device.drawcircle(POINT(0, 0), INCH / 200, GSTYLE(0, RGB(0, 128, 0), RGB(255, 0, 0)));
    device.endanimate();
    std::vector<COLORREF> all = view.pixels();
    int shown = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            COLORREF colour = all[size_t(y) * 200 + x];
            if (colour != RGB(255, 255, 255)) {
                EXPECT_EQ(colour, RGB(0, 128, 0)) << x << ", " << y << ": whole pixels of the pen";
                EXPECT_LE(std::abs(x - 100) + std::abs(y - 50), 2) << x << ", " << y;
                ++shown;
            }
        }
    }
    EXPECT_GE(shown, 1);
    EXPECT_LE(shown, 4);
}

TEST(Screen, AcceleratedModesAreReportedAbsent)
{
    View view;
    SGDVC& device = *view.device;
    EXPECT_EQ(device.testopenglsupport(), 0);
    EXPECT_EQ(device.enableopengl(), 0);
    EXPECT_EQ(device.testdirect2d(), 0);
    EXPECT_EQ(device.enabledirect2d(), 0);
    EXPECT_EQ(device.getmultisamplingmask(), 0);
    EXPECT_EQ(gdiplus_startup(), 1);
}

TEST(Screen, DrawsOnAWindowOwnedElsewhere)
{
    FreshQt fresh;
    HWND control = toplevel(0, 0, 120, 80, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    settle();
    HDC dc = GetDC(control);
    {
        SGDVC preview(control, dc, 0, RGB(0, 128, 0), UPI);
        preview.setmapping(100, 100, UPI);
        preview.setorigin(POINT(0, 0));
        preview.erase(VOIDBOX);
        preview.drawcircle(POINT(0, 0), INCH / 10, GSTYLE(0, RGB(255, 255, 0), RGB(255, 255, 0)));
        preview.enddrawing();
    }
    RECT client {};
    GetClientRect(control, &client);
    EXPECT_EQ(GetPixel(dc, client.right / 2, client.bottom / 2), RGB(255, 255, 0));
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 128, 0));
    ReleaseDC(control, dc);
}
