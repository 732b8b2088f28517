#pragma once

// What a toolkit's popup menus need of the menu being tracked (menu.h): the owner that hears the
// menu's messages, and the calls that end the tracking. The toolkit shows the popups, sends the
// owner WM_INITMENUPOPUP, WM_MENUSELECT, WM_MEASUREITEM, WM_DRAWITEM and WM_UNINITMENUPOPUP as they
// happen; the tracking sends the rest (menu.h lists them).
// Callers: the toolkit's popup menus (platform/win/qt).

#include "platform/win/menu.h"

namespace win {

// A popup to show for the tracked menu.
struct PopupMenuRequest {
    HMENU menu = nullptr;
    tagPOINT at {}; // screen point, aligned by the TPM_ alignment flags
    UINT flags = 0;
    const RECT* exclude = nullptr; // kept off when there is room; null: none
    bool modeless = false; // shown, and the call returns at once
    bool keyboard = false; // opened from the keyboard: the first item is hot
    int baritem = -1; // the menu bar item it drops from, -1 for a free popup
};

// The window that hears the tracked menu's messages; null when no menu is tracked.
HWND menuowner();
// An item was chosen (a command id) or the popup closed with none: the tracking ends.
void menuchosen(UINT id);
void menuclosed();

} // namespace win
