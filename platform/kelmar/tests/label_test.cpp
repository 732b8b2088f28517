#include <gtest/gtest.h>

#include "core/files/ramfile.h"
#include "platform/casq/textmetrics.h"
#include "platform/kelmar/label.h"
#include "platform/kelmar/proptool.h"
#include "platform/kelmar/textlayout.h"

namespace {

const TSTYLE_ENTRY REFSTYLE("COMPONENT ID", TSTYLE("Default Font", 381000, 203200, RGB(0, 0, 128), 0));
const TSTYLE_ENTRY VALUESTYLE("COMPONENT VALUE", TSTYLE("Vector Font", 254000, 203200, 0, TS_ITALIC));

} // namespace

TEST(Label, RoundTripsThroughAMemoryFile)
{
    LABEL label("R12", &REFSTYLE);
    label.setcts(CTS(POINT(-2540000, 127000), 900, 1), JUSTIFY_CENTRE | JUSTIFY_MIDDLE);
    label.flags = LABEL_SYNCHRONISED | LABEL_LOCKED;
    label.setvisible(0);
    LABEL second("10k \xCE\xA9", &VALUESTYLE);
    RAMFILE file;
    ASSERT_EQ(label.write(file), 1);
    ASSERT_EQ(second.write(file), 1);

    file.rewind();
    LABEL read;
    LABEL readsecond;
    ASSERT_EQ(read.read(file), 1);
    ASSERT_EQ(readsecond.read(file), 1);
    EXPECT_EQ(file.tell(), file.length);
    EXPECT_STREQ(read.gettext(), "R12");
    EXPECT_EQ(read.getcts(), label.getcts());
    EXPECT_EQ(read.getjustification(), JUSTIFY_CENTRE | JUSTIFY_MIDDLE);
    EXPECT_EQ(read.flags, LABEL_SYNCHRONISED | LABEL_LOCKED);
    EXPECT_EQ(read.isvisible(), 0);
    EXPECT_STREQ(read.getstyle().name, "COMPONENT ID");
    EXPECT_EQ(read.getstyle().style.height, 381000);
    EXPECT_EQ(read.getstyle().style.colour, RGB(0, 0, 128));
    EXPECT_STREQ(readsecond.gettext(), "10k \xCE\xA9");
    EXPECT_STREQ(readsecond.getstyle().style.face, "Vector Font");
    EXPECT_EQ(readsecond.getstyle().style.flags, TS_ITALIC);

    LABEL before = read;
    EXPECT_EQ(read.read(file), 0) << "at the end of the file";
    EXPECT_STREQ(read.gettext(), before.gettext());
}

TEST(Label, AStyleChangeKeepsWhetherTheLabelShows)
{
    LABEL label("U1", &REFSTYLE);
    label.setvisible(0);
    label.setstyle(&VALUESTYLE);
    EXPECT_EQ(label.isvisible(), 0);
    EXPECT_EQ(label.getheight(), 254000);
    label.setvisible(1);
    label.setstyle(&REFSTYLE);
    EXPECT_EQ(label.isvisible(), 1);
}

TEST(Label, HitsOnlyItsShownTextAndNarrowsTheDistance)
{
    LABEL label("WIDE LABEL", &VALUESTYLE);
    label.setcts(CTS(POINT(1000000, 0)), JUSTIFY_LEFT | JUSTIFY_BOTTOM);
    BOX box = label.occa(LABELAREA_SHOWN);
    ASSERT_FALSE(box.isvoid());
    EXPECT_EQ(box.x1, 1000000);
    EXPECT_EQ(box.x2, 1000000 + textwidth("WIDE LABEL", VALUESTYLE.style));
    EXPECT_GT(box.y2, 0);
    EXPECT_LT(box.y1, 0) << "descenders reach below the baseline";

    int distance = 10;
    EXPECT_EQ(label.test(box.centre(), &distance), 1);
    EXPECT_EQ(distance, 0);
    distance = 50000;
    EXPECT_EQ(label.test(POINT(box.x2 + 30000, box.centre().y), &distance), 1);
    EXPECT_EQ(distance, 30000);
    distance = 20000;
    EXPECT_EQ(label.test(POINT(box.x2 + 30000, box.centre().y), &distance), 0);
    EXPECT_EQ(distance, 20000);

    label.setvisible(0);
    distance = 10;
    EXPECT_EQ(label.test(box.centre(), &distance), 0);
    EXPECT_TRUE(label.occa(LABELAREA_SHOWN).isvoid());
    EXPECT_EQ(label.occa(LABELAREA_ALWAYS), box);
    label.settext("");
    EXPECT_TRUE(label.occa(LABELAREA_ALWAYS).isvoid());
}

