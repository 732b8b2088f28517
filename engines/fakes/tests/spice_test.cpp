#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"

#include "engines/pallex/pallex.h"

#include <gtest/gtest.h>

#include <string>
#include <strings.h>
#include <vector>

namespace {

// The kernel's side of the front end, reduced to what a test looks at.
struct FrontEnd {
    std::vector<IFuid> names;
    std::vector<std::pair<double, std::vector<double>>> points;
    int plots = 0;
    int pauseafter = 0;  // the pause test answers 1 after this many points (0: never)
};
FrontEnd* frontend = nullptr;

int beginplot(IFcircuit*, IFjob*, IFuid, IFuid, int32_t, int32_t count, IFuid* names, int32_t, IFplot** plot)
{
    frontend->names.assign(names, names + count);
    *plot = reinterpret_cast<IFplot*>(frontend);
    return 0;
}

int appenddata(IFplot*, IFvalue* reference, IFvalue* data)
{
    frontend->points.emplace_back(reference->rValue, std::vector<double>(data->v.vec.rVec, data->v.vec.rVec + data->v.numValue));
    return 0;
}

int endplot(IFplot*)
{
    ++frontend->plots;
    return 0;
}

int pausetest()
{
    return frontend->pauseafter && static_cast<int>(frontend->points.size()) == frontend->pauseafter;
}

int32_t devicetype(const IFsimulator* d, const char* name)
{
    for (int32_t i = 0; i < d->numDevices; ++i) {
        if (strcasecmp(d->devices[i]->name, name) == 0)
            return i;
    }
    return -1;
}

class FakeSpice : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakes::reset();
        frontend = &state;
        table.beginPlot = beginplot;
        table.appendData = appenddata;
        table.endPlot = endplot;
        table.pauseTest = pausetest;
        ASSERT_EQ(siminit(&table, &d), 0);
        ASSERT_EQ(d->newCircuit(&ckt), 0);
        ASSERT_EQ(spice_initialize(nullptr, nullptr, &circuit), 0);
    }
    void TearDown() override
    {
        fakes::reset();
        frontend = nullptr;
    }

    FrontEnd state;
    IFfrontEnd table {};
    IFsimulator* d = nullptr;
    IFcircuit* ckt = nullptr;
    ISPICECKT* circuit = nullptr;
};

}  // namespace

TEST_F(FakeSpice, RecordsABuildAndDeliversAScriptedResumableRun)
{
    IFnode *out = nullptr, *ground = nullptr, *again = nullptr;
    EXPECT_EQ(d->newNode(ckt, &out, "OUT"), 0);
    EXPECT_EQ(d->groundNode(ckt, &ground, "GND"), 0);
    EXPECT_EQ(d->groundNode(ckt, &again, nullptr), E_EXISTS);
    EXPECT_EQ(again, ground);
    EXPECT_EQ(d->findNode(ckt, &again, "out"), 0);
    EXPECT_EQ(again, out);

    IFmodel* model = nullptr;
    IFinstance* r1 = nullptr;
    IFvalue value {};
    ASSERT_EQ(d->newModel(ckt, devicetype(d, "resistor"), &model, "RESISTOR"), 0);
    ASSERT_EQ(d->newInstance(ckt, model, &r1, "R1"), 0);
    EXPECT_EQ(d->bindNode(ckt, r1, 1, out), 0);
    EXPECT_EQ(d->bindNode(ckt, r1, 3, out), E_NOTERM);
    value.rValue = 1000;
    EXPECT_EQ(d->setInstanceParm(ckt, r1, RES_RESISTANCE, &value, nullptr), 0);

    IFtask* task = nullptr;
    IFjob* tran = nullptr;
    ASSERT_EQ(d->newTask(ckt, &task, "TASK"), 0);
    ASSERT_EQ(d->newAnalysis(ckt, 2, "TRAN", &tran, task), 0);
    value.rValue = 1e-6;
    EXPECT_EQ(d->setAnalysisParm(ckt, tran, TRAN_TMAX, &value, nullptr), 0);

    fakes::spice().runs.push_back(
        { fakes::ScriptedPlot { "time", { "OUT" }, { { 0, { 0 } }, { 1e-3, { 2.5 } }, { 2e-3, { 5 } } } } });
    state.pauseafter = 1;
    EXPECT_EQ(d->doAnalyses(ckt, 1, task), E_PAUSE);
    ASSERT_EQ(state.names.size(), 1u);
    EXPECT_EQ(state.names[0], out->name) << "plot names are the nodes' own identifiers";
    EXPECT_EQ(CKTsetBreak(ckt, 2e-3), 0);
    state.pauseafter = 0;
    EXPECT_EQ(d->doAnalyses(ckt, 0, task), 0);
    EXPECT_EQ(state.points.size(), 3u);
    EXPECT_EQ(state.points.back().second, std::vector<double> { 5 });
    EXPECT_EQ(state.plots, 1);

    IFjob* options = nullptr;
    ASSERT_EQ(d->newAnalysis(ckt, 0, "OPTIONS", &options, task), 0);
    EXPECT_EQ(d->askAnalysisQuest(ckt, options, OPT_GOODSTEPS, &value, nullptr), 0);
    EXPECT_EQ(d->deleteTask(ckt, task), 0);
    EXPECT_EQ(d->deleteCircuit(ckt), 0);
    EXPECT_EQ(spice_terminate(), 0);

    EXPECT_EQ(fakes::calls(),
        (std::vector<std::string> { "siminit()", "newCircuit()", "spice_initialize()", "newNode(OUT)",
            "groundNode(GND)", "groundNode(-)", "findNode(out)", "newModel(Resistor, RESISTOR)",
            "newInstance(RESISTOR, R1)", "bindNode(R1, 1, OUT)", "bindNode(R1, 3, OUT)",
            "setInstanceParm(R1, resistance=1000)", "newTask(TASK)", "newAnalysis(TRAN, TRAN)",
            "setAnalysisParm(TRAN, tmax=1e-06)", "doAnalyses(1, TASK)", "CKTsetBreak(0.002)",
            "doAnalyses(0, TASK)", "newAnalysis(options, OPTIONS)", "askAnalysisQuest(OPTIONS, goodsteps)",
            "deleteTask(TASK)", "deleteCircuit()", "spice_terminate()" }));
}

