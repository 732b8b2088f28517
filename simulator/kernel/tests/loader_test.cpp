#include "simulator/kernel/loader.h"

#include "core/windows/registry.h"
#include "simulator/kernel/modellibrary.h"
#include "simulator/kernel/modellibrarybytes.h"
#include "simulator/kernel/nodehooks.h"
#include "simulator/kernel/tests/kerneltesting.h"
#include "testsupport/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class LoaderTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        signon();
    }
    void TearDown() override
    {
        INPtabEnd(table);
        delete circuit;
        unsetenv("MODELS");
        KernelTest::TearDown();
    }

    // Loads a fixture netlist of tests/fixtures; the calls the fakes recorded.
    std::vector<std::string> load(const char* fixture)
    {
        INPtabEnd(table);
        delete circuit;
        circuit = nullptr;
        std::string path = std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + fixture;
        loadnetlist(path.c_str(), &circuit, &table, &task, &options);
        return fakes::calls();
    }

    CIRCUIT* circuit = nullptr;
    INPtables* table = nullptr;
    IFtask* task = nullptr;
    IFjob* options = nullptr;
};

// The position of the first recorded call that begins with prefix; the call count when none does.
size_t position(const std::vector<std::string>& calls, const std::string& prefix)
{
    auto found = std::find_if(
        calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    return static_cast<size_t>(found - calls.begin());
}

TEST_F(LoaderTest, FirstPassThenTheBuildThenTheSecondPassWithTheNodeCallbacks)
{
    setdigitalhooks(true); // as an earlier load of a digital circuit left them
    std::vector<std::string> calls = load("divider.net");
    ASSERT_NE(circuit, nullptr) << log();
    size_t task = position(calls, "newTask(TASK)");
    size_t tableinit = position(calls, "INPtabInit(");
    size_t first = position(calls, "INPpas1(0 cards)");
    size_t ground = position(calls, "INPgndInsert(");
    size_t second = position(calls, "INPpas2(0 cards, task, options)");
    EXPECT_LT(task, tableinit);
    EXPECT_LT(tableinit, first);
    EXPECT_LT(first, ground);
    EXPECT_LT(ground, second);
    EXPECT_LT(second, calls.size());
    EXPECT_EQ(calls[tableinit], fakes::format("INPtabInit(%d)", circuit->parts.count + circuit->netcount()));
    EXPECT_EQ(parserdescriptor.newNode, spicenewnode);
    EXPECT_EQ(parserdescriptor.groundNode, spicegroundnode);
    EXPECT_EQ(parserdescriptor.findNode, spicesimulator->findNode);
    EXPECT_FALSE(spicefrontend.digitalSetup || spicefrontend.digitalAccept);

    load("mixed.net");
    ASSERT_NE(circuit, nullptr) << log();
    EXPECT_TRUE(spicefrontend.digitalSetup && spicefrontend.digitalResume && spicefrontend.digitalBootStep
        && spicefrontend.digitalTimeStep && spicefrontend.digitalAccept);
}

TEST_F(LoaderTest, WithoutAnOptionsAnalysisTheSecondPassGetsNoOptions)
{
    int32_t kinds = spicesimulator->numAnalyses;
    spicesimulator->numAnalyses = 0;
    std::vector<std::string> calls = load("divider.net");
    spicesimulator->numAnalyses = kinds;
    ASSERT_NE(circuit, nullptr) << log();
    EXPECT_EQ(options, nullptr);
    EXPECT_LT(position(calls, "INPpas2(0 cards, task, -)"), calls.size());
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

    load("divider.net");
    ASSERT_NE(circuit, nullptr) << log();
    std::vector<std::string> order;
    char name[256];
    for (const char* value : { "000", "001", "002", "003" })
        order.emplace_back(reg_getstr("Spice Library\\Order", value, name, sizeof name) > 0 ? name : "-");
    reg_term();
    EXPECT_EQ(order, (std::vector<std::string> { "DIODES", "BJT", "ZENER", "-" }));
}

TEST_F(LoaderTest, NodeCallbacksFindNetsByTheirIds)
{
    load("mixed.net");
    ASSERT_NE(circuit, nullptr) << log();
    setnodehooknetlist(circuit);
    size_t before = fakes::calls().size();
    IFnode* node = nullptr;
    char name[16];
    snprintf(name, sizeof name, "$%08x", static_cast<unsigned>(netid(circuit->getnet("OUT"))));
    EXPECT_EQ(spicenewnode(circuit->spice, &node, name), 0);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->name, "OUT");
    EXPECT_EQ(spicenewnode(circuit->spice, &node, "$7fffffff"), E_NOTFOUND);
    EXPECT_EQ(spicenewnode(circuit->spice, &node, "$ghost"), E_NOTFOUND);
    spicenewnode(circuit->spice, &node, "1:mid");
    EXPECT_EQ(spicegroundnode(circuit->spice, &node, "0"), 0);
    setnodehooknetlist(nullptr);
    EXPECT_EQ(
        std::vector<std::string>(fakes::calls().begin() + static_cast<long>(before), fakes::calls().end()),
        (std::vector<std::string> {
            "findNode(OUT)", "findNode($7fffffff)", "findNode($ghost)", "newNode(1:mid)", "groundNode(-)" }));
}

} // namespace
