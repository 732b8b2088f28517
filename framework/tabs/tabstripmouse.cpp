#include "framework/appln/applnwindow.h"
#include "framework/bars/offscreen.h"
#include "framework/context/windowmessages.h"
#include "framework/tabs/tablook.h"
#include "framework/tabs/tabstrip.h"
#include "framework/tabs/thumbnailcursor.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

// The timer that clears a hot close button once the pointer has left it.
constexpr UINT_PTR hottimer = 1;
constexpr UINT hotinterval = 100;
constexpr WPARAM buttons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

LPARAM screenpoint(tagPOINT point)
{
    return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

} // namespace

LRESULT TABSTRIP::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const tagPOINT at { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client {};
        GetClientRect(window, &client);
        if (dc) {
            OFFSCREEN picture(dc, client.right, client.bottom);
            if (picture.dc()) {
                paintstrip(picture.dc());
                picture.copyto(dc, 0, 0, ps.rcPaint);
            }
        }
        EndPaint(window, &ps);
        placeoverflowbutton(client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        if (at.y >= 0 && at.y < stripheight)
            onleftdown(at);
        return 0;
    case WM_LBUTTONDBLCLK: {
        const int index = at.y >= 0 && at.y < stripheight ? tabatx(at.x) : -1;
        if (index >= 0) {
            tagPOINT screen = at;
            ClientToScreen(window, &screen);
            PostMessageA(
                GetParent(window), WM_MOVEWINDOWTOFRAME, static_cast<WPARAM>(index), screenpoint(screen));
        }
        return 0;
    }
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        return 0;
    case WM_MOUSEMOVE:
        onmousemove(wParam, at);
        return 0;
    case WM_LBUTTONUP:
        onleftup(at);
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken by someone else (a menu, another program) cancels the drag.
        if (dragtab >= 0 && reinterpret_cast<HWND>(lParam) != window)
            enddrag();
        return 0;
    case WM_TIMER:
        if (wParam != hottimer)
            break;
        KillTimer(window, hottimer);
        {
            tagPOINT pointer {};
            GetCursorPos(&pointer);
            ScreenToClient(window, &pointer);
            SendMessageA(window, WM_MOUSEMOVE, 0, screenpoint(pointer));
        }
        return 0;
    case WM_COMMAND:
        if (overflowbutton && reinterpret_cast<HWND>(lParam) == overflowbutton) {
            showoverflowmenu();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGING:
        if (auto* pos = reinterpret_cast<WINDOWPOS*>(lParam); pos && !(pos->flags & SWP_NOSIZE)) {
            RECT parent {};
            GetClientRect(GetParent(window), &parent);
            pos->cx = parent.right - parent.left;
            pos->cy = stripheight + 1;
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TABSTRIP::onleftdown(tagPOINT at)
{
    for (int i = firstvisible; i <= lastvisible && i < tabs.count; ++i) {
        const TABINFO& tab = *tabs[i];
        if (tab.closeable && tab.window->canbeclosed() && PtInRect(&tab.closebox, at)) {
            PostMessageA(GetParent(hwnd), WM_CLOSETAB, reinterpret_cast<WPARAM>(hwnd), i);
            return;
        }
    }
    const int index = tabatx(at.x);
    if (index < 0)
        return;
    select(index);
    pressedtab = index;
}

void TABSTRIP::onmousemove(WPARAM keys, tagPOINT at)
{
    if ((keys & buttons) == MK_LBUTTON) {
        if (dragtab >= 0)
            dragmove();
        else if (tabs.inbounds(pressedtab))
            begindrag(pressedtab);
        return;
    }
    bool anyhot = false;
    for (int i = 0; i < tabs.count; ++i) {
        const TABINFO& tab = *tabs[i];
        const bool hot
            = isvisibletab(i) && tab.closeable && tab.window->canbeclosed() && PtInRect(&tab.closebox, at);
        sethot(i, hot);
        anyhot = anyhot || hot;
    }
    if (anyhot)
        SetTimer(hwnd, hottimer, hotinterval, nullptr);
}

void TABSTRIP::sethot(int index, int hot)
{
    TABINFO& tab = *tabs[index];
    if (tab.hot == hot)
        return;
    tab.hot = hot;
    InvalidateRect(hwnd, &tab.closebox, FALSE);
}

void TABSTRIP::onleftup(tagPOINT at)
{
    pressedtab = -1;
    if (dragtab < 0)
        return;
    if (outside && inside && at.y >= 0 && at.y < stripheight) {
        droptab(at.x);
        return;
    }
    enddragtabsplit();
}

void TABSTRIP::begindrag(int tab)
{
    SetCapture(hwnd);
    savedcursor = GetCursor();
    dragtab = tab;
    outside = 0;
    inside = 0;
}

void TABSTRIP::dragmove()
{
    tagPOINT pointer {};
    GetCursorPos(&pointer);
    RECT strip {};
    RECT parent {};
    GetWindowRect(hwnd, &strip);
    GetWindowRect(GetParent(hwnd), &parent);
    if (PtInRect(&strip, pointer)) {
        if (!inside)
            setthumbnailcursor();
        outside = 1;
        inside = 1;
        return;
    }
    if (PtInRect(&parent, pointer)) {
        if (outside)
            SetCursor(LoadCursorA(nullptr, IDC_NO));
        outside = 0;
        inside = 0;
        return;
    }
    if (!thumbnailcursor || GetCursor() != thumbnailcursor)
        setthumbnailcursor();
    outside = 1;
    inside = 0;
}

void TABSTRIP::droptab(int x)
{
    int target = x <= edges[firstvisible] ? firstvisible : tabatx(x);
    if (target < 0)
        target = lastvisible;
    // The dragged tab's old place is the source the frame moves its window from. Pressing the tab
    // made it the active one, but a selection during the drag (Ctrl+Tab) may have changed that,
    // and the frame's windows must still move in step with the tabs.
    const int from = dragtab;
    TABINFO* dragged = tabs.remove(from);
    enddrag();
    tabs.add(dragged, target);
    if (active != target || from != target) {
        active = target;
        measured = 0;
        invalidate(nullptr, 0);
        InvalidateRect(GetParent(hwnd), nullptr, FALSE);
        SendMessageA(GetParent(hwnd), WM_SELECTWINDOW, reinterpret_cast<WPARAM>(hwnd),
            MAKELPARAM(target, static_cast<WORD>(from)));
    }
}

void TABSTRIP::enddragtabsplit()
{
    // Only a pointer beyond the parent splits: released anywhere over the frame, nothing moves.
    if (outside && !inside) {
        tagPOINT pointer {};
        GetCursorPos(&pointer);
        PostMessageA(
            GetParent(hwnd), WM_MOVEWINDOWTOFRAME, static_cast<WPARAM>(dragtab), screenpoint(pointer));
    }
    enddrag();
}

void TABSTRIP::enddrag()
{
    dragtab = -1;
    outside = 0;
    inside = 0;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    SetCursor(savedcursor);
    if (thumbnailcursor) {
        DestroyCursor(thumbnailcursor);
        thumbnailcursor = nullptr;
    }
}

void TABSTRIP::setthumbnailcursor()
{
    if (!thumbnailcursor && tabs.inbounds(dragtab))
        thumbnailcursor = makethumbnailcursor(savedcursor, tabs[dragtab]->icon);
    if (thumbnailcursor)
        SetCursor(thumbnailcursor);
}