TEST_F(FakeSpice, ScriptedFailuresAndAnswers)
{
    fakes::spice().errors[E_SINGULAR] = "singular matrix at node 3";
    EXPECT_STREQ(simerrmsg(E_SINGULAR), "singular matrix at node 3");
    EXPECT_EQ(simerrmsg(E_ITERLIM), nullptr);
    fakes::script("newModel", { E_NOMEM });
    IFmodel* scripted = nullptr;
    EXPECT_EQ(d->newModel(ckt, 0, &scripted, "R"), E_NOMEM);
    EXPECT_EQ(d->newModel(ckt, 0, &scripted, "R"), 0) << "a script answers once";

    IFmodel* model = nullptr;
    EXPECT_EQ(d->newModel(ckt, 999, &model, "X"), E_BADTYPE);
    IFnode* node = nullptr;
    EXPECT_EQ(d->findNode(ckt, &node, "nowhere"), E_NOTFOUND);
    circuit->suspend(nullptr, "Digital breakpoint");
    EXPECT_EQ(fakes::callsof("suspend"), std::vector<std::string> { "suspend(-, Digital breakpoint)" });
}

TEST_F(FakeSpice, DigitalHooksRunInLockStepWithThePoints)
{
    table.digitalSetup = pallex_setup;
    table.digitalResume = pallex_resume;
    table.digitalAccept = pallex_accept;
    IPALLEXCKT* digital = nullptr;
    pallex_initialize(nullptr, &digital);
    digital->requesttime(5000);

    IFtask* task = nullptr;
    IFjob* tran = nullptr;
    d->newTask(ckt, &task, "TASK");
    d->newAnalysis(ckt, 2, "TRAN", &tran, task);
    fakes::spice().runs.push_back({ fakes::ScriptedPlot { "time", {}, { { 0, {} }, { 1e-9, {} } } } });
    state.pauseafter = 1;
    EXPECT_EQ(d->doAnalyses(ckt, 1, task), E_PAUSE);
    state.pauseafter = 0;
    EXPECT_EQ(d->doAnalyses(ckt, 0, task), 0);
    fakes::script("pallex_accept", { 3 });
    fakes::spice().runs.push_back({ fakes::ScriptedPlot { "time", {}, { { 0, {} }, { 1e-9, {} } } } });
    EXPECT_EQ(d->doAnalyses(ckt, 1, task), E_BREAK) << "a break asked by the digital side ends the run step";

    EXPECT_EQ(fakes::callsof("pallex"),
        (std::vector<std::string> { "pallex_initialize()", "pallex_setup()", "pallex_accept(0)", "pallex_resume()",
            "pallex_accept(1e-09)", "pallex_setup()", "pallex_accept(0)" }));
    EXPECT_EQ(fakes::callsof("setbreak"), std::vector<std::string> { "setbreak(5e-09)" })
        << "time points the digital side asks for become break points";
}
