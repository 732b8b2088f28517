#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "platform/win/images.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"
#include "platform/win/qt/controls.h"
#include "platform/win/qt/tests/imagestrip.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

HWND control(const char* type, HWND parent, DWORD style, RECT r, int id = 1)
{
    return CreateWindowExA(0, type, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}

// Moves the pointer to a client point of the window and lets the messages through.
void pointer(HWND window, UINT message, int x, int y, WPARAM keys = 0)
{
    tagPOINT at { x, y };
    ClientToScreen(window, &at);
    win::postmouse(message, at, keys, 0, window);
    while (win::deliverqueued()) { }
}

// The Qt widget of a control that stands over a client point of the control's window.
template <typename Widget> Widget* widgetat(HWND window, int x, int y)
{
    QWidget* native = winqt::widgetof(window);
    return native ? dynamic_cast<Widget*>(native->childAt(x, y)) : nullptr;
}

// A left click as the user's pointer gives it to a widget.
void click(QWidget* widget)
{
    QPointF middle = QRectF(widget->rect()).center();
    for (auto type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
        QMouseEvent event(type, middle, widget->mapToGlobal(middle), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

// A strip of n 16 x 16 images: image i filled with grey level 40 i, on the mask colour's border.
QImage stripimage(int n)
{
    QImage image(16 * n, 16, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    for (int i = 0; i < n; ++i) {
        for (int y = 2; y < 14; ++y) {
            for (int x = 2; x < 14; ++x) {
                image.setPixelColor(16 * i + x, y, QColor(40 * i, 40 * i, 40 * i));
            }
        }
    }
    return image;
}

HBITMAP strip(int n)
{
    return winqt::tobitmap(stripimage(n));
}

} // namespace

TEST(QtToolbar, ButtonsLayOutReportTheHotItemAndClickThroughWmCommand)
{
    FreshQt fresh;
    // Away from the toolkit's pointer, which would otherwise enter the first button.
    HWND parent = toplevel(300, 300, 400, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND bar = control(
        TOOLBARCLASSNAMEA, parent, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER, RECT { 0, 0, 300, 30 });
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageA(bar, TB_SETPADDING, 0, MAKELPARAM(6, 5));
    TBBUTTON buttons[] = {
        { 0, 0x1000, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 1, 0x1001, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 4, 0, 0, BTNS_SEP | BTNS_GROUP, {}, 0, 0 },
        { 2, 0x2000, TBSTATE_ENABLED, BTNS_BUTTON, {}, 7, 0 },
        { 3, 0x2001, 0, BTNS_BUTTON, {}, 0, 0 },
    };
    SendMessageA(bar, TB_ADDBUTTONSA, 5, reinterpret_cast<LPARAM>(buttons));
    EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0), MAKELRESULT(22, 21));
    RECT r;
    SendMessageA(bar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 22 + 22 + 4) << "two buttons and a 4-pixel separator";
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    RECT window;
    GetWindowRect(bar, &window);
    EXPECT_EQ(window.right - window.left, 22 * 4 + 4);
    EXPECT_EQ(SendMessageA(bar, TB_GETBITMAP, 0x2000, 0), 2);
    TBBUTTON spacer { 0, 0x11E, 0, BTNS_SEP, {}, 0, 0 };
    SendMessageA(bar, TB_INSERTBUTTONA, 5, reinterpret_cast<LPARAM>(&spacer));
    TBBUTTONINFOA wider {};
    wider.cbSize = sizeof wider;
    wider.dwMask = TBIF_SIZE;
    wider.cx = 30;
    EXPECT_TRUE(SendMessageA(bar, TB_SETBUTTONINFOA, 0x11E, reinterpret_cast<LPARAM>(&wider)))
        << "a separator with a command of its own answers to it";
    SendMessageA(bar, TB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.right - r.left, 30);
    SendMessageA(bar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));

    received().clear();
    std::vector<NMTBHOTITEM> hot;
    answer() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TBN_HOTITEMCHANGE) {
            hot.push_back(*reinterpret_cast<NMTBHOTITEM*>(lParam));
        }
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TBN_GETINFOTIPA) {
            auto* tip = reinterpret_cast<NMTBGETINFOTIPA*>(lParam);
            std::snprintf(tip->pszText, tip->cchTextMax, "tip of %X", tip->iItem);
        }
        return std::nullopt;
    };
    pointer(bar, WM_MOUSEMOVE, r.left + 5, 5);
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), 3);
    pointer(bar, WM_LBUTTONDOWN, r.left + 5, 5, MK_LBUTTON);
    pointer(bar, WM_LBUTTONUP, r.left + 5, 5);
    pointer(bar, WM_MOUSEMOVE, 250, 5); // off the buttons, still over the bar
    ASSERT_EQ(hot.size(), 2u);
    EXPECT_EQ(hot[0].idNew, 0x2000);
    EXPECT_TRUE(hot[0].dwFlags & HICF_ENTERING);
    EXPECT_EQ(hot[1].idOld, 0x2000);
    EXPECT_EQ(hot[1].idNew, 0);
    EXPECT_TRUE(hot[1].dwFlags & HICF_LEAVING);
    auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 0x2000);
    EXPECT_EQ(reinterpret_cast<HWND>(commands[0].lParam), bar);

    SendMessageA(bar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r));
    pointer(bar, WM_LBUTTONDOWN, r.left + 5, 5, MK_LBUTTON);
    pointer(bar, WM_LBUTTONUP, r.left + 5, 5);
    EXPECT_EQ(messagesof(WM_COMMAND).size(), 1u) << "a disabled button does not click";

    SendMessageA(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    pointer(bar, WM_LBUTTONDOWN, r.left + 5, 5, MK_LBUTTON);
    pointer(bar, WM_LBUTTONUP, r.left + 5, 5);
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONCHECKED, 0x1001, 0));
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONCHECKED, 0x1000, 0)) << "one of a group is checked";

    // The buttons are Qt's, in a QToolBar, where the control laid them out; the user's pointer on
    // them gives the same notifications and commands.
    auto* first = widgetat<QToolButton>(bar, 5, 5);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(dynamic_cast<QToolBar*>(first->parentWidget()), nullptr);
    EXPECT_TRUE(first->isCheckable());
    EXPECT_FALSE(first->isChecked());
    EXPECT_EQ(first->geometry(), QRect(0, 0, 22, 21));
    auto* plain = widgetat<QToolButton>(bar, 22 * 2 + 4 + 5, 5);
    ASSERT_NE(plain, nullptr);
    hot.clear();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), plain->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(plain, &enter);
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), 3);
    click(plain);
    EXPECT_EQ(messagesof(WM_COMMAND).size(), 3u);
    EXPECT_EQ(LOWORD(messagesof(WM_COMMAND).back().wParam), 0x2000);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(plain, &leave);
    ASSERT_TRUE(turnuntil([&] { return SendMessageA(bar, TB_GETHOTITEM, 0, 0) == -1; }));
    ASSERT_EQ(hot.size(), 2u);
    EXPECT_TRUE(hot[1].dwFlags & HICF_LEAVING);

    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), plain->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(plain, &help);
    ASSERT_TRUE(turnuntil([] { return QToolTip::isVisible(); }));
    EXPECT_TRUE(QToolTip::text().contains("tip of 2000")) << QToolTip::text().toStdString();
    QToolTip::hideText();

    SendMessageA(bar, TB_ENABLEBUTTON, 0x2000, FALSE);
    EXPECT_FALSE(plain->isEnabled());
    click(plain);
    EXPECT_EQ(messagesof(WM_COMMAND).size(), 3u) << "a disabled button does not click";
}

