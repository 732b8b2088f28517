#include <gtest/gtest.h>

#include "platform/win/tests/recorder.h"

using namespace wintest;

TEST(Windows, CreationSendsItsMessagesAndDestructionTearsDownParentFirstThenChildrenFirst)
{
    Fresh fresh;
    HWND top = toplevel();
    HWND kid = child(top, 7, RECT { 0, 0, 10, 10 });
    HWND grandchild = child(kid, 8, RECT { 0, 0, 5, 5 });
    EXPECT_EQ(sequence(top, { WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE }),
        (std::vector<UINT> { WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE }));

    received().clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& r : received()) {
        if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) {
            order.emplace_back(r.hwnd, r.message);
        }
    }
    EXPECT_EQ(order,
        (std::vector<std::pair<HWND, UINT>> { { top, WM_DESTROY }, { kid, WM_DESTROY },
            { grandchild, WM_DESTROY }, { grandchild, WM_NCDESTROY }, { kid, WM_NCDESTROY },
            { top, WM_NCDESTROY } }));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_FALSE(DestroyWindow(top));
}

TEST(Windows, RefusedCreationAndBadArgumentsGiveNull)
{
    Fresh fresh;
    answer() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) {
            return -1;
        }
        return std::nullopt;
    };
    EXPECT_EQ(toplevel(), nullptr);
    answer() = nullptr;
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(
        CreateWindowExA(0, recordingclass(), "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST(Windows, OwnedWindowsDieWithTheirOwner)
{
    Fresh fresh;
    HWND owner = toplevel();
    HWND popup
        = CreateWindowExA(0, recordingclass(), "p", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetWindowLongPtrA(popup, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(owner));
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(popup));
}

TEST(Windows, WordsPropertiesAndText)
{
    Fresh fresh;
    HWND top = toplevel();
    int object = 0;
    EXPECT_EQ(SetWindowLongPtrA(top, 0, reinterpret_cast<LONG_PTR>(&object)), 0);
    EXPECT_EQ(GetWindowLongPtrA(top, 0), reinterpret_cast<LONG_PTR>(&object));
    SetWindowLongA(top, 8, 0x12345678);
    EXPECT_EQ(GetWindowLongA(top, 8), 0x12345678);
    EXPECT_EQ(GetWindowLongPtrA(top, 12), 0) << "an index past the 16 window bytes is refused";
    EXPECT_EQ(GetWindowLongA(top, GWL_STYLE) & WS_CAPTION, WS_CAPTION);

    auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM p, LPARAM l) -> LRESULT {
            return m == WM_USER ? 42 : DefWindowProcA(w, m, p, l);
        })));
    EXPECT_EQ(previous, &recordingprocedure);
    EXPECT_EQ(SendMessageA(top, WM_USER, 0, 0), 42);
    SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));

    EXPECT_TRUE(SetPropA(top, "Object", &object));
    EXPECT_EQ(GetPropA(top, "OBJECT"), &object);
    EXPECT_EQ(RemovePropA(top, "object"), &object);
    EXPECT_EQ(GetPropA(top, "Object"), nullptr);

    char text[5];
    SetWindowTextA(top, "caption");
    EXPECT_EQ(GetWindowTextA(top, text, sizeof text), 4);
    EXPECT_STREQ(text, "capt");
    char name[64];
    EXPECT_GT(GetClassNameA(top, name, sizeof name), 0);
    EXPECT_STREQ(name, recordingclass());
}

TEST(Windows, RelationsAndZOrder)
{
    Fresh fresh;
    HWND top = toplevel();
    HWND a = child(top, 1, RECT { 0, 0, 10, 10 });
    HWND b = child(top, 2, RECT { 0, 0, 10, 10 });
    EXPECT_EQ(GetWindow(top, GW_CHILD), b) << "a new child goes on top";
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    EXPECT_EQ(GetDlgItem(top, 1), a);
    EXPECT_EQ(GetDlgCtrlID(b), 2);
    EXPECT_EQ(GetAncestor(b, GA_ROOT), top);
    EXPECT_TRUE(IsChild(top, b));
    EXPECT_FALSE(IsChild(b, top));

    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);

    HWND other = toplevel();
    EXPECT_EQ(SetParent(a, other), top);
    EXPECT_EQ(GetParent(a), other);
    EXPECT_EQ(SetParent(top, a), nullptr) << "no window becomes its own descendant";
    EXPECT_EQ(SetParent(other, a), nullptr);
}
