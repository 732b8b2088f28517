// Under a real X server (Xvfb): vkt starts as a user starts it, its Schematic Capture button opens
// the schematic window on a new project's empty sheet, and the probe keeps what the screen shows
// of the frame as build/artifacts/tavi-empty-sheet.png.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "shell/main/tests/vktrun.h"
#include "testsupport/temp_folder.h"

namespace {

using namespace vkttest;

TEST(XvfbScreenshot, TheSchematicWindowShowsItsMenusToolBarsAndAnEmptySheet)
{
    setenv("VKT_REGISTRY_DIR", vkt::test::makeTempSubfolder("registry").c_str(), 1);
    setenv("VKT_SCREENSHOT_PATH", (std::string(VKT_ARTIFACTS) + "/tavi-empty-sheet.png").c_str(), 1);
    const std::filesystem::path report = vkt::test::makeTempSubfolder("screenshot") / "report.txt";
    RUN run = runvkt("", "wait 500; command 0x213F; wait 1200; screenshot; report " + report.string() + "; close",
        report, "xcb");
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "screenshot"), "saved");
    EXPECT_EQ(value(run.snapshots[0], "activemodule"), "TAVI");
}

} // namespace
