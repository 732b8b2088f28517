// Parts with model libraries and script models against the recording fake engines, with the test
// libraries of tests/plugins.
#include "simulator/kernel/tests/factorytesting.h"

#include "engines/contract/models.h"
#include "engines/fakes/recorder.h"
#include "platform/win/modules.h"
#include "simulator/kernel/activemodels.h"
#include "simulator/kernel/guard.h"
#include "simulator/models/extmodel/extmodel.h"
#include "testsupport/sanitizers.h"
#include "testsupport/temp_folder.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

using testing::ElementsAre;
using testing::HasSubstr;

namespace {

class ExtmodelTest : public FactoryTest {
protected:
    void SetUp() override
    {
        setenv("MODELS", TESTMODELS, 1);
        FactoryTest::SetUp();
        // The test libraries stay loaded through the test, so that their notes can be read after
        // the parts went; the notes of earlier tests are left out.
        for (const char* name : { "MIXEDTEST", "SPLITTEST", "TRIVOLA" }) {
            HMODULE library = LoadLibraryA((std::string(TESTMODELS "/") + name + ".so").c_str());
            ASSERT_NE(library, nullptr) << name;
            libraries[name] = { library, std::string(notes(library)).size() };
        }
    }
    void TearDown() override
    {
        FactoryTest::TearDown();
        for (const auto& [name, library] : libraries)
            FreeLibrary(library.first);
        unsetenv("MODELS");
    }

    EXTMODEL* model(const char* name) { return dynamic_cast<EXTMODEL*>(part(name)); }

    // What the test library noted in this test.
    std::string noted(const char* name)
    {
        const auto& [library, mark] = libraries[name];
        return std::string(notes(library)).substr(mark);
    }

    static const char* notes(HMODULE library)
    {
        return reinterpret_cast<const char* (*)()>(GetProcAddress(library, "testcalls"))();
    }

