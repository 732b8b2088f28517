#pragma once

// A fake front end that records plots and messages, and a small driver that builds circuits and runs
// tasks through the engine's descriptor, as the kernel does.
#include "engines/nerith/nerith.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <strings.h>
#include <utility>
#include <vector>

namespace nerithtest {

struct Plot {
    std::string analysis;
    std::string reference; // the sweep variable's name; empty when none
    int32_t type = IF_REAL;
    std::vector<IFuid> names;
    // Complex values take two numbers each, real part first.
    std::vector<std::pair<double, std::vector<double>>> points;
    // The domains of a nested sweep: the point each begins at and its outer value; the points each
    // has when it ended.
    std::vector<std::pair<std::size_t, double>> domains;
    std::vector<std::size_t> domainends;
    bool ended = false;

    // Value `column` of point `point` of a complex plot.
    std::complex<double> at(std::size_t point, std::size_t column) const
    {
        const std::vector<double>& values = points.at(point).second;
        return { values.at(2 * column), values.at(2 * column + 1) };
    }
    // The column of the vector of that name (compared as text); -1 when absent.
    int named(const char* name) const
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] && std::strcmp(names[i], name) == 0)
                return static_cast<int>(i);
        }
        return -1;
    }
};

struct FrontEnd {
    std::deque<Plot> plots;
    std::vector<std::string> messages;
    int points = 0;
    int pauseat = 0; // the pause test answers 1 at this many points delivered (0: never)
    // The digital hooks answer through these when set; the table then carries slots 15 to 19.
    std::function<int()> digitalsetup;
    std::function<int(int first, int settle, int* changes)> bootstep;
    std::function<int()> resume;
    std::function<int(double time, double* next)> timestep;
    std::function<int(double time, void* context, void (*request)(void*, double))> accept;
};

inline FrontEnd& frontend()
{
    static FrontEnd state;
    return state;
}

namespace hooks {

inline int newuid(IFcircuit*, IFuid* out, IFuid old, const char* suffix, int32_t)
{
    std::string text = old ? std::string("#") + old + "#" + suffix : std::string(suffix);
    *out = strdup(text.c_str());
    return 0;
}
inline int deleteuid(IFcircuit*, IFuid uid, int32_t)
{
    std::free(const_cast<char*>(uid));
    return 0;
}
inline int pausetest()
{
    return frontend().pauseat && frontend().points == frontend().pauseat;
}
inline double seconds()
{
    return 0;
}
inline int error(int, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format ? format : "Unspecified Error", args);
    va_end(args);
    frontend().messages.emplace_back(text);
    return 0;
}
inline int beginplot(IFcircuit*, IFjob*, IFuid name, IFuid reference, int32_t, int32_t count, IFuid* names,
    int32_t type, IFplot** plot)
{
    Plot& made = frontend().plots.emplace_back();
    made.analysis = name ? name : "";
    made.reference = reference ? reference : "";
    made.type = type;
    made.names.assign(names, names + count);
    *plot = reinterpret_cast<IFplot*>(&made);
    return 0;
}
inline int appenddata(IFplot* plot, IFvalue* reference, IFvalue* data)
{
    Plot& into = *reinterpret_cast<Plot*>(plot);
    const int32_t count = data->v.numValue * (into.type == IF_COMPLEX ? 2 : 1);
    into.points.emplace_back(reference->rValue, std::vector<double>(data->v.vec.rVec, data->v.vec.rVec + count));
    ++frontend().points;
    return 0;
}
inline int endplot(IFplot* plot)
{
    reinterpret_cast<Plot*>(plot)->ended = true;
    return 0;
}
inline int begindomain(IFplot* plot, IFuid, int32_t, IFvalue* outer)
{
    Plot& into = *reinterpret_cast<Plot*>(plot);
    into.domains.emplace_back(into.points.size(), outer->rValue);
    return 0;
}
inline int enddomain(IFplot* plot)
{
    Plot& into = *reinterpret_cast<Plot*>(plot);
    into.domainends.push_back(into.points.size());
    return 0;
}
inline int digitalsetup()
{
    return frontend().digitalsetup();
}
inline int bootstep(int first, int settle, int* changes)
{
    return frontend().bootstep(first, settle, changes);
}
inline int resume()
{
    return frontend().resume();
}
inline int timestep(double time, double* next)
{
    return frontend().timestep(time, next);
}
inline int accept(double time, void* context, void (*request)(void*, double))
{
    return frontend().accept(time, context, request);
}

} // namespace hooks

