#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/drelm/combobox.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/fptedit.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

using namespace drelmtest;
using wintest::received;

namespace {

struct Event {
    unsigned msg;
    unsigned wparam;
    long lparam;
};

std::vector<Event>& events()
{
    static std::vector<Event> list;
    return list;
}

std::vector<Event> eventsof(unsigned msg)
{
    std::vector<Event> found;
    for (const Event& e : events())
        if (e.msg == msg)
            found.push_back(e);
    return found;
}

// The owner-drawn list's callback fills each item with the colour in its data.
DLGCODES showcaseproc(FORM&, unsigned msg, unsigned wparam, long lparam)
{
    events().push_back({ msg, wparam, lparam });
    if (msg == WM_MEASUREITEM)
        reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = 21;
    if (msg == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
        HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(draw->itemData));
        FillRect(draw->hDC, &draw->rcItem, fill);
        DeleteObject(fill);
    }
    return DLG_DEFAULT;
}

// The module's own control type 179 over its placeholder window.
struct Preview final : CONTROL {
    Preview(FORM& form, HWND window, const char* text)
        : CONTROL(form, window, text)
    {
    }
};

void press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &down);
}

} // namespace

TEST(Controls, ListsHoldItemsWithDataAndTheSelectionAndAnOwnerDrawnListIsDrawnByTheCallback)
{
    Started started;
    events().clear();
    FORM form(nullptr, "SHOWCASE", showcaseproc);
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);

    CONTROL* combo = form.getctrl("COMBO");
    EXPECT_EQ(combo->numitems(), 3) << "the layout's items";
    EXPECT_EQ(combo->additem("Delta", 44), 3);
    EXPECT_EQ(combo->getitemdata(3), 44);
    combo->setvalue(3);
    EXPECT_EQ(combo->text(), "Delta");
    combo->setvalue(9);
    EXPECT_EQ(combo->getvalue(), -1) << "past the last item: none";
    emit qobject_cast<QComboBox*>(combo->getwidget())->activated(1);
    ASSERT_EQ(eventsof(DLGM_UPDATE).size(), 1u);
    EXPECT_EQ(eventsof(DLGM_UPDATE)[0].lparam, 1);

    CONTROL* view = form.getctrl("VIEW");
    EXPECT_EQ(view->additem("R1\t10k", 1), 0);
    EXPECT_EQ(view->additem("C1\t4n7", 2), 1);
    char cell[32];
    view->getitemtext(1, cell, sizeof cell);
    EXPECT_STREQ(cell, "C1\t4n7");
    view->setitemtext(0, "R1\t22k");
    view->getitemtext(0, cell, sizeof cell);
    EXPECT_STREQ(cell, "R1\t22k");
    view->setvalue(1);
    EXPECT_EQ(view->getvalue(), 1);

    CONTROL* tree = form.getctrl("TREE");
    const int root = tree->additem("Sheet 1", 100);
    const int child = tree->additem("U1", 101, root);
    tree->additem("Sheet 2", 102);
    EXPECT_EQ(tree->numitems(), 3);
    EXPECT_EQ(tree->getitemdata(child), 101);
    tree->setvalue(child);
    EXPECT_EQ(tree->getvalue(), child);
    auto* treewidget = qobject_cast<QTreeWidget*>(tree->getwidget());
    EXPECT_EQ(treewidget->currentItem()->parent()->text(0), "Sheet 1");
    tree->clearitems();
    EXPECT_EQ(tree->numitems(), 0);

    CONTROL* list = form.getctrl("LIST");
    list->additem("red", RGB(200, 0, 0));
    list->additem("green", RGB(0, 200, 0));
    list->settabstop(80);
    EXPECT_EQ(list->gettabstop(), 80);
    auto* listwidget = qobject_cast<QListWidget*>(list->getwidget());
    form.getctrl("TABS")->setvalue(0);
    wintest::settle();
    const QImage shown = listwidget->viewport()->grab().toImage();
    ASSERT_FALSE(eventsof(WM_DRAWITEM).empty());
    ASSERT_FALSE(eventsof(WM_MEASUREITEM).empty());
    EXPECT_EQ(listwidget->visualItemRect(listwidget->item(1)).height(), 21);
    const QRect second = listwidget->visualItemRect(listwidget->item(1));
    EXPECT_EQ(shown.pixelColor(second.center()), QColor(0, 200, 0)) << "the callback's drawing is shown";
    form.end(IDCANCEL);
}

