#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/polysource.h"

#include <string>

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

// A source G1 from OUT to ground, its control pins on A and B.
const char* polynets = "OUT,1\nG1,PS,+\n\nA,1\nG1,PS,3\n\nB,1\nG1,PS,4\n\nGND,2\nG1,PS,-\nGND,PT,GND\n\n";

class PolysourceTest : public PartTest { };

TEST_F(PolysourceTest, PropertiesBecomeTheCurrentExpression)
{
    struct CASE {
        const char* part;
        const char* text;
        const char* warning;
    } cases[] = {
        { "G1,VCISOURCE,2m,PRIMITIVE=ANALOG", "0.002*v(\"A\",\"B\")", nullptr },
        { "G1,NLVCIS,1,PRIMITIVE=ANALOG,CA=2,CAB=0.5", "1+2*v(\"A\")+0.5*v(\"A\")*v(\"B\")", nullptr },
        { "G1,NLVCIS,,PRIMITIVE=ANALOG,CA=1.23456789,CAZ=-3,C2=4", "0+4+1.23457*v(\"A\")+-3*v(\"A\")",
            nullptr },
        { "X1_G1,NLICIS,,PRIMITIVE=ANALOG,CA=1e-3,PROBE=V5", "0+0.001*i(\"X1_V5\")", nullptr },
        { "G1,ICISOURCE,2,PRIMITIVE=ANALOG,CAB=3,PROBEB=X1_V5,PROBE=X1_V5", "2+3*i(\"X1_V5\")*i(\"X1_V5\")",
            nullptr },
        { "X1_G1,NLICIS,,PRIMITIVE=ANALOG,CB=1e-3,PROBE=V5", "0+0.001",
            "#W:Cannot find probe for PROBEB in X1_G1\n" },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.part);
        forget();
        const std::string name(c.part, std::string(c.part).find(','));
        std::string nets = polynets;
        for (size_t at = 0; (at = nets.find("G1,", at)) != std::string::npos; at += name.size())
            nets.replace(at, 2, name);
        make("", std::string(c.part) + "\nX1_V5,VSOURCE,0,PRIMITIVE=ANALOG\n", nets + "C,1\nX1_V5,PS,+\n\n");
        EXPECT_THAT(callssince("INPgetTree"), ElementsAre(std::string("INPgetTree(") + c.text + ")"));
        EXPECT_THAT(callsabout(name), Contains("setInstanceParm(" + name + ", i=tree)"));
        if (c.warning) {
            EXPECT_THAT(log(), HasSubstr(c.warning));
        }
    }
}

TEST_F(PolysourceTest, TheCurrentLeavesAtTheFirstPinAndRparaLiesAcrossTheOutput)
{
    make("", "G1,VCISOURCE,1m,PRIMITIVE=ANALOG,RPARA=10k\nG2,VCISOURCE,1m,PRIMITIVE=ANALOG\n",
        "OUT,2\nG1,PS,+\nG2,PS,+\n\nA,2\nG1,PS,3\nG2,PS,3\n\nB,2\nG1,PS,4\nG2,PS,4\n\n"
        "GND,3\nG1,PS,-\nG2,PS,-\nGND,PT,GND\n\n");
    EXPECT_THAT(callsabout("G1"),
        ElementsAre("newInstance(VCISOURCE, G1)", "bindNode(G1, 2, OUT)", "bindNode(G1, 1, GND)",
            "setInstanceParm(G1, i=tree)", "instToNode(G1, 1)", "instToNode(G1, 2)"));
    EXPECT_THAT(callsabout("G1#RPARA"),
        ElementsAre("newInstance(RPARA, G1#RPARA)", "bindNode(G1#RPARA, 1, GND)",
            "bindNode(G1#RPARA, 2, OUT)", "setInstanceParm(G1#RPARA, resistance=10000)"));
    EXPECT_THAT(callsabout("G2#RPARA"), IsEmpty());
}

TEST_F(PolysourceTest, AVoltageControlledSourceWithoutItsControlPinsEndsTheRun)
{
    load("", "G1,VCISOURCE,1m,PRIMITIVE=ANALOG\n", "OUT,1\nG1,PS,+\n\nGND,2\nG1,PS,-\nGND,PT,GND\n\n");
    ASSERT_TRUE(build()) << log();
    EXPECT_FALSE(guarded([&] { circuit->setsweepvalue("", 0); }));
    EXPECT_THAT(log(), HasSubstr("Control pin(s) missing in G1"));
}

} // namespace
