#include "platform/win/qt/controls.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "platform/win/devicecontext.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/painterdc.h"
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

BOOL GradientFill(
    HDC dc, const TRIVERTEX* vertices, ULONG count, const void* mesh, ULONG meshcount, ULONG mode)
{
    auto* context = dynamic_cast<winqt::PainterDC*>(win::DeviceContext::of(dc));
    if (!context || !vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V))
        return FALSE;
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshcount; ++i) {
        if (rects[i].UpperLeft >= count || rects[i].LowerRight >= count)
            return FALSE;
        const TRIVERTEX& from = vertices[rects[i].UpperLeft];
        const TRIVERTEX& to = vertices[rects[i].LowerRight];
        RECT area { std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x),
            std::max(from.y, to.y) };
        QPainter* painter
            = area.right > area.left && area.bottom > area.top ? context->toolkitpainter(area) : nullptr;
        if (!painter)
            continue;
        // The end colours sit on the centres of the first and last pixel rows (or columns).
        const QRectF box(area.left, area.top, area.right - area.left, area.bottom - area.top);
        QLinearGradient ramp = mode == GRADIENT_FILL_RECT_V
            ? QLinearGradient(0, box.top() + 0.5, 0, box.bottom() - 0.5)
            : QLinearGradient(box.left() + 0.5, 0, box.right() - 0.5, 0);
        auto colour = [](const TRIVERTEX& v) { return QColor(v.Red >> 8, v.Green >> 8, v.Blue >> 8); };
        ramp.setColorAt(0, colour(from));
        ramp.setColorAt(1, colour(to));
        painter->fillRect(box, ramp);
    }
    return TRUE;
}

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
