#pragma once

// The set of selected objects of an editor: an area (VOIDBOX when none) and the objects in the
// order they were added (not owned). A selection is itself an object: it is dragged, turned,
// resized by its frame's eight handles and asked for commands like one, and its drag only checks
// where the objects would land (moving them is the editor's work once the drag is done).

#include "framework/editor/applnobject.h"

class SELECTION : public APPLNOBJECT {
public:
    explicit SELECTION(const BOX& area = VOIDBOX);
    SELECTION(const SELECTION& other) = default;
    // Resets, then takes the other's area, single object and list (the transform stays ZEROCTS and
    // the shown area as it was).
    SELECTION& operator=(const SELECTION& other);

    void addobject(APPLNOBJECT* object);
    void removeobject(APPLNOBJECT* object);
    // Area void, transform ZEROCTS, no objects.
    void reset();
    // No objects; the area stays.
    void empty();
    // The area, and the transform at its centre.
    void setarea(const BOX& box);
    // Reports a changed area: without objects the area becomes void; when it differs from the
    // area shown, both boxes take in the shown area and the area (the caller redraws them) and the
    // area counts as shown.
    void update(BOX& old, BOX& now);
    int contains(const BOX& box) const { return area.contains(box); }
    int contains(POINT point) const { return area.contains(point); }
    int contains(APPLNOBJECT* object) const { return objects.find(object) >= 0; }
    int overlaps(const BOX& box) const { return area.intersects(box); }
    // Snaps the area's edges to the grid; whether it is still a box.
    int snaparea(POINT origin, int step) { return area.snap(origin, step); }
    int isboxed() const { return area.isvalid(); }
    int isvalid() const { return isboxed() || objects.count > 0; }
    int issingle() const { return objects.count == 1 && !isboxed(); }
    int ismultiple() const { return objects.count > 1; }
    int count() const { return objects.count; }
    APPLNOBJECT* getobject(int i) const { return objects.ptr(i); }
    APPLNOBJECT* getsingle() const { return single; }
    CTS gettransform() const { return transform; }

    using APPLNOBJECT::uistate;
    // Asked of the device's host (oneditsel).
    int editcmd(EDITCMDINFO& info, APPLNVIEWDVC* device) override;
    // Whether any object decided the command's state.
    int uistate(unsigned short id, EDITCMDINFO& info, UISTATE& state) override;
    // A hit when the area holds the point.
    TESTCODES test(POINT point, int* tolerance) override;
    void highlight(APPLNVIEWDVC* device, HCURSORMODES mode) override { }
    // The single object's orientation; else whether every object turns, with the selection's
    // transform written (0 without an area).
    int getornt(CTS* cts) override;
    // The area, whatever the code.
    BOX getarea(AREACODES code) override { return area; }
    // DRAG_DRAW draws the frame and every object at cts; DRAG_MOVED answers whether every object
    // may be placed at cts, moving nothing.
    int drag(DRAGCODES code, CTS& cts, void* context, APPLNVIEWDVC* device) override;
    // Every object is asked first; only when all agree and final is set are they placed for good.
    int checkplacement(int final) override;
    // The eight handles of the area's frame: corners 0-3 from the bottom left anticlockwise, then
    // the middles of the bottom, top, left and right edges.
    int gethandles(GDPA<DRAGHANDLE>& list) override;
    // The single object's.
    int handleevent(DRAGHANDLE& handle, POINT point, int distance, unsigned short event, unsigned int flags) override;
    // Moves the area's edges that the handle holds to its point; 0 for an unknown handle.
    int resize(DRAGHANDLE* handle) override;
    void map(CTS cts) override;
    // A drag's ghost in the cursor colour (the drag mixes it by exclusive-or on a screen), else a
    // dotted frame that shows on the background.
    void plot(VGDVC* device, DRAWMODES mode) override;

private:
    BOX area;
    BOX shown = VOIDBOX;
    CTS transform;
    APPLNOBJECT* single = nullptr; // the only object, when there is exactly one
    GDPA<APPLNOBJECT> objects; // not owned: never zapped
};
