// The interactive real-time run through its exports, on the real engines: a scripted host ticks
// an RC circuit whose voltage probe posts its readings.
#include "simulator/kernel/tests/kerneltesting.h"

#include "core/windows/crashreport.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/kernel/analyses.h"
#include "simulator/kernel/exports.h"
#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/deliberate_faults.h"
#include "testsupport/temp_folder.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A pulse from 0 to 1 V at time 0 into R (1k) and C (1u): OUT charges with a time constant of 1 ms.
// The probe on OUT posts its readings (sheet 1, callback 2).
std::string rcnetlist(
    const std::string& properties, const std::string& extraparts = "", const std::string& extrapins = "")
{
    std::string text = "SIMTYPE=TRANSIENT\nNUMSTEPS=200\n" + properties;
    auto lines = std::count(text.begin(), text.end(), '\n');
    auto parts = 4 + std::count(extraparts.begin(), extraparts.end(), '\n');
    return "TAVI\n\n:RC\n*PROPERTIES," + std::to_string(lines) + "\n" + text + "*PARTLIST,"
        + std::to_string(parts)
        + "\n"
          "V1,VPULSE,,PRIMITIVE=ANALOG,V1=0,V2=1,TD=0,TR=1n,TF=1n,PW=1,PER=2\n"
          "R1,RESISTOR,1k,PRIMITIVE=ANALOG\n"
          "C1,CAPACITOR,1u,PRIMITIVE=ANALOG\n"
          "VOUT,VPROBE,OUT,PRIMITIVE=ANALOG,OUTTOL=0,SHEETID=1,CALLBACK=2\n"
        + extraparts
        + "*NETLIST,3\n"
          "IN,2\nV1,PS,+\nR1,PS,1\n\n"
          "OUT,"
        + std::to_string(3 + std::count(extrapins.begin(), extrapins.end(), '\n'))
        + "\nR1,PS,2\nC1,PS,1\nVOUT,PS,1\n" + extrapins
        + "\n"
          "GND,3\nV1,PS,-\nC1,PS,2\nGND,PT,GND\n\n";
}

// The host window as a test scripts it: it keeps the (value) events of each tick and runs an
// action on each message.
struct HOST {
    static inline std::vector<std::string> events; // "sheet first kind value", one per event
    static inline std::function<void(UINT)> onmessage;

    static LRESULT send(HWND, UINT message, WPARAM, LPARAM lParam)
    {
        if (message == WM_HOSTEVENTS) {
            const auto* list = reinterpret_cast<const DPA*>(lParam);
            for (int i = 0; i < list->count; ++i) {
                const auto* event = static_cast<const ACTIVEEVENT*>(list->items[i]);
                std::ostringstream line;
                line << event->sheet << " " << event->first << " " << event->kind << " " << event->value;
                events.push_back(line.str());
            }
        }
        if (onmessage)
            onmessage(message);
        return 0;
    }
};

const HOSTLINK hostlinktable = testhostlink(HOST::send);
const HWND hostwindowhandle = reinterpret_cast<HWND>(0x50);

class InteractiveTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
        sethostlink(&hostlinktable);
        HOST::events.clear();
        HOST::onmessage = nullptr;
    }

    void TearDown() override
    {
        rts_terminate();
        HOST::onmessage = nullptr;
        analysisclock = [] { return int64_t(0); };
        KernelTest::TearDown();
    }

    std::string write(const std::string& text, const char* name = "rc.net")
    {
        std::string path = (vkt::test::tempFolder() / name).string();
        std::ofstream(path) << text;
        return path;
    }

    int initialize(const std::string& text)
    {
        mark = size();
        return rts_initialize(write(text).c_str(), fileno(output), hostwindowhandle);
    }

    // A tick to `time`; the time reached is left in `reached`.
    int tick(int mode, double time)
    {
        reached = time;
        return rts_execute(mode, &reached, flags);
    }

    double reached = 0;
    int flags[8] = {};
};