TEST(QtToolbar, CustomDrawAsksForTheStagesItWasToldTo)
{
    FreshQt fresh;
    HWND parent = toplevel(0, 0, 300, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND bar = control(TOOLBARCLASSNAMEA, parent, TBSTYLE_FLAT | TBSTYLE_CUSTOMERASE, RECT { 0, 0, 200, 30 });
    TBBUTTON buttons[] = {
        { 0, 10, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
        { 1, 11, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, 0 },
    };
    SendMessageA(bar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    std::vector<std::pair<DWORD, UINT>> stages;
    answer() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != NM_CUSTOMDRAW) {
            return std::nullopt;
        }
        auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
        stages.emplace_back(draw->nmcd.dwDrawStage, draw->nmcd.uItemState);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        }
        if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT || draw->nmcd.dwItemSpec != 11) {
            return CDRF_DODEFAULT;
        }
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(draw->nmcd.hdc, &draw->nmcd.rc, red);
        DeleteObject(red);
        return CDRF_SKIPDEFAULT;
    };
    InvalidateRect(bar, nullptr, TRUE);
    UpdateWindow(bar);
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[0].first, CDDS_PREERASE);
    EXPECT_EQ(stages[1].first, CDDS_PREPAINT);
    EXPECT_EQ(stages[2].first, CDDS_ITEMPREPAINT);
    EXPECT_EQ(stages[3].first, CDDS_ITEMPREPAINT);
    EXPECT_TRUE(stages[3].second & CDIS_CHECKED);
    EXPECT_EQ(stages[4].first, CDDS_POSTPAINT);

    // The button the parent drew shows the parent's drawing, not Qt's.
    RECT drawn;
    SendMessageA(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&drawn));
    QImage shown = winqt::grabwindow(bar);
    EXPECT_EQ(
        shown.pixelColor((drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2), QColor(255, 0, 0));
}

