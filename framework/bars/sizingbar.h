#pragma once

// SIZINGBAR: a thin splitter between the parts of a window, dragged with the mouse. It proposes
// each new position to its parent (SIZINGBAR_MOVED), which moves it; the position is remembered
// in the current user's registry under "SizeBars", as a value named by the bar's name.

#include "platform/tirsk/basewin.h"

// To the parent: wParam the bar's window id, lParam the proposed position.
constexpr UINT SIZINGBAR_MOVED = 0x535;

class SIZINGBAR : public BASEWIN {
public:
    // A visible child window of no size with the sizing cursor of its direction; the position is
    // the saved one when there is one, else `position`.
    SIZINGBAR(HWND parent, unsigned id, const char* name, int position, int vertical);
    ~SIZINGBAR() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    using BASEWIN::locate;
    // A vertical bar covers x from position - 1 to position + 2 and y from `from` to `to`; a
    // horizontal one the same turned.
    void locate(int from, int to, int position, unsigned flags);
    int getpos() const { return position; }
    void setpos(int place) { position = place; }
    // The position as the value `name` under "SizeBars"; restore keeps it when there is none.
    void save(const char* name);
    void restore(const char* name);

private:
    char name[32] = {};
    int vertical;
    HCURSOR cursor;
    int dragging = 0;
    int position;
};
