#pragma once

// The base of every editing view: a module window that is its view device's host. Its own answers
// serve a secondary view of an editor (a graph, an overview) and pass most of what a view asks on
// to the editor's main view; a view without an editor ignores clicks, never snaps and formats no
// coordinates. The derived class makes the device on the window, naming the window as its host.
// What the window answers through its editor (modal state, the context object, the messages it
// passes on) is defined beside the editor, in framework/editor/editorviews.cpp.

#include "framework/appln/applnwindow.h"
#include "framework/views/applnviewhost.h"

class APPLNEDITOR;

class APPLNVIEWWIN : public APPLNWINDOW, public APPLNVIEWHOST {
public:
    using APPLNWINDOW::onrepaint;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Takes the editor the window belongs to (getapplneditor) before it is made.
    HWND createwindow(APPLNFRAME* parent) override;
    void destroywindow() override;
    // The editor the window belongs to; none in the base.
    virtual APPLNEDITOR* getapplneditor() { return nullptr; }

    APPLNWINDOW* getapplnwindow() override { return this; }
    int isvisible() override { return APPLNWINDOW::isvisible(); }
    int onleftclick(APPLNVIEWDVC* device) override;
    int onrightclick(APPLNVIEWDVC* device) override;
    int onmousewheel(APPLNVIEWDVC* device, int delta, unsigned keys) override { return 0; }
    int onshiftzoom(APPLNVIEWDVC* device) override;
    int ontrackpan(APPLNVIEWDVC* device) override;
    int onsetcursor(APPLNVIEWDVC* device, POINT raw, POINT cursor, int focus) override;
    int oneditsel(EDITCMDINFO& info, SELECTION* selection) override;
    void setmodal(int on) override;
    int ismodal() override;
    void beginpaint(APPLNVIEWDVC* device, PAINTSTRUCT* paint) override;
    void onrepaint(APPLNVIEWDVC* device, BOX& area) override;
    void endpaint(APPLNVIEWDVC* device, PAINTSTRUCT* paint) override;
    // Clears the status bar's hint; snaps nothing.
    int snapfunc(APPLNVIEWDVC* device, unsigned short* snapped, POINT* points, unsigned long* shape) override;
    void drawhcursor(APPLNVIEWDVC* device, HCURSORMODES mode) override { }
    // Pans a quarter of the visible area in the pointer's direction.
    void autopan(APPLNVIEWDVC* device, int dx, int dy) override;
    void pan(POINT centre, int movecursor) override { }
    void zoomarea(BOX& area) override { }
    void fmtcoord(POINT point, char* x, char* y, const char** units) override { }
    void fmtdimension(long value, char* text, const char** units) override { }
    APPLNOBJECT* getctxobj() override;

protected:
    APPLNEDITOR* editor = nullptr; // the editor the window belongs to; not owned
};
