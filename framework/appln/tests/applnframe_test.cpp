#include "framework/appln/applnframe.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/appln/applnmenu.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/bars/barmessages.h"
#include "framework/bars/rebar.h"
#include "framework/bars/statusbar.h"
#include "framework/bars/toolbar.h"
#include "framework/context/windowmessages.h"
#include "framework/tabs/tests/tabmouse.h"
#include "framework/xml/xmlelement.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/pathboundary.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/system.h"
#include "platform/win/tests/recorder.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"
#include "testsupport/temp_folder.h"

namespace {

using appltest::TESTPROCESS;

constexpr unsigned long CTRLTAB = KEY_CTRL | VK_TAB;

// A module window of the test process with a caption of its own; it may refuse to be closed.
class TABBED : public APPLNWINDOW {
public:
    int agree = 1;
    int queryclose() override { return agree; }
};

// Delivers what is queued, as a pass of the main loop would.
void deliver()
{
    while (win::deliverqueued()) { }
}

// A shown frame of the test process holding module windows with the given captions, in order,
// and the mouse on its tab strip.
struct FRAMEWITH : tabtest::TABMOUSE {
    FRAMEWITH(TESTPROCESS& process, APPLNFRAME* frame, std::initializer_list<const char*> captions)
        : TABMOUSE(*frame->gettabstrip())
        , frame(frame)
    {
        ShowWindow(frame->hwnd, SW_SHOW);
        for (const char* text : captions) {
            windows.push_back(std::make_unique<TABBED>());
            windows.back()->setowner(&process);
            windows.back()->createwindow(frame);
            SetWindowTextA(windows.back()->hwnd, text);
        }
    }
    TABBED& operator[](int i) { return *windows[static_cast<size_t>(i)]; }
    // The captions of the frame's windows in their order.
    std::vector<std::string> windoworder()
    {
        std::vector<std::string> captions;
        for (int i = 0; i < frame->numwindows(); ++i)
            captions.push_back(frame->getwindow(i)->getcaption());
        return captions;
    }

    APPLNFRAME* frame;
    std::vector<std::unique_ptr<TABBED>> windows;
};

// Runs the test process with the script in place of its command line; the frame is its first.
void runwithframe(const std::function<void(TESTPROCESS&, APPLNFRAME*)>& script)
{
    TESTPROCESS process;
    process.start = [&] {
        script(process, process.getframe(0));
        return 1;
    };
    process.runall();
}

// One monitor, or two side by side, for the length of a test.
struct MONITORS {
    explicit MONITORS(std::vector<RECT> areas)
    {
        std::vector<win::Monitor> list;
        for (const RECT& area : areas)
            list.push_back({ area, area, list.empty(), 96 });
        win::overridemonitors(list);
    }
    ~MONITORS() { win::overridemonitors(std::nullopt); }
};

TEST(FrameArea, TheDefaultAreaIsInsetAndNarrowedTo14By9AboutItsCentre)
{
    struct Case {
        RECT work;
        int full;
        RECT area;
    } cases[] = {
        { { 0, 0, 1600, 1200 }, 0, { 13, 15, 1587, 1185 } },
        { { 0, 0, 1920, 1040 }, 0, { 16 + 155, 13, 1904 - 155, 1027 } },
        { { 0, 0, 1920, 1040 }, 1, { 16, 13, 1904, 1027 } },
        { { 1920, 40, 3840, 1080 }, 0, { 1936 + 155, 53, 3824 - 155, 1067 } },
    };
    for (const Case& c : cases) {
        MONITORS monitors({ c.work });
        HMONITOR monitor = MonitorFromPoint({ c.work.left, c.work.top }, MONITOR_DEFAULTTOPRIMARY);
        RECT area = APPLNFRAME::getdefaultwindowarea(monitor, c.full);
        EXPECT_EQ(area.left, c.area.left) << c.work.right;
        EXPECT_EQ(area.top, c.area.top) << c.work.right;
        EXPECT_EQ(area.right, c.area.right) << c.work.right;
        EXPECT_EQ(area.bottom, c.area.bottom) << c.work.right;
    }
}

TEST(FrameTabs, ClicksSelectDragsReorderAndTheCloseButtonClosesTheWindow)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH f(process, frame, { "Schematic", "Graph", "Library" });
        frame->loadwindow(&f[0]);

