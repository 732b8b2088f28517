// The voltage probe against the real engines: its load is a resistor the SPICE engine solves.
#include "simulator/kernel/tests/engines/realengine.h"

namespace {

class VoltageProbeEngineTest : public RealEngineTest { };

TEST_F(VoltageProbeEngineTest, LoadTiesTheNetToGroundThroughAResistor)
{
    // 5 V through 10k into the probed net: the probe's 10k load halves it.
    ASSERT_TRUE(build("TAVI\n\n:Load\n*PARTLIST,3\nV1,VSOURCE,5,PRIMITIVE=ANALOG\n"
                      "R1,RESISTOR,10k,PRIMITIVE=ANALOG\nP1,APROBE,Vout,PRIMITIVE=ANALOG,LOAD=10k\n"
                      "*NETLIST,3\nIN,2\nV1,PS,+\nR1,PS,1\n\nOUT,2\nR1,PS,2\nP1,PS,1\n\n"
                      "GND,2\nV1,PS,-\nGND,PT,GND\n\n"))
        << log();
    EXPECT_NEAR(operatingpoint()["OUT"], 2.5, 1e-9);
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
}

} // namespace
