#pragma once

// A fake front end that records plots and messages, and a small driver that builds circuits and runs
// tasks through the engine's descriptor, as the kernel does.
#include "engines/nerith/nerith.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    std::vector<IFuid> names;
    std::vector<std::pair<double, std::vector<double>>> points;
    bool ended = false;
};

struct FrontEnd {
    std::vector<Plot> plots;
    std::vector<std::string> messages;
    int points = 0;
    int pauseat = 0; // the pause test answers 1 at this many points delivered (0: never)
    // The digital hooks answer through these when set; the table then carries slots 15 to 19.
    std::function<int()> digitalsetup;
    std::function<int(int first, int settle, int* changes)> bootstep;
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
inline int beginplot(
    IFcircuit*, IFjob*, IFuid name, IFuid, int32_t, int32_t count, IFuid* names, int32_t, IFplot** plot)
{
    Plot& made = frontend().plots.emplace_back();
    made.analysis = name ? name : "";
    made.names.assign(names, names + count);
    *plot = reinterpret_cast<IFplot*>(&made);
    return 0;
}
inline int appenddata(IFplot* plot, IFvalue* reference, IFvalue* data)
{
    reinterpret_cast<Plot*>(plot)->points.emplace_back(
        reference->rValue, std::vector<double>(data->v.vec.rVec, data->v.vec.rVec + data->v.numValue));
    ++frontend().points;
    return 0;
}
inline int endplot(IFplot* plot)
{
    reinterpret_cast<Plot*>(plot)->ended = true;
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
    if (digital) {
        t.digitalSetup = hooks::digitalsetup;
        t.digitalBootStep = hooks::bootstep;
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

inline const IFparm* findparm(const IFparm* parms, int32_t count, const char* keyword)
{
    for (int32_t i = 0; i < count; ++i) {
        if (strcasecmp(parms[i].keyword, keyword) == 0)
            return &parms[i];
    }
    return nullptr;
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
        const IFparm* parm = findparm(device->instanceParms, device->numInstanceParms, keyword);
        IFvalue v {};
        EXPECT_EQ(d->askInstanceQuest(ckt, instance, parm->id, &v, nullptr), 0) << keyword;
        return (parm->dataType & 0xFF) == IF_INTEGER ? v.iValue : v.rValue;
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

    std::map<IFinstance*, int32_t> types; // device type of every instance made by add
};

} // namespace nerithtest
