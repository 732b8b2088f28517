#include "platform/win/paint.h"

#include "platform/win/backend.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"
#include "platform/win/system.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

HDC handleof(DeviceContext* dc)
{
    return reinterpret_cast<HDC>(dc);
}
DeviceContext* contextof(HDC dc)
{
    return reinterpret_cast<DeviceContext*>(dc);
}

RECT clientrect(HWND handle)
{
    RECT client {};
    GetClientRect(handle, &client);
    return client;
}

} // namespace

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    RECT client = clientrect(handle);
    RECT area = rect ? intersect(*rect, client) : client;
    if (isempty(area)) {
        return TRUE;
    }
    window->update = unite(window->update, area);
    window->updateerase = window->updateerase || erase;
    backend().invalidated(handle);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    // The update area is a box: validating part of it keeps the box unless it is covered whole.
    if (!rect
        || (rect->left <= window->update.left && rect->top <= window->update.top
            && rect->right >= window->update.right && rect->bottom >= window->update.bottom)) {
        window->update = RECT {};
        window->updateerase = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND handle)
{
    if (!IsWindow(handle)) {
        return FALSE;
    }
    if (IsWindowVisible(handle)) {
        paint(handle);
    }
    return TRUE;
}

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN, UINT flags)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    if (flags & RDW_INVALIDATE) {
        InvalidateRect(handle, rect, (flags & RDW_ERASE) ? TRUE : FALSE);
    }
    if (flags & RDW_VALIDATE) {
        ValidateRect(handle, rect);
    }
    if (flags & RDW_ALLCHILDREN) {
        for (HWND child : std::vector<HWND>(window->children)) {
            RedrawWindow(child, nullptr, nullptr, flags & ~RDW_UPDATENOW);
        }
    }
    if (flags & RDW_UPDATENOW) {
        UpdateWindow(handle);
        if (flags & RDW_ALLCHILDREN) {
            if (auto again = windowref(handle)) {
                for (HWND child : std::vector<HWND>(again->children)) {
                    UpdateWindow(child);
                }
            }
        }
    }
    return TRUE;
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint)
{
    auto window = windowref(handle);
    if (!window || !paint) {
        return nullptr;
    }
    RECT area = window->update;
    bool erase = window->updateerase;
    window->update = RECT {};
    window->updateerase = false;
    *paint = PAINTSTRUCT {};
    paint->rcPaint = area;
    paint->hdc = handleof(backend().getdc(handle, &area));
    if (erase && paint->hdc) {
        paint->fErase
            = SendMessageA(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) ? FALSE : TRUE;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint)
{
    if (paint && paint->hdc) {
        backend().releasedc(handle, contextof(paint->hdc));
    }
    return TRUE;
}

HDC GetDC(HWND handle)
{
    if (!IsWindow(handle)) {
        return nullptr;
    }
    return handleof(backend().getdc(handle, nullptr));
}

int ReleaseDC(HWND handle, HDC dc)
{
    if (!dc) {
        return 0;
    }
    backend().releasedc(handle, contextof(dc));
    return 1;
}

namespace win {

LRESULT erasebackground(HWND handle, HDC dc)
{
    auto window = windowref(handle);
    if (!window || !dc || !window->windowclass->background) {
        return FALSE;
    }
    // A class brush may be given as a system colour index plus one.
    HBRUSH brush = window->windowclass->background;
    auto index = reinterpret_cast<uintptr_t>(brush);
    if (index >= 1 && index <= 31) {
        brush = GetSysColorBrush(static_cast<int>(index - 1));
    }
    RECT client;
    GetClientRect(handle, &client);
    return FillRect(dc, &client, brush) ? TRUE : FALSE;
}

bool paint(HWND handle)
{
    auto window = windowref(handle);
    if (!window || isempty(window->update)) {
        return false;
    }
    MSG message { handle, WM_PAINT, 0, 0, GetTickCount(), {} };
    deliver(message);
    // A procedure that left the area invalid would be asked again and again; once is enough.
    if (auto again = windowref(handle)) {
        again->update = RECT {};
        again->updateerase = false;
    }
    return true;
}

} // namespace win
