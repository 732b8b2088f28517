#include "framework/input/contextmenuloop.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/input/tests/inputtest.h"
#include "platform/win/menu.h"
#include "platform/win/menutracking.h"

using namespace inputtest;
using demotest::runwithdemo;

namespace {

constexpr tagPOINT A { 100, 100 };
constexpr unsigned short FIRSTITEM = 0x801;
constexpr unsigned short SECONDITEM = 0x802;
constexpr unsigned short LEFTCOMMAND = 0x803;

class THING : public APPLNOBJECT {
public:
    BOX getarea(AREACODES) override { return BOX(0, 0, 10, 10); }
    void map(CTS) override { }
    void plot(VGDVC*, DRAWMODES) override { }
};

} // namespace

TEST(ContextMenuLoop, AnswersTheChoiceOrZeroWhenDismissed)
{
    THING menuobject;
    THING other;
    struct Case {
        const char* what;
        std::function<void(APPLNVIEWDVC&, APPLNEDITSTATUS&)> user; // once the menu is up
        unsigned short result;
    };
    const Case cases[] = {
        { "an item chosen", [](auto&, auto&) { win::menuchosen(SECONDITEM); }, SECONDITEM },
        { "dismissed", [](auto&, auto&) { win::menuclosed(); }, 0 },
        { "Escape", [](auto&, auto&) { key(WM_KEYDOWN, VK_ESCAPE); }, 0 },
        { "a click on the menu's object", [](APPLNVIEWDVC& d, auto&) { queue(d, press(WM_LBUTTONDOWN, A)); },
            LEFTCOMMAND },
        { "a click on another object",
            [&](APPLNVIEWDVC& d, APPLNEDITSTATUS& status) {
                status.ctxobject = &other;
                queue(d, press(WM_LBUTTONDOWN, A));
            },
            0 },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        for (const Case& c : cases) {
            mouse(device, WM_MOUSEMOVE, A);
            deliver();
            demo.geteditstatus().ctxobject = &menuobject;
            HMENU menu = CreatePopupMenu();
            AppendMenuA(menu, MF_STRING, FIRSTITEM, "First");
            AppendMenuA(menu, MF_STRING, SECONDITEM, "Second");
            QTimer::singleShot(20, [&] { c.user(device, demo.geteditstatus()); });
            WATCHDOG watchdog;
            GSLIST<unsigned short> contexts;
            contexts.append(0x140);
            CONTEXTMENULOOP loop(&demo, contexts);
            loop.setlbuttoncmd(LEFTCOMMAND);
            EXPECT_EQ(loop.run(&device, menu), c.result) << c.what;
            EXPECT_EQ(win::trackedmenu(), nullptr) << c.what << ": the menu is closed";
            EXPECT_EQ(device.getinputhandler(), nullptr) << c.what;
            EXPECT_EQ(demo.geteditstatus().modal, 0) << c.what;
            DestroyMenu(menu);
            deliver();
            mouse(device, WM_LBUTTONUP, A);
            deliver();
        }
        demo.geteditstatus().ctxobject = nullptr;
    });
}
