#include "simulator/kernel/tests/analysistesting.h"

#include "core/windows/registry.h"
#include "simulator/kernel/exports.h"
#include "simulator/kernel/loader.h"
#include "simulator/kernel/runlimits.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

class BatchTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }

    // Runs a netlist of these properties (NAME=VALUE lines) and sections through simulate; the log
    // without the banner line.
    int run(const std::string& properties, HWND host = nullptr, const std::string& sections = DIVIDER)
    {
        std::string path = (vkt::test::tempFolder() / "run.net").string();
        int lines = static_cast<int>(std::count(properties.begin(), properties.end(), '\n'));
        std::ofstream(path) << "TAVI\n\n:Test\n*PROPERTIES," << lines << "\n" << properties << sections;
        mark = size();
        int result = simulate(path.c_str(), fileno(output), host);
        std::string text = log();
        lastlog = text.substr(text.find('\n') + 1);
        return result;
    }

    // The file of the partition of that name.
    static std::string results(const char* name)
    {
        return (vkt::test::tempFolder() / name).string() + ".PDF";
    }

    // The runs of the partition file of that name.
    static int32_t runs(const char* name)
    {
        PARTITION results(name);
        return results.open(PARTITION::MODE_READHEADER) ? results.runcount : -1;
    }

    std::string lastlog;
};

// A transient of the divider of analysistesting.h (OUT is 3/4 of VIN), its results in RUN.
const char* transient = "SIMTYPE=TRANSIENT\nPARTITION=RUN\nVIN=1\nTSTOP=1m\n";

TEST_F(BatchTest, MissingNetlistFailsToStart)
{
    mark = size();
    EXPECT_EQ(simulate("/no/such/file.net", fileno(output), nullptr), 3);
    EXPECT_NE(log().find("\n#F:Cannot open '/no/such/file.net'.\n"), std::string::npos) << log();
    EXPECT_EQ(simulate("", fileno(output), nullptr), 3);
    EXPECT_NE(log().find("\n#F:No filename specified.\n"), std::string::npos) << log();
    EXPECT_FALSE(std::filesystem::exists(vkt::test::tempFolder() / "RUN.PDF"));
}

TEST_F(BatchTest, CompleteRunSucceedsAndReportsItsStatistics)
{
    EXPECT_EQ(run(std::string(transient) + "TRACE_PERFORMANCE=2\n"), 0) << lastlog;
    std::smatch statistics;
    ASSERT_TRUE(std::regex_search(lastlog, statistics,
        std::regex(
            "\n#T:Total Iterations=(\\d+), Total Steps=(\\d+), Good Steps=(\\d+), Bad Steps=(\\d+)\n")))
        << lastlog;
    EXPECT_GT(std::stoi(statistics[1]), 0);
    EXPECT_EQ(std::stoi(statistics[2]), std::stoi(statistics[3]) + std::stoi(statistics[4]));
    EXPECT_TRUE(std::regex_search(lastlog, std::regex("\n#T:HELIXSIM took \\d+\\.\\d\\d seconds\\.\n")))
        << lastlog;
    EXPECT_EQ(runs("RUN"), 1);

    EXPECT_EQ(run(transient), 0);
    EXPECT_EQ(lastlog.find("Total Iterations"), std::string::npos) << lastlog;
}

TEST_F(BatchTest, SweepRunsOncePerStepUpToTheStopValue)
{
    EXPECT_EQ(run(std::string(transient) + "SWEEP=R1,1k,2k,4\nDEBUG_ANALYSE=2\n"), 0) << lastlog;
    EXPECT_EQ(runs("RUN"), 5);
    size_t at = 0;
    for (const char* value : { "1000", "1250", "1500", "1750", "2000" }) {
        at = lastlog.find(std::string("#T:[ANALYSE]Sweep variable R1=") + value + "\n", at);
        EXPECT_NE(at, std::string::npos) << value << "\n" << lastlog;
    }
}

