// Where user input goes: mouse messages to the capture window or the window under the pointer,
// key messages to the focus window.

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/system.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

// The deepest visible, enabled window under the screen point, searched from `root` down.
HWND deepest(HWND root, tagPOINT screen)
{
    HWND found = root;
    for (;;) {
        tagPOINT local = screen;
        ScreenToClient(found, &local);
        HWND child = ChildWindowFromPointEx(found, local, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == found) {
            return found;
        }
        found = child;
    }
}

bool insideclient(HWND window, tagPOINT screen)
{
    RECT client;
    GetClientRect(window, &client);
    ScreenToClient(window, &screen);
    return contains(client, screen);
}

UINT pressfordoubleclick(UINT message)
{
    switch (message) {
    case WM_LBUTTONDBLCLK:
        return WM_LBUTTONDOWN;
    case WM_RBUTTONDBLCLK:
        return WM_RBUTTONDOWN;
    case WM_MBUTTONDBLCLK:
        return WM_MBUTTONDOWN;
    case WM_XBUTTONDBLCLK:
        return WM_XBUTTONDOWN;
    default:
        return message;
    }
}

void trackbuttons(UINT message, WPARAM keys)
{
    setasynckey(VK_LBUTTON, keys & MK_LBUTTON);
    setasynckey(VK_RBUTTON, keys & MK_RBUTTON);
    setasynckey(VK_MBUTTON, keys & MK_MBUTTON);
    setasynckey(VK_SHIFT, keys & MK_SHIFT);
    setasynckey(VK_CONTROL, keys & MK_CONTROL);
}

} // namespace

namespace win {

void postmouse(UINT message, tagPOINT screen, WPARAM keys, short wheeldelta, HWND hint)
{
    setpointer(screen);
    GetCursorPos(&screen);
    const bool wheel = message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL;
    if (!wheel) {
        trackbuttons(message, keys);
    }
    auto queue = currentqueue();
    int hittest = HTCLIENT;
    HWND target = GetCapture();
    if (!target) {
        HWND root = hint ? GetAncestor(hint, GA_ROOT) : nullptr;
        RECT area {};
        if (root && IsWindowVisible(root) && GetWindowRect(root, &area) && contains(area, screen)) {
            target = deepest(root, screen);
        } else {
            target = WindowFromPoint(screen);
        }
        if (!target) {
            return;
        }
        root = GetAncestor(target, GA_ROOT);
        if (!IsWindowEnabled(root)) {
            target = root;
            hittest = HTERROR;
        } else if (!wheel && !insideclient(target, screen)) {
            return; // the menu bar handles its own input
        }
    }
    if (queue->tracking && queue->tracking != target) {
        PostMessageA(queue->tracking, WM_MOUSELEAVE, 0, 0);
        queue->tracking = nullptr;
    }
    queue->pointerwindow = target;
    auto window = windowref(target);
    if (!(window->windowclass->style & CS_DBLCLKS)) {
        message = pressfordoubleclick(message);
    }
    MSG queued { target, message, keys, 0, GetTickCount(), screen };
    if (wheel) {
        queued.wParam = MAKEWPARAM(static_cast<WORD>(keys), static_cast<WORD>(wheeldelta));
        queued.lParam = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
    } else {
        tagPOINT local = screen;
        ScreenToClient(target, &local);
        queued.lParam = MAKELPARAM(static_cast<WORD>(local.x), static_cast<WORD>(local.y));
    }
    enqueueinput(queued, 0, hittest);
}

void postkey(UINT message, WPARAM virtualkey, LPARAM keydata, uint32_t character)
{
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    setasynckey(static_cast<int>(virtualkey), down);
    HWND target = GetFocus();
    if (!target) {
        target = GetActiveWindow();
        if (!target) {
            return;
        }
        if (message == WM_KEYDOWN) {
            message = WM_SYSKEYDOWN;
        } else if (message == WM_KEYUP) {
            message = WM_SYSKEYUP;
        }
    }
    MSG queued { target, message, virtualkey, keydata, GetTickCount(), {} };
    GetCursorPos(&queued.pt);
    enqueueinput(queued, character, HTCLIENT);
}

} // namespace win
