#include <gtest/gtest.h>

#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/tests/recorder.h"

using namespace wintest;

namespace {

// File: Open (101), a separator, Recent > (A 201, B 202), Exit (103, greyed).
struct FileMenu {
    HMENU recent = CreatePopupMenu();
    HMENU file = CreatePopupMenu();
    FileMenu()
    {
        AppendMenuA(recent, MF_STRING, 201, "&A");
        AppendMenuA(recent, MF_STRING, 202, "&B");
        AppendMenuA(file, MF_STRING, 101, "&Open\tCtrl+O");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
        AppendMenuA(file, MF_STRING | MF_GRAYED, 103, "E&xit");
    }
    ~FileMenu() { DestroyMenu(file); }
};

void keys(HWND focus, std::initializer_list<int> codes)
{
    SetFocus(focus);
    for (int code : codes) {
        win::postkey(WM_KEYDOWN, static_cast<WPARAM>(code), 1, 0);
        win::postkey(WM_KEYUP, static_cast<WPARAM>(code), 0xC0000001, 0);
    }
}

}  // namespace

TEST(Menus, ItemsByCommandAndByPosition)
{
    FileMenu m;
    EXPECT_EQ(GetMenuItemCount(m.file), 4);
    EXPECT_EQ(GetMenuItemID(m.file, 0), 101u);
    EXPECT_EQ(GetMenuItemID(m.file, 2), 0xFFFFFFFFu) << "a submenu item has no id";
    EXPECT_EQ(GetSubMenu(m.file, 2), m.recent);
    char text[32];
    EXPECT_EQ(GetMenuStringA(m.file, 202, text, sizeof text, MF_BYCOMMAND), 2) << "found in the submenu";
    EXPECT_STREQ(text, "&B");
    EXPECT_EQ(GetMenuState(m.file, 2, MF_BYPOSITION), MF_POPUP | (2u << 8));
    EXPECT_EQ(GetMenuState(m.file, 1, MF_BYPOSITION), MF_SEPARATOR);
    EXPECT_EQ(EnableMenuItem(m.file, 103, MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(m.file, 201, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(m.recent, 201, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(EnableMenuItem(m.file, 999, MF_GRAYED), -1);

    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE | MIIM_STRING;
    info.fType = MFT_OWNERDRAW;
    info.wID = 150;
    info.dwItemData = 0xABCD;
    info.dwTypeData = const_cast<char*>("Owner");
    ASSERT_TRUE(InsertMenuItemA(m.file, 1, TRUE, &info));
    MENUITEMINFOA back{};
    back.cbSize = sizeof back;
    back.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(m.file, 150, FALSE, &back));
    EXPECT_EQ(back.dwItemData, 0xABCDu);
    EXPECT_EQ(back.fType, MFT_OWNERDRAW);

    EXPECT_TRUE(RemoveMenu(m.file, 3, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(m.recent)) << "removing keeps the submenu";
    AppendMenuA(m.file, MF_POPUP, reinterpret_cast<UINT_PTR>(m.recent), "&Recent");
    EXPECT_TRUE(DeleteMenu(m.file, GetMenuItemCount(m.file) - 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(m.recent)) << "deleting destroys it";
}

TEST(Menus, KeysChooseFromAModalMenuAndTheOwnerHearsEverything)
{
    Fresh fresh;
    FileMenu m;
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    keys(owner, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});  // Open, Recent, into it, B
    UINT chosen = TrackPopupMenuEx(m.file, TPM_RETURNCMD, 50, 50, owner, nullptr);
    EXPECT_EQ(chosen, 202u);
    EXPECT_EQ(win::trackedmenu(), nullptr);
    auto order = sequence(owner, {WM_ENTERMENULOOP, WM_INITMENU, WM_EXITMENULOOP});
    EXPECT_EQ(order, (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_EXITMENULOOP}));
    auto popups = messagesof(WM_INITMENUPOPUP);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(reinterpret_cast<HMENU>(popups[1].wParam), m.recent);
    EXPECT_EQ(LOWORD(popups[1].lParam), 2) << "its place in the parent";
    auto selects = messagesof(WM_MENUSELECT);
    ASSERT_FALSE(selects.empty());
    EXPECT_EQ(HIWORD(selects.back().wParam), 0xFFFF) << "closing";
    EXPECT_EQ(selects.back().lParam, 0);
    EXPECT_TRUE(messagesof(WM_COMMAND).empty()) << "the command was returned, not sent";
    EXPECT_FALSE(IsWindow(FindWindowA("#32768", nullptr)));

    keys(owner, {VK_UP, VK_RETURN});  // Exit is greyed: nothing is chosen, Escape ends
    keys(owner, {VK_ESCAPE});
    EXPECT_EQ(TrackPopupMenuEx(m.file, TPM_RETURNCMD, 50, 50, owner, nullptr), 0);
    keys(owner, {VK_DOWN, VK_RETURN});
    EXPECT_TRUE(TrackPopupMenuEx(m.file, 0, 50, 50, owner, nullptr));
    MSG command;
    ASSERT_TRUE(PeekMessageA(&command, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(command.wParam), 101);
}

TEST(Menus, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner)
{
    Fresh fresh;
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_OWNERDRAW, 7, reinterpret_cast<LPCSTR>(0x1234));
    AppendMenuA(popup, MF_OWNERDRAW | MF_SEPARATOR, 0, nullptr);
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    std::vector<MEASUREITEMSTRUCT> measured;
    answer() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MEASUREITEM) {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measured.push_back(*m);
            m->itemWidth = 120;
            m->itemHeight = m->itemID ? 24 : 7;
            return TRUE;
        }
        if (message == WM_ENTERIDLE) {
            EndMenu();
        }
        return std::nullopt;
    };
    EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 10, 10, owner, nullptr), 0);
    ASSERT_EQ(measured.size(), 2u);
    EXPECT_EQ(measured[0].CtlType, ODT_MENU);
    EXPECT_EQ(measured[0].itemID, 7u);
    EXPECT_EQ(measured[0].itemData, 0x1234u);
    DestroyMenu(popup);
}

