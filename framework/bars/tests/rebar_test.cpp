#include "framework/bars/ctrlbar.h"

#include <array>

#include "framework/bars/tests/bartest.h"
#include "platform/win/window.h"

using namespace bartest;

namespace {

// A plain bar of a given size.
struct PLAINBAR : CTRLBAR {
    PLAINBAR(BASEHWND* parent, unsigned id, int width, int height, int verticaldocking)
        : CTRLBAR(parent, id, verticaldocking)
    {
        sizeto(width, height, 0);
    }
};

constexpr const char* sides[] = { "Top", "Bottom", "Left", "Right" };

unsigned long savedvalue(const char* key, const char* name)
{
    unsigned long value = 0;
    HKEY previous = reg_setrootkey(HKEY_CURRENT_USER);
    EXPECT_TRUE(reg_getval(key, name, &value)) << key << " " << name;
    reg_setrootkey(previous);
    return value;
}

TEST(Rebar, AnEmptyRebarKeepsItsPlaceholderUntilABarDocksAndAfterTheLastLeaves)
{
    wintest::FreshQt fresh;
    TESTFRAME test;
    REBAR& top = *test.frame.getrebar(0);
    EXPECT_EQ(top.height(), 4);
    EXPECT_TRUE(top.isempty());
    EXPECT_FALSE(top.isvertical());
    EXPECT_TRUE(test.frame.getrebar(2)->isvertical());

    auto* bar = new PLAINBAR(&test.frame, 0x2001, 100, 20, 1);
    auto* other = new PLAINBAR(&test.frame, 0x2002, 80, 24, 1);
    EXPECT_EQ(test.frame.getctrlbar(0x2001), bar);
    bar->attach(&top, -1);
    EXPECT_EQ(bar->getrebar(), &top);
    EXPECT_EQ(GetParent(bar->gethwnd()), top.gethwnd());
    EXPECT_TRUE(IsWindowVisible(bar->gethwnd()));
    EXPECT_FALSE(top.isempty());
    EXPECT_TRUE(test.band(0, 0).fStyle & RBBS_HIDDEN) << "the placeholder hides";
    EXPECT_EQ(test.band(0, 1).lParam, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(
        test.band(0, 1).fStyle & (RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS), RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS);
    EXPECT_EQ(top.height(), 20 + 4) << "the bar's height inside the child edges";

    bar->attach(test.frame.getrebar(1), -1);
    EXPECT_EQ(test.bands(1), 1) << "a docked bar stays where it is";
    test.frame.attach(other, 0, -1);
    EXPECT_EQ(test.bands(0), 3);
    top.detach(bar);
    EXPECT_EQ(bar->getrebar(), nullptr);
    EXPECT_EQ(GetParent(bar->gethwnd()), test.frame.gethwnd()) << "back in the window it was made in";
    EXPECT_FALSE(IsWindowVisible(bar->gethwnd()));
    EXPECT_TRUE(test.band(0, 0).fStyle & RBBS_HIDDEN) << "another bar is still there";
    test.frame.detach(other);
    EXPECT_FALSE(test.band(0, 0).fStyle & RBBS_HIDDEN);
    EXPECT_EQ(top.height(), 4);

    bar->attach(&top, -1);
    other->attach(&top, -1);
    top.adddummyband();
    top.detachall();
    EXPECT_EQ(test.bands(0), 1);
    EXPECT_FALSE(test.band(0, 0).fStyle & RBBS_HIDDEN);
    EXPECT_EQ(other->getrebar(), nullptr);

    // A bar that goes while docked takes its band with it.
    other->attach(&top, -1);
    DestroyWindow(other->gethwnd());
    EXPECT_EQ(test.bands(0), 1);
    EXPECT_EQ(test.frame.getctrlbar(0x2002), nullptr);
}

TEST(Rebar, ABarShowsAndHidesItsBandAndKeepsTheFlag)
{
    wintest::FreshQt fresh;
    TESTFRAME test;
    auto* bar = new PLAINBAR(&test.frame, 0x2001, 100, 20, 1);
    bar->hide();
    EXPECT_FALSE(bar->isVisible());
    bar->attach(test.frame.getrebar(1), -1);
    EXPECT_TRUE(bar->isVisible()) << "docking shows the bar";
    bar->show(0);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(test.band(1, 1).fStyle & RBBS_HIDDEN);
    EXPECT_FALSE(IsWindowVisible(bar->gethwnd()));
    bar->show(1);
    EXPECT_FALSE(test.band(1, 1).fStyle & RBBS_HIDDEN);
}

// The drag of a bar between rebars, with the pointer taken to a point of the frame.
struct DRAG {
    TESTFRAME& test;
    CTRLBAR& bar;
    void to(int side)
    {
        RECT area {};
        GetWindowRect(test.rebarwindow(side), &area);
        tagPOINT middle { (area.left + area.right) / 2, (area.top + area.bottom) / 2 };
        win::postmouse(WM_MOUSEMOVE, middle, MK_LBUTTON, 0, bar.gethwnd());
        while (win::deliverqueued()) { }
    }
    void drop()
    {
        tagPOINT at {};
        GetCursorPos(&at);
        win::postmouse(WM_LBUTTONUP, at, 0, 0, bar.gethwnd());
        while (win::deliverqueued()) { }
    }
};

TEST(Rebar, ADraggedBarDropsAtTheEndOfAnotherRebarThatMayTakeIt)
{
    wintest::FreshQt fresh;
    TESTFRAME test;
    auto* flat = new PLAINBAR(&test.frame, 0x2001, 100, 20, 0);
    auto* upright = new PLAINBAR(&test.frame, 0x2002, 100, 20, 1);
    auto* resident = new PLAINBAR(&test.frame, 0x2003, 20, 60, 1);
    flat->attach(test.frame.getrebar(0), -1);
    upright->attach(test.frame.getrebar(0), -1);
    resident->attach(test.frame.getrebar(2), -1);

    flat->begindrag();
    EXPECT_EQ(GetCapture(), flat->gethwnd());
    DRAG drag { test, *flat };
    drag.to(2);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_NO)) << "a flat bar does not dock at the side";
    drag.drop();
    EXPECT_EQ(flat->getrebar(), test.frame.getrebar(0));
    EXPECT_EQ(GetCapture(), nullptr);

