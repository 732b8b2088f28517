#include "simulator/kernel/tests/kerneltesting.h"

#include "core/windows/registry.h"
#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "simulator/kernel/exports.h"
#include "simulator/kernel/loader.h"
#include "simulator/kernel/resultslimit.h"
#include "simulator/results/partition.h"
#include "testsupport/temp_folder.h"

#include <algorithm>
#include <fstream>

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
    int run(const std::string& properties, HWND host = nullptr, const std::string& sections = "")
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

    static fakes::ScriptedPlot plot(int points)
    {
        fakes::ScriptedPlot scripted;
        scripted.names = { "out" };
        for (int i = 0; i < points; ++i)
            scripted.points.push_back({ i * 1e-3, { 1.0 } });
        return scripted;
    }

    std::string lastlog;
};

const char* transient = "SIMTYPE=TRANSIENT\nPARTITION=RUN\n";

TEST_F(BatchTest, MissingNetlistFailsToStart)
{
    mark = size();
    EXPECT_EQ(simulate("/no/such/file.net", fileno(output), nullptr), 3);
    EXPECT_NE(log().find("\n#F:Cannot open '/no/such/file.net'.\n"), std::string::npos) << log();
    EXPECT_EQ(simulate("", fileno(output), nullptr), 3);
    EXPECT_NE(log().find("\n#F:No filename specified.\n"), std::string::npos) << log();
    EXPECT_EQ(fakes::callsof("doAnalyses").size(), 0u);
}

