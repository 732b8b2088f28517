#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/passives.h"

#include <string>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

const char* capacitornets = "A,1\nC1,PS,+\n\nGND,2\nC1,PS,-\nGND,PT,GND\n\n";

class PassivesTest : public PartTest {
protected:
    // The calls that made and set C1's leakage resistor.
    std::vector<std::string> leakage() { return callsabout("C1#RPARA"); }
};

TEST_F(PassivesTest, LeakageResistorByRleakGleakAndTheCircuitsGleak)
{
    const std::string made = "newInstance(RPARA, C1#RPARA)";
    struct CASE {
        const char* circuit; // netlist properties
        const char* part; // the capacitor's extra properties
        const char* resistance; // the leakage resistor's; null: none made
        const char* warning;
    } cases[] = {
        { "", ",RLEAK=1e6", "1e+06", nullptr },
        { "", ",GLEAK=2u", "500000", nullptr },
        { "GLEAK=1n\n", "", "1e+09", nullptr },
        { "GLEAK=1n\n", ",GLEAK=1u", "1e+06", nullptr },
        { "", ",GLEAK=0", nullptr, nullptr },
        { "", ",RLEAK=0,GLEAK=1u", nullptr, nullptr },
        { "", ",RLEAK=1/,GLEAK=1u", "1e+06", "parsing property RLEAK of C1" },
        { "", ",RLEAK=?", nullptr, nullptr },
        { "", "", nullptr, nullptr },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(std::string(c.circuit) + c.part);
        forget();
        make(c.circuit, std::string("C1,CAPACITOR,1u,PRIMITIVE=ANALOG") + c.part + "\n", capacitornets);
        if (!c.resistance) {
            EXPECT_THAT(leakage(), IsEmpty());
        } else {
            EXPECT_THAT(leakage(),
                ElementsAre(made, "bindNode(C1#RPARA, 1, A)", "bindNode(C1#RPARA, 2, GND)",
                    "setInstanceParm(C1#RPARA, resistance=" + std::string(c.resistance) + ")"));
            EXPECT_THAT(fakes::callsof("newModel"), testing::Contains("newModel(Resistor, RPARA)"));
        }
        if (c.warning) {
            EXPECT_THAT(log(), HasSubstr(c.warning));
        }
    }
}

TEST_F(PassivesTest, LaterSweepStepsOnlyChangeTheLeakageAndOneWithoutLeakageConductsNothing)
{
    make("RX=1k\n", "C1,CAPACITOR,1u,PRIMITIVE=ANALOG,RLEAK=RX\n", capacitornets);
    for (const char* value : { "2k", "0" }) {
        forget();
        circuit->setproperty("RX", value);
        circuit->setsweepvalue("", 0);
    }
    EXPECT_THAT(fakes::callsof("newInstance(RPARA"), ElementsAre("newInstance(RPARA, C1#RPARA)"));
    const std::vector<std::string> sets = callsabout("C1#RPARA");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets.back(), "setInstanceParm(C1#RPARA, resistance=1e+30)");
}

TEST_F(PassivesTest, MutualPropertiesCoupleTheWindingsOfAPart)
{
    make("K2=0.5\n",
        "L1:A,INDUCTOR,1m,PRIMITIVE=ANALOG,MUTUAL_B=0.98,MUTUAL_C=K2,MUTUAL_=1,MUTUAL_3=1\n"
        "L1:B,INDUCTOR,2m,PRIMITIVE=ANALOG\nL1:C,INDUCTOR,3m,PRIMITIVE=ANALOG\n"
        "L2,INDUCTOR,1m,PRIMITIVE=ANALOG,MUTUAL_B=0.5\n",
        "A,4\nL1:A,PS,1\nL1:B,PS,1\nL1:C,PS,1\nL2,PS,1\n\n"
        "GND,5\nL1:A,PS,2\nL1:B,PS,2\nL1:C,PS,2\nL2,PS,2\nGND,PT,GND\n\n");
    auto* inductor = dynamic_cast<INDUCTOR*>(part("L1:A"));
    ASSERT_NE(inductor, nullptr);
    ASSERT_EQ(inductor->couplings.size(), 2u);
    EXPECT_THAT(fakes::callsof("newInstance(MUTUAL"),
        ElementsAre("newInstance(MUTUAL, L1:AB)", "newInstance(MUTUAL, L1:AC)"));
    EXPECT_THAT(callsabout("L1:AB"),
        ElementsAre("newInstance(MUTUAL, L1:AB)", "setInstanceParm(L1:AB, inductor1=L1:A)",
            "setInstanceParm(L1:AB, inductor2=L1:B)", "setInstanceParm(L1:AB, k=0.98)"));
    EXPECT_THAT(callsabout("L1:AC"), testing::Contains("setInstanceParm(L1:AC, k=0.5)"));
    // A name without ':' couples nothing.
    EXPECT_THAT(dynamic_cast<INDUCTOR*>(part("L2"))->couplings, IsEmpty());
}

} // namespace
