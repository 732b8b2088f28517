// The menu model: menus as item lists, found by handle.

#include "platform/win/menu.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/win/backend.h"
#include "platform/win/menustate.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

struct Menus {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<Menu>> live;
    uintptr_t next = 0x20010;
};

Menus& menus()
{
    static Menus* instance = new Menus;
    return *instance;
}

HMENU createmenu(bool popup)
{
    auto menu = std::make_shared<Menu>();
    menu->popup = popup;
    auto& m = menus();
    std::lock_guard lock(m.mutex);
    menu->handle = reinterpret_cast<HMENU>(m.next);
    m.next += 2;
    m.live.emplace(reinterpret_cast<uintptr_t>(menu->handle), menu);
    return menu->handle;
}

// The bars of top-level windows redraw when their items change.
void barchanged(HMENU menu)
{
    for (HWND window : toplevelwindows()) {
        auto w = windowref(window);
        if (w && w->menu == menu) {
            backend().changed(window, changemenu);
        }
    }
}

UINT statefromflags(UINT flags)
{
    return flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
}

UINT typefromflags(UINT flags)
{
    return flags
        & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MFT_RADIOCHECK
            | MFT_RIGHTJUSTIFY);
}

bool insertitem(HMENU handle, UINT position, bool byposition, MenuItem item)
{
    auto menu = menuref(handle);
    if (!menu) {
        return false;
    }
    if (item.submenu && !menuref(item.submenu)) {
        return false;
    }
    size_t at = menu->items.size();
    if (byposition) {
        at = std::min<size_t>(position, menu->items.size());
    } else {
        MenuRef holder;
        int index = -1;
        if (finditem(handle, position, false, holder, index) && holder == menu) {
            at = static_cast<size_t>(index);
        }
    }
    menu->items.insert(menu->items.begin() + static_cast<ptrdiff_t>(at), std::move(item));
    barchanged(handle);
    return true;
}

MenuItem itemfromflags(UINT flags, UINT_PTR id, LPCSTR text)
{
    MenuItem item;
    item.type = typefromflags(flags);
    item.state = statefromflags(flags);
    if (flags & MF_POPUP) {
        item.submenu = reinterpret_cast<HMENU>(id);
    } else {
        item.id = static_cast<UINT>(id);
    }
    if (flags & MF_OWNERDRAW) {
        item.data = reinterpret_cast<ULONG_PTR>(text);
    } else if (flags & MF_BITMAP) {
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
    } else if (!(flags & MF_SEPARATOR) && text) {
        item.text = text;
    }
    return item;
}

void destroy(HMENU handle)
{
    auto menu = menuref(handle);
    if (!menu) {
        return;
    }
    {
        auto& m = menus();
        std::lock_guard lock(m.mutex);
        m.live.erase(reinterpret_cast<uintptr_t>(handle));
    }
    for (const auto& item : menu->items) {
        if (item.submenu) {
            destroy(item.submenu);
        }
    }
}

// Sets the fields of item that info's mask names, the text apart (inserting and setting differ there).
void setitemfields(MenuItem& item, const MENUITEMINFOA& info)
{
    if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) {
        item.type = info.fType & ~MF_POPUP;
    }
    if (info.fMask & MIIM_STATE) {
        item.state = info.fState;
    }
    if (info.fMask & MIIM_ID) {
        item.id = info.wID;
    }
    if (info.fMask & MIIM_SUBMENU) {
        item.submenu = info.hSubMenu;
    }
    if (info.fMask & MIIM_CHECKMARKS) {
        item.checked = info.hbmpChecked;
        item.unchecked = info.hbmpUnchecked;
    }
    if (info.fMask & MIIM_DATA) {
        item.data = info.dwItemData;
    }
    if (info.fMask & MIIM_BITMAP) {
        item.bitmap = info.hbmpItem;
    }
}

} // namespace

MenuRef menuref(HMENU handle)
{
    auto& m = menus();
    std::lock_guard lock(m.mutex);
    auto found = m.live.find(reinterpret_cast<uintptr_t>(handle));
    return found == m.live.end() ? nullptr : found->second;
}

bool finditem(HMENU handle, UINT item, bool byposition, MenuRef& holder, int& index)
{
    auto menu = menuref(handle);
    if (!menu) {
        return false;
    }
    if (byposition) {
        if (item >= menu->items.size()) {
            return false;
        }
        holder = menu;
        index = static_cast<int>(item);
        return true;
    }
    for (size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& entry = menu->items[i];
        if (!entry.submenu && !(entry.type & MF_SEPARATOR) && entry.id == item) {
            holder = menu;
            index = static_cast<int>(i);
            return true;
        }
    }
    // Searching by command looks into the submenus as well.
    for (const auto& entry : menu->items) {
        if (entry.submenu && finditem(entry.submenu, item, false, holder, index)) {
            return true;
        }
    }
    return false;
}

