#include "framework/menus/menuitem.h"

#include "framework/context/applncontext.h"
#include "platform/win/menu.h"

MENUITEM::MENUITEM(HMENU menu, int position, ICMDTARGET* commandtarget, uint16_t itemflags)
    : hmenu(menu)
    , where(position)
    , target(commandtarget)
    , flags(itemflags)
{
}

bool MENUITEM::uistate(UISTATE& state)
{
    state = { 1, 0 };
    return target && target->getuistate(static_cast<unsigned short>(id()), &state);
}

void MENUITEM::init()
{
    UISTATE state;
    if (!uistate(state))
        return;
    enable(state.enabled);
    check(state.checked > 0);
}

unsigned int MENUITEM::select(int position)
{
    return position == where ? id() : 0;
}

int MENUITEM::dispatch()
{
    if (!target)
        return 0;
    APPLNCONTEXT* saved = setapplncontext(target->getapplncontext());
    int result = target->docommand(static_cast<unsigned short>(id()));
    setapplncontext(saved);
    return result;
}

void MENUITEM::enable(int on)
{
    EnableMenuItem(
        hmenu, static_cast<UINT>(where), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
}

void MENUITEM::check(int on)
{
    CheckMenuItem(hmenu, static_cast<UINT>(where), MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED));
}

unsigned int MENUITEM::id()
{
    const UINT id = GetMenuItemID(hmenu, where);
    return id == 0xFFFFFFFF ? 0 : id;
}

HMENU MENUITEM::submenu() const
{
    return GetSubMenu(hmenu, where);
}

void MENUITEM::setitemptr(int position)
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (SetMenuItemInfoA(hmenu, static_cast<UINT>(position), TRUE, &info))
        where = position;
}

void MENUITEM::updateposition()
{
    const int count = GetMenuItemCount(hmenu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoA(hmenu, static_cast<UINT>(position), TRUE, &info)
            && info.dwItemData == reinterpret_cast<ULONG_PTR>(this)) {
            where = position;
            return;
        }
    }
}

MENUTOGGLE::MENUTOGGLE(HMENU menu, int position, ICMDTARGET* target, int togglekind, int* toggleflag)
    : MENUITEM(menu, position, target)
    , kind(togglekind)
    , flag(toggleflag)
{
}

void MENUTOGGLE::init()
{
    UISTATE state;
    if (uistate(state))
        enable(state.enabled);
    check(flag && *flag);
}

unsigned int MENUTOGGLE::select(int position)
{
    if (position != where || kind != FLIPS)
        return 0;
    if (flag)
        *flag = !*flag;
    return id();
}

MENUGROUP::MENUGROUP(HMENU menu, int position, ICMDTARGET* target, int* groupselection)
    : MENUITEM(menu, position, target)
    , selection(groupselection)
{
    for (int i = 0; i < MAXMEMBERS; ++i)
        values[i] = static_cast<uint32_t>(i);
}

void MENUGROUP::init()
{
    UISTATE state;
    if (uistate(state))
        enable(state.enabled);
    for (int i = 0; i < count; ++i) {
        const bool chosen = selection && static_cast<uint32_t>(*selection) == values[i];
        CheckMenuItem(
            hmenu, static_cast<UINT>(where + i), MF_BYPOSITION | (chosen ? MF_CHECKED : MF_UNCHECKED));
    }
}

unsigned int MENUGROUP::select(int position)
{
    if (position < where || position >= where + count)
        return 0;
    if (selection)
        *selection = static_cast<int>(values[position - where]);
    return id();
}

void MENUGROUP::enable(int on)
{
    for (int i = 0; i < count; ++i)
        EnableMenuItem(
            hmenu, static_cast<UINT>(where + i), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
}

bool MENUGROUP::addmember()
{
    if (count == MAXMEMBERS)
        return false;
    ++count;
    return true;
}

void MENUGROUP::setitem(int index, const char* text, unsigned int value)
{
    if (index < 0 || index >= count)
        return;
    if (text) {
        MENUITEMINFOA info {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<char*>(text);
        SetMenuItemInfoA(hmenu, static_cast<UINT>(where + index), TRUE, &info);
    }
    values[index] = value;
}
