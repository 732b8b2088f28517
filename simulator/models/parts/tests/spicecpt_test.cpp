#include "simulator/models/parts/tests/parttesting.h"

#include "engines/fakes/parser.h"
#include "simulator/models/parts/spicecpt.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <cstring>
#include <string>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

class SpicePartTest : public PartTest {
protected:
    SPICECPT* spicepart(const char* name) { return dynamic_cast<SPICECPT*>(part(name)); }

    // The part's watch record as the host reads it back.
    std::string watch(SPICECPT* part)
    {
        std::string path = (vkt::test::tempFolder() / "watch.PDF").string();
        PARTITION partition("WATCH", path.c_str());
        EXPECT_EQ(partition.open(PARTITION::MODE_UPDATE), 1);
        partition.beginrun();
        partition.endrun();
        partition.beginrun();
        DPA nodes;
        part->watchpopup(&nodes, nullptr, circuit->spice, &partition);
        partition.endrecords();
        DIDX records;
        partition.loadrecords(records);
        const char* found = records[part->name];
        std::string text = found ? found + strlen(found) + 1 : "(no record)";
        records.zap();
        return text;
    }
};

const char* groundedresistor = "A,1\nR1,PS,1\n\nGND,2\nR1,PS,2\nGND,PT,GND\n\n";

TEST_F(SpicePartTest, PlainPartBindsItsRowsModelAndTakesItsValueBeforeEachRun)
{
    load("DEBUG_BUILD=2\nDEBUG_LOAD=2\n", "R1,RESISTOR,2*VX,PRIMITIVE=ANALOG\n", groundedresistor);
    circuit->setproperty("VX", "1k");
    ASSERT_TRUE(build()) << log();
    EXPECT_THAT(log(), HasSubstr("#T:[BUILD]Assigned model RESISTOR for R1\n"));
    SPICECPT* r1 = spicepart("R1");
    ASSERT_NE(r1, nullptr);
    EXPECT_GT(r1->analogpins["1"]->node, 0);
    EXPECT_EQ(r1->analogpins["2"]->node, 0);

    // The values the engine solves with are checked on the real engines (tests/engines).
    circuit->setsweepvalue("", 0);
    EXPECT_THAT(log(), HasSubstr("#T:[LOAD]Instance Parameters for R1...\nresistance = 2*VX\n"));
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
}

TEST_F(SpicePartTest, PropertyNamedLikeAModelParameterGivesThePartAModelOfItsOwn)
{
    make("", "R1,RESISTOR,1k,PRIMITIVE=ANALOG,TC1=1m\nR2,RESISTOR,1k,PRIMITIVE=ANALOG\n",
        "A,2\nR1,PS,1\nR2,PS,1\n\nGND,3\nR1,PS,2\nR2,PS,2\nGND,PT,GND\n\n");
    EXPECT_EQ(spicepart("R1")->modelname, "R1");
    EXPECT_EQ(spicepart("R2")->modelname, "RESISTOR");
    EXPECT_THAT(
        fakes::callsof("newModel"), ElementsAre("newModel(Resistor, R1)", "newModel(Resistor, RESISTOR)"));
    EXPECT_THAT(fakes::callsof("setModelParm"), ElementsAre("setModelParm(R1, tc1=0.001)"));
}

TEST_F(SpicePartTest, ModelsAreSetUpOncePerPassByTheirFirstPart)
{
    load("",
        "Q1,NPN,,PRIMITIVE=ANALOG,SPICEMODEL=\"BC547,BJT.LIB\"\nQ2,NPN,,PRIMITIVE=ANALOG,SPICEMODEL=\"BC547,"
        "BJT.LIB\"\n"
        "Q3,NPN,,PRIMITIVE=ANALOG,MODEL=QMOD,AREA=2\nQ4,NPN,,PRIMITIVE=ANALOG,MODEL=QMOD\n",
        "C,4\nQ1,PS,C\nQ2,PS,C\nQ3,PS,C\nQ4,PS,C\n\nGND,5\nQ1,PS,E\nQ2,PS,E\nQ3,PS,E\nQ4,PS,E\nGND,PT,"
        "GND\n\n",
        "*MODELDEFS,1\nQMOD: BF=200, IS=1e-15\n");
    parsedmodel("bc547", "BJT");
    ASSERT_TRUE(build()) << log();
    EXPECT_EQ(spicepart("Q1")->modelname, "BC547,BJT.LIB");
    EXPECT_EQ(spicepart("Q3")->modelname, "QMOD");
    for (int pass = 0; pass < 2; ++pass) {
        forget();
        circuit->setsweepvalue("", 0);
        EXPECT_THAT(callssince("setModelParm"),
            ElementsAre("setModelParm(bc547, npn=1)", "setModelParm(QMOD, npn=1)",
                "setModelParm(QMOD, is=1e-15)", "setModelParm(QMOD, bf=200)"))
            << pass;
    }
    // The model's properties are not the part's: only Q3's own AREA reaches its instance.
    EXPECT_THAT(callsabout("Q3"), ElementsAre("setInstanceParm(Q3, area=2)"));
    EXPECT_THAT(callsabout("Q4"), IsEmpty());
}

