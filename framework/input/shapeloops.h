#pragma once

// The rubber-band loops that ask the user for a shape: a line, a box, a circle, a quarter arc, a
// path of lines and arcs, and a selection rectangle. Each keeps its points in p1 and p2, draws its
// figure while the cursor moves (drawn again to remove it), writes the live coordinates to the
// status line and hands the shape back through a getter, to be read only after run succeeded:
//     BOXINPUTLOOP loop;
//     if (loop.run(device, INPUTLOOP::LEFTDRAG)) { ...loop.getbox()... }
// Line, box, circle, arc and selection fail when the two points coincide; the path loop ends only
// when the path closes (Escape or the other button cancel it).

#include "framework/input/inputloop.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/shapes.h"

class LINEINPUTLOOP : public INPUTLOOP {
public:
    int run(APPLNVIEWDVC* device, MODES mode) override;
    void drawcursor(POINT at, unsigned long colour) override;
    void updatestatus(APPLNWINDOW* window) override;
    LINE getline() const { return LINE(p1, p2); }
};

class BOXINPUTLOOP : public INPUTLOOP {
public:
    // The shared run of the two-point shapes: done, and the points differ.
    int run(APPLNVIEWDVC* device, MODES mode) override;
    void drawcursor(POINT at, unsigned long colour) override;
    void updatestatus(APPLNWINDOW* window) override;
    BOX getbox() const { return BOX(p1, p2); }
};

class CIRCLEINPUTLOOP : public INPUTLOOP {
public:
    int run(APPLNVIEWDVC* device, MODES mode) override;
    void drawcursor(POINT at, unsigned long colour) override;
    void updatestatus(APPLNWINDOW* window) override;
    // Centred on p1, through p2.
    CIRCLE getcircle() const { return CIRCLE(p1, p2.dist(p1)); }
};

// A quarter arc from p1 to p2. Its bend follows the axis through p1 the cursor last lay on, so
// the user chooses it by crossing that axis.
class BEZIERINPUTLOOP : public INPUTLOOP {
public:
    int run(APPLNVIEWDVC* device, MODES mode) override;
    void drawcursor(POINT at, unsigned long colour) override;
    void updatestatus(APPLNWINDOW* window) override;
    const BEZIER& getbezier() const { return arc; }

private:
    int vertical = 0;
    int horizontal = 0;
    BEZIER arc;
};

// A closed path: each click ends a segment (a line, or an arc while Ctrl is held) and starts the
// next; Backspace takes the last segment back.
class PATHINPUTLOOP : public INPUTLOOP {
public:
    void drawcursor(POINT at, unsigned long colour) override;
    void updatestatus(APPLNWINDOW* window) override;
    int onkeydown(unsigned long key) override;
    int onkeyup(unsigned long key) override;
    void onstatechange(STATES from, STATES to) override;
    const PATH& getpath() const { return path; }

private:
    // Runs the change with the cursor hidden, so that the rubber band is drawn anew.
    template <typename CHANGE> void redrawn(CHANGE change);

    int vertical = 0;
    int horizontal = 0;
    int arcmode = 0; // Ctrl held
    int lastisarc = 0; // the rubber band shows an arc
    LINE segment;
    BEZIER arc;
    PATH path;
};

// A box dragged or clicked out to select by: drawn as a dotted frame, with a cursor shape of its
// own while it runs.
class SELECTIONINPUTLOOP : public BOXINPUTLOOP {
public:
    using BOXINPUTLOOP::run;
    // In the drag modes the cursor shape is set once the pointer moves; in the others at once.
    int run(APPLNVIEWDVC* device, const char* cursorname, MODES mode);
    void drawcursor(POINT at, unsigned long colour) override;
    void onmovecursor(POINT from, POINT to) override;

private:
    const char* cursorname = nullptr;
};
