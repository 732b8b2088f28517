#pragma once

// The popups of tracked menus on Qt's own QMenu: keyboard navigation, accessibility, HiDPI and
// placement come from Qt, while the owner hears the menu's messages and draws its owner-drawn
// items (WM_MEASUREITEM, WM_DRAWITEM) as before.
// Callers: the Qt backend (the layer).

#include "platform/win/menutracking.h"

namespace winqt {

// Backend::popupmenu and Backend::closepopupmenus.
bool popupmenu(const win::PopupMenuRequest& request, int& next);
void closepopupmenus();

} // namespace winqt
