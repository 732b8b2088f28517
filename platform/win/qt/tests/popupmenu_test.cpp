#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <deque>

#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/tests/filemenu.h"

using namespace wintest;

namespace {

QMenu* openpopup()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void press(QWidget* widget, int key, const QString& text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &down);
    QCoreApplication::sendEvent(widget, &up);
}

// Types the keys into the open popup, one each time the menu waits for input.
struct Typist {
    std::deque<std::pair<int, QString>> keys;
    explicit Typist(std::initializer_list<std::pair<int, QString>> typed)
        : keys(typed)
    {
        answer() = [this](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            QMenu* popup = openpopup();
            if (message == WM_ENTERIDLE && popup && !keys.empty()) {
                auto [key, text] = keys.front();
                keys.pop_front();
                press(popup, key, text);
            }
            return std::nullopt;
        };
    }
};

void click(QWidget* widget, QPoint at)
{
    QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent down(
        QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(
        QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &down);
    QCoreApplication::sendEvent(widget, &up);
}

} // namespace

TEST(QtPopupMenu, KeysChooseFromAModalMenuAndTheOwnerHearsEverything)
{
    FreshQt fresh;
    FileMenu m;
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    {
        Typist typist { { Qt::Key_Down, {} }, { Qt::Key_Down, {} }, { Qt::Key_Right, {} },
            { Qt::Key_Down, {} }, { Qt::Key_Return, {} } }; // Open, Recent, into it (A), B
        EXPECT_EQ(TrackPopupMenuEx(m.file, TPM_RETURNCMD, 50, 50, owner, nullptr), 202);
    }
    EXPECT_EQ(win::trackedmenu(), nullptr);
    EXPECT_EQ(openpopup(), nullptr);
    auto order = sequence(owner, { WM_ENTERMENULOOP, WM_INITMENU, WM_EXITMENULOOP });
    EXPECT_EQ(order, (std::vector<UINT> { WM_ENTERMENULOOP, WM_INITMENU, WM_EXITMENULOOP }));
    auto popups = messagesof(WM_INITMENUPOPUP);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(reinterpret_cast<HMENU>(popups[0].wParam), m.file);
    EXPECT_EQ(reinterpret_cast<HMENU>(popups[1].wParam), m.recent);
    EXPECT_EQ(LOWORD(popups[1].lParam), 2) << "its place in the parent";
    EXPECT_EQ(messagesof(WM_UNINITMENUPOPUP).size(), 2u);
    auto selects = messagesof(WM_MENUSELECT);
    ASSERT_GE(selects.size(), 4u);
    EXPECT_EQ(LOWORD(selects[1].wParam), 2) << "a submenu item is selected by its place";
    EXPECT_EQ(HIWORD(selects[1].wParam) & (MF_POPUP | MF_HILITE | MF_MOUSESELECT), MF_POPUP | MF_HILITE);
    EXPECT_EQ(HIWORD(selects.back().wParam), 0xFFFF) << "closing";
    EXPECT_EQ(selects.back().lParam, 0);
    EXPECT_TRUE(messagesof(WM_COMMAND).empty()) << "the command was returned, not sent";

    {
        Typist typist { { Qt::Key_X, "x" }, { Qt::Key_Escape, {} } }; // Exit is greyed: nothing is chosen
        EXPECT_EQ(TrackPopupMenuEx(m.file, TPM_RETURNCMD, 50, 50, owner, nullptr), 0);
    }
    {
        Typist typist { { Qt::Key_Down, {} }, { Qt::Key_Return, {} } };
        EXPECT_TRUE(TrackPopupMenuEx(m.file, 0, 50, 50, owner, nullptr));
    }
    MSG command;
    ASSERT_TRUE(PeekMessageA(&command, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(command.wParam), 101);
}

TEST(QtPopupMenu, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner)
{
    FreshQt fresh;
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 5, "&Plain");
    AppendMenuA(popup, MF_OWNERDRAW, 7, reinterpret_cast<LPCSTR>(0x1234));
    AppendMenuA(popup, MF_OWNERDRAW | MF_SEPARATOR, 0, nullptr);
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
    QImage shown;
    QRect item;
    answer() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MEASUREITEM) {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measured.push_back(*m);
            m->itemWidth = 120;
            m->itemHeight = m->itemID ? 24 : 7;
            return TRUE;
        }
        if (message == WM_DRAWITEM) {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            drawn.push_back(*d);
            HBRUSH red = CreateSolidBrush(d->itemID == 7 ? RGB(255, 0, 0) : RGB(0, 0, 255));
            FillRect(d->hDC, &d->rcItem, red);
            DeleteObject(red);
            return TRUE;
        }
        if (message == WM_ENTERIDLE && openpopup() && shown.isNull()) {
            QMenu* menu = openpopup();
            item = menu->actionGeometry(menu->actions().at(1));
            shown = menu->grab().toImage();
            EndMenu();
        }
        return std::nullopt;
    };
    EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 10, 10, owner, nullptr), 0);
    ASSERT_EQ(measured.size(), 2u);
    EXPECT_EQ(measured[0].CtlType, ODT_MENU);
    EXPECT_EQ(measured[0].itemID, 7u);
    EXPECT_EQ(measured[0].itemData, 0x1234u);
    EXPECT_EQ(item.size(), QSize(120, 24)) << "the owner's size";
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn[0].CtlType, ODT_MENU);
    EXPECT_EQ(drawn[0].itemData, 0x1234u);
    EXPECT_EQ(reinterpret_cast<HMENU>(drawn[0].hwndItem), popup);
    ASSERT_FALSE(shown.isNull());
    qreal ratio = shown.devicePixelRatio();
    EXPECT_EQ(shown.pixelColor((QPointF(item.center()) * ratio).toPoint()), QColor(255, 0, 0))
        << "the owner's drawing";
    EXPECT_EQ(openpopup(), nullptr);
    DestroyMenu(popup);
}

