#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/digital.h"
#include "engines/fakes/recorder.h"

#include <algorithm>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

class CircuitBuildTest : public CircuitTest {
protected:
    // The names of a part list.
    static std::vector<std::string> names(const GDPA<COMPONENT>& list)
    {
        std::vector<std::string> found;
        for (COMPONENT* part : list)
            found.emplace_back(part->name);
        return found;
    }

    static bool contains(const GDPA<COMPONENT>& list, const char* name)
    {
        return std::any_of(
            list.begin(), list.end(), [name](COMPONENT* part) { return strcmp(part->name, name) == 0; });
    }
};

TEST_F(CircuitBuildTest, MixedNetsGetInterfaceObjectsOnTheSupplyRails)
{
    fakes::digital().adcs["IN"] = { "U1" };
    fakes::digital().dacs["OUT"] = { "U1" };
    readfixture("mixed.net");
    EXPECT_TRUE(circuit->hasdigital());
    EXPECT_EQ(fakes::callsof("pallex_initialize").size(), 1u);
    // Power entries met after the first digital part reach the digital engine.
    EXPECT_THAT(fakes::callsof("pallex_connectpower"),
        ElementsAre("pallex_connectpower(GND, 13, GND)", "pallex_connectpower(VCC, 13, VCC)",
            "pallex_connectpower(+5, 13, VCC)"));
    ASSERT_TRUE(build());

    EXPECT_THAT(lines("#T:Net"),
        ElementsAre("#T:Net {N:CLK} is digital.", "#T:Net {N:GND} is a logic power rail",
            "#T:Net {N:IN} is mixed.", "#T:Net {N:OUT} is mixed.", "#T:Net {N:PROBE} is digital.",
            "#T:Net {N:VCC} is a logic power rail"));
    EXPECT_THAT(pins("PR0000_+5"), ElementsAre("1:14:VCC"));
    EXPECT_THAT(pins("U1_ADC#0000"), ElementsAre("A:1:IN", "D:2:IN", "V+:7:VCC", "V-:7:GND"));
    EXPECT_THAT(pins("U1_DAC#0000"), ElementsAre("A:2:OUT", "D:1:OUT", "V+:7:VCC", "V-:7:GND"));
    EXPECT_THAT(names(circuit->interfaceparts), ElementsAre("U1_ADC#0000", "U1_DAC#0000"));
    EXPECT_TRUE(contains(circuit->analogparts, "U1_ADC#0000"));
    EXPECT_THAT(lines("#T:Adding V+ pin"),
        ElementsAre("#T:Adding V+ pin on {P:U1_ADC#0000}, connecting to {N:VCC}",
            "#T:Adding V+ pin on {P:U1_DAC#0000}, connecting to {N:VCC}"));
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#T:Analysing mixed net {N:IN}...\nCreated U1_ADC#0000\n"));
    EXPECT_THAT(text, HasSubstr("#T:Analysing mixed net {N:OUT}...\nCreated U1_DAC#0000\n"));
    // The interface objects are bound as every part is.
    EXPECT_EQ(text.find("#E:"), std::string::npos) << text;

    EXPECT_THAT(text, HasSubstr("#T:[BUILD]Adding node: {N:IN}\n"));
    EXPECT_THAT(text, HasSubstr("#T:[BUILD]Adding instance: {P:R1}\n"));
    EXPECT_EQ(text.find("Adding +5V power rail"), std::string::npos);
}

TEST_F(CircuitBuildTest, DigitalDesignGetsAGroundAndAFiveVoltRail)
{
    readfixture("digital.net");
    ASSERT_TRUE(build());
    ASSERT_NE(circuit->groundnet, nullptr);
    ASSERT_NE(circuit->supplynet, nullptr);
    EXPECT_STREQ(circuit->groundnet, "GND");
    EXPECT_STREQ(circuit->supplynet, "VCC");
    EXPECT_THAT(log(), HasSubstr("#I:Adding +5V power rail for VCC\n"));
    EXPECT_THAT(pins("PR0000_+5"), ElementsAre("1:14:VCC"));
    EXPECT_THAT(lines("#T:Net"),
        ElementsAre("#T:Net {N:A} is digital.", "#T:Net {N:B} is digital.", "#T:Net {N:C} is digital."));
}

