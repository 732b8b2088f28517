#pragma once

// Menus: menu bars and popup menus as lists of items, the menu bar of a top-level window, and
// tracking a menu with the mouse and the keyboard. A popup is shown as the toolkit's own popup
// menu (Backend::popupmenu); owner-drawn items are measured and drawn by the owner window
// (WM_MEASUREITEM, WM_DRAWITEM), and the owner hears WM_ENTERMENULOOP, WM_INITMENU,
// WM_INITMENUPOPUP, WM_MENUSELECT (closing: high word 0xFFFF, lParam 0), WM_ENTERIDLE while the menu
// waits, WM_UNINITMENUPOPUP, WM_EXITMENULOOP and, for the chosen item, WM_COMMAND. Items are found
// by command id (MF_BYCOMMAND, searching submenus too) or by position (MF_BYPOSITION). Calls on a
// dead menu fail (FALSE, null, -1).
// Callers: the menus built from command tables, the process's application menu and recent files,
// the frame window and the editors' popup menus (framework).

#include <vector>

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_MOUSESELECT = 0x8000;

constexpr UINT MFT_STRING = MF_STRING;
constexpr UINT MFT_BITMAP = MF_BITMAP;
constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
constexpr UINT MFT_RADIOCHECK = 0x0200;
constexpr UINT MFT_RIGHTJUSTIFY = 0x4000;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = MF_CHECKED;
constexpr UINT MFS_HILITE = MF_HILITE;
constexpr UINT MFS_ENABLED = MF_ENABLED;
constexpr UINT MFS_DEFAULT = MF_DEFAULT;

constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_CHECKMARKS = 0x0008;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_BITMAP = 0x0080;
constexpr UINT MIIM_FTYPE = 0x0100;

constexpr DWORD MIM_MAXHEIGHT = 0x00000001;
constexpr DWORD MIM_BACKGROUND = 0x00000002;
constexpr DWORD MIM_HELPID = 0x00000004;
constexpr DWORD MIM_MENUDATA = 0x00000008;
constexpr DWORD MIM_STYLE = 0x00000010;
constexpr DWORD MIM_APPLYTOSUBMENUS = 0x80000000;
constexpr DWORD MNS_NOCHECK = 0x80000000;
constexpr DWORD MNS_MODELESS = 0x40000000;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

struct MENUITEMINFOA {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};

struct MENUINFO {
    DWORD cbSize;
    DWORD fMask;
    DWORD dwStyle;
    UINT cyMax;
    HBRUSH hbrBack;
    DWORD dwContextHelpID;
    ULONG_PTR dwMenuData;
};

struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and every submenu it holds.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// MF_POPUP: `id` is the submenu's handle. MF_SEPARATOR ignores the text.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text);
// Inserts before the item (by position: -1 or past the end appends).
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byposition, const MENUITEMINFOA* info);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byposition, MENUITEMINFOA* info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byposition, const MENUITEMINFOA* info);
// Takes the item out and destroys its submenu.
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
// The item's id; -1 for a submenu item or a bad position.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// Copies at most size - 1 characters of the text; answers the length copied (the full length
// when buffer is null); 0 when the item is missing.
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
// The item's MF_ flags; for a submenu item the item count in the high byte. -1 when missing.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Answer the previous state (MF_ENABLED/MF_GRAYED/MF_DISABLED or MF_CHECKED/MF_UNCHECKED), -1
// when the item is missing.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The bitmaps shown for a checked and an unchecked item (not owned).
BOOL SetMenuItemBitmaps(HMENU menu, UINT item, UINT flags, HBITMAP unchecked, HBITMAP checked);
// Callers to come: the context-menu loop, which makes its menu modeless (issue 57).
BOOL GetMenuInfo(HMENU menu, MENUINFO* info);
BOOL SetMenuInfo(HMENU menu, const MENUINFO* info);

// Gives a top-level window a menu bar (null: none); the client area shrinks by the bar.
BOOL SetMenu(HWND window, HMENU menu);
HMENU GetMenu(HWND window);

// Shows the popup at the screen point and tracks it. A modal menu returns when it closes:
// with TPM_RETURNCMD the chosen id (0 for none), otherwise TRUE after posting WM_COMMAND to the
// owner for the chosen item (not with TPM_NONOTIFY). A modeless menu (MNS_MODELESS) stays open
// and returns TRUE at once; the owner gets WM_COMMAND when an item is chosen. The menu avoids
// the exclusion rectangle when it can. FALSE when a menu is tracked already, an argument is bad or
// no toolkit shows popups.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* unused);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
// Closes the menu being tracked, if any.
BOOL EndMenu();

namespace win {

// The menu being tracked, null when none.
HMENU trackedmenu();
// Screen rectangles of the items of a window's menu bar.
std::vector<RECT> menubarlayout(HWND window);
// The bar item shown hot while the bar is tracked, -1 when none.
int menubarhot(HWND window);
// Tracks the window's menu bar from the item at `index` (opening it), or from the keyboard
// (Alt, F10: the first item hot; a letter: the item of that mnemonic).
void trackmenubar(HWND window, int index);
void keymenu(HWND window, char letter);

} // namespace win
