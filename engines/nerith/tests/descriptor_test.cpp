// The descriptor's tables and entries as the kernel and the deck parser use them.
#include "engines/nerith/tests/simulation.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

using nerithtest::findparm;
using nerithtest::findtype;
using nerithtest::Simulation;

TEST(Descriptor, DeclaresTheBuiltDevicesOnly)
{
    Simulation s;
    struct Row {
        const char* name;
        int32_t terminals;
        std::vector<const char*> settable;
    };
    const Row rows[] = {
        { "Resistor", 2, { "resistance" } },
        { "Capacitor", 2, { "capacitance", "ic" } },
        { "Inductor", 2, { "inductance", "ic" } },
        { "Vsource", 2,
            { "dc", "sine", "pulse", "exp", "sffm", "pwl", "acmag", "acphase", "distof1", "distof2" } },
        { "Isource", 2,
            { "dc", "sine", "pulse", "exp", "sffm", "pwl", "acmag", "acphase", "distof1", "distof2" } },
        { "VCVS", 4, { "gain" } },
        { "VCCS", 4, { "gain" } },
        { "Diode", 2, { "area", "off", "ic", "temp" } },
        { "BJT", 4, { "area", "off", "ic", "icvbe", "icvce", "temp" } },
        { "JFET", 3, { "area", "off", "ic", "ic-vds", "ic-vgs", "temp" } },
        { "MES", 3, { "area", "off", "ic", "ic-vds", "ic-vgs" } },
        { "OBJITF", 0, { "instance", "model" } },
        { "CCCS", 2, { "gain", "control" } },
        { "CCVS", 2, { "gain", "control" } },
        { "Mutual", 0, { "inductor1", "inductor2", "k" } },
        { "Switch", 4, { "on", "off" } },
        { "Cswitch", 2, { "control", "on", "off" } },
        { "ASRC", 2, { "v", "i" } },
        { "MOS1", 4, { "l", "w", "m", "ad", "as", "off", "ic", "temp" } },
        { "MOS2", 4, { "l", "w", "m", "ad", "as", "off", "ic", "temp" } },
        { "MOS3", 4, { "l", "w", "m", "ad", "as", "off", "ic", "temp" } },
        { "MOS6", 4, { "l", "w", "m", "ad", "as", "off", "ic", "temp" } },
        { "Tranline", 4, { "z0", "td", "f", "nl", "ic" } },
        { "URC", 3, { "l", "n" } },
        { "BSIM1", 4, { "l", "w", "m", "ad", "as", "off", "ic", "vds" } },
        { "BSIM2", 4, { "l", "w", "m", "ad", "as", "off", "ic", "vds" } },
        { "BSIM3", 4, { "l", "w", "m", "ad", "as", "off", "ic", "nqsmod" } },
        { "LTRA", 4, { "v1", "i1", "v2", "i2", "ic" } },
    };
    ASSERT_EQ(s.d->numDevices, static_cast<int32_t>(std::size(rows)));
    for (const Row& row : rows) {
        const int32_t type = findtype(s.d, row.name);
        ASSERT_GE(type, 0) << row.name;
        const IFdevice* device = s.d->devices[type];
        EXPECT_STREQ(device->name, row.name);
        EXPECT_EQ(device->terminals, row.terminals) << row.name;
        for (const char* keyword : row.settable) {
            const IFparm* parm = findparm(device->instanceParms, device->numInstanceParms, keyword);
            ASSERT_NE(parm, nullptr) << row.name << " " << keyword;
            EXPECT_TRUE(parm->dataType & IF_SET) << keyword;
        }
    }
    EXPECT_EQ(findparm(s.d->devices[findtype(s.d, "resistor")]->instanceParms, 3, "resistance")->id,
        RES_RESISTANCE);
    IFmodel* model = nullptr;
    EXPECT_EQ(s.d->newModel(s.ckt, s.d->numDevices, &model, "m"), E_BADTYPE);
}

