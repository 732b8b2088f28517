#pragma once

// What a view device and the input loops ask of the view's owner: what a click means, how to
// snap, how to paint and pan, how to write a coordinate, which object the context menu is about,
// and whether a modal edit runs. The view window answers for secondary views; an editor answers
// for its main view.

#include "platform/ombrel/box.h"
#include "platform/ombrel/point.h"
#include "platform/win/structs.h"

class APPLNOBJECT;
class APPLNVIEWDVC;
class APPLNWINDOW;
class SELECTION;
struct EDITCMDINFO; // the deriving editor's record of an edit command

// The highlight the host draws at the editing cursor; HCURSOR_SNAPPED marks a cursor snapped to
// an object.
enum HCURSORMODES { HCURSOR_NONE = 0, HCURSOR_OBJECT = 1, HCURSOR_SNAPPED = 2 };

class APPLNVIEWHOST {
public:
    // The window that owns the view (its status bar, keys and commands).
    virtual APPLNWINDOW* getapplnwindow() = 0;
    virtual int isvisible() = 0;
    // Clicks on the view; non-zero when they meant something.
    virtual int onleftclick(APPLNVIEWDVC* device) = 0;
    virtual int onrightclick(APPLNVIEWDVC* device) = 0;
    // The wheel turned by delta (120 a notch, positive away from the user) with the keys (MK_*);
    // non-zero when handled.
    virtual int onmousewheel(APPLNVIEWDVC* device, int delta, unsigned keys) = 0;
    // Shift with a left press: zoom to a dragged box.
    virtual int onshiftzoom(APPLNVIEWDVC* device) = 0;
    // The middle press: pan with the pointer.
    virtual int ontrackpan(APPLNVIEWDVC* device) = 0;
    // The device placed its cursor (raw pointer and snapped cursor, world units); focus is set
    // when it comes from a pointer move rather than a focus change.
    virtual int onsetcursor(APPLNVIEWDVC* device, POINT raw, POINT cursor, int focus) = 0;
    // An edit command on the selection.
    virtual int oneditsel(EDITCMDINFO& info, SELECTION* selection) = 0;
    // A drag or context-menu loop starts (on) or ends.
    virtual void setmodal(int on) = 0;
    virtual int ismodal() = 0;
    // The device's paint: begin, draw the world area, end.
    virtual void beginpaint(APPLNVIEWDVC* device, PAINTSTRUCT* paint) = 0;
    virtual void onrepaint(APPLNVIEWDVC* device, BOX& area) = 0;
    virtual void endpaint(APPLNVIEWDVC* device, PAINTSTRUCT* paint) = 0;
    // The final cursor of a pointer move: points[0] the raw point, points[1] the grid point, which
    // the host may move; snapped and shape (a system cursor id, 0 for the arrow) are its to set.
    // Non-zero when something was snapped.
    virtual int snapfunc(APPLNVIEWDVC* device, unsigned short* snapped, POINT* points, unsigned long* shape) = 0;
    // Draws (or, drawn again, removes) the highlight at the cursor.
    virtual void drawhcursor(APPLNVIEWDVC* device, HCURSORMODES mode) = 0;
    // The pointer reached the view's edge (dx, dy: -1, 0 or 1; dy -1 at the top) while confined.
    virtual void autopan(APPLNVIEWDVC* device, int dx, int dy) = 0;
    // Centres the view on the point; with movecursor the cursor follows.
    virtual void pan(POINT centre, int movecursor) = 0;
    virtual void zoomarea(BOX& area) = 0;
    // Coordinate and length texts for status lines: x, y and text hold at least 32 characters;
    // units is set to a text that stays valid.
    virtual void fmtcoord(POINT point, char* x, char* y, const char** units) = 0;
    virtual void fmtdimension(long value, char* text, const char** units) = 0;
    // The object a context menu is about; null when none.
    virtual APPLNOBJECT* getctxobj() = 0;

protected:
    ~APPLNVIEWHOST() = default;
};
