// Under a real X server (Xvfb): a popup of a menu bar built from command tables, its owner-drawn
// items drawn by the framework's menus (images in their cells, a checked toggle, a radio group,
// a greyed item, key names and a submenu), shown as Qt's own popup; the screen is grabbed and
// saved as the artifact named by VKT_SCREENSHOT_PATH, and checked for a command's image.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "framework/appln/applnmodule.h"
#include "framework/menus/menubar.h"
#include "framework/menus/tests/menutest.h"
#include "platform/win/menu.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/screenshot/popupshot.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

MENUBAR* shown = nullptr;

LRESULT ownerprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITMENUPOPUP:
        shown->getowner()->oninitmenupopup(LOWORD(lParam), reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MEASUREITEM:
        shown->measure_menu_item(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        shown->draw_menu_item(reinterpret_cast<HMENU>(draw->hwndItem), draw);
        return TRUE;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

TEST(XvfbScreenshot, AMenuBuiltFromCommandTablesShowsItsOwnerDrawnItems)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    menutest::OWNER owner(0x148); // "Show Rulers" greyed
    int align = 1;
    int grid = 1;
    int rulers = 0;
    int zoom = 0;
    int more = 0;
    MENUBAR bar(&owner);
    owner.bar = &bar;
    shown = &bar;
    bar.loadmenus("TESTGLOBALMENU", GetModuleHandleA(nullptr), owner.cmdtable, &owner);
    bar.loadmenus("TESTMODULEMENU", GetModuleHandleA(nullptr), owner.cmdtable, &owner,
        { &align, &grid, &rulers, &zoom, &more });
    bar.setaccelerators(0x110, owner.keytranslator, 0);
    HMENU edit = GetSubMenu(bar.gethandle(), 1);

    WNDCLASSEXA c {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = ownerprocedure;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = "ScreenshotMenuBarOwner";
    RegisterClassExA(&c);
    HWND window = CreateWindowExA(0, c.lpszClassName, "Menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420,
        320, nullptr, nullptr, nullptr, nullptr);
    settle();

    // "Copy" hot (the greyed "Show Rulers" is passed over).
    POPUPSHOT shot = shootpopup(edit, window, 80, 90, 5, 5);
    ASSERT_FALSE(shot.image.isNull()) << "the popup was open";
    ASSERT_TRUE(saveshot(shot.image));
    // The red square of "Copy" in its cell under the pointer: lightened, but red.
    const QColor image = shot.image.pixelColor(
        shot.popup.topLeft() + shot.item.topLeft() + QPoint(10, shot.item.height() / 2));
    EXPECT_GT(image.red(), 200);
    EXPECT_LT(image.green(), 150);
    DestroyWindow(window);
    shown = nullptr;
}
