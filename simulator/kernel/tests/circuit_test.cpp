#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"

namespace {

using testing::ElementsAre;

using CircuitServicesTest = CircuitTest;

TEST_F(CircuitServicesTest, SupplyAndGroundAliasesAreOneNet)
{
    read("TAVI\n\n:x\n*PARTLIST,2\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\nR2,RESISTOR,1k,PRIMITIVE=ANALOG\n*"
         "NETLIST,4\n"
         "vdd,1\nR1,PS,1\n\nVCC,1\nR2,PS,1\n\nVSS,1\nR1,PS,2\n\nGND,1\nR2,PS,2\n\n");
    EXPECT_EQ(circuit->netcount(), 2);
    EXPECT_THAT(lines("#I:Net"),
        ElementsAre("#I:Net vdd taken as alias for VCC", "#I:Net VSS taken as alias for GND"));
    EXPECT_THAT(pins("R1"), ElementsAre("1:0:VCC", "2:0:GND"));
    EXPECT_THAT(pins("R2"), ElementsAre("1:0:VCC", "2:0:GND"));
}

TEST_F(CircuitServicesTest, OwnersAreFoundByCuttingTheNameAtUnderscores)
{
    read("TAVI\n\n:x\n*PARTLIST,5\nU1,X,,ACTIVE=00000001\nU1_U2,X,\nU1_U2_R3,X,\nU4_R1,X,\nU5_A,X,,ACTIVE="
         "00000002\n");
    struct Case {
        const char* part;
        const char* active;
        const char* parent;
    } cases[] = {
        { "U1_U2_R3", "U1", "U1_U2" },
        { "U1_U2", "U1", "U1" },
        { "U1", "U1", nullptr },
        { "U4_R1", nullptr, nullptr },
        { "U5_A", "U5_A", nullptr },
    };
    auto name = [](COMPONENT* part) { return std::string(part ? part->name : "(none)"); };
    for (const Case& c : cases) {
        COMPONENT* part = circuit->findcomponent(c.part);
        ASSERT_NE(part, nullptr) << c.part;
        EXPECT_EQ(name(circuit->getactive(part)), c.active ? c.active : "(none)") << c.part;
        EXPECT_EQ(name(circuit->getparent(part)), c.parent ? c.parent : "(none)") << c.part;
    }
}

TEST_F(CircuitServicesTest, TearDownEndsOnlyTheEnginesTheCircuitStarted)
{
    readfixture("dcpaths.net");
    ASSERT_TRUE(build());
    circuit.reset();
    EXPECT_THAT(fakes::callsof("deleteCircuit"), testing::SizeIs(1));
    EXPECT_THAT(fakes::callsof("spice_terminate"), testing::SizeIs(1));
    // Nothing of the digital engine but the sign-on.
    EXPECT_THAT(fakes::callsof("pallex_"), testing::Each(testing::StartsWith("pallex_signon")));
    EXPECT_EQ(spicecircuit, nullptr);

    readfixture("digital.net");
    ASSERT_TRUE(build());
    circuit.reset();
    EXPECT_THAT(fakes::callsof("pallex_terminate"), testing::SizeIs(1));
    EXPECT_EQ(pallexcircuit, nullptr);
}

} // namespace
