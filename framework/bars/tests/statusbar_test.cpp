#include "framework/bars/statusbar.h"

#include <QThread>
#include <thread>

#include "framework/bars/tests/bartest.h"

using namespace bartest;
using namespace wintest;

namespace {

// The message timer in the test's hands: it runs when started and fires when the test says.
struct FAKETIMERBAR : STATUSBAR {
    using STATUSBAR::STATUSBAR;
    void starttimer(unsigned milliseconds) override
    {
        running = milliseconds;
        startedoffthread |= QThread::currentThread() != QCoreApplication::instance()->thread();
    }
    void stoptimer() override { running = 0; }
    void fire() { SendMessageA(hwnd, WM_TIMER, 1, 0); }
    unsigned running = 0;
    bool startedoffthread = false;
};

struct StatusBarTest : testing::Test {
    StatusBarTest()
    {
        parent.hwnd = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        bar = new FAKETIMERBAR(&parent, 3);
    }
    void say(int timeout)
    {
        bar->message('S', "Busy", 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, timeout);
    }

    FreshQt fresh;
    BASEHWND parent;
    FAKETIMERBAR* bar;
};

TEST_F(StatusBarTest, AMessageGoesWithItsTimeoutOrAtTheNextResetAsItsTimeoutSays)
{
    say(3);
    EXPECT_EQ(bar->running, 3000u);
    bar->reset(0);
    EXPECT_TRUE(bar->showmessage()) << "a running time-out keeps the message from reset";
    bar->fire();
    EXPECT_FALSE(bar->showmessage());
    EXPECT_EQ(bar->running, 0u);

    say(-3);
    EXPECT_EQ(bar->running, 3000u);
    bar->reset(0);
    EXPECT_TRUE(bar->showmessage());
    bar->fire();
    EXPECT_TRUE(bar->showmessage()) << "a negative time-out only shields";
    EXPECT_EQ(bar->running, 0u);
    bar->reset(0);
    EXPECT_FALSE(bar->showmessage());

    say(0);
    EXPECT_EQ(bar->running, 0u);
    EXPECT_EQ(bar->message(), 'S');
    EXPECT_STREQ(bar->text(), "Busy");
    bar->reset(0);
    EXPECT_FALSE(bar->showmessage());
    EXPECT_EQ(bar->message(), 0);
    EXPECT_EQ(bar->text(), nullptr);

    say(5);
    say(0);
    EXPECT_EQ(bar->running, 0u) << "a new message stops the old one's timer";
}

TEST_F(StatusBarTest, AMessageHidesTheHintAndTheHintTheDefaultText)
{
    EXPECT_TRUE(bar->showdefault());
    bar->setdeftext(0, 0, "Ready: %d parts", 12);
    EXPECT_TRUE(bar->showdefault());
    say(0);
    bar->sethint("Draws a wire");
    EXPECT_TRUE(bar->showmessage());
    EXPECT_FALSE(bar->showhint()) << "the hint waits under the message";
    bar->reset(0);
    EXPECT_TRUE(bar->showhint());
    bar->reset(1);
    EXPECT_TRUE(bar->showdefault());
    bar->message('I', "a\tb\tc", 0, 0, 0, STATUSBAR_KEEPCOLOUR, 0);
    EXPECT_TRUE(bar->istabbed());
    say(0);
    EXPECT_FALSE(bar->istabbed());
}

TEST_F(StatusBarTest, AWorkerThreadSetsTheTextAtOnceAndTheWindowCatchesUpOnItsOwnThread)
{
    std::thread worker([this] {
        say(4);
        bar->sethint("from the worker");
        bar->setdeftext(0, 0, "%s", "done");
    });
    worker.join();
    EXPECT_TRUE(bar->showmessage());
    EXPECT_EQ(bar->running, 0u) << "the timer is the window's, on its thread";
    ASSERT_TRUE(turnuntil([this] { return bar->running == 4000; }));
    EXPECT_FALSE(bar->startedoffthread);
}

TEST_F(StatusBarTest, ClicksOnTheBarGoToItsWindow)
{
    ShowWindow(bar->gethwnd(), SW_SHOW);
    received().clear();
    mouse(bar->gethwnd(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    mouse(bar->gethwnd(), WM_LBUTTONUP, 5, 5);
    mouse(bar->gethwnd(), WM_RBUTTONDBLCLK, 5, 5, MK_RBUTTON);
    EXPECT_EQ(sequence(parent.hwnd,
                  { STATUSBAR_LBUTTONDOWN, STATUSBAR_LBUTTONDBLCLK, STATUSBAR_RBUTTONDOWN,
                      STATUSBAR_RBUTTONDBLCLK }),
        (std::vector<UINT> { STATUSBAR_LBUTTONDOWN, STATUSBAR_RBUTTONDBLCLK }));
}

} // namespace
