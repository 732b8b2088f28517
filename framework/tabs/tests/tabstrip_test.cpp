#include "framework/tabs/tabstrip.h"
#include "framework/tabs/tests/tabmouse.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "framework/appln/applnwindow.h"
#include "framework/context/windowmessages.h"
#include "framework/tabs/tablook.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/menutracking.h"
#include "platform/win/paint.h"
#include "platform/win/qt/controls.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/winqt.h"

namespace {

using namespace wintest;

struct TabsLayer : testing::Environment {
    void SetUp() override
    {
        ASSERT_TRUE(BASEWIN::initialise("APPLN"));
        dlg_init(nullptr);
    }
    void TearDown() override
    {
        dlg_term();
        BASEWIN::terminate();
    }
};

testing::Environment* const tabslayer = testing::AddGlobalTestEnvironment(new TabsLayer);

// A module window standing for a tab: a caption, a small icon, and whether it may be closed.
class TABWINDOW : public APPLNWINDOW {
public:
    TABWINDOW(HWND parent, const char* caption, int closable)
        : closable(closable)
    {
        bind(CreateWindowExA(
            0, cls_dclk_noDC, caption, WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr));
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(QColor(200, 30, 30));
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(winqt::toicon(image)));
    }
    int canbeclosed() override { return closable; }

    int closable;
};

// A strip of tabs in a recording parent that stands for the frame, and the tabs' windows.
struct STRIPWINDOW : FreshQt {
    explicit STRIPWINDOW(int width)
        : parent(toplevel(100, 100, width, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE))
        , owned(std::make_unique<TABSTRIP>(parent, 2))
    {
        MoveWindow(owned->hwnd, 0, 10, width, owned->getheight() + 1, TRUE);
    }
    ~STRIPWINDOW()
    {
        owned.reset();
        windows.clear();
    }

    HWND parent;
    std::unique_ptr<TABSTRIP> owned;
    std::vector<std::unique_ptr<TABWINDOW>> windows;
};

struct STRIP : STRIPWINDOW, tabtest::TABMOUSE {
    explicit STRIP(int width = 640)
        : STRIPWINDOW(width)
        , TABMOUSE(*owned)
    {
    }
    void add(std::initializer_list<const char*> captions, int closable = 1)
    {
        for (const char* caption : captions) {
            windows.push_back(std::make_unique<TABWINDOW>(parent, caption, closable));
            strip.addtab(windows.back().get(), 1, -1);
        }
        paint();
    }
    // What the parent heard of a message, in order: wParam and lParam.
    std::vector<std::pair<WPARAM, LPARAM>> heard(UINT message)
    {
        std::vector<std::pair<WPARAM, LPARAM>> list;
        for (const Received& r : messagesof(message))
            if (r.hwnd == parent)
                list.emplace_back(r.wParam, r.lParam);
        return list;
    }
};

TEST(TabStrip, AClickSelectsATabOnceAndTellsTheParent)
{
    STRIP s;
    s.add({ "Schematic", "Graph", "Library" });
    s.click(s.middle(1));
    s.click(s.middle(1));
    EXPECT_EQ(s.strip.activetab(), 1);
    ASSERT_EQ(s.heard(WM_SELECTWINDOW).size(), 1u) << "the active tab again sends nothing";
    EXPECT_EQ(s.heard(WM_SELECTWINDOW)[0],
        std::make_pair(reinterpret_cast<WPARAM>(s.strip.hwnd), static_cast<LPARAM>(MAKELPARAM(1, 0xFFFF))));
}

TEST(TabStrip, TheCloseButtonAsksTheParentUnlessTheWindowRefusesClosingThenItSelects)
{
    STRIP s;
    s.add({ "Schematic", "Graph" });
    s.add({ "Locked" }, 0);
    s.click(s.closebox(1));
    ASSERT_EQ(s.heard(WM_CLOSETAB).size(), 1u);
    EXPECT_EQ(s.heard(WM_CLOSETAB)[0].second, 1);
    EXPECT_EQ(s.strip.activetab(), -1) << "closing is the parent's business";

    s.click(s.closebox(2));
    EXPECT_EQ(s.heard(WM_CLOSETAB).size(), 1u);
    EXPECT_EQ(s.strip.activetab(), 2);
}

