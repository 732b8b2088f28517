#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

#include "platform/win/colour.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

TEST(QtMenuBar, AClickOnTheBarOpensItsPopupAndAClickOnAnItemChoosesIt)
{
    FreshQt fresh;
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_STRING, 102, "&Save");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    HWND frame = toplevel(40, 40, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetMenu(frame, bar);
    settle();
    QWidget* widget = winqt::widgetof(frame);
    RECT item = win::menubarlayout(frame).at(0);
    QPoint onbar(item.left - 40 + 5, GetSystemMetrics(SM_CYMENU) / 2);

    QImage shown = winqt::grabwindow(frame);
    COLORREF barcolour = GetSysColor(COLOR_MENUBAR);
    EXPECT_EQ(shown.pixelColor(widget->width() - 3, 3),
        QColor(GetRValue(barcolour), GetGValue(barcolour), GetBValue(barcolour)));

    QMenu* popup = nullptr;
    answer() = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == frame && message == WM_ENTERIDLE && !popup) {
            popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!popup) {
                return std::nullopt;
            }
            // The second item, clicked on the popup's own widget.
            QMenu* menu = popup;
            QPoint at = menu->actionGeometry(menu->actions().at(1)).center();
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), menu->mapToGlobal(QPointF(at)),
                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), menu->mapToGlobal(QPointF(at)),
                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &press);
            QCoreApplication::sendEvent(menu, &release);
        }
        return std::nullopt;
    };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(onbar), widget->mapToGlobal(QPointF(onbar)),
        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    ASSERT_TRUE(turnuntil([&] { return !messagesof(WM_COMMAND).empty(); }));
    EXPECT_NE(popup, nullptr);
    EXPECT_EQ(LOWORD(messagesof(WM_COMMAND)[0].wParam), 102);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(messagesof(WM_LBUTTONDOWN).empty()) << "the bar's click is not the client's";
    SetMenu(frame, nullptr);
    DestroyMenu(bar);
}
