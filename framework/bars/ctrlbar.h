#pragma once

// CTRLBAR: every bar of a frame (toolbars, the mode and orientation bars, the status bar, the
// coordinate box, combo bars, the Qt widget bar). A native child window that docks as a band in
// one of the frame's four rebars (REBAR), can be dragged from one rebar into another, shown and
// hidden, and sizes its images for the screen's resolution. The bar's window holds the object in
// window word 0; its window id is the bar's identity in the saved band layout. A bar deletes
// itself when its window is destroyed.

#include "platform/ombrel/box.h"
#include "platform/tirsk/basewin.h"

class APPLNFRAME;
class REBAR;

// A bar sends itself this to start dragging itself out of its rebar.
constexpr UINT CTRLBAR_BEGINDRAG = 0x50F;

class CTRLBAR : public BASEWIN {
public:
    // A bar without a window of its own, for a derived class that supplies one.
    explicit CTRLBAR(int verticaldocking);
    // A hidden 128 by 16 child window of `parent` with the id; visible, not docked, not restored.
    CTRLBAR(BASEHWND* parent, unsigned id, int verticaldocking);
    // Leaves its rebar and destroys its window (unless the window is going already).
    ~CTRLBAR() override;

    // The drag between rebars, double-buffered painting, and the bar's end with its window.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Docks the bar at that position of the rebar (-1: the end), shows it and marks it visible;
    // nothing when it is docked already.
    virtual void attach(REBAR* rebar, int position);
    // Sizes the bar for its place; the base keeps it. Answers the window's area in its parent's
    // client coordinates, edges included.
    virtual BOX resize();
    // The shortest the bar may be along its rebar.
    virtual int minwidth();
    // Starts dragging the bar out of its rebar (after resize).
    virtual void begindrag();
    // The background: the rebar's, as the parent erases it.
    virtual void onerase(HDC dc);
    // The bar's own drawing; none in the base.
    virtual void onpaint(HDC dc);
    // Picks the bitmap and padding sizes for the scale (<= 0: from the class-wide size, else from
    // the screen), and the bitmap name: the name, or the name with the bitmap size appended when
    // scaled, falling back by steps of 0.2 to smaller strips that the graphics module has.
    virtual void configuresize(const char* name, double scale);

    // Docks the bar at its default side and position of the frame.
    void attach(APPLNFRAME* frame);
    // Hides the bar and gives it back to the window it was created in; the band stays for the
    // rebar to remove (REBAR::detach).
    void detach();
    // Shows or hides the bar's band when docked; the flag is kept as the bar's visibility.
    void show(int visible);
    void hide() { show(0); }
    // Side 0 top, 1 bottom, 2 left, 3 right; position -1 the end.
    void setdefpos(int side, int position);
    int getdefside() const { return defaultside; }
    int getdefpos() const { return defaultposition; }
    int isVisible() const { return visible; }
    int isRestored() const { return restored; }
    void setRestored(int flag) { restored = flag; }
    REBAR* getrebar() const { return rebar; }
    int getverticaldocking() const { return verticaldocking; }
    // Docked in a vertical rebar.
    int isvertical() const;
    // The rebar's client width; 0 when not docked.
    int rebarwidth() const;
    // The rebar's background under a rectangle of the bar.
    void drawbackground(HDC dc, const RECT* area);

    // The bitmap size of bars made from now on: 0 picks it from the screen, 16, 24 or 32 force it.
    static int getsizing();
    static void setsizing(int size);

protected:
    // The bar's end with its window: deleted at once here; a bar that is also a Qt object is
    // deleted by Qt's deferred deletion.
    virtual void deleteself() { delete this; }
    // For a left press, left double click, right press or right double click on the bar, sends its
    // window `first` + 0, 1, 2 or 3 (wParam and lParam 0); false for any other message.
    bool reportclick(UINT message, UINT first);

    HWND parentwindow = nullptr; // where the bar returns when it leaves a rebar
    int bitmapsize = 16;
    int buttonsize = 16;
    int verticalpadding = 5;
    int horizontalpadding = 6;
    char bitmapname[516] = {};

private:
    friend class REBAR;

    void dragto(tagPOINT client);
    void drop();
    void enddrag();
    void paint();

    int defaultside = 0;
    int defaultposition = -1;
    REBAR* rebar = nullptr;
    int verticaldocking;
    int dragging = 0;
    HCURSOR savedcursor = nullptr;
    HWND droptarget = nullptr;
    int restored = 0;
    int visible = 1;
    bool destroying = false; // the window is going: the destructor leaves it alone
};