TEST(QtPopupMenu, OwnerDrawnItemsWithTextKeepTheirMnemonicsAndNames)
{
    FreshQt fresh;
    HMENU popup = CreatePopupMenu();
    for (auto [id, text] :
        { std::pair<UINT, const char*> { 31, "&Open\tCtrl+O" }, { 32, "&Save\tCtrl+S" } }) {
        MENUITEMINFOA item {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
        item.fType = MFT_OWNERDRAW;
        item.wID = id;
        item.dwItemData = id;
        item.dwTypeData = const_cast<char*>(text);
        InsertMenuItemA(popup, static_cast<UINT>(-1), TRUE, &item);
    }
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    QString names;
    Typist typist { { Qt::Key_S, "s" } };
    Answer typing = answer();
    answer() = [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MEASUREITEM) {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            m->itemWidth = 100;
            m->itemHeight = 20;
            return TRUE;
        }
        if (message == WM_ENTERIDLE && openpopup() && names.isEmpty()) {
            for (QAction* action : openpopup()->actions()) {
                names += action->text() + "|";
            }
        }
        return typing(window, message, wParam, lParam);
    };
    EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 10, 10, owner, nullptr), 32);
    EXPECT_EQ(names, "&Open\tCtrl+O|&Save\tCtrl+S|") << "what keyboard and screen readers see";
    DestroyMenu(popup);
}

TEST(QtPopupMenu, AClickOnAModelessPopupSendsTheCommandLater)
{
    FreshQt fresh;
    FileMenu m;
    MENUINFO info {};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE;
    GetMenuInfo(m.file, &info);
    info.dwStyle |= MNS_MODELESS;
    SetMenuInfo(m.file, &info);
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT exclude { 90, 90, 130, 130 };
    TPMPARAMS params { sizeof(TPMPARAMS), exclude };
    ASSERT_TRUE(TrackPopupMenuEx(m.file, TPM_RIGHTBUTTON | TPM_NONOTIFY, 100, 100, owner, &params));
    EXPECT_EQ(win::trackedmenu(), m.file) << "still open: the caller pumps";
    QMenu* popup = openpopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_GE(popup->geometry().top(), exclude.bottom) << "kept off the exclusion rectangle";

    click(popup, popup->actionGeometry(popup->actions().at(0)).center()); // Open
    ASSERT_TRUE(turnuntil([] { return !messagesof(WM_COMMAND).empty(); }));
    settle();
    auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 101);
    EXPECT_EQ(win::trackedmenu(), nullptr);
    EXPECT_EQ(openpopup(), nullptr);
    EXPECT_EQ(HIWORD(messagesof(WM_MENUSELECT).back().wParam), 0xFFFF);

    // Closed with nothing chosen, the tracking ends too.
    ASSERT_TRUE(TrackPopupMenuEx(m.file, 0, 100, 100, owner, nullptr));
    openpopup()->close();
    ASSERT_TRUE(turnuntil([] { return win::trackedmenu() == nullptr; }));
    settle();
    EXPECT_EQ(messagesof(WM_COMMAND).size(), 1u);
}

