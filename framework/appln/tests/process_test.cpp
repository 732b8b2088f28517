#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <fstream>

#include "framework/appln/tests/modulecalls.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/context/stringtranslator.h"
#include "platform/win/htmlhelp.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"
#include "testsupport/temp_folder.h"

namespace {

using appltest::TESTPROCESS;

// Keeps Qt's dispatcher waking while the main loop waits, as user input and timers would.
struct Ticker {
    QTimer timer;
    Ticker()
    {
        timer.setInterval(5);
        timer.start();
    }
};

TEST(MainLoop, IdlePassesRunUntilAQuitThenTheFramesCloseAndTheRunEndsInOrder)
{
    Ticker ticker;
    TESTPROCESS process;
    int framesatquit = -1;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [&] {
        process.steps.push_back("aboutToQuit");
        framesatquit = process.numframes();
    });
    HWND first = nullptr;
    process.start = [&] {
        first = process.getframe(0)->hwnd;
        EXPECT_FALSE(IsWindowVisible(first)) << "shown only after the command line";
        return 0;
    };
    process.idle = [&](int pass) {
        if (pass == 1) {
            EXPECT_TRUE(IsWindowVisible(first));
            process.createnewframe(nullptr);
        }
        if (pass == 3)
            process.quit(0);
    };
    EXPECT_EQ(process.runall(), 0);
    EXPECT_EQ(process.idlepasses, 3) << "the loop ends at the quit check of the pass that quit";
    EXPECT_EQ(framesatquit, 0) << "both frames closed before the loop ended";
    EXPECT_EQ(process.steps,
        (std::vector<std::string> { "appln_init", "createnewframe", "executecommandline", "onfirstrun",
            "createnewframe", "aboutToQuit", "appln_term" }));
    EXPECT_FALSE(IsWindow(first));
    QObject::disconnect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, nullptr, nullptr);
}

TEST(MainLoop, AFrameAskedToCloseFromItsOwnHandlerClosesOnTheNextPass)
{
    Ticker ticker;
    TESTPROCESS process;
    APPLNWINDOW window;
    APPLNFRAME* second = nullptr;
    std::vector<int> framecounts;
    process.idle = [&](int pass) {
        framecounts.push_back(process.numframes());
        if (pass == 1) {
            second = process.createnewframe(nullptr);
            window.setowner(&process);
            window.createwindow(second);
            PostMessageA(second->hwnd, WM_CLOSE, 0, 0);
        }
        if (pass == 2) {
            EXPECT_EQ(process.gettoclose(), second) << "asked, not yet closed";
        }
        if (pass == 4)
            process.quit(1);
    };
    process.runall();
    EXPECT_EQ(framecounts, (std::vector<int> { 1, 2, 1, 1 }));
    EXPECT_EQ(window.getparentframe(), nullptr) << "its windows closed with it";
}

TEST(MainLoop, TheActiveWindowsModulePumpsItsMessagesInItsOwnContext)
{
    Ticker ticker;
    modulecalls().clear();
    TESTPROCESS process;
    APPLNWINDOW window;
    process.start = [&] {
        window.setowner(
            static_cast<APPLNMODULE*>(static_cast<IWINDOWMODULE*>(process.getmoduleinterface("alpha", 0))));
        window.createwindow(process.getframe(0));
        process.getframe(0)->loadwindow(&window);
        return 0;
    };
    process.idle = [&](int pass) {
        if (pass == 3)
            process.quit(1);
    };
    process.runall();
    std::vector<std::string>& calls = modulecalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "alpha: onidle (own context)"), calls.end());
}

TEST(MainLoop, AKeyGoesToTheFocusWindowAsAQueryAndAHandledKeyIsNotDispatched)
{
    Ticker ticker;
    TESTPROCESS process;
    static std::vector<UINT> seen;
    seen.clear();
    struct KEYWINDOW : APPLNWINDOW {
        LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
        {
            seen.push_back(message);
            if (message == WM_KEYQUERY)
                return wParam == 'A' ? 4 : 0;
            return APPLNWINDOW::msghlr(window, message, wParam, lParam);
        }
    } window;
    process.start = [&] {
        window.setowner(&process);
        window.createwindow(process.getframe(0));
        return 0;
    };
    process.idle = [&](int pass) {
        if (pass == 1) {
            SetFocus(window.hwnd);
            PostMessageA(window.hwnd, WM_KEYDOWN, 'A', 0);
            PostMessageA(window.hwnd, WM_KEYDOWN, 'B', 0);
        }
        if (pass == 4)
            process.quit(1);
    };
    process.runall();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_KEYQUERY), 2);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_KEYDOWN), 1) << "only the key nobody took";
    EXPECT_EQ(process.activity, 3) << "each keyboard message counts as the user's: two keys, one character";
}

