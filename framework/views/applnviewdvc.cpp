#include "framework/views/applnviewdvc.h"

#include <cstdint>

#include "framework/context/applncontext.h"
#include "framework/appln/applnwindow.h"
#include "framework/appln/inputhandler.h"
#include "platform/casq/renderer.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/resources.h"
#include "platform/win/window.h"

namespace {

bool isdown(int virtualkey)
{
    return (GetKeyState(virtualkey) & 0x8000) != 0;
}

bool isarrow(unsigned long key)
{
    return key >= VK_LEFT && key <= VK_DOWN;
}

RECT windowrect(HWND window)
{
    RECT area {};
    GetWindowRect(window, &area);
    return area;
}

// Rounds v to the nearest multiple of step, halves away from zero.
int64_t roundtostep(int64_t v, int64_t step)
{
    return (v + (v < 0 ? -step / 2 : step / 2)) / step * step;
}

} // namespace

APPLNVIEWDVC::APPLNVIEWDVC(
    APPLNVIEWHOST* viewhost, HWND window, DWORD flags, const BOX& area, int id, long unitsperinch)
    : SGDVC(window, id, area, flags, unitsperinch)
    , owner(viewhost->getapplnwindow())
    , host(viewhost)
{
}

APPLNVIEWDVC::~APPLNVIEWDVC()
{
    // A loop still attached (its window closed under it) ends cancelled instead of pumping a dead view.
    while (handler && handler->getdevice() == this)
        handler->detach();
}

LRESULT APPLNVIEWDVC::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handler)
        return handler->msghlr(window, message, wParam, lParam);
    return defhlr(window, message, wParam, lParam);
}

POINT APPLNVIEWDVC::gridpoint(POINT raw) const
{
    if (!snapstepx && !snapstepy)
        return raw;
    auto snapaxis = [this](int32_t coordinate, int32_t origin, int step) {
        if (!step)
            return coordinate;
        int64_t v = roundtostep((int64_t(coordinate) - origin) * snapscale, step);
        return clampcoord(v / snapscale + origin);
    };
    return POINT(snapaxis(raw.x, snaporigin.x, snapstepx), snapaxis(raw.y, snaporigin.y, snapstepy));
}

void APPLNVIEWDVC::setcursorpos(POINT raw)
{
    POINT points[2] = { raw, gridpoint(raw) };
    snapped = 0;
    unsigned long named = 0;
    int answer = handler ? handler->snapfunc(&snapped, points, &named)
                         : host->snapfunc(this, &snapped, points, &named);
    if (!sticky) {
        const char* look = trackpan ? IDC_SIZEALL : named ? MAKEINTRESOURCEA(WORD(named)) : IDC_ARROW;
        setcursortype(look, 0);
    }
    POINT final = points[1];
    if (answer || final != cursorpos) {
        if (shown && !ispainting()) {
            erasecursor();
            pointerpos = raw;
            cursorpos = final;
            showcursor(1);
            UpdateWindow(hwnd);
        }
        pointerpos = raw;
        cursorpos = final;
        if (handler)
            handler->updatestatus(owner);
    }
    pointerpos = raw;
    cursorpos = final;
    host->onsetcursor(this, raw, final, 1);
}

void APPLNVIEWDVC::movecursor(POINT at)
{
    if (!getvisiblearea().contains(at))
        host->pan(at, 0);
    tagPOINT screen = world2screen(at);
    tagPOINT now {};
    GetCursorPos(&now);
    if (now.x == screen.x && now.y == screen.y)
        return;
    SetCursorPos(screen.x, screen.y);
    constrain();
    ScreenToClient(hwnd, &screen);
    sendmousemove(screen);
    release();
}

// One step along the arrow from where the pointer is, on the grid from its origin. Unlike the
// pointer's own moves this leaves the confinement of a running loop as it was.
void APPLNVIEWDVC::movecursor(unsigned long key)
{
    if (!ismouseover() || !snapstepx || !snapstepy)
        return;
    int64_t x = (int64_t(pointerpos.x) - snaporigin.x) * snapscale;
    int64_t y = (int64_t(pointerpos.y) - snaporigin.y) * snapscale;
    switch (key & 0xFF) {
    case VK_LEFT:
        x -= snapstepx;
        break;
    case VK_UP:
        y += snapstepy;
        break;
    case VK_RIGHT:
        x += snapstepx;
        break;
    case VK_DOWN:
        y -= snapstepy;
        break;
    default:
        return;
    }
    setcursorpos(POINT(clampcoord(x / snapscale + snaporigin.x), clampcoord(y / snapscale + snaporigin.y)));
    movecursor(cursorpos);
}

void APPLNVIEWDVC::centrecursor()
{
    RECT area = windowrect(hwnd);
    tagPOINT centre { (area.left + area.right) / 2, (area.top + area.bottom) / 2 };
    SetCursorPos(centre.x, centre.y);
    constrain();
    ScreenToClient(hwnd, &centre);
    sendmousemove(centre);
    release();
}

