// Measuring and drawing the owner-drawn items of the framework's menus.

#include <algorithm>
#include <functional>
#include <string>

#include "framework/menus/checkmark.h"
#include "framework/menus/menu.h"
#include "framework/menus/menubar.h"
#include "framework/menus/menuitems.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/menu.h"
#include "platform/win/messages.h"
#include "platform/win/monitors.h"

namespace {

constexpr int separatorheight = 7;
constexpr int textinset = 6; // the label from the text part's left edge
constexpr int keygap = 10; // the key name after the widest label
// The dialog library's gradient of the image column and of a selected item.
constexpr int facegradient = 0;
constexpr int greyedgradient = 3;

// The widest label and key text of a menu, measured again when another menu (or the same one
// with other texts) is measured or drawn.
struct WIDTHS {
    HMENU menu = nullptr;
    size_t texts = 0; // a signature of the menu's texts
    int label = 0;
    int key = 0;
};

std::pair<std::string, std::string> splitattab(const std::string& text)
{
    const size_t tab = text.find('\t');
    if (tab == std::string::npos)
        return { text, "" };
    return { text.substr(0, tab), text.substr(tab + 1) };
}

int textwidth(HDC dc, const std::string& text)
{
    RECT area {};
    DrawTextA(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_CALCRECT);
    return area.right - area.left;
}

const WIDTHS& widthsof(HMENU menu)
{
    static WIDTHS cache;
    const int count = GetMenuItemCount(menu);
    std::string all;
    for (int position = 0; position < count; ++position)
        all += menutext(menu, position) + '\n';
    const size_t texts = std::hash<std::string> {}(all);
    if (cache.menu == menu && cache.texts == texts)
        return cache;
    cache = { menu, texts, 0, 0 };
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (int position = 0; position < count; ++position) {
        auto [label, key] = splitattab(menutext(menu, position));
        cache.label = std::max(cache.label, textwidth(dc, label));
        cache.key = std::max(cache.key, textwidth(dc, key));
    }
    SelectObject(dc, font);
    DeleteDC(dc);
    return cache;
}

// The position of the item an owner-draw message is about: a command by its id, a popup by its
// handle (the id of a popup's item); -1 for a separator or an item not in the menu.
int positionof(HMENU menu, UINT id)
{
    if (!id)
        return -1;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU submenu = GetSubMenu(menu, position);
        if (submenu ? reinterpret_cast<uintptr_t>(submenu) == id
                    : !isseparatoritem(menu, position) && GetMenuItemID(menu, position) == id)
            return position;
    }
    return -1;
}

void line(HDC dc, int x1, int y1, int x2, int y2)
{
    HGDIOBJ old = SelectObject(dc, dlg_lolitepen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
}

void drawtext(HDC dc, const std::string& text, RECT area, COLORREF colour)
{
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

// A label or key text at left; greyed text is engraved.
void drawlabel(HDC dc, const std::string& text, const RECT& item, int left, bool greyed, bool selected)
{
    if (text.empty())
        return;
    RECT area { left, item.top, item.right, item.bottom };
    if (!greyed) {
        drawtext(dc, text, area, GetSysColor(COLOR_MENUTEXT));
        return;
    }
    if (!selected) {
        RECT offset { area.left + 1, area.top + 1, area.right + 1, area.bottom + 1 };
        drawtext(dc, text, offset, dlg_hihicolour);
    }
    drawtext(dc, text, area, dlg_locolour);
}

// The image of the item's strip for its state, centred in the height of the item at its left.
void drawimage(HDC dc, HMENU menu, int position, UINT state, const RECT& item)
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    HBITMAP strip = info.hbmpChecked;
    int offset = MENU::mb_normal_offset();
    if (state & (ODS_GRAYED | ODS_DISABLED))
        offset = MENU::mb_greyed_offset();
    else if (state & ODS_SELECTED)
        offset = MENU::mb_msover_offset();
    else if (state & ODS_CHECKED)
        offset = MENU::mb_checked_offset();
    if (!strip && (state & ODS_CHECKED)) {
        strip = sharedcheckmark();
        offset = MENU::mb_checked_offset();
    }
    if (!strip)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, strip);
    const int height = MENU::menu_bmpheight();
    const int top = item.top + (item.bottom - item.top - height) / 2;
    BitBlt(dc, item.left, top, MENU::menu_bmpwidth(), height, source, offset, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace

void MENU::measure_item(HMENU menu, MEASUREITEMSTRUCT* measure)
{
    if (!measure->itemID) {
        measure->itemHeight = separatorheight;
        return;
    }
    const WIDTHS& widths = widthsof(menu);
    measure->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) + 2, menu_bmpheight() + 2));
    // As wide as the system makes an owner-drawn item: the check mark's width comes on top.
    measure->itemWidth = static_cast<UINT>(
        menu_bmpwidth() + 12 + widths.label + widths.key + GetSystemMetrics(SM_CXMENUCHECK) - 1);
}

void MENU::draw_item(HMENU menu, DRAWITEMSTRUCT* draw)
{
    HDC dc = draw->hDC;
    const RECT& item = draw->rcItem;
    const RECT column { item.left, item.top, item.left + menu_bmpwidth() + 1, item.bottom };
    GradientFillRect(dc, &column, facegradient, 0, 0);
    line(dc, column.right - 1, item.top, column.right - 1, item.bottom);
    const int position = positionof(menu, draw->itemID);
    if (position < 0) {
        const RECT rest { column.right, item.top, item.right, item.bottom };
        FillRect(dc, &rest, GetSysColorBrush(COLOR_MENU));
        const int middle = (item.top + item.bottom) / 2;
        line(dc, column.right, middle, item.right - 10, middle);
        return;
    }
    const bool greyed = draw->itemState & (ODS_GRAYED | ODS_DISABLED);
    const bool selected = draw->itemState & ODS_SELECTED;
    drawimage(dc, menu, position, draw->itemState, item);
    const RECT text { column.right + 2, item.top, item.right, item.bottom };
    if (selected) {
        GradientFillRect(dc, &text, greyed ? greyedgradient : facegradient, greyed ? 0 : 1, 0);
        if (!greyed) {
            HBRUSH border = CreateSolidBrush(grad_4colour);
            FrameRect(dc, &text, border);
            DeleteObject(border);
        }
    } else {
        FillRect(dc, &text, GetSysColorBrush(COLOR_MENU));
    }
    SetBkMode(dc, TRANSPARENT);
    auto [label, key] = splitattab(menutext(menu, position));
    const int left = text.left + textinset;
    drawlabel(dc, label, item, left, greyed, selected);
    drawlabel(dc, key, item, left + widthsof(menu).label + keygap, greyed, selected);
}

void MENUBAR::measure_menu_item(MEASUREITEMSTRUCT* measure)
{
    MENUITEM* item = reinterpret_cast<MENUITEM*>(measure->itemData);
    HMENU popup = items.find(item) >= 0 ? item->menu() : nullptr;
    if (!popup && measure->itemID) {
        unsigned int position = 0;
        IMENUOWNER* asked = std::exchange(owner, nullptr);
        locateitem(measure->itemID, &popup, &position);
        owner = asked;
    }
    MENU::measure_item(popup, measure);
}

void MENUBAR::draw_menu_item(HMENU popup, DRAWITEMSTRUCT* draw)
{
    MENU::draw_item(popup, draw);
}
