// Under a real X server (Xvfb): the demo editor's view in a frame, its drawing at a readable zoom
// and the editing cursor with the full-view crosshair; the screen is grabbed, kept as the artifact
// named by VKT_SCREENSHOT_PATH, and checked for the crosshair across the view.

#include <QGuiApplication>

#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/tests/screenshot.h"

namespace {

TEST(XvfbScreenshot, TheViewShowsItsDrawingAndTheCrosshair)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    demotest::runwithdemo(300, [](auto& process, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNFRAME* frame = process.getframe(0);
        MoveWindow(frame->hwnd, 20, 20, 900, 640, FALSE);
        frame->onresize();
        demo.setview(400, demo.getdrawing().extent().centre());
        UpdateWindow(device.gethwnd());
        RECT client {};
        GetClientRect(device.gethwnd(), &client);
        tagPOINT at { client.right / 3, client.bottom / 2 };
        ClientToScreen(device.gethwnd(), &at);
        win::postmouse(WM_MOUSEMOVE, at, 0, 0, device.gethwnd());
        wintest::turnuntil([] { return false; }, 300);
        device.showcursor(1);
        wintest::turnuntil([] { return false; }, 800);
        tagPOINT cursor = device.world2client(device.getcursorpos());
        wintest::SCREENSHOT shot(frame->hwnd);
        EXPECT_TRUE(shot.saved);
        EXPECT_EQ(shot.at(device.gethwnd(), 3, cursor.y), QColor(0, 0, 0)) << "the crosshair inverts the sheet";
        EXPECT_EQ(shot.at(device.gethwnd(), cursor.x, 3), QColor(0, 0, 0));
        EXPECT_EQ(shot.at(device.gethwnd(), 3, cursor.y + 3), QColor(255, 255, 255)) << "beside it the sheet";
    });
}

} // namespace
