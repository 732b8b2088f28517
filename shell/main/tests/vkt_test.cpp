// The program end to end: the vkt binary started under the offscreen platform with the probe
// module, which carries out each test's steps inside it and reports what it finds.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/vexmor/tests/ziptestfiles.h"
#include "platform/win/pathboundary.h"
#include "shell/main/tests/vktrun.h"
#include "shell/project/vktarchive.h"
#include "testsupport/command.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using namespace vkttest;

class Vkt : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        report = folder / "report.txt";
    }

    fs::path folder;
    fs::path report;
};

TEST_F(Vkt, StartsWithItsFrameAndGlobalToolbarAndEndsCleanlyOnACloseRequest)
{
    RUN run = runvkt("", "report " + report.string() + "; close", report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    const SNAPSHOT& started = run.snapshots[0];
    EXPECT_EQ(value(started, "frames"), "1");
    EXPECT_EQ(value(started, "visible"), "1");
    EXPECT_EQ(value(started, "toolbarbuttons"), "16");
    EXPECT_EQ(value(started, "file"), "UNTITLED.vktprj");
    EXPECT_EQ(value(started, "dirty"), "0");
    EXPECT_TRUE(boxes(started).empty()) << boxes(started).front();
}

TEST_F(Vkt, ANewProjectSavedAsOneFileOpensFromTheCommandLineWithItsContents)
{
    const fs::path project = folder / "my designs" / "amplifier.vktprj";
    fs::create_directories(project.parent_path());
    RUN first = runvkt(
        "", "design R1 10k; save " + project.string() + "; report " + report.string() + "; close", report);
    EXPECT_EQ(first.exitcode, 0) << first.output;
    ASSERT_EQ(first.snapshots.size(), 1u) << first.output;
    EXPECT_EQ(value(first.snapshots[0], "path"), towindowspath(project.string()));
    EXPECT_EQ(value(first.snapshots[0], "dirty"), "0");

    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginload(towindowspath(project.string()).c_str(), 1));
    XML::DOCUMENT description("ROOT");
    ASSERT_TRUE(description.load(archive, "PROJECT.XML", nullptr));
    XML::ELEMENT timestamp = XML::ELEMENT(description.documentElement()).getchild("TIMESTAMP", 0);
    EXPECT_EQ(timestamp.getinteger("FILEVER", 0), 830);
    EXPECT_EQ(timestamp.getinteger("RELEASE", 0), 812);
    archive.endload();

    RUN second = runvkt(quoted(project.string()), "report " + report.string() + "; close", report);
    EXPECT_EQ(second.exitcode, 0) << second.output;
    ASSERT_EQ(second.snapshots.size(), 1u) << second.output;
    const SNAPSHOT& reopened = second.snapshots[0];
    EXPECT_EQ(value(reopened, "design"), "R1 10k");
    EXPECT_EQ(value(reopened, "path"), towindowspath(project.string()));
    EXPECT_EQ(value(reopened, "windows"), "1") << "the design's window is shown";
    EXPECT_EQ(value(reopened, "dirty"), "0");
    EXPECT_TRUE(boxes(reopened).empty()) << boxes(reopened).front();
}

TEST_F(Vkt, AProjectOfALaterFileVersionIsRefusedAndTheProjectStaysUntitled)
{
    const fs::path project = folder / "future.vktprj";
    {
        VKTARCHIVE archive;
        ASSERT_TRUE(archive.beginsave(towindowspath(project.string()).c_str()));
        const std::string text = "<ROOT><TIMESTAMP FILEVER='831' RELEASE='905'/></ROOT>";
        VFILE& file = archive.openfile("PROJECT.XML", nullptr);
        file.write(text.data(), static_cast<int>(text.size()));
        ASSERT_TRUE(archive.closefile(file, 0));
        ASSERT_TRUE(archive.endsave());
    }
    // Hidden, so that the box the program shows before the probe starts is written out, not shown.
    RUN run = runvkt("-h " + quoted(project.string()), "report " + report.string() + "; close", report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "file"), "UNTITLED.vktprj");
    EXPECT_EQ(value(run.snapshots[0], "design"), "none");
    EXPECT_NE(run.output.find(
                  "File 'future.vktprj' was created in a later version of Corvane than this version.\n\n"
                  "In order to load this project you must use Corvane version 9.5 or later.\n"
                  "Information on the version of Corvane you are running is available on the Home "
                  "Page."),
        std::string::npos)
        << run.output;
}