TEST(Menus, AClickOnAModelessPopupSendsTheCommandLater)
{
    Fresh fresh;
    FileMenu m;
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE;
    GetMenuInfo(m.file, &info);
    info.dwStyle |= MNS_MODELESS;
    SetMenuInfo(m.file, &info);
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT exclude{90, 90, 130, 130};
    TPMPARAMS params{sizeof(TPMPARAMS), exclude};
    ASSERT_TRUE(TrackPopupMenuEx(m.file, TPM_RIGHTBUTTON | TPM_NONOTIFY, 100, 100, owner, &params));
    EXPECT_EQ(win::trackedmenu(), m.file) << "still open: the caller pumps";
    HWND popup = FindWindowA("#32768", nullptr);
    ASSERT_TRUE(IsWindow(popup));
    RECT area;
    GetWindowRect(popup, &area);
    EXPECT_GE(area.top, exclude.bottom) << "kept off the exclusion rectangle";

    PostMessageA(popup, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));  // over Open
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 101);
    EXPECT_EQ(win::trackedmenu(), nullptr);
    EXPECT_FALSE(IsWindow(popup));
}

TEST(Menus, TheMenuBarTakesItsRowAndOpensByMnemonic)
{
    Fresh fresh;
    FileMenu m;
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.file), "&File");
    HWND frame = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    received().clear();
    ASSERT_TRUE(SetMenu(frame, bar));
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client.bottom, 300 - GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(HIWORD(messagesof(WM_SIZE).back().lParam), client.bottom);
    EXPECT_EQ(win::menubarlayout(frame).size(), 1u);

    keys(frame, {VK_RETURN});  // the first item of the opened popup
    SendMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    MSG command;
    ASSERT_TRUE(PeekMessageA(&command, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(command.wParam), 101);
    EXPECT_EQ(HIWORD(command.wParam), 0) << "from a menu";
    SetMenu(frame, nullptr);
    DestroyMenu(bar);
    m.file = CreatePopupMenu();  // the bar took the File menu with it
}
