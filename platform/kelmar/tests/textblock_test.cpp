#include <gtest/gtest.h>

#include "core/files/ramfile.h"
#include "platform/kelmar/label.h"
#include "platform/kelmar/proptool.h"
#include "platform/kelmar/textblock.h"
#include "platform/kelmar/textlayout.h"

namespace {

const TSTYLE_ENTRY PROPERTIES("PROPERTIES", TSTYLE("Default Font", 254000, 203200, 0, 0));

} // namespace

TEST(TextBlock, RoundTripsThroughAMemoryFile)
{
    TEXTBLOCK block("PACKAGE=DIL08\n{PRIMITIVE=ANALOG}\nMODFILE={OPAMP.MDF}\n", &PROPERTIES);
    block.setcts(CTS(POINT(254000, -508000), 900), JUSTIFY_RIGHT | JUSTIFY_TOP);
    block.setvisible(0);
    RAMFILE file;
    ASSERT_EQ(block.write(file), 1);
    file.rewind();
    TEXTBLOCK read;
    ASSERT_EQ(read.read(file, 50), 1);
    EXPECT_EQ(file.tell(), file.length);
    EXPECT_STREQ(read.gettext(), block.gettext());
    EXPECT_EQ(read.getcts(), block.getcts());
    EXPECT_EQ(read.getjustification(), JUSTIFY_RIGHT | JUSTIFY_TOP);
    EXPECT_EQ(read.isvisible(), 0);
    EXPECT_STREQ(read.getstyle().name, "PROPERTIES");
    EXPECT_STREQ(read.getproptext()["PACKAGE"], "DIL08");

    TEXTBLOCK copy(read);
    EXPECT_STREQ(copy.gettext(), block.gettext());
    copy = TEXTBLOCK();
    EXPECT_STREQ(copy.gettext(), "");

    // A file of a version whose style names were shorter refuses a longer one.
    file.rewind();
    EXPECT_EQ(read.read(file, 9), 0);
    file.rewind();
    EXPECT_EQ(read.read(file, 10), 1);
}

TEST(TextBlock, ShowsThePartsOutsideBraces)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        { "PACKAGE=DIL08", { "PACKAGE=DIL08" } },
        { "{PRIMITIVE=ANALOG}\nVALUE=1k\n", { "VALUE=1k" } },
        { "{NAME=}VALUE\nNAME={HIDDEN}\n", { "VALUE", "NAME=" } },
        { "*COMPONENT\n{*PINOUT}\nA=1", { "*COMPONENT", "A=1" } },
        { "A={{1}}\r\n\nB=2", { "A={1}", "", "B=2" } },
        { "{   }\nC=3", { "C=3" } },
        { "", {} },
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(shownlines(text), lines) << text;
    EXPECT_TRUE(shownlines(nullptr).empty());
}

TEST(TextBlock, ThePropertyToolWorksOnThePropertiesOfTheBlock)
{
    TEXTBLOCK block("PACKAGE=DIL08\n{MODFILE=OPAMP.MDF}\n", &PROPERTIES);
    PROPTOOL tool;
    struct STEP {
        const char* assignment;
        PATACTIONS action;
        int applied;
        const char* text;
    };
    const STEP steps[] = {
        { "MODFILE=LM741.MDF", PA_SET, 1, "PACKAGE=DIL08\n{MODFILE=LM741.MDF}\n" },
        { "RTOL=1%", PA_SET, 1, "PACKAGE=DIL08\n{MODFILE=LM741.MDF}\nRTOL=1%\n" },
        { "MODFILE", PA_SHOW, 1, "PACKAGE=DIL08\nMODFILE=LM741.MDF\nRTOL=1%\n" },
        { "PACKAGE", PA_HIDE, 1, "{PACKAGE=DIL08}\nMODFILE=LM741.MDF\nRTOL=1%\n" },
        { "RTOL", PA_DELETE, 1, "{PACKAGE=DIL08}\nMODFILE=LM741.MDF\n" },
        { "ABSENT", PA_DELETE, 0, "{PACKAGE=DIL08}\nMODFILE=LM741.MDF\n" },
        { "ABSENT", PA_HIDE, 0, "{PACKAGE=DIL08}\nMODFILE=LM741.MDF\n" },
    };
    for (const STEP& step : steps) {
        ASSERT_EQ(tool.define(step.assignment, step.action), 1);
        EXPECT_EQ(block.assign(tool), step.applied) << step.assignment;
        EXPECT_STREQ(block.gettext(), step.text) << step.assignment;
    }
    tool.reset();
    EXPECT_EQ(block.assign(tool), 0);
}

TEST(TextBlock, LinesStackDownwardsFromATopAnchor)
{
    TEXTBLOCK one("A=1", &PROPERTIES);
    TEXTBLOCK three("A=1\nB=2\nC=3", &PROPERTIES);
    one.setcts(CTS(POINT(0, 0)), JUSTIFY_LEFT | JUSTIFY_TOP);
    three.setcts(CTS(POINT(0, 0)), JUSTIFY_LEFT | JUSTIFY_TOP);
    BOX single = one.occa(LABELAREA_SHOWN);
    BOX stacked = three.occa(LABELAREA_SHOWN);
    EXPECT_EQ(stacked.y2, single.y2);
    EXPECT_EQ(stacked.y1, single.y1 - 2 * static_cast<int>(LINEPITCH * 254000));
    int distance = 0;
    EXPECT_EQ(three.test(POINT(10, stacked.y1 + 10), &distance), 1);
    three.setcts(CTS(POINT(0, 0)), JUSTIFY_LEFT | JUSTIFY_BOTTOM);
    one.setcts(CTS(POINT(0, 0)), JUSTIFY_LEFT | JUSTIFY_BOTTOM);
    EXPECT_EQ(three.occa(LABELAREA_SHOWN).y1, one.occa(LABELAREA_SHOWN).y1) << "the last line stands on the anchor";
}
