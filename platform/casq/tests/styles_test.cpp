#include <gtest/gtest.h>

#include "core/files/ramfile.h"
#include "platform/casq/styles.h"

namespace {

struct DefaultFace {
    ~DefaultFace() { TSTYLE::setdefaultface(nullptr); }
};

} // namespace

TEST(Styles, GraphicStyleRoundTripsEveryField)
{
    GSTYLE style(40640, RGB(128, 0, 0), RGB(200, 200, 170));
    style.setpenstyle(PENSTYLE_DASH, 20320);
    style.flags = 0xAB000001;
    RAMFILE file;
    ASSERT_EQ(style.write(file), 1);
    EXPECT_EQ(file.length, 25);
    file.rewind();
    GSTYLE read;
    ASSERT_EQ(read.read(file), 1);
    EXPECT_EQ(read.penstyle, PENSTYLE_DASH);
    EXPECT_EQ(read.penwidth, 20320);
    EXPECT_EQ(read.pencolour, RGB(128, 0, 0));
    EXPECT_TRUE(read.hasfill());
    EXPECT_EQ(read.brushcolour, RGB(200, 200, 170));
    EXPECT_EQ(read.flags, 0xAB000001u);
}

TEST(Styles, TextStyleRoundTripsAndCutsLongFaces)
{
    TSTYLE style("A face whose name runs on far beyond thirty-one characters", 381000, 203200, RGB(0, 0, 192),
        TS_BOLD | TS_ITALIC);
    EXPECT_EQ(std::string(style.face).size(), 31u);
    RAMFILE file;
    ASSERT_EQ(style.write(file), 1);
    file.rewind();
    TSTYLE read;
    ASSERT_EQ(read.read(file), 1);
    EXPECT_STREQ(read.face, style.face);
    EXPECT_EQ(read.height, 381000);
    EXPECT_EQ(read.width, 203200);
    EXPECT_EQ(read.colour, RGB(0, 0, 192));
    EXPECT_EQ(read.flags, TS_BOLD | TS_ITALIC);
}

TEST(Styles, DamagedRecordsLeaveTheStyleAsItWas)
{
    GSTYLE graphic(1, 2, 3);
    TSTYLE text("Arial", 10, 8, 5, 0);
    RAMFILE written;
    graphic.write(written);
    text.write(written);
    for (int cut = 0; cut < written.length; ++cut) {
        RAMFILE shortfile(written.buffer, cut);
        GSTYLE g(7, 7, 7);
        TSTYLE t("Keep", 1, 1, 1, 1);
        if (g.read(shortfile) == 1) {
            EXPECT_EQ(t.read(shortfile), 0) << "cut at " << cut;
            EXPECT_STREQ(t.face, "Keep");
        } else {
            EXPECT_EQ(g.penwidth, 7) << "cut at " << cut;
        }
    }
    unsigned char wrongversion[] = { 9, 0, 0, 0, 0 };
    RAMFILE foreign(wrongversion, sizeof wrongversion);
    GSTYLE g(7, 7, 7);
    EXPECT_EQ(g.read(foreign), 0);
}

TEST(Styles, ColourSettersSwitchPenAndFill)
{
    GSTYLE style;
    style.setpencolour(NOCOLOUR);
    EXPECT_FALSE(style.haspen());
    style.setpencolour(RGB(1, 2, 3));
    EXPECT_EQ(style.penstyle, PENSTYLE_SOLID);
    EXPECT_EQ(style.pencolour, RGB(1, 2, 3));
    style.setbrushcolour(RGB(4, 5, 6));
    EXPECT_TRUE(style.hasfill());
    style.setbrushcolour(NOCOLOUR);
    EXPECT_FALSE(style.hasfill());
    EXPECT_FALSE(GSTYLE(40640, 0, NOCOLOUR).hasfill());
}

TEST(Styles, FontFlagsFollowTheDefaultFace)
{
    DefaultFace restore;
    TSTYLE byDefault("default font", 10, 8, 0, TS_BOLD);
    TSTYLE vector("Vector Font", 10, 8, 0, 0);
    TSTYLE named("Arial", 10, 8, 0, 0);
    for (TSTYLE* s : { &byDefault, &vector, &named }) {
        s->updatefontflags();
    }
    EXPECT_EQ(byDefault.flags, TS_BOLD | TS_DEFAULTFONT);
    EXPECT_STREQ(byDefault.resolvedface(), "Arial");
    EXPECT_EQ(vector.flags, TS_VECTORFONT);
    EXPECT_EQ(named.flags, 0u);

    TSTYLE::setdefaultface("Vector Font");
    byDefault.updatefontflags();
    EXPECT_EQ(byDefault.flags, TS_BOLD | TS_DEFAULTFONT | TS_VECTORFONT);
    TSTYLE::setdefaultface("Default Font");
    EXPECT_STREQ(TSTYLE::getdefaultface(), "Arial") << "the default cannot name itself";
}
