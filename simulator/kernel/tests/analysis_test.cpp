#include "simulator/kernel/tests/analysistesting.h"

#include "simulator/kernel/analyses.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

TEST_F(AnalysisTest, FactoryChoosesTheClassBySimtypeUnlessAnalysisIsGiven)
{
    struct Case {
        const char* properties;
        const char* name;  // null: fatal
        const char* kind; // the class, or the fatal line
    } cases[] = {
        { "SIMTYPE=transient\n", "TRAN", "TRANSIENT" },
        { "SIMTYPE=DCSWEEP\n", "OP", "DCSWEEP" },
        { "SIMTYPE=OP\n", "OP", "DCOP" },
        { "SIMTYPE=TRANSIENT\nANALYSIS=OP\n", "OP", "ANALYSIS" },
        { "ANALYSIS=tran\n", nullptr, "#F:Invalid analysis type tran!\n" },
        { "ANALYSIS=TRANSIENTANALYSISOFTHISCIRCUIT\n", nullptr,
            "#F:Invalid analysis type TRANSIENTANALYSISOFTHISCIRCUIT!\n" },
        { "SIMTYPE=SOMETHING\n", nullptr, "#F:No ANALYSIS type specified.\n" },
        { "SIMTYPE=FREQUENCY\n", "AC", "ANALYSIS" },
        { "SIMTYPE=distortion\n", "DISTO", "ANALYSIS" },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(load(std::string(c.properties) + "PARTITION=P\n")) << log();
        ANALYSIS* made = create();
        if (!c.name) {
            EXPECT_EQ(made, nullptr) << c.properties;
            EXPECT_EQ(log(), c.kind);
            continue;
        }
        ASSERT_NE(made, nullptr) << c.properties << log();
        EXPECT_STREQ(made->name, c.name);
        std::string kind = dynamic_cast<DCSWEEP*>(made) ? "DCSWEEP"
            : dynamic_cast<DCOP*>(made)                 ? "DCOP"
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
        ASSERT_TRUE(load(std::string("SIMTYPE=TRANSIENT\nPARTITION=") + c.name + "\n"));
        ASSERT_NE(create(), nullptr);
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
        release();
        EXPECT_TRUE(std::filesystem::exists(vkt::test::tempFolder() / c.file)) << c.name;
    }
}

TEST_F(AnalysisTest, ResultsFileThatCannotBeWrittenIsAnErrorOfTheLog)
{
    // A results folder that is a file: nothing can be made below it.
    const std::filesystem::path plain = vkt::test::tempFolder() / "plain";
    std::ofstream(plain) << "x";
    setenv("RESULTS", plain.c_str(), 1);
    ASSERT_TRUE(load("SIMTYPE=TRANSIENT\nPARTITION=RUN\n"));
    ASSERT_NE(create(), nullptr);
    EXPECT_FALSE(guarded([&] { analysis->setupresults(&moddata, &partitions); }));
    EXPECT_EQ(log(),
        "#E:Cannot write the results file '" + plain.string()
            + "\\RUN.PDF': Not a directory.\n#F:No results partition specified.\n");
    EXPECT_EQ(partitions.count, 0);
}

