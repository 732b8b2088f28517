// Under a real X server (Xvfb): vkt starts as a user starts it, and the probe keeps what the screen
// shows of its main window as the artifact VKT_SCREENSHOT_PATH names.

#include <gtest/gtest.h>

#include "shell/main/tests/vktrun.h"
#include "testsupport/temp_folder.h"

namespace {

using namespace vkttest;

TEST(XvfbScreenshot, TheMainWindowShowsItsFrameWithTheGlobalToolbar)
{
    const std::filesystem::path report = vkt::test::makeTempSubfolder("screenshot") / "report.txt";
    // The server has no window manager: the frame is given time to be shown and painted.
    RUN run = runvkt("", "wait 1000; screenshot; report " + report.string() + "; close", report, "xcb");
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "screenshot"), "saved");
    EXPECT_EQ(value(run.snapshots[0], "toolbarbuttons"), "16");
}

} // namespace