        f.click(f.middle(1));
        EXPECT_EQ(frame->getactivewindow(), &f[1]);
        EXPECT_TRUE(IsWindowVisible(f[1].hwnd));
        EXPECT_FALSE(IsWindowVisible(f[0].hwnd));

        f.drag(2, 0);
        EXPECT_EQ(f.windoworder(), (std::vector<std::string> { "Library", "Schematic", "Graph" }));
        EXPECT_EQ(f.order(), f.windoworder()) << "the windows move in step with their tabs";
        EXPECT_EQ(frame->getactivewindow(), &f[2]);
        EXPECT_EQ(f.strip.activetab(), 0);

        f.click(f.closebox(2));
        EXPECT_EQ(f.windoworder(), (std::vector<std::string> { "Library", "Schematic" }));
        EXPECT_EQ(f[1].getparentframe(), nullptr);
        EXPECT_FALSE(IsWindow(f[1].hwnd));
        EXPECT_EQ(frame->getactivewindow(), &f[2]) << "closing another tab keeps the active one";

        f[0].agree = 0;
        f.click(f.closebox(1));
        EXPECT_EQ(frame->numwindows(), 2) << "a window that refuses stays";
    });
}

TEST(FrameTabs, ATabDroppedAfterTheSelectionChangedMidDragStillMovesItsOwnWindow)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH f(process, frame, { "Schematic", "Graph", "Library" });
        frame->loadwindow(&f[0]);
        const tagPOINT from = f.middle(2);
        const tagPOINT onto = f.middle(1);
        f.mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
        f.mouse(WM_MOUSEMOVE, { from.x - 5, from.y }, MK_LBUTTON);
        f.strip.select(0); // as Ctrl+Tab would during the drag
        f.mouse(WM_MOUSEMOVE, onto, MK_LBUTTON);
        f.mouse(WM_LBUTTONUP, onto);
        EXPECT_EQ(f.order(), (std::vector<std::string> { "Schematic", "Library", "Graph" }));
        EXPECT_EQ(f.windoworder(), f.order());
        EXPECT_EQ(frame->getactivewindow(), &f[2]);
    });
}

TEST(FrameTabs, CtrlTabSelectsTheNextTabAndSelectingNeverReorders)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH f(process, frame, { "Schematic", "Graph", "Library" });
        frame->loadwindow(&f[1]);
        MSG key {};
        std::vector<APPLNWINDOW*> seen;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(SendMessageA(frame->hwnd, WM_KEYQUERY, CTRLTAB, reinterpret_cast<LPARAM>(&key)), 4);
            deliver();
            seen.push_back(frame->getactivewindow());
        }
        EXPECT_EQ(seen, (std::vector<APPLNWINDOW*> { &f[2], &f[0], &f[1] })) << "wrapping after the last";

        const std::vector<std::string> before = f.windoworder();
        frame->selectwindow(2);
        deliver();
        EXPECT_EQ(frame->getactivewindow(), &f[2]);
        SendMessageA(frame->hwnd, WM_SELECTWINDOW, 0, MAKELPARAM(0, 7));
        EXPECT_EQ(frame->getactivewindow(), &f[0]) << "a source that names no window only selects";
        SendMessageA(frame->hwnd, WM_SELECTWINDOW, 0, MAKELPARAM(5, 0xFFFF));
        EXPECT_EQ(frame->getactivewindow(), &f[0]) << "an index outside the windows is ignored";
        EXPECT_EQ(f.windoworder(), before);
    });
}

TEST(FrameTabs, ARemovedActiveWindowGivesWayToThePreviousElseTheNextElseTheOneBefore)
{
    struct Case {
        std::vector<int> loaded;
        int removed;
        int shown;
    } cases[] = {
        { { 0, 2 }, 2, 0 },
        { { 1 }, 1, 2 },
        { { 2 }, 2, 1 },
    };
    runwithframe([&](TESTPROCESS& process, APPLNFRAME* frame) {
        for (const Case& c : cases) {
            FRAMEWITH f(process, frame, { "Schematic", "Graph", "Library" });
            for (int i : c.loaded)
                frame->loadwindow(&f[i]);
            f[c.removed].destroywindow();
            EXPECT_EQ(frame->getactivewindow(), &f[c.shown]) << c.removed;
            EXPECT_EQ(f.strip.activetab(), frame->getwindowidx(&f[c.shown]));
            frame->closeallwindows();
            EXPECT_EQ(frame->numwindows(), 0);
        }
        EXPECT_EQ(process.numframes(), 1);
        deliver();
        EXPECT_EQ(process.numframes(), 1) << "the only frame stays when its last window leaves";

        FRAMEWITH other(process, process.createnewframe(nullptr), { "Notes" });
        other[0].destroywindow();
        deliver();
        EXPECT_EQ(process.numframes(), 1) << "an emptied frame beside another closes";
    });
}

