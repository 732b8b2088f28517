// The program end to end: the vkt binary started under the offscreen platform with the probe
// module, which carries out each test's steps inside it and reports what it finds.

#include <gtest/gtest.h>

#include <QLibraryInfo>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

TEST_F(Vkt, AHostileSettingsFileIsReportedAndLeftAsItIs)
{
    // Settings of the run's own: the refused file must not stay in the program's shared folder.
    const fs::path registry = folder / "registry";
    fs::create_directories(registry);
    const std::string previous = getenv("VKT_REGISTRY_DIR");
    setenv("VKT_REGISTRY_DIR", registry.c_str(), 1);
    std::string deep = "VKT registry hive 1\n[";
    for (int level = 0; level < 5000; ++level)
        deep += level ? "\\a" : "a";
    deep += "]\n";
    vkt::test::writebytes(registry / "user.reg", deep);
    const auto written = fs::last_write_time(registry / "user.reg");
    RUN run = runvkt("-h", "toolbarsize 24; report " + report.string() + "; close", report);
    setenv("VKT_REGISTRY_DIR", previous.c_str(), 1);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    EXPECT_NE(run.output.find("The settings file '" + (registry / "user.reg").string()
                  + "' cannot be read: line 2 holds a key nested deeper than 64 levels.\n\n"
                    "The file was left as it is"),
        std::string::npos)
        << run.output;
    EXPECT_EQ(vkt::test::readbytes(registry / "user.reg"), deep);
    EXPECT_EQ(fs::last_write_time(registry / "user.reg"), written);
    EXPECT_FALSE(fs::exists(registry / "user.reg.damaged"));
}

