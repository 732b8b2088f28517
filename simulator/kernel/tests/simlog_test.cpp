#include "simulator/kernel/tests/kerneltesting.h"

#include "core/windows/crashreport.h"
#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "simulator/kernel/instance.h"

namespace {

class SimlogTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        signon();
        circuit = std::make_unique<TestCircuit>();
        analysis = std::make_unique<TimedAnalysis>(&circuit->circuit, circuit->task);
    }
    void TearDown() override
    {
        analysis.reset();
        circuit.reset();
        KernelTest::TearDown();
    }
    // Registers the kernel's channels from NAME=VALUE properties.
    void registerchannels(const char* properties)
    {
        PROPLIST list(properties);
        simlog()->registerchannels(nullptr, traceflags, 0, &list, nullptr);
    }
    std::unique_ptr<TestCircuit> circuit;
    std::unique_ptr<TimedAnalysis> analysis;
};

TEST_F(SimlogTest, LogWindowDropsAllButErrorsAndStopsLoggingOnce)
{
    simlog()->setlogwindow(1e-3, 2e-3);
    analysis->time = 0.5e-3;
    EXPECT_EQ(simwarning("early warning"), 0);
    EXPECT_EQ(simstatus, 1);
    EXPECT_EQ(simerror("early error"), 1);
    analysis->time = 1.5e-3;
    siminfo("inside");
    analysis->time = 2.5e-3;
    EXPECT_EQ(siminfo("late"), 0);
    EXPECT_EQ(siminfo("later"), 0);
    EXPECT_EQ(log(),
        "#E:early error\n%T=0.0005\n"
        "#I:inside\n%T=0.0015\n"
        "#I:Logging stopped - check times specified in Configure Diagnostics dialogue form.\n%T=0.002\n"
        "%H=WUNO.HLP,03E8\n");
    EXPECT_EQ(simstatus, 3);
    EXPECT_EQ(simlog()->errorcount, 1);
}

TEST_F(SimlogTest, LineFormsByClassAndTime)
{
    siminfo("no time yet");
    simlog()->logtext(0, "raw text");
    analysis->time = 1.5e-6;
    simwarning("at %s", "time");
    simlog()->logtext('D', "no time line");
    simlog()->source("R1", 0);
    simlog()->source("U1", 0x2A);
    simlog()->help(1001, nullptr);
    simlog()->help(5, "OTHER.HLP");
    simlog()->setlogwindow(0, 1e-6);
    siminfo("outside");
    simlog()->source("R2", 0);
    simlog()->help(7, nullptr);
    EXPECT_EQ(log(),
        "#I:no time yet\nraw text\n#W:at time\n%T=1.5e-06\n#D:no time line\n"
        "%S=R1\n%S=U1\n%E=002A\n%H=WUNO.HLP,03E9\n%H=OTHER.HLP,0005\n"
        "#I:Logging stopped - check times specified in Configure Diagnostics dialogue form.\n%T=1e-06\n"
        "%H=WUNO.HLP,03E8\n");
}

TEST_F(SimlogTest, ClassesRaiseTheRunStatus)
{
    struct Case {
        int start;
        int cls;
        int status;
    } cases[] = { { 0, 'I', 0 }, { 0, 'T', 0 }, { 0, 'D', 0 }, { 0, 0, 0 }, { 0, 'W', 1 }, { 1, 'W', 1 }, { 2, 'W', 2 },
        { 0, 'E', 3 }, { 1, 'E', 3 }, { 2, 'E', 2 }, { 0, 'X', 3 }, { 2, 'X', 3 } };
    for (const Case& c : cases) {
        simstatus = c.start;
        simlog()->logtext(c.cls, "message");
        EXPECT_EQ(simstatus, c.status) << c.start << " " << c.cls;
    }
}

TEST_F(SimlogTest, FatalMessageIsLoggedAndEndsTheRun)
{
    const char* thrown = nullptr;
    try {
        simfatal("Cannot open '%s'.", "x.net");
    } catch (const char* text) {
        thrown = text;
    }
    EXPECT_EQ(thrown, crashreport.text);
    EXPECT_EQ(crashreport.code, 1u);
    EXPECT_EQ(simstatus, 3);
    EXPECT_EQ(log(), "#F:Cannot open 'x.net'.\n");
}

TEST_F(SimlogTest, ChannelValuesGiveLevelBreakFlagAndHostLink)
{
    registerchannels("TRACE_DEFAULT=1,TRACE_NETTYPES=2,TRACE_ITFMODS=6,DEBUG_LOAD=\"0,3\",TRACE_OPTIONS=x");
    struct Case {
        TRACEFLAG* channel;
        int level;
        int breakflag;
    } cases[] = { { &TRACE_NETTYPES, 2, 0 }, { &TRACE_ITFMODS, 2, 4 }, { &DEBUG_LOAD, 0, 0 }, { &TRACE_OPTIONS, 1, 0 },
        { &TRACE_SPICELINK, 1, 0 } };
    for (const Case& c : cases) {
        EXPECT_EQ(c.channel->level, c.level) << c.channel->info->key;
        EXPECT_EQ(c.channel->breakflag, c.breakflag) << c.channel->info->key;
        EXPECT_EQ(c.channel->owner, simlog());
    }
    EXPECT_STREQ(DEBUG_LOAD.info->label, "LOAD");
    int32_t flags[4] = { 0, 0, 0, 6 };
    simlog()->setlevels(flags);
    EXPECT_EQ(DEBUG_LOAD.level, 2);
    EXPECT_EQ(DEBUG_LOAD.breakflag, 4);
    EXPECT_EQ(TRACE_NETTYPES.level, 2);
}

