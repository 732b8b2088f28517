#pragma once

// What an editor lets the user point at, drag or resize. An APPLNOBJECT answers through three
// interfaces: ICTXOBJECT (its commands, hit and selection tests, highlight, orientation, area),
// IDRAGOBJECT (dragging it and checking where it lands) and IHANDLEOBJECT (its resize handles, a
// transform, drawing). The schematic's objects derive from it, and so does the selection, so that
// a whole selection is dragged, turned and resized like one object.

#include "core/containers/dpa.h"
#include "framework/views/applnviewhost.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"

class VGDVC;
struct UISTATE;

// The areas an object answers: the one hits are tested against, the one a selection by area takes;
// other codes are the deriving module's.
enum AREACODES { AREA_HIT = 1, AREA_SELECT = 2 };
// What a hit test found; codes above 1 are the deriving module's.
enum TESTCODES { TEST_MISS = 0, TEST_HIT = 1 };
// The steps of a drag (its start, the ghost drawn at the dragged place, the move done) and how a
// drag ended: moved or turned, not moved though the pointer moved or the orientation changed back
// (also without an object), not moved at all (a click), cancelled or refused.
enum DRAGCODES {
    DRAG_START = 0,
    DRAG_DRAW = 1,
    DRAG_MOVED = 2,
    DRAG_UNMOVED = 3,
    DRAG_CLICK = 4,
    DRAG_CANCELLED = -1
};
// What a drawing is for: the view, the background colour (erasing), a drag's ghost (exclusive-or on
// a screen), the overview, a highlight drawn translucent.
enum DRAWMODES { DRAW_VIEW = 0, DRAW_ERASE = 1, DRAW_DRAG = 2, DRAW_OVERVIEW = 3, DRAW_HIGHLIGHT = 15 };

// A resize handle of an object: made by the object, owned by the list it was added to.
struct DRAGHANDLE {
    int id = -1;
    BOX box; // where the pointer takes it
    long cursor = 0; // the system cursor shown over it
    int flags = 0;
    POINT point; // world units
};

class ICTXOBJECT {
public:
    // An edit command on the object; 0 when not handled.
    virtual int editcmd(EDITCMDINFO& info, APPLNVIEWDVC* device) = 0;
    // The state of a command's menu item; 0 when the object leaves it to the editor.
    virtual int uistate(unsigned short id, UISTATE& state) = 0;
    virtual int uistate(unsigned short id, EDITCMDINFO& info, UISTATE& state) = 0;
    // Whether the point hits the object within the tolerance (set to 0 on a hit).
    virtual TESTCODES test(POINT point, int* tolerance) = 0;
    // Whether the selection takes the object.
    virtual int select(SELECTION& selection) = 0;
    virtual void highlight(APPLNVIEWDVC* device, HCURSORMODES mode) = 0;
    // Writes the object's orientation; whether the object turns.
    virtual int getornt(CTS* cts) = 0;
    virtual BOX getarea(AREACODES code) = 0;

protected:
    ~ICTXOBJECT() = default;
};

class IDRAGOBJECT {
public:
    // A step of a drag by cts (context: the drag loop's); see APPLNOBJECT::drag.
    virtual int drag(DRAGCODES code, CTS& cts, void* context, APPLNVIEWDVC* device) = 0;
    // Whether the object may stay where it is now; final when it is placed for good.
    virtual int checkplacement(int final) = 0;

protected:
    ~IDRAGOBJECT() = default;
};

class IHANDLEOBJECT {
public:
    // Appends the object's handles to the list; 0 when it has none.
    virtual int gethandles(GDPA<DRAGHANDLE>& list) = 0;
    virtual int handleevent(DRAGHANDLE& handle, POINT point, int distance, unsigned short event, unsigned int flags)
        = 0;
    // Moves the object's edge or corner to the handle's point; 0 when nothing changed.
    virtual int resize(DRAGHANDLE* handle) = 0;
    virtual void map(CTS cts) = 0;
    virtual void plot(VGDVC* device, DRAWMODES mode) = 0;

protected:
    ~IHANDLEOBJECT() = default;
};

class APPLNOBJECT : public ICTXOBJECT, public IDRAGOBJECT, public IHANDLEOBJECT {
public:
    virtual ~APPLNOBJECT() = default;

    int editcmd(EDITCMDINFO& info, APPLNVIEWDVC* device) override { return 0; }
    int uistate(unsigned short id, UISTATE& state) override { return 0; }
    int uistate(unsigned short id, EDITCMDINFO& info, UISTATE& state) override { return uistate(id, state); }
    // A hit when the hit area holds the point within the tolerance.
    TESTCODES test(POINT point, int* tolerance) override;
    // Whether the selection's area holds the object's selection area.
    int select(SELECTION& selection) override;
    // Draws the object as a highlight, whatever the mode.
    void highlight(APPLNVIEWDVC* device, HCURSORMODES mode) override;
    // The hit area's centre, unturned; 0: the object does not turn.
    int getornt(CTS* cts) override;

    // DRAG_START: the orientation (getornt's answer); DRAG_DRAW: the object drawn at cts and put
    // back, 1; DRAG_MOVED: the object moved by cts, 1. Other codes: 0.
    int drag(DRAGCODES code, CTS& cts, void* context, APPLNVIEWDVC* device) override;
    int checkplacement(int final) override { return 1; }

    int gethandles(GDPA<DRAGHANDLE>& list) override { return 0; }
    int handleevent(DRAGHANDLE& handle, POINT point, int distance, unsigned short event, unsigned int flags) override
    {
        return 0;
    }
    int resize(DRAGHANDLE* handle) override { return 0; }
};
