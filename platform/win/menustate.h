#pragma once

// The layer's records of menus, for the model and its tracking.
// Callers: the menu model and its tracking (the layer).

#include <memory>
#include <string>
#include <vector>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

namespace win {

struct MenuItem {
    UINT type = 0; // MFT_ bits
    UINT state = 0; // MFS_ bits
    UINT id = 0;
    HMENU submenu = nullptr;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    HBITMAP bitmap = nullptr;
    ULONG_PTR data = 0;
    std::string text;
};

struct Menu {
    HMENU handle = nullptr;
    bool popup = false;
    DWORD style = 0;
    ULONG_PTR data = 0;
    DWORD helpid = 0;
    HBRUSH background = nullptr;
    std::vector<MenuItem> items;
};

using MenuRef = std::shared_ptr<Menu>;

MenuRef menuref(HMENU menu);
// The menu holding the item and its index there; by command the submenus are searched too.
bool finditem(HMENU menu, UINT item, bool byposition, MenuRef& holder, int& index);
// The item's MF_ flags, MF_POPUP for a submenu item.
UINT itemflags(const MenuItem& item);

} // namespace win
