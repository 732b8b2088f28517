#include <gtest/gtest.h>

#include <algorithm>

#include "core/windows/registry.h"
#include "framework/appln/tests/modulecalls.h"
#include "framework/appln/tests/testprocess.h"
#include "platform/win/messagebox.h"

std::vector<std::string>& modulecalls()
{
    static std::vector<std::string> calls;
    return calls;
}

extern "C" void recordmodulecall(const char* call)
{
    modulecalls().push_back(call);
}

namespace {

using appltest::TESTPROCESS;

std::vector<std::string> callsof(const char* module)
{
    std::vector<std::string> found;
    std::string prefix = std::string(module) + ": ";
    for (const std::string& call : modulecalls())
        if (call.rfind(prefix, 0) == 0)
            found.push_back(call.substr(prefix.size()));
    return found;
}

size_t indexof(const std::string& call)
{
    auto found = std::find(modulecalls().begin(), modulecalls().end(), call);
    return static_cast<size_t>(found - modulecalls().begin());
}

TEST(ModuleLoading, AModuleIsLoadedOnceByNameSetUpInItsOwnContextAndUnloadedInIndexOrder)
{
    modulecalls().clear();
    TESTPROCESS process;
    IMODULE* seven = nullptr;
    IMODULE* again = nullptr;
    process.start = [&] {
        modulecalls().push_back("first request");
        seven = process.getmoduleinterface("beta", 7);
        again = process.getmoduleinterface("beta", 7);
        process.getmoduleinterface("alpha", 0);
        EXPECT_EQ(process.getmoduleinterface("alpha", 300), nullptr);
        EXPECT_EQ(process.getmoduleinterface("alpha", 9), nullptr);
        EXPECT_EQ(process.nummodules(), 2);
        return 1;
    };
    EXPECT_EQ(process.runall(), 1);

    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(again, seven) << "the second request reuses the module";
    EXPECT_EQ(callsof("beta"),
        (std::vector<std::string> {
            "created with no arguments",
            "system_init (own context)",
            "loadconfig (own context)",
            "onfirstrun " + std::to_string(((3u << 8 | 4u) << 16) | 5u) + " 0 (own context)",
            "saveconfig (own context)",
            "system_term (own context)",
            "destroyed (own context)",
        }));
    EXPECT_LT(indexof("alpha: system_term (own context)"), indexof("beta: saveconfig (own context)"))
        << "unloaded in index order";
    EXPECT_EQ(process.nummodules(), 0);
    EXPECT_EQ(process.steps,
        (std::vector<std::string> { "appln_init", "createnewframe", "executecommandline", "appln_term" }));
    EXPECT_EQ(process.idlepasses, 0) << "no main loop after a one-shot command line";
}

TEST(ModuleLoading, SettingsAndVersionsLieUnderTheMakersKeyForTheApplication)
{
    modulecalls().clear();
    TESTPROCESS process;
    process.start = [&] {
        process.getmoduleinterface("alpha", 0);
        return 1;
    };
    process.runall();

    char text[64] = {};
    REGISTRY32 branch(HKEY_CURRENT_USER, "Software\\Venthorne Electronics\\TESTAPP\\alpha");
    ASSERT_GT(branch.getstr(nullptr, "Probe", text, sizeof text, nullptr), 0);
    EXPECT_STREQ(text, "alpha");

    REGISTRY32 application(HKEY_CURRENT_USER, "Software\\Venthorne Electronics\\TESTAPP");
    DWORD version = 0;
    ASSERT_GT(static_cast<REGISTRY&>(application)
                  .getdata("Versions", "alpha", REG_DWORD, &version, sizeof version, nullptr, 0),
        0);
    EXPECT_EQ(version, (((3u << 8) | 4u) << 16) | 5u);

    modulecalls().clear();
    TESTPROCESS second;
    second.start = [&] {
        second.getmoduleinterface("alpha", 0);
        return 1;
    };
    second.runall();
    for (const std::string& call : callsof("alpha"))
        EXPECT_EQ(call.rfind("onfirstrun", 0), std::string::npos) << "same version, no first run";
}

TEST(ModuleLoading, AMissingOutsideModuleGivesNullAndTheRunGoesOn)
{
    TESTPROCESS process;
    IMODULE* answer = reinterpret_cast<IMODULE*>(1);
    process.start = [&] {
        answer = process.getmoduleinterface("KORLIX", 1);
        EXPECT_EQ(process.getmoduleinterface("korlix", 1), nullptr);
        EXPECT_EQ(process.getmoduleinterface("ZMVDEBUG", 14), nullptr);
        EXPECT_EQ(process.loadmodulewindow("GRESHOLD", 1, 0), nullptr);
        return 5;
    };
    EXPECT_EQ(process.runall(), 5);
    EXPECT_EQ(answer, nullptr);
}

TEST(ModuleLoading, ALibraryWithoutItsDeleteExportStaysLoadedWithItsModule)
{
    modulecalls().clear();
    TESTPROCESS process;
    process.start = [&] {
        process.getmoduleinterface("keeper", 0);
        return 1;
    };
    process.runall();
    std::vector<std::string> calls = callsof("keeper");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "destroyed (own context)"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "system_term (own context)"), 0);
    EXPECT_NE(GetModuleHandleA("keeper"), nullptr) << "its code must stay while the object lives";
}

using ModuleLoadingDeathTest = testing::Test;

TEST_F(ModuleLoadingDeathTest, AMissingModuleOfTheSystemEndsTheRunWithItsMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setmessageboxhook(nullptr);
            TESTPROCESS process;
            process.start = [&] {
                process.getmoduleinterface("LOSTMODULE", 3);
                return 0;
            };
            process.runall();
        },
        testing::ExitedWithCode(1), "Error: Failed to load module 'LOSTMODULE'. Please reinstall the product.");
}

} // namespace
