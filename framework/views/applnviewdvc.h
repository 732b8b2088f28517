#pragma once

// The drawing surface and pointer model of an editing view: a screen device that adds what editing
// needs. The editing cursor is the pointer snapped to the grid (and to whatever the host or the
// input handler snaps to); it is drawn by exclusive-or with the handler's figure, an optional
// crosshair and the host's highlight, and keeps apart from the system pointer. Modal input confines
// the pointer to the view (counted, so nested loops confine once), arrow keys move the cursor by
// grid steps, Shift held over the view pans, and the view pans by itself at its edges. The view's
// window messages go to the input handler attached (inputhandler.h) or to the default handling
// below (defhlr), which reports to the host. A press's WM_MOUSEACTIVATE goes to the owner window's
// handler with the view's own window, so that the owner knows which view was clicked.

#include "framework/views/applnviewhost.h"
#include "platform/casq/sgdvc.h"

class INPUTHANDLER;

enum XCURSORMODES { XCURSOR_NONE = 0, XCURSOR_SMALL = 1, XCURSOR_FULL = 2 };

class APPLNVIEWDVC : public SGDVC {
public:
    // A view window (id, placed over area in window's client pixels, with the extra styles in
    // flags) whose owner window is the host's window; world units per inch as the device's.
    APPLNVIEWDVC(APPLNVIEWHOST* host, HWND window, DWORD flags, const BOX& area, int id, long unitsperinch);
    // Detaches every input handler still attached.
    ~APPLNVIEWDVC() override;

    // The attached input handler's, else the default handling.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    long defhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The system pointer and the editing cursor, world units.
    POINT getpointerpos() const { return pointerpos; }
    POINT getcursorpos() const { return cursorpos; }
    // Places the cursor for a raw pointer position: snapped to the grid, then by the snap function
    // of the handler or the host; sets the pointer's shape and tells the host.
    void setcursorpos(POINT raw);
    // Brings cursor and system pointer to the world point (panning it into view).
    void movecursor(POINT at);
    // One grid step by an arrow key, while the pointer is over the view and both steps are set.
    void movecursor(unsigned long key);
    void centrecursor();
    // Shows or hides the editing cursor; the previous state.
    int showcursor(int on);
    // Draws the cursor again when it is shown.
    void drawcursor();
    int iscursorvisible() const { return shown; }
    int iscursorsnapped() const { return hmode == HCURSOR_SNAPPED; }
    int issnapped() const { return snapped; }

    // A named pointer shape (an id from 0x4000 up is a system cursor, other names the graphics
    // module's); keep makes it stick against the arrow. Without a name the shape before the last
    // named one comes back.
    void setcursortype(const char* name, int keep);
    // What the cursor looks like; each answers the old value.
    HCURSORMODES sethcursor(HCURSORMODES mode);
    XCURSORMODES setxcursor(XCURSORMODES mode);
    int enablehcursor(int on);
    int enableshiftpan(int on);
    // Panning with the pointer: the pointer is confined and shows the four-way arrow.
    int settrackpan(int on);

    // The grid: steps in world units times scale (0: no snap along that axis) from origin.
    void setsnap(POINT& origin, long stepx, long stepy, long scale);
    void setsnap(int stepx, int stepy);
    void getsnap(int& stepx, int& stepy) const;
    // The point on the nearest grid step counted from 0 (POINT::snap).
    void snaptogrid(POINT& point) const;

    // The handler that takes the window's messages (null: the default handling); the previous.
    INPUTHANDLER* setinputhandler(INPUTHANDLER* handler);
    INPUTHANDLER* getinputhandler() const { return handler; }
    // Confinement for modal input: the first level takes focus and capture and clips the pointer
    // to the window; release undoes one level.
    void constrain();
    virtual void release();
    // The host is visible and the system pointer lies over the view.
    int ismouseover();

    // Keys and buttons down now (the Enter key counts as the left button).
    int islbuttondown() const;
    int isrbuttondown() const;
    int ismbuttondown() const;
    int isshiftkeydown() const;
    int isctrlkeydown() const;
    int isaltkeydown() const;

    APPLNVIEWHOST* gethost() const { return host; }
    APPLNWINDOW* getownerwindow() const { return owner; }

private:
    // Draws the cursor's figures at the point by exclusive-or (drawing twice removes them).
    void drawcursor(POINT at);
    void erasecursor();
    // Takes a new look for the cursor: the old figure off, the new one on.
    template <typename T> T changelook(T& field, T value);
    void sendmousemove(tagPOINT client);
    void confine();
    void unconfine();
    // The grid point of a raw point.
    POINT gridpoint(POINT raw) const;
    // Keys the device acts on itself.
    void keydown(unsigned long key);
    void keyup(unsigned long key);

    APPLNWINDOW* owner; // the host's window; not owned
    APPLNVIEWHOST* host; // not owned
    INPUTHANDLER* handler = nullptr; // not owned
    POINT snaporigin;
    POINT pointerpos;
    POINT cursorpos;
    int snapstepx = 0;
    int snapstepy = 0;
    int snapscale = 1;
    XCURSORMODES xmode = XCURSOR_NONE;
    HCURSORMODES hmode = HCURSOR_NONE;
    HCURSOR shape = nullptr;
    HCURSOR previousshape = nullptr;
    int sticky = 0;
    int shown = 0;
    int hiddenwhiledrawn = 1;
    int hcursorenabled = 0;
    int confinement = 0;
    int shiftpanenabled = 1;
    int shiftpanactive = 0;
    int trackpan = 0;
    unsigned short snapped = 0;
};
