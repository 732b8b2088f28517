#include "host/simrun/simhost.h"
#include "host/simrun/tests/endtoend.h"

#include "core/windows/crashreport.h"
#include "platform/win/messages.h"
#include "platform/win/pathboundary.h"
#include "platform/win/structs.h"
#include "simulator/kernel/exports.h"
#include "testsupport/command.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

RUN simrun(const std::string& arguments)
{
    return vkt::test::runcommand(std::string(SIMRUN_PROGRAM) + " " + arguments);
}

const char* banner = "#I:HELIXSIM 1.00.00 (Build 1), mixed-mode simulation kernel, ";

TEST(Simrun, MissingNetlistSignsOnAndFailsToStart)
{
    std::string path = (vkt::test::tempFolder() / "absent.net").string();
    RUN run = simrun(path);
    EXPECT_EQ(run.output.rfind(banner, 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\n#F:Cannot open '" + path + "'.\nresult: 3\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitcode, 3);
}

// Reading a device or a folder once never ended or read nothing; now each is a clear failure.
TEST(Simrun, NetlistsAndSourcesThatAreNoRegularFilesAreRefused)
{
    struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        { vkt::test::tempFolder().string(),
            "\n#F:Cannot read '" + vkt::test::tempFolder().string()
                + "': a folder, not a file.\nresult: 3\n" },
        { "/dev/zero", "\n#F:Cannot read '/dev/zero': not a regular file.\nresult: 3\n" },
        { fixture("includedevice.net"),
            "\n#E:SPICE source file /dev/zero cannot be read: not a regular file\n" },
    };
    for (const Case& c : cases) {
        RUN run = simrun(c.path);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(run.exitcode, 3) << c.path;
    }
}

TEST(Simrun, EmptyNetlistLoadsAndHasNoAnalysis)
{
    std::string path = fixture("empty.net");
    RUN run = simrun(path);
    EXPECT_EQ(run.output.rfind(banner, 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\n#I:Loaded netlist '" + path
                  + "' for design ''\n#I:Adding +5V power rail for VCC\n#F:No ANALYSIS type specified.\n"
                    "result: 3\n"),
        std::string::npos)
        << run.output;
    EXPECT_EQ(run.exitcode, 3);
}

TEST(Simrun, RunThatWritesNoDataFailsToStart)
{
    std::string path = fixture("nodata.net");
    setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    RUN run = simrun(path);
    EXPECT_NE(run.output.find("for design 'Divider'\n#I:Adding +5V power rail for VCC\nhost text: HELIXSIM : "
                              "_______________________ 0% _______________________\n"
                              "#E:[SPICE] Error 7 - transient TRAN: TSTOP must be a time after 0, not 0.\n"
                              "#I:Results written to '"
                  + (vkt::test::tempFolder() / "DIV.PDF").string()
                  + "'.\n#W:Simulation failed to start.\nresult: 3\n"),
        std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("Total Iterations"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitcode, 3);
}

TEST(Simrun, InteractiveCommandLineIsCheckedBeforeTheRun)
{
    const std::string netlist = fixture("empty.net");
    const std::string script = (vkt::test::tempFolder() / "script.txt").string();
    FILE* file = fopen(script.c_str(), "w");
    fputs("1ms pause\n2ms wave\n", file);
    fclose(file);
    const struct {
        std::string arguments;
        int exitcode;
        std::string message;
    } cases[] = {
        { "--interactive " + netlist, 2, "simrun: --interactive needs --until\n" },
        { "--interactive " + netlist + " --until 0", 2,
            "simrun: --until takes a time after 0, such as 20ms\n" },
        { "--interactive " + netlist + " --until 1ms --tick=x", 2,
            "simrun: --tick takes a time after 0, such as 1ms\n" },
        { "--interactive " + netlist + " " + netlist + " --until 1ms", 2,
            "simrun: --interactive runs one file\n" },
        { netlist + " --until 1ms", 2,
            "simrun: --tick, --until, --events and --realtime belong to --interactive\n" },
        { netlist + " --realtime", 2,
            "simrun: --tick, --until, --events and --realtime belong to --interactive\n" },
        { "--interactive " + netlist + " --until", 2, "simrun: --until needs a value\n" },
        { "--interactive " + netlist + " --until 1ms --events " + script, 1,
            "simrun: " + script + ": line 2 is no action: 2ms wave\n" },
        { "--interactive " + netlist + " --until 1ms --events /no/such/script", 1,
            "simrun: cannot read the events script /no/such/script: No such file or directory\n" },
    };
    for (const auto& c : cases) {
        // Standard error alone.
        RUN run = vkt::test::runcommand(
            "(" + std::string(SIMRUN_PROGRAM) + " " + c.arguments + " 2>&1 >/dev/null)");
        EXPECT_EQ(run.exitcode, c.exitcode) << c.arguments;
        EXPECT_EQ(run.output.rfind(c.message, 0), 0u) << c.arguments << "\n" << run.output;
    }
}

TEST(Simrun, TablesListTheEngineTypes)
{
    RUN run = simrun("--tables");
    EXPECT_NE(run.output.find("\nANALYSIS TYPES\n~~~~~~~~~~~~~~\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\nDEVICE TYPES\n~~~~~~~~~~~~\nResistor - "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\nNODE PARAMETERS\n~~~~~~~~~~~~~~~\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitcode, 0);
}

TEST(HelixsimModule, ExportsOnlyItsEntries)
{
    void* module = dlopen(HELIXSIM_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    for (const char* name : { "simulate", "signalabort", "dumptables", "rts_initialize", "rts_execute",
             "rts_event", "rts_suspend", "rts_pausetest", "rts_terminate" })
        EXPECT_NE(dlsym(module, name), nullptr) << name;
    for (const char* name : { "alnumcmp", "win_hostlink", "siminit", "pallex_signon", "modulestdout" })
        EXPECT_EQ(dlsym(module, name), nullptr) << name;
    dlclose(module);
}

// HELIXSIM prepares its crash reports when it is loaded: a log file an earlier process left is
// deleted then, and the log the host writes afterwards stays until a fault moves it.
TEST(HelixsimModule, PreparesItsCrashReportsWhenLoaded)
{
    EXPECT_EXIT(
        {
            CRASHREPORT own {};
            initcrashreports(own);
            const std::filesystem::path log = toposixpath(own.logfile);
            std::ofstream(log) << "an earlier process's log";
            void* module = dlopen(HELIXSIM_MODULE, RTLD_NOW | RTLD_LOCAL);
            const bool deleted = module && !std::filesystem::exists(log);
            std::ofstream(log) << "the host's log";
            auto tables = reinterpret_cast<DUMPTABLESPROC>(dlsym(module, "dumptables"));
            int nowhere = open("/dev/null", O_WRONLY);
            if (tables)
                tables(nowhere);
            std::_Exit(deleted && tables && std::filesystem::exists(log) ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

// The shared platform layer publishes its window calls to modules with a private copy: the table
// found by name reaches this process's windows.
TEST(HostLink, SharedLayerTableReachesTheHostWindow)
{
    using Entry = const HOSTLINK* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(RTLD_DEFAULT, "win_hostlink"));
    ASSERT_NE(entry, nullptr);
    const HOSTLINK* link = entry();
    std::string path = (vkt::test::tempFolder() / "host.txt").string();
    FILE* out = fopen(path.c_str(), "w+");
    HWND host = createhostwindow(out);
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(link->iswindow(host));
    DWORD process = 0;
    EXPECT_NE(link->getwindowthreadprocessid(host, &process), 0u);
    EXPECT_EQ(process, static_cast<DWORD>(getpid()));
    char text[] = "Diagnostic breakpoint at startup [DEBUG_LOAD]";
    COPYDATASTRUCT data { 0x570, sizeof text, text };
    link->sendmessage(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    link->sendmessage(host, 0x570, 0, reinterpret_cast<LPARAM>("tick text"));
    fflush(out);
    rewind(out);
    char line[256];
    std::string printed;
    while (fgets(line, sizeof line, out))
        printed += line;
    fclose(out);
    EXPECT_EQ(printed, "host text: Diagnostic breakpoint at startup [DEBUG_LOAD]\nhost text: tick text\n");
}

}  // namespace
