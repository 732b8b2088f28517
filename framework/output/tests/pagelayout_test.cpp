#include <gtest/gtest.h>

#include "framework/output/pagelayout.h"

namespace {

// An A4 page at 300 dots per inch with a quarter-inch printer margin, an output of 1000 by 600.
PAGELAYOUT a4()
{
    PAGELAYOUT layout;
    layout.setpage(2480, 3508, 75, 75, 75, 75);
    layout.setoutputsize(100, 100, 1000, 600);
    return layout;
}

} // namespace

TEST(PageLayout, MapsTheWholePageIntoTheClientArea)
{
    PAGELAYOUT layout = a4();
    layout.setclient(210, 310); // a drawing area of 200 x 300: the width decides
    EXPECT_EQ(layout.toclient({ 0, 0 }).x, 5);
    tagPOINT corner = layout.toclient({ 2480, 3508 });
    EXPECT_EQ(corner.x, 205);
    EXPECT_LE(corner.y, 305) << "the page fits down too";
    tagPOINT back = layout.topage(layout.toclient({ 1240, 1754 }));
    EXPECT_NEAR(back.x, 1240, 3508 / 300 + 1);
    EXPECT_NEAR(back.y, 1754, 3508 / 300 + 1);

    layout.setclient(410, 110); // wide: the height still decides
    EXPECT_EQ(layout.toclient({ 0, 3508 }).y, 105);
    layout.setclient(0, 0);
    EXPECT_EQ(layout.toclient({ 2480, 3508 }).y, 5 + 1) << "a collapsed area never divides by zero";
}

TEST(PageLayout, OutputStaysOnThePage)
{
    struct CASE {
        int x, y;
        int expectx, expecty;
    };
    const CASE cases[] = {
        { 100, 100, 100, 100 },
        { -50, -50, 75, 75 }, // past the top-left margins
        { 5000, 5000, 2480 - 75 - 1000, 3508 - 75 - 600 }, // past the right and bottom
    };
    for (const CASE& c : cases) {
        PAGELAYOUT layout = a4();
        layout.setoutputsize(c.x, c.y, 1000, 600);
        EXPECT_EQ(layout.outx, c.expectx) << c.x;
        EXPECT_EQ(layout.outy, c.expecty) << c.y;
    }
    PAGELAYOUT wide = a4();
    wide.setoutputsize(0, 0, 3000, 600);
    EXPECT_EQ(wide.outx, 75) << "an output wider than the page keeps its left margin";
    EXPECT_FALSE(wide.fits());
}

TEST(PageLayout, DraggingStopsAtTheMargins)
{
    PAGELAYOUT layout = a4();
    layout.drag(10000, -10000);
    EXPECT_EQ(layout.outx, 2480 - 75 - 1000);
    EXPECT_EQ(layout.outy, 75);
    EXPECT_TRUE(layout.fits());
}

TEST(PageLayout, CentreAndPositions)
{
    PAGELAYOUT layout = a4();
    layout.centreoutput();
    EXPECT_EQ(layout.outx, (2480 - 1000) / 2);
    EXPECT_EQ(layout.outy, (3508 - 600) / 2);
    EXPECT_EQ(layout.outputcentrex(), 1240 - 75);
    layout.setoutputcentre(500, 400);
    EXPECT_EQ(layout.outputcentrex(), 500);
    EXPECT_EQ(layout.outputcentrey(), 400);

    layout.placeright();
    layout.placebottom();
    EXPECT_EQ(layout.distance('R'), 75);
    EXPECT_EQ(layout.distance('B'), 75);
    layout.setuseprintermargins(0);
    layout.placeright();
    layout.placetop();
    EXPECT_EQ(layout.distance('R'), 0) << "without printer margins the output reaches the edge";
    EXPECT_EQ(layout.outy, 0);

    layout.setuseprintermargins(1);
    layout.setdistance('L', 300);
    EXPECT_EQ(layout.outx, 300);
    layout.setdistance('R', 0);
    EXPECT_EQ(layout.distance('R'), 75) << "kept off the printer margin";
    layout.setdistance('T', 99999);
    EXPECT_EQ(layout.distance('B'), 75);
}