TEST(TabStrip, TheCloseButtonLightsUnderThePointerAndGoesOutAfterIt)
{
    STRIP s;
    s.add({ "Schematic", "Graph" });
    s.mouse(WM_MOUSEMOVE, s.closebox(0));
    EXPECT_EQ(s.strip.tab(0)->hot, 1);
    EXPECT_EQ(s.strip.tab(1)->hot, 0);
    // The pointer leaves the strip without a move the strip sees: the timer finds it gone.
    SetCursorPos(5, 5);
    EXPECT_TRUE(turnuntil([&] { return s.strip.tab(0)->hot == 0; }));
}

TEST(TabStrip, DraggingTheThirdTabOntoTheFirstMovesItThereAndReportsItsOldPlace)
{
    STRIP s;
    s.add({ "Schematic", "Graph", "Library" });
    s.drag(2, 0);
    EXPECT_EQ(s.order(), (std::vector<std::string> { "Library", "Schematic", "Graph" }));
    EXPECT_EQ(s.strip.activetab(), 0);
    const auto selections = s.heard(WM_SELECTWINDOW);
    ASSERT_EQ(selections.size(), 2u) << "the press selects, the drop moves";
    EXPECT_EQ(selections[1].second, MAKELPARAM(0, 2));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(TabStrip, ADragReleasedOverTheFrameChangesNothingAndOneReleasedOutsideSplitsTheTab)
{
    STRIP s;
    s.add({ "Schematic", "Graph", "Library" });
    const tagPOINT from = s.middle(1);
    s.mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
    s.mouse(WM_MOUSEMOVE, { from.x + 4, from.y }, MK_LBUTTON);
    s.mouse(WM_MOUSEMOVE, { 200, 200 }, MK_LBUTTON);
    s.mouse(WM_LBUTTONUP, { 200, 200 });
    EXPECT_EQ(s.order(), (std::vector<std::string> { "Schematic", "Graph", "Library" }));
    EXPECT_TRUE(s.heard(WM_MOVEWINDOWTOFRAME).empty());

    s.mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
    s.mouse(WM_MOUSEMOVE, { from.x + 4, from.y }, MK_LBUTTON);
    const HCURSOR before = GetCursor();
    s.onscreen(WM_MOUSEMOVE, { 900, 600 }, MK_LBUTTON);
    const HCURSOR dragging = GetCursor();
    EXPECT_NE(dragging, before) << "the thumbnail of the dragged window";
    const QImage thumbnail = winqt::toimage(dragging);
    EXPECT_TRUE(thumbnail.width() > 32 && thumbnail.height() > 32);
    s.onscreen(WM_LBUTTONUP, { 900, 600 });
    const auto splits = s.heard(WM_MOVEWINDOWTOFRAME);
    ASSERT_EQ(splits.size(), 1u);
    EXPECT_EQ(splits[0], std::make_pair(WPARAM(1), static_cast<LPARAM>(MAKELPARAM(900, 600))));
    EXPECT_EQ(GetCursor(), before);
}

TEST(TabStrip, ADoubleClickSplitsTheTabAtThePointer)
{
    STRIP s;
    s.add({ "Schematic", "Graph" });
    tagPOINT at = s.middle(1);
    s.mouse(WM_LBUTTONDBLCLK, at, MK_LBUTTON);
    ClientToScreen(s.strip.hwnd, &at);
    ASSERT_EQ(s.heard(WM_MOVEWINDOWTOFRAME).size(), 1u);
    EXPECT_EQ(s.heard(WM_MOVEWINDOWTOFRAME)[0],
        std::make_pair(WPARAM(1), static_cast<LPARAM>(MAKELPARAM(at.x, at.y))));
}

TEST(TabStrip, TabsThatDoNotFitScrollToTheActiveOneAndTheButtonListsTheHiddenOnes)
{
    STRIP s(420);
    s.add({ "One" });
    EXPECT_EQ(s.strip.getoverflowbutton(), nullptr) << "one tab fits";
    s.add({ "Second window", "Third window", "Fourth window", "Fifth window", "Sixth window",
        "Seventh window" });
    ASSERT_TRUE(s.strip.isoverflowing());
    ASSERT_NE(s.strip.getoverflowbutton(), nullptr);
    EXPECT_TRUE(IsWindowVisible(s.strip.getoverflowbutton()));
    EXPECT_EQ(s.strip.firstvisibletab(), 0);
    const int last = s.strip.lastvisibletab();
    ASSERT_LT(last, 6);

    s.strip.select(6);
    s.paint();
    EXPECT_GT(s.strip.firstvisibletab(), 0) << "scrolled";
    EXPECT_EQ(s.strip.lastvisibletab(), 6);

    // The button's menu: exactly the hidden tabs; choosing the first of them selects it.
    std::vector<std::string> listed;
    std::vector<UINT> ids;
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        HMENU menu = win::trackedmenu();
        if (!menu || !listed.empty())
            return;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            listed.push_back(text);
            ids.push_back(GetMenuItemID(menu, i));
        }
        win::menuchosen(ids.front());
        EndMenu();
    });
    chooser.start(5);
    const int first = s.strip.firstvisibletab();
    SendMessageA(s.strip.getoverflowbutton(), BM_CLICK, 0, 0);
    std::vector<std::string> hidden;
    for (int i = 0; i < s.strip.numtabs(); ++i)
        if (i < first || i > 6)
            hidden.push_back(s.strip.tab(i)->window->getcaption());
    EXPECT_EQ(listed, hidden);
    EXPECT_EQ(s.strip.activetab(), 0);
    s.paint();
    EXPECT_EQ(s.strip.firstvisibletab(), 0);
}

