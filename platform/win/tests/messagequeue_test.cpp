#include <gtest/gtest.h>

#include <thread>

#include "platform/win/input.h"
#include "platform/win/tests/recorder.h"

using namespace wintest;

namespace {

std::vector<MSG> filtered;

BOOL recordingfilter(MSG* message)
{
    filtered.push_back(*message);
    return message->message == WM_USER + 2; // consumed
}

} // namespace

TEST(MessageQueue, PostedComeBeforeInputAndRangesAndWindowsFilter)
{
    Fresh fresh;
    HWND a = toplevel();
    HWND b = toplevel();
    SetFocus(a);
    win::postkey(WM_KEYDOWN, 'K', 1, 'k');
    PostMessageA(b, WM_USER + 1, 1, 0);
    PostMessageA(a, WM_USER + 2, 2, 0);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, a, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_USER + 2) << "posted before input, for window a";
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_USER + 1);
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_USER + 2);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, DeliverPassesTheFilterFirstWhichMayConsumeOrRetarget)
{
    Fresh fresh;
    HWND a = toplevel();
    HWND b = toplevel();
    filtered.clear();
    auto previous = win::setmessagefilter(recordingfilter);
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(a, WM_USER + 2, 0, 0);
    while (win::deliverqueued()) { }
    win::setmessagefilter(previous);

    ASSERT_EQ(filtered.size(), 2u);
    EXPECT_EQ(messagesof(WM_USER + 1).size(), 1u) << "passed on";
    EXPECT_TRUE(messagesof(WM_USER + 2).empty()) << "consumed by the filter";

    static HWND retarget;
    retarget = b;
    win::setmessagefilter(+[](MSG* message) -> BOOL {
        message->hwnd = retarget;
        return FALSE;
    });
    PostMessageA(a, WM_USER + 3, 0, 0);
    win::deliverqueued();
    win::setmessagefilter(previous);
    ASSERT_EQ(messagesof(WM_USER + 3).size(), 1u);
    EXPECT_EQ(messagesof(WM_USER + 3)[0].hwnd, b);
}

TEST(MessageQueue, AModalLoopForAWindowEndsWhenTheWindowDies)
{
    Fresh fresh;
    HWND dialog = toplevel();
    int inner = 0;
    answer() = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 1) {
            MSG m;
            BOOL got;
            while ((got = GetMessageA(&m, window, 0, 0)) > 0) {
                ++inner;
                DispatchMessageA(&m);
            }
            EXPECT_EQ(got, -1);
            return 0;
        }
        if (message == WM_USER + 2) {
            DestroyWindow(window);
            return 0;
        }
        return std::nullopt;
    };
    PostMessageA(dialog, WM_USER + 2, 0, 0);
    SendMessageA(dialog, WM_USER + 1, 0, 0);
    EXPECT_EQ(inner, 1);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST(MessageQueue, QuitEndsGetMessageAfterTheQueueIsEmpty)
{
    Fresh fresh;
    PostQuitMessage(3);
    PostThreadMessageA(WM_USER, 0, 0);
    MSG message;
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_USER);
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.wParam, 3u);
}

TEST(MessageQueue, AnotherThreadCanPostAndWakeAWait)
{
    Fresh fresh;
    HWND window = toplevel();
    std::thread poster([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageA(window, WM_USER + 5, 5, 0);
    });
    MSG message;
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(message.message, WM_USER + 5);
    EXPECT_EQ(SendMessageA(window, WM_NULL, 0, 0), 0);
}

TEST(MessageQueue, MsgWaitTimesOutOnAnEmptyQueueAndSeesNewMessages)
{
    Fresh fresh;
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT), WAIT_TIMEOUT);
    PostThreadMessageA(WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT), WAIT_OBJECT_0);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT), WAIT_TIMEOUT)
        << "a message already seen does not end the wait";
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 10, QS_ALLINPUT), WAIT_FAILED);
}

TEST(MessageQueue, TranslateMessagePostsTheCharacterOfAKeyPress)
{
    Fresh fresh;
    HWND window = toplevel();
    SetFocus(window);
    win::postkey(WM_KEYDOWN, VK_OEM_2, 0x00350001, '?');
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001); // synthetic, no text: derived from the key
    MSG message;
    std::vector<WPARAM> characters;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_CHAR) {
            characters.push_back(message.wParam);
        }
        TranslateMessage(&message);
    }
    EXPECT_EQ(characters, (std::vector<WPARAM> { 'a', '?' }));
}

TEST(Timers, FireWithTheirIdsWhenDueAndRestart)
{
    Fresh fresh;
    HWND window = toplevel();
    EXPECT_EQ(SetTimer(window, 12, 15, nullptr), 12u);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 12u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) << "restarted on retrieval";
    EXPECT_TRUE(KillTimer(window, 12));
    EXPECT_FALSE(KillTimer(window, 12));
    EXPECT_EQ(win::msuntilnexttimer(), -1);
}

TEST(Timers, AThreadTimerCallsItsProcedureAndDiesWithNothing)
{
    Fresh fresh;
    static UINT_PTR fired = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR timer, DWORD) { fired = timer; });
    ASSERT_NE(id, 0u);
    MSG message;
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    DispatchMessageA(&message);
    EXPECT_EQ(fired, id);
    KillTimer(nullptr, id);

    HWND window = toplevel();
    SetTimer(window, 1, 1, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(win::msuntilnexttimer(), -1) << "a window's timers go with it";
}

TEST(Timers, ADueTimerSeenByAPeekDoesNotWakeWaitsAgain)
{
    Fresh fresh;
    HWND window = toplevel();
    SetTimer(window, 3, 1, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the timer left in the queue is no news";
    PostMessageA(window, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0);
    KillTimer(window, 3);
}
