// Under a real X server (Xvfb): a popup menu of the window layer shown as Qt's own popup, with
// owner-drawn items that the owner window draws through WM_DRAWITEM beside plain, checked and
// submenu items; the screen is grabbed and saved as the artifact named by VKT_SCREENSHOT_PATH,
// and checked for the owner's drawing.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/win/gdi.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/qt/screenshot/popupshot.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

struct Swatch {
    COLORREF colour;
    const char* name;
};

const Swatch swatches[] = { { RGB(200, 30, 30), "Red wire" }, { RGB(30, 140, 40), "Green wire" },
    { RGB(30, 60, 200), "Blue wire" } };

// The owner's drawing: a colour swatch and the item's name, on the highlight when selected.
LRESULT ownerprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        measure->itemWidth = 180;
        measure->itemHeight = 28;
        return TRUE;
    }
    if (message != WM_DRAWITEM) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    const Swatch& swatch = swatches[draw->itemData];
    const bool selected = draw->itemState & ODS_SELECTED;
    FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    RECT box { draw->rcItem.left + 6, draw->rcItem.top + 5, draw->rcItem.left + 36, draw->rcItem.bottom - 5 };
    HBRUSH fill = CreateSolidBrush(swatch.colour);
    FillRect(draw->hDC, &box, fill);
    DeleteObject(fill);
    FrameRect(draw->hDC, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT text { box.right + 8, draw->rcItem.top, draw->rcItem.right, draw->rcItem.bottom };
    SetBkMode(draw->hDC, TRANSPARENT);
    SetTextColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    DrawTextA(draw->hDC, swatch.name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    return TRUE;
}

} // namespace

TEST(XvfbScreenshot, AnOwnerDrawnMenuShowsInAQtPopup)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    WNDCLASSEXA c {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = ownerprocedure;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = "ScreenshotMenuOwner";
    RegisterClassExA(&c);
    HWND owner = CreateWindowExA(0, c.lpszClassName, "Menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420,
        300, nullptr, nullptr, nullptr, nullptr);
    HMENU more = CreatePopupMenu();
    AppendMenuA(more, MF_STRING, 20, "&Properties...");
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 10, "&Wire colour\tCtrl+W");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < std::size(swatches); ++i) {
        AppendMenuA(popup, MF_OWNERDRAW, 11 + i, reinterpret_cast<LPCSTR>(i));
    }
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 15, "&Show grid");
    AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
    settle();

    // The second owner-drawn item hot.
    POPUPSHOT shot = shootpopup(popup, owner, 80, 90, 3, 3);
    ASSERT_FALSE(shot.image.isNull()) << "the popup was open";
    ASSERT_TRUE(saveshot(shot.image));
    QPoint box = shot.popup.topLeft() + shot.item.topLeft() + QPoint(20, shot.item.height() / 2);
    COLORREF green = swatches[1].colour; // Green wire
    EXPECT_EQ(shot.image.pixelColor(box), QColor(GetRValue(green), GetGValue(green), GetBValue(green)))
        << "the owner's swatch in the popup";
    DestroyWindow(owner);
    DestroyMenu(popup);
}
