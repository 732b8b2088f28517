#include "core/windows/windowpos.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>

#include "core/windows/applncontext.h"
#include "core/windows/registry.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"
#include "testsupport/temp_folder.h"

namespace {

const char* windowclass()
{
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = DefWindowProcA;
    c.lpszClassName = "PositionedWindow";
    RegisterClassExA(&c);
    return c.lpszClassName;
}

// Two monitors side by side; a registry of the test's own in the thread's context.
class WindowPositions : public testing::Test {
protected:
    void SetUp() override
    {
        auto folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("VKT_REGISTRY_DIR", folder.c_str(), 1);
        context.registry = &registry;
        previous = setapplncontext(&context);
        win::overridemonitors(twomonitors);
    }

    void TearDown() override
    {
        DestroyWindow(window);
        win::overridemonitors(std::nullopt);
        setapplncontext(previous);
    }

    HWND shown(int x, int y, int width, int height)
    {
        window = CreateWindowExA(0, windowclass(), "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr,
                                 nullptr, nullptr, nullptr);
        return window;
    }

    const std::vector<win::Monitor> twomonitors{
        {RECT{0, 0, 1600, 1200}, RECT{0, 0, 1600, 1160}, true, 96},
        {RECT{1600, 0, 3520, 1080}, RECT{1600, 0, 3520, 1080}, false, 96},
    };
    REGISTRY32 registry{REGISTRY_USERTHENMACHINE, "Software\\Maker\\Positions"};
    APPLNCONTEXT context{};
    APPLNCONTEXT* previous = nullptr;
    HWND window = nullptr;
};

RECT rectof(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

}  // namespace

TEST_F(WindowPositions, APlacementOnAMonitorThatIsGoneComesBackOntoOneThatIsThere)
{
    HWND w = shown(3000, 500, 800, 400);  // on the second monitor, partly off its right edge
    ASSERT_EQ(savewindowpos(w, "Main Frame 1.0"), 1);
    EXPECT_EQ(reg_getsize("Window Positions", "MainFrame10"), 44) << "stored under letters and digits only";

    win::overridemonitors(std::vector<win::Monitor>{twomonitors[0]});
    MoveWindow(w, 10, 10, 100, 100, TRUE);
    ASSERT_EQ(loadwindowpos(w, "MainFrame1.0"), 1) << "the same name after filtering";
    RECT r = rectof(w);
    EXPECT_EQ(r.right - r.left, 800) << "the size is kept";
    EXPECT_EQ(r.bottom - r.top, 400);
    EXPECT_EQ(r.right, 1600) << "pulled left onto the primary work area";
    EXPECT_EQ(r.top, 500);
}

TEST_F(WindowPositions, AMaximisedWindowReopensMaximisedAndHiddenOrMinimisedOnesAreNotStored)
{
    HWND w = shown(100, 100, 400, 300);
    ShowWindow(w, SW_SHOWMAXIMIZED);
    ASSERT_EQ(savewindowpos(w, "Frame"), 1);
    ShowWindow(w, SW_SHOWNORMAL);
    ASSERT_EQ(loadwindowpos(w, "Frame"), 1);
    EXPECT_TRUE(IsZoomed(w));

    ShowWindow(w, SW_MINIMIZE);
    EXPECT_EQ(savewindowpos(w, "Other"), 0);
    ShowWindow(w, SW_HIDE);
    EXPECT_EQ(savewindowpos(w, "Other"), 0);
    EXPECT_EQ(reg_getsize("Window Positions", "Other"), -1);
    EXPECT_EQ(savewindowpos(w, ""), 0);
    EXPECT_EQ(loadwindowpos(w, "Other"), 0);
}

TEST_F(WindowPositions, ValuesOfAnotherSizeOrLengthAreIgnored)
{
    HWND w = shown(100, 100, 400, 300);
    WINDOWPLACEMENT record{};
    record.length = 44;
    record.showCmd = SW_SHOWNORMAL;
    record.rcNormalPosition = RECT{0, 0, 10, 10};
    ASSERT_EQ(reg_putbin("Window Positions", "Short", &record, 40), 1);
    record.length = 40;
    ASSERT_EQ(reg_putbin("Window Positions", "BadLength", &record, 44), 1);
    EXPECT_EQ(loadwindowpos(w, "Short"), 0);
    EXPECT_EQ(loadwindowpos(w, "BadLength"), 0);
    EXPECT_EQ(rectof(w).left, 100) << "left alone";
    context.registry = nullptr;
    EXPECT_EQ(savewindowpos(w, "Frame"), 0) << "no registry object";
}

TEST_F(WindowPositions, FittingToTheScreen)
{
    struct Case {
        RECT in;
        RECT out;
        int moved;
    } cases[] = {
        {{100, 100, 500, 400}, {100, 100, 500, 400}, 0},
        {{-50, -20, 350, 280}, {0, 0, 400, 300}, 1},
        {{1500, 1000, 1700, 1300}, {1400, 860, 1600, 1160}, 1},  // nearest: the primary
        {{3400, 50, 3600, 150}, {3320, 50, 3520, 150}, 1},       // nearest: the second
        {{10, 10, 2010, 1510}, {0, 0, 2000, 1500}, 1},           // too big: against the left and top
    };
    for (const auto& c : cases) {
        RECT r = c.in;
        EXPECT_EQ(fittoscreen(&r), c.moved) << c.in.left;
        EXPECT_EQ(r.left, c.out.left) << c.in.left;
        EXPECT_EQ(r.top, c.out.top) << c.in.left;
        EXPECT_EQ(r.right, c.out.right) << c.in.left;
        EXPECT_EQ(r.bottom, c.out.bottom) << c.in.left;
    }
}

TEST_F(WindowPositions, PlacementsAtTheEndsOfTheCoordinateRangeAreFittedInWideArithmetic)
{
    constexpr LONG most = std::numeric_limits<LONG>::max();
    constexpr LONG least = std::numeric_limits<LONG>::min();
    struct Case {
        RECT in;
        RECT out;
    } cases[] = {
        {{least, least, most, most}, {1600, 0, most, most}},   // wider than the range: cut to fit
        {{most, most, least, least}, {1600, 1160, 1600, 1160}}, // a negative size: none
        {{most - 10, most - 10, most, most}, {3510, 1070, 3520, 1080}},
        {{least, least, least + 100, least + 100}, {0, 0, 100, 100}},
    };
    for (const auto& c : cases) {
        RECT r = c.in;
        EXPECT_EQ(fittoscreen(&r), 1) << c.in.left << " " << c.in.right;
        EXPECT_EQ(r.left, c.out.left) << c.in.left << " " << c.in.right;
        EXPECT_EQ(r.top, c.out.top) << c.in.left << " " << c.in.right;
        EXPECT_EQ(r.right, c.out.right) << c.in.left << " " << c.in.right;
        EXPECT_EQ(r.bottom, c.out.bottom) << c.in.left << " " << c.in.right;
    }
}

TEST_F(WindowPositions, HostilePlacementsInTheSettingsOpenTheWindowOnTheScreen)
{
    std::filesystem::copy_file(VKT_TEST_SOURCE_DIR "/damaged/windowpositions.reg",
                               std::filesystem::path(getenv("VKT_REGISTRY_DIR")) / "user.reg");
    HWND w = shown(100, 100, 400, 300);
    for (const char* name : {"Widest", "Inverted", "FarRight", "FarLeft"}) {
        ASSERT_EQ(loadwindowpos(w, name), 1) << name;
        RECT r = rectof(w);
        EXPECT_TRUE(r.left >= 0 && r.left <= 3520 && r.top >= 0 && r.top <= 1160) << name << " at " << r.left
                                                                                   << "," << r.top;
        EXPECT_GE(r.right, r.left) << name;
        EXPECT_GE(r.bottom, r.top) << name;
    }
}

TEST_F(WindowPositions, Ancestry)
{
    HWND frame = shown(0, 0, 300, 300);
    HWND panel = CreateWindowExA(0, windowclass(), "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 10, 10, frame, nullptr,
                                 nullptr, nullptr);
    HWND button = CreateWindowExA(0, windowclass(), "", WS_CHILD, 0, 0, 5, 5, panel, nullptr, nullptr, nullptr);
    HWND dialog = CreateWindowExA(0, windowclass(), "", WS_POPUP, 0, 0, 50, 50, frame, nullptr, nullptr, nullptr);

    EXPECT_EQ(findparentwithstyle(button, WS_CLIPCHILDREN, 0), panel);
    EXPECT_EQ(findparentwithstyle(button, WS_CAPTION, 0), frame);
    EXPECT_EQ(findparentwithstyle(dialog, WS_CAPTION, 0), frame) << "a popup's parent is its owner";
    EXPECT_EQ(findparentwithstyle(button, WS_CHILD, WS_CLIPCHILDREN), nullptr);
    EXPECT_EQ(findparentwithstyle(panel, WS_CLIPCHILDREN, 0), nullptr) << "the window itself is not tested";
    EXPECT_EQ(IsParentWindow(frame, button), 1);
    EXPECT_EQ(IsParentWindow(frame, dialog), 1) << "through the owner";
    EXPECT_EQ(IsParentWindow(button, button), 0);
    EXPECT_EQ(IsParentWindow(dialog, button), 0);
}
