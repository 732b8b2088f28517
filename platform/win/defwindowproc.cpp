// The default handling of messages a window procedure leaves alone.

#include <algorithm>
#include <cstring>

#include "platform/win/backend.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

// Alt went down and nothing else since.
bool altalone = false;

bool ischild(HWND handle)
{
    return (GetWindowLongA(handle, GWL_STYLE) & WS_CHILD) != 0;
}

LRESULT toparent(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ischild(handle) ? SendMessageA(GetAncestor(handle, GA_PARENT), message, wParam, lParam) : 0;
}

LRESULT settext(HWND handle, LPCSTR text)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    window->text = text ? text : "";
    backend().changed(handle, changetext);
    return TRUE;
}

LRESULT gettext(HWND handle, WPARAM size, LPSTR buffer)
{
    auto window = windowref(handle);
    if (!window || !buffer || size == 0) {
        return 0;
    }
    size_t length = std::min(window->text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, window->text.data(), length);
    buffer[length] = 0;
    return static_cast<LRESULT>(length);
}

// F1: the window asks for help about itself.
void help(HWND handle)
{
    HELPINFO info {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = GetDlgCtrlID(handle);
    info.hItemHandle = handle;
    GetCursorPos(&info.MousePos);
    SendMessageA(handle, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT systemcommand(HWND handle, WPARAM command, LPARAM lParam)
{
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        SendMessageA(handle, WM_CLOSE, 0, 0);
        return 0;
    case SC_MINIMIZE:
        ShowWindow(handle, SW_MINIMIZE);
        return 0;
    case SC_MAXIMIZE:
        ShowWindow(handle, SW_MAXIMIZE);
        return 0;
    case SC_RESTORE:
        ShowWindow(handle, SW_RESTORE);
        return 0;
    case SC_KEYMENU:
        keymenu(GetAncestor(handle, GA_ROOT), static_cast<char>(lParam));
        return 0;
    default:
        return 0;
    }
}

} // namespace

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName)) {
            settext(handle, create->lpszName);
        }
        return TRUE;
    }
    case WM_SETTEXT:
        return settext(handle, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return gettext(handle, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: {
        auto window = windowref(handle);
        return window ? static_cast<LRESULT>(window->text.size()) : 0;
    }
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return erasebackground(handle, reinterpret_cast<HDC>(wParam));
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos) {
            return 0;
        }
        if (!(pos->flags & SWP_NOSIZE)) {
            RECT client {};
            GetClientRect(handle, &client);
            WPARAM kind = IsIconic(handle) ? SIZE_MINIMIZED
                : IsZoomed(handle)         ? SIZE_MAXIMIZED
                                           : SIZE_RESTORED;
            SendMessageA(handle, WM_SIZE, kind, MAKELPARAM(client.right, client.bottom));
        }
        if (!(pos->flags & SWP_NOMOVE)) {
            tagPOINT origin { 0, 0 };
            ClientToScreen(handle, &origin);
            if (ischild(handle)) {
                ScreenToClient(GetAncestor(handle, GA_PARENT), &origin);
            }
            SendMessageA(
                handle, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
            SetFocus(handle);
        }
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_SETCURSOR: {
        if (ischild(handle) && toparent(handle, message, wParam, lParam)) {
            return TRUE;
        }
        auto hit = static_cast<SHORT>(LOWORD(lParam));
        if (hit == HTERROR) {
            WORD mouse = HIWORD(lParam);
            if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN) {
                MessageBeep(0);
            }
            return FALSE;
        }
        auto window = windowref(handle);
        if (hit == HTCLIENT && window && window->windowclass->cursor) {
            SetCursor(window->windowclass->cursor);
            return TRUE;
        }
        if (hit != HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        }
        return FALSE;
    }
    case WM_MOUSEACTIVATE:
        if (ischild(handle)) {
            LRESULT answer = toparent(handle, message, wParam, lParam);
            if (answer) {
                return answer;
            }
        }
        return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU:
    case WM_HELP:
        return toparent(handle, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return systemcommand(handle, wParam, lParam);
    case WM_NCLBUTTONDOWN:
        if (wParam == static_cast<WPARAM>(HTMENU)) {
            tagPOINT at { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
            auto items = menubarlayout(handle);
            for (size_t i = 0; i < items.size(); ++i) {
                if (contains(items[i], at)) {
                    trackmenubar(handle, static_cast<int>(i));
                }
            }
        }
        return 0;
    case WM_SYSKEYDOWN:
        altalone = wParam == VK_MENU;
        if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT)) {
            PostMessageA(GetAncestor(handle, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
            SendMessageA(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), -1);
        } else if (wParam == VK_F10) {
            SendMessageA(GetAncestor(handle, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSKEYUP:
        // Alt pressed and released on its own opens the menu bar.
        if (wParam == VK_MENU && altalone) {
            altalone = false;
            SendMessageA(GetAncestor(handle, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_KEYDOWN:
        altalone = false;
        if (wParam == VK_F1) {
            help(handle);
        } else if (wParam == VK_APPS) {
            SendMessageA(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), -1);
        }
        return 0;
    case WM_RBUTTONUP: {
        // The context menu follows the release of the right button, at the pointer.
        tagPOINT at { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        ClientToScreen(handle, &at);
        SendMessageA(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle),
            MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
        return 0;
    }
    case WM_SYSCHAR:
        if (wParam != VK_SPACE) {
            SendMessageA(
                GetAncestor(handle, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        }
        return 0;
    case WM_GETICON: {
        auto window = windowref(handle);
        if (!window) {
            return 0;
        }
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? window->bigicon : window->smallicon);
    }
    case WM_SETICON: {
        auto window = windowref(handle);
        if (!window) {
            return 0;
        }
        HICON& slot = wParam == ICON_BIG ? window->bigicon : window->smallicon;
        HICON old = slot;
        slot = reinterpret_cast<HICON>(lParam);
        backend().changed(handle, changestyle);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_CANCELMODE:
        if (GetCapture() == handle) {
            ReleaseCapture();
        }
        EndMenu();
        return 0;
    default:
        return 0;
    }
}
