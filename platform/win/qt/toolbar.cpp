// The toolbar control: a row (or with CCS_VERT a column) of image buttons, each a QToolButton of
// the control's QToolBar (toolbarwidget.cpp). It reports the hot button (TBN_HOTITEMCHANGE), asks
// for tips (TBN_GETINFOTIPA) and images (TBN_GETDISPINFOA), lets the parent draw buttons through
// NM_CUSTOMDRAW and sends WM_COMMAND for a click. The messages fix every button's rectangle, so
// the control lays the buttons out itself and the widgets take those places.

#include "platform/win/qt/toolbar.h"

#include <algorithm>

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace winqt {
namespace {

constexpr int infotipsize = 1024;

SIZE buttonsize(const Toolbar& bar)
{
    return SIZE { bar.bitmap.cx + bar.padding.cx, bar.bitmap.cy + bar.padding.cy };
}

bool hidden(const ToolbarButton& b)
{
    return b.state & TBSTATE_HIDDEN;
}

void layout(Toolbar& bar)
{
    SIZE size = buttonsize(bar);
    const bool down = vertical(bar);
    int at = 0;
    for (ToolbarButton& b : bar.buttons) {
        if (hidden(b)) {
            b.rect = RECT {};
            continue;
        }
        int length = separator(b) ? (b.width > 0 ? b.width : (b.image > 0 ? b.image : separatorextent()))
                                  : (b.width > 0 && !down ? b.width : (down ? size.cy : size.cx));
        b.rect = down ? RECT { 0, at, size.cx, at + length } : RECT { at, 0, at + length, size.cy };
        at += length;
    }
}

// Separators answer to their command only when they have one of their own; most have 0.
int indexof(const Toolbar& bar, WPARAM command)
{
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const ToolbarButton& b = bar.buttons[i];
        if (b.command == static_cast<int>(command) && (command != 0 || !separator(b))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int buttonat(const Toolbar& bar, tagPOINT point)
{
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const ToolbarButton& b = bar.buttons[i];
        if (!separator(b) && !hidden(b) && PtInRect(&b.rect, point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The button the mouse holds down, -1 for none.
int downbutton(const Toolbar& bar)
{
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        if (bar.buttons[i].state & TBSTATE_PRESSED) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool enabled(const Toolbar& bar, int index)
{
    return index >= 0 && (bar.buttons[static_cast<size_t>(index)].state & TBSTATE_ENABLED);
}

void redraw(Toolbar& bar, int index)
{
    if (index >= 0 && static_cast<size_t>(index) < bar.buttons.size()) {
        InvalidateRect(bar.self, &bar.buttons[static_cast<size_t>(index)].rect, TRUE);
    }
}

void changed(Toolbar& bar)
{
    layout(bar);
    syncwidgets(bar);
    InvalidateRect(bar.self, nullptr, TRUE);
}

UINT itemstate(const Toolbar& bar, int index)
{
    const ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    UINT state = 0;
    if (index == bar.hot) {
        state |= CDIS_HOT;
    }
    if (b.state & TBSTATE_PRESSED) {
        state |= CDIS_SELECTED;
    }
    if (b.state & TBSTATE_CHECKED) {
        state |= CDIS_CHECKED;
    }
    if (!(b.state & TBSTATE_ENABLED)) {
        state |= CDIS_DISABLED | CDIS_GRAYED;
    }
    if (b.state & TBSTATE_INDETERMINATE) {
        state |= CDIS_INDETERMINATE;
    }
    return state;
}

// The parent may take the toolbar away while it answers a notification.
bool alive(const Toolbar& bar, HWND self)
{
    return toolbarof(self) == &bar;
}

LRESULT customdraw(Toolbar& bar, HDC dc, DWORD stage, const RECT& area, int index)
{
    NMTBCUSTOMDRAW record {};
    record.nmcd.dwDrawStage = stage;
    record.nmcd.hdc = dc;
    record.nmcd.rc = area;
    if (index >= 0) {
        const ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
        record.nmcd.dwItemSpec = static_cast<DWORD_PTR>(b.command);
        record.nmcd.uItemState = itemstate(bar, index);
        record.nmcd.lItemlParam = static_cast<LPARAM>(b.data);
    }
    record.clrText = GetSysColor(COLOR_BTNTEXT);
    record.clrBtnFace = GetSysColor(COLOR_BTNFACE);
    record.clrBtnHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    record.clrHighlightHotTrack = GetSysColor(COLOR_HIGHLIGHT);
    record.rcText = area;
    return notifyparent(bar.self, NM_CUSTOMDRAW, &record.nmcd.hdr);
}

// The window's own surface holds the background and what the parent draws; a button the parent
// did not draw is drawn by its widget over it.
void paint(Toolbar& bar)
{
    const HWND self = bar.self;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(self, &ps);
    if (!dc) {
        EndPaint(self, &ps);
        return;
    }
    RECT client;
    GetClientRect(self, &client);
    DWORD style = static_cast<DWORD>(GetWindowLongA(self, GWL_STYLE));
    LRESULT erase
        = (style & TBSTYLE_CUSTOMERASE) ? customdraw(bar, dc, CDDS_PREERASE, client, -1) : CDRF_DODEFAULT;
    if (!alive(bar, self)) {
        EndPaint(self, &ps);
        return;
    }
    if (!(erase & CDRF_SKIPDEFAULT)) {
        if (style & (TBSTYLE_FLAT | TBSTYLE_TRANSPARENT)) {
            DrawThemeParentBackground(bar.self, dc, &client);
        } else {
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    if (erase & CDRF_NOTIFYPOSTERASE) {
        customdraw(bar, dc, CDDS_POSTERASE, client, -1);
    }
    LRESULT whole = customdraw(bar, dc, CDDS_PREPAINT, client, -1);
    for (size_t i = 0; i < bar.buttons.size() && alive(bar, self); ++i) {
        const RECT area = bar.buttons[i].rect;
        if (hidden(bar.buttons[i]) || separator(bar.buttons[i])) {
            continue;
        }
        int index = static_cast<int>(i);
        LRESULT item = (whole & CDRF_NOTIFYITEMDRAW) ? customdraw(bar, dc, CDDS_ITEMPREPAINT, area, index)
                                                     : CDRF_DODEFAULT;
        if (!alive(bar, self) || i >= bar.buttons.size()) {
            break;
        }
        bar.buttons[i].ownerdrawn = item & CDRF_SKIPDEFAULT;
        if (item & CDRF_NOTIFYPOSTPAINT) {
            customdraw(bar, dc, CDDS_ITEMPOSTPAINT, area, index);
        }
    }
    if (alive(bar, self) && (whole & CDRF_NOTIFYPOSTPAINT)) {
        customdraw(bar, dc, CDDS_POSTPAINT, client, -1);
    }
    EndPaint(self, &ps);
}

ToolbarButton buttonof(const TBBUTTON& t)
{
    ToolbarButton button;
    button.image = t.iBitmap;
    button.command = t.idCommand;
    button.state = t.fsState;
    button.style = t.fsStyle;
    button.data = t.dwData;
    button.string = t.iString;
    return button;
}

LRESULT setbit(Toolbar& bar, WPARAM command, BYTE bit, bool on)
{
    int index = indexof(bar, command);
    if (index < 0) {
        return FALSE;
    }
    ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    b.state = static_cast<BYTE>(on ? (b.state | bit) : (b.state & ~bit));
    syncwidgets(bar);
    redraw(bar, index);
    return TRUE;
}

LRESULT hasbit(Toolbar& bar, WPARAM command, BYTE bit)
{
    int index = indexof(bar, command);
    return index >= 0 && (bar.buttons[static_cast<size_t>(index)].state & bit) ? TRUE : FALSE;
}

LRESULT buttoninfo(Toolbar& bar, WPARAM which, TBBUTTONINFOA* info, bool set)
{
    if (!info) {
        return -1;
    }
    int index = (info->dwMask & TBIF_BYINDEX) ? static_cast<int>(which) : indexof(bar, which);
    if (index < 0 || static_cast<size_t>(index) >= bar.buttons.size()) {
        return -1;
    }
    ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    if (set) {
        if (info->dwMask & TBIF_IMAGE) {
            b.image = info->iImage;
        }
        if (info->dwMask & TBIF_STATE) {
            b.state = info->fsState;
        }
        if (info->dwMask & TBIF_STYLE) {
            b.style = info->fsStyle;
        }
        if (info->dwMask & TBIF_LPARAM) {
            b.data = info->lParam;
        }
        if (info->dwMask & TBIF_COMMAND) {
            b.command = info->idCommand;
        }
        if (info->dwMask & TBIF_SIZE) {
            b.width = info->cx;
        }
        changed(bar);
        return TRUE;
    }
    info->idCommand = b.command;
    info->iImage = b.image;
    info->fsState = b.state;
    info->fsStyle = b.style;
    info->cx = static_cast<WORD>(b.rect.right - b.rect.left);
    info->lParam = b.data;
    return index;
}

LRESULT setlist(Toolbar& bar, HIMAGELIST& slot, LPARAM list)
{
    HIMAGELIST old = slot;
    slot = reinterpret_cast<HIMAGELIST>(list);
    InvalidateRect(bar.self, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

SIZE sizeparameter(LPARAM lParam)
{
    return SIZE { LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)) };
}

// Mouse messages of the window: the pointer over a button makes it hot; a press on an enabled
// button goes to its widget, which the window then holds the mouse for until the release.
LRESULT mouse(Toolbar& bar, UINT message, tagPOINT point)
{
    const int index = buttonat(bar, point);
    const int held = downbutton(bar);
    switch (message) {
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track { sizeof(TRACKMOUSEEVENT), TME_LEAVE, bar.self, 0 };
        TrackMouseEvent(&track);
        if (held >= 0) {
            forwardmouse(bar, held, message, point);
        } else {
            sethot(bar, enabled(bar, index) ? index : -1, HICF_MOUSE);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        if (held < 0) {
            sethot(bar, -1, HICF_MOUSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (enabled(bar, index)) {
            SetCapture(bar.self);
            forwardmouse(bar, index, WM_LBUTTONDOWN, point);
        }
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == bar.self) {
            ReleaseCapture();
        }
        if (held >= 0) {
            forwardmouse(bar, held, message, point);
        }
        return 0;
    default:
        return 0;
    }
}

LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Toolbar* bar = toolbarof(window);
    if (message == WM_NCCREATE) {
        bar = new Toolbar;
        bar->self = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        makewidget(*bar);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!bar) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete bar;
        return 0;
    case WM_PAINT:
        paint(*bar);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return mouse(*bar, message, tagPOINT { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
    case WM_CAPTURECHANGED:
        if (int held = downbutton(*bar); held >= 0 && reinterpret_cast<HWND>(lParam) != window) {
            setpressed(*bar, held, false);
        }
        return 0;
    case TB_BUTTONSTRUCTSIZE:
        return 0;
    case TB_SETBITMAPSIZE:
        bar->bitmap = sizeparameter(lParam);
        changed(*bar);
        return TRUE;
    case TB_GETBUTTONSIZE: {
        SIZE size = buttonsize(*bar);
        return MAKELRESULT(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
    }
    case TB_SETPADDING: {
        LRESULT old = MAKELRESULT(static_cast<WORD>(bar->padding.cx), static_cast<WORD>(bar->padding.cy));
        bar->padding = sizeparameter(lParam);
        changed(*bar);
        return old;
    }
    case TB_SETMAXTEXTROWS:
        return TRUE; // buttons never show labels
    case TB_SETIMAGELIST:
        return setlist(*bar, bar->normal, lParam);
    case TB_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(bar->normal);
    case TB_SETHOTIMAGELIST:
        return setlist(*bar, bar->hotimages, lParam);
    case TB_GETHOTIMAGELIST:
        return reinterpret_cast<LRESULT>(bar->hotimages);
    case TB_SETDISABLEDIMAGELIST:
        return setlist(*bar, bar->disabled, lParam);
    case TB_ADDBUTTONSA:
    case TB_INSERTBUTTONA: {
        auto* added = reinterpret_cast<const TBBUTTON*>(lParam);
        if (!added) {
            return FALSE;
        }
        size_t count = message == TB_ADDBUTTONSA ? wParam : 1;
        size_t at
            = message == TB_ADDBUTTONSA ? bar->buttons.size() : std::min<size_t>(wParam, bar->buttons.size());
        for (size_t i = 0; i < count; ++i) {
            bar->buttons.insert(bar->buttons.begin() + static_cast<ptrdiff_t>(at + i), buttonof(added[i]));
        }
        if (bar->hot >= static_cast<int>(at)) {
            bar->hot += static_cast<int>(count);
        }
        changed(*bar);
        return TRUE;
    }
    case TB_GETBUTTON: {
        auto* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (!out || wParam >= bar->buttons.size()) {
            return FALSE;
        }
        const ToolbarButton& b = bar->buttons[wParam];
        *out = TBBUTTON { b.image, b.command, b.state, b.style, {}, b.data, b.string };
        return TRUE;
    }
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(bar->buttons.size());
    case TB_GETITEMRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!out || wParam >= bar->buttons.size()) {
            return FALSE;
        }
        *out = bar->buttons[wParam].rect;
        return TRUE;
    }
    case TB_AUTOSIZE: {
        layout(*bar);
        SIZE size = buttonsize(*bar);
        int length = 0;
        for (const ToolbarButton& b : bar->buttons) {
            length = std::max<int>(length, vertical(*bar) ? b.rect.bottom : b.rect.right);
        }
        SIZE whole = vertical(*bar) ? SIZE { size.cx, length } : SIZE { length, size.cy };
        SetWindowPos(window, nullptr, 0, 0, whole.cx, whole.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        syncwidgets(*bar);
        return 0;
    }
    case TB_ENABLEBUTTON:
        return setbit(*bar, wParam, TBSTATE_ENABLED, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_CHECKBUTTON:
        return setbit(*bar, wParam, TBSTATE_CHECKED, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_ISBUTTONENABLED:
        return hasbit(*bar, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED:
        return hasbit(*bar, wParam, TBSTATE_CHECKED);
    case TB_SETSTATE: {
        int index = indexof(*bar, wParam);
        if (index < 0) {
            return FALSE;
        }
        bar->buttons[static_cast<size_t>(index)].state
            = static_cast<BYTE>(LOWORD(static_cast<uintptr_t>(lParam)));
        changed(*bar);
        return TRUE;
    }
    case TB_GETSTATE: {
        int index = indexof(*bar, wParam);
        return index < 0 ? -1 : bar->buttons[static_cast<size_t>(index)].state;
    }
    case TB_GETBITMAP: {
        int index = indexof(*bar, wParam);
        return index < 0 ? 0 : bar->buttons[static_cast<size_t>(index)].image;
    }
    case TB_GETBUTTONINFOA:
        return buttoninfo(*bar, wParam, reinterpret_cast<TBBUTTONINFOA*>(lParam), false);
    case TB_SETBUTTONINFOA:
        return buttoninfo(*bar, wParam, reinterpret_cast<TBBUTTONINFOA*>(lParam), true);
    case TB_GETHOTITEM:
        return bar->hot;
    case TB_GETSTYLE:
        return GetWindowLongA(window, GWL_STYLE);
    case TB_SETSTYLE:
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(lParam));
        return 0;
    case WM_STYLECHANGED:
    case WM_SIZE:
        changed(*bar);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

Toolbar* toolbarof(HWND window)
{
    return reinterpret_cast<Toolbar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool separator(const ToolbarButton& button)
{
    return button.style & BTNS_SEP;
}

bool vertical(const Toolbar& bar)
{
    return GetWindowLongA(bar.self, GWL_STYLE) & CCS_VERT;
}

void sethot(Toolbar& bar, int index, DWORD flags)
{
    int old = bar.hot;
    if (index == old) {
        return;
    }
    NMTBHOTITEM change {};
    change.idOld = old >= 0 ? bar.buttons[static_cast<size_t>(old)].command : 0;
    change.idNew = index >= 0 ? bar.buttons[static_cast<size_t>(index)].command : 0;
    change.dwFlags = flags | (old < 0 ? HICF_ENTERING : 0) | (index < 0 ? HICF_LEAVING : 0);
    HWND self = bar.self;
    if (notifyparent(self, TBN_HOTITEMCHANGE, &change.hdr) || !alive(bar, self)) {
        return; // the parent refused the change, or took the toolbar away
    }
    bar.hot = index;
    redraw(bar, old);
    redraw(bar, index);
}

void setpressed(Toolbar& bar, int index, bool down)
{
    ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    b.state = static_cast<BYTE>(down ? (b.state | TBSTATE_PRESSED) : (b.state & ~TBSTATE_PRESSED));
    redraw(bar, index);
}

void click(Toolbar& bar, int index)
{
    ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    b.state &= static_cast<BYTE>(~TBSTATE_PRESSED);
    if ((b.style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP) {
        // Exactly one button of a run of group buttons is checked.
        auto ingroup = [&](size_t i) { return (bar.buttons[i].style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP; };
        size_t first = static_cast<size_t>(index);
        while (first > 0 && ingroup(first - 1)) {
            --first;
        }
        for (size_t i = first; i < bar.buttons.size() && ingroup(i); ++i) {
            bar.buttons[i].state &= static_cast<BYTE>(~TBSTATE_CHECKED);
            redraw(bar, static_cast<int>(i));
        }
        b.state |= TBSTATE_CHECKED;
    } else if (b.style & BTNS_CHECK) {
        b.state ^= TBSTATE_CHECKED;
    }
    redraw(bar, index);
    syncwidgets(bar);
    SendMessageA(GetParent(bar.self), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(b.command), BN_CLICKED),
        reinterpret_cast<LPARAM>(bar.self));
}

std::string infotip(Toolbar& bar, int index)
{
    const ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    char text[infotipsize] = {};
    NMTBGETINFOTIPA request {};
    request.pszText = text;
    request.cchTextMax = infotipsize;
    request.iItem = b.command;
    request.lParam = static_cast<LPARAM>(b.data);
    notifyparent(bar.self, TBN_GETINFOTIPA, &request.hdr);
    text[infotipsize - 1] = 0;
    return text;
}

int imageof(Toolbar& bar, const ToolbarButton& b)
{
    if (b.image != I_IMAGECALLBACK) {
        return b.image;
    }
    NMTBDISPINFOA request {};
    request.dwMask = TBNF_IMAGE;
    request.idCommand = b.command;
    request.lParam = b.data;
    request.iImage = I_IMAGENONE;
    notifyparent(bar.self, TBN_GETDISPINFOA, &request.hdr);
    return request.iImage;
}

WNDPROC toolbarprocedure()
{
    return procedure;
}

} // namespace winqt
