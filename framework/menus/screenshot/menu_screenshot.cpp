// Under a real X server (Xvfb): a popup of a menu bar built from command tables, its owner-drawn
// items drawn by the framework's menus (images in their cells, a checked toggle, a radio group,
// a greyed item, key names and a submenu), shown as Qt's own popup; the screen is grabbed and
// saved as the artifact named by VKT_SCREENSHOT_PATH, and checked for a command's image.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "framework/appln/applnmodule.h"
#include "framework/menus/menubar.h"
#include "platform/win/menu.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

// The module whose commands the menu shows; it greys "Show Rulers".
class OWNER : public APPLNMODULE, public IMENUOWNER {
public:
    OWNER()
        : APPLNMODULE(nullptr)
    {
        pushcontext();
        cmdtable.load("TESTCONTEXTS", GetModuleHandleA(nullptr));
        keytranslator.rscload("TESTKEYS", GetModuleHandleA(nullptr));
    }
    ~OWNER() override { popcontext(); }
    using APPLNMODULE::cmdtable;
    using APPLNMODULE::keytranslator;
    int getuistate(unsigned short id, UISTATE* state) override
    {
        state->enabled = id != 0x148;
        return 1;
    }
    void oninitmenu() override { }
    void oninitmenupopup(int index, HMENU popup) override { bar->init(popup); }
    MENUBAR* bar = nullptr;
};

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
    OWNER owner;
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

    QImage shot;
    QRect popup;
    QRect copy;
    QTimer::singleShot(300, [] {
        for (int i = 0; i < 5; ++i) { // "Copy" hot (the greyed "Show Rulers" is passed over)
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(QApplication::activePopupWidget(), &down);
        }
    });
    // The shot is taken once the popup has been exposed and has had time to paint, or gives up
    // after ten seconds on a loaded machine.
    QElapsedTimer clock;
    clock.start();
    QTimer grabber;
    QObject::connect(&grabber, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const bool exposed = menu && menu->windowHandle() && menu->windowHandle()->isExposed();
        if (clock.elapsed() < 10000 && (!exposed || clock.elapsed() < 1000))
            return;
        grabber.stop();
        if (exposed) {
            popup = menu->geometry();
            copy = menu->actionGeometry(menu->actions().at(5));
            RECT area;
            GetWindowRect(window, &area);
            QRect whole
                = popup.united(QRect(area.left, area.top, area.right - area.left, area.bottom - area.top));
            shot = QGuiApplication::primaryScreen()
                       ->grabWindow(0, whole.x(), whole.y(), whole.width(), whole.height())
                       .toImage();
            popup.translate(-whole.topLeft());
        }
        EndMenu();
    });
    grabber.start(100);
    EXPECT_EQ(TrackPopupMenuEx(edit, TPM_RETURNCMD, 80, 90, window, nullptr), 0);
    ASSERT_FALSE(shot.isNull()) << "the popup was open";
    const char* path = std::getenv("VKT_SCREENSHOT_PATH");
    ASSERT_NE(path, nullptr);
    ASSERT_TRUE(shot.save(path, "PNG"));
    // The red square of "Copy" in its cell under the pointer: lightened, but red.
    const QColor image = shot.pixelColor(popup.topLeft() + copy.topLeft() + QPoint(10, copy.height() / 2));
    EXPECT_GT(image.red(), 200);
    EXPECT_LT(image.green(), 150);
    DestroyWindow(window);
    shown = nullptr;
}
