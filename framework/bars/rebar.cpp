#include "framework/bars/rebar.h"

#include <cstdio>

#include "framework/appln/applnframe.h"
#include "framework/bars/ctrlbar.h"
#include "framework/bars/userhive.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

constexpr unsigned long lastband = 0xFFFFFFFF; // an Id that ends the restore walk after its band

// The registry key of a side's bands, or of band n of it (n >= 1).
struct BANDKEY {
    BANDKEY(const char* windowkey, const char* side, int band = 0)
    {
        if (band > 0)
            std::snprintf(text, sizeof text, "Rebars\\%s\\%s\\Band%d", windowkey, side, band);
        else
            std::snprintf(text, sizeof text, "Rebars\\%s\\%s", windowkey, side);
    }
    char text[600];
};

REBARBANDINFOA bandinfo(UINT mask)
{
    REBARBANDINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

} // namespace

REBAR::REBAR(APPLNFRAME* frame, unsigned id, unsigned style)
    : frame(frame)
{
    HWND parent = frame ? frame->gethwnd() : nullptr;
    RECT client {};
    GetClientRect(parent, &client);
    const bool vertical = style & CCS_VERT;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
        style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_DBLCLKTOGGLE | RBS_BANDBORDERS
            | RBS_VARHEIGHT | CCS_NODIVIDER | CCS_NOPARENTALIGN,
        0, 0, vertical ? 0 : client.right, vertical ? client.bottom : 0, parent,
        reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    if (!window)
        return;
    REBARINFO info { sizeof(REBARINFO), 0, nullptr };
    SendMessageA(window, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    placeholder = bandinfo(RBBIM_STYLE);
    SendMessageA(window, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&placeholder));
    subclass(window);
}

REBAR::~REBAR()
{
    // The docked bars go with the rebar window, and must not reach back into this object.
    for (int n = 1; n < bandcount(); ++n)
        if (CTRLBAR* bar = barof(n); bar && bar->rebar == this)
            bar->rebar = nullptr;
    HWND window = hwnd;
    unbind();
    if (window)
        DestroyWindow(window);
}

int REBAR::bandcount()
{
    return static_cast<int>(SendMessageA(hwnd, RB_GETBANDCOUNT, 0, 0));
}

CTRLBAR* REBAR::barof(int band)
{
    REBARBANDINFOA info = bandinfo(RBBIM_LPARAM);
    return SendMessageA(hwnd, RB_GETBANDINFOA, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&info))
        ? reinterpret_cast<CTRLBAR*>(info.lParam)
        : nullptr;
}

int REBAR::bandof(CTRLBAR* bar)
{
    for (int n = 1; bar && n < bandcount(); ++n)
        if (barof(n) == bar)
            return n;
    return -1;
}

void REBAR::setplaceholderhidden(bool hidden)
{
    placeholder.fStyle = hidden ? placeholder.fStyle | RBBS_HIDDEN : placeholder.fStyle & ~RBBS_HIDDEN;
    SendMessageA(hwnd, RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&placeholder));
}

void REBAR::adddummyband()
{
    REBARBANDINFOA dummy = placeholder;
    dummy.fStyle &= ~RBBS_HIDDEN;
    SendMessageA(hwnd, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&dummy));
}

void REBAR::attach(CTRLBAR* bar, int position)
{
    const int count = bandcount();
    const BOX box = bar->resize();
    if (count == 1)
        setplaceholderhidden(true);
    const bool vertical = isvertical();
    const auto along = static_cast<UINT>((vertical ? box.height() : box.width()) + 1);
    const auto across = static_cast<UINT>((vertical ? box.width() : box.height()) + 1);
    REBARBANDINFOA band = bandinfo(RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_LPARAM);
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = bar->gethwnd();
    band.lParam = reinterpret_cast<LPARAM>(bar);
    band.cxMinChild = static_cast<UINT>(bar->minwidth());
    band.cyMinChild = band.cyChild = band.cyMaxChild = across;
    band.cx = along;
    SendMessageA(hwnd, RB_INSERTBANDA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&band));
    if (!bar->isRestored())
        SendMessageA(hwnd, RB_MAXIMIZEBAND, static_cast<WPARAM>(count), FALSE);
}

