// The battery and the power interface, solved by the analog bench.
#include "simulator/models/builtin/tests/benchtesting.h"

#include "simulator/models/builtin/supply.h"

#include <string>

namespace {

class SupplyTest : public BenchCircuitTest { };

TEST_F(SupplyTest, BatteryDropsItsInternalResistanceUnderLoad)
{
    const struct {
        const char* properties;
        double load;
        double expected;
    } cases[] = {
        { "RINT=1", 8, 8 }, // 9 V into 1 + 8 ohms
        { "RINT=0.5", 1e12, 9 }, // unloaded
        { "RINT=0", 1, 9 }, // ideal at any load
        { "", 2, 9 }, // RINT absent: ideal
        { "RINT=2*R", 4, 6 }, // an expression over the circuit's variables
    };
    for (const auto& c : cases) {
        ANALOGBENCH& solver
            = build("R=1\n", std::string("B1,BATTERY,9,PRIMITIVE=ANALOG,") + c.properties + "\n",
                "P,1\nB1,PS,+\n\nGND,2\nB1,PS,-\nGND,PT,GND\n\n");
        solver.resistor(node("P"), 0, c.load);
        solver.operatingpoint();
        EXPECT_NEAR(voltage("P"), c.expected, 1e-9) << c.properties;
        // An ideal battery has no resistance cell at all.
        EXPECT_EQ(model<BATTERY>("B1")->resistance == nullptr, model<BATTERY>("B1")->rint == 0)
            << c.properties;
    }
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
}

TEST_F(SupplyTest, BatteryWithOnePinDrivesItAgainstGround)
{
    ANALOGBENCH& solver = build("", "B1,BATTERY,1.5,PRIMITIVE=ANALOG,RINT=1\n", "P,1\nB1,PS,+\n\n");
    solver.resistor(node("P"), 0, 2);
    solver.operatingpoint();
    EXPECT_NEAR(voltage("P"), 1.0, 1e-9);
}

TEST_F(SupplyTest, PowerInterfaceIsANortonSourceOfItsVoltage)
{
    const struct {
        const char* properties;
        double expected; // at N, fed 1 V through 1k
    } cases[] = {
        { "VOLTAGE=5", 5 * 1000 / 1000.001 + 1 * 0.001 / 1000.001 }, // 1 milliohm by default
        { "VOLTAGE=0", 0.5 }, // 1000 ohms by default at 0 V
        { "VOLTAGE=3,RINT=1k", 2 }, { "VOLTAGE=0,RINT=0", 1 }, // stamps nothing
    };
    for (const auto& c : cases) {
        // The probe only gives the bench a net IN to feed N from.
        ANALOGBENCH& solver = build("",
            std::string("PS1_POWER,X,,PRIMITIVE=POWER,") + c.properties + "\nP1,APROBE,,PRIMITIVE=ANALOG\n",
            "IN,1\nP1,PS,1\n\nN,1\nPS1_POWER,PP,V+\n\nGND,2\nPS1_POWER,PP,V-\nGND,PT,GND\n\n");
        ASSERT_NE(node("IN"), 0);
        solver.source(node("IN"), [](double) { return 1.0; });
        solver.resistor(node("IN"), node("N"), 1000);
        solver.operatingpoint();
        EXPECT_NEAR(voltage("N"), c.expected, 1e-9) << c.properties;
    }
    COMPONENT* self = nullptr;
    EXPECT_EQ(model<PWRITF>("PS1_POWER")->powerinterface(&self), 1);
    EXPECT_EQ(self, part("PS1_POWER"));
}

TEST_F(SupplyTest, PowerInterfaceWithoutTwoPinsStaysUnconnected)
{
    build("", "PS1_POWER,X,,PRIMITIVE=POWER,VOLTAGE=5\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n",
        "N,2\nPS1_POWER,PP,V+\nR1,PS,1\n\nGND,2\nR1,PS,2\nGND,PT,GND\n\n");
    EXPECT_THAT(lines("#W:"),
        testing::ElementsAre("#W:V+/V- pins not specified for power interface - check ITFMOD properties."));
    EXPECT_TRUE(model<PWRITF>("PS1_POWER")->nodes.empty());
}

} // namespace
