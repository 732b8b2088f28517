#pragma once

// The demo editor: a module of the tests (never shipped) deriving the editor base, whose window is
// an editing view over a generated drawing and a few boxes that its commands add, select, move
// and undo, and its views zoom, pan and show a grid, so that each step of the editing framework
// can be tried in a real window. The view has the full-view crosshair and snaps to a tenth of an
// inch.

#include <memory>
#include <vector>

#include "framework/documents/applndocument.h"
#include "framework/documents/applnproject.h"
#include "framework/editor/applneditor.h"
#include "framework/tests/demoeditor/demodrawing.h"

// A box of the demo: an editable object filled in its colour.
class DEMOBOX : public APPLNOBJECT {
public:
    DEMOBOX(const BOX& area, COLORREF colour);
    BOX getarea(AREACODES code) override { return area; }
    void map(CTS cts) override { area.map(cts); }
    void plot(VGDVC* device, DRAWMODES mode) override;

private:
    BOX area;
    COLORREF colour;
};

// Commands of the demo editor (their low 12 bits).
constexpr unsigned short DEMO_ADDBOX = 0x801; // a box at the cursor
constexpr unsigned short DEMO_SELECTALL = 0x802; // every box into the tag set
constexpr unsigned short DEMO_MOVERIGHT = 0x803; // the tagged boxes a tenth of an inch right

// What the editor base is given and the demo owns: its project, document and edit status.
struct DEMOSTATE {
    APPLNPROJECT demoproject;
    APPLNDOCUMENT demodocument;
    APPLNEDITSTATUS demostatus;
};

class DEMOEDITOR : private DEMOSTATE, public APPLNEDITOR {
public:
    // The drawing holds `cells` lines and as many labels.
    DEMOEDITOR(APPLNPROCESS* process, int cells);
    ~DEMOEDITOR() override;

    // The world's scale, pixels per inch, and the world point at the centre of the view.
    void setview(int pixelsperinch, POINT centre);
    // Scales the view so that the whole drawing shows.
    void fitdrawing();
    const DEMODRAWING& getdrawing() const { return drawing; }
    int numboxes() const { return int(boxes.size()); }

    void oncreatewindow() override;
    void ondestroywindow() override;
    void onresize(int width, int height) override;
    // The drawing and the boxes.
    void drawcontent(BOX area, int full, APPLNVIEWDVC* device, int mode) override;
    // Paper white, a blue cursor, a brown border and origin marks, grey handles.
    COLORREF getcolour(int index) override;

    void openlibraries() override { }
    void closelibraries() override { }
    void refreshlibrary(int kind) override { }
    // Modes 0-2 open a frame holding the boxes as they are; 3 keeps it, 4 puts the boxes back.
    void undoframectl(int mode) override;

private:
    static const EDITCOMMAND commands[];

    int addbox();
    int selectall();
    int moveright();
    int undo();
    // The boxes as a frame holds them.
    std::vector<BOX> areas() const;
    void setareas(const std::vector<BOX>& kept);
    BOX boxesarea() const;

    DEMODRAWING drawing;
    std::vector<std::unique_ptr<DEMOBOX>> boxes;
};