void APPLNVIEWDVC::sendmousemove(tagPOINT client)
{
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, LPARAM((client.y << 16) | (client.x & 0xFFFF)));
}

void APPLNVIEWDVC::drawcursor(POINT at)
{
    if (!shown && hiddenwhiledrawn)
        return;
    if (hmode != HCURSOR_NONE && hcursorenabled)
        host->drawhcursor(this, hmode);
    if (handler) {
        setdrawmode(DRAWMODE_XOR);
        handler->drawcursor(at, getapplncolour(APPLNCOLOUR_CURSOR) ^ getapplncolour(APPLNCOLOUR_BACKGROUND));
        setdrawmode(DRAWMODE_COPY);
    }
    casq::RENDERER* renderer = xmode != XCURSOR_NONE ? active() : nullptr;
    if (!renderer)
        return;
    // The crosshair lies on whole client pixels, exclusive-or white.
    casq::PAINT paint;
    paint.pencolour = RGB(255, 255, 255);
    paint.exclusiveor = true;
    tagPOINT c = world2client(at);
    double x = c.x;
    double y = c.y;
    if (xmode == XCURSOR_SMALL) {
        renderer->polyline({ { x - 5, y - 5 }, { x + 5, y + 5 } }, paint);
        renderer->polyline({ { x - 5, y + 5 }, { x + 5, y - 5 } }, paint);
        return;
    }
    RECT client {};
    GetClientRect(hwnd, &client);
    renderer->polyline({ { 0, y }, { double(client.right), y } }, paint);
    renderer->polyline({ { x, 0 }, { x, double(client.bottom) } }, paint);
}

void APPLNVIEWDVC::erasecursor()
{
    shown = 0;
    beginanimate();
    drawcursor(cursorpos);
    endanimate();
    hiddenwhiledrawn = 1;
}

int APPLNVIEWDVC::showcursor(int on)
{
    int old = shown;
    if (on && !shown) {
        shown = 1;
        beginanimate();
        drawcursor(cursorpos);
        endanimate();
        hiddenwhiledrawn = 0;
    } else if (!on && shown) {
        erasecursor();
    }
    return old;
}

template <typename T> T APPLNVIEWDVC::changelook(T& field, T value)
{
    if (field == value)
        return value;
    int wasshown = shown;
    if (shown)
        erasecursor();
    T old = field;
    field = value;
    showcursor(wasshown);
    return old;
}

INPUTHANDLER* APPLNVIEWDVC::setinputhandler(INPUTHANDLER* newhandler)
{
    return changelook(handler, newhandler);
}

HCURSORMODES APPLNVIEWDVC::sethcursor(HCURSORMODES mode)
{
    return changelook(hmode, mode);
}

XCURSORMODES APPLNVIEWDVC::setxcursor(XCURSORMODES mode)
{
    return changelook(xmode, mode);
}

int APPLNVIEWDVC::enablehcursor(int on)
{
    return changelook(hcursorenabled, on ? 1 : 0);
}

int APPLNVIEWDVC::enableshiftpan(int on)
{
    int old = shiftpanenabled;
    shiftpanenabled = on ? 1 : 0;
    return old;
}

int APPLNVIEWDVC::settrackpan(int on)
{
    int old = trackpan;
    trackpan = on ? 1 : 0;
    if (trackpan)
        constrain();
    else
        release();
    setcursorpos(pointerpos);
    return old;
}

void APPLNVIEWDVC::setcursortype(const char* name, int keep)
{
    if (!name) {
        if (previousshape) {
            shape = previousshape;
            previousshape = nullptr;
            sticky = 0;
            SetCursor(shape);
        }
        return;
    }
    if (!keep && sticky)
        return;
    previousshape = shape;
    uintptr_t id = reinterpret_cast<uintptr_t>(name);
    bool system = IS_INTRESOURCE(name) && id >= 0x4000;
    shape = LoadCursorA(system ? nullptr : getapplngraphicsinstance(), name);
    sticky = keep ? 1 : 0;
    SetCursor(shape);
}

void APPLNVIEWDVC::setsnap(POINT& origin, long stepx, long stepy, long scale)
{
    snaporigin = origin;
    snapstepx = int(stepx);
    snapstepy = int(stepy);
    // The steps are divided by the scale: no scale is taken as 1.
    snapscale = scale >= 1 ? int(scale) : 1;
}

void APPLNVIEWDVC::setsnap(int stepx, int stepy)
{
    snapstepx = stepx;
    snapstepy = stepy;
}

void APPLNVIEWDVC::getsnap(int& stepx, int& stepy) const
{
    stepx = snapstepx;
    stepy = snapstepy;
}

void APPLNVIEWDVC::snaptogrid(POINT& point) const
{
    point.snap(snapstepx, snapstepy);
}

void APPLNVIEWDVC::confine()
{
    RECT area = windowrect(hwnd);
    ClipCursor(&area);
    SetCapture(hwnd);
}

void APPLNVIEWDVC::unconfine()
{
    ClipCursor(nullptr);
    ReleaseCapture();
}

