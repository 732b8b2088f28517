#pragma once

// The drag loops: an object (or the selection) moved with the pointer, turned and mirrored by the
// orientation bar's commands and keys on the way, its ghost drawn by the object itself; and one
// resize handle of an object dragged to a new place. Both make the view's host modal while they
// run. Built on the stack and run once:
//     DRAGOBJECTLOOP loop(host, orientationbar);
//     if (loop.run(device, object, nullptr, INPUTLOOP::LEFTDRAG) == DRAG_MOVED) { ...loop.getmapcts()... }

#include "framework/editor/applnobject.h"
#include "framework/input/inputloop.h"

class ORNTBAR;

class DRAGOBJECTLOOP : public INPUTLOOP {
public:
    // Without an orientation bar the turn and mirror commands are taken but change nothing.
    DRAGOBJECTLOOP(APPLNVIEWHOST* host, ORNTBAR* bar);

    // Where the ghost starts off the pointer.
    void setinitoffset(POINT& offset) { initoffset = offset; }
    // A cursor shape for the drag; without one the system pointer is hidden.
    void setcursortype(const char* name) { cursorname = name; }
    // What the object was (or is) told to move by.
    CTS getmapcts() const { return mapcts; }
    // DRAG_MOVED, DRAG_UNMOVED, DRAG_CLICK or DRAG_CANCELLED (Escape, the other button, or the
    // object refusing the move); DRAG_UNMOVED without an object. The object is told the result
    // with the transform.
    int run(APPLNVIEWDVC* device, IDRAGOBJECT* object, void* context, MODES mode);

    // Keys of the orientation bar's context, then of the input loops' context.
    long wantkey(unsigned long key, MSG* message) override;
    void drawcursor(POINT at, unsigned long colour) override;
    void onmovecursor(POINT from, POINT to) override;
    // The orientation bar's turn and mirror commands.
    int oncommand(unsigned short id) override;

private:
    using INPUTLOOP::run; // a drag runs with its object

    APPLNVIEWHOST* host;
    ORNTBAR* bar;
    POINT initoffset;
    const char* cursorname = nullptr;
    IDRAGOBJECT* object = nullptr;
    void* context = nullptr;
    CTS origin; // the pointer at the start with the bar's orientation, or the object's own
    CTS accumulated; // the move and turns so far
    CTS mapcts; // what the object is told
    int transformmode = 0; // the object turns
    int changed = 0;
};

class DRAGHANDLELOOP : public INPUTLOOP {
public:
    // Drags the handle with the left button; the object takes the new handle only when the drag
    // ends well (1), and is left as it was when it is cancelled (0).
    int run(APPLNVIEWDVC* device, IHANDLEOBJECT* object, DRAGHANDLE& handle);

    // The object drawn with the handle where it is dragged, then put back.
    void drawcursor(POINT at, unsigned long colour) override;
    void onmovecursor(POINT from, POINT to) override;
    int onkeyup(unsigned long key) override { return 0; }

private:
    using INPUTLOOP::run; // a handle drag runs with its handle

    IHANDLEOBJECT* object = nullptr;
    DRAGHANDLE start;
    DRAGHANDLE current;
};
