#pragma once

// BASEWIN: the wrapper every framework window derives from. It owns nothing but its binding: the
// window's messages reach the object's virtual msghlr, found in window word 0 for windows of the
// library's classes, or in the window property "BASEWIN" for a window of another class that the
// object subclassed (its own procedure is then reached through chainsubclass).
//
// The library's classes are registered by BASEWIN::initialise with a prefix ("APPLN"):
// cls_dclk_noDC delivers double clicks, cls_noDC does not; neither keeps a device context of its
// own, and both carry two window words (word 0 the object).

#include "platform/win/structs.h"
#include "platform/win/scalars.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/geometry.h"

struct APPLNCONTEXT;

// The names of the library's window classes, valid after BASEWIN::initialise; null before.
extern const char* cls_dclk_noDC;
extern const char* cls_noDC;

// A window handle and nothing else.
class BASEHWND {
public:
    HWND gethwnd() const { return hwnd; }

    HWND hwnd = nullptr;
};

class BASEWIN : public BASEHWND {
public:
    BASEWIN() = default;
    BASEWIN(const BASEWIN&) = delete;
    BASEWIN& operator=(const BASEWIN&) = delete;

    // The window procedure of the object: a subclassed window's own procedure, else the default.
    virtual LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The object's application context (null until set).
    virtual APPLNCONTEXT* getcontext();
    // Unbinds the object from its window; the window itself stays.
    virtual ~BASEWIN();
    // Sets the window text, formatted (at most 1023 characters).
    virtual void caption(const char* format, ...);
    // Adds the rectangle of the client area (null: all of it) to what is repainted.
    virtual void invalidate(const RECT* area, int erase);
    // Gives the window the keyboard focus; non-zero `raise` also brings its top-level window up.
    virtual void takefocus(int raise);
    // Moves and sizes the window (SetWindowPos flags, z-order kept).
    virtual void locate(int x, int y, int width, int height, unsigned flags);

    // Resizes in place (flags as locate, e.g. 8 = SWP_NOREDRAW).
    void sizeto(int width, int height, unsigned flags);

    // Binds the object to a window of the library's classes (window word 0) and makes it the
    // object's window. FALSE for a dead window or one of another class.
    BOOL bind(HWND window);
    // Binds the object to a window of another class by subclassing it; its old procedure is kept
    // for chainsubclass. FALSE for a dead window or one bound already.
    BOOL subclass(HWND window);
    // Undoes bind or subclass (the old procedure comes back when the object's is still in place).
    void unbind();
    // The subclassed window's own procedure; DefWindowProcA when the object did not subclass.
    LRESULT chainsubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The object bound to a window, null when none.
    static BASEWIN* fromhandle(HWND window);
    // Registers the library's classes as "<prefix>_dclk_noDC" and "<prefix>_noDC"; 1 when they are
    // registered (again: nothing changes), 0 for an empty prefix.
    static int initialise(const char* prefix);
    // Unregisters them (while no window of them lives).
    static void terminate();

    APPLNCONTEXT* context = nullptr;

private:
    WNDPROC original = nullptr;  // set while the object subclasses its window
};
