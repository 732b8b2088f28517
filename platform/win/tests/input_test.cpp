#include <gtest/gtest.h>

#include "platform/win/input.h"
#include "platform/win/tests/recorder.h"

using namespace wintest;

namespace {

MSG next()
{
    MSG message {};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    return message;
}

} // namespace

TEST(Focus, SettingFocusActivatesItsTopLevelWindowAndTellsBothSides)
{
    Fresh fresh;
    HWND a = toplevel(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = toplevel(200, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND edit = child(a, 1, RECT { 0, 0, 10, 10 });
    EXPECT_EQ(GetActiveWindow(), b);
    received().clear();

    SetFocus(edit);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(sequence(b, { WM_ACTIVATE, WM_KILLFOCUS }), (std::vector<UINT> { WM_ACTIVATE, WM_KILLFOCUS }));
    auto activations = messagesof(WM_ACTIVATE);
    ASSERT_EQ(activations.size(), 2u);
    EXPECT_EQ(LOWORD(activations[0].wParam), WA_INACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(activations[0].lParam), a);
    EXPECT_EQ(LOWORD(activations[1].wParam), WA_ACTIVE);
    EXPECT_EQ(activations[1].hwnd, a);
    EXPECT_EQ(sequence(edit, { WM_SETFOCUS }).size(), 1u);

    EnableWindow(edit, FALSE);
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
    EXPECT_EQ(SetFocus(edit), nullptr);
}

TEST(Focus, HidingOrDestroyingTheActiveWindowActivatesItsOwner)
{
    Fresh fresh;
    HWND frame = toplevel(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND dialog = CreateWindowExA(
        0, recordingclass(), "d", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, frame, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetLastActivePopup(frame), dialog);
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_EQ(GetLastActivePopup(frame), frame) << "a hidden popup is not offered";
    ShowWindow(dialog, SW_SHOW);
    DestroyWindow(dialog);
    EXPECT_EQ(GetActiveWindow(), frame);
}

TEST(Input, MouseGoesToTheWindowUnderThePointerOrTheCapture)
{
    Fresh fresh;
    HWND top = toplevel(100, 100, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND left = child(top, 1, RECT { 0, 0, 200, 300 });
    HWND right = child(top, 2, RECT { 200, 0, 400, 300 });
    received().clear();

    win::postmouse(WM_LBUTTONDOWN, tagPOINT { 150, 120 }, MK_LBUTTON | MK_SHIFT, 0, top);
    MSG message = next();
    EXPECT_EQ(message.hwnd, left);
    EXPECT_EQ(message.message, WM_LBUTTONDOWN);
    EXPECT_EQ(message.wParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(GET_X_LPARAM(message.lParam), 50);
    EXPECT_EQ(GET_Y_LPARAM(message.lParam), 20);
    EXPECT_EQ(message.pt.x, 150);
    auto cursors = messagesof(WM_SETCURSOR);
    ASSERT_EQ(cursors.size(), 2u) << "the default handling asks the parent first";
    EXPECT_EQ(cursors[0].hwnd, left);
    EXPECT_EQ(cursors[1].hwnd, top);
    EXPECT_EQ(LOWORD(cursors[0].lParam), HTCLIENT);
    EXPECT_EQ(HIWORD(cursors[0].lParam), WM_LBUTTONDOWN);
    EXPECT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);

    SetCapture(left);
    win::postmouse(WM_MOUSEMOVE, tagPOINT { 450, 120 }, MK_LBUTTON, 0, top);
    message = next();
    EXPECT_EQ(message.hwnd, left) << "captured, although the pointer is over the right half";
    EXPECT_EQ(GET_X_LPARAM(message.lParam), 350);
    ReleaseCapture();
    win::postmouse(WM_LBUTTONDBLCLK, tagPOINT { 450, 120 }, MK_LBUTTON, 0, top);
    message = next();
    EXPECT_EQ(message.hwnd, right);
    EXPECT_EQ(message.message, WM_LBUTTONDOWN) << "the class does not ask for double clicks";
    win::postmouse(WM_LBUTTONUP, tagPOINT { 450, 120 }, 0, 0, top);
    next();
    EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000);
}

TEST(Input, AClickOnAnInactiveWindowActivatesItUnlessEaten)
{
    Fresh fresh;
    HWND a = toplevel(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = toplevel(200, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    answer() = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_MOUSEACTIVATE && window == a) {
            return MA_ACTIVATEANDEAT;
        }
        return std::nullopt;
    };
    win::postmouse(WM_LBUTTONDOWN, tagPOINT { 10, 10 }, MK_LBUTTON, 0, a);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "the activating click was eaten";
    EXPECT_EQ(GetActiveWindow(), a);
    win::postmouse(WM_LBUTTONDOWN, tagPOINT { 210, 10 }, MK_LBUTTON, 0, b);
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, b);
    EXPECT_EQ(GetActiveWindow(), b);
}

TEST(Input, AClickOnADisabledWindowOnlyTellsItTheCursorIsInError)
{
    Fresh fresh;
    HWND frame = toplevel(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND kid = child(frame, 1, RECT { 0, 0, 100, 100 });
    EnableWindow(frame, FALSE);
    received().clear();
    win::postmouse(WM_RBUTTONDOWN, tagPOINT { 10, 10 }, MK_RBUTTON, 0, kid);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    auto cursors = messagesof(WM_SETCURSOR);
    ASSERT_EQ(cursors.size(), 1u);
    EXPECT_EQ(cursors[0].hwnd, frame);
    EXPECT_EQ(static_cast<SHORT>(LOWORD(cursors[0].lParam)), HTERROR);
    EXPECT_EQ(HIWORD(cursors[0].lParam), WM_RBUTTONDOWN);
}

TEST(Input, KeysGoToTheFocusElseToTheActiveWindowAsSystemKeys)
{
    Fresh fresh;
    HWND top = toplevel(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND edit = child(top, 1, RECT { 0, 0, 10, 10 });
    SetFocus(edit);
    win::postkey(WM_KEYDOWN, VK_SHIFT, 0x002A0001, 0);
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000) << "the state follows retrieval";
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    MSG message = next();
    EXPECT_EQ(message.hwnd, edit);
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);

    SetFocus(nullptr);
    win::postkey(WM_KEYDOWN, 'F', 0x00210001, 'f');
    message = next();
    EXPECT_EQ(message.hwnd, top);
    EXPECT_EQ(message.message, WM_SYSKEYDOWN);
}

TEST(Input, ThePointerStaysInsideItsClipRectangle)
{
    Fresh fresh;
    RECT clip { 100, 100, 200, 200 };
    ClipCursor(&clip);
    SetCursorPos(500, 50);
    tagPOINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 199);
    EXPECT_EQ(p.y, 100);
    ClipCursor(nullptr);
    SetCursorPos(500, 50);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 500);
}

TEST(Input, OneEntryAcceleratorSendsItsCommand)
{
    Fresh fresh;
    HWND top = toplevel();
    ACCEL entry { FVIRTKEY | FCONTROL, 'S', 0x1234 };
    HACCEL table = CreateAcceleratorTableA(&entry, 1);
    SetFocus(top);
    win::postkey(WM_KEYDOWN, VK_CONTROL, 0x001D0001, 0);
    next();
    MSG key { top, WM_KEYDOWN, 'S', 0, 0, {} };
    EXPECT_EQ(TranslateAcceleratorA(top, table, &key), 1);
    auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(0x1234, 1));
    win::postkey(WM_KEYDOWN, VK_SHIFT, 0x002A0001, 0);
    next();
    EXPECT_EQ(TranslateAcceleratorA(top, table, &key), 0) << "an extra modifier does not match";
    DestroyAcceleratorTable(table);
    win::postkey(WM_KEYUP, VK_SHIFT, 0xC02A0001, 0);
    win::postkey(WM_KEYUP, VK_CONTROL, 0xC01D0001, 0);
    next();
    next();
}
