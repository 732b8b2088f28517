#include "framework/bars/toolbar.h"

#include <QHelpEvent>
#include <QToolButton>
#include <QToolTip>

#include "framework/appln/applnmodule.h"

#include "framework/bars/barmessages.h"
#include "framework/bars/tests/bartest.h"
#include "platform/win/gdi.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/winqt.h"

using namespace bartest;
using namespace wintest;

namespace {

struct OPENTOOLBAR : TOOLBAR {
    using TOOLBAR::TOOLBAR;
    HIMAGELIST hot() const { return hotimages; }
    HIMAGELIST greyed() const { return disabledimages; }
};

QColor pixel(HIMAGELIST list, int image, int x, int y)
{
    HICON icon = ImageList_GetIcon(list, image, ILD_NORMAL);
    QColor colour = winqt::toimage(icon).pixelColor(x, y);
    DestroyIcon(icon);
    return colour;
}

RECT itemrect(HWND toolbar, int index)
{
    RECT r {};
    SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

struct ToolbarTest : testing::Test {
    ToolbarTest()
    {
        bitmaps.add("TBTEST", strip(4, 16)).install();
        parent.hwnd = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    }

    FreshQt fresh;
    SCREENAT screen { 96 };
    BITMAPS bitmaps;
    BASEHWND parent;
};

TEST_F(ToolbarTest, TheStripGivesNormalLightenedAndGreyedImages)
{
    auto* bar = new OPENTOOLBAR(&parent, 0x2010, "Test", "TBTEST", 1);
    HWND toolbar = bar->gettoolbar();
    HIMAGELIST normal = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_EQ(ImageList_GetImageCount(normal), 4);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETHOTIMAGELIST, 0, 0)), bar->hot());
    EXPECT_EQ(pixel(normal, 1, 5, 5), QColor(40, 40, 40));
    EXPECT_EQ(pixel(normal, 1, 0, 0).alpha(), 0) << "the mask grey is transparent";
    // 40 lightened: red 40 x 1.1 + 14, green 40 x 1.07 + 11, blue 40 x 1.08 + 12, truncated.
    EXPECT_EQ(pixel(bar->hot(), 1, 5, 5), QColor(58, 53, 55));
    EXPECT_EQ(pixel(bar->hot(), 3, 5, 5), QColor(146, 139, 141));
    EXPECT_EQ(pixel(bar->hot(), 1, 0, 0).alpha(), 0);
    EXPECT_NE(pixel(bar->greyed(), 3, 5, 5), pixel(normal, 3, 5, 5)) << "Qt's disabled look";
    EXPECT_EQ(pixel(bar->greyed(), 3, 0, 0).alpha(), 0);
}

TEST_F(ToolbarTest, ButtonsReportHintsAndCommandsToTheWindow)
{
    auto* bar = new TOOLBAR(&parent, 0x2010, "Test", "TBTEST", 1);
    char title[32] = {};
    GetWindowTextA(bar->gethwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Test");
    bar->addbuttons(0, 0x300, 3);
    EXPECT_EQ(bar->numbuttons(), 3);
    EXPECT_EQ(bar->getbitmap(0x302), 2);
    bar->setbitmap(0x302, 3);
    EXPECT_EQ(bar->getbitmap(0x302), 3);
    ShowWindow(bar->gethwnd(), SW_SHOW);
    HWND toolbar = bar->gettoolbar();
    RECT second = itemrect(toolbar, 1);

    received().clear();
    mouse(toolbar, WM_MOUSEMOVE, second.left + 3, 3);
    SendMessageA(toolbar, WM_MOUSELEAVE, 0, 0);
    auto hints = messagesof(WM_COMMANDHINT);
    ASSERT_EQ(hints.size(), 2u);
    EXPECT_EQ(reinterpret_cast<HWND>(hints[0].wParam), bar->gethwnd());
    EXPECT_EQ(hints[0].lParam, MAKELPARAM(0x301, 0x110));
    EXPECT_EQ(hints[1].lParam, MAKELPARAM(0, 0x110)) << "the pointer left the buttons";

    bar->setcmdctx(0x120);
    mouse(toolbar, WM_MOUSEMOVE, second.left + 3, 3);
    mouse(toolbar, WM_LBUTTONDOWN, second.left + 3, 3, MK_LBUTTON);
    mouse(toolbar, WM_LBUTTONUP, second.left + 3, 3);
    EXPECT_EQ(messagesof(WM_COMMANDHINT).back().lParam, MAKELPARAM(0x301, 0x120));
    auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].hwnd, parent.hwnd);
    EXPECT_EQ(LOWORD(commands[0].wParam), 0x301);
    EXPECT_EQ(bar->edit(), 0x301);
    EXPECT_EQ(bar->edit(), 0) << "edit clears the last command";
}

