#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "simulator/kernel/analyses.h"
#include "simulator/results/partition.h"
#include "testsupport/temp_folder.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A part that joins every plot (and the noise of one net) and records what it is handed.
class Recorder : public COMPONENT {
public:
    Recorder(const char* name, char* watched = nullptr)
        : COMPONENT(name, nullptr, nullptr, nullptr)
        , net(watched)
    {
    }
    int joinplot(IFuid*, int32_t, int32_t) override { return 1; }
    int joinnoise(char* noisenet, int32_t) override { return noisenet == net; }
    void writereal(double reference, const double* values, int32_t count) override
    {
        points.push_back({ reference, count ? values[0] : 0 });
    }
    void writenoise(double frequency, const double*, int32_t, int32_t output, int32_t input) override
    {
        noise.push_back({ frequency, static_cast<double>(output * 10 + input) });
    }
    void watchpopup(const DPA* nodes, const double* values, IFcircuit*, PARTITION*) override
    {
        watched.push_back(std::string(static_cast<const char*>(nodes->items[1])) + "=" + std::to_string(values[1]));
    }
    char* net;
    std::vector<std::pair<double, double>> points;
    std::vector<std::pair<double, double>> noise;
    std::vector<std::string> watched;
};

class AnalysisTest : public CircuitTest {
protected:
    void SetUp() override
    {
        CircuitTest::SetUp();
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }

    // A circuit of these properties with its task.
    CIRCUIT& make(const std::string& properties)
    {
        int lines = 0;
        for (char c : properties)
            lines += c == '\n';
        read("TAVI\n\n:Test\n*PROPERTIES," + std::to_string(lines) + "\n" + properties);
        spicesimulator->newTask(circuit->spice, &task, "TASK");
        spicesimulator->newAnalysis(circuit->spice, 0, "OPTIONS", &options, task);
        return *circuit;
    }

    // The factory's analysis; null when a fatal message ended it.
    ANALYSIS* create()
    {
        ANALYSIS* made = nullptr;
        guarded([&] { made = createanalysis(circuit.get(), task, options); });
        analysis.reset(made);
        return made;
    }

    Recorder* addrecorder(const char* name, char* net = nullptr)
    {
        auto* part = new Recorder(name, net);
        circuit->parts.add(part);
        circuit->analogparts.add(part);
        return part;
    }

    // Results set-up, options and one run as the batch run does them.
    int runonce(double sweep = 0)
    {
        analysis->setupresults(&moddata, &partitions);
        analysis->setup("");
        circuit->setsweepvalue("", sweep);
        analysis->setoptions(sweep);
        return analysis->run(1);
    }

    void TearDown() override
    {
        analysis.reset();
        for (PARTITION* partition : partitions)
            partition->close(0);
        partitions.zap();
        CircuitTest::TearDown();
    }

    IFtask* task = nullptr;
    IFjob* options = nullptr;
    std::unique_ptr<ANALYSIS> analysis;
    GDIDX<PARTITION> moddata;
    GDIDX<PARTITION> partitions;
};

TEST_F(AnalysisTest, FactoryChoosesTheClassBySimtypeUnlessAnalysisIsGiven)
{
    struct Case {
        const char* properties;
        const char* name;  // null: fatal
        const char* kind;
    } cases[] = {
        { "SIMTYPE=transient\n", "TRAN", "TRANSIENT" },
        { "SIMTYPE=DCSWEEP\n", "OP", "DCSWEEP" },
        { "SIMTYPE=OP\n", "OP", "DCOP" },
        { "SIMTYPE=Noise\n", "NOISE", "NOISE" },
        { "SIMTYPE=FREQUENCY\n", "AC", "ANALYSIS" },
        { "SIMTYPE=TRANSIENT\nANALYSIS=AC\n", "AC", "ANALYSIS" },
        { "ANALYSIS=tran\n", nullptr, "#F:Invalid analysis type tran!" },
        { "SIMTYPE=SOMETHING\n", nullptr, "#F:No ANALYSIS type specified." },
    };
    for (const Case& c : cases) {
        make(std::string(c.properties) + "PARTITION=P\n");
        mark = size();
        ANALYSIS* made = create();
        if (!c.name) {
            EXPECT_EQ(made, nullptr) << c.properties;
            EXPECT_NE(log().find(c.kind), std::string::npos) << log();
            continue;
        }
        ASSERT_NE(made, nullptr) << c.properties << log();
        EXPECT_STREQ(made->name, c.name);
        std::string kind = dynamic_cast<DCSWEEP*>(made) ? "DCSWEEP"
            : dynamic_cast<DCOP*>(made)                 ? "DCOP"
            : dynamic_cast<NOISE*>(made)                ? "NOISE"
            : dynamic_cast<TRANSIENT*>(made)            ? "TRANSIENT"
                                                        : "ANALYSIS";
        EXPECT_EQ(kind, c.kind) << c.properties;
    }
}

