#include "framework/bars/sizingbar.h"

#include "core/text/strutil.h"
#include "framework/bars/userhive.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

const char* const sizebarskey = "SizeBars";

} // namespace

SIZINGBAR::SIZINGBAR(HWND parent, unsigned id, const char* barname, int place, int isvertical)
    : vertical(isvertical)
    , cursor(LoadCursorA(nullptr, isvertical ? IDC_SIZEWE : IDC_SIZENS))
    , position(place)
{
    strnzcpy(name, barname, sizeof name - 1);
    HWND window = CreateWindowExA(0, cls_noDC, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    if (window)
        bind(window);
    restore(name);
}

SIZINGBAR::~SIZINGBAR()
{
    HWND window = hwnd;
    unbind();
    if (window)
        DestroyWindow(window);
}

void SIZINGBAR::locate(int from, int to, int place, unsigned flags)
{
    if (vertical)
        BASEWIN::locate(place - 1, from, 3, to - from, flags);
    else
        BASEWIN::locate(from, place - 1, to - from, 3, flags);
}

void SIZINGBAR::save(const char* valuename)
{
    USERHIVE hive;
    reg_putval(sizebarskey, valuename, static_cast<DWORD>(position));
}

void SIZINGBAR::restore(const char* valuename)
{
    USERHIVE hive;
    unsigned long saved = 0;
    if (reg_getval(sizebarskey, valuename, &saved))
        position = static_cast<int>(saved);
}

LRESULT SIZINGBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(window);
        dragging = 1;
        return 0;
    case WM_LBUTTONUP:
        dragging = 0;
        if (GetCapture() == window)
            ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        dragging = 0;
        return 0;
    case WM_MOUSEMOVE: {
        if (!dragging)
            return 0;
        tagPOINT pointer {};
        GetCursorPos(&pointer);
        RECT area {};
        GetWindowRect(window, &area);
        int moved
            = vertical ? pointer.x - (area.left + area.right) / 2 : pointer.y - (area.top + area.bottom) / 2;
        if (moved)
            PostMessageA(GetParent(window), SIZINGBAR_MOVED, static_cast<WPARAM>(GetDlgCtrlID(window)),
                static_cast<LPARAM>(position + moved));
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT client {};
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(grad_4colour);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_SETCURSOR:
        SetCursor(cursor);
        return TRUE;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
