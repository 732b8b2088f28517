#include <gtest/gtest.h>

#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/tests/filemenu.h"
#include "platform/win/tests/recorder.h"

using namespace wintest;

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

    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE | MIIM_STRING;
    info.fType = MFT_OWNERDRAW;
    info.wID = 150;
    info.dwItemData = 0xABCD;
    info.dwTypeData = const_cast<char*>("Owner");
    ASSERT_TRUE(InsertMenuItemA(m.file, 1, TRUE, &info));
    MENUITEMINFOA back {};
    back.cbSize = sizeof back;
    back.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(m.file, 150, FALSE, &back));
    EXPECT_EQ(back.dwItemData, 0xABCDu);
    EXPECT_EQ(back.fType, MFT_OWNERDRAW);

    ASSERT_EQ(GetSubMenu(m.file, 3), m.recent);
    EXPECT_TRUE(DeleteMenu(m.file, 3, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(m.recent)) << "deleting destroys it";
}

TEST(Menus, WithoutAToolkitAPopupFailsAndNothingStaysTracked)
{
    Fresh fresh;
    FileMenu m;
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_FALSE(TrackPopupMenuEx(m.file, TPM_RETURNCMD, 50, 50, owner, nullptr));
    EXPECT_EQ(win::trackedmenu(), nullptr);
    EXPECT_EQ(sequence(owner, { WM_ENTERMENULOOP, WM_EXITMENULOOP }),
        (std::vector<UINT> { WM_ENTERMENULOOP, WM_EXITMENULOOP }));
    EXPECT_FALSE(EndMenu());
}
