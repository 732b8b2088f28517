// The netlist load against the real engines: what the parser's passes and the build make together.
#include "simulator/kernel/loader.h"

#include "core/windows/registry.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/modellibrary.h"
#include "simulator/kernel/modellibrarybytes.h"
#include "simulator/kernel/nodehooks.h"
#include "simulator/kernel/tests/engines/realengine.h"
#include "testsupport/temp_folder.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

using testing::HasSubstr;

class LoaderTest : public RealEngineTest {
protected:
    void TearDown() override
    {
        unsetenv("MODELS");
        RealEngineTest::TearDown();
    }

    // Loads a netlist file; false when the load failed (circuit is then null).
    bool load(const std::string& path)
    {
        INPtabEnd(table);
        table = nullptr;
        if (task)
            spicesimulator->deleteTask(circuit->spice, task);
        task = nullptr;
        delete circuit;
        circuit = nullptr;
        loadnetlist(path.c_str(), &circuit, &table, &task, &options);
        return circuit != nullptr;
    }

    bool fixture(const char* name) { return load(std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name); }

    // Writes the netlist text to a file of the test's folder and loads it.
    bool loadtext(const std::string& text)
    {
        fs::path path = vkt::test::makeTempSubfolder("netlist") / "circuit.net";
        std::ofstream(path) << text;
        return load(path.string());
    }

    IFjob* options = nullptr;
};

// A divider on the 5 V rail whose upper resistor takes its SPICE model from the netlist's SPICE
// script, which adds a third resistor on the divider's output by the net's name.
const char* scripted
    = "TAVI NETLIST FILE\n\nDesign: Scripted\n*PROPERTIES,0\n"
      "*SCRIPT SPICE\n.MODEL RX R\nR9 OUT 0 1K\n*ENDSCRIPT\n"
      "*PARTLIST,2\nR1,RESISTOR,1k,PRIMITIVE=ANALOG,SPICEMODEL=RX\nR2,RESISTOR,1k,PRIMITIVE=ANALOG\n"
      "*NETLIST,3\nVCC,3\nR1,PS,1\nVCC,PT,VCC\n+5,PT,+5\n\nOUT,2\nR1,PS,2\nR2,PS,1\n\n"
      "GND,2\nR2,PS,2\nGND,PT,GND\n\n";

TEST_F(LoaderTest, TheDecksModelsAndCardsJoinTheBuiltCircuit)
{
    setdigitalhooks(true); // as an earlier load of a digital circuit left them
    ASSERT_TRUE(loadtext(scripted)) << log();
    // The model was read before the part bound it, and the card's nodes are the netlist's nets.
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
    EXPECT_EQ(log().find("#E:"), std::string::npos) << log();
    EXPECT_NE(options, nullptr);
    std::map<std::string, double> voltages = operatingpoint();
    EXPECT_NEAR(voltages["OUT"], 5.0 / 3, 1e-9);
    EXPECT_EQ(voltages.count("0"), 0u);

    // The parser's node slots are the kernel's hooks; an analog circuit leaves the digital
    // entries of the front end empty, one with digital parts fills them.
    EXPECT_EQ(parserdescriptor.newNode, spicenewnode);
    EXPECT_EQ(parserdescriptor.groundNode, spicegroundnode);
    EXPECT_EQ(parserdescriptor.findNode, spicesimulator->findNode);
    EXPECT_FALSE(spicefrontend.digitalSetup || spicefrontend.digitalAccept);
    ASSERT_TRUE(fixture("digital.net")) << log();
    EXPECT_TRUE(spicefrontend.digitalSetup && spicefrontend.digitalResume && spicefrontend.digitalBootStep
        && spicefrontend.digitalTimeStep && spicefrontend.digitalAccept);
}

TEST_F(LoaderTest, WithoutAnOptionsAnalysisTheLoadGoesOnWithoutOptions)
{
    int32_t kinds = spicesimulator->numAnalyses;
    spicesimulator->numAnalyses = 0;
    bool loaded = loadtext(scripted);
    spicesimulator->numAnalyses = kinds;
    ASSERT_TRUE(loaded) << log();
    EXPECT_EQ(options, nullptr);
    EXPECT_NEAR(operatingpoint()["OUT"], 5.0 / 3, 1e-9);
}

TEST_F(LoaderTest, ModelFoldersAreSearchedInOrderAndTheOrderIsKept)
{
    fs::path folder = vkt::test::makeTempSubfolder("models");
    auto library = [&](const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::vector<uint8_t> bytes(32 + 80 * 100);
        memcpy(bytes.data(), SPICELIBRARYSIGNATURE, strlen(SPICELIBRARYSIGNATURE));
        putle16(&bytes[16], 400);
        putle16(&bytes[20], 100);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<char*>(bytes.data()), static_cast<long>(bytes.size()));
    };
    library(folder / "second" / "ZENER.SML");
    library(folder / "first" / "ZENER.SML");
    library(folder / "first" / "BJT.SML");
    library(folder / "second" / "DIODES.SML");
    setenv("MODELS", ((folder / "first").string() + ";" + (folder / "second").string()).c_str(), 1);
    ASSERT_EQ(reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne\\Loader Test"), 1);
    reg_putstr("Spice Library\\Order", "000", "DIODES");

    ASSERT_TRUE(fixture("divider.net")) << log();
    std::vector<std::string> order;
    char name[256];
    for (const char* value : { "000", "001", "002", "003" })
        order.emplace_back(reg_getstr("Spice Library\\Order", value, name, sizeof name) > 0 ? name : "-");
    reg_term();
    EXPECT_EQ(order, (std::vector<std::string> { "DIODES", "BJT", "ZENER", "-" }));
}

TEST_F(LoaderTest, NodeCallbacksFindNetsByTheirIds)
{
    ASSERT_TRUE(fixture("divider.net")) << log();
    setnodehooknetlist(circuit);
    IFnode* node = nullptr;
    char name[16];
    snprintf(name, sizeof name, "$%08x", static_cast<unsigned>(netid(circuit->getnet("OUT"))));
    EXPECT_EQ(spicenewnode(circuit->spice, &node, name), 0);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->name, "OUT");
    // A "$" name that is no net's id is looked up as it stands and never makes a node.
    EXPECT_EQ(spicenewnode(circuit->spice, &node, "$7fffffff"), E_NOTFOUND);
    EXPECT_EQ(spicenewnode(circuit->spice, &node, "$ghost"), E_NOTFOUND);
    EXPECT_EQ(spicesimulator->findNode(circuit->spice, &node, "$ghost"), E_NOTFOUND);
    // Any other name makes a node of its own.
    node = nullptr;
    EXPECT_EQ(spicenewnode(circuit->spice, &node, "1:mid"), 0);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->name, "1:mid");
    IFnode* found = nullptr;
    EXPECT_EQ(spicesimulator->findNode(circuit->spice, &found, "1:mid"), 0);
    EXPECT_EQ(found, node);
    // The ground node the build made is given back.
    IFnode* ground = nullptr;
    EXPECT_EQ(spicegroundnode(circuit->spice, &ground, "0"), 0);
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(ground->number, 0);
    setnodehooknetlist(nullptr);
}

} // namespace