TEST_F(CircuitBuildTest, UsedNetWithoutAKindTakesTheCircuitsSide)
{
    struct Case {
        const char* parts;
        const char* expected;
    } cases[] = {
        { "R1,RESISTOR,1k,PRIMITIVE=ANALOG\n", "#T:Net {N:P} is analogue." },
        { "U1,INV,,PRIMITIVE=DIGITAL\n", "#T:Net {N:P} is digital." },
    };
    for (const Case& c : cases) {
        read(std::string(
                 "TAVI\n\n:x\n*PROPERTIES,1\nTRACE_NETTYPES=2\n*PARTLIST,2\nP1,VPROBE,,PRIMITIVE=ANALOG\n")
            + c.parts + "*NETLIST,1\nP,1\nP1,PS,1\n\n");
        mark = size();
        ASSERT_TRUE(build());
        EXPECT_THAT(lines("#T:Net {N:P}"), ElementsAre(c.expected)) << c.parts;
    }
}

TEST_F(CircuitBuildTest, PowerInterfaceServesTheInterfaceObjectsOfItsPackage)
{
    fakes::digital().adcs["IN"] = { "U1_U2" };
    readfixture("power.net");
    ASSERT_TRUE(build());
    EXPECT_THAT(
        lines("#T:Setting"), ElementsAre("#T:Setting power interface of {P:U1_U2_ADC#0000} to {P:U1_PWR}"));
    EXPECT_THAT(pins("U1_U2_ADC#0000"), ElementsAre("A:1:IN", "D:2:IN", "V+:7:V5", "V-:7:GND"));
    EXPECT_TRUE(lines("#T:Adding V").empty());
    // The gate itself takes no power interface.
    EXPECT_THAT(pins("U1_U2"), ElementsAre("A:1:IN"));
}

TEST_F(CircuitBuildTest, NetsWithoutDcPathGetResistorsPassByPass)
{
    readfixture("dcpaths.net");
    ASSERT_TRUE(build());
    // A battery's net first (two battery pins: half the resistance), then an inductor's, then the
    // rest; a resistor makes the rest of its island reachable.
    EXPECT_THAT(lines("#T:Added"),
        ElementsAre("#T:Added 50.0M resistor to ground for net {N:C}.",
            "#T:Added 100M resistor to ground for net {N:E}.",
            "#T:Added 100M resistor to ground for net {N:B}.",
            "#T:Added 100M resistor to ground for net {N:G}."));
    EXPECT_THAT(pins("ER#0002"), ElementsAre("1:0:C", "2:0:GND"));
    EXPECT_STREQ(part("ER#0002")->getvalue(), "50.0M");
    EXPECT_TRUE(contains(circuit->analogparts, "ER#0006"));
}

TEST_F(CircuitBuildTest, WithoutGroundConductanceEveryUnreachedNetIsReported)
{
    readfixture("dcpaths.net").setproperty("GEARTH", "0");
    ASSERT_TRUE(build());
    EXPECT_THAT(lines("#W:"),
        ElementsAre("#W:Net {N:B} has no DC path to ground.", "#W:Net {N:C} has no DC path to ground.",
            "#W:Net {N:D} has no DC path to ground.", "#W:Net {N:E} has no DC path to ground.",
            "#W:Net {N:F} has no DC path to ground.", "#W:Net {N:G} has no DC path to ground.",
            "#W:Net {N:H} has no DC path to ground."));
    EXPECT_TRUE(lines("#T:Added").empty());
    EXPECT_EQ(part("ER#0001"), nullptr);
}

TEST_F(CircuitBuildTest, RefusedInterfacesEndTheBuild)
{
    fakes::digital().adcs["IN"] = { "U1" };
    fakes::script("pallex_createadcs", { 0 });
    readfixture("mixed.net");
    EXPECT_FALSE(build());
    EXPECT_THAT(log(), HasSubstr("#F:Failed to create ADC interfaces on net {N:IN}!\n"));
}

TEST_F(CircuitBuildTest, GroundAndSupplyComeFromTheFirstEntries)
{
    read("TAVI\n\n:x\n*PARTLIST,1\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n*NETLIST,3\n"
         "X,2\nR1,PS,1\nvss,PT,VSS\n\nY,2\nR1,PS,2\nGND,PR,GND\n\nRAIL,2\nvdd,PT,VDD\nVCC,PT,VCC\n\n");
    EXPECT_STREQ(circuit->groundnet, "X");
    EXPECT_STREQ(circuit->supplynet, "RAIL");
    EXPECT_EQ(netflags(circuit->groundnet), NET_USED | NET_POWER);

    read("TAVI\n\n:x\n*NETLIST,1\nRAIL,2\nGND,PT,GND\nVCC,PT,VCC\n\n");
    ASSERT_TRUE(build());
    EXPECT_THAT(log(), HasSubstr("#E:VCC and GND nets are connected - check net {N:RAIL}!\n"));
}

} // namespace
