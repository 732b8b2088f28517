#pragma once

// REBAR: one of a frame's four rebars ("Top", "Bottom", "Left", "Right"), wrapping a rebar control
// that it subclasses. Band 0 is a placeholder that keeps an empty rebar a drop target; every other
// band holds a CTRLBAR (its lParam). The bands of each module window are saved and restored in the
// registry under the current user's "Rebars\<window key>\<side>\Band<n>" ("Id", "Size", "Style").

#include "platform/tirsk/basewin.h"
#include "platform/win/qt/controls.h"

class APPLNFRAME;
class CTRLBAR;

class REBAR : public BASEWIN {
public:
    // The rebar window in the frame (extended style WS_EX_TOOLWINDOW, the bar styles plus
    // `style`), 0 wide and as high as the frame's client area when vertical, else as wide and 0
    // high, with the placeholder band.
    REBAR(APPLNFRAME* frame, unsigned id, unsigned style);
    // Releases the docked bars and destroys the rebar window.
    ~REBAR() override;

    // The rebar's background; everything else goes to the control.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Another placeholder band at the end.
    void adddummyband();
    // Inserts the bar's band at the position (-1: the end), sized from the bar; unless the bar's
    // layout is being restored, the band at the previous band count takes its row.
    void attach(CTRLBAR* bar, int position);
    // Removes the bar's band and gives a docked bar back to its window.
    void detach(CTRLBAR* bar);
    // Removes every band but the placeholder.
    void detachall();
    void showband(CTRLBAR* bar, int show);
    // The drag of the bar's band, through the control (posted).
    void begindrag(CTRLBAR* bar);
    void dragmove();
    void enddrag();
    // 4 while only the placeholder is there, else the control's bar height.
    int height();
    // Fewer than two bands.
    int isempty();
    int isvertical();
    APPLNFRAME* getframe() const { return frame; }

    // The bands of the window key's side, replacing what was saved there.
    void save(const char* windowkey, const char* side);
    // Docks the saved bars (found in the frame by their window ids) at their saved sizes, styles
    // and visibility.
    void restore(const char* windowkey, const char* side);

private:
    int bandcount();
    // The band of the bar, -1 when it has none here.
    int bandof(CTRLBAR* bar);
    CTRLBAR* barof(int band);
    void setplaceholderhidden(bool hidden);
    void paintbackground(HDC dc, const RECT& client);

    APPLNFRAME* frame;
    REBARBANDINFOA placeholder {};
};
