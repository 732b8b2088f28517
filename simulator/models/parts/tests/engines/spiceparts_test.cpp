// SPICE parts and generators against the real engines: what they hand the SPICE engine solves.
#include "simulator/kernel/loader.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/tests/engines/realengine.h"
#include "simulator/models/parts/generator.h"
#include "simulator/models/parts/mosfet.h"
#include "simulator/models/spice/spiceparams.h"
#include "testsupport/temp_folder.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using testing::HasSubstr;

class SpicePartsEngineTest : public RealEngineTest {
protected:
    // A device type of the engine; null when it does not have it (yet).
    static const IFdevice* device(const char* name)
    {
        int32_t index;
        return findspicedevice(name, &index);
    }
};

// A supply generator made from an expression, a two-pin source, a one-pin current source and a
// divider. A one-pin source drives its net against ground: a voltage source from the net, a current
// source into it; a two-pin one binds its pins in order, as every SPICE part.
const char* sources
    = "TAVI\n\n:Sources\n*PROPERTIES,1\nVX=3\n*PARTLIST,7\n"
      "V1,VDC!,2*VX,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\nR2,RES,2k,PRIMITIVE=ANALOG\n"
      "I1,IDC!,1m,PRIMITIVE=ANALOG\nR3,RESISTOR,1k,PRIMITIVE=ANALOG\n"
      "V2,VSOURCE,1.5,PRIMITIVE=ANALOG\nR4,RESISTOR,1k,PRIMITIVE=ANALOG\n"
      "*NETLIST,5\nIN,2\nV1,PS,*\nR1,PS,1\n\nMID,2\nR1,PS,2\nR2,PS,1\n\nFED,2\nI1,PS,1\nR3,PS,1\n\n"
      "TOP,2\nV2,PS,+\nR4,PS,1\n\nGND,5\nR2,PS,2\nR3,PS,2\nV2,PS,-\nR4,PS,2\nGND,PT,GND\n\n";

TEST_F(SpicePartsEngineTest, SourcesAndResistorsSolve)
{
    ASSERT_TRUE(build(sources)) << log();
    std::map<std::string, double> voltages = operatingpoint();
    EXPECT_NEAR(voltages["IN"], 6.0, 1e-9);
    EXPECT_NEAR(voltages["MID"], 4.0, 1e-9);
    EXPECT_NEAR(voltages["FED"], 1.0, 1e-9); // the one-pin source drives current into its net
    EXPECT_NEAR(voltages["TOP"], 1.5, 1e-9);
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();

    auto* v1 = dynamic_cast<SPICECPT*>(circuit->findcomponent("V1"));
    ASSERT_NE(v1, nullptr);
    EXPECT_GT(v1->getbranch(circuit->spice, nullptr), 0);
    double current = 0;
    ASSERT_TRUE(v1->askparam("i", circuit->spice, &current));
    // The source delivers 2 mA out of its positive terminal.
    EXPECT_NEAR(current, -2e-3, 1e-12);
}

TEST_F(SpicePartsEngineTest, SpiceModelFromAModelFileBindsThroughTheParser)
{
    std::filesystem::path folder = vkt::test::makeTempSubfolder("models");
    std::ofstream(folder / "R.MOD") << "* resistors\n.model rmod r\n";
    std::ofstream(folder / "model.net")
        << "TAVI\n\n:Model\n*PROPERTIES,1\nDEBUG_BUILD=2\n*PARTLIST,2\n"
           "V1,VDC!,10,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG,SPICEMODEL=\"RMOD,R\"\n"
           "*NETLIST,2\nIN,2\nV1,PS,*\nR1,PS,1\n\nGND,2\nR1,PS,2\nGND,PT,GND\n\n";
    setenv("MODELS", folder.string().c_str(), 1);
    IFjob* options = nullptr;
    loadnetlist((folder / "model.net").string().c_str(), &circuit, &table, &task, &options);
    unsetenv("MODELS");
    ASSERT_NE(circuit, nullptr) << log();
    EXPECT_THAT(log(), HasSubstr("#T:[BUILD]Assigned model RMOD,R for R1\n"));
    circuit->setsweepvalue("", 0);
    OPERATINGPOINT analysis(circuit, task);
    EXPECT_EQ(analysis.run(1), 0) << log();
    EXPECT_NEAR(analysis.voltages["IN"], 10.0, 1e-9);
    double current = 0;
    ASSERT_TRUE(
        dynamic_cast<SPICECPT*>(circuit->findcomponent("R1"))->askparam("i", circuit->spice, &current));
    EXPECT_NEAR(std::abs(current), 10e-3, 1e-12);
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
    INPkillMods();
}