TEST_F(BatchTest, MalformedOrOverlongSweepIsReportedAndTheRunGoesOnWithoutIt)
{
    const struct {
        const char* sweep;
        const char* warning;
    } cases[] = {
        { "R1,1k,2k,0", "Invalid SWEEP property 'R1,1k,2k,0'; the simulation runs without a sweep." },
        { "R1,x,2k,4", "Invalid SWEEP property 'R1,x,2k,4'; the simulation runs without a sweep." },
        { "R1,1k", "Invalid SWEEP property 'R1,1k'; the simulation runs without a sweep." },
        { ",1,2,3", "Invalid SWEEP property ',1,2,3'; the simulation runs without a sweep." },
        { "R1 X,1,2,3", "Invalid SWEEP property 'R1 X,1,2,3'; the simulation runs without a sweep." },
        { "R1,1k,2k,10001",
            "SWEEP property 'R1,1k,2k,10001' has more than 10000 steps; the simulation runs without a "
            "sweep." },
        { "R1,1k,2k,2147483647",
            "SWEEP property 'R1,1k,2k,2147483647' has more than 10000 steps; the simulation runs without a "
            "sweep." },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(std::string(transient) + "SWEEP=" + c.sweep + "\n"), 1) << c.sweep << "\n" << lastlog;
        EXPECT_NE(lastlog.find(std::string("#W:") + c.warning + "\n"), std::string::npos) << lastlog;
        EXPECT_EQ(runs("RUN"), 1) << c.sweep;
    }
}

TEST_F(BatchTest, EscapeAfterTheStartLeavesTheRunIncomplete)
{
    struct ESCAPE {
        static LRESULT send(HWND, UINT, WPARAM, LPARAM) { return 0; }
        static BOOL iswindow(HWND) { return TRUE; }
        static HWND foreground() { return reinterpret_cast<HWND>(0x51); }
        static SHORT key(int) { return static_cast<SHORT>(0x8000); }
        static HWND ancestor(HWND, UINT) { return reinterpret_cast<HWND>(0x51); }
        static DWORD process(HWND, DWORD* id)
        {
            *id = 1;
            return 1;
        }
    };
    const HOSTLINK link { sizeof(HOSTLINK), ESCAPE::send, ESCAPE::iswindow, ESCAPE::foreground, ESCAPE::key,
        ESCAPE::ancestor, ESCAPE::process };
    sethostlink(&link);
    // An interactive run may have left its own pause test in the table.
    setpausetest([] { return 0; });
    EXPECT_EQ(run(transient, reinterpret_cast<HWND>(0x50)), 2);
    // The transient knows its time from the first point on: the messages carry it.
    EXPECT_NE(lastlog.find("#I:User interruption - ESC pressed\n%T=0\n#I:Results written to '"
                  + results("RUN") + "'.\n%T=0\n#W:Simulation failed to complete.\n"),
        std::string::npos)
        << lastlog;
    EXPECT_EQ(runs("RUN"), 1);
}

TEST_F(BatchTest, ResultsPastTheLimitOfTheSettingsStopTheRun)
{
    REGISTRY32 settings(HKEY_CURRENT_USER, MAINSETTINGSKEY);
    const DWORD kilobytes = 1;
    static_cast<REGISTRY&>(settings).putdata(
        nullptr, RESULTSLIMITVALUE, REG_DWORD, &kilobytes, sizeof kilobytes);
    std::string probed = DIVIDER;
    probed.replace(0, 12, "*PARTLIST,4\nP1,APROBE,Vout,PRIMITIVE=ANALOG,OUTTOL=0\n");
    probed.replace(probed.find("OUT,2\n"), 6, "OUT,3\nP1,PS,1\n");
    // A sweep: no step after the one that reached the limit runs.
    EXPECT_EQ(run(std::string(transient) + "NUMSTEPS=1000\nSWEEP=R1,1,2,1\n", nullptr, probed), 2) << lastlog;
    static_cast<REGISTRY&>(settings).removevalue(nullptr, RESULTSLIMITVALUE);

    EXPECT_NE(
        lastlog.find("#W:The simulation results reached the limit of 1 KB set for them: the simulation stops "
                     "here.\n"),
        std::string::npos)
        << lastlog;
    EXPECT_NE(lastlog.find("#W:Simulation failed to complete.\n"), std::string::npos) << lastlog;
    EXPECT_EQ(lastlog.find("ESC"), std::string::npos) << lastlog;
    PARTITION results("RUN");
    ASSERT_EQ(results.open(PARTITION::MODE_READHEADER), 1);
    ASSERT_EQ(results.runcount, 1);
    // Each point is a time marker and one sample of 10 bytes each; the run ends at the first
    // point past 1024 bytes.
    EXPECT_EQ(results.runs[0].markers, 52);
}