TEST_F(AnalysisTest, ParameterTextsConvertByTheirKind)
{
    ASSERT_TRUE(load("SIMTYPE=TRANSIENT\nPARTITION=P\nK=3\n"));
    IFnode* out = nullptr;
    ASSERT_EQ(spicesimulator->findNode(circuit->spice, &out, "OUT"), 0);
    // A net of the netlist that no analog part uses: the engine has no node of it.
    circuit->getnet("LOST");
    struct Case {
        int32_t type;
        const char* text;
        bool converted;
        const char* warning;
    } cases[] = {
        { IF_FLAG, "on", true, nullptr },
        { IF_FLAG, "perhaps", false, "#W:Boolean value expected for property p of OPTIONS\n" },
        { IF_INTEGER, "-12", true, nullptr },
        { IF_INTEGER, "x", false, "#W:Integer value expected for property p of OPTIONS\n" },
        { IF_REAL, "2*K", true, nullptr },
        { IF_REAL, "?", false, nullptr },
        { IF_REAL, "[NULL]", false, nullptr },
        { IF_REAL, "(", false, "#W:Error Numeric literal expected parsing property p of OPTIONS\n" },
        { IF_NODE, "OUT", true, nullptr },
        { IF_NODE, "NOWHERE", false, "#W:Net name NOWHERE not found for property p of OPTIONS\n" },
        { IF_NODE, "LOST", false, "#W:Net name LOST not found by SPICE for property p of OPTIONS\n" },
        { IF_NODE, "", false, "#W:Net name expected for property p of OPTIONS\n" },
        { IF_STRING, "\"gear, 2\"", true, nullptr },
        { IF_INSTANCE, "R1", true, nullptr },
        { IF_INSTANCE, "R9", false, "#W:Component name R9 not found for property p of OPTIONS\n" },
        { IF_REAL | IF_VECTOR, "1", false, "#F:Value type 32772 not supported in property p of OPTIONS!\n" },
    };
    for (const Case& c : cases) {
        IFparm parameter { "p", 1, c.type | IF_SET, "" };
        IFvalue value {};
        bool converted = false;
        mark = size();
        guarded([&] { converted = parsespicevalue(circuit, "OPTIONS", &parameter, c.text, &value); });
        EXPECT_EQ(converted, c.converted) << c.text;
        EXPECT_EQ(log(), c.warning ? c.warning : "") << c.text;
        if (converted && c.type == IF_REAL) {
            EXPECT_DOUBLE_EQ(value.rValue, 6);
        }
        if (converted && c.type == IF_NODE) {
            EXPECT_EQ(value.nValue, out);
        }
        if (converted && c.type == IF_STRING) {
            EXPECT_STREQ(value.sValue, "gear, 2");
            free(value.sValue);
        }
    }
    IFparm readonly { "p", 1, IF_REAL | IF_ASK, "" };
    IFvalue value {};
    EXPECT_FALSE(parsespicevalue(circuit, "OPTIONS", &readonly, "1", &value));
}

TEST_F(AnalysisTest, OptionsAndParametersComeFromPropertiesAndRefusalsAreReported)
{
    // The plain class: only the properties set the job, as the engine names its parameters.
    ASSERT_TRUE(load("ANALYSIS=TRAN\nPARTITION=P\nGMIN=2p\nCHGTOL=-1\nTSTOP=2m\nTMAX=-1\nUIC=maybe\n"
                     "TRACE_OPTIONS=2\n"));
    ASSERT_NE(create(), nullptr);
    mark = size();
    analysis->setoptions(0);
    EXPECT_DOUBLE_EQ(parameter("tstop"), 2e-3);
    std::string logged = log();
    EXPECT_EQ(analysis->run(1), 0) << log();
    EXPECT_DOUBLE_EQ(circuitquery(QUERY_GMIN), 2e-12);
    for (const char* line : { "gmin = 2p\n", "#W:Failed to set OPTION chgtol to -1.\n", "tstop = 2m\n",
             "#W:Failed to set analysis parameter tmax\n",
             "#W:Boolean value expected for property uic of ANALYSIS\n" })
        EXPECT_NE(logged.find(line), std::string::npos) << line << "\n" << logged;
}

TEST_F(AnalysisTest, TransientLimitsItsStepsAndRecordsFromItsStart)
{
    ASSERT_TRUE(load("SIMTYPE=TRANSIENT\nPARTITION=P\nTSTOP=1\n"));
    ASSERT_NE(create(), nullptr);
    EXPECT_EQ(runonce(), 0) << log();
    EXPECT_DOUBLE_EQ(parameter("tmax"), 0.02);
    EXPECT_DOUBLE_EQ(parameter("tstart"), 0);
    EXPECT_DOUBLE_EQ(circuitquery(QUERY_MINSTEP), 1e-6);

    std::string divider = DIVIDER;
    divider.replace(divider.find("OUT,2\n"), 6, "OUT,2,TTOL=10p\n");
    ASSERT_TRUE(load("SIMTYPE=TRANSIENT\nPARTITION=P\nVIN=1\nTSTART=2m\nTSTOP=4m\n", divider));
    ASSERT_NE(create(), nullptr);
    RECORDER* probe = addrecorder("P1");
    EXPECT_EQ(runonce(), 0) << log();
    EXPECT_DOUBLE_EQ(circuitquery(QUERY_MINSTEP), 1e-11);
    ASSERT_GE(probe->points.size(), 2u);
    // The engine lands just past TSTART (its break point) and records nothing before it.
    EXPECT_GE(probe->points.front().first, 2e-3);
    EXPECT_LE(probe->points.front().first, std::nextafter(2e-3, std::numeric_limits<double>::infinity()));
    EXPECT_EQ(probe->points.back().first, 4e-3);
    EXPECT_NEAR(probe->points.back().second, 0.75, 1e-9);
    double time = 0;
    EXPECT_EQ(analysis->gettime(&time), 1);
    EXPECT_EQ(time, 4e-3);
    EXPECT_TRUE(analysis->ended());
    EXPECT_EQ(partitions["P"]->runcount, 1);
}

