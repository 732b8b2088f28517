#include "framework/appln/applnform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/appln/applnframe.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/context/windowmessages.h"
#include "platform/drelm/form.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

using appltest::TESTPROCESS;

// A form window that records the events of its form.
class FORMWINDOW : public APPLNFORM {
public:
    DLGCODES callback(FORM&, unsigned msg, unsigned, long) override
    {
        seen.push_back(msg);
        return DLG_DEFAULT;
    }
    std::vector<unsigned> seen;
};

std::vector<std::string> boxes;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return IDOK;
}

// Runs the script with a form window as the active window of the shown first frame.
void runwithformwindow(const std::function<void(FORMWINDOW&)>& script)
{
    TESTPROCESS process;
    process.start = [&] {
        APPLNFRAME* frame = process.getframe(0);
        ShowWindow(frame->hwnd, SW_SHOW);
        FORMWINDOW window;
        window.setowner(&process);
        window.createwindow(frame);
        frame->loadwindow(&window);
        script(window);
        window.destroywindow();
        return 1;
    };
    process.runall();
}

TEST(FormWindow, TheFormFillsTheClientAreaFollowsItsSizeTakesTheFocusAndIsTheDialogHandle)
{
    runwithformwindow([](FORMWINDOW& window) {
        FORM* form = window.loadform("STATUSBOX", nullptr, LT_NONE);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(window.getform(), form);
        EXPECT_EQ(window.seen.front(), DLGM_START) << "the window is the form's handler";
        EXPECT_EQ(GetParent(form->gethwnd()), window.hwnd);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(window.hwnd, WM_GETDIALOGHANDLE, 0, 0)), form->gethwnd());
        EXPECT_TRUE(GetWindowLongA(window.hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

        RECT client {};
        RECT area {};
        GetClientRect(window.hwnd, &client);
        GetClientRect(form->gethwnd(), &area);
        EXPECT_EQ(area.right, client.right);
        EXPECT_EQ(area.bottom, client.bottom);
        window.onresize(300, 120);
        GetClientRect(form->gethwnd(), &area);
        EXPECT_EQ(area.right, 300);
        EXPECT_EQ(area.bottom, 120);

        SendMessageA(window.hwnd, WM_SETFOCUS, 0, 0);
        EXPECT_TRUE(GetFocus() == form->gethwnd() || IsChild(form->gethwnd(), GetFocus()));
    });
}

TEST(FormWindow, AFormThatDoesNotLoadLeavesAPlainWindow)
{
    MESSAGEBOXHOOK previous = setmessageboxhook(recordbox);
    boxes.clear();
    runwithformwindow([](FORMWINDOW& window) {
        EXPECT_EQ(window.loadform("NO_SUCH_FORM", nullptr, LT_NONE), nullptr);
        EXPECT_EQ(window.getform(), nullptr);
        EXPECT_EQ(SendMessageA(window.hwnd, WM_GETDIALOGHANDLE, 0, 0), 0);
        window.onresize(300, 120);
        SendMessageA(window.hwnd, WM_SETFOCUS, 0, 0);
        EXPECT_TRUE(window.seen.empty());
    });
    setmessageboxhook(previous);
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.front().find("NO_SUCH_FORM"), std::string::npos) << boxes.front();
}

} // namespace