void REBAR::detach(CTRLBAR* bar)
{
    if (int band = bandof(bar); band >= 0)
        SendMessageA(hwnd, RB_DELETEBAND, static_cast<WPARAM>(band), 0);
    if (bar->rebar == this)
        bar->detach();
    for (int n = 1; n < bandcount(); ++n)
        if (barof(n))
            return;
    setplaceholderhidden(false);
}

void REBAR::detachall()
{
    while (bandcount() > 1) {
        CTRLBAR* bar = barof(1);
        SendMessageA(hwnd, RB_DELETEBAND, 1, 0);
        if (bar && bar->rebar == this)
            bar->detach();
    }
    setplaceholderhidden(false);
}

void REBAR::showband(CTRLBAR* bar, int show)
{
    if (int band = bandof(bar); band >= 0)
        SendMessageA(hwnd, RB_SHOWBAND, static_cast<WPARAM>(band), show ? TRUE : FALSE);
}

void REBAR::begindrag(CTRLBAR* bar)
{
    int band = bandof(bar);
    if (band < 0)
        return;
    tagPOINT cursor {};
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    PostMessageA(hwnd, RB_BEGINDRAG, static_cast<WPARAM>(band), MAKELPARAM(cursor.x, cursor.y));
}

void REBAR::dragmove()
{
    PostMessageA(hwnd, RB_DRAGMOVE, 0, static_cast<LPARAM>(-1));
}

void REBAR::enddrag()
{
    PostMessageA(hwnd, RB_ENDDRAG, 0, 0);
}

int REBAR::height()
{
    return isempty() ? 4 : static_cast<int>(SendMessageA(hwnd, RB_GETBARHEIGHT, 0, 0));
}

int REBAR::isempty()
{
    return bandcount() < 2;
}

int REBAR::isvertical()
{
    return (GetWindowLongA(hwnd, GWL_STYLE) & CCS_VERT) ? 1 : 0;
}

void REBAR::save(const char* windowkey, const char* side)
{
    USERHIVE hive;
    reg_removekey(BANDKEY(windowkey, side).text);
    for (int n = 1; n < bandcount(); ++n) {
        CTRLBAR* bar = barof(n);
        if (!bar)
            continue;
        REBARBANDINFOA band = bandinfo(RBBIM_SIZE | RBBIM_STYLE);
        SendMessageA(hwnd, RB_GETBANDINFOA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&band));
        BANDKEY key(windowkey, side, n);
        reg_putval(key.text, "Id", static_cast<DWORD>(GetDlgCtrlID(bar->gethwnd())));
        reg_putval(key.text, "Size", band.cx);
        reg_putval(key.text, "Style", band.fStyle);
    }
}

void REBAR::restore(const char* windowkey, const char* side)
{
    USERHIVE hive;
    unsigned long id = 0;
    unsigned long size = 0; // a missing value keeps the one read for the band before
    unsigned long style = 0;
    for (int n = 1; id != lastband; ++n) {
        BANDKEY key(windowkey, side, n);
        if (!reg_getval(key.text, "Id", &id))
            return;
        CTRLBAR* bar = frame ? frame->getctrlbar(static_cast<unsigned>(id)) : nullptr;
        if (!bar)
            continue;
        const int shown = bar->isVisible();
        bar->setRestored(1);
        bar->attach(this, -1);
        reg_getval(key.text, "Size", &size);
        reg_getval(key.text, "Style", &style);
        // The saved band goes to the bar's own band: a bar that was not found does not shift it.
        REBARBANDINFOA band = bandinfo(RBBIM_SIZE | RBBIM_STYLE);
        band.cx = static_cast<UINT>(size);
        band.fStyle = static_cast<UINT>(style);
        if (int place = bandof(bar); place >= 0)
            SendMessageA(hwnd, RB_SETBANDINFOA, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(&band));
        bar->show(shown);
    }
}
