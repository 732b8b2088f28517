#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/win/input.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

HWND shownwindow()
{
    HWND window = toplevel(50, 60, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetFocus(window);
    return window;
}

void sendmouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
    Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

void sendkey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

} // namespace

TEST(QtInput, AClickArrivesWithItsButtonModifierFlagsAndClientPosition)
{
    FreshQt fresh;
    HWND window = shownwindow();
    HWND pane = child(window, 5, RECT { 100, 50, 200, 150 });
    QWidget* widget = winqt::widgetof(window);
    ASSERT_NE(widget, nullptr);
    received().clear();

    sendmouse(widget, QEvent::MouseButtonPress, QPoint(120, 70), Qt::LeftButton, Qt::LeftButton,
        Qt::ShiftModifier | Qt::ControlModifier);
    sendmouse(
        widget, QEvent::MouseButtonRelease, QPoint(120, 70), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    ASSERT_TRUE(turnuntil([&] { return !sequence(pane, { WM_LBUTTONUP }).empty(); }));

    auto downs = messagesof(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, pane) << "routed to the child under the pointer";
    EXPECT_EQ(downs[0].wParam, MK_LBUTTON | MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 20);
    EXPECT_EQ(messagesof(WM_LBUTTONUP)[0].wParam, 0u);
    EXPECT_EQ(sequence(pane, { WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP }),
        (std::vector<UINT> { WM_SETCURSOR, WM_LBUTTONDOWN, WM_SETCURSOR, WM_LBUTTONUP }));
}

TEST(QtInput, KeysArriveWithVirtualKeyCodesAndTheExtendedBit)
{
    FreshQt fresh;
    HWND window = shownwindow();
    QWidget* widget = winqt::widgetof(window);
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        WPARAM code;
        bool extended;
        UINT message;
    } cases[] = {
        { Qt::Key_A, Qt::NoModifier, 'A', false, WM_KEYDOWN },
        { Qt::Key_F5, Qt::NoModifier, 0x74, false, WM_KEYDOWN },
        { Qt::Key_Insert, Qt::NoModifier, VK_INSERT, true, WM_KEYDOWN },
        { Qt::Key_Insert, Qt::KeypadModifier, VK_INSERT, false, WM_KEYDOWN },
        { Qt::Key_Left, Qt::NoModifier, VK_LEFT, true, WM_KEYDOWN },
        { Qt::Key_Return, Qt::NoModifier, VK_RETURN, false, WM_KEYDOWN },
        { Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN, true, WM_KEYDOWN },
        { Qt::Key_7, Qt::KeypadModifier, VK_NUMPAD0 + 7, false, WM_KEYDOWN },
        { Qt::Key_Question, Qt::ShiftModifier, VK_OEM_2, false, WM_KEYDOWN },
        { Qt::Key_X, Qt::AltModifier, 'X', false, WM_SYSKEYDOWN },
        { Qt::Key_Tab, Qt::NoModifier, VK_TAB, false, WM_KEYDOWN },
    };
    // Only key messages count: activation and paint messages of the new window may still arrive.
    auto keys = [] {
        std::vector<Received> list;
        for (const auto& r : received())
            if (r.message == WM_KEYDOWN || r.message == WM_SYSKEYDOWN || r.message == WM_KEYUP
                || r.message == WM_SYSKEYUP)
                list.push_back(r);
        return list;
    };
    for (const auto& c : cases) {
        received().clear();
        sendkey(widget, c.key, c.modifiers);
        ASSERT_TRUE(turnuntil([&] { return keys().size() >= 2; })) << c.key;
        const auto down = keys().front();
        EXPECT_EQ(down.hwnd, window);
        EXPECT_EQ(down.message, c.message) << c.key;
        EXPECT_EQ(down.wParam, c.code) << c.key;
        EXPECT_EQ((down.lParam & KF_EXTENDED_BIT) != 0, c.extended) << c.key;
        const auto up = keys().back();
        EXPECT_TRUE(up.message == WM_KEYUP || up.message == WM_SYSKEYUP);
        EXPECT_TRUE(up.lParam & KF_UP_BIT);
    }
}

TEST(QtInput, KeyTextBecomesCharacterMessagesAndKeyStateFollowsTheQueue)
{
    FreshQt fresh;
    HWND window = shownwindow();
    QWidget* widget = winqt::widgetof(window);
    received().clear();
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QCoreApplication::sendEvent(widget, &shift);
    sendkey(widget, Qt::Key_A, Qt::ShiftModifier, "A");
    ASSERT_TRUE(turnuntil([&] { return !messagesof(WM_CHAR).empty(); }));
    EXPECT_EQ(messagesof(WM_CHAR)[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    QKeyEvent unshift(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &unshift);
    ASSERT_TRUE(turnuntil([&] { return !(GetKeyState(VK_SHIFT) & 0x8000); }));
}
