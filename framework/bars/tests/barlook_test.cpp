// What the bars draw with the dialog library's look: the rebars' background, the sizing bar, the
// toolbar buttons the bar draws itself, the status bar's boxes and progress.

#include "framework/bars/ctrlbar.h"
#include "framework/bars/sizingbar.h"
#include "framework/bars/statusbar.h"
#include "framework/bars/tests/bartest.h"
#include "framework/bars/toolbar.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

using namespace bartest;
using namespace wintest;

namespace {

QColor qcolour(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

struct BarLookTest : testing::Test {
    BarLookTest() { bitmaps.add("TBTEST", strip(4, 16)).install(); }

    FreshQt fresh;
    SCREENAT screen { 144 };
    BITMAPS bitmaps;
};

TEST_F(BarLookTest, RebarsPaintTheirSideColoursAndAFaceBehindEachBar)
{
    TESTFRAME test;
    QImage empty = winqt::grabwindow(test.rebarwindow(0));
    EXPECT_EQ(empty.pixelColor(5, 2), qcolour(grad_4colour)) << "a rebar without bars";
    CTRLBAR::setsizing(16);
    auto* bar = new TOOLBAR(&test.frame, 0x2010, "Test", "TBTEST", 1);
    CTRLBAR::setsizing(0);
    bar->addbuttons(0, 0x300, 2);
    bar->attach(test.frame.getrebar(3), -1);
    QImage right = winqt::grabwindow(test.rebarwindow(3));
    EXPECT_EQ(right.pixelColor(right.width() / 2, right.height() - 3), qcolour(gradb_1colour))
        << "the right rebar below its bar";
}

TEST_F(BarLookTest, TheSizingBarShowsTheBorderTone)
{
    HWND parent = toplevel(100, 100, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SIZINGBAR bar(parent, 8, "Look", 100, 1);
    bar.locate(0, 200, 100, 0);
    EXPECT_EQ(winqt::grabwindow(bar.gethwnd()).pixelColor(1, 50), qcolour(grad_4colour));
}

TEST_F(BarLookTest, TheBarDrawsCheckedAndHotButtonsItself)
{
    BASEHWND parent;
    parent.hwnd = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    CTRLBAR::setsizing(16);
    auto* bar = new TOOLBAR(&parent, 0x2010, "Test", "TBTEST", 1);
    CTRLBAR::setsizing(0);
    const TBBUTTON buttons[] = {
        { 0, 0x300, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, 0 },
        { 1, 0x301, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
    };
    bar->addbuttons(buttons, 2);
    bar->resize();
    ShowWindow(bar->gethwnd(), SW_SHOW);
    HWND toolbar = bar->gettoolbar();
    RECT checked {};
    SendMessageA(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&checked));
    RECT plain {};
    SendMessageA(toolbar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&plain));
    mouse(toolbar, WM_MOUSEMOVE, plain.left + 3, 3);
    UpdateWindow(toolbar);
    QImage shown = winqt::grabwindow(toolbar);
    EXPECT_EQ(shown.pixelColor(checked.left, checked.top + 5), qcolour(tb_checkedborder_colour));
    EXPECT_EQ(shown.pixelColor(checked.left + 5, checked.top + 8), QColor(0, 0, 0)) << "its image, image 0";
    EXPECT_EQ(shown.pixelColor(plain.left, plain.top + 5), qcolour(tb_hotborder_colour));
    // The hot gradient runs from its first colour at the top to its second at the bottom.
    auto nearer = [](QColor c, COLORREF to, COLORREF from) {
        auto distance = [&](COLORREF r) {
            return std::abs(c.red() - GetRValue(r)) + std::abs(c.green() - GetGValue(r))
                + std::abs(c.blue() - GetBValue(r));
        };
        return distance(to) < distance(from);
    };
    EXPECT_TRUE(
        nearer(shown.pixelColor(plain.left + 3, plain.top + 1), tb_hotgrad1_colour, tb_hotgrad2_colour));
    EXPECT_TRUE(
        nearer(shown.pixelColor(plain.left + 3, plain.bottom - 2), tb_hotgrad2_colour, tb_hotgrad1_colour));
    mouse(toolbar, WM_LBUTTONDOWN, plain.left + 3, 3, MK_LBUTTON);
    UpdateWindow(toolbar);
    shown = winqt::grabwindow(toolbar);
    EXPECT_EQ(shown.pixelColor(plain.left, plain.top + 5), qcolour(tb_activeborder_colour)) << "pressed";
    mouse(toolbar, WM_LBUTTONUP, plain.left + 3, 3);
}

// A status bar wide enough for its boxes, sized for its font, shown.
STATUSBAR* shownbar(BASEHWND& parent)
{
    parent.hwnd = toplevel(50, 50, 700, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    auto* bar = new STATUSBAR(&parent, 3);
    bar->resize();
    ShowWindow(bar->gethwnd(), SW_SHOW);
    return bar;
}

TEST_F(BarLookTest, TabBoxesScaleWithTheScreenAndAProgressBoxFillsToItsPercentage)
{
    BASEHWND parent;
    STATUSBAR* bar = shownbar(parent);
    const int widths[] = { 100, 50, 80 };
    bar->settabboxes("SLCP", widths);
    struct Case {
        const char* text;
        int filled; // pixels of the progress box's fill, at 144 dots per inch
    } cases[] = { { "Busy\t\t40", 120 * 40 / 100 }, { "Busy\t\t150", 120 - 2 }, { "Busy\t\t-20", 0 } };
    const int progress = 150 + 1 + 75 + 1; // where the third box starts
    for (const Case& c : cases) {
        bar->message('S', c.text, 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, 0);
        QImage shown = winqt::grabwindow(bar->gethwnd());
        const int y = shown.height() - 2;
        if (c.filled > 0) {
            EXPECT_EQ(shown.pixelColor(progress + 1, y), QColor(0, 0, 192)) << c.text;
            EXPECT_EQ(shown.pixelColor(progress + c.filled, y), QColor(0, 0, 192)) << c.text;
        }
        EXPECT_NE(shown.pixelColor(progress + c.filled + 1, y), QColor(0, 0, 192)) << c.text;
    }
}

TEST_F(BarLookTest, AMessageBackgroundFillsTheBarUnlessItsFlagsSayNot)
{
    BASEHWND parent;
    STATUSBAR* bar = shownbar(parent);
    const COLORREF yellow = RGB(255, 255, 0);
    bar->message('E', "Error", 0, 0, RGB(200, 0, 0), yellow, 0);
    QImage shown = winqt::grabwindow(bar->gethwnd());
    EXPECT_EQ(shown.pixelColor(shown.width() - 3, 3), qcolour(yellow));
    bar->message('E', "Error", 0, STATUSBAR_NOFILL, RGB(200, 0, 0), yellow, 0);
    shown = winqt::grabwindow(bar->gethwnd());
    EXPECT_NE(shown.pixelColor(shown.width() - 3, 3), qcolour(yellow));
    bar->reset(0);
    bar->setdeftext(0, 0, "Ready");
    shown = winqt::grabwindow(bar->gethwnd());
    EXPECT_NE(shown.pixelColor(shown.width() - 3, 3), qcolour(yellow));
}

} // namespace
