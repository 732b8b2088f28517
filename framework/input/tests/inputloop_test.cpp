#include "framework/input/inputloop.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <vector>

#include "framework/input/tests/inputtest.h"

using namespace inputtest;
using demotest::runwithdemo;

namespace {

constexpr tagPOINT A { 100, 100 };
constexpr tagPOINT B { 200, 150 };
constexpr tagPOINT C { 300, 120 };

enum Held { NONE, LEFT, RIGHT };

} // namespace

TEST(InputLoop, EveryModeMovesThroughItsStatesByTheButtons)
{
    struct Case {
        const char* what;
        INPUTLOOP::MODES mode;
        Held held; // the button down at A when the loop starts
        std::vector<EVENT> events;
        INPUTLOOP::STATES end;
        tagPOINT p1, p2; // when done; a cancelled loop's points are not to be used
    };
    const std::vector<Case> cases = {
        { "left click: the start is the first point", INPUTLOOP::LEFTCLICK, NONE,
            { move(B), press(WM_LBUTTONDOWN, B), press(WM_LBUTTONUP, B) }, INPUTLOOP::DONE, A, B },
        { "left click twice at one place", INPUTLOOP::LEFTCLICK, NONE, { press(WM_LBUTTONDOWN, A) },
            INPUTLOOP::DONE, A, A },
        { "left click cancelled by the right button", INPUTLOOP::LEFTCLICK, NONE,
            { move(B), press(WM_RBUTTONDOWN, B) }, INPUTLOOP::CANCELLED, A, B },
        { "right click", INPUTLOOP::RIGHTCLICK, NONE, { move(B), press(WM_RBUTTONDOWN, B) }, INPUTLOOP::DONE,
            A, B },
        { "right click cancelled by the left button", INPUTLOOP::RIGHTCLICK, NONE,
            { press(WM_LBUTTONDOWN, A) }, INPUTLOOP::CANCELLED, A, A },
        { "left clicks waiting for the first press", INPUTLOOP::LEFTCLICKS, NONE,
            { move(C), move(A), press(WM_LBUTTONDOWN, A), press(WM_LBUTTONUP, A), move(B),
                press(WM_LBUTTONDOWN, B) },
            INPUTLOOP::DONE, A, B },
        { "left clicks from a press held", INPUTLOOP::LEFTCLICKS, LEFT,
            { press(WM_LBUTTONUP, A), move(C), move(B), press(WM_LBUTTONDOWN, B) }, INPUTLOOP::DONE, A, B },
        { "right clicks from a press held", INPUTLOOP::RIGHTCLICKS, RIGHT,
            { press(WM_RBUTTONUP, A), move(B), press(WM_RBUTTONDOWN, B) }, INPUTLOOP::DONE, A, B },
        { "right clicks waiting", INPUTLOOP::RIGHTCLICKS, NONE,
            { move(A), press(WM_RBUTTONDOWN, A), press(WM_RBUTTONUP, A), move(B), press(WM_RBUTTONDOWN, B) },
            INPUTLOOP::DONE, A, B },
        { "left drag from a press held", INPUTLOOP::LEFTDRAG, LEFT,
            { move(C), move(B), press(WM_LBUTTONUP, B) }, INPUTLOOP::DONE, A, B },
        { "left drag waiting for its press", INPUTLOOP::LEFTDRAG, NONE,
            { move(A), press(WM_LBUTTONDOWN, A), move(B), press(WM_LBUTTONUP, B) }, INPUTLOOP::DONE, A, B },
        { "left drag cancelled by the right button", INPUTLOOP::LEFTDRAG, LEFT,
            { move(B), press(WM_RBUTTONDOWN, B) }, INPUTLOOP::CANCELLED, A, B },
        { "right drag", INPUTLOOP::RIGHTDRAG, RIGHT, { move(B), press(WM_RBUTTONUP, B) }, INPUTLOOP::DONE, A,
            B },
        { "right drag cancelled by the left button", INPUTLOOP::RIGHTDRAG, RIGHT,
            { press(WM_LBUTTONDOWN, A) }, INPUTLOOP::CANCELLED, A, A },
        { "Escape cancels", INPUTLOOP::RIGHTCLICK, NONE, { move(B), keydown(VK_ESCAPE) }, INPUTLOOP::CANCELLED,
            A, B },
        { "Enter is the left button", INPUTLOOP::LEFTCLICKS, NONE,
            { move(A), keydown(VK_RETURN), keyup(VK_RETURN), move(B), keydown(VK_RETURN), keyup(VK_RETURN) },
            INPUTLOOP::DONE, A, B },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        POINT origin;
        device.setsnap(origin, 0, 0, 1); // the cursor is the pointer
        for (const Case& c : cases) {
            mouse(device, WM_MOUSEMOVE, A);
            if (c.held != NONE)
                mouse(device, c.held == LEFT ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, A,
                    c.held == LEFT ? MK_LBUTTON : MK_RBUTTON);
            deliver();
            for (const EVENT& event : c.events)
                queue(device, event);
            WATCHDOG watchdog;
            INPUTLOOP loop;
            int result = loop.run(&device, c.mode);
            EXPECT_EQ(loop.getstate(), c.end) << c.what;
            EXPECT_EQ(result, c.end == INPUTLOOP::DONE ? 1 : 0) << c.what;
            if (c.end == INPUTLOOP::DONE) {
                EXPECT_EQ(loop.getp1(), device.client2world(c.p1)) << c.what;
                EXPECT_EQ(loop.getp2(), device.client2world(c.p2)) << c.what;
            }
            EXPECT_EQ(GetCapture(), nullptr) << c.what << ": the pointer is free again";
            EXPECT_EQ(device.getinputhandler(), nullptr) << c.what;
            // Whatever the loop left queued goes, and every button comes up.
            deliver();
            mouse(device, WM_LBUTTONUP, C);
            mouse(device, WM_RBUTTONUP, C);
            key(WM_KEYUP, VK_RETURN);
            deliver();
        }
    });
}

TEST(InputLoop, ALoopWhoseViewIsDestroyedEndsCancelled)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        mouse(device, WM_MOUSEMOVE, A);
        deliver();
        QTimer::singleShot(0, [&] { demo.destroywindow(); });
        WATCHDOG watchdog;
        INPUTLOOP loop;
        EXPECT_EQ(loop.run(&device, INPUTLOOP::LEFTCLICK), 0);
        EXPECT_EQ(loop.getstate(), INPUTLOOP::CANCELLED);
        EXPECT_TRUE(watchdog.timer.isActive()) << "it ended by itself";
        EXPECT_EQ(GetCapture(), nullptr);
    });
}

TEST(InputLoop, AnArrowKeyDuringALoopKeepsThePointerConfined)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        mouse(device, WM_MOUSEMOVE, A);
        deliver();
        POINT start = device.getcursorpos();
        HWND captured = nullptr;
        POINT moved;
        QTimer::singleShot(0, [&] {
            key(WM_KEYDOWN, VK_RIGHT, true);
            deliver();
            captured = GetCapture();
            moved = device.getcursorpos();
            key(WM_KEYDOWN, VK_ESCAPE);
        });
        WATCHDOG watchdog;
        INPUTLOOP loop;
        loop.run(&device, INPUTLOOP::LEFTCLICK);
        EXPECT_EQ(moved, POINT(start.x + 254000, start.y)) << "one step of the demo's grid to the right";
        EXPECT_EQ(captured, device.gethwnd());
    });
}
