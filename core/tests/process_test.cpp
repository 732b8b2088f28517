#include "core/windows/process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "core/windows/applncontext.h"
#include "core/windows/stringtable.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"
#include "platform/win/window.h"
#include "testsupport/deliberate_faults.h"
#include "testsupport/sanitizers.h"

using testing::AllOf;
using testing::ContainsRegex;
using testing::HasSubstr;
using testing::Not;

namespace {

// Each fatal case runs in a child: the test program started again for that one test.
class Fatal : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

volatile size_t enormous = SIZE_MAX / 2;
void* volatile kept = nullptr;

void sayso(CRASHREPORT* record)
{
    fprintf(stderr, "callback saw: %s\n", record->text);
}

std::vector<std::pair<UINT, WPARAM>> received;

LRESULT recordingprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back({ message, wParam });
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makewindow(HWND parent = nullptr)
{
    WNDCLASSEXA windowclass {};
    windowclass.cbSize = sizeof windowclass;
    windowclass.lpfnWndProc = recordingprocedure;
    windowclass.lpszClassName = "PumpTestWindow";
    RegisterClassExA(&windowclass);
    DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    return CreateWindowExA(0, "PumpTestWindow", "", style, 0, 0, 100, 100, parent, nullptr, nullptr, nullptr);
}

std::vector<UINT> messagesseen()
{
    std::vector<UINT> ids;
    for (const auto& [message, wParam] : received)
        if (message >= WM_KEYFIRST || message == WM_NCMOUSEFIRST)
            ids.push_back(message);
    return ids;
}

} // namespace

TEST_F(Fatal, OutOfMemoryEndsWithTheReportText)
{
    if (vkt::test::addresssanitizer)
        GTEST_SKIP() << "the address sanitizer's allocator ends the process itself, past any handler";
    EXPECT_EXIT(
        {
            installfatalhandlers();
            []() noexcept { kept = ::operator new(enormous); }();
        },
        testing::ExitedWithCode(1), "Fatal Error: Internal exception: out of memory\\.");
}

TEST_F(Fatal, FaultsEndWithTheirReportText)
{
    struct {
        void (*fault)();
        const char* text;
    } cases[] = {
        { vkt::test::writenull,
            "Fatal Error: Internal Exception: access violation in module 'core_tests' \\[[0-9A-F]{8}\\]\\." },
        { vkt::test::dividebyzero,
            "Fatal Error: Internal Exception: divide by zero in module 'core_tests' \\[[0-9A-F]{8}\\]\\." },
        { vkt::test::overflowstack,
            "Fatal Error: Internal Exception: stack overflow in module 'core_tests' \\[[0-9A-F]{8}\\]\\." },
        { vkt::test::readnullinclibrary,
            "Fatal Error: Internal Exception: access violation in module 'libc.so.6' \\[[0-9A-F]{8}\\]\\." },
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                installfatalhandlers();
                c.fault();
            },
            testing::ExitedWithCode(1), c.text);
    }
}

TEST_F(Fatal, TheCallbackRunsOnceAndQuietKeepsTheBoxAway)
{
    EXPECT_EXIT(
        {
            installfatalhandlers();
            crashreport.callback = sayso;
            crashreport.quiet = 1;
            vkt::test::writenull();
        },
        testing::ExitedWithCode(1),
        AllOf(
            HasSubstr("callback saw: Internal Exception: access violation"), Not(HasSubstr("Fatal Error"))));
    EXPECT_EXIT(
        {
            installfatalhandlers();
            crashreport.callback = sayso;
            crashreport.passon = 1;
            vkt::test::writenull();
        },
        testing::KilledBySignal(SIGSEGV), HasSubstr("callback saw"))
        << "passed on, the fault takes its default course";
    EXPECT_EXIT(
        {
            installfatalhandlers();
            crashreport.callback = sayso;
            strcpy(crashreport.text, "thrown text");
            fatalexit(crashreport, LANGUAGEEXCEPTION, nullptr);
        },
        testing::ExitedWithCode(1),
        AllOf(HasSubstr("callback saw: thrown text"), HasSubstr("Fatal Error: thrown text")));
    EXPECT_EXIT(
        {
            installfatalhandlers();
            crashreport.callback = sayso;
            crashreport.handled = 1;
            vkt::test::writenull();
        },
        testing::ExitedWithCode(1), AllOf(Not(HasSubstr("callback saw")), HasSubstr("Fatal Error")));
}

TEST_F(Fatal, AnUncaughtFatalTextEndsTheProcess)
{
    EXPECT_EXIT(
        {
            installfatalhandlers();
            []() noexcept { throwfatal(crashreport, 5, "Netlist '%s' is damaged.", "amp"); }();
        },
        testing::ExitedWithCode(1), "Fatal Error: Netlist 'amp' is damaged\\.");
}

TEST(Process, TheFaultModuleIsTheOneHoldingTheAddress)
{
    CRASHREPORT record {};
    record.faultaddress = reinterpret_cast<uintptr_t>(&GetModuleHandleA);
    findfaultmodule(record);
    EXPECT_STREQ(record.modulename, "libcore.so");
    EXPECT_EQ(record.modulebase, reinterpret_cast<uintptr_t>(GetModuleHandleA("core")));
    record.faultaddress = 0x10;
    findfaultmodule(record);
    EXPECT_STREQ(record.modulename, "UNKNOWN");
    EXPECT_EQ(record.modulebase, 0u);
}

