// Under a real X server (Xvfb): a top-level window with a menu bar, a rebar holding a toolbar and
// a drawn client area, all through the window layer; the screen is grabbed and saved as the
// artifact named by VKT_SCREENSHOT_PATH, and checked for the parts it must show.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>

#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/qt/controls.h"
#include "platform/win/qt/tests/imagestrip.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/tests/screenshot.h"

using namespace wintest;

namespace {

HWND rebar = nullptr;
HWND view = nullptr;

// Four 24-pixel tool images on the mask grey: a box, a line, a circle, a cross.
QImage toolimages()
{
    QImage strip(96, 24, QImage::Format_RGB32);
    strip.fill(QColor(192, 192, 192));
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 140), 2));
    p.drawRect(4, 4, 16, 16);
    p.drawLine(28, 20, 44, 4);
    p.drawEllipse(52, 4, 16, 16);
    p.setPen(QPen(QColor(170, 30, 30), 3));
    p.drawLine(78, 6, 90, 18);
    p.drawLine(90, 6, 78, 18);
    p.end();
    return strip;
}

LRESULT frameprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && rebar) {
        int width = LOWORD(lParam);
        int height = HIWORD(lParam);
        int bar = static_cast<int>(SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0));
        MoveWindow(rebar, 0, 0, width, bar, TRUE);
        MoveWindow(view, 0, bar, width, height - bar, TRUE);
        return 0;
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == RBN_HEIGHTCHANGE) {
        RECT client;
        GetClientRect(window, &client);
        SendMessageA(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT viewprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HPEN grid = CreatePen(PS_DOT, 1, RGB(200, 200, 220));
    HGDIOBJ old = SelectObject(dc, grid);
    for (int x = 0; x < client.right; x += 25) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, client.bottom);
    }
    HPEN wire = CreatePen(PS_SOLID, 2, RGB(0, 110, 0));
    SelectObject(dc, wire);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 100, 60, 180, 100);
    MoveToEx(dc, 180, 80, nullptr);
    LineTo(dc, 300, 80);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT label { 110, 70, 180, 100 };
    DrawTextA(dc, "R1 10k", 6, &label, DT_LEFT | DT_TOP | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(grid);
    DeleteObject(wire);
    EndPaint(window, &ps);
    return 0;
}

const char* registerclass(const char* name, WNDPROC procedure)
{
    WNDCLASSEXA c {};
    c.cbSize = sizeof c;
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = procedure;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    RegisterClassExA(&c);
    return name;
}

} // namespace

TEST(XvfbScreenshot, ARealWindowShowsItsMenuBarToolbarAndDrawing)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    HWND frame = CreateWindowExA(0, registerclass("ScreenshotFrame", frameprocedure), "Window layer",
        WS_OVERLAPPEDWINDOW, 40, 40, 640, 400, nullptr, nullptr, nullptr, nullptr);
    HMENU bar = CreateMenu();
    for (const char* title : { "&File", "&Edit", "&View", "&Help" }) {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 100, "&Open\tCtrl+O");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title);
    }
    SetMenu(frame, bar);

    rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER
            | CCS_NOPARENTALIGN | CCS_TOP,
        0, 0, 640, 0, frame, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE
            | CCS_NOPARENTALIGN,
        0, 0, 0, 0, frame, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    HIMAGELIST images = imagelist(toolimages(), 24, RGB(192, 192, 192));
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 24));
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TBBUTTON buttons[] = {
        { 0, 10, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 1, 11, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 2, 12, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 8, 0, 0, BTNS_SEP, {}, 0, 0 },
        { 3, 13, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
    };
    SendMessageA(toolbar, TB_ADDBUTTONSA, 5, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    RECT size;
    GetWindowRect(toolbar, &size);
    REBARBANDINFOA band {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = toolbar;
    band.cxMinChild = static_cast<UINT>(size.right - size.left);
    band.cyMinChild = band.cyChild = band.cyMaxChild = static_cast<UINT>(size.bottom - size.top);
    band.cx = band.cxMinChild + 12;
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));

    view = CreateWindowExA(0, registerclass("ScreenshotView", viewprocedure), nullptr, WS_CHILD | WS_VISIBLE,
        0, 0, 10, 10, frame, reinterpret_cast<HMENU>(3), nullptr, nullptr);
    RECT client;
    GetClientRect(frame, &client);
    SendMessageA(frame, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    settle();
    turnuntil([] { return false; }, 800); // the window manager-less server shows and paints it

    SCREENSHOT shot(frame);
    ASSERT_TRUE(shot.saved);

    int menu = GetSystemMetrics(SM_CYMENU);
    COLORREF barcolour = GetSysColor(COLOR_MENUBAR);
    EXPECT_EQ(shot.image.pixelColor(shot.image.width() - 5, menu / 2),
        QColor(GetRValue(barcolour), GetGValue(barcolour), GetBValue(barcolour)))
        << "the menu bar band";
    RECT button;
    SendMessageA(toolbar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&button));
    QColor red = shot.at(toolbar, (button.left + button.right) / 2, (button.top + button.bottom) / 2);
    EXPECT_GT(red.red(), 120) << "the toolbar's cross image";
    EXPECT_LT(red.green(), 90);
    EXPECT_EQ(shot.at(view, 240, 80), QColor(0, 110, 0)) << "the drawn client area";
    DestroyWindow(frame);
    ImageList_Destroy(images);
}