TEST_F(SpicePartsEngineTest, PartValuesAreReadAgainBeforeEachRun)
{
    ASSERT_TRUE(build("TAVI\n\n:Divider\n*PROPERTIES,1\nVX=1k\n*PARTLIST,3\nV1,VSOURCE,5,PRIMITIVE=ANALOG\n"
                      "R0,RESISTOR,1k,PRIMITIVE=ANALOG\nR1,RESISTOR,2*VX,PRIMITIVE=ANALOG\n"
                      "*NETLIST,3\nIN,2\nV1,PS,+\nR0,PS,1\n\nA,2\nR0,PS,2\nR1,PS,1\n\n"
                      "GND,3\nV1,PS,-\nR1,PS,2\nGND,PT,GND\n\n"))
        << log();
    EXPECT_NEAR(operatingpoint()["A"], 5.0 * 2000 / 3000, 1e-9);
    circuit->setproperty("VX", "2k");
    EXPECT_NEAR(operatingpoint()["A"], 5.0 * 4000 / 5000, 1e-9);
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
}

TEST_F(SpicePartsEngineTest, GeneratorWaveformsReachTheEngine)
{
    ASSERT_TRUE(
        build("TAVI\n\n:Waves\n*PROPERTIES,1\nTSTOP=1m\n*PARTLIST,5\nV1,VSINE!,,PRIMITIVE=ANALOG,FREQ=1k\n"
              "V2,VPULSE!,,PRIMITIVE=ANALOG,PW=25%\nV3,VEXP!,,PRIMITIVE=ANALOG\nV4,VSFFM!,,PRIMITIVE=ANALOG\n"
              "V5,VPWLIN!,,PRIMITIVE=ANALOG,V0=1,V1m=2\n*NETLIST,5\nA,1\nV1,PS,*\n\nB,1\nV2,PS,*\n\n"
              "C,1\nV3,PS,*\n\nD,1\nV4,PS,*\n\nE,1\nV5,PS,*\n\n"))
        << log();
    circuit->setsweepvalue("", 0);
    EXPECT_EQ(log().find("Failed load generator value"), std::string::npos) << log();
    for (const char* name : { "V1", "V2", "V3", "V4", "V5" })
        EXPECT_FALSE(dynamic_cast<GENERATOR*>(circuit->findcomponent(name))->coefficients.empty()) << name;
}

TEST_F(SpicePartsEngineTest, CapacitorBindsAsAPlainSpicePart)
{
    ASSERT_TRUE(build(
        "TAVI\n\n:RC\n*PARTLIST,3\nV1,VDC!,5,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n"
        "C1,CAPACITOR,1u,PRIMITIVE=ANALOG\n*NETLIST,3\nIN,2\nV1,PS,*\nR1,PS,1\n\nOUT,2\nR1,PS,2\nC1,PS,+\n\n"
        "GND,2\nC1,PS,-\nGND,PT,GND\n\n"))
        << log();
    EXPECT_NEAR(operatingpoint()["OUT"], 5.0, 1e-6);
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
}

TEST_F(SpicePartsEngineTest, GenericMosfetsTakeTheirLevelsRowAndTieAMissingBulkToTheSource)
{
    // An inverter of a level 3 P channel part and a level 1 N channel one, and an N channel part
    // of no level there is, held off, on its output. The P channel part and the one held off have
    // three pins.
    ASSERT_TRUE(build("TAVI\n\n:Inverter\n*PROPERTIES,1\nVX=0\n*PARTLIST,5\nVDD,VDC!,5,PRIMITIVE=ANALOG\n"
                      "VIN,VDC!,VX,PRIMITIVE=ANALOG\n"
                      "MP,PMOSFET,,PRIMITIVE=ANALOG,LEVEL=3,VTO=-0.8,KP=20u,W=4u,L=1u\n"
                      "MN,NMOSFET,,PRIMITIVE=ANALOG,LEVEL=1,VTO=0.8,KP=50u,W=2u,L=1u\n"
                      "ML,NMOSFET,,PRIMITIVE=ANALOG,LEVEL=8,VTO=0.8,KP=1u,W=2u,L=100u\n"
                      "*NETLIST,4\nVDD,2\nVDD,PS,*\nMP,PS,3\n\nIN,3\nVIN,PS,*\nMP,PS,2\nMN,PS,2\n\n"
                      "OUT,3\nMP,PS,1\nMN,PS,1\nML,PS,1\n\n"
                      "GND,5\nMN,PS,3\nMN,PS,4\nML,PS,2\nML,PS,3\nGND,PT,GND\n\n"))
        << log();
    EXPECT_THAT(log(), HasSubstr("Invalid level 8 specified for MOSFET ML"));
    auto* p = dynamic_cast<MOSFET*>(circuit->findcomponent("MP"));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->row->spicetype, "MOS3");
    EXPECT_STREQ(dynamic_cast<MOSFET*>(circuit->findcomponent("ML"))->row->spicetype, "MOS1");
    EXPECT_NEAR(operatingpoint()["OUT"], 5.0, 1e-3);
    circuit->setproperty("VX", "5");
    EXPECT_NEAR(operatingpoint()["OUT"], 0.0, 1e-3);
    // The bulk on the source: the P channel device sees no bulk bias.
    double vbs = 1;
    ASSERT_TRUE(p->askparam("vbs", circuit->spice, &vbs));
    EXPECT_EQ(vbs, 0);
}

} // namespace
