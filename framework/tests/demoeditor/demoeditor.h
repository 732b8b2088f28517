#pragma once

// The demo editor: a module of the tests (never shipped) whose primary window is an editing view
// over a generated drawing, so that each step of the editing framework can be tried in a real
// window. Its view draws the drawing through its view device, with the full-view crosshair and a
// grid of one tenth of an inch to snap to.

#include <memory>

#include "framework/appln/applnmodule.h"
#include "framework/tests/demoeditor/demodrawing.h"
#include "framework/views/applnviewdvc.h"
#include "framework/views/applnviewwin.h"

class DEMOVIEW : public APPLNVIEWWIN {
public:
    explicit DEMOVIEW(const DEMODRAWING& drawing);
    using APPLNWINDOW::onrepaint;

    APPLNVIEWDVC* getdevice() const { return device.get(); }
    // The world's scale, pixels per inch, and the world point at the centre of the view.
    void setview(long pixelsperinch, POINT centre);
    // Scales the view so that the whole drawing shows.
    void fitdrawing();

    void oncreatewindow() override;
    void ondestroywindow() override;
    void onresize(int width, int height) override;
    void onrepaint(APPLNVIEWDVC* view, BOX& area) override;
    // Scrolls the view to centre the point.
    void pan(POINT centre, int movecursor) override;

private:
    const DEMODRAWING& drawing;
    std::unique_ptr<APPLNVIEWDVC> device;
};

class DEMOEDITOR : public APPLNMODULE {
public:
    // The drawing holds `cells` lines and as many labels.
    DEMOEDITOR(APPLNPROCESS* process, int cells);

    using APPLNMODULE::getprimarywindow;
    // The view, made in the frame on first demand.
    APPLNWINDOW* getprimarywindow(APPLNFRAME* frame) override;
    // Paper white, a blue cursor.
    COLORREF getcolour(int index) override;

    DEMOVIEW& getview() { return view; }
    const DEMODRAWING& getdrawing() const { return drawing; }

private:
    DEMODRAWING drawing;
    DEMOVIEW view;
};
