#include <gtest/gtest.h>

#include "platform/ombrel/shapes.h"

namespace {

TEST(Bezier, QuadrantLeavesAlongTheChosenAxis)
{
    BEZIER arc;
    arc.setquadrant({ 0, 0 }, { 1000, -1000 }, 1);
    EXPECT_EQ(arc.c1, POINT(552, 0));
    EXPECT_EQ(arc.c2, POINT(1000, -448));
    arc.setquadrant({ 0, 0 }, { 1000, -1000 }, 0);
    EXPECT_EQ(arc.c1, POINT(0, -552));
    EXPECT_EQ(arc.c2, POINT(448, -1000));
    EXPECT_EQ(arc.p1, POINT(0, 0));
    EXPECT_EQ(arc.p2, POINT(1000, -1000));
}

TEST(Path, ChainsSegmentsAndClosesOnItsStart)
{
    PATH path;
    EXPECT_EQ(path.removelast(), 0);
    EXPECT_EQ(path.last(), POINT());
    EXPECT_FALSE(path.isclosed());
    EXPECT_EQ(path.validate(), 0);

    path.add(LINE({ 0, 0 }, { 100, 0 }));
    BEZIER arc;
    arc.setquadrant({ 100, 0 }, { 200, 100 }, 1);
    path.add(arc);
    EXPECT_EQ(path.last(), POINT(200, 100));
    EXPECT_FALSE(path.isclosed());
    path.add(LINE({ 5, 5 }, { 0, 0 })); // a later segment starts where the path ends
    EXPECT_EQ(path.getsegments().back().shape.p1, POINT(200, 100));
    EXPECT_TRUE(path.isclosed());

    EXPECT_EQ(path.removelast(), 1);
    EXPECT_EQ(path.last(), POINT(200, 100));
    EXPECT_EQ(path.validate(), 1);
    EXPECT_TRUE(path.isclosed());
    EXPECT_EQ(path.count(), 3);
    EXPECT_TRUE(path.getsegments().back().isline);
}

} // namespace