TEST(FrameClosing, ACloseRequestTakesEffectOnTheNextPassOfTheLoop)
{
    TESTPROCESS process;
    std::unique_ptr<FRAMEWITH> second;
    std::vector<int> windowcounts;
    QTimer ticker;
    ticker.start(5);
    process.idle = [&](int pass) {
        if (pass == 1) {
            second = std::make_unique<FRAMEWITH>(process, process.createnewframe(nullptr),
                std::initializer_list<const char*> { "A", "B", "C" });
            PostMessageA(second->frame->hwnd, WM_CLOSE, 0, 0);
        }
        if (pass == 2) {
            EXPECT_EQ(process.gettoclose(), second->frame);
            windowcounts.push_back(second->frame->numwindows());
        }
        if (pass == 3) {
            windowcounts.push_back(process.numframes());
            process.quit(1);
        }
    };
    process.runall();
    EXPECT_EQ(windowcounts, (std::vector<int> { 3, 1 }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((*second)[i].getparentframe(), nullptr);
}

TEST(FramePlacement, APlacementIsKeptPerMonitorAndOnlyForTheMonitorsOnlyFrame)
{
    MONITORS monitors({ { 0, 0, 1600, 1200 }, { 1600, 0, 3520, 1080 } });
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        HMONITOR left = MonitorFromPoint({ 10, 10 }, MONITOR_DEFAULTTONULL);
        HMONITOR right = MonitorFromPoint({ 2000, 10 }, MONITOR_DEFAULTTONULL);
        ShowWindow(frame->hwnd, SW_SHOW);
        MoveWindow(frame->hwnd, 100, 120, 800, 640, TRUE);
        frame->savewindowplacement(left);
        MoveWindow(frame->hwnd, 300, 200, 700, 600, TRUE);
        EXPECT_EQ(frame->restorewindowplacement(right), 0) << "nothing kept for that monitor";
        ASSERT_EQ(frame->restorewindowplacement(left), 1);
        RECT area {};
        GetWindowRect(frame->hwnd, &area);
        EXPECT_EQ(area.left, 100);
        EXPECT_EQ(area.top, 120);
        EXPECT_EQ(area.right - area.left, 800);

        APPLNFRAME* second = process.createnewframe(left);
        ShowWindow(second->hwnd, SW_SHOW);
        MoveWindow(frame->hwnd, 300, 200, 700, 600, TRUE);
        frame->savewindowplacement(left);
        ASSERT_EQ(second->restorewindowplacement(left), 1);
        GetWindowRect(second->hwnd, &area);
        EXPECT_EQ(area.left, 100) << "two frames on the monitor: neither keeps its place there";

        MoveWindow(second->hwnd, 1700, 40, 900, 700, TRUE);
        second->close(1);
        APPLNFRAME* third = process.createnewframe(right);
        ASSERT_EQ(third->restorewindowplacement(right), 1) << "a closing frame keeps its place";
        GetWindowRect(third->hwnd, &area);
        EXPECT_EQ(area.left, 1700);
        EXPECT_EQ(area.top, 40);
    });
}

