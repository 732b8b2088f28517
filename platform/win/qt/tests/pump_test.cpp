#include <QTimer>

#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

std::vector<UINT> seenbyfilter;

BOOL watchingfilter(MSG* message)
{
    seenbyfilter.push_back(message->message);
    return message->message == WM_USER + 9;
}

} // namespace

TEST(QtPump, APostedMessageReachesTheProcedureAfterTheFilterInTheToolkitsLoop)
{
    FreshQt fresh;
    HWND window = toplevel();
    seenbyfilter.clear();
    auto previous = win::setmessagefilter(watchingfilter);
    PostMessageA(window, WM_USER + 8, 1, 2);
    PostMessageA(window, WM_USER + 9, 0, 0);
    bool arrived = turnuntil([&] { return !messagesof(WM_USER + 8).empty() && seenbyfilter.size() >= 2; });
    win::setmessagefilter(previous);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(seenbyfilter, (std::vector<UINT> { WM_USER + 8, WM_USER + 9 }));
    EXPECT_EQ(messagesof(WM_USER + 8)[0].lParam, 2);
    EXPECT_TRUE(messagesof(WM_USER + 9).empty()) << "the filter consumed it";
}

TEST(QtPump, AModalLoopNestedInAHandlerEndsWhenItsWindowIsDestroyed)
{
    FreshQt fresh;
    HWND frame = toplevel();
    HWND dialog = toplevel();
    BOOL ended = 99;
    int dispatched = 0;
    answer() = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == frame && message == WM_USER + 1) {
            // A modal loop for the dialog, waiting in the toolkit's dispatcher between messages.
            MSG m;
            while ((ended = GetMessageA(&m, dialog, 0, 0)) > 0) {
                ++dispatched;
                DispatchMessageA(&m);
            }
            return 0;
        }
        if (window == dialog && message == WM_USER + 2) {
            // The dialog goes later, from the toolkit, while the loop waits.
            QTimer::singleShot(20, [&] { DestroyWindow(dialog); });
            return 0;
        }
        return std::nullopt;
    };
    QTimer::singleShot(20, [&] { PostMessageA(dialog, WM_USER + 2, 0, 0); });
    PostMessageA(frame, WM_USER + 1, 0, 0);
    ASSERT_TRUE(turnuntil([&] { return ended != 99; }));
    EXPECT_EQ(ended, -1);
    EXPECT_EQ(dispatched, 1);
}

TEST(QtPump, ATimerFiresWithItsIdInTheToolkitsLoopAndInAWait)
{
    FreshQt fresh;
    HWND window = toplevel();
    SetTimer(window, 12, 20, nullptr);
    ASSERT_TRUE(turnuntil([&] { return !messagesof(WM_TIMER).empty(); }));
    EXPECT_EQ(messagesof(WM_TIMER)[0].wParam, 12u);
    EXPECT_EQ(messagesof(WM_TIMER)[0].hwnd, window);
    KillTimer(window, 12);

    SetTimer(window, 1, 15, nullptr);
    MSG message;
    ASSERT_TRUE(GetMessageA(&message, window, WM_TIMER, WM_TIMER));
    EXPECT_EQ(message.wParam, 1u);
    KillTimer(window, 1);
}
