// Under a real X server (Xvfb): the demo editor with its grid of lines, the output origin's mark
// and a false grid origin's mark, and a selection box being dragged out as a rubber band; the
// screen is grabbed while the box is up, kept as the artifact named by VKT_SCREENSHOT_PATH, and
// checked for the marks.

#include <QGuiApplication>
#include <QTimer>

#include "framework/input/shapeloops.h"
#include "framework/input/tests/inputtest.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/tests/screenshot.h"

namespace {

using namespace inputtest;

TEST(XvfbScreenshot, TheEditorShowsItsGridOriginsAndARubberBand)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    demotest::runwithdemo(300, [](auto& process, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNFRAME* frame = process.getframe(0);
        MoveWindow(frame->hwnd, 20, 20, 900, 640, FALSE);
        frame->onresize();
        APPLNEDITSTATUS& status = demo.geteditstatus();
        POINT centre = demo.getdrawing().extent().centre();
        centre.snap(254000, 254000);
        status.gridkind = 2 << 4;
        // Both origins beside the drawing, where nothing covers their marks.
        BOX extent = demo.getdrawing().extent();
        status.outputorigin = POINT(extent.x1 - 508000, centre.y - 254000);
        demo.setview(150, centre);
        demo.setgrid(POINT(extent.x2 + 508000, centre.y + 254000), 1);
        UpdateWindow(device.gethwnd());
        bool saved = false;
        QColor atorigin;
        QTimer::singleShot(0, [&] {
            queue(device, press(WM_LBUTTONDOWN, { 160, 120 }));
            queue(device, press(WM_LBUTTONUP, { 160, 120 }));
            queue(device, move({ 420, 330 }));
            deliver();
            wintest::turnuntil([] { return false; }, 800);
            wintest::SCREENSHOT shot(frame->hwnd);
            saved = shot.saved;
            tagPOINT mark = device.world2client(status.gridorigin);
            atorigin = shot.at(device.gethwnd(), mark.x, mark.y - 4);
            key(WM_KEYDOWN, VK_ESCAPE);
        });
        WATCHDOG watchdog;
        SELECTIONINPUTLOOP loop;
        loop.run(&device, IDC_CROSS, INPUTLOOP::LEFTCLICKS);
        EXPECT_TRUE(saved);
        // The cross's brown, blended with the paper where the line falls between pixels.
        EXPECT_GT(atorigin.red(), atorigin.blue() + 40) << "the false origin's cross";
    });
}

} // namespace