TEST_F(SpicePartTest, SpiceModelTheParserLacksIsReportedAndTheRowsModelServes)
{
    make("", "Q1,NPN,,PRIMITIVE=ANALOG,SPICEMODEL=NOSUCH\n", "GND,2\nQ1,PS,E\nGND,PT,GND\n\n");
    EXPECT_THAT(log(), HasSubstr("#W:[SPICE] - unable to find definition of model nosuch\n%S=Q1\n"));
    EXPECT_EQ(spicepart("Q1")->modelname, "NPN");
    EXPECT_THAT(fakes::callsof("newModel"), testing::Contains("newModel(BJT, NPN)"));
}

TEST_F(SpicePartTest, MissingValueAndRefusedPinsAreWarnedAbout)
{
    load("", "R1,RESISTOR,,PRIMITIVE=ANALOG,VALUE=?\n", groundedresistor);
    fakes::script("bindNode", { E_NOTERM });
    ASSERT_TRUE(build()) << log();
    circuit->setsweepvalue("", 0);
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#W:Failed to bind pin 1.\n%S=R1\n"));
    EXPECT_THAT(text, HasSubstr("#W:Value expected for R1\n%S=R1\n"));
    EXPECT_EQ(spicepart("R1")->analogpins["1"]->node, -1);
    EXPECT_THAT(fakes::callsof("setInstanceParm"), IsEmpty());
}

TEST_F(SpicePartTest, RefusedInstanceLeavesThePartUnbound)
{
    load("", "R1,RESISTOR,1k,PRIMITIVE=ANALOG\n", groundedresistor);
    fakes::script("newInstance", { E_NOMEM });
    ASSERT_TRUE(build()) << log();
    circuit->setsweepvalue("", 0);
    EXPECT_THAT(log(), HasSubstr("#E:The SPICE engine made no Resistor instance.\n%S=R1\n"));
    EXPECT_THAT(callsabout("R1"), ElementsAre("newInstance(RESISTOR, R1)"));
}

TEST_F(SpicePartTest, WatchRecordListsTheAskableParametersTheRowNames)
{
    make("", "D1,DIODE,,PRIMITIVE=ANALOG\nV1,VSOURCE,5,PRIMITIVE=ANALOG\nC1,CAPACITOR,1n,PRIMITIVE=ANALOG\n",
        "A,3\nD1,PS,A\nV1,PS,+\nC1,PS,+\n\nGND,4\nD1,PS,K\nV1,PS,-\nC1,PS,-\nGND,PT,GND\n\n");
    fakes::spice().answers = { { "D1.id", 1.2e-3 }, { "D1.cd", 2e-12 }, { "V1.i", 2e-3 }, { "V1.p", -0.01 } };
    EXPECT_EQ(watch(spicepart("D1")),
        "\n{C=400000,U}INSTANCE PARAMETERS{U}\n{H}\n"
        "{C=0}ID\t=  {C=4000}1.200mA\n{C=0}Capacitance\t=  {C=4000}2.000pF\n");
    EXPECT_EQ(watch(spicepart("V1")),
        "\n{C=400000,U}INSTANCE PARAMETERS{U}\n{H}\n"
        "{C=0}O/P Current\t=  {C=4000}-2.000mA\n{C=0}Power\t=  {C=4000}-10.00mW\n");
    // A watch quantity the device does not have is left out.
    EXPECT_EQ(watch(spicepart("C1")), "\n{C=400000,U}INSTANCE PARAMETERS{U}\n{H}\n");
}

TEST_F(SpicePartTest, BranchIsTheSourcesEquation)
{
    make("", "V1,VSOURCE,5,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n",
        "A,2\nV1,PS,+\nR1,PS,1\n\nGND,3\nV1,PS,-\nR1,PS,2\nGND,PT,GND\n\n");
    EXPECT_GT(part("V1")->getbranch(circuit->spice, nullptr), 0);
    EXPECT_EQ(part("R1")->getbranch(circuit->spice, nullptr), 0);
}

} // namespace
