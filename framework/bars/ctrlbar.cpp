#include "framework/bars/ctrlbar.h"

#include "framework/appln/applnframe.h"
#include "framework/bars/offscreen.h"
#include "framework/bars/rebar.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

int sizing = 0;

} // namespace

CTRLBAR::CTRLBAR(int verticaldocking)
    : verticaldocking(verticaldocking)
{
}

// Of the class with double clicks: the status bar and the coordinate box report them.
CTRLBAR::CTRLBAR(BASEHWND* parent, unsigned id, int verticaldocking)
    : parentwindow(parent ? parent->gethwnd() : nullptr)
    , verticaldocking(verticaldocking)
{
    HWND window = CreateWindowExA(0, cls_dclk_noDC, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
        128, 16, parentwindow, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    if (window)
        bind(window);
}

CTRLBAR::~CTRLBAR()
{
    // A rebar must not keep a band whose bar is gone.
    if (REBAR* docked = rebar) {
        rebar = nullptr;
        docked->detach(this);
    }
    HWND window = hwnd;
    unbind();
    if (window && !destroying)
        DestroyWindow(window);
}

void CTRLBAR::attach(APPLNFRAME* frame)
{
    if (frame)
        frame->attach(this, defaultside, defaultposition);
}

void CTRLBAR::attach(REBAR* target, int position)
{
    if (rebar || !target)
        return;
    rebar = target;
    target->attach(this, position);
    target->showband(this, 1);
    visible = 1;
}

void CTRLBAR::detach()
{
    if (!rebar)
        return;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
        SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    SetParent(hwnd, parentwindow);
    rebar = nullptr;
}

void CTRLBAR::show(int flag)
{
    if (rebar)
        rebar->showband(this, flag);
    visible = flag;
}

void CTRLBAR::setdefpos(int side, int position)
{
    defaultside = side;
    defaultposition = position;
}

int CTRLBAR::isvertical() const
{
    return rebar && rebar->isvertical();
}

int CTRLBAR::rebarwidth() const
{
    RECT client {};
    return rebar && GetClientRect(rebar->gethwnd(), &client) ? client.right : 0;
}

int CTRLBAR::getsizing()
{
    return sizing;
}

void CTRLBAR::setsizing(int size)
{
    sizing = size;
}

BOX CTRLBAR::resize()
{
    RECT area {};
    GetWindowRect(hwnd, &area);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<tagPOINT*>(&area), 2);
    return BOX(area.left, area.top, area.right - 1, area.bottom - 1);
}

int CTRLBAR::minwidth()
{
    RECT area {};
    GetWindowRect(hwnd, &area);
    return isvertical() ? area.bottom - area.top : area.right - area.left;
}

void CTRLBAR::begindrag()
{
    resize();
    SendMessageA(hwnd, CTRLBAR_BEGINDRAG, 0, 0);
}

void CTRLBAR::onerase(HDC dc)
{
    RECT client {};
    GetClientRect(hwnd, &client);
    drawbackground(dc, &client);
}

void CTRLBAR::onpaint(HDC)
{
}

void CTRLBAR::drawbackground(HDC dc, const RECT* area)
{
    DrawThemeParentBackground(hwnd, dc, area);
}

bool CTRLBAR::reportclick(UINT message, UINT first)
{
    const UINT clicks[] = { WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK };
    for (UINT i = 0; i < 4; ++i)
        if (message == clicks[i]) {
            SendMessageA(parentwindow, first + i, 0, 0);
            return true;
        }
    return false;
}

// Each mouse move of a drag: over the bar's own rebar the band moves; over another rebar that may
// take the bar, that rebar becomes the drop target.
void CTRLBAR::dragto(tagPOINT client)
{
    HWND own = rebar->gethwnd();
    HWND frame = GetParent(own);
    tagPOINT point = client;
    MapWindowPoints(hwnd, frame, &point, 1);
    HWND under = ChildWindowFromPointEx(frame, point, CWP_ALL);
    auto* other = dynamic_cast<REBAR*>(BASEWIN::fromhandle(under));
    droptarget = nullptr;
    if (under == own) {
        SetCursor(savedcursor);
        rebar->dragmove();
    } else if (other && (verticaldocking || !other->isvertical())) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        droptarget = under;
    } else {
        SetCursor(LoadCursorA(nullptr, IDC_NO));
    }
}

void CTRLBAR::enddrag()
{
    dragging = 0;
    if (rebar)
        rebar->enddrag();
    SetCursor(savedcursor);
    if (GetCapture() == hwnd)
        ReleaseCapture();
}

// The bar leaves its rebar for the drop target, at its end.
void CTRLBAR::drop()
{
    auto* target = dynamic_cast<REBAR*>(BASEWIN::fromhandle(droptarget));
    droptarget = nullptr;
    if (!target || !rebar || target == rebar)
        return;
    rebar->detach(this);
    attach(target, -1);
}

void CTRLBAR::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client {};
    GetClientRect(hwnd, &client);
    OFFSCREEN picture(dc, client.right, client.bottom);
    if (HDC memory = dc ? picture.dc() : nullptr) {
        const RECT& dirty = ps.rcPaint;
        IntersectClipRect(memory, dirty.left, dirty.top, dirty.right, dirty.bottom);
        onerase(memory);
        onpaint(memory);
        picture.copyto(dc, 0, 0, dirty);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CTRLBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CTRLBAR_BEGINDRAG:
        if (!rebar)
            return 0;
        dragging = 1;
        SetCapture(window);
        rebar->begindrag(this);
        savedcursor = GetCursor();
        droptarget = nullptr;
        return 0;
    case WM_MOUSEMOVE:
        if (dragging && rebar)
            dragto(tagPOINT { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
        break;
    case WM_LBUTTONUP:
        if (dragging) {
            enddrag();
            drop();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        // A drag that loses the mouse ends where it is.
        if (dragging && reinterpret_cast<HWND>(lParam) != window) {
            enddrag();
            droptarget = nullptr;
        }
        break;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        destroying = true;
        deleteself();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
