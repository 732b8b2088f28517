// Under a real X server (Xvfb): vkt starts as a user starts it, and the probe keeps what the screen
// shows of its main window as the artifact VKT_SCREENSHOT_PATH names.

#include <gtest/gtest.h>

#include <QRect>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/win/pathboundary.h"
#include "shell/main/tests/vktrun.h"
#include "testsupport/temp_folder.h"

namespace {

using namespace vkttest;

// The artifact of this name: the run's screenshot goes there. Each run has settings of its own, so
// that no recent file of another run shows.
void keepas(const char* name)
{
    setenv("VKT_REGISTRY_DIR", vkt::test::makeTempSubfolder((std::string("registry-") + name).c_str()).c_str(), 1);
    setenv("VKT_SCREENSHOT_PATH", (std::string(VKT_ARTIFACTS) + "/" + name).c_str(), 1);
}

// "x,y,width,height" as a rectangle.
QRect rectof(const std::string& text)
{
    int x = 0, y = 0, width = 0, height = 0;
    std::sscanf(text.c_str(), "%d,%d,%d,%d", &x, &y, &width, &height);
    return QRect(x, y, width, height);
}

std::string desktopentry()
{
    std::ifstream in(VKT_DESKTOP_ENTRY);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(XvfbScreenshot, TheMainWindowShowsItsFrameWithTheGlobalToolbarAndTheClassItsDesktopEntryNames)
{
    keepas("vkt-main.png");
    const std::filesystem::path report = vkt::test::makeTempSubfolder("screenshot") / "report.txt";
    // The server has no window manager: the frame is given time to be shown and painted.
    RUN run = runvkt("", "wait 1000; screenshot; report " + report.string() + "; maximise; wait 300; report "
            + report.string() + "; close", report, "xcb");
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 2u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "screenshot"), "saved");
    EXPECT_EQ(value(run.snapshots[0], "toolbarbuttons"), "16");
    // Desktops group the window under the entry whose StartupWMClass is its class.
    const std::string wmclass = value(run.snapshots[0], "wmclass");
    const std::string windowclass = wmclass.substr(wmclass.find(',') + 1);
    EXPECT_FALSE(windowclass.empty()) << wmclass;
    EXPECT_NE(desktopentry().find("\nStartupWMClass=" + windowclass + "\n"), std::string::npos) << wmclass;

    // The first frame lies wholly on the screen; maximised, it fills the available area, no more.
    const QRect available = rectof(value(run.snapshots[0], "available"));
    EXPECT_TRUE(available.contains(rectof(value(run.snapshots[0], "framegeometry"))))
        << value(run.snapshots[0], "framegeometry");
    EXPECT_EQ(rectof(value(run.snapshots[1], "framegeometry")), available);
}

TEST(XvfbScreenshot, TheFileMenuListsTheRecentFilesAsTheSystemNamesThem)
{
    const std::filesystem::path folder = vkt::test::makeTempSubfolder("filemenu");
    const std::filesystem::path report = folder / "report.txt";
    std::filesystem::create_directories(folder / "designs" / "power");
    std::string steps;
    for (const char* name : { "designs/power/buck converter.vktprj", "designs/filter.vktpnl", "designs/amplifier.vktprj" }) {
        const std::filesystem::path file = folder / name;
        std::ofstream(file) << "kept";
        steps += "recent " + file.string() + "; ";
    }
    keepas("vkt-file-menu.png");
    RUN run = runvkt("", steps + "wait 300; menu f; wait 700; screenshot; endmenu; report " + report.string() + "; close",
        report, "xcb");
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "screenshot"), "saved");
}

TEST(XvfbScreenshot, ANewcomersProjectIsNamedInTheCaptionAndTheRecentFilesAsTheSystemNamesIt)
{
    const std::filesystem::path folder = vkt::test::makeTempSubfolder("newcomer");
    const std::filesystem::path report = folder / "report.txt";
    const std::filesystem::path project = folder / "ux" / "myfirst.vktprj";
    std::filesystem::create_directories(project.parent_path());
    RUN first = runvkt("", "design R1 1k; save " + project.string() + "; close", report, "xcb");
    ASSERT_EQ(first.exitcode, 0) << first.output;

    keepas("newcomer-file-menu.png");
    RUN run = runvkt(quoted(project.string()),
        "wait 500; menu f; wait 700; screenshot; endmenu; report " + report.string() + "; close", report, "xcb");
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "screenshot"), "saved");
    EXPECT_EQ(value(run.snapshots[0], "caption").rfind("Corvane 8 Professional - myfirst.vktprj", 0), 0u)
        << value(run.snapshots[0], "caption");
}

} // namespace