TEST(FrameMoves, ATabTornOffSplitsTheScreenWithANewFrameButAnOnlyTabStays)
{
    MONITORS monitors({ { 0, 0, 1600, 1200 } });
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH f(process, frame, { "Schematic" });
        frame->loadwindow(&f[0]);
        MoveWindow(frame->hwnd, 100, 100, 900, 700, TRUE);
        SendMessageA(frame->hwnd, WM_MOVEWINDOWTOFRAME, 0, MAKELPARAM(400, 400));
        EXPECT_EQ(process.numframes(), 1);
        EXPECT_EQ(f[0].getparentframe(), frame);

        FRAMEWITH more(process, frame, { "Graph", "Library" });
        SendMessageA(frame->hwnd, WM_MOVEWINDOWTOFRAME, 1, MAKELPARAM(400, 400));
        ASSERT_EQ(process.numframes(), 2);
        APPLNFRAME* torn = process.getframe(1);
        EXPECT_EQ(more[0].getparentframe(), torn);
        EXPECT_EQ(torn->getactivewindow(), &more[0]);
        EXPECT_EQ(frame->numwindows(), 2);
        RECT kept {};
        RECT made {};
        GetWindowRect(frame->hwnd, &kept);
        GetWindowRect(torn->hwnd, &made);
        const int middle = (13 + 1587) / 2;
        EXPECT_EQ(kept.left, 13);
        EXPECT_EQ(kept.right, middle - 2);
        EXPECT_EQ(made.left, middle + 2);
        EXPECT_EQ(made.right, 1587);
        EXPECT_EQ(made.top, 15);

        tagPOINT inside { made.left + 50, made.top + 50 };
        SendMessageA(frame->hwnd, WM_MOVEWINDOWTOFRAME, 0, MAKELPARAM(inside.x, inside.y));
        EXPECT_EQ(f[0].getparentframe(), torn) << "dropped on the other frame";
        EXPECT_EQ(torn->numwindows(), 2);
        EXPECT_EQ(frame->numwindows(), 1);
    });
}

TEST(FrameMenus, ARecentFileAppearsAtOnceInTheMenuOfEveryFrame)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH here(process, frame, { "Schematic" });
        FRAMEWITH there(process, process.createnewframe(nullptr), { "Graph" });
        frame->loadwindow(&here[0]);
        there.frame->loadwindow(&there[0]);
        ASSERT_EQ(there.frame->getactivemenu(), there[0].getmenubar());
        HMENU files = GetSubMenu(there.frame->getactivemenu()->gethandle(), 0);
        auto shown = [&] {
            std::string texts;
            char text[PATHBUFFER] = {};
            for (int i = 0; i < GetMenuItemCount(files); ++i) {
                GetMenuStringA(files, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                texts += std::string(text) + "\n";
            }
            return texts;
        };
        EXPECT_EQ(shown().find("AMPLIFIER"), std::string::npos);
        process.addmrufile("C:\\DESIGNS\\AMPLIFIER.VKTPRJ");
        EXPECT_NE(shown().find("AMPLIFIER"), std::string::npos) << shown();
    });
}

TEST(FrameBars, ARebarAskingToDragABandStartsTheDragOfItsBar)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        const TBBUTTON button { 0, 0x300, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 };
        TOOLBAR* toolbar = frame->addglobaltoolbar(0x1001, "Standard", nullptr, &button, 1);
        frame->restorerebars(nullptr);
        ASSERT_EQ(toolbar->getrebar(), frame->getrebar(0));
        NMREBAR band {};
        band.hdr = { frame->getrebar(0)->hwnd, APPLNFRAME::REBARID, RBN_BEGINDRAG };
        EXPECT_EQ(
            SendMessageA(frame->hwnd, WM_NOTIFY, APPLNFRAME::REBARID, reinterpret_cast<LPARAM>(&band)), 0);
        EXPECT_EQ(GetCapture(), nullptr) << "no bar named";
        band.lParam = reinterpret_cast<LPARAM>(static_cast<CTRLBAR*>(toolbar));
        EXPECT_EQ(
            SendMessageA(frame->hwnd, WM_NOTIFY, APPLNFRAME::REBARID, reinterpret_cast<LPARAM>(&band)), 0);
        EXPECT_EQ(GetCapture(), toolbar->hwnd) << "the bar drags itself";
        SendMessageA(toolbar->hwnd, WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(GetCapture(), nullptr);
    });
}