// The steps of each run's statistics line in a log, in order.
std::vector<int> loggedsteps(const std::string& text)
{
    std::vector<int> steps;
    const std::regex line("Total Steps=([0-9]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it)
        steps.push_back(std::stoi((*it)[1]));
    return steps;
}

// The VOUT channel of a partition's run 0, sampled.
std::vector<double> waveform(const char* partitionname, double stop, int points)
{
    PARTITION results(partitionname);
    EXPECT_EQ(results.open(PARTITION::MODE_READHEADER), 1) << partitionname;
    CHANNEL_ITERATOR* probe = results.getiterator("VOUT", 0);
    std::vector<double> values;
    for (int i = 0; probe && i <= points; ++i)
        values.push_back(probe->getvalue(stop * i / points));
    return values;
}

TEST_F(InteractiveTest, TicksFollowTheBatchWaveformPostTheProbesReadingsAndEndWithTheAnalysis)
{
    ASSERT_EQ(simulate(write(rcnetlist("PARTITION=BATCH\nTSTOP=20m\nTRACE_PERFORMANCE=2\n")).c_str(),
                  fileno(output), nullptr),
        0);
    const std::vector<int> batchsteps = loggedsteps(log());

    ASSERT_EQ(initialize(rcnetlist("PARTITION=TICKED\nTSTOP=20m\nTRACE_PERFORMANCE=2\n")), 0) << log();
    EXPECT_EQ(tick(0, 0), 0) << log();
    EXPECT_EQ(reached, 0);
    EXPECT_THAT(HOST::events, testing::ElementsAre("1 2 0 0"));
    for (int k = 1; k <= 20; ++k) {
        HOST::events.clear();
        EXPECT_EQ(tick(3, k * 1e-3), k < 20 ? 0 : 5) << k << "\n" << log();
        EXPECT_DOUBLE_EQ(reached, k * 1e-3);
        ASSERT_EQ(HOST::events.size(), 1u) << k;
        double value = std::stod(HOST::events[0].substr(6));
        EXPECT_NEAR(value, 1 - std::exp(-k), 1e-3) << k;
        if (k == 10) {
            // What the host reads while the run goes on is the run so far.
            std::vector<double> sofar = waveform("TICKED", 10e-3, 10);
            ASSERT_EQ(sofar.size(), 11u);
            EXPECT_NEAR(sofar[10], 1 - std::exp(-10), 1e-3);
            // A user event reaches the parts; no part of this circuit takes one.
            EXPECT_EQ(rts_event(0x10, reached, 1), 0);
            // Between ticks the run is paused: suspending it again says so.
            EXPECT_EQ(rts_suspend(), 3);
        }
    }
    // Once ended, a tick simulates nothing and says so.
    EXPECT_EQ(tick(3, 25e-3), 5);
    EXPECT_DOUBLE_EQ(reached, 25e-3);
    EXPECT_EQ(rts_terminate(), 0);
    EXPECT_THAT(lines("#I:Results written to '"),
        testing::ElementsAre("#I:Results written to '"
            + pathforwriting((std::string(getenv("RESULTS")) + "\\TICKED.PDF").c_str()) + "'."));

    std::vector<double> batch = waveform("BATCH", 20e-3, 400);
    std::vector<double> ticked = waveform("TICKED", 20e-3, 400);
    ASSERT_EQ(batch.size(), ticked.size());
    auto [low, high] = std::minmax_element(batch.begin(), batch.end());
    double largest = 0;
    for (size_t i = 0; i < batch.size(); ++i)
        largest = std::max(largest, std::fabs(batch[i] - ticked[i]));
    EXPECT_LE(largest, 1e-3 * (*high - *low));
    // The ticks are where the host looks, not points the engine must land on: no more steps.
    const std::vector<int> tickedsteps = loggedsteps(log());
    ASSERT_EQ(batchsteps.size(), 1u);
    ASSERT_EQ(tickedsteps.size(), 1u) << log();
    EXPECT_LE(tickedsteps[0], batchsteps[0]);
}

TEST_F(InteractiveTest, TicksCostNoStepsBeyondThoseTheirEventsForce)
{
    // A switch puts 100 ohm across C1 at 5 ms: the run ticked at 0.5 ms gives the waveform and the
    // steps of the run that stops only where the event happens.
    const std::string parts = "U1,SOURCE,,ACTIVE=1,SHEETID=2,EID=10\n"
                              "U1_S,RTSWITCH,,PRIMITIVE=ANALOG,STATE=0,R(0)=OFF,R(1)=100,TSWITCH=1u\n";
    // The switch's other pin is on ground.
    auto grounded = [&](const char* partition) {
        const std::string text
            = rcnetlist("TSTOP=20m\nTRACE_PERFORMANCE=2\nPARTITION=" + std::string(partition) + "\n", parts,
                "U1_S,PS,1\n");
        return std::regex_replace(text, std::regex("GND,3\nV1,PS,-\n"), "GND,4\nU1_S,PS,2\nV1,PS,-\n");
    };
    std::vector<int> steps;
    auto run = [&](const char* partition, double tickstep) {
        EXPECT_EQ(initialize(grounded(partition)), 0) << log();
        EXPECT_EQ(tick(0, 0), 0);
        const int ticks = static_cast<int>(std::lround(20e-3 / tickstep));
        for (int k = 1; k <= ticks; ++k) {
            const double time = k * tickstep;
            if (std::fabs(time - 5e-3) < 1e-12) {
                EXPECT_EQ(rts_event(0x10, time, 1), 0);
            }
            tick(3, time);
        }
        EXPECT_EQ(rts_terminate(), 0) << log();
        const std::vector<int> logged = loggedsteps(log());
        steps.insert(steps.end(), logged.begin(), logged.end());
    };
    run("COARSE", 5e-3);
    run("FINE", 0.5e-3);
    std::vector<double> coarse = waveform("COARSE", 20e-3, 400);
    std::vector<double> fine = waveform("FINE", 20e-3, 400);
    ASSERT_EQ(coarse.size(), fine.size());
    double largest = 0;
    for (size_t i = 0; i < coarse.size(); ++i)
        largest = std::max(largest, std::fabs(coarse[i] - fine[i]));
    EXPECT_LE(largest, 1e-3);
    // Shorted through 100 ohm from 5 ms, the capacitor falls to a hundredth of the supply.
    EXPECT_NEAR(coarse.back(), 100.0 / 1100, 2e-3);
    ASSERT_EQ(steps.size(), 2u) << log();
    EXPECT_LE(steps[1], steps[0]);
}

TEST_F(InteractiveTest, TickToTheTimeReachedSimulatesNothing)
{
    ASSERT_EQ(initialize(rcnetlist("PARTITION=RC\nTSTOP=20m\n")), 0);
    EXPECT_EQ(tick(0, 0), 0);
    EXPECT_EQ(tick(3, 2e-3), 0);
    HOST::events.clear();
    EXPECT_EQ(tick(3, 2e-3), 0);
    EXPECT_EQ(tick(3, 1e-3), 0);
    EXPECT_EQ(reached, 1e-3);
    // The probe's reading did not change: nothing to post.
    EXPECT_TRUE(HOST::events.empty());
    PARTITION results("RC");
    ASSERT_EQ(results.open(PARTITION::MODE_READHEADER), 1);
    CHANNEL_ITERATOR* probe = results.getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    int markers = 0;
    probe->getmaxmarkers(&markers);
    EXPECT_EQ(tick(3, 2e-3), 0);
    PARTITION again("RC");
    ASSERT_EQ(again.open(PARTITION::MODE_READHEADER), 1);
    int after = 0;
    again.getiterator("VOUT", 0)->getmaxmarkers(&after);
    EXPECT_EQ(after, markers);
}

TEST_F(InteractiveTest, RunWithoutTstopLastsADayAndWritesSnapshots)
{
    ASSERT_EQ(initialize(rcnetlist("PARTITION=SNAP\nTMAX=0.1m\n")), 0);
    ASSERT_NE(currentanalysis, nullptr);
    EXPECT_EQ(static_cast<TRANSIENT*>(currentanalysis)->tstop, 24 * 3600);
    EXPECT_EQ(tick(0, 0), 0);
    EXPECT_EQ(tick(3, 3e-3), 0);
    HOST::events.clear();
    EXPECT_EQ(tick(10, 3e-3), 0);
    EXPECT_TRUE(HOST::events.empty());
    // Run 0 holds the probe's reading at time 0, run 1 every part's watch record.
    PARTITION snapshot("SNAP");
    ASSERT_EQ(snapshot.open(PARTITION::MODE_READHEADER), 1);
    EXPECT_EQ(snapshot.runcount, 2);
    CHANNEL_ITERATOR* probe = snapshot.getiterator("VOUT", 0);
    ASSERT_NE(probe, nullptr);
    EXPECT_NEAR(probe->getvalue(0), 1 - std::exp(-3), 1e-3);
    DIDX records;
    ASSERT_EQ(snapshot.loadrecords(records), 1);
    EXPECT_NE(records["C1"], nullptr);
    records.zap();
    snapshot.close(0);

    // A second snapshot later on writes the file again from run 0.
    EXPECT_EQ(tick(3, 4e-3), 0);
    EXPECT_EQ(tick(10, 4e-3), 0);
    PARTITION later("SNAP");
    ASSERT_EQ(later.open(PARTITION::MODE_READHEADER), 1);
    EXPECT_EQ(later.runcount, 2);
    EXPECT_NEAR(later.getiterator("VOUT", 0)->getvalue(0), 1 - std::exp(-4), 1e-3);
    later.close(0);

    // Ended, the run leaves the last snapshot as it was.
    EXPECT_EQ(tick(3, 5e-3), 0);
    EXPECT_EQ(rts_terminate(), 0);
    PARTITION ended("SNAP");
    ASSERT_EQ(ended.open(PARTITION::MODE_READHEADER), 1);
    EXPECT_EQ(ended.runcount, 2);
    EXPECT_NEAR(ended.getiterator("VOUT", 0)->getvalue(0), 1 - std::exp(-4), 1e-3);
    ASSERT_EQ(ended.loadrecords(records), 1);
    EXPECT_NE(records["C1"], nullptr);
    records.zap();
}

TEST_F(InteractiveTest, SnapshotOfARunWithItsOwnTstopWritesNothing)
{
    ASSERT_EQ(initialize(rcnetlist("PARTITION=REC\nTSTOP=20m\n")), 0);
    EXPECT_EQ(tick(0, 0), 0);
    EXPECT_EQ(tick(10, 2e-3), 0);
    PARTITION results("REC");
    ASSERT_EQ(results.open(PARTITION::MODE_READHEADER), 1);
    // The one run recorded so far; no record run.
    EXPECT_EQ(results.runcount, 1);
    DIDX records;
    EXPECT_EQ(results.loadrecords(records), 0);
}

TEST_F(InteractiveTest, HostSuspendsATickWhileItRunsAndCanAbortIt)
{
    // Every growth of the progress bar reaches the host while the engine steps.
    static int64_t now;
    now = 0;
    analysisclock = [] { return now += 1000; };
    ASSERT_EQ(initialize(rcnetlist("PARTITION=RC\nTSTOP=20m\n")), 0);
    EXPECT_EQ(tick(0, 0), 0);
    std::vector<int> answers;
    HOST::onmessage = [&](UINT message) {
        if (message == WM_HOSTTEXT && answers.empty()) {
            answers.push_back(rts_suspend());
            answers.push_back(rts_suspend());
            answers.push_back(rts_pausetest());
        }
    };
    EXPECT_EQ(tick(3, 10e-3), 0);
    EXPECT_THAT(answers, testing::ElementsAre(0, 3, -1));
    // The tick ended where the host paused it, short of its target.
    EXPECT_GT(reached, 0);
    EXPECT_LT(reached, 10e-3);

    // An abort stops a tick as well (and every tick after it).
    HOST::onmessage = [](UINT message) {
        if (message == WM_HOSTTEXT)
            signalabort();
    };
    double before = reached;
    EXPECT_EQ(tick(3, 15e-3), 0);
    EXPECT_LT(reached, 15e-3);
    EXPECT_GT(reached, before);
}

TEST_F(InteractiveTest, RunBehindRealTimeIsReportedOnceAndBreaksWhenAsked)
{
    bool suspending = false;
    HOST::onmessage = [&](UINT message) {
        if (message == WM_HOSTEVENTS && suspending)
            rts_suspend();
    };
    // Level 1: the warning; no break.
    ASSERT_EQ(initialize(rcnetlist("PARTITION=RC\nTSTOP=1\nTRACE_PERFORMANCE=1\n")), 0);
    EXPECT_EQ(tick(0, 0), 0);
    suspending = true;
    const std::string warning = "#W:Simulation is not running in real time due to excessive CPU load.";
    int k = 1;
    for (; k <= 21; ++k)
        EXPECT_EQ(tick(3, k * 1e-4), 0) << k;
    EXPECT_TRUE(lines(warning).empty()) << log();
    // The warning raises the run status.
    EXPECT_EQ(tick(3, k++ * 1e-4), 1);
    EXPECT_THAT(lines(warning), testing::SizeIs(1));
    EXPECT_NE(log().find(warning + "\n%T=0.0022\n%H=WUNO.HLP,03E9\n"), std::string::npos) << log();
    suspending = false;
    EXPECT_EQ(tick(3, k++ * 1e-4), 1);
    suspending = true;
    for (int late = 0; late < 30; ++late)
        EXPECT_EQ(tick(3, k++ * 1e-4), 1);
    EXPECT_THAT(lines(warning), testing::SizeIs(1));
    EXPECT_EQ(rts_terminate(), 1);

    // Level 1 with the break flag: the 22nd late tick ends with a breakpoint.
    suspending = false;
    ASSERT_EQ(initialize(rcnetlist("PARTITION=RC\nTSTOP=1\nTRACE_PERFORMANCE=5\n")), 0);
    EXPECT_EQ(tick(0, 0), 0);
    suspending = true;
    for (k = 1; k <= 21; ++k)
        EXPECT_EQ(tick(3, k * 1e-4), 0) << k;
    EXPECT_EQ(tick(3, k * 1e-4), 4);
    EXPECT_THAT(lines(warning), testing::SizeIs(1));
}

TEST_F(InteractiveTest, RunThatNeverStartedOrNeverLoadedReportsIt)
{
    ASSERT_EQ(initialize(rcnetlist("PARTITION=RC\n")), 0);
    EXPECT_EQ(rts_terminate(), 3);
    EXPECT_THAT(lines("#E:"), testing::ElementsAre("#E:Real Time Simulation failed to start."));

    mark = size();
    EXPECT_EQ(
        rts_initialize((vkt::test::tempFolder() / "absent.net").c_str(), fileno(output), hostwindowhandle),
        3);
    EXPECT_EQ(tick(3, 1e-3), 3);
    EXPECT_EQ(rts_event(1, 0, 0), 3);
    EXPECT_EQ(rts_suspend(), 3);
    EXPECT_EQ(rts_pausetest(), 0);
    EXPECT_EQ(rts_terminate(), 3);
}

// A part that joins the real-time instruments and faults on purpose at its first tick after the
// start.
class FAULTY : public COMPONENT {
public:
    using COMPONENT::COMPONENT;
    int activeevents(double time, DPA*) override
    {
        if (time > 0)
            vkt::test::writenull();
        return 1;
    }
    static COMPONENT* make(
        const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties)
    {
        return new FAULTY(name, row, model, properties);
    }
};

TEST_F(InteractiveTest, FaultInsideATickEndsThatRunWithAReportAndTheNextRunWorks)
{
    // Only this fault's report: the folder is the test program's own.
    std::filesystem::path reports = toposixpath(crashreport.reportsfolder);
    std::filesystem::remove_all(reports);
    std::filesystem::create_directories(reports);
    std::ofstream(reports / "logfile.txt") << "the host's log of the run";
    MODELMAKER instrument = registermodel(0xB002, FAULTY::make);
    ASSERT_EQ(
        initialize(rcnetlist("PARTITION=RC\nTSTOP=20m\n", "F1,RTDPROBE,,PRIMITIVE=DIGITAL\n", "F1,PS,1\n")),
        0)
        << log();
    EXPECT_EQ(tick(0, 0), 0);
    EXPECT_EQ(tick(3, 1e-3), 3);
    registermodel(0xB002, instrument);
    std::string logged = log();
    const std::string program
        = std::filesystem::path(std::filesystem::read_symlink("/proc/self/exe")).filename();
    EXPECT_NE(logged.find("#X:Internal Exception: access violation in module '" + program + "' ["),
        std::string::npos)
        << logged;
    // The host's log moved beside the report's comment, under one name.
    std::string stem;
    for (const auto& entry : std::filesystem::directory_iterator(reports))
        if (entry.path().extension() == ".dmp")
            stem = entry.path().stem();
    ASSERT_FALSE(stem.empty());
    EXPECT_EQ(stem.substr(0, 4), program.substr(0, 4));
    std::ifstream moved(reports / (stem + ".log"));
    std::string text((std::istreambuf_iterator<char>(moved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "the host's log of the run");
    std::ifstream dump(reports / (stem + ".dmp"));
    std::string comment((std::istreambuf_iterator<char>(dump)), std::istreambuf_iterator<char>());
    EXPECT_THAT(comment, testing::MatchesRegex(".*/" + program + "(/[0-9_]+)?/[0-9A-F]{8}/C0000005"));
    // The run is over; its results file is whole.
    EXPECT_EQ(tick(3, 2e-3), 3);
    PARTITION results("RC");
    EXPECT_EQ(results.open(PARTITION::MODE_READHEADER), 1);

    ASSERT_EQ(initialize(rcnetlist("PARTITION=RC\nTSTOP=20m\n")), 0) << log();
    EXPECT_EQ(tick(0, 0), 0);
    EXPECT_EQ(tick(3, 1e-3), 0);
    EXPECT_EQ(rts_terminate(), 0);
}

} // namespace
