#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/mosfet.h"

#include <string>

namespace {

using testing::Contains;
using testing::HasSubstr;

const char* mosfetnets = "D,1\nM1,PS,D\n\nG,1\nM1,PS,G\n\nGND,3\nM1,PS,S\nM1,PS,B\nGND,PT,GND\n\n";

class MosfetTest : public PartTest { };

TEST_F(MosfetTest, TheLevelChoosesTheRowAndItsDeviceType)
{
    struct CASE {
        const char* part; // after the row and value
        const char* sections;
        const char* row;
        const char* warning;
    } cases[] = {
        { "", "", "NMOS1", nullptr },
        { ",LEVEL=2", "", "NMOS2", nullptr },
        { ",SPICEMODEL=M3", "", "NMOS3", nullptr },
        { ",MODEL=NDEF", "*MODELDEFS,1\nNDEF: LEVEL=4\n", "NBSIM1", nullptr },
        { ",MODEL=NDEF,LEVEL=7", "*MODELDEFS,1\nNDEF: LEVEL=4\n", "NBSIM3", nullptr },
        { ",LEVEL=8", "", "NMOS1", "#W:Invalid level 8 specified for MOSFET M1\n" },
        { ",LEVEL=0", "", "NMOS1", "#W:Invalid level 0 specified for MOSFET M1\n" },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.part);
        load("", std::string("M1,NMOSFET,,PRIMITIVE=ANALOG") + c.part + "\n", mosfetnets, c.sections);
        parsedmodel("m3", "MOS3", ".model m3 nmos level=3 vto=1");
        ASSERT_TRUE(build()) << log();
        EXPECT_STREQ(part("M1")->row->name, c.row);
        if (c.warning) {
            EXPECT_THAT(log(), HasSubstr(c.warning));
        }
    }
    // A PMOSFET chooses among the P rows.
    load("", "M1,PMOSFET,,PRIMITIVE=ANALOG,LEVEL=3\n", mosfetnets);
    ASSERT_TRUE(build()) << log();
    EXPECT_STREQ(part("M1")->row->name, "PMOS3");
    EXPECT_THAT(fakes::callsof("newModel"), Contains("newModel(MOS3, PMOS3)"));
}

TEST_F(MosfetTest, ThreePinsTieTheBulkToTheSource)
{
    make("", "M1,NMOS1,,PRIMITIVE=ANALOG\nM2,PMOS3,,PRIMITIVE=ANALOG\n",
        "D,2\nM1,PS,D\nM2,PS,D\n\nG,2\nM1,PS,G\nM2,PS,G\n\nS,2\nM1,PS,S\nM2,PS,S\n\n"
        "GND,2\nM2,PS,B\nGND,PT,GND\n\n");
    EXPECT_THAT(callsabout("M1"), Contains("bindNode(M1, 4, S)"));
    EXPECT_THAT(callsabout("M2"), Contains("bindNode(M2, 4, GND)"));
    EXPECT_THAT(callsabout("M2"), testing::Not(Contains("bindNode(M2, 4, S)")));
}

} // namespace
