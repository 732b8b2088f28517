#include "framework/bars/coordbox.h"

#include <cstring>

#include "core/text/strutil.h"
#include "framework/bars/screendpi.h"
#include "framework/context/applncontext.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

const char* const sample = "x: +9999.999 y: +9999.999 dist: +9999.999 ";
const char* const numberroom = " +9999.999";
constexpr COLORREF distcolour = RGB(0, 0, 192);
constexpr COLORREF unitcolour = RGB(0, 0, 128);

SIZE extent(HDC dc, const char* text)
{
    SIZE size {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size;
}

// Copies a field; true when that changed what is shown.
bool setfield(char* field, int size, const char* text, bool always)
{
    if (!text) {
        bool shown = field[0] != 0;
        field[0] = 0;
        return shown;
    }
    if (!always && std::strncmp(field, text, static_cast<size_t>(size - 1)) == 0)
        return false;
    strnzcpy(field, text, size - 1);
    return true;
}

} // namespace

COORDBOX::COORDBOX(BASEHWND* parent, unsigned id)
    : CTRLBAR(parent, id, 0)
    , font(getapplnctrlfont())
    , format(DT_RIGHT)
{
}

int COORDBOX::gettextwidth(const char* text)
{
    HDC dc = GetDC(hwnd);
    if (!dc)
        return 0;
    HGDIOBJ old = SelectObject(dc, font);
    int width = extent(dc, text).cx;
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return width;
}

void COORDBOX::update(bool showlabels, const char* x, const char* y, const char* dist, const char* unitname,
    COLORREF xcol, COLORREF ycol)
{
    labels = showlabels;
    bool changed = setfield(xtext, sizeof xtext, x, true);
    changed |= setfield(ytext, sizeof ytext, y, true);
    changed |= setfield(disttext, sizeof disttext, dist, true);
    if (x)
        xcolour = xcol;
    if (y)
        ycolour = ycol;
    if (unitwidth)
        changed |= setfield(units, sizeof units, unitname, false);
    if (changed) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
}

void COORDBOX::clear()
{
    labels = false;
    bool changed = setfield(xtext, sizeof xtext, nullptr, false);
    changed |= setfield(ytext, sizeof ytext, nullptr, false);
    changed |= setfield(disttext, sizeof disttext, nullptr, false);
    if (unitwidth)
        changed |= setfield(units, sizeof units, nullptr, false);
    if (changed) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
}

BOX COORDBOX::resize()
{
    HDC dc = GetDC(hwnd);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size = extent(dc, sample);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        sizeto(unitwidth + static_cast<int>(gap * 8 * static_cast<unsigned>(screendpi()) / 96) + size.cx,
            size.cy + 2, SWP_NOACTIVATE);
    }
    return CTRLBAR::resize();
}

void COORDBOX::onpaint(HDC dc)
{
    RECT client {};
    GetClientRect(hwnd, &client);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const int g = static_cast<int>(gap * static_cast<unsigned>(screendpi()) / 96);
    const int numberwidth = extent(dc, numberroom).cx;
    const int spacewidth = extent(dc, " ").cx;
    const struct {
        const char* text;
        const char* label;
        COLORREF colour;
    } fields[] = {
        { xtext, labels ? "x:" : "", xcolour },
        { ytext, labels ? "y:" : "", ycolour },
        { disttext, "dist:", distcolour },
    };
    int right = client.left;
    for (const auto& field : fields) {
        if (!field.text[0])
            continue;
        const int left = right + g;
        SetTextColor(dc, field.colour);
        RECT label { left, client.top, left + extent(dc, field.label).cx, client.bottom };
        DrawTextA(dc, field.label, -1, &label, format | DT_SINGLELINE | DT_VCENTER);
        RECT number { left, client.top, label.right + numberwidth, client.bottom };
        DrawTextA(dc, field.text, -1, &number, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        right = number.right + spacewidth + g;
    }
    if (unitwidth && units[0]) {
        SetTextColor(dc, unitcolour);
        RECT unit { client.right - g - unitwidth, client.top, client.right - g, client.bottom };
        DrawTextA(dc, units, -1, &unit, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, old);
}

LRESULT COORDBOX::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (reportclick(message, COORDBOX_LBUTTONDOWN))
        return 0;
    if (message == WM_SIZE)
        show(1);
    return CTRLBAR::msghlr(window, message, wParam, lParam);
}
