#include "framework/input/shapeloops.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/bars/statusbar.h"
#include "framework/input/tests/inputtest.h"

using namespace inputtest;
using demotest::runwithdemo;

namespace {

constexpr tagPOINT A { 100, 100 };
constexpr tagPOINT B { 200, 150 };
constexpr tagPOINT C { 300, 100 };

// Runs the loop over the events queued, the left button held at A first when asked.
int drive(APPLNVIEWDVC& device, const std::function<int()>& run, const std::vector<EVENT>& events, bool held)
{
    mouse(device, WM_MOUSEMOVE, A);
    if (held)
        mouse(device, WM_LBUTTONDOWN, A, MK_LBUTTON);
    deliver();
    for (const EVENT& event : events)
        queue(device, event);
    WATCHDOG watchdog;
    int result = run();
    deliver();
    mouse(device, WM_LBUTTONUP, A);
    key(WM_KEYUP, VK_CONTROL);
    deliver();
    return result;
}

std::vector<EVENT> click(tagPOINT at)
{
    return { move(at), press(WM_LBUTTONDOWN, at), press(WM_LBUTTONUP, at) };
}

std::vector<EVENT> operator+(std::vector<EVENT> first, const std::vector<EVENT>& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// The view shows the pointer as the cursor, unsnapped.
void unsnapped(APPLNVIEWDVC& device)
{
    POINT origin;
    device.setsnap(origin, 0, 0, 1);
}

} // namespace

TEST(ShapeLoops, TwoPointShapesSucceedOnlyWhenTheirPointsDiffer)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        unsnapped(device);
        POINT a = device.client2world(A);
        POINT b = device.client2world(B);
        struct Case {
            const char* what;
            std::vector<EVENT> events;
            int result;
        };
        const Case boxes[] = {
            { "a box", { move(B), press(WM_LBUTTONUP, B) }, 1 },
            { "a box of zero width", { move({ 100, 150 }), press(WM_LBUTTONUP, { 100, 150 }) }, 1 },
            { "a box whose corners coincide", { move(B), move(A), press(WM_LBUTTONUP, A) }, 0 },
            { "a box cancelled", { move(B), keydown(VK_ESCAPE) }, 0 },
        };
        for (const Case& c : boxes) {
            BOXINPUTLOOP loop;
            EXPECT_EQ(drive(device, [&] { return loop.run(&device, INPUTLOOP::LEFTDRAG); }, c.events, true), c.result)
                << c.what;
        }
        std::vector<EVENT> toB = { move(B), press(WM_LBUTTONUP, B) };
        BOXINPUTLOOP box;
        ASSERT_TRUE(drive(device, [&] { return box.run(&device, INPUTLOOP::LEFTDRAG); }, toB, true));
        EXPECT_EQ(box.getbox(), BOX(a, b));
        LINEINPUTLOOP line;
        ASSERT_TRUE(drive(device, [&] { return line.run(&device, INPUTLOOP::LEFTDRAG); }, toB, true));
        EXPECT_EQ(line.getline().p1, a);
        EXPECT_EQ(line.getline().p2, b);
        CIRCLEINPUTLOOP circle;
        ASSERT_TRUE(drive(device, [&] { return circle.run(&device, INPUTLOOP::LEFTDRAG); }, toB, true));
        EXPECT_EQ(circle.getcircle().centre, a);
        EXPECT_EQ(circle.getcircle().radius, b.dist(a));
        CIRCLEINPUTLOOP dot;
        EXPECT_FALSE(drive(device, [&] { return dot.run(&device, INPUTLOOP::LEFTDRAG); },
            { press(WM_LBUTTONUP, A) }, true));
    });
}

TEST(ShapeLoops, AnArcKeepsTheBendOfTheAxisItLastCrossed)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        unsnapped(device);
        POINT a = device.client2world(A);
        POINT b = device.client2world(B);
        struct Case {
            const char* what;
            tagPOINT crossed;
            int horizontal;
        };
        const Case cases[] = {
            { "across the horizontal through the start", { 200, 100 }, 1 },
            { "across the vertical through the start", { 100, 150 }, 0 },
        };
        for (const Case& c : cases) {
            BEZIERINPUTLOOP loop;
            ASSERT_TRUE(drive(device, [&] { return loop.run(&device, INPUTLOOP::LEFTDRAG); },
                { move(c.crossed), move(B), press(WM_LBUTTONUP, B) }, true))
                << c.what;
            BEZIER expected;
            expected.setquadrant(a, b, c.horizontal);
            EXPECT_EQ(loop.getbezier().c1, expected.c1) << c.what;
            EXPECT_EQ(loop.getbezier().c2, expected.c2) << c.what;
        }
    });
}

