// Digital primitive parts against the recording fake of the digital engine.
#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/digital.h"
#include "engines/fakes/recorder.h"
#include "simulator/models/digital/pallexcpt.h"

#include <gmock/gmock.h>

using testing::ElementsAre;

namespace {

class PallexcptTest : public CircuitTest {
protected:
    PALLEXCPT* gate(const char* name) { return dynamic_cast<PALLEXCPT*>(part(name)); }
};

const char* gates
    = "TAVI\n\n:x\n*PARTLIST,2\nU1,NAND,,PRIMITIVE=DIGITAL\nU2,X,,PRIMITIVE=DIGITAL,PRIMTYPE=GLITCH\n"
      "*NETLIST,3\nA,2\nU1,IP,A\nU2,IP,A\n\nB,1\nU1,IP,B\n\nY,2\nU1,OP,Y\nU2,OP,Y\n\n";

TEST_F(PallexcptTest, MakesTheEnginesComponentAndConnectsEveryPinInIndexOrder)
{
    read(gates);
    PALLEXCPT* nand = gate("U1");
    ASSERT_NE(nand, nullptr);
    EXPECT_STREQ(nand->modelname, "NAND");
    EXPECT_STREQ(nand->row->name, "DIGITAL");
    fakes::digital().unknowntypes.insert("GLITCH");
    ASSERT_TRUE(build());
    EXPECT_THAT(fakes::callsof("pallex_c"),
        ElementsAre("pallex_connectpower(GND, 14, GND)", "pallex_connectpower(+5, 14, VCC)",
            "pallex_create(U1, NAND)", "pallex_connect(U1, A, 1, A)", "pallex_connect(U1, B, 1, B)",
            "pallex_connect(U1, Y, 2, Y)", "pallex_create(U2, GLITCH)"));
    EXPECT_EQ(nand->getpallexpin("Y", 1), fakes::digitalpin("U1", 2));
    // A type the engine does not know: one warning, no pin connected.
    EXPECT_THAT(lines("#W:"), ElementsAre("#W:PALLEX failed to create component of type 'GLITCH'"));
    EXPECT_EQ(gate("U2")->getpallexpin("A", 0), nullptr);
}

TEST_F(PallexcptTest, PinTheEngineRefusesStaysUnconnected)
{
    read(gates);
    fakes::script("pallex_connect", { 1, 0, 1 });
    ASSERT_TRUE(build());
    EXPECT_THAT(lines("#W:PALLEX failed to connect"), ElementsAre("#W:PALLEX failed to connect pin B"));
    EXPECT_EQ(gate("U1")->getpallexpin("B", 0), nullptr);
    EXPECT_NE(gate("U1")->getpallexpin("Y", 0), nullptr);
}

TEST_F(PallexcptTest, BootStepHandsTheEngineItsFlagsAsZeroOrOne)
{
    setdigitalhooks(true);
    int changes = 0;
    EXPECT_EQ(spicefrontend.digitalBootStep(5, 0, &changes), 1);
    EXPECT_THAT(fakes::callsof("pallex_bootstep"), ElementsAre("pallex_bootstep(1, 0)"));
    setdigitalhooks(false);
}

} // namespace
