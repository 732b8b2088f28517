// Under a real X server (Xvfb): the demo editor with three boxes it placed, all selected and moved
// by its commands, the selection's frame and its eight handles shown; the screen is grabbed, kept
// as the artifact named by VKT_SCREENSHOT_PATH, and checked for the handles.

#include <QGuiApplication>

#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/tests/screenshot.h"

namespace {

TEST(XvfbScreenshot, TheEditorShowsASelectionWithItsHandles)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    demotest::runwithdemo(300, [](auto& process, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNFRAME* frame = process.getframe(0);
        MoveWindow(frame->hwnd, 20, 20, 900, 640, FALSE);
        frame->onresize();
        POINT centre = demo.getdrawing().extent().centre();
        demo.setview(400, centre);
        const POINT places[] = { { centre.x - 900000, centre.y + 300000 }, { centre.x - 200000, centre.y - 400000 },
            { centre.x + 300000, centre.y + 100000 } };
        for (POINT at : places) {
            device.setcursorpos(at);
            demo.docommand(DEMO_ADDBOX);
        }
        demo.docommand(DEMO_SELECTALL);
        demo.docommand(DEMO_MOVERIGHT);
        UpdateWindow(device.gethwnd());
        wintest::turnuntil([] { return false; }, 800);
        wintest::SCREENSHOT shot(frame->hwnd);
        EXPECT_TRUE(shot.saved);
        GDPA<DRAGHANDLE> handles;
        demo.geteditstatus().tags.gethandles(handles);
        ASSERT_EQ(handles.count, 8);
        COLORREF grey = demo.getcolour(APPLNCOLOUR_HANDLE);
        for (DRAGHANDLE* handle : handles) {
            tagPOINT at = device.world2client(handle->point);
            EXPECT_EQ(shot.at(device.gethwnd(), at.x, at.y), QColor(GetRValue(grey), GetGValue(grey), GetBValue(grey)))
                << "handle " << handle->id;
        }
        handles.zap();
    });
}

} // namespace