TEST_F(AnalysisTest, TransientOfTooManyStepsIsCappedOrRefusedBeforeItStarts)
{
    const struct {
        const char* properties;
        double tmax; // as set in the engine; 0: refused
        const char* message; // the one message logged; null: none
    } cases[] = {
        { "NUMSTEPS=100000\n", 1e-5, nullptr },
        { "NUMSTEPS=1e9\n", 1e-5,
            "#W:NUMSTEPS 1e+09 is more than 100000: the transient takes 100000 steps.\n" },
        { "NUMSTEPS=0\n", 0.02, "#W:NUMSTEPS 0 is not a number of steps: the transient takes 50 steps.\n" },
        { "NUMSTEPS=-3\n", 0.02, "#W:NUMSTEPS -3 is not a number of steps: the transient takes 50 steps.\n" },
        { "TMAX=1e-8\n", 1e-8, nullptr },
        { "TMAX=1e-300\n", 0,
            "#F:The transient would take 1e+300 time steps (TSTOP 1 s, largest step 1e-300 s); "
            "at most 1e+08 are allowed.\n" },
        { "TSTOP=1e300\nTMAX=1\n", 0,
            "#F:The transient would take 1e+300 time steps (TSTOP 1e+300 s, largest step 1 s); "
            "at most 1e+08 are allowed.\n" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(load(std::string("SIMTYPE=TRANSIENT\nPARTITION=P\nTSTOP=1\n") + c.properties));
        ASSERT_NE(create(), nullptr) << c.properties;
        bool set = guarded([&] { analysis->setoptions(0); });
        EXPECT_EQ(set, c.tmax != 0) << c.properties;
        EXPECT_EQ(log(), c.message ? c.message : "") << c.properties;
        if (c.tmax != 0) {
            EXPECT_DOUBLE_EQ(parameter("tmax"), c.tmax) << c.properties;
        }
    }
}

TEST_F(AnalysisTest, ProgressBarGrowsOnlyAfterItsPause)
{
    static int64_t now;
    now = 1000;
    analysisclock = [] { return now; };
    signon(0, reinterpret_cast<HWND>(0x50));
    ASSERT_TRUE(load("SIMTYPE=TRANSIENT\nPARTITION=P\nTSTOP=1\n"));
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
    ASSERT_TRUE(load("SIMTYPE=DCSWEEP\nPARTITION=P\nVIN=0\n"));
    ASSERT_NE(create(), nullptr);
    RECORDER* probe = addrecorder("P1");
    analysis->setupresults(&moddata, &partitions);
    analysis->setup("VIN");
    for (int step = 0; step <= 10; ++step) {
        circuit->setsweepvalue("VIN", step * 0.5);
        analysis->setoptions(step * 0.5);
        EXPECT_EQ(analysis->run(1), 0) << log();
    }
    EXPECT_TRUE(analysis->ended());
    analysis->finish();
    ASSERT_EQ(probe->points.size(), 11u);
    for (int step = 0; step <= 10; ++step) {
        EXPECT_EQ(probe->points[step].first, step * 0.5);
        EXPECT_NEAR(probe->points[step].second, step * 0.5 * 0.75, 1e-9);
    }
    PARTITION* partition = partitions["P"];
    EXPECT_EQ(partition->runcount, 1);
    analysis->endplot();
    EXPECT_EQ(partition->runcount, 1);
}

TEST_F(AnalysisTest, OperatingPointHandsEveryPartTheSolution)
{
    ASSERT_TRUE(load("SIMTYPE=OP\nPARTITION=P\nVIN=2\n"));
    ASSERT_NE(create(), nullptr);
    RECORDER* probe = addrecorder("P1");
    EXPECT_EQ(runonce(), 0) << log();
    EXPECT_NEAR(probe->watchedvalue, 1.5, 1e-9);
    // The data run and the run of watch records.
    EXPECT_EQ(partitions["P"]->runcount, 2);
}

}  // namespace