TEST(TabStrip, ACaptionOrIconChangedIsDrawnAtItsNewWidthOnceTheStripIsTold)
{
    STRIP s;
    s.add({ "Graph", "Library" });
    const int graph = s.strip.tab(0)->width;
    int left = 0;
    int right = 0;
    ASSERT_TRUE(s.strip.tabspan(1, left, right));
    const int library = left;

    SetWindowTextA(s.windows[0]->hwnd, "Graph of the output voltage");
    s.strip.updatetabs();
    s.paint();
    EXPECT_GT(s.strip.tab(0)->width, graph);
    ASSERT_TRUE(s.strip.tabspan(1, left, right));
    EXPECT_GT(left, library) << "the next tab moves along";

    const int named = s.strip.tab(0)->width;
    SendMessageA(s.windows[0]->hwnd, WM_SETICON, ICON_SMALL, 0);
    s.strip.updatetabs();
    s.paint();
    EXPECT_EQ(s.strip.tab(0)->icon, nullptr);
    EXPECT_LT(s.strip.tab(0)->width, named) << "no room kept for an icon that is gone";
}

TEST(TabStrip, EveryCaptionEndsBeforeItsCloseButtonActiveOrNot)
{
    STRIP s;
    s.add({ "Schematic Capture", "Graph" });
    SendMessageA(s.windows[0]->hwnd, WM_SETICON, ICON_SMALL, 0);
    s.strip.updatetabs();
    s.strip.select(0);
    s.paint();
    LOGFONTA look {};
    GetObjectA(tablook::textfont(), sizeof look, &look);
    look.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectA(&look);
    HDC dc = CreateCompatibleDC(nullptr);
    for (int i = 0; i < 2; ++i) {
        const TABSTRIP::TABINFO& tab = *s.strip.tab(i);
        HGDIOBJ old = SelectObject(dc, i == s.strip.activetab() ? bold : tablook::textfont());
        RECT caption {};
        DrawTextA(dc, tab.window->getcaption(), -1, &caption, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        SelectObject(dc, old);
        int left = 0;
        int right = 0;
        ASSERT_TRUE(s.strip.tabspan(i, left, right));
        // An icon before the caption takes a close button's width.
        const int iconwidth = tab.icon ? tab.closebox.right - tab.closebox.left : 0;
        const int captionstart = left + s.strip.captioninset() + iconwidth;
        EXPECT_LE(captionstart + caption.right - caption.left, tab.closebox.left) << tab.window->getcaption();
    }
    DeleteDC(dc);
    DeleteObject(bold);
}

TEST(TabStrip, RemovingATabEndsADragAndLeavesNoTabActive)
{
    STRIP s;
    s.add({ "Schematic", "Graph" });
    const tagPOINT from = s.middle(1);
    s.mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
    s.mouse(WM_MOUSEMOVE, { from.x + 4, from.y }, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), s.strip.hwnd);
    s.strip.removetab(1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(s.strip.numtabs(), 1);
    EXPECT_EQ(s.strip.activetab(), -1);
    s.strip.removetab(5);
    EXPECT_EQ(s.strip.numtabs(), 1) << "an index outside the tabs is ignored";
}

} // namespace
