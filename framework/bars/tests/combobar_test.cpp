#include "framework/bars/combobar.h"

#include <QComboBox>

#include "framework/bars/tests/bartest.h"
#include "platform/drelm/combobox.h"
#include "platform/ombrel/stringlist.h"
#include "platform/win/tests/recorder.h"

using namespace bartest;
using namespace wintest;

namespace {

STRINGLIST list(std::initializer_list<const char*> items)
{
    STRINGLIST strings;
    for (const char* item : items)
        strings.add(item);
    return strings;
}

// The user picks the item in the bar's drop-down list.
void choose(COMBOBAR* bar, int index)
{
    emit static_cast<QComboBox*>(bar->getcombo()->getwidget())->activated(index);
}

// Two module windows in one frame.
struct ComboBarTest : testing::Test {
    ComboBarTest()
    {
        frame = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        windows[0].hwnd = child(frame, 1, { 0, 0, 250, 300 });
        windows[1].hwnd = child(frame, 2, { 250, 0, 500, 300 });
    }

    FreshQt fresh;
    HWND frame;
    BASEHWND windows[2];
};

TEST_F(ComboBarTest, AChoiceInOneBarSelectsItInEveryBarOfTheSetAndTellsTheFrameOnce)
{
    COMBOBARSET set;
    auto* first = new COMBOBAR(&windows[0], 0x105, 593, &set);
    auto* second = new COMBOBAR(&windows[1], 0x105, 593, &set);
    set.setitemlist(list({ "Base Design", "Assembly A", "Assembly B" }));
    EXPECT_EQ(second->numitems(), 3);
    EXPECT_EQ(second->currentitem(), 0);

    received().clear();
    choose(first, 2);
    EXPECT_EQ(first->currentitem(), 2);
    EXPECT_EQ(second->currentitem(), 2);
    const auto commands = messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].hwnd, frame);
    EXPECT_EQ(commands[0].wParam, 593u + 8192u) << "the item index in bits 12 and up";
    EXPECT_EQ(reinterpret_cast<HWND>(commands[0].lParam), first->gethwnd());

    // A bar that goes leaves the set; the rest keep following it.
    DestroyWindow(second->gethwnd());
    EXPECT_EQ(set.count, 1);
    set.setcurrentitem(1);
    EXPECT_EQ(first->currentitem(), 1);
}

TEST_F(ComboBarTest, AnIndexNoCommandCarriesGoesToTheSetsChoice)
{
    COMBOBARSET set;
    int chosen = -1;
    set.chosen = [&](int index) { chosen = index; };
    auto* bar = new COMBOBAR(&windows[0], 0x105, 594, &set);
    STRINGLIST many;
    for (int i = 0; i < 20; ++i)
        many.add(("Board " + std::to_string(i)).c_str());
    bar->setitems(many);
    received().clear();
    choose(bar, 17);
    EXPECT_TRUE(messagesof(WM_COMMAND).empty());
    EXPECT_EQ(chosen, 17);
    EXPECT_EQ(bar->currentitem(), 17);
}

TEST_F(ComboBarTest, SelectingPastTheLastItemSelectsTheFirstAndAnEmptyBarNothing)
{
    auto* bar = new COMBOBAR(&windows[0], 0x105, 593, nullptr);
    bar->selectitem(5);
    EXPECT_EQ(bar->currentitem(), -1);
    bar->setitems(list({ "a", "b", "c" }));
    bar->selectitem(2);
    bar->selectitem(5);
    EXPECT_EQ(bar->currentitem(), 0);
}

TEST_F(ComboBarTest, TheListIsAsWideAsItsWidestItemAndAtMost200WhenTheBarIsWider)
{
    auto* bar = new COMBOBAR(&windows[0], 0x105, 593, nullptr);
    bar->setitems(list({ "x", "A much longer assembly variant name" }));
    auto width = [](HWND window) {
        RECT area {};
        GetWindowRect(window, &area);
        return area.right - area.left;
    };
    HWND control = bar->getcombo()->gethwnd();
    EXPECT_GT(width(bar->gethwnd()), 203);
    EXPECT_EQ(width(control), 200);
    bar->setitems(list({ "x", "Assembly A" }));
    EXPECT_EQ(width(bar->gethwnd()), width(control) + 3);
    EXPECT_LT(width(control), 200);
    MoveWindow(bar->gethwnd(), 0, 0, 500, 24, TRUE);
    EXPECT_EQ(width(control), 200);
}

TEST_F(ComboBarTest, ASetHidesAndShowsEveryBar)
{
    COMBOBARSET set;
    auto* first = new COMBOBAR(&windows[0], 0x105, 593, &set);
    auto* second = new COMBOBAR(&windows[1], 0x105, 593, &set);
    set.setvisible(0);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    set.setvisible(1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
}

} // namespace