TEST(ShapeLoops, APathEndsWhenItClosesAndTakesLinesArcsAndBackspace)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        unsnapped(device);
        POINT a = device.client2world(A);
        POINT b = device.client2world(B);
        struct Case {
            const char* what;
            std::vector<EVENT> events;
            int result;
            std::vector<bool> lines; // each segment a line (else an arc), when done
        };
        const std::vector<EVENT> closing = click(C) + click(A);
        const Case cases[] = {
            { "a triangle; a second click on one point adds nothing", click(A) + click(B) + click(B) + closing, 1,
                { true, true, true } },
            { "an arc while Ctrl is held", click(A) + std::vector { keydown(VK_CONTROL) } + click(B)
                    + std::vector { keyup(VK_CONTROL) } + closing,
                1, { false, true, true } },
            { "Ctrl released before the click: a line",
                click(A) + std::vector { keydown(VK_CONTROL), move(B), keyup(VK_CONTROL) } + click(B) + closing, 1,
                { true, true, true } },
            { "Backspace on an empty path keeps the start",
                click(A) + std::vector { keydown(VK_BACK) } + click(B) + closing, 1, { true, true, true } },
            { "Backspace takes the last segment back to its start",
                click(A) + click(B) + std::vector { keydown(VK_BACK) } + click(B) + closing, 1, { true, true, true } },
            { "Escape cancels", click(A) + click(B) + std::vector { keydown(VK_ESCAPE) }, 0, {} },
            { "the other button cancels", click(A) + std::vector { press(WM_RBUTTONDOWN, B) }, 0, {} },
        };
        for (const Case& c : cases) {
            PATHINPUTLOOP loop;
            ASSERT_EQ(
                drive(device, [&] { return loop.run(&device, INPUTLOOP::LEFTCLICKS); }, c.events, false), c.result)
                << c.what;
            mouse(device, WM_RBUTTONUP, A);
            deliver();
            if (!c.result)
                continue;
            const PATH& path = loop.getpath();
            ASSERT_EQ(path.count(), int(c.lines.size())) << c.what;
            EXPECT_TRUE(path.isclosed()) << c.what;
            EXPECT_EQ(path.getsegments()[0].shape.p1, a) << c.what;
            EXPECT_EQ(path.getsegments()[0].shape.p2, b) << c.what;
            for (size_t i = 0; i < c.lines.size(); ++i)
                EXPECT_EQ(path.getsegments()[i].isline, c.lines[i]) << c.what << ", segment " << i;
        }
    });
}

TEST(ShapeLoops, TheStatusLineShowsTheShapeOnlyOnceItsFirstPointIsTaken)
{
    // The status bar's text after each update, with the loop's state then.
    struct WATCHEDBOX : BOXINPUTLOOP {
        STATUSBAR* bar = nullptr;
        std::vector<std::pair<STATES, std::string>> seen;
        void updatestatus(APPLNWINDOW* window) override
        {
            BOXINPUTLOOP::updatestatus(window);
            seen.emplace_back(state, bar->text() ? bar->text() : "");
        }
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        unsnapped(device);
        demo.createstatusbar();
        WATCHEDBOX loop;
        loop.bar = demo.getstatusbar();
        ASSERT_NE(loop.bar, nullptr);
        ASSERT_TRUE(drive(device, [&] { return loop.run(&device, INPUTLOOP::LEFTDRAG); },
            { move(B), press(WM_LBUTTONDOWN, B), move(C), press(WM_LBUTTONUP, C) }, false));
        bool idle = false;
        bool tracking = false;
        for (const auto& [state, text] : loop.seen) {
            if (state == INPUTLOOP::IDLE) {
                idle = true;
                EXPECT_EQ(text.find("Box:"), std::string::npos) << text;
            } else {
                tracking = true;
                EXPECT_EQ(text.rfind("Box:\tP1:", 0), 0u) << text;
            }
        }
        EXPECT_TRUE(idle && tracking);
    });
}

TEST(ShapeLoops, ASelectionIsDraggedWithItsCursorAndFailsWithoutArea)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        unsnapped(device);
        SELECTIONINPUTLOOP dragged;
        ASSERT_TRUE(drive(device, [&] { return dragged.run(&device, IDC_CROSS, INPUTLOOP::LEFTDRAG); },
            { move(C), move(B), press(WM_LBUTTONUP, B) }, true));
        EXPECT_EQ(dragged.getbox(), BOX(device.client2world(A), device.client2world(B)));
        SELECTIONINPUTLOOP clicked;
        EXPECT_FALSE(drive(device, [&] { return clicked.run(&device, IDC_CROSS, INPUTLOOP::LEFTCLICKS); },
            click(B) + click(B), false))
            << "a box without area";
        EXPECT_EQ(device.getinputhandler(), nullptr);
    });
}
