#include "framework/editor/dragloops.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/bars/orntbar.h"
#include "framework/editor/selection.h"
#include "framework/input/tests/inputtest.h"

using namespace inputtest;
using demotest::runwithdemo;

namespace {

constexpr tagPOINT A { 100, 100 };
constexpr tagPOINT B { 200, 150 };

// An object that turns, remembers the drag steps it was told and may refuse a move.
class DRAGGED : public APPLNOBJECT {
public:
    explicit DRAGGED(BOX box)
        : area(box)
    {
    }
    BOX getarea(AREACODES) override { return area; }
    void map(CTS cts) override { area.map(cts); }
    void plot(VGDVC*, DRAWMODES) override { }
    int getornt(CTS* cts) override
    {
        APPLNOBJECT::getornt(cts);
        return 1;
    }
    int drag(DRAGCODES code, CTS& cts, void* context, APPLNVIEWDVC* device) override
    {
        if (code != DRAG_DRAW)
            told.push_back(code);
        if (code == DRAG_MOVED && refuse)
            return 0;
        return APPLNOBJECT::drag(code, cts, context, device);
    }

    BOX area;
    int refuse = 0;
    std::vector<int> told;
};

void command(APPLNVIEWDVC& device, unsigned short id)
{
    PostMessageA(device.gethwnd(), WM_COMMAND, id, 0);
}

} // namespace

TEST(DragLoops, AnObjectDragEndsWithTheCodeOfWhatHappened)
{
    struct Case {
        const char* what;
        std::vector<std::function<void(APPLNVIEWDVC&)>> input; // after the press held at A
        int refuse;
        int result;
        bool withbar;
    };
    auto at = [](tagPOINT p) { return [p](APPLNVIEWDVC& d) { queue(d, move(p)); }; };
    auto release = [](tagPOINT p) { return [p](APPLNVIEWDVC& d) { queue(d, press(WM_LBUTTONUP, p)); }; };
    auto turn = [](APPLNVIEWDVC& d) { command(d, 0x114); };
    const Case cases[] = {
        { "a click", { release(A) }, 0, DRAG_CLICK, true },
        { "moved away and back", { at(B), at(A), release(A) }, 0, DRAG_UNMOVED, true },
        { "moved", { at(B), release(B) }, 0, DRAG_MOVED, true },
        { "Escape", { at(B), [](APPLNVIEWDVC&) { key(WM_KEYDOWN, VK_ESCAPE); } }, 0, DRAG_CANCELLED, true },
        { "the other button", { at(B), [](APPLNVIEWDVC& d) { queue(d, press(WM_RBUTTONDOWN, B)); } }, 0,
            DRAG_CANCELLED, true },
        { "a move the object refuses", { at(B), release(B) }, 1, DRAG_CANCELLED, true },
        { "turned four times round", { turn, turn, turn, turn, release(A) }, 0, DRAG_UNMOVED, true },
        { "turned once", { turn, release(A) }, 0, DRAG_MOVED, true },
        { "turned without a bar", { turn, release(A) }, 0, DRAG_CLICK, false },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        POINT origin;
        device.setsnap(origin, 0, 0, 1);
        std::unique_ptr<ORNTBAR> bar(new ORNTBAR(&demo, 0x2030, 0));
        for (const Case& c : cases) {
            mouse(device, WM_MOUSEMOVE, A);
            mouse(device, WM_LBUTTONDOWN, A, MK_LBUTTON);
            deliver();
            POINT start = device.client2world(A);
            BOX area(start.x - 1000, start.y - 1000, start.x + 1000, start.y + 1000);
            DRAGGED object(area);
            object.refuse = c.refuse;
            for (const auto& step : c.input)
                step(device);
            WATCHDOG watchdog;
            DRAGOBJECTLOOP loop(&demo, c.withbar ? bar.get() : nullptr);
            int result = loop.run(&device, &object, nullptr, INPUTLOOP::LEFTDRAG);
            EXPECT_EQ(result, c.result) << c.what;
            ASSERT_EQ(object.told.size(), 2u) << c.what;
            EXPECT_EQ(object.told[0], DRAG_START) << c.what;
            // The object is told how the drag ended (a refused move as a move it refused).
            EXPECT_EQ(object.told[1], c.refuse ? DRAG_MOVED : c.result) << c.what;
            if (std::string(c.what) == "moved") {
                BOX moved = area;
                moved.map(CTS(device.client2world(B) - start));
                EXPECT_EQ(object.area, moved) << c.what;
            }
            if (result != DRAG_MOVED) {
                EXPECT_EQ(object.area, area) << c.what << ": nothing moved";
            }
            EXPECT_EQ(demo.geteditstatus().modal, 0) << c.what;
            deliver();
            mouse(device, WM_LBUTTONUP, A);
            mouse(device, WM_RBUTTONUP, A);
            deliver();
        }
        EXPECT_EQ(DRAGOBJECTLOOP(&demo, nullptr).run(&device, nullptr, nullptr, INPUTLOOP::LEFTDRAG), DRAG_UNMOVED)
            << "without an object";
    });
}

TEST(DragLoops, AHandleIsAppliedOnlyWhenItsDragEndsWell)
{
    runwithdemo(10, [&](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        POINT origin;
        device.setsnap(origin, 0, 0, 1);
        POINT a = device.client2world(A);
        POINT b = device.client2world(B);
        for (bool cancelled : { false, true }) {
            SELECTION selection(BOX(a.x - 500000, a.y - 500000, a.x, a.y));
            GDPA<DRAGHANDLE> handles;
            ASSERT_TRUE(selection.gethandles(handles));
            DRAGHANDLE corner = *handles[2]; // the top-right corner, at A
            handles.zap();
            ASSERT_EQ(corner.point, a);
            mouse(device, WM_MOUSEMOVE, A);
            mouse(device, WM_LBUTTONDOWN, A, MK_LBUTTON);
            deliver();
            queue(device, move(B));
            if (cancelled)
                key(WM_KEYDOWN, VK_ESCAPE);
            else
                queue(device, press(WM_LBUTTONUP, B));
            WATCHDOG watchdog;
            DRAGHANDLELOOP loop;
            EXPECT_EQ(loop.run(&device, &selection, corner), cancelled ? 0 : 1);
            BOX expected(a.x - 500000, a.y - 500000, cancelled ? a.x : b.x, cancelled ? a.y : b.y);
            EXPECT_EQ(selection.getarea(AREA_SELECT), expected) << (cancelled ? "cancelled" : "applied");
            deliver();
            mouse(device, WM_LBUTTONUP, A);
            deliver();
        }
    });
}
