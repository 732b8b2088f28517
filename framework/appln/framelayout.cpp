// The frame's layout: the rebars on its four sides, the tab strip below the top one and the
// module windows' area between them; the default area of a frame on a monitor; the bands of each
// window's bars.

#include "framework/appln/applnframe.h"
#include "framework/bars/rebar.h"
#include "framework/bars/toolbar.h"
#include "framework/tabs/tabstrip.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

// The registry names of the rebars' bands, by side.
constexpr const char* sidenames[4] = { "Top", "Bottom", "Left", "Right" };
// A rebar whose bands wrap differently at each try is placed this many times at most.
constexpr int settlingtries = 8;

// Places the window on the box, right and bottom edges included.
void place(HWND window, int left, int top, int right, int bottom)
{
    MoveWindow(window, left, top, right - left + 1, bottom - top + 1, TRUE);
}

// Places the rebar by its thickness until the thickness it answers no longer changes; the
// thickness.
template <typename PLACE> int settle(REBAR* rebar, PLACE placeat)
{
    int thickness = rebar->height();
    for (int n = 0; n < settlingtries; ++n) {
        placeat(thickness);
        const int now = rebar->height();
        if (now == thickness)
            break;
        thickness = now;
    }
    return thickness;
}

} // namespace

RECT APPLNFRAME::getdefaultwindowarea(HMONITOR monitor, int full)
{
    RECT area {};
    MONITORINFO info {};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info))
        area = info.rcWork;
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    area.left += width / 120;
    area.right -= width / 120;
    area.top += height / 80;
    area.bottom -= height / 80;
    width = area.right - area.left;
    height = area.bottom - area.top;
    if (!full && static_cast<long long>(width) * 9 > static_cast<long long>(height) * 14) {
        const int inset = (width - height * 14 / 9) / 2;
        area.left += inset;
        area.right -= inset;
    }
    return area;
}

RECT APPLNFRAME::calcsizes()
{
    RECT client {};
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (!tabstrip || !rebars[0] || !rebars[1] || !rebars[2] || !rebars[3])
        return { 0, 0, width - 1, height - 1 };
    const int top = settle(rebars[0], [&](int h) { place(rebars[0]->hwnd, 0, 0, width, h + 2); });
    const int bottom
        = settle(rebars[1], [&](int h) { place(rebars[1]->hwnd, 0, height - h + 1, width, height); });
    const int stripat = top + 4;
    MoveWindow(tabstrip->hwnd, 0, stripat, width, tabstrip->getheight() + 1, TRUE);
    RECT area {};
    area.top = stripat + tabstrip->getheight();
    area.bottom = height - bottom + 1 - 3; // three pixels above the bottom rebar
    const int left
        = settle(rebars[2], [&](int h) { place(rebars[2]->hwnd, 0, area.top, h - 1, area.bottom); });
    const int right = settle(
        rebars[3], [&](int h) { place(rebars[3]->hwnd, width - h + 1, area.top, width, area.bottom); });
    area.left = left; // between the left and the right rebar
    area.right = width - right;
    return area;
}

void APPLNFRAME::placeactivewindow(const RECT& area)
{
    if (active)
        place(active->hwnd, area.left, area.top, area.right, area.bottom);
}

void APPLNFRAME::onresize()
{
    if (!hwnd || IsIconic(hwnd))
        return;
    placeactivewindow(calcsizes());
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void APPLNFRAME::restorerebars(APPLNWINDOW* window)
{
    restoring = 1;
    for (REBAR* rebar : rebars) {
        if (!rebar)
            continue;
        ShowWindow(rebar->hwnd, SW_HIDE);
        rebar->detachall();
    }
    for (int side = 0; side < 4 && window; ++side)
        if (rebars[side])
            rebars[side]->restore(window->getregistrykey(), sidenames[side]);
    for (int i = 0; i < globaltoolbars.count && rebars[0]; ++i)
        globaltoolbars[i]->attach(rebars[0], i + 1);
    for (REBAR* rebar : rebars)
        if (rebar)
            ShowWindow(rebar->hwnd, SW_SHOW);
    restoring = 0;
    onresize();
}

void APPLNFRAME::saverebars(APPLNWINDOW* window)
{
    for (int side = 0; side < 4 && window; ++side)
        if (rebars[side])
            rebars[side]->save(window->getregistrykey(), sidenames[side]);
}