TEST_F(AnalysisTest, DesignPartitionMustStayInsideTheResultsFolder)
{
    const struct {
        const char* name;
        const char* file; // below the results folder; null: refused, the run ends
    } cases[] = {
        { "RUNS\\AMP", "RUNS/AMP.PDF" },
        { "AMP.NET", "AMP.NET.PDF" },
        { "..\\..\\AMP", nullptr },
        { "RUNS/../../AMP", nullptr },
        { "/tmp/AMP", nullptr },
        { "C:\\AMP", nullptr },
    };
    for (const auto& c : cases) {
        make(std::string("SIMTYPE=TRANSIENT\nPARTITION=") + c.name + "\n");
        ASSERT_NE(create(), nullptr);
        mark = size();
        bool ran = guarded([&] { analysis->setupresults(&moddata, &partitions); });
        if (!c.file) {
            EXPECT_FALSE(ran) << c.name;
            EXPECT_EQ(log(),
                std::string("#W:The results partition '") + c.name
                    + "' of the design is refused: it must name a file inside the results folder.\n"
                      "#F:No results partition specified.\n");
            EXPECT_EQ(partitions.count, 0);
            continue;
        }
        ASSERT_TRUE(ran) << c.name << log();
        analysis.reset();
        partitions.ptr(0)->close(0);
        partitions.zap();
        EXPECT_TRUE(std::filesystem::exists(vkt::test::tempFolder() / c.file)) << c.name;
    }
}

TEST_F(AnalysisTest, ResultsFileThatCannotBeWrittenIsAnErrorOfTheLog)
{
    // A results folder that is a file: nothing can be made below it.
    const std::filesystem::path plain = vkt::test::tempFolder() / "plain";
    std::ofstream(plain) << "x";
    setenv("RESULTS", plain.c_str(), 1);
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n");
    ASSERT_NE(create(), nullptr);
    mark = size();
    EXPECT_FALSE(guarded([&] { analysis->setupresults(&moddata, &partitions); }));
    EXPECT_EQ(log(),
        "#E:Cannot write the results file '" + plain.string()
            + "\\RUN.PDF': Not a directory.\n#F:No results partition specified.\n");
    EXPECT_EQ(partitions.count, 0);
}

TEST_F(AnalysisTest, AnalysisTheEngineHasNotBuiltIsReportedAsSuch)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=P\n");
    fakes::script("newAnalysis", { E_NOTBUILT });
    mark = size();
    EXPECT_EQ(create(), nullptr);
    EXPECT_NE(log().find("#F:The TRAN analysis is not supported by the engine yet.\n"), std::string::npos) << log();
}