TEST(QtRebar, BandsSizeTheBarWrapIntoRowsAndReportHeightChanges)
{
    FreshQt fresh;
    HWND frame = toplevel(0, 0, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND rebar = control(REBARCLASSNAMEA, frame,
        RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_TOP, RECT { 0, 0, 300, 0 });
    int heightchanges = 0;
    answer() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == RBN_HEIGHTCHANGE) {
            ++heightchanges;
        }
        return std::nullopt;
    };
    EXPECT_EQ(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0), 0);
    auto addband = [&](int width, int height, LPARAM tag) {
        HWND child = CreateWindowExA(
            0, recordingclass(), "", WS_CHILD, 0, 0, width, height, frame, nullptr, nullptr, nullptr);
        REBARBANDINFOA band {};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_LPARAM;
        band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
        band.hwndChild = child;
        band.cxMinChild = static_cast<UINT>(width);
        band.cyMinChild = band.cyChild = band.cyMaxChild = static_cast<UINT>(height);
        band.cx = static_cast<UINT>(width + 11);
        band.lParam = tag;
        SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
        return child;
    };
    HWND first = addband(100, 24, 1);
    auto top = [&](int index) {
        RECT area;
        SendMessageA(rebar, RB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&area));
        return area.top;
    };
    EXPECT_EQ(GetParent(first), rebar) << "the band's child lives in the rebar";
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0), 24 + 4);
    EXPECT_EQ(heightchanges, 1);
    addband(100, 30, 2);
    EXPECT_EQ(top(1), 0) << "one row";
    EXPECT_EQ(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0), 34);
    HWND third = addband(150, 20, 3);
    EXPECT_EQ(top(2), 34 + 2) << "a band that does not fit starts a row";
    EXPECT_EQ(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0), 34 + 2 + 24);

    RECT placed;
    GetWindowRect(third, &placed);
    EXPECT_EQ(placed.bottom - placed.top, 20);
    SendMessageA(rebar, RB_SHOWBAND, 2, FALSE);
    EXPECT_FALSE(IsWindowVisible(third));
    EXPECT_EQ(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0), 34);

    SendMessageA(rebar, RB_BEGINDRAG, 1, static_cast<LPARAM>(-1));
    SendMessageA(rebar, RB_DRAGMOVE, 0, MAKELPARAM(2, 5));
    SendMessageA(rebar, RB_ENDDRAG, 0, 0);
    REBARBANDINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_LPARAM;
    SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.lParam, 2) << "dragged to the front";

    NMREBAR started {};
    answer() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == RBN_BEGINDRAG) {
            started = *reinterpret_cast<NMREBAR*>(lParam);
            return 1;
        }
        return std::nullopt;
    };
    MoveWindow(rebar, 0, 0, 300, static_cast<int>(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0)), TRUE);
    RECT grip;
    SendMessageA(rebar, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&grip));
    pointer(rebar, WM_LBUTTONDOWN, grip.left + 3, grip.top + 5, MK_LBUTTON);
    EXPECT_EQ(started.uBand, 1u);
    EXPECT_EQ(started.lParam, 1);
    EXPECT_NE(GetCapture(), rebar) << "a refused drag lets the mouse go";

    // The gripper is a Qt widget: the user's press on it asks the same. Allowed, the rebar drags.
    started = NMREBAR {};
    QWidget* gripper = widgetat<QWidget>(rebar, grip.left + 3, grip.top + 5);
    ASSERT_NE(gripper, nullptr);
    EXPECT_EQ(gripper->cursor().shape(), Qt::SizeAllCursor);
    click(gripper);
    EXPECT_EQ(started.uBand, 1u);
    answer() = nullptr;
    SendMessageA(rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&grip));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(widgetat<QWidget>(rebar, grip.left + 3, grip.top + 5), &press);
    EXPECT_EQ(GetCapture(), rebar);
    pointer(rebar, WM_MOUSEMOVE, 290, 5, MK_LBUTTON);
    pointer(rebar, WM_LBUTTONUP, 290, 5);
    SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.lParam, 1) << "dragged behind the other band of its row";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(QtTooltip, TheTipOfTheToolUnderThePointerShowsAfterItsDelay)
{
    FreshQt fresh;
    HWND frame = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND pane = child(frame, 3, RECT { 10, 10, 110, 60 });
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, frame, nullptr, nullptr, nullptr);
    TOOLINFOA tool {};
    tool.cbSize = 48;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = frame;
    tool.uId = reinterpret_cast<UINT_PTR>(pane);
    tool.lpszText = const_cast<char*>("Place & wire");
    ASSERT_TRUE(SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 20);
    pointer(pane, WM_MOUSEMOVE, 5, 5);
    ASSERT_TRUE(turnuntil([] { return QToolTip::isVisible(); })) << "Qt's own tip";
    EXPECT_TRUE(QToolTip::text().contains("Place &amp; wire")) << QToolTip::text().toStdString();
    EXPECT_FALSE(IsWindowVisible(tooltip)) << "the control's window stays hidden";
    EXPECT_TRUE(messagesof(WM_MOUSEMOVE).size() >= 1) << "the pane still gets its messages";

    pointer(pane, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_TRUE(turnuntil([] { return !QToolTip::isVisible(); })) << "a click ends the tip";

    // Without TTS_NOPREFIX a single ampersand marks a mnemonic; markup shows as typed.
    SetWindowLongA(tooltip, GWL_STYLE, GetWindowLongA(tooltip, GWL_STYLE) & ~static_cast<LONG>(TTS_NOPREFIX));
    tool.lpszText = const_cast<char*>("<b>&Bold && more</b>");
    SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(pane, WM_MOUSELEAVE, 0, 0);
    pointer(pane, WM_MOUSEMOVE, 6, 6);
    ASSERT_TRUE(turnuntil([] { return QToolTip::isVisible(); }));
    EXPECT_TRUE(QToolTip::text().contains("&lt;b&gt;Bold &amp; more&lt;/b&gt;"))
        << QToolTip::text().toStdString();
    SendMessageA(tooltip, TTM_POP, 0, 0);
    SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_FALSE(RemoveWindowSubclass(pane, nullptr, 0));
}