TEST(Frames, AWindowThatRefusesKeepsEveryFrameUnlessTheQuitIsForcedAndBroadcastsReachEveryWindow)
{
    TESTPROCESS process;
    static std::vector<std::pair<HWND, UINT>> received;
    received.clear();
    struct STUBBORN : APPLNWINDOW {
        int agree = 0;
        int queryclose() override { return agree; }
        LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_USER + 77)
                received.push_back({ window, message });
            return APPLNWINDOW::msghlr(window, message, wParam, lParam);
        }
    } stubborn, plain;
    plain.agree = 1;
    HWND first = nullptr;
    HWND other = nullptr;
    process.start = [&] {
        APPLNFRAME* second = process.createnewframe(nullptr);
        stubborn.setowner(&process);
        stubborn.createwindow(process.getframe(0));
        plain.setowner(&process);
        plain.createwindow(second);
        first = stubborn.hwnd;
        other = plain.hwnd;
        process.broadcastmessage(WM_USER + 77, 0, 0);
        EXPECT_EQ(process.queryclose(second), 1) << "with two frames only that frame is asked";
        EXPECT_EQ(process.queryclose(), 0);
        process.quit(0);
        EXPECT_EQ(process.numframes(), 2) << "refused: nothing closes";
        return 0;
    };
    process.idle = [&](int pass) {
        if (pass == 1)
            process.quit(1);
    };
    process.runall();
    EXPECT_EQ(
        received, (std::vector<std::pair<HWND, UINT>> { { first, WM_USER + 77 }, { other, WM_USER + 77 } }))
        << "posted, frame order then window order";
    EXPECT_EQ(process.numframes(), 0);
}

TEST(StartUp, AnAbortedRunShowsNoFrameAndRunsNoLoop)
{
    TESTPROCESS process;
    HWND first = nullptr;
    process.start = [&] {
        first = process.getframe(0)->hwnd;
        process.abort();
        return 0;
    };
    EXPECT_EQ(process.runall(), 0);
    EXPECT_EQ(process.idlepasses, 0);
    EXPECT_TRUE(process.ishidden());
}

TEST(StartUp, TheContextsTablesHoldTheProgramsAndTheLibrarysTexts)
{
    TESTPROCESS process;
    process.start = [&] {
        EXPECT_STREQ(getapplnmessage(1), "process message");
        EXPECT_STREQ(getapplnmessage(0xF105), "Restore key map to the default?");
        EXPECT_STREQ(getapplnstring(1), "process string");
        EXPECT_EQ(getapplnmodule(), &process);
        APPLNMODULE* alpha
            = static_cast<APPLNMODULE*>(static_cast<IWINDOWMODULE*>(process.getmoduleinterface("alpha", 0)));
        alpha->pushcontext();
        EXPECT_STREQ(getapplnmessage(1), "module message");
        EXPECT_STREQ(getapplnmessage(0xF105), "Restore key map to the default?");
        EXPECT_STREQ(getapplnstring(1), "module string");
        EXPECT_STREQ(getapplnname(), "alpha");
        alpha->popcontext();
        EXPECT_EQ(getapplnmodule(), &process);
        return 1;
    };
    process.runall();
}

TEST(StartUp, TheApplicationTakesTheProgramsIdentityAndIcon)
{
    QApplication::setWindowIcon(QIcon());
    TESTPROCESS process;
    process.start = [&] {
        EXPECT_EQ(QCoreApplication::applicationName(), "TESTAPP");
        EXPECT_EQ(QCoreApplication::organizationName(), "Venthorne Electronics");
        EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
        QStringList paths = QCoreApplication::libraryPaths();
        EXPECT_EQ(paths.size(), 2);
        EXPECT_TRUE(paths.value(1).endsWith("/plugins"));
        EXPECT_FALSE(QApplication::windowIcon().isNull());
        std::string bin = process.getbinpath();
        EXPECT_EQ(bin.substr(bin.rfind('\\')), "\\bin");
        EXPECT_EQ(std::string(process.getrootpath()), bin.substr(0, bin.rfind('\\')));
        EXPECT_STREQ(process.getdatapath(), process.getrootpath()) << "no ProgramData value: the root";
        EXPECT_EQ(std::string(process.getdatapath("TEMP")), std::string(process.getrootpath()) + "\\TEMP");
        return 1;
    };
    process.runall();
}