inline IFfrontEnd table(bool digital = false)
{
    IFfrontEnd t {};
    t.newUid = hooks::newuid;
    t.deleteUid = hooks::deleteuid;
    t.pauseTest = hooks::pausetest;
    t.seconds = hooks::seconds;
    t.error = hooks::error;
    t.beginPlot = hooks::beginplot;
    t.appendData = hooks::appenddata;
    t.endPlot = hooks::endplot;
    t.beginDomain = hooks::begindomain;
    t.endDomain = hooks::enddomain;
    if (digital) {
        t.digitalSetup = hooks::digitalsetup;
        t.digitalResume = hooks::resume;
        t.digitalBootStep = hooks::bootstep;
        t.digitalTimeStep = hooks::timestep;
        t.digitalAccept = hooks::accept;
    }
    return t;
}

inline int32_t findtype(const IFsimulator* d, const char* name)
{
    for (int32_t i = 0; i < d->numDevices; ++i) {
        if (strcasecmp(d->devices[i]->name, name) == 0)
            return i;
    }
    return -1;
}

// The first parameter of that keyword with all the `flags` (IF_SET, IF_ASK; 0: any), as the kernel
// looks them up: one keyword may name a value to set and another to ask.
inline const IFparm* findparm(const IFparm* parms, int32_t count, const char* keyword, int32_t flags = 0)
{
    for (int32_t i = 0; i < count; ++i) {
        if (strcasecmp(parms[i].keyword, keyword) == 0 && (parms[i].dataType & flags) == flags)
            return &parms[i];
    }
    return nullptr;
}

// Parameter values of the kinds analyses take.
inline IFvalue real(double number)
{
    IFvalue v {};
    v.rValue = number;
    return v;
}
inline IFvalue integer(int32_t number)
{
    IFvalue v {};
    v.iValue = number;
    return v;
}
inline IFvalue instance(const char* name)
{
    IFvalue v {};
    v.uValue = name;
    return v;
}

// One circuit with a task holding an options job and an operating point, as the kernel sets them up.
class Simulation {
public:
    explicit Simulation(bool digital = false)
        : front(table(digital))
    {
        frontend() = FrontEnd {};
        EXPECT_EQ(siminit(&front, &d), 0);
        EXPECT_EQ(d->newCircuit(&ckt), 0);
        IFnode* ground = nullptr;
        EXPECT_EQ(d->groundNode(ckt, &ground, "0"), 0);
        EXPECT_EQ(d->newTask(ckt, &task, "TASK"), 0);
        EXPECT_EQ(d->newAnalysis(ckt, analysis("options"), "OPTIONS", &options, task), 0);
        EXPECT_EQ(d->newAnalysis(ckt, analysis("OP"), "OP", &op, task), 0);
    }
    ~Simulation()
    {
        d->deleteCircuit(ckt);
        spice_terminate();
    }
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    int32_t analysis(const char* name) const
    {
        for (int32_t i = 0; i < d->numAnalyses; ++i) {
            if (strcmp(d->analyses[i]->name, name) == 0)
                return i;
        }
        return -1;
    }

    IFnode* node(const char* name)
    {
        IFnode* made = nullptr;
        if (d->findNode(ckt, &made, name) == 0)
            return made;
        EXPECT_EQ(d->newNode(ckt, &made, name), 0);
        return made;
    }

