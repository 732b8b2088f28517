// Focus, activation and capture of the calling thread.

#include "platform/win/backend.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

bool within(HWND ancestor, HWND window)
{
    return window && (window == ancestor || IsChild(ancestor, window));
}

} // namespace

HWND SetFocus(HWND handle)
{
    auto queue = currentqueue();
    HWND old = queue->focus;
    if (handle) {
        auto window = windowref(handle);
        if (!window || window->queue != queue) {
            return nullptr;
        }
        for (HWND up = handle; up; up = GetAncestor(up, GA_PARENT)) {
            if (!IsWindowEnabled(up)) {
                return nullptr;
            }
        }
        HWND root = GetAncestor(handle, GA_ROOT);
        if (root != queue->active) {
            SetActiveWindow(root);
            if (!IsWindow(handle)) {
                return nullptr;
            }
            old = queue->focus;
        }
    }
    if (old == handle) {
        return old;
    }
    if (old && IsWindow(old)) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    }
    queue->focus = handle;
    backend().focused(handle);
    if (handle && IsWindow(handle)) {
        SendMessageA(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus()
{
    auto queue = currentqueue();
    if (queue->focus && !IsWindow(queue->focus)) {
        queue->focus = nullptr;
    }
    return queue->focus;
}

HWND SetActiveWindow(HWND handle)
{
    auto queue = currentqueue();
    if (handle) {
        handle = GetAncestor(handle, GA_ROOT);
        auto window = windowref(handle);
        if (!window || window->queue != queue) {
            return nullptr;
        }
    }
    HWND old = queue->active && IsWindow(queue->active) ? queue->active : nullptr;
    if (old == handle) {
        return old;
    }
    queue->active = handle;
    if (old) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0),
            reinterpret_cast<LPARAM>(handle));
        if (queue->focus && within(old, queue->focus) && queue->active == handle) {
            HWND focus = queue->focus;
            queue->focus = nullptr;
            backend().focused(nullptr);
            if (IsWindow(focus)) {
                SendMessageA(focus, WM_KILLFOCUS, 0, 0);
            }
        }
    }
    if (queue->active != handle) {
        return old; // a handler activated another window meanwhile
    }
    if (handle) {
        for (auto window = windowref(handle); window && window->owner;) {
            auto owner = windowref(window->owner);
            if (!owner) {
                break;
            }
            owner->lastactivepopup = handle;
            window = owner;
        }
        backend().activated(handle);
        SendMessageA(handle, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(handle, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(handle) ? 1 : 0),
            reinterpret_cast<LPARAM>(old));
    } else {
        backend().activated(nullptr);
    }
    return old;
}

HWND GetActiveWindow()
{
    auto queue = currentqueue();
    if (queue->active && !IsWindow(queue->active)) {
        queue->active = nullptr;
    }
    return queue->active;
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

HWND GetLastActivePopup(HWND handle)
{
    auto window = windowref(handle);
    if (!window) {
        return nullptr;
    }
    HWND popup = window->lastactivepopup;
    if (popup && IsWindow(popup) && IsWindowVisible(popup) && GetWindow(popup, GW_OWNER) == handle) {
        return popup;
    }
    return handle;
}

HWND SetCapture(HWND handle)
{
    auto queue = currentqueue();
    HWND old = GetCapture();
    if (handle && !IsWindow(handle)) {
        return old;
    }
    queue->capture = handle;
    if (old != handle) {
        backend().captured(handle);
        if (old) {
            SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
        }
    }
    return old;
}

BOOL ReleaseCapture()
{
    if (GetCapture()) {
        SetCapture(nullptr);
    }
    return TRUE;
}

HWND GetCapture()
{
    auto queue = currentqueue();
    if (queue->capture && !IsWindow(queue->capture)) {
        queue->capture = nullptr;
    }
    return queue->capture;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request)
{
    if (!request || request->cbSize < sizeof(TRACKMOUSEEVENT) || !IsWindow(request->hwndTrack)) {
        return FALSE;
    }
    auto queue = currentqueue();
    if (request->dwFlags & TME_CANCEL) {
        if (queue->tracking == request->hwndTrack) {
            queue->tracking = nullptr;
        }
        return TRUE;
    }
    if (request->dwFlags & TME_LEAVE) {
        if (queue->pointerwindow != request->hwndTrack) {
            PostMessageA(request->hwndTrack, WM_MOUSELEAVE, 0, 0);
            return TRUE;
        }
        queue->tracking = request->hwndTrack;
    }
    return TRUE;
}

namespace win {

void forgetinput(HWND handle)
{
    auto queue = currentqueue();
    if (within(handle, queue->focus)) {
        queue->focus = nullptr;
        backend().focused(nullptr);
    }
    if (queue->active == handle) {
        queue->active = nullptr;
        backend().activated(nullptr);
    }
    if (within(handle, queue->capture)) {
        queue->capture = nullptr;
        backend().captured(nullptr);
    }
    if (queue->tracking == handle) {
        queue->tracking = nullptr;
    }
    if (queue->pointerwindow == handle) {
        queue->pointerwindow = nullptr;
    }
}

} // namespace win
