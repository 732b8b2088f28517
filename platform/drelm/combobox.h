#pragma once

// COMBOBOX: the library's drop-down list in a window of its own, for a window that is no form.
// Choosing an item sends DLGM_UPDATE (0x650) to the parent window with the control's id and the
// item's index; the other operations are CONTROL's (items, selection, font, drop-down).
// Callers: the combo bars (framework).

#include "platform/drelm/control.h"
#include "platform/win/styles.h"

constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;

class COMBOBOX : public CONTROL {
public:
    // A child of parent with the style (CBS_DROPDOWNLIST: a list the user cannot type into;
    // CBS_DROPDOWN: an editable one) and id.
    COMBOBOX(HWND parent, DWORD style, int id);
};