    std::map<std::string, std::pair<HMODULE, size_t>> libraries;
};

TEST_F(ExtmodelTest, MixedEntryAloneIsAskedAndItsModelServesBothSides)
{
    read("TAVI\n\n:x\n*PROPERTIES,2\nDEBUG_BUILD=2\nTRACE_NETTYPES=2\n*PARTLIST,2\n"
         "U1,CTR,,PRIMITIVE=ANALOG,PRIMTYPE=STAIR,MODDLL=mixedtest\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n"
         "*NETLIST,4\nOUT,2\nU1,PS,A1\nR1,PS,1\n\nCLK,1\nU1,IP,D1\n\nBOTH,1\nU1,IO,X1\n\nGND,2\nR1,PS,2\nGND,"
         "PT,GND\n\n");
    EXTMODEL* u1 = model("U1");
    ASSERT_NE(u1, nullptr);
    EXPECT_STREQ(u1->row->name, "EXTMODEL");
    EXPECT_EQ(u1->file, "mixedtest.DLL");
    EXPECT_EQ(noted("MIXEDTEST"), "createmixed STAIR;");
    ASSERT_NE(u1->mixed, nullptr);
    EXPECT_EQ(u1->analog, static_cast<ISPICEMODEL*>(u1->mixed));
    EXPECT_EQ(u1->digital, static_cast<IPALLEXMODEL*>(u1->mixed));
    EXPECT_EQ(circuit->analogparts.find(u1) >= 0 && circuit->digitalparts.find(u1) >= 0, true);
    EXPECT_TRUE(u1->isanalogpin(u1->findpin("A1")) && !u1->isdigitalpin(u1->findpin("A1")));
    EXPECT_TRUE(u1->isdualpin(u1->findpin("X1")));
    EXPECT_FALSE(u1->isdualpin(nullptr));

    mark = size();
    ASSERT_TRUE(build()) << log();
    EXPECT_THAT(fakes::calls(),
        testing::IsSupersetOf({ "findModel(mixedtest)", "newModel(OBJITF, mixedtest)",
            "newInstance(mixedtest, U1)", "pallex_create(U1, EXTMODEL)", "pallex_connect(U1, D1, 1, CLK)" }));
    EXPECT_THAT(
        log(), HasSubstr("#T:[BUILD]Created EXTMODEL mixedtest\n#T:[BUILD]Created SPICE instance for U1\n"));
    EXPECT_THAT(log(), HasSubstr("#T:[BUILD]Created PALLEX instance for U1\n"));
    // The dual pin's net has no analog pin besides it: it is digital, and so the pin.
    EXPECT_THAT(
        log(), HasSubstr("#T:No SPICE node available for pin X1 - net {N:BOTH} is digital only (flags=86)"));
    EXPECT_GE(u1->getspicenode("A1", 1), 1);
    EXPECT_EQ(u1->getspicenode("X1", 0), -1);
    EXPECT_NE(u1->getpallexpin("X1", 0), nullptr);
}

TEST_F(ExtmodelTest, ModelsGoBackThroughTheirDeleteEntriesAndTheLibraryIsFreed)
{
    read("TAVI\n\n:x\n*PARTLIST,3\nU1,X,,PRIMITIVE=ANALOG,MODDLL=MIXEDTEST.DLL\nU2,X,,PRIMITIVE=ANALOG,"
         "MODDLL=SPLITTEST\n"
         "U3,X,,PRIMITIVE=ANALOG,MODDLL=NODELETES\n");
    EXPECT_EQ(noted("SPLITTEST"), "createspice X;createpallex X;");
    HMODULE library = model("U1")->module;
    EXPECT_EQ(library, libraries["MIXEDTEST"].first);
    mark = size();
    circuit.reset();
    EXPECT_EQ(noted("MIXEDTEST"), "createmixed X;deletemixed mixed;");
    EXPECT_EQ(noted("SPLITTEST"), "createspice X;createpallex X;deletespice spice;deletepallex pallex;");
    EXPECT_THAT(lines("#W:"),
        ElementsAre(
            "#W:Function 'deletespicemodel' not found.", "#W:Function 'deletepallexmodel' not found."));
    // The part's load is gone: only the test's own is left.
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_FALSE(FreeLibrary(library));
    libraries["MIXEDTEST"].first = LoadLibraryA(TESTMODELS "/MIXEDTEST.so");
}

TEST_F(ExtmodelTest, RefusedModelsAreErrorsAndALibraryWithoutEntriesAWarning)
{
    read("TAVI\n\n:x\n*PARTLIST,3\nU1,X,,PRIMITIVE=ANALOG,PRIMTYPE=NULL,MODDLL=SPLITTEST\n"
         "U2,X,,PRIMITIVE=ANALOG,PRIMTYPE=NULL,MODDLL=MIXEDTEST\nU3,X,,PRIMITIVE=ANALOG,MODDLL=BARETEST\n");
    EXPECT_THAT(lines("#E:"),
        ElementsAre("#E:SPLITTEST.DLL failed to create SPICE model for primitive type 'NULL'.",
            "#E:SPLITTEST.DLL failed to create PALLEX model for primitive type 'NULL'.",
            "#E:MIXEDTEST.DLL failed to create MIXED model for primitive type 'NULL'."));
    EXPECT_THAT(log(),
        HasSubstr("#W:Batch mode model creation function(s) not found in BARETEST.DLL.\n%S=U3\n"
                  "%H=WUNO.HLP,03EA\n"));
    for (const char* name : { "U1", "U2", "U3" }) {
        EXPECT_FALSE(model(name)->isanalogpin(nullptr) || model(name)->isdigitalpin(nullptr)) << name;
        EXPECT_EQ(circuit->analogparts.find(model(name)), -1) << name;
    }
}

TEST_F(ExtmodelTest, LibraryIsFoundWithoutRegardToCaseAlongTheFolders)
{
    setenv("MODELS", "/nowhere;;" TESTMODELS "/;" TESTMODELS, 1);
    read("TAVI\n\n:x\n*PARTLIST,2\nU1,X,,PRIMITIVE=ANALOG,MODDLL=Mixedtest.dll\nU2,X,,PRIMITIVE=ANALOG,"
         "MODDLL=DIGMODEL\n");
    ASSERT_NE(model("U1"), nullptr);
    EXPECT_NE(model("U1")->module, nullptr);
    EXPECT_THAT(lines("#W:"),
        ElementsAre("#W:The model library DIGMODEL.DLL is obsolete: the device must be replaced."));
}

TEST_F(ExtmodelTest, MissingLibraryEndsTheRunAndAFaultingOneToo)
{
    read("TAVI\n\n:x\n");
    EXPECT_FALSE(guarded([&] { make("U1", "X", "PRIMITIVE=ANALOG,MODDLL=NOWHERE"); }));
    EXPECT_THAT(
        log(), HasSubstr("#F:External model DLL \"NOWHERE.DLL\" not found. GLE=0x0000007E.\n%S=U1\n"));
    EXPECT_EQ(simstatus, 3);
    EXPECT_EQ(part("U1"), nullptr);

    simstatus = 0;
    mark = size();
    [[maybe_unused]] vkt::test::ABANDONEDALLOCATIONS abandoned;
    EXPECT_FALSE(guarded([&] { make("U2", "X", "PRIMITIVE=ANALOG,MODDLL=FAULTING"); }));
    EXPECT_EQ(log().rfind("#X:Internal Exception: access violation", 0), 0u) << log();
    EXPECT_EQ(simstatus, 3);
}

TEST_F(ExtmodelTest, ExampleLibraryServesItsCounterAsOneMixedModel)
{
    setenv("MODELS", MODELLIBRARIES, 1);
    read("TAVI\n\n:x\n*PARTLIST,2\nU1,COUNTER,,PRIMITIVE=ANALOG,PRIMTYPE=COUNTER,MODDLL=COUNTER\n"
         "U2,COUNTER,,PRIMITIVE=ANALOG,PRIMTYPE=DAC,MODDLL=COUNTER\n"
         "*NETLIST,4\nCLK,1\nU1,IP,CLK\n\nQ0,1\nU1,OP,Q0\n\nOUT,1\nU1,PS,OUT\n\nGND,1\nGND,PT,GND\n\n");
    EXTMODEL* counter = model("U1");
    ASSERT_NE(counter, nullptr);
    ASSERT_NE(counter->mixed, nullptr);
    EXPECT_EQ(counter->ismixed(), 1);
    EXPECT_THAT(pins("U1"), ElementsAre("CLK:1:CLK", "OUT:0:OUT", "Q0:2:Q0"));
    EXPECT_EQ(counter->analogpins.count, 1);
    EXPECT_EQ(counter->digitalpins.count, 2);
    EXPECT_THAT(
        lines("#E:"), ElementsAre("#E:COUNTER.DLL failed to create MIXED model for primitive type 'DAC'."));
    ASSERT_TRUE(build()) << log();
    EXPECT_THAT(fakes::callsof("newInstance(COUNTER"), ElementsAre("newInstance(COUNTER, U1)"));
    EXPECT_THAT(fakes::callsof("pallex_connect(U1"),
        ElementsAre("pallex_connect(U1, CLK, 1, CLK)", "pallex_connect(U1, Q0, 2, Q0)"));
}

class ActiveObject final : public IACTIVEMODEL {
public:
    void attach(void*) override { }
    ISPICEMODEL* getspicemodel(const char* type) override { return type[0] == 'A' ? model : nullptr; }
    IPALLEXMODEL* getpallexmodel(const char*) override { return nullptr; }

