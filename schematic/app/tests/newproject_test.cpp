// The program end to end with the schematic module: a new project opens the schematic's window.

#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/main/tests/vktrun.h"
#include "testsupport/temp_folder.h"

namespace {

using namespace vkttest;

TEST(TaviInTheProgram, TheSchematicButtonOfANewProjectOpensTheSchematicWindow)
{
    setenv("VKT_REGISTRY_DIR", vkt::test::makeTempSubfolder("registry").c_str(), 1);
    const std::filesystem::path report = vkt::test::makeTempSubfolder("run") / "report.txt";
    RUN run = runvkt("", "report " + report.string() + "; command 0x213F; wait 300; report " + report.string() + "; close",
        report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 2u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "activemodule"), "none");
    EXPECT_EQ(value(run.snapshots[1], "activemodule"), "TAVI");
    EXPECT_EQ(value(run.snapshots[1], "windows"), "1");
    EXPECT_TRUE(boxes(run.snapshots[1]).empty()) << boxes(run.snapshots[1]).front();
}

} // namespace
