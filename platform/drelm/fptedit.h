#pragma once

// FPTEDIT: the library's numeric edit in a window of its own, for a window that is no form. Its
// kind letter says how it reads and shows numbers ('A' a plain number, 'V' a value with an
// engineering multiplier; controltext.h); getreal reads the text and tells whether it is a number.
// It selects its whole text when it gains the focus and tells the parent window:
//   WM_COMMAND (MAKEWPARAM(id, EN_SETFOCUS or EN_KILLFOCUS), its window) as it gains or loses
//   the focus; DLGM_KEY (0x649) (MAKEWPARAM(id, 13 or 27), 0) for Return and Escape; DLGM_RESET
//   (0x64A) (id, 0) on a double click; the command hint 0x503 (its window, MAKELONG(id, 0)) when
//   the pointer comes over it.
// Callers: the orientation bar (framework).

#include "platform/drelm/control.h"
#include "platform/win/styles.h"

constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;

class FPTEDIT : public CONTROL {
public:
    // A child of parent with the style (ES_AUTOHSCROLL scrolls long text; ES_READONLY), id and kind
    // letter.
    FPTEDIT(HWND parent, DWORD style, int id, char kind);
};
