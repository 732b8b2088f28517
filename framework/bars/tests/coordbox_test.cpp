#include "framework/bars/coordbox.h"

#include "framework/bars/tests/bartest.h"
#include "framework/context/applncontext.h"
#include "platform/win/gdi.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/winqt.h"

using namespace bartest;
using namespace wintest;

namespace {

struct COUNTEDBOX : COORDBOX {
    using COORDBOX::COORDBOX;
    void onpaint(HDC dc) override
    {
        ++paints;
        COORDBOX::onpaint(dc);
    }
    int paints = 0;
};

struct CoordBoxTest : testing::Test {
    CoordBoxTest()
    {
        parent.hwnd = toplevel(100, 100, 600, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        box = new COUNTEDBOX(&parent, 4);
        ShowWindow(box->gethwnd(), SW_SHOW);
    }
    // Whether the call repainted the box.
    template <typename Call> bool repaints(Call call)
    {
        int before = box->paints;
        call();
        return box->paints > before;
    }

    FreshQt fresh;
    SCREENAT screen { 96 };
    BASEHWND parent;
    COUNTEDBOX* box;
};

TEST_F(CoordBoxTest, FieldsRepaintWhenTheyChangeAndIdenticalUnitsDoNot)
{
    box->setunitwidth(30);
    box->resize();
    EXPECT_TRUE(repaints([&] { box->update(true, "+1.000", "-2.500", "3.000", "mm", RGB(0, 128, 0), 0); }));
    EXPECT_TRUE(repaints([&] { box->update(true, "+1.000", "-2.500", nullptr, "mm", RGB(0, 128, 0), 0); }))
        << "the dist field goes";
    EXPECT_TRUE(repaints([&] { box->update(true, nullptr, nullptr, nullptr, "mm", 0, 0); }));
    EXPECT_FALSE(repaints([&] { box->update(false, nullptr, nullptr, nullptr, "mm", 0, 0); }))
        << "identical units alone do not repaint";
    EXPECT_TRUE(repaints([&] { box->update(false, nullptr, nullptr, nullptr, "in", 0, 0); }));
    EXPECT_TRUE(repaints([&] { box->clear(); }));
    EXPECT_FALSE(repaints([&] { box->clear(); })) << "nothing was shown";
    box->setunitwidth(0);
    EXPECT_FALSE(repaints([&] { box->update(false, nullptr, nullptr, nullptr, "cm", 0, 0); }))
        << "without a unit field the units do not count";
}

TEST_F(CoordBoxTest, TheBoxFitsTheSampleAndShowsDistInItsBlue)
{
    box->setunitwidth(30);
    BOX size = box->resize();
    const int sample = box->gettextwidth("x: +9999.999 y: +9999.999 dist: +9999.999 ");
    EXPECT_EQ(size.width() + 1, 30 + 2 * 8 + sample);
    EXPECT_GT(size.height(), 8);

    box->update(true, nullptr, nullptr, "12.500", nullptr, 0, 0);
    QImage shown = winqt::grabwindow(box->gethwnd());
    bool blue = false;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            QColor c = shown.pixelColor(x, y);
            blue |= c.blue() > 150 && c.red() < 80 && c.green() < 80;
        }
    EXPECT_TRUE(blue) << "the dist field in RGB(0, 0, 192)";
}

TEST_F(CoordBoxTest, ARightDoubleClickGoesToTheWindow)
{
    box->resize();
    received().clear();
    mouse(box->gethwnd(), WM_RBUTTONDBLCLK, 3, 3, MK_RBUTTON);
    mouse(box->gethwnd(), WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    EXPECT_EQ(
        sequence(parent.hwnd,
            { COORDBOX_LBUTTONDOWN, COORDBOX_LBUTTONDBLCLK, COORDBOX_RBUTTONDOWN, COORDBOX_RBUTTONDBLCLK }),
        (std::vector<UINT> { COORDBOX_RBUTTONDBLCLK, COORDBOX_LBUTTONDOWN }));
}

} // namespace