TEST_F(Vkt, TheStringsFileWithoutANameIsWrittenIntoTheUsersDataFolder)
{
    const fs::path inqt
        = fs::path(QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()) / "corvaneQJ.stf";
    const bool wasthere = fs::exists(inqt);
    RUN run = runvkt("-h -T", "report " + report.string() + "; close", report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    const fs::path strings = fs::path(getenv("XDG_DATA_HOME")) / "Venthorne Electronics" / "Corvane" / "corvaneQJ.stf";
    ASSERT_TRUE(fs::exists(strings)) << run.output;
    EXPECT_EQ(vkt::test::readbytes(strings).rfind("//Strings For translation\n", 0), 0u);
    EXPECT_EQ(fs::exists(inqt), wasthere) << "nothing is written into Qt's folder";
}

TEST_F(Vkt, HelpAndAWrongSwitchAreAnsweredOnTheTerminalAsACommandLineProgramDoes)
{
    // Neither needs a display: the program ends before it would open one.
    const std::string program = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 " + quoted(VKT_TEST_PROGRAM);
    vkt::test::COMMANDRUN help = vkt::test::runcommand(program + " --help 2>/dev/null");
    EXPECT_EQ(help.exitcode, 0);
    EXPECT_EQ(help.output.rfind("Usage: vkt ", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("Example:"), std::string::npos);

    for (const char* wrong : { "-x foo", "-q -qr amp.vktprj", "--version", "-p:" }) {
        SCOPED_TRACE(wrong);
        vkt::test::COMMANDRUN run = vkt::test::runcommand("{ " + program + " " + wrong + " >/dev/null; }");
        EXPECT_EQ(run.exitcode, 2);
        EXPECT_EQ(run.output.rfind("vkt: wrong switch ", 0), 0u) << run.output;
        EXPECT_NE(run.output.find("Usage: vkt "), std::string::npos) << "the usage on standard error";
    }
}

TEST_F(Vkt, ANameWithoutExtensionOpensItsProjectAndTheCaptionNamesIt)
{
    const fs::path project = folder / "myproj.vktprj";
    RUN first = runvkt("", "design Q1 2N2222; save " + project.string() + "; close", report);
    ASSERT_EQ(first.exitcode, 0) << first.output;

    // runvkt starts the program with -q.
    RUN second = runvkt("-r " + quoted((folder / "myproj").string()),
        "report " + report.string() + "; design Q1 BC547; report " + report.string() + "; close", report);
    EXPECT_EQ(second.exitcode, 0) << second.output;
    ASSERT_EQ(second.snapshots.size(), 2u) << second.output;
    EXPECT_EQ(value(second.snapshots[0], "path"), towindowspath(project.string()));
    EXPECT_EQ(value(second.snapshots[0], "design"), "Q1 2N2222");
    EXPECT_EQ(value(second.snapshots[0], "caption").rfind("Corvane 8 Professional - myproj.vktprj - ", 0), 0u)
        << value(second.snapshots[0], "caption");
    EXPECT_EQ(value(second.snapshots[1], "caption").rfind("Corvane 8 Professional - myproj.vktprj* - ", 0), 0u)
        << "a change not saved is marked: " << value(second.snapshots[1], "caption");
}

TEST_F(Vkt, AProjectThatIsNotThereIsToldInTheSystemsPathFormAndTheProgramStartsUntitled)
{
    const fs::path missing = folder / "no such" / "amp.vktprj";
    RUN run = runvkt("-h " + quoted(missing.string()), "report " + report.string() + "; close", report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "file"), "UNTITLED.vktprj");
    EXPECT_EQ(value(run.snapshots[0], "caption"), "Corvane 8 Professional");
    EXPECT_NE(run.output.find("Could not open file '" + missing.string() + "'."), std::string::npos) << run.output;
}

TEST_F(Vkt, AModuleLaunchForAModuleThatIsNotThereIsToldAndTheProgramGoesOn)
{
    RUN run = runvkt("-h {NOSUCHMODULE value}", "report " + report.string() + "; close", report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    EXPECT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_NE(run.output.find("Failed to launch module 'NOSUCHMODULE'"), std::string::npos) << run.output;
}

TEST_F(Vkt, AnIdeLaunchFileOpensItsDesignAndSetsUpItsProcessorThroughTheSimulationHost)
{
    const fs::path project = folder / "blinky" / "blinky.vktprj";
    fs::create_directories(project.parent_path() / "out");
    RUN made = runvkt("", "design U1 PIC16F877; save " + project.string() + "; close", report);
    ASSERT_EQ(made.exitcode, 0) << made.output;
    const std::string opening = "DESIGNFILE=\"" + project.string() + "\"\nPROGRAM=" + (folder / "blinky" / "out" / "blinky.hex").string()
        + "\nCLOCK=4MHz\n";
    const std::string nomatch = "The program has been written for a PIC type 16F877 and a matching processor";

    struct CASE {
        const char* name;
        std::string launch; // the section's lines
        const char* processors;
        std::vector<std::string> calls; // of the simulation host
        bool opened;
        std::string message;
    };
    const CASE cases[] = {
        { "a processor of the family's device name", opening + "FAMILY=PIC\nDEVICE=PIC16F877\nAUTORUN=1\n", "ATMEGA8,,PIC16F877",
            { "property PIC16F877 CLOCK 4MHz 3 1", "property PIC16F877 PROGRAM out\\blinky.hex 3 1", "command 584" }, true,
            "" },
        { "a processor named by the device alone", opening + "DEVICE=pic16f877\n", "16F877",
            { "property 16F877 CLOCK 4MHz 3 1", "property 16F877 PROGRAM out\\blinky.hex 3 1" }, true, "" },
        { "no matching processor", opening + "DEVICE=PIC16F877\nAUTORUN=1\n", "ATMEGA8", {}, true, nomatch },
        { "the debugger's port", opening + "VDMPORT=5000\nAUTORUN=1\n", "PIC16F877", { "debugport 5000", "command 584" },
            true, "" },
        { "no clock", "DESIGNFILE=" + project.string() + "\nPROGRAM=blinky.hex\n", "", {}, false,
            "Failed to parse arguments within the .INI file specified by the IDE." },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path launch = folder / "launch.ini";
        std::ofstream(launch) << "; written by the IDE\n[Corvane]\n" << c.launch;
        setenv("VKT_TEST_PROCESSORS", c.processors, 1);
        RUN run = runvkt("-h -p:" + launch.string(), "report " + report.string() + "; close", report);
        EXPECT_EQ(run.exitcode, 0) << run.output;
        ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
        std::vector<std::string> calls;
        auto [first, last] = run.snapshots[0].equal_range("host");
        for (auto it = first; it != last; ++it)
            calls.push_back(it->second);
        EXPECT_EQ(calls, c.calls);
        if (c.opened) {
            EXPECT_EQ(value(run.snapshots[0], "path"), towindowspath(project.string()));
        } else {
            EXPECT_EQ(value(run.snapshots[0], "file"), "UNTITLED.vktprj");
        }
        if (!c.message.empty()) {
            EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        }
    }
}

TEST_F(Vkt, AnIdeLaunchFileForANewDesignMakesItsProjectAndAMissingOneIsTold)
{
    const fs::path fresh = folder / "new design.vktprj";
    const fs::path launch = folder / "launch.ini";
    std::ofstream(launch) << "[CORVANE]\nDESIGNFILE=\"" << fresh.string() << "\"\nPROGRAM=a.hex\nCLOCK=8MHz\nNEWDESIGN=1\n";
    RUN run = runvkt("-h -p:" + launch.string(), "report " + report.string() + "; close", report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_EQ(value(run.snapshots[0], "path"), towindowspath(fresh.string()));

    const fs::path missing = folder / "nowhere.ini";
    RUN told = runvkt("-h -p:" + missing.string(), "report " + report.string() + "; close", report);
    EXPECT_EQ(told.exitcode, 0) << told.output;
    EXPECT_NE(told.output.find("Failed to open .INI file '" + missing.string() + "' passed by the IDE."), std::string::npos)
        << told.output;
}

TEST_F(Vkt, EveryEnabledCommandOfTheProgramsTablesDoesSomethingAUserSeesAndADisabledOneNothing)
{
    // A recent project without documents, so that the schematic's window is the module command's.
    const fs::path recent = folder / "recent.vktprj";
    RUN made = runvkt("", "save " + recent.string() + "; close", report);
    ASSERT_EQ(made.exitcode, 0) << made.output;

    RUN run = runvkt("", "recent " + recent.string() + "; commands " + report.string(), report);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    std::map<std::string, std::string> outcomes; // command id: "enabled outcome"
    std::vector<std::string> order;
    auto [first, last] = run.snapshots[0].equal_range("command");
    for (auto it = first; it != last; ++it) {
        const std::string& line = it->second;
        order.push_back(line.substr(0, 4));
        outcomes[line.substr(0, 4)] = line.substr(5);
        const bool enabled = line[5] == '1';
        const bool nothing = line.substr(7) == "none";
        EXPECT_NE(enabled, nothing) << (enabled ? "an enabled command did nothing: " : "a disabled command ran: ") << line;
    }
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back(), "013B") << "Exit";

    const auto notinstalled = [&](const char* what, const char* name) {
        return "1 box:The " + std::string(what) + " module '" + name + "' is not installed: the command does nothing.";
    };
    const std::pair<const char*, std::string> expected[] = {
        { "0200", "0 none" }, // New Project: its wizard is not built yet
        { "0202", "1 dialog:Load Corvane Project File" },
        { "0203", "0 none" }, // the sample browser is not built yet
        { "0201", "0 none" }, // the legacy import wizard is not built yet
        { "020C", notinstalled("design import", "GRESHOLD") },
        { "0204", "1 dialog:Save Corvane Project File" },
        { "0205", "1 dialog:Save Corvane Project File" },
        { "0206", "0 none" }, // nothing to close
        { "0207", "1 url:" + std::string(std::getenv("XDG_DOCUMENTS_DIR")) }, // the untitled project's folder
        { "0208", "0 none" },
        { "0175", "1 path:" + towindowspath(recent.string()) },
        { "113F", notinstalled("home page", "STARTUP") },
        { "213F", "1 windows:1" },
        { "313F", notinstalled("PCB layout", "BRIX") },
        { "413F", "0 none" }, // no layout
        { "513F", notinstalled("viewer", "SPANDO") },
        { "613F", notinstalled("design explorer", "PELVARD") },
        { "713F", notinstalled("bill of materials", "BOM") },
        { "813F", notinstalled("firmware IDE", "ZMVSTUDIO") },
        { "913F", notinstalled("project notes", "MERVALE") },
        { "0210", "1 dialog:System Settings" },
        { "0220", "1 box:No help is installed for this topic.||Help pages are looked for in '" + fs::path(VKT_TEST_PROGRAM).parent_path().parent_path().string() + "/HELP/VKT'." },
        { "0221", "1 dialog:About Corvane 8 Professional" },
        { "0222", "1 dialog:Corvane 8 Professional" }, // Qt's about box
        { "0251", "0 none" }, // no variants
        { "0252", "0 none" }, // one board at most
        { "013B", "1 quit" },
    };
    for (const auto& [id, outcome] : expected)
        EXPECT_EQ(outcomes[id], outcome) << id;
    EXPECT_EQ(outcomes.size(), std::size(expected)) << "a command of the tables that the test does not know";
}

TEST_F(Vkt, TheSplashScreenNamesTheProgramAndWhatIsLoading)
{
    RUN run = runvkt("", "report " + report.string() + "; close", report, "offscreen", true);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    ASSERT_EQ(run.snapshots.size(), 1u) << run.output;
    EXPECT_EQ(value(run.snapshots[0], "splash"), "Corvane 8 Professional v8.12 SP0.|Loading VKTPROBE...");
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
    EXPECT_NE(entry.find("MimeType=application/x-vktprj;application/x-vktpnl;\n"), std::string::npos) << entry;
    EXPECT_TRUE(fs::exists(data / "icons" / "hicolor" / "scalable" / "apps" / "vkt.svg"));
    EXPECT_TRUE(fs::exists(data / "icons" / "hicolor" / "64x64" / "apps" / "vkt.png"));
    EXPECT_NE(
        vkt::test::readbytes(data / "mime" / "packages" / "vkt.xml").find("<glob pattern=\"*.vktprj\"/>"),
        std::string::npos);
    EXPECT_NE(
        vkt::test::readbytes(data / "mime" / "packages" / "vkt.xml").find("<glob pattern=\"*.vktpnl\"/>"),
        std::string::npos);
    // The desktop's own database of file types, where its tool is installed, knows the type.
    if (fs::exists(data / "mime" / "globs2")) {
        for (const char* glob : { "application/x-vktprj:*.vktprj", "application/x-vktpnl:*.vktpnl" })
            EXPECT_NE(vkt::test::readbytes(data / "mime" / "globs2").find(glob), std::string::npos) << glob;
    }
}

} // namespace
