#pragma once

// The interfaces through which the process, the modules and their windows reach one another.
// A module hands out its interfaces by number (IMODULE::queryinterface): number 0 is the module
// object itself, number 1 its window module. Interfaces are not deleted through these pointers.
// The form factory (IFORMFACTORY) is the dialog library's.

#include <cstdint>

#include "platform/drelm/formfactory.h"
#include "platform/win/colour.h"
#include "platform/win/handletypes.h"

class APPLNFRAME;
class APPLNWINDOW;
struct MODULECONTEXT;

class IMODULE {
public:
    // The interface of that number; null when there is none.
    virtual IMODULE* queryinterface(unsigned id) = 0;

protected:
    ~IMODULE() = default;
};

class IWINDOWMODULE : public IMODULE {
public:
    // The module's primary window in the frame; null when it has none there.
    virtual APPLNWINDOW* getprimarywindow(APPLNFRAME* frame) = 0;
    virtual void showprimarywindow() = 0;

protected:
    ~IWINDOWMODULE() = default;
};

// What a command target reports about a command for its menu items and buttons.
struct UISTATE {
    int32_t enabled; // non-zero: enabled
    int32_t checked; // above 0: checked
};

class ICMDTARGET {
public:
    // The context made current around the target's commands.
    virtual MODULECONTEXT* getapplncontext() = 0;
    // Non-zero when the command was handled.
    virtual int docommand(unsigned short id) = 0;
    // Non-zero when state was filled in.
    virtual int getuistate(unsigned short id, UISTATE* state) = 0;

protected:
    ~ICMDTARGET() = default;
};

// The colours a module draws with, by index (APPLNCOLOURS of the graphics devices: 0 the
// background, 2 the editing cursor, ...).
class IPALETTE {
public:
    // The colour of the index; 0 (black) for an index the palette does not hold.
    virtual COLORREF getcolour(int index) = 0;

protected:
    ~IPALETTE() = default;
};

class IMENUOWNER {
public:
    virtual void oninitmenu() = 0;
    virtual void oninitmenupopup(int index, HMENU popup) = 0;

protected:
    ~IMENUOWNER() = default;
};