TEST_F(SimlogTest, ChannelMessagesNeedTheirLevelAndCarryTheLabel)
{
    registerchannels("DEBUG_BUILD=1,TRACE_OPTIONS=3");
    EXPECT_EQ(DEBUG_BUILD.trace("hidden"), 0);
    EXPECT_EQ(DEBUG_BUILD.warning("Net {N:%s} is floating", "A"), 1);
    EXPECT_EQ(TRACE_OPTIONS.tracedetail("detail"), 1);
    EXPECT_EQ(TRACE_CONVERGENCE.warning("unregistered"), 0);
    EXPECT_EQ(log(), "#W:[BUILD]Net {N:A} is floating\n#T:detail\n");
}

TEST_F(SimlogTest, BreakFlagStopsOnlyAnInteractiveRun)
{
    registerchannels("TRACE_NETTYPES=5");
    TRACE_NETTYPES.warning("batch");
    EXPECT_TRUE(recordedhostmessages().empty());

    HWND host = reinterpret_cast<HWND>(0x10);
    signon(1, host);
    registerchannels("TRACE_NETTYPES=5");
    recordedhostmessages().clear();
    TRACE_NETTYPES.warning("first");
    analysis->time = 2e-3;
    TRACE_NETTYPES.warning("second");
    ASSERT_EQ(recordedhostmessages().size(), 2u);
    EXPECT_EQ(recordedhostmessages()[0].message, WM_HOSTTEXT);
    EXPECT_EQ(recordedhostmessages()[0].text, "Diagnostic breakpoint at startup [TRACE_NETTYPES]");
    EXPECT_EQ(recordedhostmessages()[1].text, "Diagnostic breakpoint at time 0.002 [TRACE_NETTYPES]");
    EXPECT_TRUE(fakes::spice().circuit.breakasked);
}

// A part with a model, as the log's tests need it.
class LoggingInstance : public INSTANCE {
public:
    using INSTANCE::INSTANCE;
    const char* getvalue() override { return nullptr; }
    const char* getstrval(const char*, const char* def) override { return def; }
    double getnumval(const char*, double def) override { return def; }
    int getboolval(const char*, int def) override { return def; }
    uint32_t gethexval(const char*, uint32_t def) override { return def; }
    int64_t getdelay(const char*, int64_t def) override { return def; }
    uint32_t getactiveid() override { return 0; }
    IINSTANCE* getlink() override { return nullptr; }
    int getmoddata(const void**, int32_t*) override { return 0; }
    int32_t getspicenode(const char*, int) override { return -1; }
    IPALLEXPIN2* getpallexpin(const char*, int) override { return nullptr; }
    int log(const char*, ...) override { return 0; }
    void* createpopup(void*) override { return nullptr; }
    void sendelementmessage(intptr_t) override { }
    intptr_t sendhostmessage(uint32_t) override { return 0; }
    int loadmemory(const char*, uint8_t*, int32_t, uint32_t, int32_t) override { return 0; }
    IBUSPIN* getbuspin(const char*, IPALLEXPIN2**, int32_t) override { return nullptr; }
    IBUSPIN* getbuspinbyname(const char*, int32_t, int32_t, int) override { return nullptr; }
};

TEST_F(SimlogTest, InstanceMessagesNameTheirPart)
{
    PROPLIST properties("EID=2A,TRACE_MODEL=2");
    LoggingInstance part("U1", nullptr, nullptr, &properties);
    part.initialise(&circuit->circuit, nullptr);
    LoggingInstance plain("R1", nullptr, nullptr, nullptr);
    analysis->time = 1.5e-6;
    part.warning("Pin %s not connected", "A");
    plain.error("bad");

    const TRACEFLAGINFO table[] = { { 0, "TRACE_MODEL", "MODEL" } };
    TRACEFLAG records[1] {};
    part.registertrace(table, records, 1, nullptr);
    EXPECT_EQ(records[0].owner, static_cast<ITRACEOWNER*>(&part));
    records[0].trace("step %d", 3);

    const char* thrown = nullptr;
    try {
        part.fatal("gone");
    } catch (const char* text) {
        thrown = text;
    }
    EXPECT_NE(thrown, nullptr);
    EXPECT_EQ(log(),
        "#W:Pin A not connected\n%T=1.5e-06\n%S=U1\n%E=002A\n"
        "#E:bad\n%T=1.5e-06\n%S=R1\n"
        "#T:[MODEL]step 3\n%T=1.5e-06\n%S=U1\n%E=002A\n"
        "#F:gone\n%T=1.5e-06\n%S=U1\n%E=002A\n");
}

}  // namespace
