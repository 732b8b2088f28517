#include "schematic/app/taviapp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "core/windows/registry.h"
#include "framework/appln/tests/testprocess.h"
#include "platform/win/modules.h"

namespace {

using appltest::TESTPROCESS;

constexpr const char* settingskey = "Software\\Venthorne Electronics\\TESTAPP\\TAVI";

// Runs a process of the tests that loads TAVI by name, as the program does, and hands the module
// to the script.
void withtavi(const std::function<void(TESTPROCESS&, TAVIAPP&)>& script)
{
    TESTPROCESS process;
    process.start = [&] {
        IMODULE* module = process.getmoduleinterface("TAVI", 0);
        EXPECT_NE(module, nullptr);
        if (module)
            script(process, *static_cast<TAVIAPP*>(static_cast<IWINDOWMODULE*>(module)));
        return 1;
    };
    process.runall();
}

DWORD storeddword(const char* name)
{
    REGISTRY32 branch(HKEY_CURRENT_USER, settingskey);
    DWORD value = 0xDEAD;
    static_cast<REGISTRY&>(branch).getdata(TAVISETTINGS, name, REG_DWORD, &value, sizeof value, nullptr, 0);
    return value;
}

TEST(TaviModule, LoadsByNameAndItsDeleteExportTakesNull)
{
    withtavi([](TESTPROCESS& process, TAVIAPP& tavi) {
        EXPECT_STREQ(tavi.getapplnname(), "TAVI");
        EXPECT_EQ(process.findmodule("TAVI"), static_cast<APPLNMODULE*>(&tavi));
        HMODULE library = GetModuleHandleA("TAVI");
        ASSERT_NE(library, nullptr);
        auto destroy = reinterpret_cast<void (*)(APPLNMODULE*)>(GetProcAddress(library, "deletemoduleinstance"));
        ASSERT_NE(destroy, nullptr);
        destroy(nullptr);
    });
}

TEST(TaviModule, QueryInterfaceAnswersEachServerByItsIdAndTheBaseForTheRest)
{
    withtavi([](TESTPROCESS&, TAVIAPP& tavi) {
        const struct {
            unsigned id;
            IMODULE* expected;
        } table[] = {
            { 0, static_cast<IWINDOWMODULE*>(&tavi) },
            { 3, static_cast<IDOCSERVER*>(&tavi) },
            { 7, static_cast<INETSERVER*>(&tavi) },
            { 12, static_cast<IDEBUGHOST*>(&tavi) },
            { 13, static_cast<IDEBUGTARGET*>(&tavi) },
            { 21, static_cast<IADISERVER*>(&tavi) },
            { 30, static_cast<ILEGACYINFO*>(&tavi) },
            { 31, static_cast<ICLIPSERVER*>(&tavi) },
            { 32, nullptr }, // no automatic drawing object
            { 38, static_cast<IITEMRENDERER*>(&tavi) },
            { 41, static_cast<IREPORTGENERATOR*>(&tavi) },
        };
        for (const auto& row : table)
            EXPECT_EQ(tavi.queryinterface(row.id), row.expected) << "id " << row.id;
        for (unsigned id : { 1u, 2u, 6u, 14u, 24u, 37u, 42u, 300u })
            EXPECT_EQ(tavi.queryinterface(id), tavi.APPLNMODULE::queryinterface(id)) << "id " << id;
        // Every server answers as the module does.
        IMODULE* servers[] = { static_cast<IDOCSERVER*>(&tavi), static_cast<IWIZARDPAGES*>(&tavi),
            static_cast<INETSERVER*>(&tavi), static_cast<IREPORTGENERATOR*>(&tavi) };
        for (IMODULE* server : servers)
            EXPECT_EQ(server->queryinterface(7), static_cast<INETSERVER*>(&tavi));
    });
}

TEST(TaviModule, StartsWithItsSnapChoicesTheMasterSheetShownAndNoSimulationHost)
{
    withtavi([](TESTPROCESS&, TAVIAPP& tavi) {
        const int snaps[] = { 25400, 127000, 254000, 1270000 };
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(tavi.getsnap(i), snaps[i]);
        EXPECT_EQ(tavi.getrds(), 1);
        EXPECT_EQ(tavi.getautorouter(), 1);
        EXPECT_EQ(tavi.getdebughost(), nullptr) << "ZMVDEBUG is not installed beside the tests";
    });
}

TEST(TaviModule, SettingsAreReadFromTheRegistryAndWhatChangedIsWrittenBack)
{
    {
        REGISTRY32 branch(HKEY_CURRENT_USER, settingskey);
        const DWORD hidden = 0;
        const DWORD fifty = 1;
        static_cast<REGISTRY&>(branch).putdata(TAVISETTINGS, "RDS", REG_DWORD, &hidden, sizeof hidden);
        static_cast<REGISTRY&>(branch).putdata(TAVISETTINGS, "Snap", REG_DWORD, &fifty, sizeof fifty);
    }
    withtavi([](TESTPROCESS&, TAVIAPP& tavi) {
        EXPECT_EQ(tavi.getrds(), 0);
        EXPECT_EQ(tavi.geteditstatus().snapindex, 1);
        tavi.geteditstatus().snapindex = 3;
    });
    EXPECT_EQ(storeddword("Snap"), 3u) << "saved when the module was unloaded";
    withtavi([](TESTPROCESS&, TAVIAPP& tavi) { EXPECT_EQ(tavi.geteditstatus().snapindex, 3); });
}

} // namespace