TEST(Descriptor, OptionsCarryTheSimulatorOptionKeywords)
{
    Simulation s;
    // The analyses by the names the kernel gives them, with the keywords it sets from its properties.
    const std::pair<const char*, std::vector<const char*>> analyses[] = {
        { "options", {} },
        { "OP", {} },
        { "TRAN", { "tstart", "tstop", "tmax", "uic" } },
        { "AC", { "fstart", "fstop", "numsteps", "dec", "oct", "lin" } },
        { "DC", { "name1", "start1", "stop1", "step1", "name2", "start2", "stop2", "step2" } },
        { "TF", { "outpos", "outneg", "outsrc", "insrc" } },
        { "NOISE",
            { "output", "outputref", "input", "fstart", "fstop", "numsteps", "dec", "oct", "lin",
                "ptspersum" } },
        { "DISTO", { "start", "stop", "numsteps", "dec", "oct", "lin", "f2overf1" } },
    };
    ASSERT_EQ(s.d->numAnalyses, static_cast<int32_t>(std::size(analyses)));
    for (const auto& [name, keywords] : analyses) {
        ASSERT_GE(s.analysis(name), 0) << name;
        const IFanalysis* kind = s.d->analyses[s.analysis(name)];
        for (const char* keyword : keywords) {
            const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
            ASSERT_NE(parm, nullptr) << name << " " << keyword;
            EXPECT_TRUE(parm->dataType & IF_SET) << name << " " << keyword;
        }
    }
    const IFanalysis* tran = s.d->analyses[s.analysis("TRAN")];
    EXPECT_EQ(findparm(tran->analysisParms, tran->numParms, "tstart")->id, TRAN_TSTART);
    EXPECT_EQ(findparm(tran->analysisParms, tran->numParms, "tmax")->id, TRAN_TMAX);
    ASSERT_EQ(s.d->numSpecSigs, 1);
    EXPECT_STREQ(s.d->specSigs[0], "time");
    const IFanalysis* options = s.d->analyses[s.analysis("options")];
    for (const char* keyword :
        { "abstol", "chgtol", "pivtol", "reltol", "vntol", "pivrel", "gmin", "trangmin", "rshunt", "defad",
            "defas", "defl", "defw", "badmos3", "oldlimit", "srcsteps", "gminsteps", "itl1", "itl2", "itl4",
            "noopiter", "method", "maxord", "trytocompact", "bypass", "temp", "tnom", "trtol", "tmin" }) {
        const IFparm* parm = findparm(options->analysisParms, options->numParms, keyword);
        ASSERT_NE(parm, nullptr) << keyword;
        EXPECT_TRUE(parm->dataType & IF_SET) << keyword;
    }
    for (int32_t id : { OPT_ITERATIONS, OPT_STEPS, OPT_GOODSTEPS, OPT_BADSTEPS }) {
        IFvalue value {};
        EXPECT_EQ(s.d->askAnalysisQuest(s.ckt, s.options, id, &value, nullptr), 0) << id;
    }
    IFvalue minbreak {};
    minbreak.rValue = 1e-12;
    EXPECT_EQ(s.d->setAnalysisParm(s.ckt, s.options, OPT_MINBREAK, &minbreak, nullptr), 0);
    for (int32_t i = 0; i < options->numParms; ++i) {
        for (const char* c = options->analysisParms[i].keyword; *c; ++c)
            EXPECT_FALSE(std::isupper(static_cast<unsigned char>(*c))) << options->analysisParms[i].keyword;
    }
    ASSERT_EQ(s.d->numNodeParms, 2);
    EXPECT_NE(findparm(s.d->nodeParms, 2, "ic"), nullptr);
    EXPECT_NE(findparm(s.d->nodeParms, 2, "nodeset"), nullptr);
}

TEST(Descriptor, OptionValuesAreChecked)
{
    Simulation s;
    EXPECT_EQ(s.option("reltol", 0), E_BADVALUE);
    EXPECT_EQ(s.option("reltol", -1e-3), E_BADVALUE);
    EXPECT_EQ(s.option("pivrel", 2), E_BADVALUE);
    EXPECT_EQ(s.option("temp", -300), E_BADVALUE);
    EXPECT_EQ(s.optioninteger("itl1", 0), E_BADVALUE);
    EXPECT_EQ(s.optioninteger("maxord", 7), E_BADVALUE);
    EXPECT_EQ(s.option("iterations", 1), E_BADPARM); // asked only
    EXPECT_EQ(s.option("nosuchoption", 1), E_BADPARM);
    for (const auto& [text, code] :
        { std::pair { "Gear", 0 }, { "trapezoidal", 0 }, { "euler", E_BADVALUE } }) {
        IFvalue value {};
        value.sValue = strdup(text); // the engine frees it
        EXPECT_EQ(s.option("method", value), code) << text;
    }
    EXPECT_EQ(s.option("reltol", 1e-4), 0);
    EXPECT_EQ(s.optioninteger("gminsteps", 0), 0);
}