UINT itemflags(const MenuItem& item)
{
    UINT flags = item.type | item.state;
    if (item.submenu) {
        flags |= MF_POPUP;
    }
    return flags;
}

} // namespace win

using namespace win;

HMENU CreateMenu()
{
    return createmenu(false);
}

HMENU CreatePopupMenu()
{
    return createmenu(true);
}

BOOL DestroyMenu(HMENU handle)
{
    if (!menuref(handle)) {
        return FALSE;
    }
    for (HWND window : toplevelwindows()) {
        auto w = windowref(window);
        if (w && w->menu == handle) {
            SetMenu(window, nullptr);
        }
    }
    destroy(handle);
    return TRUE;
}

BOOL IsMenu(HMENU handle)
{
    return menuref(handle) ? TRUE : FALSE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    return insertitem(menu, 0xFFFFFFFF, true, itemfromflags(flags, id, text)) ? TRUE : FALSE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text)
{
    return insertitem(menu, position, flags & MF_BYPOSITION, itemfromflags(flags, id, text)) ? TRUE : FALSE;
}

BOOL InsertMenuItemA(HMENU menu, UINT position, BOOL byposition, const MENUITEMINFOA* info)
{
    if (!info) {
        return FALSE;
    }
    MenuItem item;
    setitemfields(item, *info);
    bool hastext = (info->fMask & MIIM_STRING)
        || ((info->fMask & MIIM_TYPE) && !(info->fType & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_BITMAP)));
    if (hastext && info->dwTypeData) {
        item.text = info->dwTypeData;
    }
    return insertitem(menu, position, byposition, std::move(item)) ? TRUE : FALSE;
}

BOOL GetMenuItemInfoA(HMENU menu, UINT position, BOOL byposition, MENUITEMINFOA* info)
{
    MenuRef holder;
    int index;
    if (!info || !finditem(menu, position, byposition, holder, index)) {
        return FALSE;
    }
    const MenuItem& item = holder->items[static_cast<size_t>(index)];
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) {
        info->fType = item.type;
    }
    if (info->fMask & MIIM_STATE) {
        info->fState = item.state;
    }
    if (info->fMask & MIIM_ID) {
        info->wID = item.id;
    }
    if (info->fMask & MIIM_SUBMENU) {
        info->hSubMenu = item.submenu;
    }
    if (info->fMask & MIIM_CHECKMARKS) {
        info->hbmpChecked = item.checked;
        info->hbmpUnchecked = item.unchecked;
    }
    if (info->fMask & MIIM_DATA) {
        info->dwItemData = item.data;
    }
    if (info->fMask & MIIM_BITMAP) {
        info->hbmpItem = item.bitmap;
    }
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        if (info->dwTypeData && info->cch > 0) {
            size_t length = std::min<size_t>(item.text.size(), info->cch - 1);
            std::memcpy(info->dwTypeData, item.text.data(), length);
            info->dwTypeData[length] = 0;
            info->cch = static_cast<UINT>(length);
        } else {
            info->cch = static_cast<UINT>(item.text.size());
        }
    }
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT position, BOOL byposition, const MENUITEMINFOA* info)
{
    MenuRef holder;
    int index;
    if (!info || !finditem(menu, position, byposition, holder, index)) {
        return FALSE;
    }
    MenuItem& item = holder->items[static_cast<size_t>(index)];
    setitemfields(item, *info);
    if ((info->fMask & MIIM_STRING)
        || ((info->fMask & MIIM_TYPE) && !(item.type & (MFT_OWNERDRAW | MFT_SEPARATOR)))) {
        item.text = info->dwTypeData ? info->dwTypeData : "";
    }
    barchanged(menu);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    MenuRef holder;
    int index;
    if (!finditem(menu, position, flags & MF_BYPOSITION, holder, index)) {
        return FALSE;
    }
    HMENU submenu = holder->items[static_cast<size_t>(index)].submenu;
    holder->items.erase(holder->items.begin() + index);
    if (submenu) {
        destroy(submenu);
    }
    barchanged(menu);
    return TRUE;
}

int GetMenuItemCount(HMENU handle)
{
    auto menu = menuref(handle);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU handle, int position)
{
    auto menu = menuref(handle);
    if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size()
        || menu->items[static_cast<size_t>(position)].submenu) {
        return 0xFFFFFFFF;
    }
    return menu->items[static_cast<size_t>(position)].id;
}

HMENU GetSubMenu(HMENU handle, int position)
{
    auto menu = menuref(handle);
    if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size()) {
        return nullptr;
    }
    return menu->items[static_cast<size_t>(position)].submenu;
}