TEST_F(AnalysisTest, ParameterTextsConvertByTheirKind)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=P\nK=3\n");
    circuit->setsweepvalue("", 0);
    read("TAVI\n\n:Test\n*PROPERTIES,1\nK=3\n*PARTLIST,1\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n*NETLIST,2\nOUT,1\nR1,PS,1\n\n"
         "LOST,1\nR1,PS,2\n");
    circuit->setsweepvalue("", 0);
    IFnode* node = nullptr;
    spicesimulator->newNode(circuit->spice, &node, "OUT");
    struct Case {
        int32_t type;
        const char* text;
        bool converted;
        const char* warning;
    } cases[] = {
        { IF_FLAG, "on", true, nullptr },
        { IF_FLAG, "perhaps", false, "#W:Boolean value expected for property p of OPTIONS" },
        { IF_INTEGER, "-12", true, nullptr },
        { IF_INTEGER, "x", false, "#W:Integer value expected for property p of OPTIONS" },
        { IF_REAL, "2*K", true, nullptr },
        { IF_REAL, "?", false, nullptr },
        { IF_REAL, "[NULL]", false, nullptr },
        { IF_REAL, "(", false, "#W:Error Numeric literal expected parsing property p of OPTIONS" },
        { IF_NODE, "OUT", true, nullptr },
        { IF_NODE, "NOWHERE", false, "#W:Net name NOWHERE not found for property p of OPTIONS" },
        { IF_NODE, "LOST", false, "#W:Net name LOST not found by SPICE for property p of OPTIONS" },
        { IF_NODE, "", false, "#W:Net name expected for property p of OPTIONS" },
        { IF_STRING, "\"gear, 2\"", true, nullptr },
        { IF_INSTANCE, "R1", true, nullptr },
        { IF_INSTANCE, "R9", false, "#W:Component name R9 not found for property p of OPTIONS" },
        { IF_REAL | IF_VECTOR, "1", false, "#F:Value type 32772 not supported in property p of OPTIONS!" },
    };
    for (const Case& c : cases) {
        IFparm parameter { "p", 1, c.type | IF_SET, "" };
        IFvalue value {};
        bool converted = false;
        mark = size();
        guarded([&] { converted = parsespicevalue(circuit.get(), "OPTIONS", &parameter, c.text, &value); });
        EXPECT_EQ(converted, c.converted) << c.text;
        std::string logged = log();
        if (c.warning) {
            EXPECT_NE(logged.find(c.warning), std::string::npos) << c.text << "\n" << logged;
        } else {
            EXPECT_EQ(logged, "") << c.text;
        }
        if (converted && c.type == IF_REAL) {
            EXPECT_DOUBLE_EQ(value.rValue, 6);
        }
        if (converted && c.type == IF_NODE) {
            EXPECT_EQ(value.nValue, node);
        }
        if (converted && c.type == IF_STRING) {
            EXPECT_STREQ(value.sValue, "gear, 2");
            free(value.sValue);
        }
    }
    IFparm readonly { "p", 1, IF_REAL | IF_ASK, "" };
    IFvalue value {};
    EXPECT_FALSE(parsespicevalue(circuit.get(), "OPTIONS", &readonly, "1", &value));
}

TEST_F(AnalysisTest, OptionsAndParametersComeFromProperties)
{
    make("SIMTYPE=FREQUENCY\nPARTITION=P\nRELTOL=1m\nFSTART=10\nNUMSTEPS=oops\nTRACE_OPTIONS=2\n");
    ASSERT_NE(create(), nullptr);
    fakes::script("setAnalysisParm", { 1 });
    mark = size();
    analysis->setoptions(0);
    EXPECT_THAT(fakes::callsof("setAnalysisParm"),
        testing::ElementsAre("setAnalysisParm(OPTIONS, reltol=0.001)", "setAnalysisParm(AC, fstart=10)"));
    std::string logged = log();
    EXPECT_NE(logged.find("#W:Failed to set OPTION reltol to 1m.\n"), std::string::npos) << logged;
    EXPECT_NE(logged.find("fstart = 10\n"), std::string::npos) << logged;
    EXPECT_NE(logged.find("#W:Integer value expected for property numsteps of ANALYSIS\n"), std::string::npos)
        << logged;
}

TEST_F(AnalysisTest, TransientLimitsItsStepsAndRecordsFromItsStart)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=P\nTSTOP=1\n");
    ASSERT_NE(create(), nullptr);
    analysis->setoptions(0);
    EXPECT_THAT(fakes::callsof("setAnalysisParm(TRAN, tmax"), testing::ElementsAre("setAnalysisParm(TRAN, tmax=0.02)"));
    EXPECT_THAT(fakes::callsof("setAnalysisParm(OPTIONS, minbreak"),
        testing::ElementsAre("setAnalysisParm(OPTIONS, minbreak=1e-06)"));

    read("TAVI\n\n:Test\n*PROPERTIES,4\nSIMTYPE=TRANSIENT\nPARTITION=P\nTSTART=2m\nTSTOP=4m\n*NETLIST,1\nN,0,TTOL=10p\n\n");
    spicesimulator->newTask(circuit->spice, &task, "TASK");
    spicesimulator->newAnalysis(circuit->spice, 0, "OPTIONS", &options, task);
    ASSERT_NE(create(), nullptr);
    Recorder* probe = addrecorder("P1");
    fakes::ScriptedPlot plot;
    plot.names = { "n" };
    for (double t : { 0.0, 1e-3, 2e-3, 3e-3 })
        plot.points.push_back({ t, { t * 10 } });
    fakes::spice().runs.push_back({ plot });
    EXPECT_EQ(runonce(), 0);
    EXPECT_EQ(fakes::callsof("setAnalysisParm(OPTIONS, minbreak").back(), "setAnalysisParm(OPTIONS, minbreak=1e-11)");
    EXPECT_THAT(fakes::callsof("CKTsetBreak"), testing::ElementsAre("CKTsetBreak(0.002)"));
    ASSERT_EQ(probe->points.size(), 2u);
    EXPECT_EQ(probe->points[0].first, 2e-3);
    double time = 0;
    EXPECT_EQ(analysis->gettime(&time), 1);
    EXPECT_EQ(time, 3e-3);
    EXPECT_TRUE(analysis->ended());
}