TEST(Descriptor, NamesKeepTheirSpellingAndAreFoundWithoutCase)
{
    Simulation s;
    IFnode* lower = nullptr;
    IFnode* upper = nullptr;
    ASSERT_EQ(s.d->newNode(s.ckt, &lower, "clk"), 0);
    ASSERT_EQ(s.d->newNode(s.ckt, &upper, "CLK"), 0);
    EXPECT_NE(lower, upper);
    IFnode* again = nullptr;
    EXPECT_EQ(s.d->newNode(s.ckt, &again, "clk"), E_EXISTS);
    EXPECT_EQ(again, lower);
    IFnode* found = nullptr;
    EXPECT_EQ(s.d->findNode(s.ckt, &found, "CLK"), 0);
    EXPECT_EQ(found, upper);
    EXPECT_EQ(s.d->findNode(s.ckt, &found, "Clk"), 0);
    EXPECT_EQ(found, lower); // the earliest of the candidates
    EXPECT_EQ(s.d->findNode(s.ckt, &found, "data"), E_NOTFOUND);
    ASSERT_EQ(s.d->deleteNode(s.ckt, lower), 0);
    EXPECT_EQ(s.d->findNode(s.ckt, &found, "Clk"), 0);
    EXPECT_EQ(found, upper);
    EXPECT_EQ(s.d->findNode(s.ckt, &found, "clk"), 0);
    EXPECT_EQ(found, upper);

    IFnode* ground = nullptr;
    EXPECT_EQ(s.d->groundNode(s.ckt, &ground, "gnd"), E_EXISTS);
    EXPECT_EQ(ground->number, 0);
    EXPECT_STREQ(ground->name, "0");
    EXPECT_EQ(s.d->findNode(s.ckt, &found, "0"), 0);
    EXPECT_EQ(found, ground);

    // A name handed in need only live for the call.
    std::string name = "Out";
    IFnode* out = nullptr;
    ASSERT_EQ(s.d->newNode(s.ckt, &out, name.c_str()), 0);
    name = "xyz";
    EXPECT_STREQ(out->name, "Out");

    IFinstance* r1 = s.add("Resistor", "R1", { "clk", "0" }, { { "resistance", 1 } });
    int32_t type = -1;
    IFinstance* instance = nullptr;
    EXPECT_EQ(s.d->findInstance(s.ckt, &type, &instance, "r1"), 0);
    EXPECT_EQ(instance, r1);
    EXPECT_EQ(type, findtype(s.d, "Resistor"));
    IFinstance* duplicate = nullptr;
    IFmodel* model = nullptr;
    ASSERT_EQ(s.d->findModel(s.ckt, &type, &model, "default_resistor"), 0);
    EXPECT_EQ(s.d->newInstance(s.ckt, model, &duplicate, "R1"), E_EXISTS);
    EXPECT_EQ(duplicate, r1);
    IFmodel* same = nullptr;
    EXPECT_EQ(s.d->newModel(s.ckt, type, &same, "default_Resistor"), 0);
    EXPECT_EQ(same, model);
    EXPECT_EQ(s.d->newModel(s.ckt, findtype(s.d, "Vsource"), &same, "default_Resistor"), E_EXISTS);
}

