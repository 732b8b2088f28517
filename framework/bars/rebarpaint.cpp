// The rebar's background (WM_ERASEBKGND), drawn off screen: the dialog library's colours for the
// rebar, and behind each visible bar a face gradient a little longer than the bar, outlined along
// its bottom and right edges.

#include <algorithm>

#include "framework/bars/ctrlbar.h"
#include "framework/bars/offscreen.h"
#include "framework/bars/rebar.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

void fill(HDC dc, const RECT& area, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

} // namespace

void REBAR::paintbackground(HDC dc, const RECT& client)
{
    const auto style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    const bool vertical = style & CCS_VERT;
    if (isempty()) {
        fill(dc, client, grad_4colour);
        return;
    }
    if (vertical)
        fill(dc, client, (style & CCS_BOTTOM) == CCS_BOTTOM ? gradb_1colour : gradb_4colour);
    else
        GradientFillRect(dc, &client, 4, 0, 0);
    HPEN outline = CreatePen(PS_SOLID, 1, grad_4colour);
    HGDIOBJ old = SelectObject(dc, outline);
    for (int n = 1; n < bandcount(); ++n) {
        CTRLBAR* bar = barof(n);
        if (bar && !IsWindowVisible(bar->gethwnd()))
            continue;
        RECT band {};
        SendMessageA(hwnd, RB_GETRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&band));
        RECT inside {};
        if (bar && GetClientRect(bar->gethwnd(), &inside)) {
            if (vertical)
                band.bottom = std::min<LONG>(band.bottom, band.top + inside.bottom + 10);
            else
                band.right = std::min<LONG>(band.right, band.left + inside.right + 10);
        }
        (vertical ? band.top : band.left) -= 2;
        GradientFillRect(dc, &band, 0, 0, 0);
        MoveToEx(dc, band.left, band.bottom - 1, nullptr);
        LineTo(dc, band.right - 1, band.bottom - 1);
        LineTo(dc, band.right - 1, band.top - 1);
    }
    SelectObject(dc, old);
    DeleteObject(outline);
}

LRESULT REBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_ERASEBKGND)
        return chainsubclass(window, message, wParam, lParam);
    RECT client {};
    GetClientRect(window, &client);
    auto dc = reinterpret_cast<HDC>(wParam);
    OFFSCREEN picture(dc, client.right, client.bottom);
    if (picture.dc()) {
        paintbackground(picture.dc(), client);
        picture.copyto(dc, 0, 0, client);
    }
    return 1;
}
