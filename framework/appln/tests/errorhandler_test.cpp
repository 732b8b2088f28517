#include "framework/appln/errorhandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/windows/registry.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/bars/statusbar.h"
#include "platform/tirsk/basewin.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/messagebox.h"
#include "platform/win/tests/recorder.h"
#include "platform/win/window.h"

namespace {

int beeps = 0;

// The message timer of the bar in the test's hands.
struct TIMEDBAR : STATUSBAR {
    using STATUSBAR::STATUSBAR;
    void starttimer(unsigned milliseconds) override { running = milliseconds; }
    void stoptimer() override { running = 0; }
    unsigned running = 0;
};

// A window whose caption shows what it is given, with a registry branch of the test current.
struct HANDLED : wintest::Fresh {
    HANDLED()
    {
        BASEWIN::initialise("APPLN");
        reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne Electronics\\Error Handler Test");
        window.subclass(wintest::toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        previous = setmessagebeephook([](UINT) { ++beeps; });
        beeps = 0;
    }
    ~HANDLED()
    {
        setmessagebeephook(previous);
        reg_removekey(nullptr);
        reg_term();
    }
    std::string caption()
    {
        char text[1100] = {};
        GetWindowTextA(window.hwnd, text, sizeof text);
        return text;
    }
    // A status bar of the window.
    TIMEDBAR* addbar() { return new TIMEDBAR(&window, 3); }

    BASEWIN window;
    APPLNERRORHANDLER handler;
    MESSAGEBEEPHOOK previous;
};

} // namespace

TEST(ErrorHandler, WithoutAStatusBarTextsGoToTheWindowAndHintsAreDropped)
{
    HANDLED h;
    h.handler.attach(&h.window, nullptr);
    h.window.caption("before");
    h.handler.showhint("%s", "a hint");
    EXPECT_EQ(h.caption(), "before");
    const struct {
        void (APPLNERRORHANDLER::*show)(const char*, ...);
        const char* text;
    } cases[] = {
        { &APPLNERRORHANDLER::showinfo, "Information" },
        { &APPLNERRORHANDLER::showprompt, "Click a point" },
        { &APPLNERRORHANDLER::showstatus, "Working" },
        { &APPLNERRORHANDLER::showerror, "Failed" },
    };
    for (const auto& c : cases) {
        (h.handler.*c.show)("%s %d", c.text, 2);
        EXPECT_EQ(h.caption(), std::string(c.text) + " 2");
    }
    EXPECT_EQ(beeps, 1) << "an error beeps";
    EXPECT_EQ(h.handler.geterrorcount(), 1) << "and counts, also in the window";
    h.handler.reseterrorcount();
    EXPECT_EQ(h.handler.geterrorcount(), 0);
}

TEST(ErrorHandler, EachKindReachesTheStatusBarErrorsAsTheUserSetThem)
{
    HANDLED h;
    reg_putval(APPLNERRORHANDLER::SECTION, "Error Message Delay", 7);
    TIMEDBAR* bar = h.addbar();
    h.handler.attach(&h.window, bar);
    h.window.caption("window");

    h.handler.showhint("Copy the selection.");
    EXPECT_EQ(bar->message(), 'H');
    h.handler.showinfo("%d parts", 12);
    EXPECT_EQ(bar->message(), 'I');
    EXPECT_STREQ(bar->text(), "12 parts");
    h.handler.showerror("No room on %s", "sheet 2");
    EXPECT_EQ(bar->message(), 'E');
    EXPECT_STREQ(bar->text(), "No room on sheet 2");
    EXPECT_EQ(bar->running, 7000u) << "the user's delay";
    EXPECT_EQ(beeps, 1);

    h.handler.showprompt("Pick a point");
    EXPECT_EQ(bar->message(), 'E') << "the error stays on the bar";
    EXPECT_EQ(h.caption(), "Pick a point");
    bar->message(0, nullptr, 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, 0);
    h.handler.showprompt("Pick the end");
    EXPECT_EQ(bar->message(), 'P');
    h.window.caption("window");
    h.handler.showstatus("Routing");
    EXPECT_EQ(h.caption(), "Pick the end") << "the prompt the status replaces goes to the window";
    EXPECT_EQ(bar->message(), 'S');
    EXPECT_STREQ(bar->text(), "Routing");
}

TEST(ErrorHandler, TextsAreCutOnACharacterBoundary)
{
    HANDLED h;
    TIMEDBAR* bar = h.addbar();
    h.handler.attach(&h.window, bar);
    std::string text(1021, 'x');
    h.handler.showinfo("%s\xE2\x82\xAC", text.c_str()); // 1024 bytes with the euro sign
    EXPECT_EQ(std::string(bar->text()), text) << "the euro sign does not fit whole";
}

TEST(ErrorHandler, InternalErrorsCollectInOneViewerOrInTheLogOfASilentRun)
{
    wintest::Fresh fresh;
    APPLNERRORHANDLER::showierror("Cannot find bitmap '%s'.\n", "A");
    APPLNERRORHANDLER::showierror("Cannot find bitmap '%s'.\n", "B");
    EXPECT_EQ(APPLNERRORHANDLER::internalerrors(), "Cannot find bitmap 'A'.\nCannot find bitmap 'B'.");
    APPLNERRORHANDLER::closeinternalerrors();
    EXPECT_EQ(APPLNERRORHANDLER::internalerrors(), "");
    excp.setsilent(1);
    APPLNERRORHANDLER::showierror("Unseen");
    excp.setsilent(0);
    EXPECT_EQ(APPLNERRORHANDLER::internalerrors(), "") << "logged instead";
}

TEST(ErrorHandler, QtStringsReachTheDialogLibrarysBoxes)
{
    static std::vector<std::string> shown;
    shown.clear();
    MESSAGEBOXHOOK previous = setmessageboxhook([](HWND, const char* text, const char*, UINT style) {
        shown.emplace_back(text);
        return (style & 0xF) == MB_YESNO ? IDNO : IDOK;
    });
    const QString text = QString::fromUtf8("Delete R\xE2\x82\x81?");
    EXPECT_NE(confirm(text), 0);
    EXPECT_EQ(yesno(text), 0);
    errbox(QString("Wrong"));
    infbox(QString("Done"));
    setmessageboxhook(previous);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_NE(shown[0].find("Delete R\xE2\x82\x81?"), std::string::npos);
    EXPECT_NE(shown[3].find("Done"), std::string::npos);
}