TEST(StartUp, CollectedStringsAreWrittenAtTheEndWithTheProgramsVersion)
{
    std::string path = (vkt::test::tempFolder() / "collected.txt").string();
    TESTPROCESS process;
    process.start = [&] {
        process.updatetranslationfile(path.c_str());
        free(process.gettranslator()->translate("Untranslated", "Context"));
        return 1;
    };
    process.runall();
    std::ifstream in(path);
    std::string header, entry;
    std::getline(in, header);
    std::getline(in, entry);
    EXPECT_EQ(header, "//Strings For translation");
    EXPECT_EQ(entry.rfind("QT_TRANSLATE_NOOP3(\"Context\", \"Untranslated\", \"\") //Updated on: ", 0), 0u);
    EXPECT_EQ(entry.substr(entry.size() - 16), "Version: 1.2.3.4") << entry;
}

TEST(ModuleWindows, AModulesPrimaryWindowIsLoadedIntoTheActiveFrameAndSelected)
{
    static std::vector<MSG> selections;
    selections.clear();
    auto previous = win::setmessagefilter([](MSG* message) -> BOOL {
        if (message->message == 0x541)
            selections.push_back(*message);
        return FALSE;
    });
    TESTPROCESS process;
    APPLNWINDOW* window = nullptr;
    process.start = [&] {
        APPLNFRAME* frame = process.getframe(0);
        window = process.loadmodulewindow("alpha", 1, 0);
        EXPECT_EQ(process.loadmodulewindow("alpha", 0, 0), window) << "the same primary window";
        EXPECT_EQ(process.loadmodulewindow(static_cast<IMODULE*>(nullptr), 1, 0), nullptr);
        EXPECT_NE(window, nullptr);
        EXPECT_EQ(window ? window->getparentframe() : nullptr, frame);
        EXPECT_EQ(frame->numwindows(), 1);
        return 1;
    };
    process.runall();
    win::setmessagefilter(previous);
    ASSERT_EQ(selections.size(), 1u) << "only the activating request selects";
    EXPECT_EQ(selections[0].lParam, static_cast<LPARAM>(0xFFFF0000u));
}

struct HelpRequest {
    std::string file;
    UINT command;
    DWORD_PTR data;
};
std::vector<HelpRequest> helprequests;
std::vector<std::string> boxes;

TEST(Help, AMissingTopicIsToldPlainlyAndAnInstalledOneShowsItsPageInTheNamedWindow)
{
    helprequests.clear();
    boxes.clear();
    auto previoushelp = sethtmlhelphook([](HWND, const char* file, UINT command, DWORD_PTR data) -> HWND {
        helprequests.push_back({ file, command, data });
        return nullptr;
    });
    auto previousbox = setmessageboxhook([](HWND, const char* text, const char*, UINT) {
        boxes.push_back(text);
        return 1;
    });
    std::filesystem::path root = vkt::test::makeTempSubfolder("root");
    std::filesystem::create_directories(root / "HELP" / "GUIDE");
    std::ofstream(root / "HELP" / "GUIDE" / "index.html") << "<p>contents</p>";
    std::ofstream(root / "HELP" / "GUIDE" / "42.html") << "<p>topic</p>";
    std::string windowsroot = "Z:" + root.string();
    for (char& c : windowsroot)
        if (c == '/')
            c = '\\';

    TESTPROCESS process;
    process.start = [&] {
        process.setrootpath(windowsroot.c_str());
        process.launchhelp("MISSING.CHM", 0, nullptr, nullptr);
        process.launchhelp("GUIDE.CHM", 0, nullptr, nullptr);
        process.launchhelp("GUIDE", 42, "Popup", nullptr);
        process.launchhelp("GUIDE", 43, nullptr, nullptr);
        process.launchhelp(std::string(600, 'L').c_str(), 0, nullptr, nullptr);
        return 1;
    };
    process.runall();
    sethtmlhelphook(previoushelp);
    setmessageboxhook(previousbox);

    ASSERT_EQ(boxes.size(), 3u);
    ASSERT_EQ(helprequests.size(), 2u);
    const std::string nohelp = "No help is installed for this topic.";
    EXPECT_EQ(boxes[0], nohelp + "\n\nHelp pages are looked for in '" + root.string() + "/HELP/MISSING'.")
        << "the folder as the system names it";
    EXPECT_EQ(boxes[1], nohelp + "\n\nHelp pages are looked for in '" + root.string() + "/HELP/GUIDE'.")
        << "a topic without its page";
    EXPECT_EQ(boxes[2], nohelp) << "a name too long for a path";
    EXPECT_EQ(helprequests[0].file, windowsroot + "\\HELP\\GUIDE\\index.html>Main");
    EXPECT_EQ(helprequests[0].command, HH_DISPLAY_TOPIC);
    EXPECT_EQ(helprequests[1].file, windowsroot + "\\HELP\\GUIDE\\42.html>Popup");
    EXPECT_EQ(helprequests[1].command, HH_HELP_CONTEXT);
    EXPECT_EQ(helprequests[1].data, 42u);
}

} // namespace

