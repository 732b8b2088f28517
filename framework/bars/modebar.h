#pragma once

// MODEBAR: a toolbar of mutually exclusive editing modes. Mode m = 16 x group + sub-mode (groups 0
// to 2, sub-modes 0 to 15) has the button 0x1000 + m; the buttons are made from one bit mask per
// group, a set bit being a present mode, and take the strip's images in that order. One mode is
// always current; a click on any mode button makes its mode current and tells the window
// (WM_COMMAND with MODEBAR_CHANGED).

#include "framework/bars/toolbar.h"

constexpr WORD MODEBAR_CHANGED = 0x100;
constexpr unsigned MODEBAR_FIRSTCOMMAND = 0x1000;

class MODEBAR : public TOOLBAR {
public:
    // Titled "Mode", command context 0x130, the buttons of the masks (up to three groups, the first
    // zero mask ends them), mode 0 checked.
    MODEBAR(BASEHWND* parent, int id, const char* bitmap, const unsigned short* masks);

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void setmode(int mode);
    // The buttons of the set bits of each group's mask enabled, the others disabled; every button
    // for null.
    void enable(const unsigned short* masks);
    // Whether the mode's button is enabled (-1: the current mode's).
    int mode_enabled(int mode);
    int editmode() const { return mode; }
    int mainmode() const { return mode >> 4; }
    int submode() const { return mode % 16; }

private:
    int mode = 0;
};
