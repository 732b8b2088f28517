#include "framework/bars/sizingbar.h"

#include "framework/bars/tests/bartest.h"
#include "platform/win/window.h"

using namespace bartest;
using namespace wintest;

namespace {

// Where the bar stands in its parent's client area.
RECT placed(const SIZINGBAR& bar, HWND parent)
{
    RECT area {};
    GetWindowRect(bar.gethwnd(), &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<tagPOINT*>(&area), 2);
    return area;
}

TEST(SizingBar, ItCoversThreePixelsAroundItsPositionAndProposesWhereItIsDragged)
{
    FreshQt fresh;
    HWND parent = toplevel(100, 100, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    {
        SIZINGBAR across(parent, 9, "Across", 80, 0);
        across.locate(10, 300, 80, 0);
        RECT area = placed(across, parent);
        EXPECT_EQ(area.top, 79);
        EXPECT_EQ(area.bottom, 82);
        EXPECT_EQ(area.left, 10);
        EXPECT_EQ(area.right, 300);
    }
    SIZINGBAR bar(parent, 8, "Console Width", 100, 1);
    EXPECT_EQ(bar.getpos(), 100);
    bar.locate(0, 200, 100, 0);
    RECT area = placed(bar, parent);
    EXPECT_EQ(area.left, 99);
    EXPECT_EQ(area.right, 102);
    EXPECT_EQ(area.bottom, 200);

    mouse(bar.gethwnd(), WM_MOUSEMOVE, 1, 50);
    mouse(bar.gethwnd(), WM_LBUTTONDOWN, 1, 50, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), bar.gethwnd());
    mouse(bar.gethwnd(), WM_MOUSEMOVE, 1 + 12, 50, MK_LBUTTON);
    mouse(bar.gethwnd(), WM_LBUTTONUP, 1 + 12, 50);
    mouse(bar.gethwnd(), WM_MOUSEMOVE, 1 + 30, 50);
    auto moved = messagesof(SIZINGBAR_MOVED);
    ASSERT_EQ(moved.size(), 1u) << "moves only while dragged";
    EXPECT_EQ(moved[0].wParam, 8u);
    EXPECT_EQ(moved[0].lParam, 100 + 12);
    EXPECT_EQ(GetCapture(), nullptr);

    bar.setpos(140);
    bar.save("Console Width");
    SIZINGBAR again(parent, 8, "Console Width", 100, 1);
    EXPECT_EQ(again.getpos(), 140) << "the saved position wins";
    again.setpos(50);
    again.restore("No Such Bar");
    EXPECT_EQ(again.getpos(), 50);
}

} // namespace