// A module whose context is current, with commands in its table.
struct TIPMODULE : APPLNMODULE {
    TIPMODULE()
        : APPLNMODULE(nullptr)
    {
        pushcontext();
        cmdtable.addcommand(0x110, 0x301, "Place &Wire", "Draws a wire.");
        cmdtable.addcommand(0x120, 0x301, "Rotate", nullptr);
    }
    ~TIPMODULE() override { popcontext(); }
};

TEST_F(ToolbarTest, TipsAreTheCommandTextsOfTheBarsContext)
{
    TIPMODULE module;
    auto* bar = new TOOLBAR(&parent, 0x2010, "Test", "TBTEST", 1);
    bar->addbuttons(0, 0x300, 3);
    auto tip = [&](int command) {
        char text[64] = "unchanged";
        NMTBGETINFOTIPA request {};
        request.hdr = NMHDR { bar->gettoolbar(), 0, TBN_GETINFOTIPA };
        request.pszText = text;
        request.cchTextMax = 8;
        request.iItem = command;
        SendMessageA(bar->gethwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
        return std::string(text);
    };
    EXPECT_EQ(tip(0x301), "Place &") << "cut to the request's buffer";
    EXPECT_EQ(tip(0x300), "unchanged") << "no command, no tip";
    bar->setcmdctx(0x120);
    EXPECT_EQ(tip(0x301), "Rotate");

    // Through the toolbar's own Qt button, as the user's pointer asks for it.
    bar->setcmdctx(0x110);
    RECT second {};
    SendMessageA(bar->gettoolbar(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    auto* button = dynamic_cast<QToolButton*>(
        winqt::widgetof(bar->gettoolbar())->childAt(second.left + 3, second.top + 3));
    ASSERT_NE(button, nullptr);
    QHelpEvent help(QEvent::ToolTip, QPoint(3, 3), button->mapToGlobal(QPoint(3, 3)));
    QCoreApplication::sendEvent(button, &help);
    ASSERT_TRUE(turnuntil([] { return QToolTip::isVisible(); }));
    EXPECT_TRUE(QToolTip::text().contains("Place Wire")) << QToolTip::text().toStdString();
    QToolTip::hideText();
}

TEST_F(ToolbarTest, ActiveCommandsEnableExactlyTheirButtons)
{
    auto* bar = new TOOLBAR(&parent, 0x2010, "Test", "TBTEST", 1);
    bar->addbuttons(0, 0x300, 3);
    bar->insertseparator(1);
    auto state = [&](int index) {
        TBBUTTON button {};
        SendMessageA(
            bar->gettoolbar(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        return button.fsState & TBSTATE_ENABLED;
    };
    bar->setactvcmds(nullptr, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(state(i)) << i;
    const int active[] = { 0x300, 0x302, 0 };
    bar->setactvcmds(active, 3);
    EXPECT_TRUE(bar->isbuttonenabled(0x300));
    EXPECT_TRUE(state(1)) << "a separator's command 0 is in the list";
    EXPECT_FALSE(bar->isbuttonenabled(0x301));
    EXPECT_TRUE(bar->isbuttonenabled(0x302));
    bar->enablebutton(0x301, 1);
    EXPECT_TRUE(bar->isbuttonenabled(0x301));
    bar->checkbutton(0x301, 1);
    EXPECT_TRUE(SendMessageA(bar->gettoolbar(), TB_ISBUTTONCHECKED, 0x301, 0));
}

TEST_F(ToolbarTest, TheBarIsARowOrInAVerticalRebarAColumnOfItsButtons)
{
    TESTFRAME test;
    auto* bar = new TOOLBAR(&test.frame, 0x2010, "Test", "TBTEST", 1);
    bar->addbuttons(0, 0x300, 3);
    BOX box = bar->resize();
    EXPECT_EQ(box.width() + 1, 3 * (16 + 6) + 2);
    EXPECT_EQ(box.height() + 1, 16 + 5 + 1);
    bar->attach(test.frame.getrebar(2), -1);
    EXPECT_TRUE(GetWindowLongA(bar->gettoolbar(), GWL_STYLE) & CCS_VERT);
    RECT client {};
    GetClientRect(bar->gethwnd(), &client);
    EXPECT_EQ(client.right, 16 + 6 + 2);
    EXPECT_EQ(client.bottom, 3 * (16 + 5) + 2);
    test.frame.getrebar(2)->detach(bar);
    bar->resize();
    EXPECT_FALSE(GetWindowLongA(bar->gettoolbar(), GWL_STYLE) & CCS_VERT);
}

} // namespace
