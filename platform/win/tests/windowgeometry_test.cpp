#include <gtest/gtest.h>

#include "platform/win/monitors.h"
#include "platform/win/tests/recorder.h"

using namespace wintest;

namespace {

bool same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST(WindowGeometry, MovingAndSizingSendsPositionMessagesAndTheDefaultTurnsThemIntoSizeAndMove)
{
    Fresh fresh;
    HWND top = toplevel(100, 100, 400, 300);
    HWND kid = child(top, 1, RECT { 10, 20, 110, 70 }, WS_CHILD | WS_VISIBLE | WS_BORDER);
    received().clear();

    SetWindowPos(kid, nullptr, 30, 40, 200, 100, SWP_NOZORDER);
    EXPECT_EQ(sequence(kid, { WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE }),
        (std::vector<UINT> { WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE }));
    auto sizes = messagesof(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lParam), 198) << "the border is not client area";
    EXPECT_EQ(HIWORD(sizes[0].lParam), 98);

    RECT onscreen;
    GetWindowRect(kid, &onscreen);
    EXPECT_TRUE(same(onscreen, RECT { 130, 140, 330, 240 }));
    tagPOINT p { 0, 0 };
    ClientToScreen(kid, &p);
    EXPECT_EQ(p.x, 131);
    EXPECT_EQ(p.y, 141);

    received().clear();
    MoveWindow(kid, 60, 40, 200, 100, TRUE);
    EXPECT_EQ(sequence(kid, { WM_SIZE, WM_MOVE }), (std::vector<UINT> { WM_MOVE }))
        << "a plain move sends no WM_SIZE";
    received().clear();
    MoveWindow(kid, 60, 40, 200, 100, TRUE);
    EXPECT_TRUE(sequence(kid, { WM_WINDOWPOSCHANGED }).empty()) << "no change, no message";
}

TEST(WindowGeometry, WindowPosChangingMayAlterTheMove)
{
    Fresh fresh;
    HWND top = toplevel(0, 0, 800, 600);
    answer() = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_WINDOWPOSCHANGING) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            pos->cx = std::max(pos->cx, 640);
        }
        return std::nullopt;
    };
    SetWindowPos(top, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOMOVE);
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 100);
}

TEST(WindowGeometry, ShowStatesKeepTheRestoredRectangle)
{
    Fresh fresh;
    win::overridemonitors(
        std::vector<win::Monitor> { { RECT { 0, 0, 1600, 1200 }, RECT { 0, 0, 1600, 1160 }, true, 96 } });
    HWND top = toplevel(100, 100, 400, 300);
    EXPECT_FALSE(ShowWindow(top, SW_SHOWMAXIMIZED));
    EXPECT_TRUE(IsZoomed(top));
    EXPECT_TRUE(IsWindowVisible(top));
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_TRUE(same(r, RECT { 0, 0, 1600, 1160 }));
    auto sizes = messagesof(WM_SIZE);
    EXPECT_EQ(sizes.back().wParam, SIZE_MAXIMIZED);

    ShowWindow(top, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(top));
    EXPECT_EQ(messagesof(WM_SIZE).back().wParam, SIZE_MINIMIZED);
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(top, &placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(placement.flags, WPF_RESTORETOMAXIMIZED);
    EXPECT_TRUE(same(placement.rcNormalPosition, RECT { 100, 100, 500, 400 }));

    ShowWindow(top, SW_RESTORE);
    EXPECT_TRUE(IsZoomed(top)) << "restoring a window minimised from maximised maximises it";
    ShowWindow(top, SW_SHOWNORMAL);
    GetWindowRect(top, &r);
    EXPECT_TRUE(same(r, RECT { 100, 100, 500, 400 }));
    win::overridemonitors(std::nullopt);
}

TEST(WindowGeometry, PlacementRoundTripAndBadRecords)
{
    Fresh fresh;
    HWND top = toplevel(10, 20, 300, 200);
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    GetWindowPlacement(top, &placement);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    placement.rcNormalPosition = RECT { 50, 60, 350, 260 };
    placement.showCmd = SW_SHOWMAXIMIZED;
    EXPECT_TRUE(SetWindowPlacement(top, &placement));
    EXPECT_TRUE(IsZoomed(top));
    EXPECT_TRUE(IsWindowVisible(top)) << "applying a placement shows the window";
    WINDOWPLACEMENT back {};
    back.length = sizeof back;
    GetWindowPlacement(top, &back);
    EXPECT_TRUE(same(back.rcNormalPosition, RECT { 50, 60, 350, 260 }));

    placement.length = 40;
    EXPECT_FALSE(SetWindowPlacement(top, &placement));
}

TEST(WindowGeometry, HitTestingFindsTheDeepestVisibleEnabledWindow)
{
    Fresh fresh;
    HWND top = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND panel = child(top, 1, RECT { 10, 10, 210, 210 });
    HWND button = child(panel, 2, RECT { 5, 5, 55, 25 });
    HWND hidden = child(top, 3, RECT { 300, 10, 390, 100 }, WS_CHILD);

    EXPECT_EQ(WindowFromPoint(tagPOINT { 20, 20 }), button);
    EXPECT_EQ(WindowFromPoint(tagPOINT { 100, 100 }), panel);
    EXPECT_EQ(WindowFromPoint(tagPOINT { 320, 20 }), top);
    EXPECT_EQ(ChildWindowFromPointEx(top, tagPOINT { 320, 20 }, CWP_ALL), hidden)
        << "all children, hidden ones too";
    EXPECT_EQ(ChildWindowFromPointEx(top, tagPOINT { 320, 20 }, CWP_SKIPINVISIBLE), top);
    EXPECT_EQ(ChildWindowFromPointEx(top, tagPOINT { 500, 20 }, CWP_ALL), nullptr);
    EnableWindow(button, FALSE);
    EXPECT_EQ(WindowFromPoint(tagPOINT { 20, 20 }), panel);
    EXPECT_EQ(WindowFromPoint(tagPOINT { 1000, 1000 }), nullptr);

    tagPOINT points[1] = { { 5, 5 } };
    MapWindowPoints(button, top, points, 1);
    EXPECT_EQ(points[0].x, 20);
    EXPECT_EQ(points[0].y, 20);
}
