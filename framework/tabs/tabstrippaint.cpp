#include <algorithm>
#include <iterator>

#include "framework/appln/applnwindow.h"
#include "framework/tabs/tablook.h"
#include "framework/tabs/tabstrip.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/images.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/controls.h"
#include "platform/win/window.h"

namespace {

constexpr COLORREF activetextcolour = RGB(34, 75, 106);
constexpr int overflowbuttonid = 1;

// The right edge of the last tab when the tabs first..last stand from the strip's left edge on,
// each 1 pixel left of the next.
int rightedge(const GDPA<TABSTRIP::TABINFO>& tabs, int left, int first, int last)
{
    int x = left + 8;
    for (int i = first; i < last; ++i)
        x += tabs[i]->width + 4;
    return x + tabs[last]->width + 2;
}

} // namespace

void TABSTRIP::paintstrip(HDC dc)
{
    RECT client {};
    GetClientRect(hwnd, &client);
    if (IsRectEmpty(&client))
        return;
    GradientFillRect(dc, &client, 4, 0, 0);
    if (!measured)
        calculatetabwidths();
    if (!tabs.inbounds(firstvisible))
        firstvisible = std::max(0, tabs.count - 1);
    while (firstvisible > 0 && firstvisible > active)
        --firstvisible;
    const int width = client.right - client.left;
    int total = 0;
    for (TABINFO* tab : tabs)
        total += tab->width + 4;
    if (tabs.count && total >= width) {
        overflow = 1;
        const int room = width - overflowbuttonwidth;
        while (firstvisible < active && rightedge(tabs, client.left, firstvisible, active) > room)
            ++firstvisible;
        while (firstvisible > 0 && rightedge(tabs, client.left, firstvisible - 1, tabs.count - 1) <= room)
            --firstvisible;
    } else {
        overflow = 0;
        firstvisible = 0;
    }
    const int usable = width - (overflow ? overflowbuttonwidth : 0);
    lastvisible = tabs.count ? firstvisible : -1;
    for (int i = firstvisible + 1; i < tabs.count && rightedge(tabs, client.left, firstvisible, i) < usable;
         ++i)
        lastvisible = i;

    // Painted right to left and the active tab last, so that it lies over its neighbours.
    std::unique_ptr<int[]> places = std::make_unique<int[]>(static_cast<size_t>(tabs.count) + 1);
    int x = client.left + 8;
    for (int i = firstvisible; i <= lastvisible; ++i) {
        places[i] = x;
        x += tabs[i]->width + 4;
    }
    for (int i = lastvisible; i >= firstvisible; --i)
        if (i != active)
            painttab(dc, client, i, places[i]);
    if (isvisibletab(active))
        painttab(dc, client, active, places[active]);
}

void TABSTRIP::painttab(HDC dc, const RECT& client, int index, int x)
{
    TABINFO& tab = *tabs[index];
    const bool isactive = index == active;
    const int t = client.top;
    const int s = captioninset();
    const int T = isactive ? t : t + 1;
    const int B = t + stripheight - margin + (isactive ? 0 : 1);
    const int R = x + tab.width + 2;
    edges[index] = x;
    edges[index + 1] = R;

    tagPOINT area[11] = { { x - s, B }, { x + s, T + 1 }, { x + s + 1, T + 1 }, { x + s + 1, T },
        { R - 1, T }, { R, T + 1 }, { R, B }, { client.right, B }, { client.right, t + stripheight + 1 },
        { client.left, t + stripheight + 1 }, { client.left, B } };
    HRGN region = CreatePolygonRgn(area, isactive ? 11 : 7, ALTERNATE);
    SelectClipRgn(dc, region);
    if (isactive) {
        RECT face { client.left, T, client.right, t + stripheight + 3 };
        GradientFillRect(dc, &face, 0, 0, 0);
    } else {
        RECT face { x - 9, T, R - 1, B };
        GradientFillRect(dc, &face, 3, 0, 0);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);

    HGDIOBJ oldpen = SelectObject(dc, isactive ? activepen : inactivepen);
    const tagPOINT outline[5]
        = { { x - s, B }, { x + s + 2, T }, { R - 2, T }, { R - 1, T + 1 }, { R - 1, B } };
    Polyline(dc, outline, 5);
    if (isactive) {
        MoveToEx(dc, client.left, B, nullptr);
        LineTo(dc, x - s + 1, B);
        MoveToEx(dc, R - 1, B, nullptr);
        LineTo(dc, client.right, B);
    }
    SelectObject(dc, oldpen);

    HGDIOBJ oldfont = SelectObject(dc, isactive ? boldfont : tablook::textfont());
    SetTextColor(dc, isactive ? activetextcolour : GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT text { x + s, t, R, t + stripheight - margin };
    if (tab.icon) {
        DrawIconEx(dc, x + s + 2, t + (stripheight - margin - smallicon[1]) / 2, tab.icon, smallicon[0],
            smallicon[1], 0, nullptr, DI_NORMAL);
        text.left += closesize;
    }
    DrawTextA(dc, tab.window->getcaption(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldfont);

    if (!tab.closeable) {
        SetRectEmpty(&tab.closebox);
        return;
    }
    const int left = x + tab.width - closesize - 6;
    const int top = t + (stripheight - margin - closesize) / 2 + 1;
    SetRect(&tab.closebox, left, top, left + closesize, top + closesize);
    if (tab.hot) {
        GradientFillRect(dc, &tab.closebox, 0, 1, 0);
        HBRUSH border = CreateSolidBrush(tb_hotborder_colour);
        FrameRect(dc, &tab.closebox, border);
        DeleteObject(border);
    }
    if (closeicon)
        DrawIconEx(dc, left + (closesize - smallicon[0]) / 2, top + (closesize - smallicon[1]) / 2, closeicon,
            smallicon[0], smallicon[1], 0, nullptr, DI_NORMAL);
}

void TABSTRIP::placeoverflowbutton(const RECT& client)
{
    if (!overflow) {
        if (overflowbutton)
            DestroyWindow(overflowbutton);
        overflowbutton = nullptr;
        return;
    }
    if (!overflowbutton) {
        overflowbutton = CreateWindowExA(0, WC_BUTTONA, nullptr, WS_CHILD | BS_BITMAP, 0, 0,
            std::max(20, smallicon[0] + 8), stripheight - margin, hwnd,
            reinterpret_cast<HMENU>(static_cast<uintptr_t>(overflowbuttonid)), nullptr, nullptr);
        if (!overflowicon)
            overflowicon = tablook::loadicon("BTN_MENU", smallicon[0], smallicon[1]);
        SendMessageA(overflowbutton, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(overflowicon));
        RECT button {};
        GetWindowRect(overflowbutton, &button);
        overflowbuttonwidth = button.right - button.left;
    }
    SetWindowPos(overflowbutton, nullptr, client.right - overflowbuttonwidth, client.top, overflowbuttonwidth,
        stripheight - margin, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TABSTRIP::showoverflowmenu()
{
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < tabs.count; ++i)
        if (!isvisibletab(i))
            AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(i) + 1, tabs[i]->window->getcaption());
    RECT button {};
    GetWindowRect(overflowbutton, &button);
    const int chosen = TrackPopupMenu(
        menu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, button.right, button.bottom, 0, hwnd, nullptr);
    DestroyMenu(menu);
    const int index = chosen - 1;
    if (!tabs.inbounds(index))
        return;
    if (index < firstvisible)
        firstvisible = index;
    select(index);
    invalidate(nullptr, 0);
}
