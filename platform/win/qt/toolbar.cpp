// The toolbar control: a row (or with CCS_VERT a column) of image buttons. It reports the hot
// button (TBN_HOTITEMCHANGE), asks for tips (TBN_GETINFOTIPA) and images (TBN_GETDISPINFOA),
// lets the parent draw through NM_CUSTOMDRAW and sends WM_COMMAND for a click. Button panels and
// separators take their look from the Qt style.

#include <algorithm>
#include <vector>

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/qt/barstyle.h"
#include "platform/win/qt/controls.h"
#include "platform/win/window.h"

namespace winqt {
namespace {

constexpr int infotipsize = 1024;

struct Button {
    int image;
    int command;
    BYTE state;
    BYTE style;
    DWORD_PTR data;
    INT_PTR string;
    int width; // a separator's, or a set button width; 0 for the default
    RECT rect;
};

struct Toolbar {
    HWND self = nullptr;
    std::vector<Button> buttons;
    SIZE bitmap { 16, 15 };
    SIZE padding { 7, 6 };
    SIZE buttonsize { 0, 0 }; // set with TB_SETBUTTONSIZE; 0 follows bitmap and padding
    HIMAGELIST normal = nullptr;
    HIMAGELIST hotimages = nullptr;
    HIMAGELIST disabled = nullptr;
    int hot = -1;
    int pressed = -1;
    bool pressedinside = false;
    HWND tooltip = nullptr;
    std::vector<UINT_PTR> tools; // the ids registered with the tooltip
    int textrows = 1;
};

Toolbar* stateof(HWND window)
{
    return reinterpret_cast<Toolbar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool vertical(const Toolbar& bar)
{
    return GetWindowLongA(bar.self, GWL_STYLE) & CCS_VERT;
}

bool separator(const Button& b)
{
    return b.style & BTNS_SEP;
}

SIZE buttonsize(const Toolbar& bar)
{
    if (bar.buttonsize.cx > 0) {
        return bar.buttonsize;
    }
    return SIZE { bar.bitmap.cx + bar.padding.cx, bar.bitmap.cy + bar.padding.cy };
}

void layout(Toolbar& bar)
{
    SIZE size = buttonsize(bar);
    const bool down = vertical(bar);
    int at = 0;
    for (Button& b : bar.buttons) {
        if (b.state & TBSTATE_HIDDEN) {
            b.rect = RECT {};
            continue;
        }
        int length = separator(b) ? (b.width > 0 ? b.width : (b.image > 0 ? b.image : separatorsize()))
                                  : (b.width > 0 && !down ? b.width : (down ? size.cy : size.cx));
        b.rect = down ? RECT { 0, at, size.cx, at + length } : RECT { at, 0, at + length, size.cy };
        at += length;
    }
}

int indexof(const Toolbar& bar, WPARAM command)
{
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        if (bar.buttons[i].command == static_cast<int>(command) && !separator(bar.buttons[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int buttonat(const Toolbar& bar, tagPOINT point)
{
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const Button& b = bar.buttons[i];
        if (!separator(b) && !(b.state & TBSTATE_HIDDEN) && PtInRect(&b.rect, point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void redraw(Toolbar& bar, int index)
{
    if (index >= 0 && static_cast<size_t>(index) < bar.buttons.size()) {
        InvalidateRect(bar.self, &bar.buttons[static_cast<size_t>(index)].rect, TRUE);
    }
}

// One tip tool per visible button, over its rectangle.
void synctools(Toolbar& bar)
{
    if (!bar.tooltip) {
        return;
    }
    TOOLINFOA tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = bar.self;
    for (UINT_PTR id : bar.tools) {
        tool.uId = id;
        SendMessageA(bar.tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    bar.tools.clear();
    for (const Button& b : bar.buttons) {
        if (separator(b) || (b.state & TBSTATE_HIDDEN)) {
            continue;
        }
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = static_cast<UINT_PTR>(b.command);
        tool.rect = b.rect;
        if (SendMessageA(bar.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
            bar.tools.push_back(tool.uId);
        }
    }
}

void changed(Toolbar& bar)
{
    layout(bar);
    synctools(bar);
    InvalidateRect(bar.self, nullptr, TRUE);
}

// The tip of a button, asked of the parent when the button turns hot.
void updatetip(Toolbar& bar, int index)
{
    if (!bar.tooltip || index < 0) {
        return;
    }
    const Button& b = bar.buttons[static_cast<size_t>(index)];
    char text[infotipsize] = {};
    NMTBGETINFOTIPA request {};
    request.pszText = text;
    request.cchTextMax = infotipsize;
    request.iItem = b.command;
    request.lParam = static_cast<LPARAM>(b.data);
    notifyparent(bar.self, TBN_GETINFOTIPA, &request.hdr);
    text[infotipsize - 1] = 0;
    TOOLINFOA tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = bar.self;
    tool.uId = static_cast<UINT_PTR>(b.command);
    tool.lpszText = text;
    SendMessageA(bar.tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

int sethot(Toolbar& bar, int index, DWORD flags)
{
    int old = bar.hot;
    if (index == old) {
        return old;
    }
    NMTBHOTITEM change {};
    change.idOld = old >= 0 ? bar.buttons[static_cast<size_t>(old)].command : 0;
    change.idNew = index >= 0 ? bar.buttons[static_cast<size_t>(index)].command : 0;
    change.dwFlags = flags | (old < 0 ? HICF_ENTERING : 0) | (index < 0 ? HICF_LEAVING : 0);
    if (notifyparent(bar.self, TBN_HOTITEMCHANGE, &change.hdr)) {
        return old; // the parent refused the change
    }
    bar.hot = index;
    redraw(bar, old);
    redraw(bar, index);
    updatetip(bar, index);
    return old;
}

void click(Toolbar& bar, int index)
{
    Button& b = bar.buttons[static_cast<size_t>(index)];
    if ((b.style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP) {
        // Exactly one button of a run of group buttons is checked.
        int first = index;
        while (first > 0
            && (bar.buttons[static_cast<size_t>(first - 1)].style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP) {
            --first;
        }
        for (size_t i = static_cast<size_t>(first);
             i < bar.buttons.size() && (bar.buttons[i].style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP; ++i) {
            bar.buttons[i].state &= static_cast<BYTE>(~TBSTATE_CHECKED);
            redraw(bar, static_cast<int>(i));
        }
        b.state |= TBSTATE_CHECKED;
    } else if (b.style & BTNS_CHECK) {
        b.state ^= TBSTATE_CHECKED;
    }
    redraw(bar, index);
    SendMessageA(GetParent(bar.self), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(b.command), BN_CLICKED),
        reinterpret_cast<LPARAM>(bar.self));
}

int imageof(Toolbar& bar, const Button& b)
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

void drawbutton(Toolbar& bar, HDC dc, int index)
{
    const Button& b = bar.buttons[static_cast<size_t>(index)];
    const RECT& r = b.rect;
    if (separator(b)) {
        drawseparator(dc, r, vertical(bar));
        return;
    }
    const bool enabled = b.state & TBSTATE_ENABLED;
    drawbuttonpanel(dc, r, index == bar.hot && enabled, b.state & TBSTATE_PRESSED, b.state & TBSTATE_CHECKED);
    HIMAGELIST list = !enabled && bar.disabled         ? bar.disabled
        : index == bar.hot && enabled && bar.hotimages ? bar.hotimages
                                                       : bar.normal;
    int image = imageof(bar, b);
    int width = 0;
    int height = 0;
    if (image >= 0 && ImageList_GetIconSize(list, &width, &height)) {
        int shift = (b.state & TBSTATE_PRESSED) ? 1 : 0;
        ImageList_Draw(list, image, dc, r.left + (r.right - r.left - width) / 2 + shift,
            r.top + (r.bottom - r.top - height) / 2 + shift, ILD_TRANSPARENT);
    }
}

UINT itemstate(const Toolbar& bar, int index)
{
    const Button& b = bar.buttons[static_cast<size_t>(index)];
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

LRESULT customdraw(Toolbar& bar, HDC dc, DWORD stage, const RECT& area, int index)
{
    NMTBCUSTOMDRAW record {};
    record.nmcd.dwDrawStage = stage;
    record.nmcd.hdc = dc;
    record.nmcd.rc = area;
    if (index >= 0) {
        const Button& b = bar.buttons[static_cast<size_t>(index)];
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

void paint(Toolbar& bar)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar.self, &ps);
    if (!dc) {
        EndPaint(bar.self, &ps);
        return;
    }
    RECT client;
    GetClientRect(bar.self, &client);
    DWORD style = static_cast<DWORD>(GetWindowLongA(bar.self, GWL_STYLE));
    LRESULT erase
        = (style & TBSTYLE_CUSTOMERASE) ? customdraw(bar, dc, CDDS_PREERASE, client, -1) : CDRF_DODEFAULT;
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
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const Button& b = bar.buttons[i];
        if (b.state & TBSTATE_HIDDEN) {
            continue;
        }
        int index = static_cast<int>(i);
        LRESULT item = CDRF_DODEFAULT;
        if ((whole & CDRF_NOTIFYITEMDRAW) && !separator(b)) {
            item = customdraw(bar, dc, CDDS_ITEMPREPAINT, b.rect, index);
        }
        if (!(item & CDRF_SKIPDEFAULT)) {
            drawbutton(bar, dc, index);
        }
        if (item & CDRF_NOTIFYPOSTPAINT) {
            customdraw(bar, dc, CDDS_ITEMPOSTPAINT, b.rect, index);
        }
    }
    if (whole & CDRF_NOTIFYPOSTPAINT) {
        customdraw(bar, dc, CDDS_POSTPAINT, client, -1);
    }
    EndPaint(bar.self, &ps);
}

Button buttonof(const TBBUTTON& t)
{
    return Button { t.iBitmap, t.idCommand, t.fsState, t.fsStyle, t.dwData, t.iString, 0, RECT {} };
}

LRESULT setbit(Toolbar& bar, WPARAM command, BYTE bit, bool on)
{
    int index = indexof(bar, command);
    if (index < 0) {
        return FALSE;
    }
    Button& b = bar.buttons[static_cast<size_t>(index)];
    BYTE before = b.state;
    b.state = static_cast<BYTE>(on ? (b.state | bit) : (b.state & ~bit));
    if (bit == TBSTATE_HIDDEN && before != b.state) {
        changed(bar);
    } else {
        redraw(bar, index);
    }
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
    Button& b = bar.buttons[static_cast<size_t>(index)];
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

LRESULT setlist(HIMAGELIST& slot, LPARAM list)
{
    HIMAGELIST old = slot;
    slot = reinterpret_cast<HIMAGELIST>(list);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Toolbar* bar = stateof(window);
    if (message == WM_NCCREATE) {
        bar = new Toolbar;
        bar->self = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!bar) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    tagPOINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    switch (message) {
    case WM_CREATE:
        if (GetWindowLongA(window, GWL_STYLE) & TBSTYLE_TOOLTIPS) {
            bar->tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                0, 0, 0, 0, GetAncestor(window, GA_ROOT), nullptr, nullptr, nullptr);
        }
        return 0;
    case WM_DESTROY:
        DestroyWindow(bar->tooltip);
        bar->tooltip = nullptr;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete bar;
        return 0;
    case WM_PAINT:
        paint(*bar);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track { sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0 };
        TrackMouseEvent(&track);
        int index = buttonat(*bar, point);
        if (bar->pressed >= 0) {
            bool inside = index == bar->pressed;
            if (inside != bar->pressedinside) {
                bar->pressedinside = inside;
                Button& b = bar->buttons[static_cast<size_t>(bar->pressed)];
                b.state
                    = static_cast<BYTE>(inside ? (b.state | TBSTATE_PRESSED) : (b.state & ~TBSTATE_PRESSED));
                redraw(*bar, bar->pressed);
            }
            return 0;
        }
        sethot(*bar,
            index >= 0 && (bar->buttons[static_cast<size_t>(index)].state & TBSTATE_ENABLED) ? index : -1,
            HICF_MOUSE);
        return 0;
    }
    case WM_MOUSELEAVE:
        if (bar->pressed < 0) {
            sethot(*bar, -1, HICF_MOUSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        int index = buttonat(*bar, point);
        if (index < 0 || !(bar->buttons[static_cast<size_t>(index)].state & TBSTATE_ENABLED)) {
            return 0;
        }
        bar->pressed = index;
        bar->pressedinside = true;
        bar->buttons[static_cast<size_t>(index)].state |= TBSTATE_PRESSED;
        redraw(*bar, index);
        SetCapture(window);
        return 0;
    }
    case WM_LBUTTONUP: {
        int index = bar->pressed;
        if (index < 0) {
            return 0;
        }
        bar->pressed = -1;
        bar->buttons[static_cast<size_t>(index)].state &= static_cast<BYTE>(~TBSTATE_PRESSED);
        redraw(*bar, index);
        ReleaseCapture();
        if (buttonat(*bar, point) == index) {
            click(*bar, index);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (bar->pressed >= 0 && reinterpret_cast<HWND>(lParam) != window) {
            bar->buttons[static_cast<size_t>(bar->pressed)].state &= static_cast<BYTE>(~TBSTATE_PRESSED);
            redraw(*bar, bar->pressed);
            bar->pressed = -1;
        }
        return 0;
    case TB_BUTTONSTRUCTSIZE:
        return 0;
    case TB_SETBITMAPSIZE:
        bar->bitmap = SIZE { LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)) };
        changed(*bar);
        return TRUE;
    case TB_SETBUTTONSIZE:
        bar->buttonsize
            = SIZE { LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)) };
        changed(*bar);
        return TRUE;
    case TB_GETBUTTONSIZE: {
        SIZE size = buttonsize(*bar);
        return MAKELRESULT(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
    }
    case TB_SETPADDING: {
        LRESULT old = MAKELRESULT(static_cast<WORD>(bar->padding.cx), static_cast<WORD>(bar->padding.cy));
        bar->padding
            = SIZE { LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)) };
        changed(*bar);
        return old;
    }
    case TB_GETPADDING:
        return MAKELRESULT(static_cast<WORD>(bar->padding.cx), static_cast<WORD>(bar->padding.cy));
    case TB_SETMAXTEXTROWS:
        bar->textrows = static_cast<int>(wParam);
        return TRUE;
    case TB_SETIMAGELIST:
        return setlist(bar->normal, lParam);
    case TB_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(bar->normal);
    case TB_SETHOTIMAGELIST:
        return setlist(bar->hotimages, lParam);
    case TB_GETHOTIMAGELIST:
        return reinterpret_cast<LRESULT>(bar->hotimages);
    case TB_SETDISABLEDIMAGELIST:
        return setlist(bar->disabled, lParam);
    case TB_GETDISABLEDIMAGELIST:
        return reinterpret_cast<LRESULT>(bar->disabled);
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
        changed(*bar);
        return TRUE;
    }
    case TB_DELETEBUTTON:
        if (wParam >= bar->buttons.size()) {
            return FALSE;
        }
        bar->buttons.erase(bar->buttons.begin() + static_cast<ptrdiff_t>(wParam));
        bar->hot = -1;
        changed(*bar);
        return TRUE;
    case TB_GETBUTTON: {
        auto* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (!out || wParam >= bar->buttons.size()) {
            return FALSE;
        }
        const Button& b = bar->buttons[wParam];
        *out = TBBUTTON { b.image, b.command, b.state, b.style, {}, b.data, b.string };
        return TRUE;
    }
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(bar->buttons.size());
    case TB_COMMANDTOINDEX:
        return indexof(*bar, wParam);
    case TB_GETITEMRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!out || wParam >= bar->buttons.size()) {
            return FALSE;
        }
        *out = bar->buttons[wParam].rect;
        return TRUE;
    }
    case TB_GETRECT: {
        int index = indexof(*bar, wParam);
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!out || index < 0) {
            return FALSE;
        }
        *out = bar->buttons[static_cast<size_t>(index)].rect;
        return TRUE;
    }
    case TB_HITTEST:
        return lParam ? buttonat(*bar, *reinterpret_cast<const tagPOINT*>(lParam)) : -1;
    case TB_AUTOSIZE: {
        layout(*bar);
        SIZE size = buttonsize(*bar);
        int length = 0;
        for (const Button& b : bar->buttons) {
            length = std::max<int>(length, vertical(*bar) ? b.rect.bottom : b.rect.right);
        }
        SIZE whole = vertical(*bar) ? SIZE { size.cx, length } : SIZE { length, size.cy };
        SetWindowPos(window, nullptr, 0, 0, whole.cx, whole.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        synctools(*bar);
        return 0;
    }
    case TB_ENABLEBUTTON:
        return setbit(*bar, wParam, TBSTATE_ENABLED, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_CHECKBUTTON:
        return setbit(*bar, wParam, TBSTATE_CHECKED, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_PRESSBUTTON:
        return setbit(*bar, wParam, TBSTATE_PRESSED, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_HIDEBUTTON:
        return setbit(*bar, wParam, TBSTATE_HIDDEN, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_INDETERMINATE:
        return setbit(*bar, wParam, TBSTATE_INDETERMINATE, LOWORD(static_cast<uintptr_t>(lParam)) != 0);
    case TB_ISBUTTONENABLED:
        return hasbit(*bar, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED:
        return hasbit(*bar, wParam, TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED:
        return hasbit(*bar, wParam, TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN:
        return hasbit(*bar, wParam, TBSTATE_HIDDEN);
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
    case TB_SETHOTITEM:
        return sethot(*bar,
            static_cast<int>(static_cast<INT_PTR>(wParam)) < static_cast<int>(bar->buttons.size())
                ? static_cast<int>(static_cast<INT_PTR>(wParam))
                : -1,
            HICF_ARROWKEYS);
    case TB_GETTOOLTIPS:
        return reinterpret_cast<LRESULT>(bar->tooltip);
    case TB_GETSTYLE:
        return GetWindowLongA(window, GWL_STYLE);
    case TB_SETSTYLE:
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(lParam));
        return 0;
    case WM_STYLECHANGED:
        changed(*bar);
        return 0;
    case WM_SIZE:
        synctools(*bar);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC toolbarprocedure()
{
    return procedure;
}

} // namespace winqt
