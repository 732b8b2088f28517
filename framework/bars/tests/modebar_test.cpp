#include "framework/bars/modebar.h"

#include "framework/bars/tests/bartest.h"
#include "platform/win/monitors.h"

using namespace bartest;
using namespace wintest;

namespace {

TEST(ModeBar, TheMasksGiveOneButtonPerModeAndAClickMakesItsModeCurrent)
{
    FreshQt fresh;
    BITMAPS bitmaps;
    bitmaps.add("TBMODES", strip(4, 16)).install();
    BASEHWND parent;
    parent.hwnd = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    const unsigned short masks[] = { 0x0007, 0x0001, 0 };
    auto* bar = new MODEBAR(&parent, 0x2020, "TBMODES", masks);
    ShowWindow(bar->gethwnd(), SW_SHOW);
    HWND toolbar = bar->gettoolbar();
    EXPECT_EQ(bar->getcmdctx(), 0x130);

    const struct {
        int command;
        int image;
        bool separator;
    } expected[] = { { 0x1000, 0, false }, { 0x1001, 1, false }, { 0x1002, 2, false }, { 0, 4, true },
        { 0x1010, 3, false } };
    ASSERT_EQ(bar->numbuttons(), 5);
    for (int i = 0; i < 5; ++i) {
        TBBUTTON button {};
        SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, expected[i].command) << i;
        EXPECT_EQ(button.iBitmap, expected[i].image) << i;
        EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0, expected[i].separator) << i;
    }
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 0x1000, 0)) << "mode 0 is current";

    auto clickon = [&](int index) {
        RECT r {};
        SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        mouse(toolbar, WM_LBUTTONDOWN, r.left + 3, 3, MK_LBUTTON);
        mouse(toolbar, WM_LBUTTONUP, r.left + 3, 3);
    };
    received().clear();
    clickon(0);
    auto changes = messagesof(WM_COMMAND);
    ASSERT_EQ(changes.size(), 1u) << "the current mode's button tells the window too";
    EXPECT_EQ(changes[0].wParam, MODEBAR_CHANGED);
    EXPECT_EQ(bar->edit(), MODEBAR_CHANGED);

    clickon(4);
    EXPECT_EQ(messagesof(WM_COMMAND).size(), 2u);
    EXPECT_EQ(bar->editmode(), 0x10);
    EXPECT_EQ(bar->mainmode(), 1);
    EXPECT_EQ(bar->submode(), 0);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 0x1010, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 0x1000, 0));

    bar->setmode(2);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 0x1002, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 0x1010, 0));
    const unsigned short some[] = { 0x0005, 0, 0 };
    bar->enable(some);
    EXPECT_TRUE(bar->mode_enabled(0));
    EXPECT_FALSE(bar->mode_enabled(1));
    EXPECT_TRUE(bar->mode_enabled(-1)) << "mode 2, the current one";
    EXPECT_FALSE(bar->mode_enabled(0x10));
    bar->enable(nullptr);
    EXPECT_TRUE(bar->mode_enabled(1));
    EXPECT_TRUE(bar->mode_enabled(0x10));
}

} // namespace