TEST(Process, PumpingDropsTheUsersInputAndDispatchesTheRest)
{
    received.clear();
    HWND window = makewindow();
    ASSERT_NE(window, nullptr);
    auto postall = [&] {
        PostMessageA(window, WM_KEYDOWN, 'A', 1);
        PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
        PostMessageA(window, WM_NCMOUSEFIRST, 0, 0);
        PostMessageA(window, WM_SYSKEYUP, 'B', 1);
        PostMessageA(window, WM_USER, 0, 0);
        SetTimer(window, 9, 1, nullptr);
    };
    postall();
    usleep(20000); // the timer falls due
    EXPECT_EQ(pumpmessages(0, 0, 0, 0), 1);
    KillTimer(window, 9);
    EXPECT_EQ(messagesseen(), (std::vector<UINT> { WM_USER, WM_TIMER }));
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE)) << "the input was taken from the queue";
    EXPECT_EQ(pumpmessages(0, 0, 0, 0), 0) << "an empty queue";

    received.clear();
    postall();
    KillTimer(window, 9);
    EXPECT_EQ(pumpmessages(1, 0, WM_USER + 10, WM_USER + 20), 0) << "nothing in that range";
    EXPECT_EQ(pumpmessages(1, 0, WM_USER, WM_USER), 1);
    EXPECT_EQ(messagesseen(), std::vector<UINT> { WM_USER });
    EXPECT_EQ(pumpmessages(1, 0, 0, 0), 1);
    std::vector<UINT> everything { WM_USER, WM_KEYDOWN, WM_LBUTTONDOWN, WM_NCMOUSEFIRST, WM_SYSKEYUP,
        WM_CHAR };
    EXPECT_EQ(messagesseen(), everything) << "all: the key is translated too";

    received.clear();
    PostMessageA(window, WM_USER + 1, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(pumpmessages(0, 1, 0, 0), 1) << "waiting, until the quit";
    EXPECT_EQ(messagesseen(), std::vector<UINT> { WM_USER + 1 });
    DestroyWindow(window);
}

TEST(Process, AModelessDialogSeesItsMessagesFirst)
{
    received.clear();
    HWND dialog = makewindow();
    HWND control = makewindow(dialog);
    EXPECT_EQ(setmodelessdialog(dialog), nullptr);
    PostMessageA(control, WM_USER + 2, 7, 0);
    EXPECT_EQ(pumpmessages(0, 0, 0, 0), 1);
    EXPECT_EQ(received.back(), (std::pair<UINT, WPARAM> { WM_USER + 2, 7 }));
    EXPECT_EQ(setmodelessdialog(nullptr), dialog);
    EXPECT_EQ(getmodelessdialog(), nullptr);
    DestroyWindow(dialog);
}

TEST(Process, WaitingLeavesMessagesQueuedAndEndsOnTime)
{
    HWND window = makewindow();
    PostMessageA(window, WM_USER + 3, 0, 0);
    DWORD start = GetTickCount();
    waitticks(60);
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 60u);
    EXPECT_LT(waited, 5000u) << "a queued message must not stretch the wait";
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 3u);
    start = GetTickCount();
    waitticks(0);
    EXPECT_LT(GetTickCount() - start, 1000u);
    DestroyWindow(window);
}

TEST(Process, ApplicationMessagesAreWrittenLineByLine)
{
    STRINGTABLE table;
    ASSERT_EQ(table.load("MESSAGES", GetModuleHandleA(nullptr)), 1);
    APPLNCONTEXT context {};
    context.stringtable = &table;
    APPLNCONTEXT* previous = setapplncontext(&context);

    std::ostringstream out;
    writeapplnmessage(out, 100, "X", 5);
    EXPECT_EQ(out.str(), "first line\nsecond X line 5");
    out.str("");
    writeapplnmessage(out, 101);
    EXPECT_EQ(out.str(), "ends with a line feed\n");
    out.str("");
    writeapplnmessage(out, 100, std::string(2000, 'x').c_str(), 1);
    EXPECT_EQ(out.str().size(), 1023u);
    out.str("");
    writeapplnmessage(out, 999);
    EXPECT_EQ(out.str(), "");
    setapplncontext(previous);
}

TEST(Process, VersionsOfModulesAndFiles)
{
    VERSIONINFO version {};
    ASSERT_EQ(getversioninfo("core_tests", &version), 1);
    EXPECT_EQ(version.major, 2);
    EXPECT_EQ(version.minor, 5);
    EXPECT_EQ(version.build, 17);
    EXPECT_EQ(version.revision, 300);

    char path[300];
    ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
    version = {};
    ASSERT_EQ(getversioninfo(path, &version), 1) << "by the file's path";
    EXPECT_EQ(version.revision, 300);

    VERSIONINFO untouched { 9, 9, 9, 9 };
    EXPECT_EQ(getversioninfo("core", &untouched), 0) << "a module without a version";
    EXPECT_EQ(untouched.major, 9);
    EXPECT_EQ(getversioninfo("\\no\\such\\file.so", &untouched), 0);
}