    // A device of the named type on the named nodes ("0" is ground), with real parameters by keyword.
    IFinstance* add(const char* type, const char* name, std::initializer_list<const char*> nodes,
        std::initializer_list<std::pair<const char*, double>> parameters = {})
    {
        const int32_t kind = findtype(d, type);
        EXPECT_GE(kind, 0) << type;
        IFmodel* model = nullptr;
        EXPECT_EQ(d->newModel(ckt, kind, &model, (std::string("default_") + type).c_str()), 0);
        IFinstance* instance = nullptr;
        EXPECT_EQ(d->newInstance(ckt, model, &instance, name), 0);
        int32_t terminal = 1;
        for (const char* node : nodes)
            EXPECT_EQ(d->bindNode(ckt, instance, terminal++, this->node(node)), 0);
        types[instance] = kind;
        for (const auto& [keyword, value] : parameters)
            EXPECT_EQ(set(instance, keyword, value), 0) << keyword;
        return instance;
    }

    // Sets a vector parameter; the fixture keeps the numbers alive, as the kernel does.
    int set(IFinstance* instance, const char* keyword, std::vector<double> numbers)
    {
        const IFdevice* device = d->devices[types.at(instance)];
        const IFparm* parm = findparm(device->instanceParms, device->numInstanceParms, keyword);
        if (!parm)
            return E_BADPARM;
        std::vector<double>& kept = vectors.emplace_back(std::move(numbers));
        IFvalue v {};
        v.v.numValue = static_cast<int32_t>(kept.size());
        v.v.vec.rVec = kept.data();
        return d->setInstanceParm(ckt, instance, parm->id, &v, nullptr);
    }

    // A transient in a task of its own (with the options of this one), parameters by keyword.
    IFtask* transient(std::initializer_list<std::pair<const char*, double>> parameters, bool uic = false)
    {
        IFtask* made = nullptr;
        EXPECT_EQ(d->newTask(ckt, &made, "TRANTASK"), 0);
        EXPECT_EQ(d->newAnalysis(ckt, analysis("options"), "OPTIONS", &tranoptions, made), 0);
        EXPECT_EQ(d->newAnalysis(ckt, analysis("TRAN"), "TRAN", &tran, made), 0);
        const IFanalysis* kind = d->analyses[analysis("TRAN")];
        for (const auto& [keyword, number] : parameters) {
            const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
            EXPECT_NE(parm, nullptr) << keyword;
            IFvalue v {};
            v.rValue = number;
            EXPECT_EQ(d->setAnalysisParm(ckt, tran, parm->id, &v, nullptr), 0) << keyword;
        }
        if (uic) {
            IFvalue v {};
            v.iValue = 1;
            EXPECT_EQ(d->setAnalysisParm(ckt, tran, findparm(kind->analysisParms, kind->numParms, "uic")->id, &v,
                          nullptr),
                0);
        }
        trantask = made;
        return made;
    }
    // Options of the transient's task by keyword.
    int tranoption(const char* keyword, IFvalue value)
    {
        const IFanalysis* kind = d->analyses[analysis("options")];
        const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
        return parm ? d->setAnalysisParm(ckt, tranoptions, parm->id, &value, nullptr) : E_BADPARM;
    }
    int runtransient(int restart = 1) { return d->doAnalyses(ckt, restart, trantask); }

    // An analysis of that name in a task of its own with default options, its parameters by keyword
    // (nodes by IFvalue::nValue from node()). Refused parameters fail the test.
    IFtask* analysis(const char* type, std::initializer_list<std::pair<const char*, IFvalue>> parameters)
    {
        IFtask* made = nullptr;
        EXPECT_EQ(d->newTask(ckt, &made, type), 0);
        IFjob* settings = nullptr;
        EXPECT_EQ(d->newAnalysis(ckt, analysis("options"), "OPTIONS", &settings, made), 0);
        jobtype = analysis(type);
        EXPECT_EQ(d->newAnalysis(ckt, jobtype, type, &job, made), 0);
        for (const auto& [keyword, value] : parameters)
            EXPECT_EQ(setanalysis(keyword, value), 0) << keyword;
        return made;
    }
    // Sets a parameter of the job analysis() made last.
    int setanalysis(const char* keyword, IFvalue value)
    {
        const IFanalysis* kind = d->analyses[jobtype];
        const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
        return parm ? d->setAnalysisParm(ckt, job, parm->id, &value, nullptr) : E_BADPARM;
    }
    IFvalue nodevalue(const char* name)
    {
        IFvalue v {};
        v.nValue = node(name);
        return v;
    }
    int32_t statistic(int32_t id)
    {
        IFvalue v {};
        EXPECT_EQ(d->askAnalysisQuest(ckt, tranoptions, id, &v, nullptr), 0);
        return v.iValue;
    }
    // The column of a node in a plot, found by the identity of its identifier; -1 when absent.
    int column(const Plot& plot, const char* name)
    {
        IFnode* node = nullptr;
        if (d->findNode(ckt, &node, name) != 0)
            return -1;
        for (std::size_t i = 0; i < plot.names.size(); ++i) {
            if (plot.names[i] == node->name)
                return static_cast<int>(i);
        }
        return -1;
    }

