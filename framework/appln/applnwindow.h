#pragma once

// A module window: a child window inside a frame, owned by one module and working in that
// module's context. This is the share the process and the module base rely on (creation into a
// frame, destruction, closing, the command target); the window's bars, status texts, hints and
// the rest of its message handling come with the module-window base.

#include "framework/appln/interfaces.h"
#include "framework/commands/cmdflags.h"
#include "platform/tirsk/basewin.h"

class APPLNMODULE;
namespace XML {
class ELEMENT;
}

class APPLNWINDOW : public BASEWIN, public ICMDTARGET, public IMENUOWNER {
public:
    APPLNWINDOW() = default;
    ~APPLNWINDOW() override;

    // The owning module; its context becomes the window's.
    void setowner(APPLNMODULE* module);
    APPLNMODULE* getparentmodule() const { return owner; }
    APPLNFRAME* getparentframe() const { return frame; }
    // The context the window's commands, keys and hints are looked up in.
    unsigned short getcmdctx() const { return cmdctx; }

    // Creates the native child window in the frame, titled with the owner's title, and adds the
    // window to its module and its frame; the window handle, null when it cannot be made.
    virtual HWND createwindow(APPLNFRAME* parent);
    // Leaves frame and module and destroys the native window; nothing more when already gone.
    virtual void destroywindow();
    // Whether the window agrees to close; 1 in the base.
    virtual int queryclose() { return 1; }
    // WM_CLOSE: the base destroys the window.
    virtual void onclose() { destroywindow(); }
    // The window's part of a saved workspace; nothing in the base.
    virtual void loadsettings(XML::ELEMENT& element) { }

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The owner's context, and the owner's command handling.
    MODULECONTEXT* getapplncontext() override;
    int docommand(unsigned short id) override;
    int getuistate(unsigned short id, UISTATE* state) override;

    void oninitmenu() override { }
    void oninitmenupopup(int index, HMENU popup) override { }

protected:
    APPLNFRAME* frame = nullptr;
    APPLNMODULE* owner = nullptr;
    unsigned short cmdctx = CMDCTX_SHARED;
};