TEST(Descriptor, EntriesRefuseWhatTheyCannotDo)
{
    Simulation s;
    IFinstance* r1 = s.add("Resistor", "r1", { "a" });
    const int32_t resistor = findtype(s.d, "Resistor");
    IFnode* a = s.node("a");
    EXPECT_EQ(s.d->bindNode(s.ckt, r1, 0, a), E_NOTERM);
    EXPECT_EQ(s.d->bindNode(s.ckt, r1, 3, a), E_NOTERM);
    IFnode* node = nullptr;
    IFuid name = nullptr;
    EXPECT_EQ(s.d->instToNode(s.ckt, r1, 2, &node, &name), E_NOTERM);
    ASSERT_EQ(s.d->instToNode(s.ckt, r1, 1, &node, &name), 0);
    EXPECT_EQ(node, a);
    EXPECT_EQ(name, a->name);

    IFvalue value {};
    value.rValue = 1;
    EXPECT_EQ(s.d->setInstanceParm(s.ckt, r1, 99, &value, nullptr), E_BADPARM);
    const IFparm* current
        = findparm(s.d->devices[resistor]->instanceParms, s.d->devices[resistor]->numInstanceParms, "i");
    EXPECT_EQ(s.d->setInstanceParm(s.ckt, r1, current->id, &value, nullptr), E_BADPARM);
    IFmodel* model = nullptr;
    int32_t type = -1;
    ASSERT_EQ(s.d->findModel(s.ckt, &type, &model, "default_Resistor"), 0);
    EXPECT_EQ(s.d->setModelParm(s.ckt, model, 99, &value, nullptr), E_BADPARM);
    EXPECT_EQ(s.d->deleteModel(s.ckt, model), E_BADVALUE);
    ASSERT_EQ(s.d->deleteInstance(s.ckt, r1), 0);
    EXPECT_EQ(s.d->deleteModel(s.ckt, model), 0);
    EXPECT_EQ(s.d->findModel(s.ckt, &type, &model, "default_Resistor"), E_NOTFOUND);

    IFjob* job = nullptr;
    EXPECT_EQ(s.d->newAnalysis(s.ckt, s.d->numAnalyses, "X", &job, s.task), E_BADTYPE);
    EXPECT_EQ(s.d->findAnalysis(s.ckt, &type, &job, "op", s.task), 0);
    EXPECT_EQ(job, s.op);
    IFtask* task = nullptr;
    EXPECT_EQ(s.d->findTask(s.ckt, &task, "task"), 0);
    EXPECT_EQ(task, s.task);

    IFcircuit* other = nullptr;
    ASSERT_EQ(s.d->newCircuit(&other), 0);
    EXPECT_EQ(s.d->doAnalyses(other, 1, s.task), E_NOCKT);
    ASSERT_EQ(s.d->deleteCircuit(other), 0);
    EXPECT_EQ(s.d->findNode(other, &node, "a"), E_NOCKT);
    EXPECT_EQ(CKTsetBreak(other, 1), E_NOCKT);
    EXPECT_EQ(DCtran(s.ckt, 1), E_PRIVATE + 2);
    EXPECT_NE(simerrmsg(E_PRIVATE + 2), nullptr);
}

TEST(Descriptor, CircuitInterfaceForModels)
{
    Simulation s;
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 2 } });
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1 } });
    ISPICECKT* models = nullptr;
    ASSERT_EQ(spice_initialize(nullptr, nullptr, &models), 0);
    ASSERT_NE(models, nullptr);

    const int32_t inner = models->newnode(nullptr, "inner");
    EXPECT_EQ(inner, s.node("a")->number + 1);
    IFnode* node = nullptr;
    ASSERT_EQ(s.d->findNode(s.ckt, &node, "inner"), 0);
    EXPECT_EQ(models->element(0, inner), models->element(inner, 0));
    EXPECT_EQ(models->element(inner + 1, 1), nullptr);
    // The model's cells are part of the matrix: a unit conductance ties the new node to a.
    double* cells[] = { models->element(inner, inner), models->element(inner, 1), models->element(1, inner),
        models->element(1, 1) };
    for (double* cell : cells)
        ASSERT_NE(cell, nullptr);
    // Without a device to stamp them the node floats: the run says so.
    EXPECT_EQ(s.run(), E_BADMATRIX);
    EXPECT_NE(s.message(E_BADMATRIX).find("inner"), std::string::npos);

    double value = -1;
    EXPECT_EQ(models->query(&value, QUERY_GMIN), 1);
    EXPECT_DOUBLE_EQ(value, 1e-12);
    EXPECT_EQ(models->query(&value, QUERY_SRCFACT), 1);
    EXPECT_DOUBLE_EQ(value, 1);
    EXPECT_EQ(models->query(&value, 99), 0);
    const int32_t first = models->allocstates(3);
    EXPECT_EQ(first, 0);
    EXPECT_NE(models->state(1, 2), nullptr);
    EXPECT_EQ(models->state(0, 3), nullptr);
    EXPECT_EQ(models->allocstates(-1), -1);
    EXPECT_EQ(models->setbreak(-1), 0);
    EXPECT_EQ(models->setbreak(1e-3), 1);
    EXPECT_EQ(CKTsetBreak(s.ckt, -1), E_BADVALUE);
    EXPECT_EQ(models->lowerinitialstep(1e-6), 1e-6);
    EXPECT_EQ(models->lowerinitialstep(1e-3), 1e-6);
}