TEST(Label, TurnedAndMirroredLabelsStayReadableOnTheSameSideOfTheirAnchor)
{
    struct CASE {
        CTS cts;
        int justification;
        int angle;
        int readablejustification;
    };
    const int LT = JUSTIFY_LEFT | JUSTIFY_TOP;
    const CASE cases[] = {
        { CTS(POINT(), 0, 0), LT, 0, LT },
        { CTS(POINT(), 900, 0), LT, 900, LT },
        { CTS(POINT(), 1800, 0), LT, 0, JUSTIFY_RIGHT | JUSTIFY_BOTTOM },
        { CTS(POINT(), 2700, 0), LT, 900, JUSTIFY_RIGHT | JUSTIFY_BOTTOM },
        { CTS(POINT(), 0, 1), LT, 0, JUSTIFY_RIGHT | JUSTIFY_TOP },
        { CTS(POINT(), 0, 2), LT, 0, JUSTIFY_LEFT | JUSTIFY_BOTTOM },
        { CTS(POINT(), 0, 3), LT, 0, JUSTIFY_RIGHT | JUSTIFY_BOTTOM },
        { CTS(POINT(), 900, 1), JUSTIFY_CENTRE | JUSTIFY_MIDDLE, 900, JUSTIFY_CENTRE | JUSTIFY_MIDDLE },
        { CTS(POINT(), 450, 0), LT, 450, LT },
        { CTS(POINT(), 2000, 0), LT, 200, JUSTIFY_RIGHT | JUSTIFY_BOTTOM },
        { CTS(POINT(), 3000, 0), LT, 3000, LT },
    };
    for (const CASE& c : cases) {
        TEXTPLACE place = readable(c.cts, c.justification);
        EXPECT_EQ(place.angle, c.angle) << c.cts.angle << " " << c.cts.mirror_word;
        EXPECT_EQ(place.justification, c.readablejustification) << c.cts.angle << " " << c.cts.mirror_word;
    }

    // A label turned half round covers what it covered, as its readable self.
    LABEL label("IN", &VALUESTYLE);
    label.setcts(CTS(POINT(500000, 500000)), LT);
    BOX before = label.occa(LABELAREA_SHOWN);
    CTS halfround = CTS(POINT(-500000, -500000)) * CTS(POINT(), 1800) * CTS(POINT(500000, 500000));
    label.map(halfround, 1);
    BOX after = label.occa(LABELAREA_SHOWN);
    EXPECT_EQ(before.x1, 500000);
    EXPECT_EQ(before.y2, 500000) << "hanging from its anchor";
    EXPECT_EQ(after.x2, 500000) << "now left of its anchor";
    EXPECT_EQ(after.width(), before.width());
    EXPECT_GT(after.y2, 500000) << "and above it";
}

TEST(Label, MapsItsAnchorAloneOrTurnsWithTheTransform)
{
    LABEL label("N1", &VALUESTYLE);
    label.setcts(CTS(POINT(100, 200), 0), JUSTIFY_LEFT);
    label.map(CTS(POINT(10, 0), 900), 0);
    EXPECT_EQ(label.getcts(), CTS(POINT(-190, 100), 0));
    label.map(CTS(POINT(), 900), 1);
    EXPECT_EQ(label.getcts(), CTS(POINT(-100, -190), 900));
    label.move(POINT(5, -5));
    EXPECT_EQ(label.getcts().offset(), POINT(-95, -195));
}

TEST(Label, ThePropertyToolSetsDeletesShowsAndHidesItsOwnProperty)
{
    LABEL label("R?", &REFSTYLE);
    PROPTOOL tool;
    tool.define("REF=R#", PA_SET, 5);
    EXPECT_EQ(label.assign(tool, "VALUE"), 0);
    EXPECT_STREQ(label.gettext(), "R?");
    EXPECT_EQ(label.assign(tool, "ref"), 1);
    EXPECT_STREQ(label.gettext(), "R5");
    EXPECT_EQ(label.assign(tool, "REF"), 1);
    EXPECT_STREQ(label.gettext(), "R6");
    tool.define("REF", PA_HIDE);
    EXPECT_EQ(label.assign(tool, "REF"), 1);
    EXPECT_EQ(label.isvisible(), 0);
    tool.define("REF", PA_SHOW);
    EXPECT_EQ(label.assign(tool, "REF"), 1);
    EXPECT_EQ(label.isvisible(), 1);
    tool.define("REF", PA_DELETE);
    EXPECT_EQ(label.assign(tool, "REF"), 1);
    EXPECT_EQ(label.isempty(), 1);
}

TEST(Label, EditorChoicesPackIntoTheJustification)
{
    const int codes[3][3] = {
        { JUSTIFY_LEFT | JUSTIFY_TOP, JUSTIFY_LEFT | JUSTIFY_MIDDLE, JUSTIFY_LEFT | JUSTIFY_BOTTOM },
        { JUSTIFY_CENTRE | JUSTIFY_TOP, JUSTIFY_CENTRE | JUSTIFY_MIDDLE, JUSTIFY_CENTRE | JUSTIFY_BOTTOM },
        { JUSTIFY_RIGHT | JUSTIFY_TOP, JUSTIFY_RIGHT | JUSTIFY_MIDDLE, JUSTIFY_RIGHT | JUSTIFY_BOTTOM },
    };
    for (int h = 0; h < 3; ++h) {
        for (int v = 0; v < 3; ++v) {
            EXPECT_EQ(gettjust(h, v), codes[h][v]);
            EXPECT_EQ(gethjust(codes[h][v]), h);
            EXPECT_EQ(getvjust(codes[h][v]), v);
        }
    }
    EXPECT_EQ(gettjust(7, -1), JUSTIFY_LEFT | JUSTIFY_TOP);
    EXPECT_EQ(getvjust(0xC), 0) << "a code of no choice counts as the first";
}
