#include "framework/appln/inputhandler.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/input/tests/inputtest.h"

using namespace inputtest;
using demotest::runwithdemo;

namespace {

constexpr unsigned long SHIFT = 0x11000;
constexpr unsigned long CTRL = 0x22000;
constexpr unsigned long ALT = 0x44000;
constexpr unsigned long EXTENDED = 0x100;

// Holds the modifiers down in the keyboard state for the life of the object.
struct MODIFIERS {
    explicit MODIFIERS(unsigned long held)
    {
        BYTE state[256] = {};
        GetKeyboardState(saved);
        std::copy(saved, saved + 256, state);
        state[VK_SHIFT] = (held & SHIFT) ? 0x80 : 0;
        state[VK_CONTROL] = (held & CTRL) ? 0x80 : 0;
        state[VK_MENU] = (held & ALT) ? 0x80 : 0;
        SetKeyboardState(state);
    }
    ~MODIFIERS() { SetKeyboardState(saved); }
    BYTE saved[256] = {};
};

// Sees which handler the process filter passes each test message to.
struct WATCHER : INPUTHANDLER {
    explicit WATCHER(std::vector<std::pair<UINT, WATCHER*>>& seen)
        : seen(seen)
    {
    }
    long hookhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message > WM_USER && message < WM_USER + 10)
            seen.emplace_back(message, this);
        if (nested && message == WM_USER + 1) {
            PostMessageA(window, WM_USER + 2, 0, 0);
            nested->getmessage(1);
            PostMessageA(window, WM_USER + 3, 0, 0);
        }
        return 1;
    }
    std::vector<std::pair<UINT, WATCHER*>>& seen;
    INPUTHANDLER* nested = nullptr;
};

} // namespace

TEST(InputHandler, KeyCodesCarryModifiersAndTheExtendedBitNeverForEnter)
{
    struct Case {
        WPARAM key;
        bool extendedbit;
        unsigned long held;
        unsigned long code;
    };
    const Case cases[] = {
        { 'A', false, 0, 0x41 },
        { 'A', false, SHIFT, SHIFT | 0x41 },
        { 'A', false, CTRL | ALT, CTRL | ALT | 0x41 },
        { VK_INSERT, false, 0, EXTENDED | VK_INSERT }, // the keypad's Insert
        { VK_INSERT, true, 0, EXTENDED | VK_INSERT }, // the dedicated key
        { VK_DELETE, false, CTRL, CTRL | EXTENDED | VK_DELETE },
        { VK_PRIOR, false, 0, EXTENDED | VK_PRIOR },
        { VK_NEXT, false, 0, EXTENDED | VK_NEXT },
        { VK_END, false, 0, EXTENDED | VK_END },
        { VK_HOME, false, 0, EXTENDED | VK_HOME },
        { VK_LEFT, false, SHIFT, SHIFT | EXTENDED | VK_LEFT },
        { VK_DOWN, true, 0, EXTENDED | VK_DOWN },
        { VK_RETURN, false, 0, VK_RETURN },
        { VK_RETURN, true, 0, VK_RETURN }, // the keypad's Enter
        { VK_DIVIDE, true, 0, EXTENDED | VK_DIVIDE },
        { VK_NUMPAD0, false, 0, VK_NUMPAD0 },
        { VK_F4, false, ALT, ALT | VK_F4 },
    };
    for (const Case& c : cases) {
        MODIFIERS modifiers(c.held);
        MSG message { nullptr, WM_KEYDOWN, c.key, c.extendedbit ? LPARAM(1) << 24 : 0, 0, {} };
        EXPECT_EQ(INPUTHANDLER::keycode(message), c.code) << "key " << c.key << " extended " << c.extendedbit;
    }
}

TEST(InputHandler, ANestedPumpStepGivesTheProcessHandlerBack)
{
    runwithdemo(10, [](demotest::DEMOPROCESS& process, DEMOEDITOR&, APPLNVIEWDVC& device) {
        std::vector<std::pair<UINT, WATCHER*>> seen;
        WATCHER outer(seen);
        WATCHER inner(seen);
        outer.nested = &inner;
        INPUTHANDLER* before = process.setinputhandler(nullptr);
        process.setinputhandler(before);

        PostMessageA(device.gethwnd(), WM_USER + 1, 0, 0);
        while (seen.size() < 3 && outer.getmessage(1)) { }
        std::vector<std::pair<UINT, WATCHER*>> expected { { WM_USER + 1, &outer }, { WM_USER + 2, &inner },
            { WM_USER + 3, &outer } };
        EXPECT_EQ(seen, expected) << "the inner step saw its message; the outer one had its own back";
        EXPECT_EQ(process.setinputhandler(before), before) << "the process's handler once both returned";
        EXPECT_EQ(outer.isbusy(), 0);
    });
}

TEST(InputHandler, ShiftOverTheViewConfinesThePointerUntilReleased)
{
    runwithdemo(10, [](auto&, DEMOEDITOR&, APPLNVIEWDVC& device) {
        mouse(device, WM_MOUSEMOVE, { 50, 50 });
        deliver();
        SetFocus(device.gethwnd());
        key(WM_KEYDOWN, VK_SHIFT);
        deliver();
        EXPECT_EQ(GetCapture(), device.gethwnd());
        RECT clip {};
        RECT area {};
        GetClipCursor(&clip);
        GetWindowRect(device.gethwnd(), &area);
        EXPECT_EQ(clip.left, area.left);
        EXPECT_EQ(clip.bottom, area.bottom);
        key(WM_KEYDOWN, VK_SHIFT); // an auto-repeat confines no further
        key(WM_KEYUP, VK_SHIFT);
        deliver();
        EXPECT_EQ(GetCapture(), nullptr);
        GetClipCursor(&clip);
        EXPECT_NE(clip.bottom, area.bottom);
    });
}
