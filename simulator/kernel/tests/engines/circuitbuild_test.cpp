// Circuit construction against the real engines: the SPICE engine solves what the builder made.
#include "simulator/kernel/tests/engines/realengine.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

using testing::HasSubstr;

class RealEngineBuildTest : public RealEngineTest {
protected:
    // The text of a netlist of tests/fixtures.
    static std::string fixture(const char* name)
    {
        std::ifstream file(std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

// A divider on a 5 V rail, and two nets the builder grounds: an island between two resistors, and
// a net that a current source feeds.
const char* divider = "TAVI NETLIST FILE\n\nDesign: Divider\n*PROPERTIES,1\nTRACE_DCPATHS=2\n*PARTLIST,4\n"
                      "R1,RESISTOR,1k,PRIMITIVE=ANALOG\nR2,RES,3k,PRIMITIVE=ANALOG\n"
                      "R3,RESISTOR,10k,PRIMITIVE=ANALOG\nI1,CSOURCE,1u,PRIMITIVE=ANALOG\n"
                      "*NETLIST,6\n"
                      "VCC,3\nR1,PS,1\nVCC,PT,VCC\n+5,PT,+5\n\n"
                      "MID,2\nR1,PS,2\nR2,PS,1\n\n"
                      "GND,3\nR2,PS,2\nI1,PS,1\nGND,PT,GND\n\n"
                      "FED,1\nI1,PS,2\n\n"
                      "X,1\nR3,PS,1\n\nY,1\nR3,PS,2\n\n";

TEST_F(RealEngineBuildTest, BuiltCircuitSolves)
{
    ASSERT_TRUE(build(divider)) << log();
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#T:Added 100M resistor to ground for net {N:FED}.\n"));
    EXPECT_THAT(text, HasSubstr("#T:Added 100M resistor to ground for net {N:X}.\n"));
    EXPECT_EQ(text.find("for net {N:Y}"), std::string::npos) << text;
    EXPECT_EQ(text.find("#E:"), std::string::npos) << text;
    EXPECT_EQ(text.find("#W:"), std::string::npos) << text;

    std::map<std::string, double> voltages = operatingpoint();
    EXPECT_NEAR(voltages["VCC"], 5.0, 1e-9);
    EXPECT_NEAR(voltages["MID"], 3.75, 1e-9);
    // 1 uA through the 100 Mohm ground resistor; the island floats at ground.
    EXPECT_NEAR(voltages["FED"], 100.0, 1e-6);
    EXPECT_NEAR(voltages["X"], 0.0, 1e-9);
    EXPECT_NEAR(voltages["Y"], 0.0, 1e-9);
}

TEST_F(RealEngineBuildTest, DigitalDesignGetsARailTheEngineSolves)
{
    EXPECT_TRUE(build("TAVI\n\n:Gates\n*PARTLIST,1\nU1,INV,,PRIMITIVE=DIGITAL\n*NETLIST,2\nA,1\nU1,IP,A\n\n"
                      "B,1\nU1,OP,Y\n\n"));
    EXPECT_TRUE(circuit->hasdigital());
    EXPECT_THAT(log(), HasSubstr("#I:Adding +5V power rail for VCC\n"));
    // The rail's generator is the one instance, a DC source from VCC to ground.
    std::map<std::string, double> voltages = operatingpoint();
    EXPECT_NEAR(voltages["VCC"], 5.0, 1e-9);
    EXPECT_EQ(voltages.size(), 2u); // VCC and the source's branch
    int32_t type = -1;
    IFinstance* instance = nullptr;
    EXPECT_EQ(
        spicesimulator->findInstance(circuit->spice, &type, &instance, const_cast<char*>("PR0000_+5")), 0);
}

TEST_F(RealEngineBuildTest, AnalogNetsAreTheEnginesNodesAndTheGroundItsGround)
{
    ASSERT_TRUE(build(fixture("mixed.net"))) << log();
    const struct {
        const char* net;
        int result;
        int32_t number;
    } nodes[] = { { "IN", 0, 1 }, { "OUT", 0, 2 }, { "VCC", 0, 3 }, { "GND", 0, 0 },
        { "CLK", E_NOTFOUND, -1 }, { "PROBE", E_NOTFOUND, -1 } };
    for (const auto& expected : nodes) {
        IFnode* node = nullptr;
        EXPECT_EQ(
            spicesimulator->findNode(circuit->spice, &node, const_cast<char*>(expected.net)), expected.result)
            << expected.net;
        EXPECT_EQ(node ? node->number : -1, expected.number) << expected.net;
    }
}

TEST_F(RealEngineBuildTest, DeviceTypeTheEngineLacksEndsTheLoadAtItsFirstPart)
{
    // The engine has every type the kernel maps: a copy of its descriptor without the lossy line.
    IFsimulator* engine = spicesimulator;
    IFsimulator lacking = *engine;
    std::vector<const IFdevice*> devices;
    for (int32_t i = 0; i < engine->numDevices; ++i) {
        if (std::string(engine->devices[i]->name) != "LTRA")
            devices.push_back(engine->devices[i]);
    }
    lacking.devices = devices.data();
    lacking.numDevices = static_cast<int32_t>(devices.size());
    spicesimulator = &lacking;
    circuit = new CIRCUIT;
    std::string text
        = "TAVI\n\n:x\n*PARTLIST,2\nM1,LOSSYLINE,NM,PRIMITIVE=ANALOG\nM2,LOSSYLINE,NM,PRIMITIVE=ANALOG\n";
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    bool read = guarded([&] { circuit->read(stream); });
    fclose(stream);
    EXPECT_FALSE(read);
    EXPECT_THAT(log(), HasSubstr("\n#F:SPICE object type LTRA not found!\n"));
    EXPECT_EQ(circuit->parts.count, 0);
    spicesimulator = engine;
}

} // namespace
