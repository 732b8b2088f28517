// What the status bar shows (onpaint, under its lock): the message, else the hint, else the
// default text; a tabbed message box by box, a progress box as a bar filled to its percentage.

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/text/strutil.h"
#include "framework/bars/statusbar.h"
#include "platform/drelm/dialoglook.h"
#include "platform/tirsk/drawhelpers.h"
#include "platform/win/gdi.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

constexpr COLORREF progresscolour = RGB(0, 0, 192);

void fill(HDC dc, const RECT& area, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

} // namespace

// The percentage is held to 0..100 for the fill; its text is shown as given.
void STATUSBAR::paintprogress(HDC dc, const RECT& box, int width, const std::string& part, COLORREF back)
{
    const int percent = std::clamp(std::atoi(part.c_str()), 0, 100);
    const LONG filled = std::min<LONG>(box.left + 1 + width * percent / 100, box.right - 1);
    fill(dc, RECT { box.left + 1, box.top + 1, filled, box.bottom }, progresscolour);
    fill(dc, RECT { filled, box.top + 1, box.right - 1, box.bottom }, back);
    const COLORREF oldcolour = SetTextColor(dc, RGB(255, 255, 255));
    const int oldmode = SetBkMode(dc, TRANSPARENT);
    RECT label = box;
    DrawTextA(dc, part.c_str(), -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, oldmode);
    SetTextColor(dc, oldcolour);
}

void STATUSBAR::painttabs(HDC dc, const RECT& client, const std::string& text, COLORREF back)
{
    if (sunken)
        draw3Drect(dc, &client, 'b');
    LONG left = client.left;
    size_t at = 0; // where the next part starts; npos when the parts ran out
    for (int i = 0; i < boxcount && left < client.right; ++i) {
        TABBOX& box = boxes[i];
        const RECT area { left, client.top, std::min<LONG>(left + box.width, client.right), client.bottom };
        std::string part;
        if (at != std::string::npos) {
            const size_t tab = text.find('\t', at);
            part = text.substr(at, tab == std::string::npos ? std::string::npos : tab - at);
            at = tab == std::string::npos ? std::string::npos : tab + 1;
        }
        if (box.type == 0x80)
            paintprogress(dc, area, box.width, part, back);
        else
            drawfftext(dc, part.c_str(), &area, box.type);
        strnzcpy(box.text, part.c_str(), sizeof box.text - 1);
        left = area.right + 1;
    }
}

void STATUSBAR::onpaint(HDC dc)
{
    std::lock_guard guard(lock);
    const std::string* shown = nullptr;
    COLORREF colour = 0;
    COLORREF back = background;
    HFONT font = normalfont;
    unsigned format = 0;
    if (messagetext) {
        shown = &*messagetext;
        colour = messagecolour;
        back = messagebackground;
        font = bold ? boldfont : normalfont;
        format = messageflags;
    } else if (hint) {
        shown = &*hint;
        colour = hintcolour;
    } else if (defaulttext) {
        shown = &*defaulttext;
        colour = defaultcolour;
        format = defaultflags;
    }
    if (!shown)
        return;
    RECT client {};
    GetClientRect(hwnd, &client);
    colour = GetNearestColor(dc, colour);
    back = GetNearestColor(dc, back);
    const bool filled = !(messageflags & STATUSBAR_NOFILL) && back != dlg_bkcolour;
    HGDIOBJ oldfont = SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkColor(dc, back);
    SetBkMode(dc, filled ? OPAQUE : TRANSPARENT);
    if (messagetext && tabbed)
        painttabs(dc, client, *shown, back);
    else
        drawfftext(dc, shown->c_str(), &client, static_cast<int>(format & 3));
    SelectObject(dc, oldfont);
}

BOX STATUSBAR::resize()
{
    if (HDC dc = GetDC(hwnd)) {
        HGDIOBJ old = SelectObject(dc, boldfont);
        SIZE line {};
        GetTextExtentPoint32A(dc, "Ag", 2, &line);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        sizeto(2048, line.cy + 2, SWP_NOACTIVATE);
    }
    return CTRLBAR::resize();
}

void STATUSBAR::clear()
{
    if (HDC dc = GetDC(hwnd)) {
        onerase(dc);
        ReleaseDC(hwnd, dc);
    }
}