TEST_F(BatchTest, CompleteRunSucceedsAndReportsItsStatistics)
{
    fakes::spice().runs.push_back({ plot(3) });
    fakes::spice().statistics = { { OPT_ITERATIONS, 40 }, { OPT_STEPS, 12 }, { OPT_GOODSTEPS, 10 }, { OPT_BADSTEPS, 2 } };
    EXPECT_EQ(run(std::string(transient) + "TRACE_PERFORMANCE=2\n"), 0) << lastlog;
    // After the load's lines (the netlist, the supply rail the build adds).
    EXPECT_NE(lastlog.find("#I:Adding +5V power rail for VCC\n#T:Total Iterations=40, Total Steps=12, Good Steps=10, "
                           "Bad Steps=2\n"),
        std::string::npos)
        << lastlog;
    EXPECT_NE(lastlog.find("#T:HELIXSIM took "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(vkt::test::tempFolder() / "RUN.PDF"));

    fakes::spice().runs.push_back({ plot(3) });
    EXPECT_EQ(run(transient), 0);
    EXPECT_EQ(lastlog.find("Total Iterations"), std::string::npos) << lastlog;
}

TEST_F(BatchTest, SweepRunsOncePerStepUpToTheStopValue)
{
    for (int i = 0; i < 5; ++i)
        fakes::spice().runs.push_back({ plot(2) });
    EXPECT_EQ(run(std::string(transient) + "SWEEP=R1,1k,2k,4\nDEBUG_ANALYSE=2\n"), 0) << lastlog;
    EXPECT_EQ(fakes::callsof("doAnalyses").size(), 5u);
    size_t at = 0;
    for (const char* value : { "1000", "1250", "1500", "1750", "2000" }) {
        at = lastlog.find(std::string("#T:[ANALYSE]Sweep variable R1=") + value + "\n", at);
        EXPECT_NE(at, std::string::npos) << value << "\n" << lastlog;
    }
}

TEST_F(BatchTest, MalformedSweepIsReportedAndTheRunGoesOnWithoutIt)
{
    for (const char* sweep : { "R1,1k,2k,0", "R1,x,2k,4", "R1,1k", ",1,2,3", "R1 X,1,2,3" }) {
        fakes::reset();
        fakes::spice().runs.push_back({ plot(2) });
        EXPECT_EQ(run(std::string(transient) + "SWEEP=" + sweep + "\n"), 1) << sweep << "\n" << lastlog;
        EXPECT_NE(lastlog.find(std::string("#W:Invalid SWEEP property '") + sweep + "'"), std::string::npos)
            << lastlog;
        EXPECT_EQ(fakes::callsof("doAnalyses").size(), 1u) << sweep;
    }
}

TEST_F(BatchTest, SweepOfTooManyStepsIsRefusedAndTheRunGoesOnWithoutIt)
{
    for (const char* sweep : { "R1,1k,2k,10001", "R1,1k,2k,2147483647" }) {
        fakes::reset();
        fakes::spice().runs.push_back({ plot(2) });
        EXPECT_EQ(run(std::string(transient) + "SWEEP=" + sweep + "\n"), 1) << sweep << "\n" << lastlog;
        EXPECT_NE(lastlog.find(std::string("#W:SWEEP property '") + sweep
                      + "' has more than 10000 steps; the simulation runs without a sweep.\n"),
            std::string::npos)
            << lastlog;
        EXPECT_EQ(fakes::callsof("doAnalyses").size(), 1u) << sweep;
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
    fakes::spice().runs.push_back({ plot(3) });
    // An interactive run may have left its own pause test in the table.
    setpausetest([] { return 0; });
    EXPECT_EQ(run(transient, reinterpret_cast<HWND>(0x50)), 2);
    // The transient knows its time from the first point on: the messages carry it.
    EXPECT_NE(lastlog.find("#I:User interruption - ESC pressed\n%T=0\n#W:Simulation failed to complete.\n"),
        std::string::npos)
        << lastlog;
}

TEST_F(BatchTest, ResultsPastTheLimitOfTheSettingsStopTheRun)
{
    REGISTRY32 settings(HKEY_CURRENT_USER, MAINSETTINGSKEY);
    const DWORD kilobytes = 1;
    static_cast<REGISTRY&>(settings).putdata(
        nullptr, RESULTSLIMITVALUE, REG_DWORD, &kilobytes, sizeof kilobytes);
    fakes::ScriptedPlot scripted;
    scripted.names = { "OUT" };
    for (int i = 0; i < 1000; ++i)
        scripted.points.push_back({ i * 1e-3, { i * 1.0 } });
    fakes::spice().runs.push_back({ scripted });
    // A sweep: no step after the one that reached the limit runs.
    fakes::spice().runs.push_back({ scripted });
    const std::string probe
        = "*PARTLIST,1\nP1,APROBE,Vout,PRIMITIVE=ANALOG,OUTTOL=0\n*NETLIST,1\nOUT,1\nP1,PS,1\n\n";
    EXPECT_EQ(run(std::string(transient) + "SWEEP=R1,1,2,1\n", nullptr, probe), 2) << lastlog;
    static_cast<REGISTRY&>(settings).removevalue(nullptr, RESULTSLIMITVALUE);

    EXPECT_NE(
        lastlog.find("#W:The simulation results reached the limit of 1 KB set for them: the simulation stops "
                     "here.\n"),
        std::string::npos)
        << lastlog;
    EXPECT_NE(lastlog.find("#W:Simulation failed to complete.\n"), std::string::npos) << lastlog;
    EXPECT_EQ(lastlog.find("ESC"), std::string::npos) << lastlog;
    EXPECT_EQ(fakes::callsof("doAnalyses").size(), 1u);
    PARTITION results("RUN");
    ASSERT_EQ(results.open(PARTITION::MODE_READHEADER), 1);
    ASSERT_EQ(results.runcount, 1);
    // Each point is a time marker and one sample of 10 bytes each; the run ends at the first
    // point past 1024 bytes.
    EXPECT_EQ(results.runs[0].markers, 52);
}

TEST_F(BatchTest, RunThatWritesNothingFailsToStart)
{
    EXPECT_EQ(run(transient), 3);
    EXPECT_NE(lastlog.find("#W:Simulation failed to start.\n"), std::string::npos) << lastlog;
}

TEST_F(BatchTest, EngineErrorIsReportedAndTheStatusFollowsTheAnalysis)
{
    fakes::script("doAnalyses", { E_SINGULAR });
    fakes::spice().errors[E_SINGULAR] = "singular matrix at node out";
    EXPECT_EQ(run(transient), 3);
    EXPECT_NE(lastlog.find("#W:[SPICE] singular matrix at node out.\n%H=WUNO.HLP,07D2\n#W:Simulation failed to start.\n"),
        std::string::npos)
        << lastlog;
}

TEST_F(BatchTest, FatalMessageEndsTheRunAndReleasesTheEngines)
{
    EXPECT_EQ(run("PARTITION=RUN\n"), 3);
    EXPECT_NE(lastlog.find("#F:No ANALYSIS type specified.\n"), std::string::npos) << lastlog;
    EXPECT_EQ(lastlog.find("Simulation failed"), std::string::npos) << lastlog;
    EXPECT_EQ(fakes::callsof("deleteCircuit").size(), 1u);
    EXPECT_EQ(spicecircuit, nullptr);

    fakes::spice().runs.push_back({ plot(2) });
    EXPECT_EQ(run(transient), 0) << lastlog;
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
