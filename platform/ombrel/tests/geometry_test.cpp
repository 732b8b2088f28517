#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"
#include "platform/ombrel/point.h"
// The window layer's own point type lives beside the world POINT without a clash.
#include "platform/win/geometry.h"

namespace {

TEST(Point, GridSnapRoundsToNearestStepOnBothSides)
{
    struct Case {
        POINT in;
        int sx, sy;
        POINT out;
    };
    const Case cases[] = {
        { { 14, 16 }, 10, 10, { 10, 20 } },
        { { 15, 25 }, 10, 10, { 20, 30 } }, // a half step rounds up
        { { -4, -5 }, 10, 10, { 0, 0 } },
        { { -6, -14 }, 10, 10, { -10, -10 } },
        { { -15, -16 }, 10, 10, { -10, -20 } },
        { { -2540, 1269 }, 2540, 2540, { -2540, 0 } },
        { { 7, -7 }, 0, -3, { 7, -7 } }, // no step: unchanged
        { { INT_MAX, INT_MIN }, 10, 10, { INT_MAX - 7, INT_MIN + 8 } },
    };
    for (const Case& c : cases) {
        POINT p = c.in;
        p.snap(c.sx, c.sy);
        EXPECT_EQ(p, c.out) << c.in.x << "," << c.in.y;
    }
}

TEST(Point, DistanceAndHitTestWorkAcrossTheWholeRange)
{
    EXPECT_EQ(POINT(0, 0).dist({ 3, 4 }), 5);
    EXPECT_EQ(POINT(-3, -4).dist({ 0, 0 }), 5);
    EXPECT_EQ(POINT(INT_MIN, 0).dist({ INT_MAX, 0 }), INT_MAX); // held at the range's end
    EXPECT_EQ(POINT(0, 0).snap({ 3, 4 }, 5), 1);
    EXPECT_EQ(POINT(0, 0).snap({ 3, 5 }, 5), 0);
    EXPECT_EQ(POINT(0, 0).snap({ 4, 4 }, 5), 0); // within the square, outside the circle
    EXPECT_EQ(POINT(INT_MIN, INT_MIN).snap({ INT_MAX, INT_MAX }, INT_MAX), 0);
    EXPECT_EQ(POINT(1, 1).snap({ 1, 1 }, -1), 0);
    EXPECT_EQ(POINT(INT_MAX, 0) + POINT(1, 0), POINT(INT_MAX, 0));
}

TEST(Box, VoidTestJoinAndIntersection)
{
    EXPECT_TRUE(VOIDBOX.isvoid());
    EXPECT_TRUE(BOX(0, 0, -1, 5).isvoid());
    EXPECT_TRUE(BOX(0, 0, 5, -1).isvoid());
    EXPECT_TRUE(BOX(3, 3, 3, 3).isvalid());

    BOX b = VOIDBOX;
    b |= BOX(1, 2, 3, 4); // a void box takes the other whole
    EXPECT_EQ(b, BOX(1, 2, 3, 4));
    b |= VOIDBOX; // a void box adds nothing
    EXPECT_EQ(b, BOX(1, 2, 3, 4));
    b |= POINT(-5, 10);
    EXPECT_EQ(b, BOX(-5, 2, 3, 10));

    BOX c(0, 0, 10, 10);
    EXPECT_TRUE(c.intersects(BOX(10, 10, 20, 20))); // edges shared
    EXPECT_FALSE(c.intersects(BOX(11, 0, 20, 10)));
    EXPECT_FALSE(c.intersects(VOIDBOX));
    c &= BOX(5, -5, 20, 5);
    EXPECT_EQ(c, BOX(5, 0, 10, 5));
    c &= BOX(50, 50, 60, 60);
    EXPECT_TRUE(c.isvoid());
}

TEST(Box, ConstructionNormalizeAndContainment)
{
    EXPECT_EQ(BOX(POINT(10, -3), POINT(-2, 7)), BOX(-2, -3, 10, 7));
    BOX read(10, 7, -2, -3);
    read.normalize();
    EXPECT_EQ(read, BOX(-2, -3, 10, 7));

    const BOX b(0, 0, 10, 20);
    EXPECT_TRUE(b.contains(POINT(10, 20)));
    EXPECT_FALSE(b.contains(POINT(11, 20)));
    EXPECT_FALSE(b.contains(POINT(12, 20), 1));
    EXPECT_TRUE(b.contains(POINT(12, -2), 2));
    EXPECT_FALSE(VOIDBOX.contains(POINT(0, 0), 5));
    EXPECT_TRUE(BOX(INT_MIN, INT_MIN, INT_MAX, INT_MAX).contains(POINT(INT_MAX, INT_MIN), INT_MAX));
    EXPECT_TRUE(b.contains(BOX(0, 0, 10, 20)));
    EXPECT_FALSE(b.contains(BOX(0, 0, 11, 20)));
    EXPECT_FALSE(b.contains(VOIDBOX));
}

TEST(Box, GrowCentreSizeAndSnap)
{
    BOX b(-10, -10, 11, 21);
    EXPECT_EQ(b.centre(), POINT(0, 5));
    EXPECT_EQ(BOX(-3, -3, 0, 0).centre(), POINT(-2, -2)); // rounded down, also below zero
    EXPECT_EQ(BOX(INT_MIN, INT_MIN, INT_MAX, INT_MAX).width(), int64_t { UINT_MAX });
    EXPECT_EQ(BOX(INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX).centre(), POINT(INT_MAX - 1, INT_MAX - 1));
    b.grow(5);
    EXPECT_EQ(b, BOX(-15, -15, 16, 26));
    BOX v = VOIDBOX;
    v.grow(100);
    EXPECT_TRUE(v.isvoid());

    BOX s(-14, 6, 26, 94);
    EXPECT_TRUE(s.snap(POINT(5, 5), 10));
    EXPECT_EQ(s, BOX(-15, 5, 25, 95));
    BOX thin(1, 1, 3, 30);
    EXPECT_TRUE(thin.snap(POINT(0, 0), 10)); // x edges meet: still a valid box
    EXPECT_EQ(thin, BOX(0, 0, 0, 30));
}

TEST(Box, MapTakesTheBoxAroundTheMappedCorners)
{
    BOX b(0, 0, 10, 20);
    b.map(CTS(POINT(100, 0), 900));
    EXPECT_EQ(b, BOX(80, 0, 100, 10));
    BOX m(0, 0, 10, 20);
    m.map(CTS(POINT(0, 0), 0, 1));
    EXPECT_EQ(m, BOX(-10, 0, 0, 20));
    BOX v = VOIDBOX;
    v.map(CTS(POINT(5, 5), 450));
    EXPECT_TRUE(v.isvoid());
}

TEST(Cts, MapsMirrorThenTurnThenOffset)
{
    struct Case {
        CTS cts;
        POINT in, out;
    };
    const Case cases[] = {
        { ZEROCTS, { 3, 4 }, { 3, 4 } },
        { CTS({ 10, 20 }), { 3, 4 }, { 13, 24 } },
        { CTS({ 0, 0 }, 900), { 1, 0 }, { 0, 1 } }, // counter-clockwise, y up
        { CTS({ 0, 0 }, 1800), { 1, 2 }, { -1, -2 } },
        { CTS({ 0, 0 }, -900), { 1, 0 }, { 0, -1 } },
        { CTS({ 0, 0 }, 0, 1), { 1, 2 }, { -1, 2 } },
        { CTS({ 0, 0 }, 0, 2), { 1, 2 }, { 1, -2 } },
        { CTS({ 0, 0 }, 900, 1), { 1, 0 }, { 0, -1 } }, // mirrored before the turn
        { CTS({ 0, 0 }, 450), { 1000, 0 }, { 707, 707 } },
        { CTS({ 0, 0 }, 300), { 1000, 0 }, { 866, 500 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.cts.map(c.in), c.out) << c.cts.angle << "/" << c.cts.mirror_word;
}

TEST(Cts, CompositionAndInverseRoundTripForEveryAngleAndMirror)
{
    const POINT probes[] = { { 0, 0 }, { 1234, -567 }, { -89000, 4500 } };
    for (int angle = -3590; angle < 3600; angle += 10) {
        for (int mirror = 0; mirror < 4; ++mirror) {
            const CTS a(POINT(12345, -6789), angle, mirror);
            const CTS back = a.inverse();
            ASSERT_EQ(a * back, ZEROCTS) << angle << "/" << mirror;
            CTS twice = back.inverse();
            CTS norm = a;
            norm.normalize();
            EXPECT_EQ(twice.angle, norm.angle);
            EXPECT_EQ(twice.mirror_word, norm.mirror_word);
            const CTS b(POINT(-300, 400), 3600 - angle % 3600, mirror ^ 1);
            for (const POINT& p : probes) {
                // Composition maps as the two maps in turn; with rounding on both sides a unit apart
                // at most, exact for right angles.
                const POINT direct = (a * b).map(p);
                const POINT stepwise = b.map(a.map(p));
                const int slack = angle % 900 == 0 ? 0 : 2;
                EXPECT_LE(std::abs(direct.x - stepwise.x), slack) << angle << "/" << mirror;
                EXPECT_LE(std::abs(direct.y - stepwise.y), slack) << angle << "/" << mirror;
                if (angle % 900 == 0) {
                    EXPECT_EQ(back.map(a.map(p)), p);
                }
            }
        }
    }
}

TEST(Cts, MirrorTogglesAndNormalizeBringsAngleIntoRange)
{
    CTS c(POINT(1, 2), -900, 0);
    c.mirror(1);
    c.mirror(2);
    EXPECT_EQ(c.mirror_word, 3);
    c.mirror(1);
    EXPECT_EQ(c.mirror_word, 2);
    c.normalize();
    EXPECT_EQ(c.angle, 2700);
    CTS d(POINT(0, 0), 7250, 6);
    d.normalize();
    EXPECT_EQ(d.angle, 50);
    EXPECT_EQ(d.mirror_word, 2);
}

TEST(Cts, TurnAboutAPivotAsTheDragLoopBuildsIt)
{
    const POINT pivot(100, 100);
    CTS map(POINT(0, 0) - pivot);
    map *= CTS(POINT(10, 0), 900);
    map *= CTS(pivot);
    EXPECT_EQ(map.map(pivot), POINT(110, 100));
    EXPECT_EQ(map.map(POINT(200, 100)), POINT(110, 200));
}

} // namespace