TEST_F(AnalysisTest, TransientOfTooManyStepsIsCappedOrRefusedBeforeItStarts)
{
    const struct {
        const char* properties;
        const char* tmax; // as set in the engine; null: refused
        const char* message; // the one message logged; null: none
    } cases[] = {
        { "NUMSTEPS=100000\n", "1e-05", nullptr },
        { "NUMSTEPS=1e9\n", "1e-05",
            "#W:NUMSTEPS 1e+09 is more than 100000: the transient takes 100000 steps.\n" },
        { "NUMSTEPS=0\n", "0.02", "#W:NUMSTEPS 0 is not a number of steps: the transient takes 50 steps.\n" },
        { "NUMSTEPS=-3\n", "0.02",
            "#W:NUMSTEPS -3 is not a number of steps: the transient takes 50 steps.\n" },
        { "TMAX=1e-8\n", "1e-08", nullptr },
        { "TMAX=1e-300\n", nullptr,
            "#F:The transient would take 1e+300 time steps (TSTOP 1 s, largest step 1e-300 s); "
            "at most 1e+08 are allowed.\n" },
        { "TSTOP=1e300\nTMAX=1\n", nullptr,
            "#F:The transient would take 1e+300 time steps (TSTOP 1e+300 s, largest step 1 s); "
            "at most 1e+08 are allowed.\n" },
    };
    for (const auto& c : cases) {
        fakes::reset();
        signon();
        make(std::string("SIMTYPE=TRANSIENT\nPARTITION=P\nTSTOP=1\n") + c.properties);
        ASSERT_NE(create(), nullptr) << c.properties;
        circuit->setsweepvalue("", 0);
        mark = size();
        bool set = guarded([&] { analysis->setoptions(0); });
        EXPECT_EQ(set, c.tmax != nullptr) << c.properties;
        EXPECT_EQ(log(), c.message ? c.message : "") << c.properties;
        if (c.tmax) {
            EXPECT_EQ(fakes::callsof("setAnalysisParm(TRAN, tmax").back(),
                std::string("setAnalysisParm(TRAN, tmax=") + c.tmax + ")")
                << c.properties;
        }
    }
}

TEST_F(AnalysisTest, ProgressBarGrowsOnlyAfterItsPause)
{
    static int64_t now;
    now = 1000;
    analysisclock = [] { return now; };
    make("SIMTYPE=TRANSIENT\nPARTITION=P\nTSTOP=1\n");
    signon(0, reinterpret_cast<HWND>(0x50));
    ASSERT_NE(create(), nullptr);
    analysis->setup("");
    analysis->setoptions(0);
    IFvalue reference {};
    IFvalue data {};
    for (auto [time, clock] : { std::pair { 0.2, 1050 }, { 0.4, 1101 }, { 0.41, 1300 }, { 0.41, 1500 }, { 2.0, 1700 } }) {
        now = clock;
        reference.rValue = time;
        analysis->writedata(&reference, &data);
    }
    analysisclock = [] { return int64_t(0); };
    std::vector<std::string> bars;
    for (const RECORDEDHOSTMESSAGE& message : recordedhostmessages())
        if (message.text.rfind("HELIXSIM : ", 0) == 0)
            bars.push_back(message.text.substr(11));
    EXPECT_THAT(bars,
        testing::ElementsAre("_______________________ 0% _______________________",
            "++++++++++++++++++++___ 40% ______________________",
            "++++++++++++++++++++___ 41% ______________________",
            "+++++++++++++++++++++++ 100% +++++++++++++++++++++"));
}