namespace {

TEST(Help, APopupHelpWindowTakesTheRightHalfOfTheWorkAreaBesideItsOwner)
{
    helprequests.clear();
    auto previoushelp = sethtmlhelphook([](HWND, const char* file, UINT command, DWORD_PTR data) -> HWND {
        helprequests.push_back({ file, command, data });
        return nullptr;
    });
    RECT work { 0, 0, 1600, 1000 };
    win::overridemonitors(std::vector<win::Monitor> { { work, work, true, 96 } });
    std::filesystem::path root = vkt::test::makeTempSubfolder("popuproot");
    std::filesystem::create_directories(root / "HELP" / "GUIDE");
    std::ofstream(root / "HELP" / "GUIDE" / "7.html") << "<p>topic</p>";
    std::string windowsroot = root.string();

    TESTPROCESS process;
    RECT owner {};
    HH_WINTYPE* placed = nullptr;
    process.start = [&] {
        process.setrootpath(windowsroot.c_str());
        HWND frame = process.getframe(0)->hwnd;
        SetWindowPos(frame, nullptr, 100, 100, 700, 600, SWP_NOZORDER);
        process.popuphelp("GUIDE>Popup", 7, frame, 1);
        GetWindowRect(frame, &owner);
        std::string target = windowsroot + "\\HELP\\GUIDE\\7.html>Main";
        HtmlHelpA(nullptr, target.c_str(), HH_GET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&placed));
        return 1;
    };
    process.runall();
    sethtmlhelphook(previoushelp);
    win::overridemonitors(std::nullopt);

    EXPECT_EQ(owner.right, 800 - 20);
    EXPECT_EQ(owner.right - owner.left, 700) << "moved, not sized";
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->rcWindowPos.left, 820);
    EXPECT_EQ(placed->rcWindowPos.top, 100);
    EXPECT_EQ(placed->rcWindowPos.right, 1580);
    EXPECT_EQ(placed->rcWindowPos.bottom, 900);
    ASSERT_EQ(helprequests.size(), 1u);
    EXPECT_EQ(helprequests[0].command, HH_HELP_CONTEXT);
    EXPECT_EQ(helprequests[0].data, 7u);
}

TEST(Help, AStoredWindowTypeIsCappedAndCentredBeforeAContextIsShown)
{
    std::filesystem::path root = vkt::test::makeTempSubfolder("typeroot");
    std::filesystem::create_directories(root / "HELP" / "GUIDE");
    std::ofstream(root / "HELP" / "GUIDE" / "3.html") << "<p>topic</p>";
    std::string windowsroot = root.string();
    std::string target = windowsroot + "\\HELP\\GUIDE\\3.html>Wide";
    HH_WINTYPE wide {};
    wide.cbStruct = sizeof wide;
    wide.fsWinProperties = HHWIN_PROP_USER_POS;
    wide.rcWindowPos = { 0, 0, 5000, 100 };
    HtmlHelpA(nullptr, target.c_str(), HH_SET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&wide));

    TESTPROCESS process;
    process.start = [&] {
        process.setrootpath(windowsroot.c_str());
        process.launchhelp("GUIDE", 3, "Wide", nullptr);
        return 1;
    };
    process.runall();
    HH_WINTYPE* placed = nullptr;
    HtmlHelpA(nullptr, target.c_str(), HH_GET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&placed));
    ASSERT_NE(placed, nullptr);
    int screenwidth = GetSystemMetrics(SM_CXSCREEN);
    int screenheight = GetSystemMetrics(SM_CYSCREEN);
    int width = placed->rcWindowPos.right - placed->rcWindowPos.left;
    EXPECT_EQ(width, screenwidth * 8 / 10) << "capped at 80 % of the screen";
    EXPECT_EQ(placed->rcWindowPos.left, (screenwidth - width) / 2);
    EXPECT_GE(placed->rcWindowPos.top, 0);
    EXPECT_LE(placed->rcWindowPos.bottom, screenheight);
    EXPECT_EQ(placed->fsWinProperties & HHWIN_PROP_USER_POS, 0u);
}

} // namespace