    ISPICEMODEL* model = nullptr;
};

TEST_F(ExtmodelTest, HostsModelObjectServesInPlaceOfTheLibraryAndIsNeverDeleted)
{
    read("TAVI\n\n:x\n*PARTLIST,1\nR,X,,PRIMITIVE=ANALOG,MODDLL=MIXEDTEST\n");
    ISPICEMODEL* given = model("R")->analog;
    ActiveObject object;
    object.model = given;
    setactivemodel(0x2A, &object);
    EXTMODEL* registered = dynamic_cast<EXTMODEL*>(
        make("U1", "X", "PRIMITIVE=ANALOG,PRIMTYPE=AMP,MODDLL=MIXEDTEST,ACTIVE=0001:0000002A"));
    EXTMODEL* none = dynamic_cast<EXTMODEL*>(
        make("U2", "X", "PRIMITIVE=ANALOG,PRIMTYPE=LCD,MODDLL=MIXEDTEST,ACTIVE=1:2a"));
    EXTMODEL* unknown
        = dynamic_cast<EXTMODEL*>(make("U3", "X", "PRIMITIVE=ANALOG,MODDLL=MIXEDTEST,ACTIVE=1:2B"));
    EXTMODEL* plain
        = dynamic_cast<EXTMODEL*>(make("U4", "X", "PRIMITIVE=ANALOG,MODDLL=MIXEDTEST,ACTIVE=00000001"));
    clearactivemodels();
    ASSERT_TRUE(registered && none && unknown && plain);
    EXPECT_EQ(registered->activemodel, &object);
    EXPECT_EQ(registered->analog, given);
    EXPECT_EQ(registered->digital, nullptr);
    EXPECT_EQ(unknown->activemodel, nullptr);
    EXPECT_NE(unknown->mixed, nullptr);
    EXPECT_EQ(plain->activemodel, nullptr);
    // The library's entries were asked only for the parts without an object.
    EXPECT_EQ(noted("MIXEDTEST"), "createmixed X;createmixed X;createmixed X;");
    EXPECT_THAT(lines("#E:"),
        ElementsAre("#E:active model did not create electrical model for primitive type 'LCD'.",
            "#E:The ACTIVE property names the model object 0000002B, which the host has not registered."));
    // The object's model is the object's: releasing U1 leaves it alone.
    circuit.reset();
}

TEST_F(ExtmodelTest, InteractiveCallsReachTheModelOfTheElementThatHoldsActive)
{
    read("TAVI\n\n:x\n*PARTLIST,2\nU1,X,,PRIMITIVE=DUMMY,ACTIVE=0003:00000001,EID=1F,SHEETID=2\n"
         "U1_A,X,,PRIMITIVE=ANALOG,MODDLL=MIXEDTEST,ELEMENT=4\n");
    EXTMODEL* part = model("U1_A");
    part->initialise(circuit.get(), nullptr);
    EXPECT_EQ(part->eid, 0x1Fu);
    EXPECT_EQ(part->event.sheet, 2u);
    EXPECT_EQ(part->event.first, 3u);
    EXPECT_EQ(part->event.second, 4u);
    part->userevent(0x1E, 0, 7);
    part->userevent(0x1F, 0, 8);
    DPA list(4);
    EXPECT_EQ(part->activeevents(0, &list), 1);
    EXPECT_EQ(list.count, 1);
    part->setrunmode(2);
    EXPECT_EQ(part->activeevents(0, &list), 1);
    EXPECT_EQ(list.count, 1);
    EXPECT_EQ(
        noted("MIXEDTEST"), "createmixed X;mixed setstate 8;mixed getstate;mixed runmode 2;mixed getstate;");
}

TEST_F(ExtmodelTest, ScriptModelsFindTheirScriptsAndTheEngineCompilesThem)
{
    read("TAVI\n\n:x\n*SCRIPT PROGRAM Ctl\nrun\n*ENDSCRIPT\n*SCRIPT GENERATOR CLOCK\nsquare\n*ENDSCRIPT\n"
         "*SCRIPT MACRO M\n*ENDSCRIPT\n*PARTLIST,5\n"
         "U1,X,,PRIMITIVE=ANALOG,SCRIPT=ctl\n"
         "U2_A,X,1,PRIMITIVE=ANALOG,SCRIPT=CLOCK,EID=1,F=1M\n"
         "U2_B,X,2,PRIMITIVE=ANALOG,SCRIPT=CLOCK,EID=2,F=2M,DUTY=50\n"
         "U3,X,,PRIMITIVE=ANALOG,SCRIPT=NOPE\n"
         "U4,X,,PRIMITIVE=ANALOG,SCRIPT=M\n"
         "*NETLIST,2\nOUT,1\nU2_A,OP,Q\n\nOUT2,1\nU2_B,OP,Q\n\n");

    auto* program = dynamic_cast<SCRIPTMODEL*>(part("U1"));
    ASSERT_NE(program, nullptr);
    ASSERT_NE(program->script, nullptr);
    EXPECT_STREQ(program->row->name, "SCRIPT");
    EXPECT_EQ(program->file, "TRIVOLA.DLL");
    EXPECT_STREQ(program->getstrval("script", nullptr), "PROGRAM Ctl");
    EXPECT_STREQ(program->getstrval("SCRIPT", nullptr) + SCRIPTNAMESIZE, "run\n");
    EXPECT_EQ(noted("TRIVOLA"),
        "createmixed PROGRAM Ctl;loadprogram U1 PROGRAM Ctl: run\n;"
        "createmixed GENERATOR CLOCK;loadprogram U2_CLOCK#SCRIPT GENERATOR CLOCK: square\n;"
        "createmixed ;");

    // One model serves both generator parts; the parts hand it their pins.
    auto* shared = dynamic_cast<SCRIPTMODEL*>(part("U2_CLOCK#SCRIPT"));
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(kernelclass(part("U2_A")), "SCRIPTDUMMY");
    EXPECT_EQ(kernelclass(part("U2_B")), "SCRIPTDUMMY");
    EXPECT_THAT(pins("U2_CLOCK#SCRIPT"), ElementsAre("Q:3:OUT", "Q:3:OUT2"));
    EXPECT_TRUE(part("U2_A")->pins.count == 0);
    EXPECT_STREQ(shared->getproperty("F"), "1M");
    EXPECT_STREQ(shared->getproperty("DUTY"), "50");
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#W:Multiple values for property 'F' for script 'CLOCK'\n"));
    EXPECT_EQ(text.find("for property 'EID'"), std::string::npos);

    EXPECT_THAT(text, HasSubstr("#E:Script model missing.\n%S=U3\n"));
    EXPECT_EQ(part("U4"), nullptr);
}

TEST_F(ExtmodelTest, ScriptEngineWithoutLoadprogramIsNoScriptEngine)
{
    std::filesystem::path folder = vkt::test::makeTempSubfolder("engine");
    std::filesystem::create_symlink(TESTMODELS "/MIXEDTEST.so", folder / "TRIVOLA.so");
    setenv("MODELS", folder.c_str(), 1);
    read("TAVI\n\n:x\n*SCRIPT PROGRAM P\nrun\n*ENDSCRIPT\n*PARTLIST,2\nU1,X,,PRIMITIVE=ANALOG,SCRIPT=P\n"
         "U2,X,,PRIMITIVE=ANALOG,SCRIPT=NOPE\n");
    EXPECT_THAT(lines("#E:"),
        ElementsAre("#E:'TRIVOLA.DLL' is not a script model", "#E:'TRIVOLA.DLL' is not a script model"));
}

} // namespace