    int set(IFinstance* instance, const char* keyword, double value)
    {
        const IFdevice* device = d->devices[types.at(instance)];
        const IFparm* parm = findparm(device->instanceParms, device->numInstanceParms, keyword);
        if (!parm)
            return E_BADPARM;
        IFvalue v {};
        v.rValue = value;
        return d->setInstanceParm(ckt, instance, parm->id, &v, nullptr);
    }

    double ask(IFinstance* instance, const char* keyword)
    {
        const IFdevice* device = d->devices[types.at(instance)];
        const IFparm* parm = findparm(device->instanceParms, device->numInstanceParms, keyword, IF_ASK);
        IFvalue v {};
        EXPECT_EQ(d->askInstanceQuest(ckt, instance, parm->id, &v, nullptr), 0) << keyword;
        return (parm->dataType & 0xFF) == IF_INTEGER ? v.iValue : v.rValue;
    }

    // Sets the node parameter of that keyword ("nodeset", "ic").
    int nodeparm(const char* node, const char* keyword, double value)
    {
        const IFparm* parm = findparm(d->nodeParms, d->numNodeParms, keyword);
        if (!parm)
            return E_BADPARM;
        IFvalue v {};
        v.rValue = value;
        return d->setNodeParm(ckt, this->node(node), parm->id, &v, nullptr);
    }

    int option(const char* keyword, IFvalue value)
    {
        const IFanalysis* kind = d->analyses[analysis("options")];
        const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
        return parm ? d->setAnalysisParm(ckt, options, parm->id, &value, nullptr) : E_BADPARM;
    }
    int option(const char* keyword, double value)
    {
        IFvalue v {};
        v.rValue = value;
        return option(keyword, v);
    }
    int optioninteger(const char* keyword, int32_t value)
    {
        IFvalue v {};
        v.iValue = value;
        return option(keyword, v);
    }

    int run(int restart = 1) { return d->doAnalyses(ckt, restart, task); }

    // The node's voltage in the last point of the last plot, found by identity of its identifier.
    double v(const char* name)
    {
        IFnode* node = nullptr;
        EXPECT_EQ(d->findNode(ckt, &node, name), 0) << name;
        const Plot& plot = frontend().plots.back();
        for (std::size_t i = 0; i < plot.names.size(); ++i) {
            if (plot.names[i] == node->name)
                return plot.points.back().second[i];
        }
        ADD_FAILURE() << "no " << name << " in the plot";
        return 0;
    }

    std::string message(int code) const
    {
        const char* text = simerrmsg(code);
        return text ? text : "";
    }

    IFfrontEnd front;
    IFsimulator* d = nullptr;
    IFcircuit* ckt = nullptr;
    IFtask* task = nullptr;
    IFjob* options = nullptr;
    IFjob* op = nullptr;
    IFtask* trantask = nullptr;
    IFjob* tranoptions = nullptr;
    IFjob* tran = nullptr;
    IFjob* job = nullptr; // made by analysis()
    int32_t jobtype = -1;
    std::deque<std::vector<double>> vectors;

    std::map<IFinstance*, int32_t> types; // device type of every instance made by add
};

} // namespace nerithtest
