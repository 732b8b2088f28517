#include "platform/win/qt/controls.h"

#include <algorithm>

#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"

namespace winqt {

WNDPROC buttonprocedure();
WNDPROC rebarprocedure();
WNDPROC toolbarprocedure();
WNDPROC tooltipprocedure();

void registercontrols()
{
    const struct {
        const char* name;
        WNDPROC procedure;
        UINT style;
    } classes[] = {
        { WC_BUTTONA, buttonprocedure(), CS_DBLCLKS },
        { REBARCLASSNAMEA, rebarprocedure(), CS_DBLCLKS },
        { TOOLBARCLASSNAMEA, toolbarprocedure(), CS_DBLCLKS },
        { TOOLTIPS_CLASSA, tooltipprocedure(), CS_SAVEBITS },
    };
    for (const auto& c : classes) {
        WNDCLASSEXA record {};
        record.cbSize = sizeof record;
        record.style = c.style;
        record.lpfnWndProc = c.procedure;
        record.lpszClassName = c.name;
        RegisterClassExA(&record);
    }
}

LRESULT notifyparent(HWND control, UINT code, NMHDR* record)
{
    record->hwndFrom = control;
    record->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    record->code = code;
    HWND parent = GetParent(control);
    return parent ? SendMessageA(parent, WM_NOTIFY, record->idFrom, reinterpret_cast<LPARAM>(record)) : 0;
}

} // namespace winqt

// The parent erases a picture of its whole client area; the part under the control is copied in.
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    HWND parent = GetParent(window);
    RECT area {};
    if (!parent || !dc || !GetClientRect(parent, &area)) {
        return -1;
    }
    tagPOINT offset { 0, 0 };
    MapWindowPoints(window, parent, &offset, 1);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP picture
        = CreateCompatibleBitmap(dc, std::max<LONG>(1, area.right), std::max<LONG>(1, area.bottom));
    HGDIOBJ old = SelectObject(memory, picture);
    if (!SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0)) {
        FillRect(memory, &area, GetSysColorBrush(COLOR_BTNFACE));
    }
    RECT mine {};
    GetClientRect(window, &mine);
    RECT part = rect ? *rect : mine;
    BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, memory,
        part.left + offset.x, part.top + offset.y, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    return S_OK;
}

HRESULT SetWindowTheme(HWND, const wchar_t*, const wchar_t*)
{
    return S_OK;
}
