#include "platform/tirsk/basewin.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

struct Recorder : BASEWIN {
    std::vector<UINT> seen;
    bool deleteondestroy = false;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == WM_USER) {
            return 7;
        }
        if (message == WM_DESTROY && deleteondestroy) {
            delete this;  // as a bar deletes itself with its window
            return 0;
        }
        return BASEWIN::msghlr(window, message, wParam, lParam);
    }
};

HWND create(const char* windowclass, HWND parent = nullptr)
{
    return CreateWindowExA(0, windowclass, "", parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           200, 100, parent, nullptr, nullptr, nullptr);
}

std::vector<UINT> clicks(HWND window)
{
    tagPOINT at{5, 5};
    ClientToScreen(window, &at);
    win::postmouse(WM_LBUTTONDBLCLK, at, MK_LBUTTON, 0, window);
    MSG message;
    std::vector<UINT> got;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message >= WM_LBUTTONDOWN && message.message <= WM_LBUTTONDBLCLK) {
            got.push_back(message.message);
        }
        DispatchMessageA(&message);
    }
    return got;
}

LRESULT own(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_USER + 1 ? 11 : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(BaseWindow, TheLibrarysClassesBringMessagesToTheBoundObject)
{
    ASSERT_EQ(BASEWIN::initialise("APPLN"), 1);
    EXPECT_STREQ(cls_dclk_noDC, "APPLN_dclk_noDC");
    EXPECT_STREQ(cls_noDC, "APPLN_noDC");
    EXPECT_EQ(BASEWIN::initialise(""), 0);

    HWND frame = create(cls_dclk_noDC);
    Recorder object;
    ASSERT_TRUE(object.bind(frame));
    EXPECT_EQ(object.hwnd, frame);
    EXPECT_EQ(BASEWIN::fromhandle(frame), &object);
    EXPECT_EQ(GetWindowLongPtrA(frame, 0), reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(SendMessageA(frame, WM_USER, 0, 0), 7);
    EXPECT_EQ(clicks(frame), (std::vector<UINT>{WM_LBUTTONDBLCLK}));

    HWND bar = create(cls_noDC, frame);
    Recorder barobject;
    barobject.bind(bar);
    EXPECT_EQ(clicks(bar), (std::vector<UINT>{WM_LBUTTONDOWN})) << "no double clicks for the plain class";

    object.caption("%s - %d", "Frame", 2);
    char text[32];
    GetWindowTextA(frame, text, sizeof text);
    EXPECT_STREQ(text, "Frame - 2");
    object.locate(10, 20, 300, 150, 0);
    object.sizeto(320, 160, 8);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, 320);

    object.unbind();
    EXPECT_EQ(BASEWIN::fromhandle(frame), nullptr);
    EXPECT_EQ(SendMessageA(frame, WM_USER, 0, 0), 0) << "unbound: the default handling";
    DestroyWindow(frame);
    EXPECT_EQ(barobject.hwnd, bar) << "the object outlives its window";
    EXPECT_FALSE(barobject.bind(create("NoSuchClass"))) << "a dead window";
}

TEST(BaseWindow, AnObjectThatDeletesItselfWithItsWindow)
{
    BASEWIN::initialise("APPLN");
    HWND window = create(cls_noDC);
    auto* object = new Recorder;
    object->deleteondestroy = true;
    object->bind(window);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
}

TEST(BaseWindow, SubclassedWindowsShareOneProcedureAndChainToTheirOwn)
{
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = own;
    c.lpszClassName = "ForeignControl";
    RegisterClassExA(&c);
    HWND first = create("ForeignControl");
    HWND second = create("ForeignControl");
    Recorder a;
    Recorder b;
    ASSERT_TRUE(a.subclass(first));
    ASSERT_TRUE(b.subclass(second));
    EXPECT_FALSE(b.subclass(first)) << "bound already";
    EXPECT_EQ(GetWindowLongPtrA(first, GWLP_WNDPROC), GetWindowLongPtrA(second, GWLP_WNDPROC));
    EXPECT_EQ(BASEWIN::fromhandle(second), &b) << "found through the window's property";
    EXPECT_EQ(SendMessageA(first, WM_USER + 1, 0, 0), 11) << "the control's own procedure answers";
    EXPECT_EQ(a.seen.back(), WM_USER + 1u);
    a.unbind();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(first, GWLP_WNDPROC)), &own);
    EXPECT_EQ(GetPropA(first, "BASEWIN"), nullptr);
    DestroyWindow(first);
    DestroyWindow(second);
}
