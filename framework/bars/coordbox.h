#pragma once

// COORDBOX: the bar that shows the editor's cursor coordinates ("x:", "y:", "dist:") as the editor
// formatted them, and the unit name at its right end.

#include "framework/bars/ctrlbar.h"
#include "platform/win/colour.h"

// Clicks on the box, to its window (wParam and lParam 0).
constexpr UINT COORDBOX_LBUTTONDOWN = 0x524;
constexpr UINT COORDBOX_LBUTTONDBLCLK = 0x525;
constexpr UINT COORDBOX_RBUTTONDOWN = 0x526;
constexpr UINT COORDBOX_RBUTTONDBLCLK = 0x527;

class COORDBOX : public CTRLBAR {
public:
    COORDBOX(BASEHWND* parent, unsigned id);

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // As high as a line of the sample "x: +9999.999 y: +9999.999 dist: +9999.999 ", as wide as it
    // with the unit field and the gaps.
    BOX resize() override;
    void onpaint(HDC dc) override;

    // A given field is shown (at most 31 characters), a null one hidden; the units (at most 7
    // characters) count only with a unit width. Repaints at once when anything changed.
    void update(bool labels, const char* x, const char* y, const char* dist, const char* units,
        COLORREF xcolour, COLORREF ycolour);
    // Hides every field; repaints when any was shown.
    void clear();
    // The width of the unit field; 0 shows no units.
    void setunitwidth(unsigned width) { unitwidth = static_cast<unsigned short>(width); }
    // The width of a text in the box's font.
    int gettextwidth(const char* text);

private:
    bool labels = false;
    HFONT font;
    char xtext[32] = {};
    char ytext[32] = {};
    char disttext[32] = {};
    char units[8] = {};
    COLORREF xcolour = 0;
    COLORREF ycolour = 0;
    unsigned short format;
    unsigned short unitwidth = 0;
    unsigned gap = 2; // pixels at 96 dots per inch
};