TEST(FrameWorkspace, TheFramesElementBringsBackItsModulesWindowsAndTheActiveOne)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        APPLNWINDOW* alpha = process.loadmodulewindow("alpha", 1, 0);
        APPLNWINDOW* beta = process.loadmodulewindow("beta", 1, 0);
        ASSERT_TRUE(alpha && beta);
        frame->loadwindow(beta);
        QDomDocument document;
        XML::ELEMENT element = document.createElement("FRAME");
        EXPECT_EQ(frame->savesettings(element), 1);
        QByteArray placement;
        EXPECT_TRUE(element.getbinary("PLACEMENT", placement));
        EXPECT_EQ(placement.size(), 44);
        EXPECT_EQ(element.getinteger("activewindow", -1), 1);
        QStringList modules;
        for (QDomElement each = element.firstChildElement("WINDOW"); !each.isNull();
             each = each.nextSiblingElement("WINDOW"))
            modules << each.attribute("type") + " " + each.attribute("module");
        EXPECT_EQ(modules, QStringList({ "default alpha", "default beta" }));

        frame->closeallwindows();
        deliver();
        ASSERT_EQ(frame->numwindows(), 0);
        EXPECT_EQ(frame->loadsettings(element), 1);
        deliver();
        ASSERT_EQ(frame->numwindows(), 2);
        EXPECT_EQ(frame->getactivewindow(), frame->getwindow(1));
        EXPECT_STREQ(frame->getactivemodule()->getapplnname(), "beta");
    });
}

TEST(FrameWorkspace, AnElementWithNoRestorableWindowSelectsNothing)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        QDomDocument document;
        document.setContent(QString("<FRAME activewindow=\"0\"><WINDOW type=\"default\"/></FRAME>"));
        XML::ELEMENT element(document.documentElement());
        EXPECT_EQ(frame->loadsettings(element), 0);
        MSG queued {};
        EXPECT_FALSE(PeekMessageA(&queued, frame->hwnd, WM_SELECTWINDOW, WM_SELECTWINDOW, PM_NOREMOVE));
    });
}

TEST(FrameWorkspace, AModuleNamedByAPathInTheWorkspaceIsNeverLoaded)
{
    const std::filesystem::path program(programfile());
    const std::filesystem::path copy = vkt::test::makeTempSubfolder("elsewhere") / "evil.so";
    std::filesystem::copy_file(program.parent_path() / "alpha.so", copy);
    const std::string here = program.parent_path().filename().string();
    runwithframe([&](TESTPROCESS& process, APPLNFRAME* frame) {
        for (const std::string& name : { copy.parent_path().string() + "/evil", towindowspath(copy.string()),
                 "../" + here + "/alpha", "..\\" + here + "\\alpha", std::string("alpha.so") }) {
            QDomDocument document;
            XML::ELEMENT element = document.createElement("FRAME");
            element.appendchild("WINDOW").setAttribute("module", QString::fromStdString(name));
            EXPECT_EQ(frame->loadsettings(element), 0) << name;
            EXPECT_EQ(process.nummodules(), 0) << name;
        }
        EXPECT_EQ(GetModuleHandleA(towindowspath(copy.string()).c_str()), nullptr);
        EXPECT_EQ(frame->numwindows(), 0);
    });
}

// A module window that records the keys offered to it and its resizes.
class RECORDING : public APPLNWINDOW {
public:
    int onwantkey(unsigned long key, MSG*) override
    {
        offered.push_back(key);
        return 1;
    }
    void onresize(int, int) override { ++resized; }

    std::vector<unsigned long> offered;
    int resized = 0;
};

