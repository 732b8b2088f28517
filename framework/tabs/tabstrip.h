#pragma once

// TABSTRIP: the strip of tabs along the top of a frame, one per module window, drawn by the strip
// itself: the active tab in bold and over its neighbours, a close button on tabs whose window may
// be closed. Tabs that do not fit scroll, and the hidden ones are offered by a drop-down button at
// the strip's right end. Dragging a tab along the strip reorders the tabs; dragging it out of the
// frame, or double-clicking it, splits it off into a frame of its own.
//
// The strip tells its parent (the frame) by messages (framework/context/windowmessages.h):
//   WM_SELECTWINDOW (sent)       wParam the strip, lParam MAKELONG(new active index, 0xFFFF after a
//                                select, else the dragged tab's old place after a drag, from
//                                which the frame moves its window to the new index)
//   WM_CLOSETAB (posted)         wParam the strip, lParam the index of the tab whose close button
//                                was clicked
//   WM_MOVEWINDOWTOFRAME (posted) wParam the tab's index, lParam MAKELONG(x, y) on the screen
// The strip owns its tab records; the windows are the frame's.

#include <memory>

#include "core/containers/dpa.h"
#include "platform/tirsk/basewin.h"

class APPLNWINDOW;

class TABSTRIP : public BASEWIN {
public:
    struct TABINFO {
        APPLNWINDOW* window; // not owned
        int closeable; // the tab shows a close button
        int hot; // the pointer is over the close button
        RECT closebox; // where the close button was drawn last
        int width; // from calculatetabwidths
        HICON icon; // the window's small icon, from calculatetabwidths; not owned
    };

    // A visible child window of the parent with the id, without tabs.
    TABSTRIP(HWND parent, unsigned id);
    // Deletes the tab records and the strip's fonts, pens and icon; the window stays.
    ~TABSTRIP() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The drag of a tab: armed by a press, started by a move with the left button held.
    virtual void begindrag(int tab);
    virtual void dragmove();
    virtual void enddrag();
    // Posts WM_MOVEWINDOWTOFRAME when the pointer left the parent, then ends the drag.
    virtual void enddragtabsplit();

    // Appends a tab for the window; answers position, which places nothing.
    int addtab(APPLNWINDOW* window, int closeable, int position);
    // Ends a running drag, then removes the tab of a valid index; no tab is active afterwards.
    void removetab(int index);
    // Makes the tab active and tells the parent; nothing when it is active already. The window
    // form selects the window's tab, -1 when it has none.
    void select(int index);
    void select(APPLNWINDOW* window);
    int activetab() const { return active; }
    // Deletes every tab record.
    void reset();
    void paintstrip(HDC dc);
    // The widths and icons of the tabs, for their captions and icons as they are now. Painting
    // measures only after the tabs or the active one changed.
    void calculatetabwidths();
    // The windows' captions or icons changed: measured again and repainted.
    void updatetabs();

    int numtabs() const { return tabs.count; }
    const TABINFO* tab(int index) const { return tabs.ptr(index); }
    // The strip's height: its tabs and the margin below them.
    int getheight() const { return stripheight; }
    // How far a tab's caption starts from its left edge: clear of the slanted side.
    int captioninset() const { return (stripheight - margin) / 2 - 1; }
    int firstvisibletab() const { return firstvisible; }
    int lastvisibletab() const { return lastvisible; }
    int isoverflowing() const { return overflow; }
    // The drop-down button of the hidden tabs; null while every tab fits.
    HWND getoverflowbutton() const { return overflowbutton; }
    // The x range of a painted tab's hit area; false for a tab not painted.
    bool tabspan(int index, int& left, int& right) const;

private:
    // The tab whose edges hold x among the visible ones; -1 when none.
    int tabatx(int x) const;
    void painttab(HDC dc, const RECT& client, int index, int x);
    void placeoverflowbutton(const RECT& client);
    void showoverflowmenu();
    void onleftdown(tagPOINT at);
    void onmousemove(WPARAM keys, tagPOINT at);
    void onleftup(tagPOINT at);
    // Moves the dragged tab to the tab under x; the end of a drag within the strip.
    void droptab(int x);
    void sethot(int index, int hot);
    void setthumbnailcursor();
    bool isvisibletab(int index) const { return index >= firstvisible && index <= lastvisible; }

    GDPA<TABINFO> tabs;
    std::unique_ptr<int[]> edges; // tab count + 1 slots
    int active = -1;
    int measured = 0; // the widths and icons are those of the tabs as they are
    int firstvisible = 0;
    int lastvisible = -1;
    HFONT boldfont = nullptr;
    HICON closeicon = nullptr;
    int stripheight = 0;
    int margin = 6;
    int smallicon[2] = {};
    int closesize = 0;
    int dragtab = -1;
    int pressedtab = -1;
    int outside = 0;
    int inside = 0;
    HCURSOR savedcursor = nullptr;
    HCURSOR thumbnailcursor = nullptr; // made for the drag; null when none is shown
    HPEN activepen = nullptr;
    HPEN inactivepen = nullptr;
    int overflow = 0;
    HWND overflowbutton = nullptr;
    HICON overflowicon = nullptr;
    int overflowbuttonwidth = 20;
};
