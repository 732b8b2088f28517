#pragma once

// For the framework's tests: the test process runs with the demo editor's view as the active
// window of its frame (the frame shown at a fixed place and size) and the process's message filter
// installed as the main loop installs it; the script gets the editor (the demo editor, or a test's
// class deriving it) and the view's device.

#include <functional>
#include <type_traits>

#include "framework/appln/tests/testprocess.h"
#include "framework/tests/demoeditor/demoeditor.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace demotest {

class DEMOPROCESS : public appltest::TESTPROCESS {
public:
    void installfilter() { win::setmessagefilter(filter); }
};

template <typename EDITOR = DEMOEDITOR>
void runwithdemo(
    int cells, const std::function<void(DEMOPROCESS&, std::type_identity_t<EDITOR>&, APPLNVIEWDVC&)>& script)
{
    DEMOPROCESS process;
    process.start = [&] {
        EDITOR demo(&process, cells);
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