TEST(ModuleWindow, KeysHintsSizesAndTheDialogHandleGoWhereTheirMessagesSay)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        RECORDING window;
        window.setowner(&process);
        window.createwindow(frame);
        frame->loadwindow(&window);

        HWND edit = CreateWindowExA(0, wintest::recordingclass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
            window.hwnd, nullptr, nullptr, nullptr);
        wintest::answer() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            return message == WM_GETDLGCODE ? std::optional<LRESULT>(DLGC_WANTCHARS) : std::nullopt;
        };
        SetFocus(edit);
        MSG key {};
        const unsigned long keys[] = { 'A', VK_F1 + 4, KEY_CTRL | 'A' };
        std::vector<LRESULT> answers;
        for (unsigned long code : keys)
            answers.push_back(SendMessageA(window.hwnd, WM_KEYQUERY, code, reinterpret_cast<LPARAM>(&key)));
        wintest::answer() = nullptr;
        EXPECT_EQ(answers, (std::vector<LRESULT> { 0, 4, 4 })) << "the edit keeps a plain letter";
        EXPECT_EQ(window.offered, (std::vector<unsigned long> { VK_F1 + 4, KEY_CTRL | 'A' }));

        const unsigned short newproject = 0x200;
        const unsigned short editing = 0x310; // a context without commands
        window.setcmdctx(editing);
        SendMessageA(window.hwnd, WM_COMMANDHINT, 0, MAKELPARAM(newproject, 0));
        EXPECT_TRUE(window.getstatusbar()->showhint()) << "the global context's hint";
        SendMessageA(window.hwnd, WM_COMMANDHINT, 0, MAKELPARAM(newproject, editing));
        EXPECT_FALSE(window.getstatusbar()->showhint()) << "a context given has no fallback";

        const int resized = window.resized;
        ShowWindow(frame->hwnd, SW_MINIMIZE);
        SendMessageA(window.hwnd, WM_SIZE, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(window.resized, resized) << "not while the frame is minimised";
        ShowWindow(frame->hwnd, SW_RESTORE);

        HWND first = reinterpret_cast<HWND>(0x11);
        EXPECT_EQ(SendMessageA(window.hwnd, WM_EXCHANGEDIALOGHANDLE, reinterpret_cast<WPARAM>(first), 0), 0);
        EXPECT_EQ(
            SendMessageA(window.hwnd, WM_EXCHANGEDIALOGHANDLE, 0x22, 0), reinterpret_cast<LRESULT>(first));
        EXPECT_EQ(SendMessageA(window.hwnd, WM_GETDIALOGHANDLE, 0, 0), 0x22);
    });
}

// The frame's tooltip: the popup of the tooltip class that the frame owns; null when none.
HWND tooltipof(APPLNFRAME* frame)
{
    for (HWND window : win::toplevelwindows()) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (GetWindow(window, GW_OWNER) == frame->hwnd && std::strcmp(name, TOOLTIPS_CLASSA) == 0)
            return window;
    }
    return nullptr;
}

TEST(ModuleWindow, ACommandsTipShowsItsTextAndACommandWithoutOneOrCommandZeroHidesTheTip)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH f(process, frame, { "Schematic" });
        HWND window = f[0].hwnd;
        HWND tooltip = tooltipof(frame);
        ASSERT_NE(tooltip, nullptr);
        auto tools = [&] { return SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0); };
        auto tip = [&](unsigned short id, unsigned short context) {
            SendMessageA(window, WM_COMMANDTIP, reinterpret_cast<WPARAM>(window), MAKELPARAM(id, context));
        };
        const unsigned short newproject = 0x200;
        const unsigned short global = 0x100;
        const unsigned short editing = 0x310; // a context without commands

        tip(newproject, global);
        EXPECT_EQ(tools(), 1);
        tip(newproject, editing);
        EXPECT_EQ(tools(), 0) << "the last command's text is not left over the control";
        tip(newproject, global);
        tip(0, 0);
        EXPECT_EQ(tools(), 0);
    });
}

TEST(ModuleWindow, ACopiedPayloadIsOnlyAStatusTextThatEndsInsideIt)
{
    runwithframe([](TESTPROCESS& process, APPLNFRAME* frame) {
        FRAMEWITH f(process, frame, { "Schematic" });
        HWND window = f[0].hwnd;
        auto copy = [&](ULONG_PTR id, const void* data, DWORD size) {
            COPYDATASTRUCT payload { id, size, const_cast<void*>(data) };
            return SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&payload));
        };
        const char done[] = "Simulation done";
        copy(WM_STATUSTEXT, done, sizeof done);
        EXPECT_STREQ(f[0].getstatusbar()->text(), done);

        const char unterminated[4] = { 'L', 'o', 's', 't' };
        copy(WM_STATUSTEXT, unterminated, sizeof unterminated);
        EXPECT_STREQ(f[0].getstatusbar()->text(), done) << "a text running past its payload";
        HWND forged = reinterpret_cast<HWND>(0x1234);
        copy(WM_EXCHANGEDIALOGHANDLE, &forged, sizeof forged);
        copy(WM_HELPREQUEST, done, sizeof done);
        copy(WM_KEYQUERY, done, sizeof done);
        EXPECT_EQ(SendMessageA(window, WM_GETDIALOGHANDLE, 0, 0), 0) << "other ids are ignored";
    });
}

} // namespace