TEST(QtPopupMenu, AMenuEndsWhenItsOwnerDies)
{
    FreshQt fresh;
    FileMenu m;
    HWND owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    answer() = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == owner && message == WM_ENTERIDLE && openpopup()) {
            DestroyWindow(owner);
        }
        return std::nullopt;
    };
    EXPECT_EQ(TrackPopupMenuEx(m.file, TPM_RETURNCMD, 50, 50, owner, nullptr), 0);
    EXPECT_EQ(win::trackedmenu(), nullptr);
    settle();
    EXPECT_EQ(openpopup(), nullptr);

    // A modeless menu whose owner goes with its widget ends too, and the next menu can open.
    MENUINFO info { sizeof(MENUINFO), MIM_STYLE, MNS_MODELESS, 0, nullptr, 0, 0 };
    SetMenuInfo(m.file, &info);
    answer() = nullptr;
    owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(TrackPopupMenuEx(m.file, 0, 50, 50, owner, nullptr));
    DestroyWindow(owner);
    ASSERT_TRUE(turnuntil([] { return win::trackedmenu() == nullptr; }));
    owner = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(TrackPopupMenuEx(m.file, 0, 50, 50, owner, nullptr));
    EndMenu();
    EXPECT_EQ(win::trackedmenu(), nullptr);
}

TEST(QtPopupMenu, TheMenuBarOpensByMnemonicAndArrowsMoveAlongIt)
{
    FreshQt fresh;
    FileMenu m;
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, 301, "&Undo");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    HWND frame = toplevel(0, 0, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    received().clear();
    ASSERT_TRUE(SetMenu(frame, bar));
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client.bottom, 300 - GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(HIWORD(messagesof(WM_SIZE).back().lParam), client.bottom);
    EXPECT_EQ(win::menubarlayout(frame).size(), 2u);

    {
        Typist typist { { Qt::Key_Return, {} } }; // the first item of the opened popup
        SendMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    }
    MSG command;
    ASSERT_TRUE(PeekMessageA(&command, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(command.wParam), 101);
    EXPECT_EQ(HIWORD(command.wParam), 0) << "from a menu";

    {
        Typist typist { { Qt::Key_Right, {} }, { Qt::Key_Return, {} } };
        SendMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    }
    ASSERT_TRUE(PeekMessageA(&command, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(command.wParam), 301) << "Right moved to the Edit menu";
    auto popups = messagesof(WM_INITMENUPOPUP);
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(reinterpret_cast<HMENU>(popups.back().wParam), edit);
    EXPECT_EQ(LOWORD(popups.back().lParam), 1);

    // Alt alone makes the bar hot; arrows move along it and Down opens the hot item.
    SetFocus(frame);
    for (int key : { VK_RIGHT, VK_DOWN }) {
        win::postkey(WM_KEYDOWN, static_cast<WPARAM>(key), 1, 0);
        win::postkey(WM_KEYUP, static_cast<WPARAM>(key), 0xC0000001, 0);
    }
    {
        Typist typist { { Qt::Key_Return, {} } };
        SendMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 0);
    }
    ASSERT_TRUE(PeekMessageA(&command, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(command.wParam), 301);
    EXPECT_EQ(win::menubarhot(frame), -1);
    SetMenu(frame, nullptr);
    DestroyMenu(bar);
    m.file = CreatePopupMenu(); // the bar took the File menu with it
}
