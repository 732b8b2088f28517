#pragma once

// SGDVC, the screen device: world drawing on a window of the window layer, through its device
// context. The device either owns a child window of its own (a view: its messages reach msghlr)
// or draws on a window someone else owns (a preview control).
//
// The world point set by setorigin lies at the centre of the client area; setmapping gives pixels
// per `units` world units. Drawing happens in sessions: a paint (beginpaint to endpaint, WM_PAINT),
// an animation frame (beginanimate to endanimate, for rubber bands and cursors drawn by
// exclusive-or, which drawing twice removes), or, for a lone drawing call, a session of its own
// that ends when control returns to the event loop. With double buffering a paint draws off screen
// and shows its area at once at endpaint. Exclusive-or drawing lands on the window's overlay, not
// on the drawing: a paint beneath a rubber band neither wipes it nor is marked by its removal.
//
// Graphics modes: plain drawing and double buffering are offered; the accelerated modes (OpenGL,
// Direct2D) are reported unavailable, so that a display choice falls back to double buffering.
// Callers: the view devices of the editors (framework), previews of library entries (lunder, TAVI).

#include <memory>

#include "platform/casq/vgdvc.h"
#include "platform/win/messageparams.h"
#include "platform/win/structs.h"

// Repaint modes of invalidate (kept as the most urgent pending until the next paint): 2 the
// content, 3 the content with the grid, 4 everything.
constexpr int REPAINT_CONTENT = 2;
constexpr int REPAINT_GRID = 3;
constexpr int REPAINT_ALL = 4;

// Grid kinds.
constexpr int GRID_DOTS = 0;
constexpr int GRID_MINORLINES = 1;
constexpr int GRID_MAJORLINES = 2;

class SGDVC : public VGDVC {
public:
    // A child window of parent with the id over the area (the parent's client pixels, x2 and y2
    // the last pixels inside), with the extra window styles in flags (WS_VISIBLE shows it).
    SGDVC(HWND parent, int id, const BOX& area, DWORD flags, long unitsperinch);
    // Drawing on a window owned elsewhere, through dc (null: the window's own, GetDC); flags are
    // not used.
    SGDVC(HWND window, HDC dc, int flags, COLORREF background, long unitsperinch);
    ~SGDVC() override;

    // The device window's procedure: WM_PAINT erases the update area, WM_SIZE keeps the origin in
    // the centre and repaints; the rest goes to the default handling.
    virtual LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Painting: beginpaint fills the caller's record (when given) as BeginPaint does and erases
    // the update area; endpaint ends the paint begun last.
    void beginpaint(PAINTSTRUCT* paint);
    void endpaint(PAINTSTRUCT* paint);
    void beginanimate();
    void endanimate();
    // Whether a paint is in progress (beginpaint to endpaint).
    int ispainting() const;
    // Marks the world area (void: all) for repainting in the mode.
    void invalidate(const BOX& area, int mode);
    int getrepaintmode() const;
    void clear(const BOX& area) { erase(area); }
    // Moves the view by the world distance, rounded to whole pixels: what stays in sight moves,
    // the rest is marked for repainting; the origin follows.
    void scroll(int dx, int dy);
    // A grid over the visible area at multiples of spacing from origin: dots (one pixel each) or
    // lines; nothing when the spacing is below 3 pixels.
    void grid(int kind, POINT origin, int spacing, COLORREF colour);
    // The style objects are highlighted in: a 2-pixel line and a fill in the colour.
    GSTYLE gethighlightstyle(COLORREF colour) const;
    // How long the last paint took, in milliseconds.
    long getlastpainttime() const;

    // Coordinates.
    tagPOINT world2client(POINT world) const;
    tagPOINT world2screen(POINT world) const;
    POINT client2world(tagPOINT client) const;
    POINT screen2world(tagPOINT screen) const;
    // The world area of client pixels (void for an empty rectangle).
    BOX client2world(const RECT& client) const;
    // The world area the client area shows.
    BOX getvisiblearea() const;

    // Graphics modes.
    int testopenglsupport() const { return 0; }
    int enableopengl() { return 0; }
    void disableopengl() { }
    int isopengl() const { return 0; }
    int testdirect2d() const { return 0; }
    int enabledirect2d() { return 0; }
    void disabledirect2d() { }
    int isdirect2d() const { return 0; }
    void setgdidoublebuffer(int on);
    int isgdidoublebuffer() const;
    // Multisampling needs OpenGL: no counts are available (bit i - 1 of the mask: i samples).
    int setmultisampling(int count) { return 0; }
    int getmultisamplingmask() const { return 0; }

    // The window's context of the session in progress (a lone one is opened when none is).
    HDC getdc() override;
    // Shows what the drawing session in progress drew, and ends it.
    void enddrawing() override;
    int isinteractive() override { return 1; }
    unsigned getcaps() const override;
    double thinline() const override { return 1; } // a pixel

protected:
    casq::RENDERER* startpage(double width, double height) override;
    void finishpage() override;
    casq::DPOINT anchor() const override;
    casq::DPOINT pagesize() const override;

private:
    struct SESSION;
    // Opens a drawing session on the device context (a paint's, else the window's own).
    bool opensession(HDC paintdc);
    void closesession();
    SIZE clientsize() const;

    std::unique_ptr<SESSION> session;
    bool ownswindow;
};

// Starts the graphics library: its window class for views; answers 1 when the toolkit can draw
// (an application of the toolkit exists). gdiplus_shutdown undoes it once no view lives.
int gdiplus_startup();
void gdiplus_shutdown();
