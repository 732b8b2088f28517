#pragma once

// A two-point modal input on a view: which button, click or drag, is the mode; the buttons move
// the loop through its states until it is done (both points taken) or cancelled (Escape, the other
// button, or a derived loop). Built on the stack and run once:
//     INPUTLOOP loop;
//     if (loop.run(device, INPUTLOOP::LEFTDRAG)) { ...loop.getp1(), loop.getp2()... }
// The shape, drag and route loops derive from it and keep the order of its operations.
//
// A loop also ends cancelled when it cannot go on: without an event dispatcher, when its device's
// window is gone (its frame closed), or when the program is to quit.

#include "framework/appln/inputhandler.h"

class INPUTLOOP : public INPUTHANDLER {
public:
    // Even modes take the left button, odd ones the right. Clicks: the first point where the loop
    // starts (a press replayed at once), the second at the next press. Click-click: a press held
    // at the start is the first point, a later press the second. Drag: the press starts the band,
    // the release ends it.
    enum MODES { LEFTCLICK = 0, RIGHTCLICK = 1, LEFTCLICKS = 2, RIGHTCLICKS = 3, LEFTDRAG = 4, RIGHTDRAG = 5 };
    // IDLE: p1 follows the cursor; FIRST: p1 taken, the button still down; TRACKING: p2 follows
    // the cursor; SECOND: p2 taken (becomes DONE at once in the base); DONE; CANCELLED.
    enum STATES { IDLE = 0, FIRST = 1, TRACKING = 2, SECOND = 3, DONE = 4, CANCELLED = 5 };

    // Keys bound in the input loops' context run their commands; every other key goes to the
    // view window (and so to onkeydown).
    long wantkey(unsigned long key, MSG* message) override;
    void drawcursor(POINT at, unsigned long colour) override { }
    void updatestatus(APPLNWINDOW* window) override { }
    void onmovecursor(POINT from, POINT to) override;
    int onlbuttondown() override;
    int onlbuttonup() override;
    int onrbuttondown() override;
    int onrbuttonup() override;
    // Escape cancels (taken); no other key is taken.
    int onkeydown(unsigned long key) override;

    // begin, loop, end; 1 when done, 0 when cancelled.
    virtual int run(APPLNVIEWDVC* device, MODES mode);
    // Attaches, shows the device's cursor, confines the pointer and replays the start of the mode.
    virtual void begin(APPLNVIEWDVC* device, MODES mode);
    // Pumps until done or cancelled.
    virtual void loop();
    // Releases the pointer, restores the cursor's visibility and detaches.
    virtual void end();
    // Takes p1 on FIRST and p2 on SECOND (turning it into DONE).
    virtual void onstatechange(STATES from, STATES to);

    POINT getp1() const { return p1; }
    POINT getp2() const { return p2; }
    int isvalid() const { return state == DONE; }
    STATES getstate() const { return state; }
    MODES getmode() const { return mode; }

protected:
    // Moves to the state, telling onstatechange when it changes.
    void setstate(STATES to);

    MODES mode = LEFTCLICK;
    STATES state = IDLE;
    int savedvisibility = 0;
    POINT p1;
    POINT p2;

private:
    // Whether the loop can pump on (see the header's note).
    bool canpump() const;
};