TEST(QtImageList, AStripIsCutIntoMaskedImages)
{
    FreshQt fresh;
    HIMAGELIST list = imagelist(stripimage(3), 16, RGB(192, 192, 192));
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    HICON icon = ImageList_GetIcon(list, 2, 0);
    QImage image = winqt::toimage(icon);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "the mask colour is transparent";
    EXPECT_EQ(image.pixelColor(5, 5), QColor(80, 80, 80));
    HIMAGELIST copy = ImageList_Duplicate(list);
    EXPECT_EQ(ImageList_ReplaceIcon(copy, -1, icon), 3);
    EXPECT_EQ(ImageList_GetImageCount(list), 3) << "the duplicate is independent";

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 16, 16);
    SelectObject(dc, target);
    RECT all { 0, 0, 16, 16 };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list, 1, dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(40, 40, 40));
    DeleteDC(dc);
    DeleteObject(target);
    DestroyIcon(icon);
    ImageList_Destroy(copy);
    ImageList_Destroy(list);
    EXPECT_FALSE(ImageList_Destroy(list));
}

TEST(QtGradient, ARectangleRunsFromOneVertexColourToTheOther)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 40, 20);
    SelectObject(dc, target);
    TRIVERTEX ends[] = { { 0, 0, 0xFF00, 0, 0, 0 }, { 40, 20, 0, 0, 0xFF00, 0 } };
    GRADIENT_RECT rect { 0, 1 };
    EXPECT_TRUE(GradientFill(dc, ends, 2, &rect, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(GetPixel(dc, 5, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 19), RGB(0, 0, 255));
    EXPECT_TRUE(GradientFill(dc, ends, 2, &rect, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(GetPixel(dc, 0, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 39, 10), RGB(0, 0, 255));
    GRADIENT_RECT outside { 0, 2 };
    EXPECT_FALSE(GradientFill(dc, ends, 2, &outside, 1, GRADIENT_FILL_RECT_V));
    EXPECT_FALSE(GradientFill(dc, ends, 2, &rect, 1, 2)) << "triangles are not drawn";
    DeleteDC(dc);
    DeleteObject(target);
}

TEST(QtButton, AClickOnAnImageButtonTellsItsParent)
{
    FreshQt fresh;
    HWND parent = toplevel(0, 0, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND button = control(WC_BUTTONA, parent, BS_BITMAP, RECT { 10, 10, 30, 30 }, 44);
    HBITMAP picture = strip(1);
    EXPECT_EQ(SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)), 0);
    pointer(button, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0), BST_PUSHED);
    pointer(button, WM_LBUTTONUP, 5, 5);
    auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(44, BN_CLICKED));
    DestroyWindow(button);
    DeleteObject(picture);
}
