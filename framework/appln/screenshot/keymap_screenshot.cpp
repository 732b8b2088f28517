// Under a real X server (Xvfb): the key-map editor over a module's commands, a command chosen and
// a key typed that a fixed command holds; the form is grabbed and kept as the artifact named by
// VKT_SCREENSHOT_PATH, and checked for the list's rows.

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>

#include "framework/appln/keymapeditor.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "framework/menus/menu.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/gdi.h"
#include "platform/win/window.h"

using appltest::TESTPROCESS;

TEST(XvfbScreenshot, TheKeyMapEditorShowsTheCommandsWithTheirKeys)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    TESTPROCESS process;
    process.start = [&] {
        process.getcmdinfotable()->load("KEYMAPCONTEXTS", GetModuleHandleA(nullptr));
        process.getkeytranslator()->rscload("KEYMAPKEYS", GetModuleHandleA(nullptr));
        FORM form(nullptr, "edit_keyboard_map", edit_keyboard_map_hlr);
        EXPECT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
        CONTROL* commands = form.getctrl("CMDS");
        commands->setvalue(1);
        form.notify(DLGM_UPDATE, static_cast<unsigned>(form.getctrlid("CMDS")), 1);
        form.getctrl("KEY")->setvalue(static_cast<long>(KEY_CTRL | 'L'));
        form.notify(DLGM_UPDATE, static_cast<unsigned>(form.getctrlid("KEY")), static_cast<long>(KEY_CTRL | 'L'));
        SetWindowPos(form.gethwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        wintest::settle();
        wintest::turnuntil([] { return false; }, 800);
        RECT area;
        GetWindowRect(form.gethwnd(), &area);
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(0, area.left, area.top, area.right - area.left, area.bottom - area.top)
                                .toImage();
        const char* path = std::getenv("VKT_SCREENSHOT_PATH");
        EXPECT_NE(path, nullptr);
        EXPECT_TRUE(path && shot.save(path, "PNG"));
        // The chosen row is drawn in the highlight colour by the editor, after the image column.
        auto* list = qobject_cast<QListWidget*>(commands->getwidget());
        const QRect row = list->visualItemRect(list->item(1));
        const QPoint inside = list->viewport()->mapTo(form.getroot(), QPoint(row.left() + MENU::tbar_bmpwidth() + 8, row.center().y()));
        tagPOINT at { inside.x(), inside.y() };
        MapWindowPoints(form.gethwnd(), nullptr, &at, 1);
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_EQ(shot.pixelColor(at.x - area.left, at.y - area.top),
            QColor(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)))
            << "the chosen row in the highlight colour";
        form.end(IDCANCEL);
        return 1;
    };
    process.runall();
}