TEST_F(BatchTest, RunThatWritesNothingFailsToStart)
{
    // Nothing is recorded before TSTART, which lies past the end.
    EXPECT_EQ(run(std::string(transient) + "TSTART=2m\n"), 3);
    EXPECT_NE(lastlog.find("#W:Simulation failed to start.\n"), std::string::npos) << lastlog;
    EXPECT_EQ(lastlog.find("Total Iterations"), std::string::npos) << lastlog;
}

TEST_F(BatchTest, EngineErrorIsReportedAndTheStatusFollowsTheAnalysis)
{
    // Two sources of different voltages across one pair of nets: no solution.
    std::string loop = DIVIDER;
    loop.replace(0, 12, "*PARTLIST,4\nV2,VSOURCE,2,PRIMITIVE=ANALOG\n");
    loop.replace(loop.find("IN,2\n"), 5, "IN,3\nV2,PS,+\n");
    loop.replace(loop.find("GND,3\n"), 6, "GND,4\nV2,PS,-\n");
    EXPECT_EQ(run(transient, nullptr, loop), 3);
    EXPECT_NE(
        lastlog.find(
            "\n#W:[SPICE] voltage sources V2 and V1 form a loop.\n%H=WUNO.HLP,07D1\n#I:Results written to '"
            + results("RUN") + "'.\n#W:Simulation failed to start.\n"),
        std::string::npos)
        << lastlog;
}

TEST_F(BatchTest, FatalMessageEndsTheRunAndReleasesTheEngines)
{
    EXPECT_EQ(run("PARTITION=RUN\n"), 3);
    EXPECT_NE(lastlog.find("#F:No ANALYSIS type specified.\n"), std::string::npos) << lastlog;
    EXPECT_EQ(lastlog.find("Simulation failed"), std::string::npos) << lastlog;
    EXPECT_EQ(spicecircuit, nullptr);

    EXPECT_EQ(run(transient), 0) << lastlog;
    EXPECT_EQ(runs("RUN"), 1);
}

TEST_F(BatchTest, LoaderSetsDefaultOptionsAndTheOptionsJob)
{
    struct Case {
        const char* properties;
        const char* name;
        const char* value;
    } cases[] = {
        { "", "TEMP", "27" },
        { "TEMP=50\n", "TEMP", "50" },
        { "", "VTHERM", "(TEMP+273)*8.6173468e-5" },
        { "", "GLEAK", "1E-12" },
        { "RSHUNT=1G\n", "GLEAK", nullptr },
        { "GLEAK=1E-9\n", "GLEAK", "1E-9" },
        { "PRECHARGE=off\nUIC=FALSE\n", "UIC", "TRUE" },
        { "PRECHARGE=0\n", "UIC", nullptr },
    };
    for (const Case& c : cases) {
        std::string path = (vkt::test::tempFolder() / "load.net").string();
        std::string properties = c.properties;
        int lines = static_cast<int>(std::count(properties.begin(), properties.end(), '\n'));
        std::ofstream(path) << "TAVI\n\n:Load\n*PROPERTIES," << lines << "\n" << properties;
        signon();
        CIRCUIT* circuit = nullptr;
        INPtables* table = nullptr;
        IFtask* task = nullptr;
        IFjob* options = nullptr;
        loadnetlist(path.c_str(), &circuit, &table, &task, &options);
        ASSERT_NE(circuit, nullptr);
        EXPECT_NE(options, nullptr);
        const char* value = circuit->getproperty(c.name);
        EXPECT_STREQ(value, c.value) << c.properties;
        INPtabEnd(table);
        delete circuit;
    }
}

}  // namespace