TEST_F(Vkt, ClosingTheLastFrameLeavesAnUntitledProjectAndTheProgramRunning)
{
    const fs::path project = folder / "kept.vktprj";
    RUN run = runvkt("",
        "design U1; save " + project.string() + "; report " + report.string() + "; closeframe; report "
            + report.string() + "; close",
        report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 2u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "design"), "U1");
    const SNAPSHOT& after = run.snapshots[1];
    EXPECT_EQ(value(after, "frames"), "1");
    EXPECT_EQ(value(after, "file"), "UNTITLED.vktprj");
    EXPECT_EQ(value(after, "design"), "none");
    EXPECT_TRUE(fs::exists(project));
}

TEST_F(Vkt, SettingsChangedInOneRunAreReadInTheNext)
{
    RUN first = runvkt("", "report " + report.string() + "; toolbarsize 24; close", report);
    EXPECT_EQ(first.exitcode, 0) << first.output;
    ASSERT_EQ(first.snapshots.size(), 1u) << first.output;
    EXPECT_EQ(value(first.snapshots[0], "sizing"), "0");
    RUN second = runvkt("", "report " + report.string() + "; close", report);
    ASSERT_EQ(second.snapshots.size(), 1u) << second.output;
    EXPECT_EQ(value(second.snapshots[0], "sizing"), "24");
}

TEST_F(Vkt, WithoutADisplayItSaysPlainlyThatItNeedsOne)
{
    vkt::test::COMMANDRUN run = vkt::test::runcommand(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 " + quoted(VKT_TEST_PROGRAM));
    EXPECT_EQ(run.exitcode, 1);
    EXPECT_NE(run.output.find("vkt needs a display"), std::string::npos) << run.output;
}

TEST_F(Vkt, TheDesktopEntryIconAndProjectTypeInstallIntoTheUsersDataFolder)
{
    const fs::path data = folder / "data";
    const std::string program = (folder / "my $programs" / "vkt").string();
    vkt::test::COMMANDRUN run = vkt::test::runcommand("env XDG_DATA_HOME=" + quoted(data.string()) + " "
        + VKT_INSTALL_DESKTOP + " -DPROGRAM=" + quoted(program) + " -P " + VKT_INSTALL_DESKTOP_SCRIPT);
    ASSERT_EQ(run.exitcode, 0) << run.output;
    const std::string entry = vkt::test::readbytes(data / "applications" / "vkt.desktop");
    // One quoted argument, its dollar sign escaped for the quoting and the escape for the string.
    const std::string exec = (folder / "my \\\\$programs" / "vkt").string();
    EXPECT_NE(entry.find("Exec=\"" + exec + "\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-vktprj;\n"), std::string::npos) << entry;
    EXPECT_TRUE(fs::exists(data / "icons" / "hicolor" / "scalable" / "apps" / "vkt.svg"));
    EXPECT_TRUE(fs::exists(data / "icons" / "hicolor" / "64x64" / "apps" / "vkt.png"));
    EXPECT_NE(
        vkt::test::readbytes(data / "mime" / "packages" / "vkt.xml").find("<glob pattern=\"*.vktprj\"/>"),
        std::string::npos);
    // The desktop's own database of file types, where its tool is installed, knows the type.
    if (fs::exists(data / "mime" / "globs2")) {
        EXPECT_NE(vkt::test::readbytes(data / "mime" / "globs2").find("application/x-vktprj:*.vktprj"),
            std::string::npos);
    }
}

} // namespace