    upright->begindrag();
    DRAG second { test, *upright };
    second.to(0);
    EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_HAND)) << "over its own rebar the band moves";
    second.to(2);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    second.drop();
    EXPECT_EQ(upright->getrebar(), test.frame.getrebar(2));
    EXPECT_EQ(test.band(2, 2).lParam, reinterpret_cast<LPARAM>(upright)) << "appended as the last band";
    EXPECT_EQ(test.bands(0), 2);
}

TEST(Rebar, TheBandsAreSavedPerWindowAndSideAndComeBackAfterARestart)
{
    // The same four bars in each run of the program.
    auto makebars = [](TESTFRAME& test) {
        return std::array<CTRLBAR*, 4> { new PLAINBAR(&test.frame, 0x2001, 100, 20, 1),
            new PLAINBAR(&test.frame, 0x2002, 120, 22, 1), new PLAINBAR(&test.frame, 0x2003, 20, 90, 1),
            new PLAINBAR(&test.frame, 0x2004, 200, 18, 0) };
    };
    {
        wintest::FreshQt fresh;
        TESTFRAME test;
        auto [a, b, c, d] = makebars(test);
        a->attach(test.frame.getrebar(0), -1);
        b->attach(test.frame.getrebar(0), -1);
        c->attach(test.frame.getrebar(3), -1);
        d->attach(test.frame.getrebar(1), -1);
        d->hide();
        for (int side = 0; side < 4; ++side)
            test.frame.getrebar(side)->save("TESTWIN", sides[side]);
        EXPECT_EQ(savedvalue("Rebars\\TESTWIN\\Top\\Band1", "Id"), 0x2001u);
        EXPECT_EQ(savedvalue("Rebars\\TESTWIN\\Top\\Band2", "Id"), 0x2002u);
        EXPECT_EQ(savedvalue("Rebars\\TESTWIN\\Right\\Band1", "Id"), 0x2003u);
        EXPECT_TRUE(savedvalue("Rebars\\TESTWIN\\Bottom\\Band1", "Style") & RBBS_HIDDEN);
        EXPECT_EQ(savedvalue("Rebars\\TESTWIN\\Top\\Band2", "Size"), test.band(0, 2).cx);
        // Saving again replaces what was there.
        b->hide();
        test.frame.getrebar(0)->detach(b);
        test.frame.getrebar(0)->save("TESTWIN", "Top");
    }
    wintest::FreshQt fresh;
    TESTFRAME test;
    auto [a, b, c, d] = makebars(test);
    d->hide();
    for (int side = 0; side < 4; ++side)
        test.frame.getrebar(side)->restore("TESTWIN", sides[side]);
    EXPECT_EQ(a->getrebar(), test.frame.getrebar(0));
    EXPECT_TRUE(a->isRestored());
    EXPECT_EQ(b->getrebar(), nullptr) << "left out of the second save";
    EXPECT_EQ(c->getrebar(), test.frame.getrebar(3));
    EXPECT_EQ(d->getrebar(), test.frame.getrebar(1));
    EXPECT_FALSE(d->isVisible()) << "a hidden bar comes back hidden";
    EXPECT_TRUE(test.band(1, 1).fStyle & RBBS_HIDDEN);
    EXPECT_TRUE(a->isVisible());
}

