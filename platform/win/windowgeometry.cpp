// Rectangles, coordinates, z-order, show state and placement of windows.

#include <algorithm>

#include "platform/win/backend.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {

bool isempty(const RECT& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT unite(const RECT& a, const RECT& b)
{
    if (isempty(a)) {
        return b;
    }
    if (isempty(b)) {
        return a;
    }
    return RECT { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

RECT intersect(const RECT& a, const RECT& b)
{
    RECT r { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
    return isempty(r) ? RECT {} : r;
}

bool contains(const RECT& rect, tagPOINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

int menubarheight()
{
    return GetSystemMetrics(SM_CYMENU);
}

RECT clientinsets(const Window& window)
{
    RECT insets {};
    if (!(window.style & WS_CHILD) && window.menu) {
        insets.top = menubarheight();
    }
    if ((window.style & WS_CHILD) && (window.style & WS_BORDER)) {
        insets = RECT { 1, 1, 1, 1 };
    }
    return insets;
}

tagPOINT clientorigin(const Window& window)
{
    RECT onscreen = screenrect(window);
    RECT insets = clientinsets(window);
    return tagPOINT { onscreen.left + insets.left, onscreen.top + insets.top };
}

RECT screenrect(const Window& window)
{
    RECT r = window.rect;
    if (window.style & WS_CHILD) {
        if (auto parent = windowref(window.parent)) {
            tagPOINT origin = clientorigin(*parent);
            r.left += origin.x;
            r.right += origin.x;
            r.top += origin.y;
            r.bottom += origin.y;
        }
    }
    return r;
}

} // namespace win

using namespace win;

namespace {

constexpr LONG iconicposition = -32000;

bool ontop(const Window& window)
{
    return !(window.style & WS_CHILD) && (window.exstyle & WS_EX_TOPMOST);
}

// Moves the window within its siblings' z-order; answers whether the order changed.
bool reorder(Window& window, HWND insertafter)
{
    auto parent = (window.style & WS_CHILD) ? windowref(window.parent) : nullptr;
    std::vector<HWND> list = parent ? parent->children : toplevelwindows();
    auto before = list;
    list.erase(std::remove(list.begin(), list.end(), window.handle), list.end());
    if (insertafter == HWND_TOPMOST || insertafter == HWND_NOTOPMOST) {
        if (!parent) {
            window.exstyle = insertafter == HWND_TOPMOST ? (window.exstyle | WS_EX_TOPMOST)
                                                         : (window.exstyle & ~WS_EX_TOPMOST);
        }
        insertafter = HWND_TOP;
    }
    auto at = list.begin();
    if (insertafter == HWND_BOTTOM) {
        at = list.end();
    } else if (insertafter == HWND_TOP) {
        if (!parent && !ontop(window)) {
            at = std::find_if(list.begin(), list.end(), [](HWND h) {
                auto w = windowref(h);
                return !w || !ontop(*w);
            });
        }
    } else {
        at = std::find(list.begin(), list.end(), insertafter);
        at = at == list.end() ? list.begin() : at + 1;
    }
    list.insert(at, window.handle);
    if (list == before) {
        return false;
    }
    if (parent) {
        parent->children = list;
    } else {
        settoplevelorder(list);
    }
    return true;
}

// The top-level window that should become active when `leaving` hides or dies: its owner, else
// the topmost visible and enabled other top-level window.
HWND nextactive(HWND leaving)
{
    auto window = windowref(leaving);
    if (window && window->owner && IsWindowVisible(window->owner) && IsWindowEnabled(window->owner)) {
        return window->owner;
    }
    for (HWND other : toplevelwindows()) {
        if (other != leaving && IsWindowVisible(other) && IsWindowEnabled(other)) {
            return other;
        }
    }
    return nullptr;
}

constexpr LONG mintrackwidth = 136;
constexpr LONG mintrackheight = 39;
constexpr LONG maxtrack = 32767;

RECT workareaof(const Window& window);

} // namespace

namespace win {

MINMAXINFO minmaxinfo(HWND handle)
{
    MINMAXINFO limits {};
    auto window = windowref(handle);
    if (!window) {
        return limits;
    }
    RECT work = workareaof(*window);
    limits.ptMaxSize = tagPOINT { work.right - work.left, work.bottom - work.top };
    limits.ptMaxPosition = tagPOINT { work.left, work.top };
    limits.ptMinTrackSize = tagPOINT { mintrackwidth, mintrackheight };
    limits.ptMaxTrackSize = tagPOINT { maxtrack, maxtrack };
    SendMessageA(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    return limits;
}

} // namespace win

namespace {

RECT workareaof(const Window& window)
{
    RECT onscreen = screenrect(window);
    MONITORINFO info { sizeof(MONITORINFO), {}, {}, 0 };
    GetMonitorInfoA(MonitorFromRect(&onscreen, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

enum class State { normal, minimised, maximised };

State stateof(const Window& window)
{
    if (window.style & WS_MINIMIZE) {
        return State::minimised;
    }
    return (window.style & WS_MAXIMIZE) ? State::maximised : State::normal;
}

// Switches between normal, minimised and maximised, keeping the restored rectangle, and sends
// the position messages.
void setstate(HWND handle, State state, bool activate)
{
    auto window = windowref(handle);
    if (!window || stateof(*window) == state) {
        return;
    }
    State old = stateof(*window);
    if (old == State::normal) {
        window->normalrect = window->rect;
    }
    RECT target = window->normalrect;
    window->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    if (state == State::minimised) {
        window->restoretomaximized = old == State::maximised;
        window->style |= WS_MINIMIZE;
        target = RECT { iconicposition, iconicposition, iconicposition + 160, iconicposition + 28 };
    } else if (state == State::maximised) {
        window->style |= WS_MAXIMIZE;
        target = workareaof(*window);
        window->maxposition = tagPOINT { target.left, target.top };
    }
    window->rect = target;
    backend().changed(handle, changegeometry);
    WINDOWPOS pos { handle, nullptr, target.left, target.top, target.right - target.left,
        target.bottom - target.top, SWP_NOZORDER | (activate ? 0u : SWP_NOACTIVATE) };
    SendMessageA(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (state != State::minimised) {
        InvalidateRect(handle, nullptr, TRUE);
    }
}

void setvisible(HWND handle, bool visible, bool activate)
{
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (!activate) {
        flags |= SWP_NOACTIVATE;
    }
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, flags);
}

} // namespace

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    auto window = windowref(handle);
    if (!window || !rect) {
        return FALSE;
    }
    *rect = screenrect(*window);
    return TRUE;
}

BOOL GetClientRect(HWND handle, RECT* rect)
{
    auto window = windowref(handle);
    if (!window || !rect) {
        return FALSE;
    }
    *rect = RECT {};
    if (window->style & WS_MINIMIZE) {
        return TRUE;
    }
    RECT insets = clientinsets(*window);
    rect->right = std::max<LONG>(0, window->rect.right - window->rect.left - insets.left - insets.right);
    rect->bottom = std::max<LONG>(0, window->rect.bottom - window->rect.top - insets.top - insets.bottom);
    return TRUE;
}

BOOL ClientToScreen(HWND handle, tagPOINT* point)
{
    auto window = windowref(handle);
    if (!window || !point) {
        return FALSE;
    }
    tagPOINT origin = clientorigin(*window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND handle, tagPOINT* point)
{
    auto window = windowref(handle);
    if (!window || !point) {
        return FALSE;
    }
    tagPOINT origin = clientorigin(*window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, tagPOINT* points, UINT count)
{
    tagPOINT a { 0, 0 };
    tagPOINT b { 0, 0 };
    if (from) {
        auto window = windowref(from);
        if (!window) {
            return 0;
        }
        a = clientorigin(*window);
    }
    if (to) {
        auto window = windowref(to);
        if (!window) {
            return 0;
        }
        b = clientorigin(*window);
    }
    LONG dx = a.x - b.x;
    LONG dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

BOOL SetWindowPos(HWND handle, HWND insertafter, int x, int y, int width, int height, UINT flags)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    WINDOWPOS pos { handle, insertafter, x, y, std::max(0, width), std::max(0, height), flags };
    if (flags & SWP_NOMOVE) {
        pos.x = window->rect.left;
        pos.y = window->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        pos.cx = window->rect.right - window->rect.left;
        pos.cy = window->rect.bottom - window->rect.top;
    } else if (!(window->style & WS_CHILD)) {
        MINMAXINFO limits = minmaxinfo(handle);
        pos.cx = std::clamp<int>(
            pos.cx, limits.ptMinTrackSize.x, std::max(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x));
        pos.cy = std::clamp<int>(
            pos.cy, limits.ptMinTrackSize.y, std::max(limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y));
        window = windowref(handle);
        if (!window) {
            return FALSE;
        }
    }
    if (!(flags & SWP_NOSENDCHANGING)) {
        SendMessageA(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        window = windowref(handle);
        if (!window) {
            return FALSE;
        }
    }
    unsigned changes = 0;
    RECT target { pos.x, pos.y, pos.x + std::max(0, pos.cx), pos.y + std::max(0, pos.cy) };
    bool moved = target.left != window->rect.left || target.top != window->rect.top;
    bool sized = target.right - target.left != window->rect.right - window->rect.left
        || target.bottom - target.top != window->rect.bottom - window->rect.top;
    if (moved || sized) {
        window->rect = target;
        if (stateof(*window) == State::normal) {
            window->normalrect = target;
        }
        changes |= changegeometry;
    }
    if (!(pos.flags & SWP_NOZORDER) && reorder(*window, pos.hwndInsertAfter)) {
        changes |= changezorder;
    }
    bool wasvisible = window->style & WS_VISIBLE;
    bool hiding = (pos.flags & SWP_HIDEWINDOW) && wasvisible;
    bool showing = (pos.flags & SWP_SHOWWINDOW) && !wasvisible;
    if (showing) {
        window->style |= WS_VISIBLE;
        changes |= changevisible;
    }
    if (hiding) {
        window->style &= ~WS_VISIBLE;
        changes |= changevisible;
    }
    if (changes) {
        backend().changed(handle, changes);
    }
    if ((sized || showing) && !(pos.flags & SWP_NOREDRAW)) {
        InvalidateRect(handle, nullptr, TRUE);
    }
    if (!changes) {
        return TRUE;
    }
    pos.flags |= (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
    SendMessageA(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    const bool toplevel = !(window->style & WS_CHILD);
    if (hiding && toplevel) {
        if (GetActiveWindow() == handle) {
            SetActiveWindow(nextactive(handle));
        }
    } else if (toplevel && IsWindow(handle) && (window->style & WS_VISIBLE)
        && !(pos.flags & SWP_NOACTIVATE)) {
        SetActiveWindow(handle);
    }
    if (hiding && !toplevel) {
        HWND focus = GetFocus();
        if (focus == handle || IsChild(handle, focus)) {
            SetFocus(nullptr);
        }
    }
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(
        handle, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND handle)
{
    return SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND handle, int command)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    const BOOL wasvisible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
    const bool toplevel = !(window->style & WS_CHILD);
    if (command == SW_HIDE) {
        if (wasvisible) {
            SendMessageA(handle, WM_SHOWWINDOW, FALSE, 0);
            setvisible(handle, false, false);
        }
        return wasvisible;
    }
    bool activate = toplevel && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE
        && command != SW_SHOWMINNOACTIVE && command != SW_MINIMIZE;
    if (!wasvisible) {
        SendMessageA(handle, WM_SHOWWINDOW, TRUE, 0);
    }
    switch (command) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        setstate(handle, State::minimised, activate);
        break;
    case SW_SHOWMAXIMIZED:
        setstate(handle, State::maximised, activate);
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_SHOWNOACTIVATE:
        if (window->restoretomaximized && stateof(*window) == State::minimised && command == SW_RESTORE) {
            setstate(handle, State::maximised, activate);
        } else {
            setstate(handle, State::normal, activate);
        }
        break;
    default:
        break;
    }
    if (IsWindow(handle)) {
        setvisible(handle, true, activate);
        if (command == SW_MINIMIZE && GetActiveWindow() == handle) {
            SetActiveWindow(nextactive(handle));
        }
    }
    return wasvisible;
}

BOOL IsWindowVisible(HWND handle)
{
    for (auto window = windowref(handle); window;) {
        if (!(window->style & WS_VISIBLE)) {
            return FALSE;
        }
        if (!(window->style & WS_CHILD)) {
            return TRUE;
        }
        window = windowref(window->parent);
    }
    return FALSE;
}

BOOL IsIconic(HWND handle)
{
    auto window = windowref(handle);
    return window && (window->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND handle)
{
    auto window = windowref(handle);
    return window && (window->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    const BOOL wasdisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
    if (wasdisabled == !enable) {
        return wasdisabled;
    }
    if (enable) {
        window->style &= ~WS_DISABLED;
    } else {
        window->style |= WS_DISABLED;
        HWND focus = GetFocus();
        if (focus == handle || IsChild(handle, focus)) {
            SetFocus(nullptr);
        }
        HWND capture = GetCapture();
        if (capture == handle || IsChild(handle, capture)) {
            ReleaseCapture();
        }
    }
    backend().changed(handle, changeenabled);
    SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasdisabled;
}

BOOL IsWindowEnabled(HWND handle)
{
    auto window = windowref(handle);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND handle, WINDOWPLACEMENT* placement)
{
    auto window = windowref(handle);
    if (!window || !placement) {
        return FALSE;
    }
    State state = stateof(*window);
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->flags = state == State::minimised && window->restoretomaximized ? WPF_RESTORETOMAXIMIZED : 0;
    placement->showCmd = state == State::minimised ? SW_SHOWMINIMIZED
        : state == State::maximised                ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL;
    placement->ptMinPosition = window->minposition;
    placement->ptMaxPosition = window->maxposition;
    placement->rcNormalPosition = state == State::normal ? window->rect : window->normalrect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND handle, const WINDOWPLACEMENT* placement)
{
    auto window = windowref(handle);
    if (!window || !placement || placement->length != sizeof(WINDOWPLACEMENT)) {
        return FALSE;
    }
    if (placement->flags & WPF_SETMINPOSITION) {
        window->minposition = placement->ptMinPosition;
    }
    window->maxposition = placement->ptMaxPosition;
    const RECT& normal = placement->rcNormalPosition;
    if (stateof(*window) == State::normal) {
        SetWindowPos(handle, nullptr, normal.left, normal.top, normal.right - normal.left,
            normal.bottom - normal.top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        window->normalrect = normal;
    }
    switch (placement->showCmd) {
    case SW_HIDE:
        ShowWindow(handle, SW_HIDE);
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        ShowWindow(handle, static_cast<int>(placement->showCmd));
        if (auto w = windowref(handle)) {
            w->restoretomaximized = placement->flags & WPF_RESTORETOMAXIMIZED;
        }
        break;
    case SW_SHOWMAXIMIZED:
        ShowWindow(handle, SW_SHOWMAXIMIZED);
        break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        ShowWindow(handle, SW_SHOWNOACTIVATE);
        break;
    default:
        ShowWindow(handle, SW_SHOWNORMAL);
        break;
    }
    return TRUE;
}

HWND ChildWindowFromPointEx(HWND parent, tagPOINT point, UINT flags)
{
    auto window = windowref(parent);
    if (!window) {
        return nullptr;
    }
    RECT client;
    GetClientRect(parent, &client);
    if (!contains(client, point)) {
        return nullptr;
    }
    for (HWND handle : window->children) {
        auto child = windowref(handle);
        if (!child || !contains(child->rect, point)) {
            continue;
        }
        if (((flags & CWP_SKIPINVISIBLE) && !(child->style & WS_VISIBLE))
            || ((flags & CWP_SKIPDISABLED) && (child->style & WS_DISABLED))) {
            continue;
        }
        return handle;
    }
    return parent;
}

HWND WindowFromPoint(tagPOINT point)
{
    for (HWND handle : toplevelwindows()) {
        auto window = windowref(handle);
        if (!window || !(window->style & WS_VISIBLE) || !contains(window->rect, point)) {
            continue;
        }
        HWND found = handle;
        for (;;) {
            tagPOINT local = point;
            ScreenToClient(found, &local);
            HWND child = ChildWindowFromPointEx(found, local, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
            if (!child || child == found) {
                break;
            }
            found = child;
        }
        return found;
    }
    return nullptr;
}