void APPLNVIEWDVC::constrain()
{
    if (confinement++ == 0) {
        SetFocus(hwnd);
        confine();
    }
}

void APPLNVIEWDVC::release()
{
    if (--confinement <= 0) {
        unconfine();
        confinement = 0;
    }
}

int APPLNVIEWDVC::ismouseover()
{
    if (!host->isvisible())
        return 0;
    tagPOINT pointer {};
    GetCursorPos(&pointer);
    RECT area = windowrect(hwnd);
    return pointer.x >= area.left && pointer.x < area.right && pointer.y >= area.top && pointer.y < area.bottom;
}

int APPLNVIEWDVC::islbuttondown() const
{
    return isdown(VK_LBUTTON) || isdown(VK_RETURN);
}

int APPLNVIEWDVC::isrbuttondown() const
{
    return isdown(VK_RBUTTON);
}

int APPLNVIEWDVC::ismbuttondown() const
{
    return isdown(VK_MBUTTON);
}

int APPLNVIEWDVC::isshiftkeydown() const
{
    return isdown(VK_SHIFT);
}

int APPLNVIEWDVC::isctrlkeydown() const
{
    return isdown(VK_CONTROL);
}

int APPLNVIEWDVC::isaltkeydown() const
{
    return isdown(VK_MENU);
}

void APPLNVIEWDVC::keydown(unsigned long key)
{
    if (key == VK_SHIFT && shiftpanenabled && !shiftpanactive && ismouseover()) {
        constrain();
        shiftpanactive = 1;
    } else if (key == VK_RETURN && ismouseover()) {
        tagPOINT at {};
        GetCursorPos(&at);
        ScreenToClient(hwnd, &at);
        SendMessageA(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(at.x, at.y));
    } else if (isarrow(key)) {
        movecursor(key);
    } else {
        owner->onkeydown(key);
    }
    setcursorpos(pointerpos);
}

void APPLNVIEWDVC::keyup(unsigned long key)
{
    if (key == VK_SHIFT && shiftpanactive) {
        release();
        shiftpanactive = 0;
    } else if (key == VK_RETURN) {
        tagPOINT at {};
        GetCursorPos(&at);
        ScreenToClient(hwnd, &at);
        SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    } else {
        owner->onkeyup(key);
    }
    setcursorpos(pointerpos);
}

long APPLNVIEWDVC::defhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (confinement > 0) {
            if (message == WM_SETFOCUS)
                confine();
            else
                unconfine();
        }
        if (host->isvisible()) {
            UpdateWindow(hwnd);
            host->onsetcursor(this, pointerpos, cursorpos, 0);
        }
        return SGDVC::msghlr(window, message, wParam, lParam);
    case WM_PAINT: {
        // The cursor lies on the window's overlay, which a paint leaves as it is.
        PAINTSTRUCT paint {};
        host->beginpaint(this, &paint);
        BOX area = client2world(paint.rcPaint);
        area.normalize();
        host->onrepaint(this, area);
        host->endpaint(this, &paint);
        return 0;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            return SGDVC::msghlr(window, message, wParam, lParam);
        tagPOINT screen {};
        GetCursorPos(&screen);
        POINT before = pointerpos;
        setcursorpos(screen2world(screen));
        if (pointerpos != before)
            owner->resetstatusmsg(0);
        return 1;
    }
    case WM_MOUSEMOVE: {
        if (confinement <= 0)
            return 0;
        tagPOINT client { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        setcursorpos(client2world(client));
        if (trackpan)
            return 0;
        RECT area {};
        GetClientRect(hwnd, &area);
        int dx = client.x <= area.left ? -1 : client.x >= area.right - 1 ? 1 : 0;
        int dy = client.y <= area.top ? -1 : client.y >= area.bottom - 1 ? 1 : 0;
        if (dx || dy)
            host->autopan(this, dx, dy);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        keydown(wParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        keyup(wParam);
        return 0;
    case WM_LBUTTONDOWN:
        if (wParam & MK_SHIFT)
            host->onshiftzoom(this);
        else if (!shiftpanactive)
            host->onleftclick(this);
        return 0;
    case WM_RBUTTONDOWN:
        if (!shiftpanactive)
            host->onrightclick(this);
        return 0;
    case WM_MBUTTONDOWN:
        if (!shiftpanactive)
            host->ontrackpan(this);
        return 0;
    case WM_MOUSEWHEEL:
        SetFocus(hwnd);
        if (host->onmousewheel(this, GET_WHEEL_DELTA_WPARAM(wParam), unsigned(LOWORD(wParam))))
            return 0;
        return SGDVC::msghlr(window, message, wParam, lParam);
    case WM_COMMAND:
        return owner->docommand(LOWORD(wParam));
    case WM_MOUSEACTIVATE:
        return owner->msghlr(window, message, wParam, lParam);
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUSELECT:
    case WM_KEYQUERY:
        return SendMessageA(owner->gethwnd(), message, wParam, lParam);
    default:
        return SGDVC::msghlr(window, message, wParam, lParam);
    }
}
