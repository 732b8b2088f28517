#include "framework/tabs/tabstrip.h"

#include <algorithm>
#include <cstring>

#include "framework/appln/applnmodule.h"
#include "framework/appln/applnwindow.h"
#include "framework/context/applncontext.h"
#include "framework/context/windowmessages.h"
#include "framework/tabs/tablook.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

TABSTRIP::TABSTRIP(HWND parent, unsigned id)
{
    HWND window = CreateWindowExA(0, cls_dclk_noDC, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    bind(window);
    edges = std::make_unique<int[]>(1);
    LOGFONTA font {};
    GetObjectA(tablook::textfont(), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    boldfont = CreateFontIndirectA(&font);
    int textheight = 0;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, boldfont);
        SIZE size {};
        GetTextExtentPoint32A(dc, "ABC", 3, &size);
        textheight = size.cy;
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    smallicon[0] = GetSystemMetrics(SM_CXSMICON);
    smallicon[1] = GetSystemMetrics(SM_CYSMICON);
    closesize = static_cast<int>(smallicon[0] * 1.25);
    closesize += closesize & 1;
    stripheight = std::max({ 20, textheight + 6, smallicon[1] + 4, closesize + 4 }) + margin;
    closeicon = tablook::loadicon("TAB_CLOSE", smallicon[0], smallicon[1]);
    activepen = CreatePen(PS_SOLID, 1, tb_checkedborder_colour);
    inactivepen = CreatePen(PS_SOLID, 1, gradd_4colour);
}

TABSTRIP::~TABSTRIP()
{
    if (GetCapture() == hwnd && hwnd)
        ReleaseCapture();
    tabs.zap();
    DeleteObject(boldfont);
    DeleteObject(activepen);
    DeleteObject(inactivepen);
    DestroyIcon(closeicon);
    DestroyIcon(overflowicon);
    if (thumbnailcursor)
        DestroyCursor(thumbnailcursor);
    unbind();
}

int TABSTRIP::addtab(APPLNWINDOW* window, int closeable, int position)
{
    tabs.add(new TABINFO { window, closeable, 0, {}, 0, nullptr });
    measured = 0;
    firstvisible = 0;
    edges = std::make_unique<int[]>(static_cast<size_t>(tabs.count) + 1);
    invalidate(nullptr, 0);
    return position;
}

void TABSTRIP::removetab(int index)
{
    if (dragtab >= 0)
        enddrag();
    if (!tabs.inbounds(index))
        return;
    active = -1;
    delete tabs.remove(index);
    measured = 0;
    if (pressedtab >= tabs.count)
        pressedtab = -1;
    firstvisible = 0;
    invalidate(nullptr, 0);
    InvalidateRect(GetParent(hwnd), nullptr, FALSE);
}

void TABSTRIP::select(int index)
{
    if (index == active)
        return;
    active = index;
    measured = 0;
    invalidate(nullptr, 0);
    InvalidateRect(GetParent(hwnd), nullptr, FALSE);
    SendMessageA(GetParent(hwnd), WM_SELECTWINDOW, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(index, 0xFFFF));
}

void TABSTRIP::select(APPLNWINDOW* window)
{
    int index = -1;
    for (int i = 0; i < tabs.count; ++i)
        if (tabs[i]->window == window)
            index = i;
    select(index);
}

void TABSTRIP::reset()
{
    if (dragtab >= 0)
        enddrag();
    tabs.zap();
    measured = 0;
    edges = std::make_unique<int[]>(1);
    firstvisible = 0;
    active = -1;
    pressedtab = -1;
}

void TABSTRIP::calculatetabwidths()
{
    HDC dc = CreateCompatibleDC(nullptr);
    for (int i = 0; i < tabs.count; ++i) {
        TABINFO& tab = *tabs[i];
        HGDIOBJ old = SelectObject(dc, i == active ? boldfont : tablook::textfont());
        const char* caption = tab.window->getcaption();
        RECT measured {};
        DrawTextA(dc, caption, -1, &measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        SelectObject(dc, old);
        tab.width = captioninset() + measured.right - measured.left + 4;
        tab.icon = tablook::smalliconof(tab.window);
        if (tab.icon)
            tab.width += smallicon[0] + closesize;
        if (tab.closeable)
            tab.width += (closesize - smallicon[0]) / 2 + closesize;
    }
    DeleteDC(dc);
    measured = 1;
}

void TABSTRIP::updatetabs()
{
    calculatetabwidths();
    invalidate(nullptr, 0);
}

bool TABSTRIP::tabspan(int index, int& left, int& right) const
{
    if (!isvisibletab(index) || !tabs.inbounds(index))
        return false;
    left = edges[index];
    right = edges[index + 1];
    return true;
}

int TABSTRIP::tabatx(int x) const
{
    for (int i = firstvisible; i <= lastvisible && i < tabs.count; ++i)
        if (x >= edges[i] && x < edges[i + 1])
            return i;
    return -1;
}
