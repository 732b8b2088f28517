// The tooltip control: the text of the tool under the pointer, shown after a delay as Qt's own
// tooltip, which places it on the pointer's screen and follows the style. The control's window
// keeps the tools and the timers and stays hidden. Tools with TTF_SUBCLASS are watched through a
// subclass of their window.
// Callers: the frame window's tooltip (framework).

#include <QToolTip>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/controls.h"
#include "platform/win/qt/tiptext.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

namespace winqt {
namespace {

constexpr UINT_PTR showtimer = 1;
constexpr UINT_PTR hidetimer = 2;

struct Tool {
    UINT flags;
    HWND window;
    UINT_PTR id;
    RECT rect;
    std::string text;
    LPARAM lParam;
};

struct Tooltip {
    HWND self = nullptr;
    std::vector<Tool> tools;
    int initial = 500;
    int autopop = 5000;
    int reshow = 100;
    bool active = true;
    int current = -1;
    bool shown = false;
    DWORD lasthide = 0;
};

Tooltip* stateof(HWND window)
{
    return reinterpret_cast<Tooltip*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool sametool(const Tool& tool, HWND window, UINT_PTR id)
{
    return tool.window == window && tool.id == id;
}

int findtool(Tooltip& tip, const TOOLINFOA* info)
{
    if (!info) {
        return -1;
    }
    for (size_t i = 0; i < tip.tools.size(); ++i) {
        if (sametool(tip.tools[i], info->hwnd, info->uId)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string textof(const TOOLINFOA* info)
{
    auto pointer = reinterpret_cast<intptr_t>(info->lpszText);
    return info->lpszText && pointer != -1 && !IS_INTRESOURCE(info->lpszText) ? std::string(info->lpszText)
                                                                              : std::string();
}

// The tool of the window under the pointer: the window itself (TTF_IDISHWND) or a rectangle of it.
int toolat(Tooltip& tip, HWND window, tagPOINT client)
{
    for (size_t i = 0; i < tip.tools.size(); ++i) {
        const Tool& tool = tip.tools[i];
        if (tool.flags & TTF_IDISHWND) {
            if (reinterpret_cast<HWND>(tool.id) == window) {
                return static_cast<int>(i);
            }
        } else if (tool.window == window && PtInRect(&tool.rect, client)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void hide(Tooltip& tip)
{
    KillTimer(tip.self, showtimer);
    KillTimer(tip.self, hidetimer);
    if (tip.shown) {
        tip.shown = false;
        tip.lasthide = GetTickCount();
        QToolTip::hideText();
    }
}

void show(Tooltip& tip)
{
    KillTimer(tip.self, showtimer);
    if (tip.current < 0 || !tip.active || tip.tools[static_cast<size_t>(tip.current)].text.empty()) {
        return;
    }
    const Tool& tool = tip.tools[static_cast<size_t>(tip.current)];
    HWND over = (tool.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.id) : tool.window;
    tagPOINT at { 0, 0 };
    GetCursorPos(&at);
    QToolTip::showText(QPoint(at.x, at.y), tiptext(tool.text, !(GetWindowLongA(tip.self, GWL_STYLE) & TTS_NOPREFIX)), widgetof(over), QRect(), tip.autopop);
    tip.shown = true;
    SetTimer(tip.self, hidetimer, static_cast<UINT>(tip.autopop), nullptr);
}

// What the watched windows report: the pointer over a tool arms the tip; a click or leaving ends it.
void relay(Tooltip& tip, const MSG& message)
{
    switch (message.message) {
    case WM_MOUSEMOVE: {
        tagPOINT client { GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam) };
        int tool = toolat(tip, message.hwnd, client);
        if (tool == tip.current) {
            return;
        }
        hide(tip);
        tip.current = tool;
        if (tool >= 0) {
            TRACKMOUSEEVENT track { sizeof(TRACKMOUSEEVENT), TME_LEAVE, message.hwnd, 0 };
            TrackMouseEvent(&track);
            bool recently = GetTickCount() - tip.lasthide < static_cast<DWORD>(tip.reshow * 4);
            SetTimer(tip.self, showtimer, static_cast<UINT>(recently ? tip.reshow : tip.initial), nullptr);
        }
        return;
    }
    case WM_MOUSELEAVE:
        hide(tip);
        tip.current = -1;
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        hide(tip);
        return;
    default:
        return;
    }
}

LRESULT watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto tooltip = reinterpret_cast<HWND>(data);
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE) {
        MSG relayed { window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {} };
        SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void unwatch(Tooltip& tip, HWND window)
{
    bool others = std::any_of(tip.tools.begin(), tip.tools.end(),
        [&](const Tool& t) { return (t.flags & TTF_SUBCLASS) && t.window == window; });
    if (!others) {
        RemoveWindowSubclass(window, watch, reinterpret_cast<UINT_PTR>(tip.self));
    }
}

void setdelay(Tooltip& tip, WPARAM which, int delay)
{
    switch (which) {
    case TTDT_AUTOMATIC:
        tip.initial = delay < 0 ? 500 : delay;
        tip.autopop = tip.initial * 10;
        tip.reshow = tip.initial / 5;
        return;
    case TTDT_INITIAL:
        tip.initial = delay < 0 ? 500 : delay;
        return;
    case TTDT_AUTOPOP:
        tip.autopop = delay < 0 ? 5000 : delay;
        return;
    case TTDT_RESHOW:
        tip.reshow = delay < 0 ? 100 : delay;
        return;
    default:
        return;
    }
}

LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Tooltip* tip = stateof(window);
    if (message == WM_NCCREATE) {
        tip = new Tooltip;
        tip->self = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tip));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!tip) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* info = reinterpret_cast<TOOLINFOA*>(lParam);
    switch (message) {
    case TTM_ADDTOOLA: {
        if (!info || info->cbSize < 48 || findtool(*tip, info) >= 0) {
            return FALSE;
        }
        tip->tools.push_back(
            Tool { info->uFlags, info->hwnd, info->uId, info->rect, textof(info), info->lParam });
        if (info->uFlags & TTF_SUBCLASS) {
            HWND watched = (info->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info->uId) : info->hwnd;
            SetWindowSubclass(
                watched, watch, reinterpret_cast<UINT_PTR>(window), reinterpret_cast<DWORD_PTR>(window));
        }
        return TRUE;
    }
    case TTM_DELTOOLA: {
        int index = findtool(*tip, info);
        if (index < 0) {
            return 0;
        }
        if (index == tip->current) {
            hide(*tip);
            tip->current = -1;
        } else if (index < tip->current) {
            --tip->current;
        }
        Tool removed = tip->tools[static_cast<size_t>(index)];
        tip->tools.erase(tip->tools.begin() + index);
        if (removed.flags & TTF_SUBCLASS) {
            unwatch(
                *tip, (removed.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(removed.id) : removed.window);
        }
        return 0;
    }
    case TTM_NEWTOOLRECTA: {
        int index = findtool(*tip, info);
        if (index >= 0) {
            tip->tools[static_cast<size_t>(index)].rect = info->rect;
        }
        return 0;
    }
    case TTM_UPDATETIPTEXTA: {
        int index = findtool(*tip, info);
        if (index < 0) {
            return 0;
        }
        tip->tools[static_cast<size_t>(index)].text = textof(info);
        if (index == tip->current && tip->shown) {
            show(*tip);
        }
        return 0;
    }
    case TTM_GETTOOLINFOA: {
        int index = findtool(*tip, info);
        if (index < 0) {
            return FALSE;
        }
        const Tool& tool = tip->tools[static_cast<size_t>(index)];
        info->uFlags = tool.flags;
        info->rect = tool.rect;
        info->lParam = tool.lParam;
        return TRUE;
    }
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(tip->tools.size());
    case TTM_SETDELAYTIME:
        setdelay(*tip, wParam, static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))));
        return 0;
    case TTM_ACTIVATE:
        tip->active = wParam != 0;
        if (!tip->active) {
            hide(*tip);
        }
        return 0;
    case TTM_POP:
        hide(*tip);
        return 0;
    case TTM_RELAYEVENT:
        if (auto* relayed = reinterpret_cast<const MSG*>(lParam)) {
            relay(*tip, *relayed);
        }
        return 0;
    case WM_TIMER:
        if (wParam == showtimer) {
            show(*tip);
        } else if (wParam == hidetimer) {
            hide(*tip);
        }
        return 0;
    case WM_NCDESTROY:
        hide(*tip);
        for (const Tool& tool : tip->tools) {
            if (tool.flags & TTF_SUBCLASS) {
                HWND watched = (tool.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.id) : tool.window;
                RemoveWindowSubclass(watched, watch, reinterpret_cast<UINT_PTR>(window));
            }
        }
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete tip;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC tooltipprocedure()
{
    return procedure;
}

} // namespace winqt
