#include "framework/menus/menuitems.h"

#include "platform/win/menu.h"

namespace {

constexpr int menutextsize = 257;

} // namespace

bool holdscommand(HMENU menu, UINT id)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        if (!GetSubMenu(menu, position) && !isseparatoritem(menu, position)
            && GetMenuItemID(menu, position) == id)
            return true;
    return false;
}

bool isseparatoritem(HMENU menu, int position)
{
    // Not by GetMenuState, whose high byte holds a popup item's item count.
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

bool endsinseparator(HMENU menu)
{
    return isseparatoritem(menu, GetMenuItemCount(menu) - 1);
}

void makeownerdrawn(HMENU menu, int position)
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info))
        return;
    info.fType |= MFT_OWNERDRAW;
    SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
}

bool insertownerdrawnseparator(HMENU menu, int position, ULONG_PTR data)
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType = MFT_SEPARATOR | MFT_OWNERDRAW;
    info.dwItemData = data;
    return InsertMenuItemA(menu, static_cast<UINT>(position), TRUE, &info);
}

std::string menutext(HMENU menu, int position)
{
    char text[menutextsize] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

bool insertowneritem(HMENU menu, int position, UINT id, const char* text, HMENU submenu, ULONG_PTR data)
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_DATA | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_OWNERDRAW;
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwItemData = data;
    info.dwTypeData = const_cast<char*>(text ? text : "");
    return InsertMenuItemA(menu, static_cast<UINT>(position), TRUE, &info);
}

void setitemdata(HMENU menu, int position, ULONG_PTR data)
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    info.dwItemData = data;
    SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
}
