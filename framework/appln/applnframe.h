#pragma once

// A top-level frame of the program holding module windows, one of them active. This is the share
// the process and the bars rely on (creation on a monitor with the four rebars, the window list,
// closing in order, the default area, docking bars); tabs, layout, placement, the workspace part
// and the rest of the frame's message handling come with the frame window.

#include "core/containers/dpa.h"
#include "framework/appln/applnwindow.h"
#include "platform/tirsk/basewin.h"
#include "platform/win/monitors.h"

class APPLNPROCESS;
class CTRLBAR;
class REBAR;

// The frame's timer that ends the process's suppression of workspace saves.
constexpr UINT_PTR FRAMETIMER_WORKSPACE = 12;

class APPLNFRAME : public BASEWIN {
public:
    explicit APPLNFRAME(APPLNPROCESS* process);
    ~APPLNFRAME() override;

    // Creates the native frame over the monitor's default area (the primary monitor's for null),
    // titled with the process's title; the window handle, null when it cannot be made.
    virtual HWND createwindow(HMONITOR monitor);
    // Has every window destroy itself and destroys the native frame.
    virtual void destroywindow();
    // WM_CLOSE: with no window the frame closes at once, else the process closes it on its next
    // loop pass. Timer 12 clears the process's suppression of workspace saves.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // 0 when the owner of any window is inside a modal dialog or a window refuses; else 1.
    int queryclose();
    // Unless forced the process must agree; then every window is closed, last first, and the
    // process removes (deletes) the frame. Always 0.
    int close(int force);
    void closeallwindows();
    // The caption: the process's frame caption.
    void updatecaption();

    void addwindow(APPLNWINDOW* window);
    // Takes the window out of the list; an active window gives way to the previously active one,
    // else the next, else the one before.
    void removewindow(APPLNWINDOW* window);
    // Makes the window (or null) the active one.
    void loadwindow(APPLNWINDOW* window);
    APPLNWINDOW* getactivewindow() const { return active; }
    int numwindows() const { return windows.count; }
    // The i-th window in tab order; null out of range.
    APPLNWINDOW* getwindow(int i) const { return windows.ptr(i); }
    APPLNPROCESS* getprocess() const { return process; }

    // The bar bound to the child window with that id of the frame, else of the active window;
    // null when none.
    CTRLBAR* getctrlbar(unsigned id);
    // The bar docks itself in the rebar of that side (0 top, 1 bottom, 2 left, 3 right) at that
    // position; detach takes it out of all four.
    void attach(CTRLBAR* bar, int side, int position);
    void detach(CTRLBAR* bar);
    // The rebar of a side; null before the native frame is made or for a bad side.
    REBAR* getrebar(int side) const { return side >= 0 && side < 4 ? rebars[side] : nullptr; }

    // The stored placement for the monitor applied; 0 when none is stored.
    int restorewindowplacement(HMONITOR monitor);
    // The monitor's work area (the primary work area for null) inset by 1/120 of its width and
    // 1/80 of its height; unless full, narrowed about its centre to at most 14:9.
    static RECT getdefaultwindowarea(HMONITOR monitor, int full);

private:
    APPLNPROCESS* process;
    REBAR* rebars[4] = {}; // top, bottom, left, right
    GDPA<APPLNWINDOW> windows;
    APPLNWINDOW* active = nullptr;
    APPLNWINDOW* previous = nullptr;
};
