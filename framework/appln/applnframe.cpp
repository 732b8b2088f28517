#include "framework/appln/applnframe.h"

#include "framework/appln/applnmodule.h"
#include "framework/appln/applnprocess.h"
#include "framework/bars/ctrlbar.h"
#include "framework/bars/rebar.h"
#include "platform/win/messagequeue.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

APPLNFRAME::APPLNFRAME(APPLNPROCESS* owner)
    : process(owner)
{
    context = owner ? owner->getapplncontext() : nullptr;
}

APPLNFRAME::~APPLNFRAME()
{
    destroywindow();
}

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
        int inset = (width - height * 14 / 9) / 2;
        area.left += inset;
        area.right -= inset;
    }
    return area;
}

HWND APPLNFRAME::createwindow(HMONITOR monitor)
{
    RECT area = getdefaultwindowarea(monitor, 0);
    HWND window = CreateWindowExA(0, cls_dclk_noDC, process ? process->getapplntitle() : "",
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, area.left, area.top, area.right - area.left,
        area.bottom - area.top, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        return nullptr;
    bind(window);
    const unsigned sides[4] = { CCS_TOP, CCS_BOTTOM, CCS_VERT | CCS_TOP, CCS_VERT | CCS_BOTTOM };
    for (int side = 0; side < 4; ++side)
        rebars[side] = new REBAR(this, 1, sides[side]);
    return window;
}

void APPLNFRAME::destroywindow()
{
    GDPA<APPLNWINDOW> all(windows);
    windows.count = 0;
    active = previous = nullptr;
    for (APPLNWINDOW* window : all)
        window->destroywindow();
    for (REBAR*& rebar : rebars) {
        delete rebar;
        rebar = nullptr;
    }
    if (!hwnd)
        return;
    HWND window = hwnd;
    unbind();
    DestroyWindow(window);
}

LRESULT APPLNFRAME::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        if (!numwindows())
            close(1);
        else if (process)
            process->requestclose(this);
        return 0;
    }
    if (message == WM_TIMER && wParam == FRAMETIMER_WORKSPACE) {
        if (process)
            process->setclosepending(0);
        KillTimer(window, FRAMETIMER_WORKSPACE);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int APPLNFRAME::queryclose()
{
    for (APPLNWINDOW* window : windows)
        if (window->getparentmodule() && window->getparentmodule()->ismodal())
            return 0;
    for (APPLNWINDOW* window : windows) {
        MODULECONTEXT* own = window->getapplncontext();
        APPLNCONTEXT* previous = own ? setapplncontext(own) : nullptr;
        int agreed = window->queryclose();
        if (own)
            setapplncontext(previous);
        if (!agreed)
            return 0;
    }
    return 1;
}

int APPLNFRAME::close(int force)
{
    if (!force && process && !process->queryclose(this))
        return 0;
    if (hwnd)
        ShowWindow(hwnd, SW_HIDE);
    closeallwindows();
    if (hwnd)
        KillTimer(hwnd, FRAMETIMER_WORKSPACE);
    if (process)
        process->removeframe(this);
    return 0;
}

void APPLNFRAME::closeallwindows()
{
    loadwindow(nullptr);
    for (int i = windows.count - 1; i >= 0; --i)
        if (APPLNWINDOW* window = windows.ptr(i))
            SendMessageA(window->hwnd, WM_CLOSE, 0, 0);
}

void APPLNFRAME::addwindow(APPLNWINDOW* window)
{
    windows.add(window);
}

void APPLNFRAME::removewindow(APPLNWINDOW* window)
{
    int index = windows.find(window);
    if (index < 0)
        return;
    if (window == previous)
        previous = nullptr;
    if (window == active) {
        APPLNWINDOW* next = previous ? previous
            : windows.ptr(index + 1) ? windows.ptr(index + 1)
                                     : windows.ptr(index - 1);
        loadwindow(next);
        previous = nullptr;
    }
    windows.remove(index);
}

void APPLNFRAME::loadwindow(APPLNWINDOW* window)
{
    if (window == active)
        return;
    previous = active;
    active = windows.find(window) >= 0 ? window : nullptr;
    if (previous && previous->hwnd)
        ShowWindow(previous->hwnd, SW_HIDE);
    if (active && active->hwnd)
        ShowWindow(active->hwnd, SW_SHOW);
}

CTRLBAR* APPLNFRAME::getctrlbar(unsigned id)
{
    for (HWND parent : { hwnd, active ? active->hwnd : nullptr }) {
        HWND child = parent ? GetDlgItem(parent, static_cast<int>(id)) : nullptr;
        if (auto* bar = dynamic_cast<CTRLBAR*>(BASEWIN::fromhandle(child)))
            return bar;
    }
    return nullptr;
}

void APPLNFRAME::attach(CTRLBAR* bar, int side, int position)
{
    if (REBAR* rebar = getrebar(side))
        bar->attach(rebar, position);
}

void APPLNFRAME::detach(CTRLBAR* bar)
{
    for (REBAR* rebar : rebars)
        if (rebar)
            rebar->detach(bar);
}

int APPLNFRAME::restorewindowplacement(HMONITOR monitor)
{
    return 0;
}

void APPLNFRAME::updatecaption()
{
    char caption[PATHBUFFER] = {};
    if (hwnd && process)
        SetWindowTextA(hwnd, process->getframecaption(caption));
}