TEST(Controls, KeyValueSpinSliderAndPictureControlsShowAndReadTheirValues)
{
    Started started;
    events().clear();
    FORM form(nullptr, "SHOWCASE", showcaseproc);
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);

    CONTROL* key = form.getctrl("KEY");
    EXPECT_EQ(key->text(), "<No Key Set>");
    press(key->getwidget(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(key->getvalue(), 0x33000 | 0x74);
    EXPECT_EQ(key->text(), "Ctrl+Shift+F5");
    press(key->getwidget(), Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(key->getvalue(), 0x100 | 0x2E) << "Delete is an extended key";
    press(key->getwidget(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(key->getvalue(), 0x100 | 0x2E) << "a modifier alone is no key";
    ASSERT_EQ(eventsof(DLGM_UPDATE).size(), 2u);
    EXPECT_EQ(eventsof(DLGM_UPDATE)[0].lparam, 0x33000 | 0x74);

    CONTROL* value = form.getctrl("VALUE");
    const struct {
        const char* text;
        bool valid;
        double value;
    } readings[] = { { "4k7", true, 4700 }, { "10Hz", true, 10 }, { " 2.2u", true, 2.2e-6 },
        { "45\xC2\xB0", true, 45 }, { "abc", false, 0 }, { "1 2", false, 0 }, { "", false, 0 } };
    for (const auto& r : readings) {
        SCOPED_TRACE(r.text);
        value->settext(r.text);
        int valid = -1;
        const double v = value->getreal(&valid);
        EXPECT_EQ(valid, r.valid);
        if (r.valid) {
            EXPECT_NEAR(v, r.value, r.value * 1e-12);
        }
    }
    value->setreal(0.0047);
    EXPECT_EQ(value->text(), "4.70mHz");

    CONTROL* spin = form.getctrl("SPIN");
    EXPECT_EQ(spin->getvalue(), 42);
    spin->setrange(0, 10);
    EXPECT_EQ(spin->getvalue(), 10) << "kept within the new range";

    CONTROL* picture = form.getctrl("PICTURE");
    EXPECT_EQ(picture->getkind(), CK_PICTURE);
    auto* label = qobject_cast<QLabel*>(picture->getwidget());
    ASSERT_FALSE(label->pixmap().isNull()) << "the module's icon";
    picture->seticon(nullptr);
    EXPECT_TRUE(label->pixmap().isNull());
    form.end(IDCANCEL);
}

TEST(Controls, MenuAndColourButtonsAskAndReport)
{
    Started started;
    events().clear();
    FORM form(nullptr, "SHOWCASE", showcaseproc);
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);

    later([] {
        QMenu* menu = nullptr;
        wintest::turnuntil(
            [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; });
        ASSERT_NE(menu, nullptr);
        press(menu, Qt::Key_Down, Qt::NoModifier);
        press(menu, Qt::Key_Down, Qt::NoModifier);
        press(menu, Qt::Key_Return, Qt::NoModifier);
    });
    form.pressbutton(161);
    ASSERT_EQ(eventsof(DLGM_POPUPMENU).size(), 1u);
    EXPECT_NE(eventsof(DLGM_POPUPMENU)[0].lparam, 0) << "the menu, before it shows";
    ASSERT_EQ(eventsof(DLGM_MENUCOMMAND).size(), 1u);
    EXPECT_EQ(eventsof(DLGM_MENUCOMMAND)[0].wparam, 161u);
    EXPECT_EQ(eventsof(DLGM_MENUCOMMAND)[0].lparam, 202) << "the second item, past the separator";

    later([] {
        auto* dialog = modal<QColorDialog>();
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    form.pressbutton(162);
    EXPECT_EQ(form.getctrl(162)->getvalue(), static_cast<long>(RGB(10, 20, 30)));
    ASSERT_EQ(eventsof(DLGM_UPDATE).size(), 1u);
    EXPECT_EQ(eventsof(DLGM_UPDATE)[0].lparam, static_cast<long>(RGB(10, 20, 30)));
    form.end(IDCANCEL);
}

TEST(Controls, AControlOfTheModulesOwnTypeIsAWindowInItsPlaceholdersPlace)
{
    Started started;
    Factory factory;
    factory.controls = [](FORM& form, int type, HWND window, const char* name) -> CONTROL* {
        return type == 179 ? new Preview(form, window, name) : nullptr;
    };
    FORM form(nullptr, "SHOWCASE");
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
    CONTROL* preview = form.getctrl("CUSTOM");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->getkind(), CK_WINDOW);
    EXPECT_STREQ(preview->gettemplatetext(), "CUSTOM");
    EXPECT_EQ(GetParent(preview->gethwnd()), form.gethwnd());
    EXPECT_EQ(GetDlgCtrlID(preview->gethwnd()), preview->getid());
    QWidget* placeholder = form.getroot()->findChild<QWidget*>("CUSTOM");
    RECT area {};
    GetWindowRect(preview->gethwnd(), &area);
    tagPOINT corner { area.left, area.top };
    ScreenToClient(form.gethwnd(), &corner);
    const QPoint expected = placeholder->mapTo(form.getroot(), QPoint(0, 0));
    EXPECT_EQ(QPoint(corner.x, corner.y), expected);
    EXPECT_EQ(area.right - area.left, placeholder->width());
    form.end(IDCANCEL);
}

TEST(Controls, AComboBoxOfItsOwnReportsTheChosenItemToItsParent)
{
    Started started;
    HWND bar = wintest::toplevel(10, 10, 300, 40, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    COMBOBOX combo(bar, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST, 1);
    ASSERT_TRUE(IsWindow(combo.gethwnd()));
    EXPECT_EQ(GetParent(combo.gethwnd()), bar);
    for (const char* item : { "Base design", "A", "B" })
        combo.additem(item, 0);
    combo.setfont(dlg_globalfont);
    combo.setreadonly(1);
    EXPECT_FALSE(qobject_cast<QComboBox*>(combo.getwidget())->isEditable());
    MoveWindow(combo.gethwnd(), 0, 0, 200, 24, TRUE);
    RECT client {};
    GetClientRect(combo.gethwnd(), &client);
    EXPECT_EQ(combo.getwidget()->size(), QSize(client.right, client.bottom)) << "the list fills its window";
    emit qobject_cast<QComboBox*>(combo.getwidget())->activated(2);
    auto updates = wintest::messagesof(DLGM_UPDATE);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].hwnd, bar);
    EXPECT_EQ(updates[0].wParam, 1u);
    EXPECT_EQ(updates[0].lParam, 2);
}

TEST(Controls, ANumericEditOfItsOwnTellsItsParentOfFocusKeysAndThePointer)
{
    Started started;
    HWND bar = wintest::toplevel(10, 10, 300, 40, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND other = wintest::child(bar, 2, RECT { 100, 0, 150, 20 });
    {
        FPTEDIT angle(bar, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, 1, 'A');
        SetActiveWindow(bar);
        wintest::turnuntil([bar] { return QApplication::activeWindow() == winqt::widgetof(bar); });
        angle.settext("45\xC2\xB0");
        int valid = 0;
        EXPECT_EQ(angle.getreal(&valid), 45);
        EXPECT_EQ(valid, 1);
        SetFocus(angle.gethwnd());
        EXPECT_TRUE(angle.hasfocus()) << "the window's focus is the edit's";
        press(angle.getwidget(), Qt::Key_Return, Qt::NoModifier);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(angle.getwidget(), &enter);
        SetFocus(other);
        EXPECT_FALSE(angle.hasfocus());

        std::vector<WORD> focus;
        for (const auto& r : wintest::messagesof(WM_COMMAND))
            if (r.hwnd == bar && LOWORD(r.wParam) == 1)
                focus.push_back(HIWORD(r.wParam));
        EXPECT_EQ(focus, (std::vector<WORD> { EN_SETFOCUS, EN_KILLFOCUS }));
        auto keys = wintest::messagesof(DLGM_KEY);
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(keys[0].wParam, MAKEWPARAM(1, 13));
        auto hints = wintest::messagesof(0x503);
        ASSERT_EQ(hints.size(), 1u);
        EXPECT_EQ(hints[0].wParam, reinterpret_cast<WPARAM>(angle.gethwnd()));
        EXPECT_EQ(LOWORD(hints[0].lParam), 1);
    }
    EXPECT_EQ(GetDlgItem(bar, 1), nullptr) << "its window goes with it";
}