TEST(Rebar, TheRestoreWalkStopsAtAMissingIdOrAfterTheEndMarkAndSkipsUnknownBars)
{
    wintest::FreshQt fresh;
    TESTFRAME test;
    auto* a = new PLAINBAR(&test.frame, 0x2001, 100, 20, 1);
    auto* b = new PLAINBAR(&test.frame, 0x2002, 100, 20, 1);
    auto* c = new PLAINBAR(&test.frame, 0x2003, 100, 20, 1);
    auto* d = new PLAINBAR(&test.frame, 0x2004, 100, 20, 1);
    struct {
        const char* band;
        unsigned long id;
        long size; // -1: none saved
    } saved[] = {
        { "Band1", 0x2003, 150 },
        { "Band2", 0x2001, -1 }, // takes the size read for the band before
        { "Band3", 0x2777, 300 }, // no such bar: skipped, nothing read
        { "Band4", 0x2004, 130 },
        { "Band5", 0xFFFFFFFF, 10 }, // ends the walk after itself
        { "Band6", 0x2002, 90 },
    };
    HKEY previous = reg_setrootkey(HKEY_CURRENT_USER);
    reg_removekey("Rebars\\WALK");
    for (const auto& band : saved) {
        std::string key = std::string("Rebars\\WALK\\Top\\") + band.band;
        reg_putval(key.c_str(), "Id", static_cast<DWORD>(band.id));
        if (band.size >= 0)
            reg_putval(key.c_str(), "Size", static_cast<DWORD>(band.size));
        reg_putval(key.c_str(), "Style", RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS);
    }
    reg_putval("Rebars\\WALK\\Bottom\\Band2", "Id", 0x2002);
    reg_setrootkey(previous);

    test.frame.getrebar(0)->restore("WALK", "Top");
    test.frame.getrebar(1)->restore("WALK", "Bottom");
    ASSERT_EQ(test.bands(0), 4);
    EXPECT_EQ(test.band(0, 1).lParam, reinterpret_cast<LPARAM>(c));
    EXPECT_EQ(test.band(0, 2).lParam, reinterpret_cast<LPARAM>(a));
    EXPECT_EQ(test.band(0, 2).cx, 150u);
    EXPECT_EQ(test.band(0, 3).lParam, reinterpret_cast<LPARAM>(d));
    EXPECT_EQ(b->getrebar(), nullptr) << "after the end mark, and on a side without a first band";
}

} // namespace
