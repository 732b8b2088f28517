#pragma once

// For the framework's tests: the test process runs with the demo editor's view as the active
// window of its frame (the frame shown at a fixed place and size) and the process's message filter
// installed as the main loop installs it; the script gets the editor and the view's device.

#include <functional>

#include "framework/appln/tests/testprocess.h"
#include "framework/tests/demoeditor/demoeditor.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace demotest {

class DEMOPROCESS : public appltest::TESTPROCESS {
public:
    void installfilter() { win::setmessagefilter(filter); }
};

inline void runwithdemo(int cells, const std::function<void(DEMOPROCESS&, DEMOEDITOR&, APPLNVIEWDVC&)>& script)
{
    DEMOPROCESS process;
    process.start = [&] {
        DEMOEDITOR demo(&process, cells);
        APPLNFRAME* frame = process.getframe(0);
        MoveWindow(frame->hwnd, 40, 40, 800, 600, FALSE);
        ShowWindow(frame->hwnd, SW_SHOW);
        frame->loadwindow(demo.getprimarywindow(frame, 0));
        // As the main loop's first pass: the edit mode is established, and the views draw from then on.
        demo.editor_preamble();
        demo.geteditstatus().modepending = 0;
        process.installfilter();
        script(process, demo, *demo.getmaindevice());
        demo.destroywindow();
        return 1;
    };
    process.runall();
}

} // namespace demotest