int GetMenuStringA(HMENU menu, UINT position, LPSTR buffer, int size, UINT flags)
{
    MenuRef holder;
    int index;
    if (!finditem(menu, position, flags & MF_BYPOSITION, holder, index)) {
        return 0;
    }
    const std::string& text = holder->items[static_cast<size_t>(index)].text;
    if (!buffer) {
        return static_cast<int>(text.size());
    }
    if (size < 1) {
        return 0;
    }
    size_t length = std::min<size_t>(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = 0;
    return static_cast<int>(length);
}

UINT GetMenuState(HMENU menu, UINT position, UINT flags)
{
    MenuRef holder;
    int index;
    if (!finditem(menu, position, flags & MF_BYPOSITION, holder, index)) {
        return 0xFFFFFFFF;
    }
    const MenuItem& item = holder->items[static_cast<size_t>(index)];
    UINT state = itemflags(item);
    if (item.submenu) {
        state = (state & 0xFF) | (static_cast<UINT>(GetMenuItemCount(item.submenu)) << 8);
    }
    return state;
}

BOOL EnableMenuItem(HMENU menu, UINT position, UINT flags)
{
    MenuRef holder;
    int index;
    if (!finditem(menu, position, flags & MF_BYPOSITION, holder, index)) {
        return -1;
    }
    MenuItem& item = holder->items[static_cast<size_t>(index)];
    UINT old = item.state & (MF_GRAYED | MF_DISABLED);
    item.state = (item.state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    barchanged(menu);
    return static_cast<BOOL>(old);
}

DWORD CheckMenuItem(HMENU menu, UINT position, UINT flags)
{
    MenuRef holder;
    int index;
    if (!finditem(menu, position, flags & MF_BYPOSITION, holder, index)) {
        return 0xFFFFFFFF;
    }
    MenuItem& item = holder->items[static_cast<size_t>(index)];
    DWORD old = item.state & MF_CHECKED;
    item.state = (item.state & ~MF_CHECKED) | (flags & MF_CHECKED);
    return old;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked)
{
    MenuRef holder;
    int index;
    if (!finditem(menu, position, flags & MF_BYPOSITION, holder, index)) {
        return FALSE;
    }
    MenuItem& item = holder->items[static_cast<size_t>(index)];
    item.unchecked = unchecked;
    item.checked = checked;
    return TRUE;
}

BOOL GetMenuInfo(HMENU handle, MENUINFO* info)
{
    auto menu = menuref(handle);
    if (!menu || !info) {
        return FALSE;
    }
    if (info->fMask & MIM_STYLE) {
        info->dwStyle = menu->style;
    }
    if (info->fMask & MIM_MENUDATA) {
        info->dwMenuData = menu->data;
    }
    if (info->fMask & MIM_HELPID) {
        info->dwContextHelpID = menu->helpid;
    }
    if (info->fMask & MIM_BACKGROUND) {
        info->hbrBack = menu->background;
    }
    if (info->fMask & MIM_MAXHEIGHT) {
        info->cyMax = 0;
    }
    return TRUE;
}

BOOL SetMenuInfo(HMENU handle, const MENUINFO* info)
{
    auto menu = menuref(handle);
    if (!menu || !info) {
        return FALSE;
    }
    if (info->fMask & MIM_STYLE) {
        menu->style = info->dwStyle;
    }
    if (info->fMask & MIM_MENUDATA) {
        menu->data = info->dwMenuData;
    }
    if (info->fMask & MIM_HELPID) {
        menu->helpid = info->dwContextHelpID;
    }
    if (info->fMask & MIM_BACKGROUND) {
        menu->background = info->hbrBack;
    }
    if (info->fMask & MIM_APPLYTOSUBMENUS) {
        for (const auto& item : menu->items) {
            if (item.submenu) {
                SetMenuInfo(item.submenu, info);
            }
        }
    }
    return TRUE;
}

BOOL SetMenu(HWND handle, HMENU menu)
{
    auto window = windowref(handle);
    if (!window || (window->style & WS_CHILD) || (menu && !menuref(menu))) {
        return FALSE;
    }
    if (window->menu == menu) {
        return TRUE;
    }
    window->menu = menu;
    backend().changed(handle, changemenu);
    // The client area changed: the window hears of its new size as after a resize.
    WINDOWPOS pos { handle, nullptr, window->rect.left, window->rect.top,
        window->rect.right - window->rect.left, window->rect.bottom - window->rect.top,
        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_FRAMECHANGED };
    SendMessageA(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

HMENU GetMenu(HWND handle)
{
    auto window = windowref(handle);
    return window && !(window->style & WS_CHILD) ? window->menu : nullptr;
}