TEST_F(AnalysisTest, DcSweepKeepsOneRunAcrossItsSteps)
{
    make("SIMTYPE=DCSWEEP\nPARTITION=P\n");
    ASSERT_NE(create(), nullptr);
    Recorder* probe = addrecorder("P1");
    analysis->setupresults(&moddata, &partitions);
    analysis->setup("V");
    for (int step = 0; step <= 10; ++step) {
        fakes::ScriptedPlot plot;
        plot.names = { "n" };
        plot.points.push_back({ 0.0, { step * 1.0 } });
        fakes::spice().runs.push_back({ plot });
        analysis->setoptions(step * 0.5);
        EXPECT_EQ(analysis->run(1), 0);
    }
    EXPECT_TRUE(analysis->ended());
    analysis->finish();
    ASSERT_EQ(probe->points.size(), 11u);
    EXPECT_EQ(probe->points[10], std::make_pair(5.0, 10.0));
    PARTITION* partition = partitions["P"];
    EXPECT_EQ(partition->runcount, 1);
    analysis->endplot();
    EXPECT_EQ(partition->runcount, 1);
}

TEST_F(AnalysisTest, NoiseRunsOncePerWatchedNetAndReports)
{
    make("SIMTYPE=NOISE\nPARTITION=P\nLOGSPECTRAL=true\nLOGTOTAL=TRUE\n");
    char* out = circuit->getnet("OUT");
    circuit->getnet("OTHER");
    IFnode* node = nullptr;
    spicesimulator->newNode(circuit->spice, &node, out);
    ASSERT_NE(create(), nullptr);
    mark = size();
    EXPECT_EQ(runonce(), 0);
    EXPECT_EQ(fakes::callsof("doAnalyses").size(), 0u);

    Recorder* probe = addrecorder("P1", out);
    probe->setproperty("VALUE", "Vout");
    fakes::ScriptedPlot spectrum;
    spectrum.reference = "frequency";
    spectrum.names = { "onoise_r1", "onoise_spectrum", "inoise_spectrum" };
    spectrum.points.push_back({ 1e3, { 4e-18, 9e-18, 16e-18 } });
    fakes::ScriptedPlot totals;
    totals.names = { "onoise_total_r1", "onoise_total", "inoise_total" };
    totals.points.push_back({ 0.0, { 1e-12, 4e-12, 9e-12 } });
    fakes::spice().runs.push_back({ spectrum, totals });
    mark = size();
    EXPECT_EQ(runonce(), 0);
    EXPECT_THAT(fakes::callsof("setAnalysisParm(NOISE, output="), testing::ElementsAre("setAnalysisParm(NOISE, output=OUT)"));
    EXPECT_THAT(fakes::callsof("setAnalysisParm(NOISE, ptspersum"),
        testing::ElementsAre("setAnalysisParm(NOISE, ptspersum=1)"));
    EXPECT_EQ(probe->noise, (std::vector<std::pair<double, double>> { { 1e3, 12.0 } }));
    std::string logged = log();
    for (const char* line : { "#I:NOISE analysis for probe Vout\n", "#I:Noise Contributions at 1.00kHz\n",
             "                  r1 : 2.00n V/sqrt(Hz)\nPlotted Output Noise : 3.00n V/sqrt(Hz)\n"
             "Plotted Input Noise : 4.00n V/sqrt(Hz)\n",
             "#I:Total Noise Contributions\n", "                  r1 : 1.00u Volts\n  Total Output Noise : 2.00u Volts\n"
             "   Total Input Noise : 3.00u Volts\n" })
        EXPECT_NE(logged.find(line), std::string::npos) << line << "\n" << logged;
    EXPECT_EQ(partitions["P"]->runcount, 1);
}

TEST_F(AnalysisTest, OperatingPointHandsEveryPartTheSolution)
{
    make("SIMTYPE=OP\nPARTITION=P\n");
    ASSERT_NE(create(), nullptr);
    Recorder* probe = addrecorder("P1");
    fakes::ScriptedPlot plot;
    plot.names = { "n1" };
    plot.points.push_back({ 0.0, { 2.5 } });
    fakes::spice().runs.push_back({ plot });
    EXPECT_EQ(runonce(), 0);
    EXPECT_THAT(probe->watched, testing::ElementsAre("n1=2.500000"));
    EXPECT_EQ(partitions["P"]->runcount, 2);
}

}  // namespace
