#include "engines/nerith/nerith.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/registry.h"

#include <vector>

namespace nerith {

namespace {

const IFparm nodeparameters[] = {
    { "ic", NODE_IC, IF_REAL | IF_SET | IF_ASK, "Voltage at the start of a transient" },
    { "nodeset", NODE_NODESET, IF_REAL | IF_SET | IF_ASK, "Suggested voltage for the operating point" },
};

const char* specialsignals[] = { "time" };

// The descriptor: built once; siminit hands out the same one at every sign-on.
IFsimulator& descriptor()
{
    static std::vector<const IFdevice*> devices;
    static std::vector<const IFanalysis*> analyses;
    static IFsimulator simulator = [] {
        for (const DeviceKind* kind : devicekinds())
            devices.push_back(&kind->description);
        for (const AnalysisKind* kind : analysiskinds())
            analyses.push_back(&kind->description);
        IFsimulator d {};
        d.name = "nerith";
        d.description = "Analog circuit simulator: modified nodal analysis with a sparse LU solver";
        d.version = "1";
        d.newCircuit = entries::newCircuit;
        d.deleteCircuit = entries::deleteCircuit;
        d.newNode = entries::newNode;
        d.groundNode = entries::groundNode;
        d.bindNode = entries::bindNode;
        d.findNode = entries::findNode;
        d.instToNode = entries::instToNode;
        d.setNodeParm = entries::setNodeParm;
        d.askNodeQuest = entries::askNodeQuest;
        d.deleteNode = entries::deleteNode;
        d.newInstance = entries::newInstance;
        d.setInstanceParm = entries::setInstanceParm;
        d.askInstanceQuest = entries::askInstanceQuest;
        d.findInstance = entries::findInstance;
        d.deleteInstance = entries::deleteInstance;
        d.newModel = entries::newModel;
        d.setModelParm = entries::setModelParm;
        d.askModelQuest = entries::askModelQuest;
        d.findModel = entries::findModel;
        d.deleteModel = entries::deleteModel;
        d.newTask = entries::newTask;
        d.newAnalysis = entries::newAnalysis;
        d.setAnalysisParm = entries::setAnalysisParm;
        d.askAnalysisQuest = entries::askAnalysisQuest;
        d.findAnalysis = entries::findAnalysis;
        d.findTask = entries::findTask;
        d.deleteTask = entries::deleteTask;
        d.doAnalyses = entries::doAnalyses;
        d.nonconvErr = entries::nonconvErr;
        d.numDevices = static_cast<int32_t>(devices.size());
        d.devices = devices.data();
        d.numAnalyses = static_cast<int32_t>(analyses.size());
        d.analyses = analyses.data();
        d.numNodeParms = static_cast<int32_t>(std::size(nodeparameters));
        d.nodeParms = nodeparameters;
        d.numSpecSigs = static_cast<int32_t>(std::size(specialsignals));
        d.specSigs = specialsignals;
        return d;
    }();
    return simulator;
}

} // namespace

} // namespace nerith

extern "C" {

int siminit(IFfrontEnd* frontend, IFsimulator** descriptor)
{
    if (!descriptor)
        return E_BADVALUE;
    nerith::session().frontend = frontend;
    *descriptor = &nerith::descriptor();
    return 0;
}

int spice_initialize(CIRCUIT* circuit, ISIMLOG* log, ISPICECKT** interface)
{
    auto& circuits = nerith::circuits();
    if (circuits.empty())
        return E_NOCKT;
    IFcircuit& ckt = *circuits.back();
    ckt.kernel = circuit;
    ckt.log = log;
    if (interface)
        *interface = &ckt.models;
    return 0;
}

int spice_terminate()
{
    nerith::clearerror();
    return 0;
}

int CKTsetBreak(IFcircuit* ckt, double time)
{
    if (!nerith::ours(ckt))
        return E_NOCKT;
    return nerith::guarded([&] { return nerith::addbreak(*ckt, time) ? 0 : E_BADVALUE; });
}

int CKTsetStop(IFcircuit* ckt, double time)
{
    if (!nerith::ours(ckt))
        return E_NOCKT;
    return nerith::guarded([&] { return nerith::addstop(*ckt, time) ? 0 : E_BADVALUE; });
}

int DCtran(IFcircuit* ckt, int restart)
{
    return nerith::entries::runtransient(ckt, restart);
}

const char* simerrmsg(int code)
{
    const nerith::Session& s = nerith::session();
    return code != 0 && code == s.lastCode && !s.lastText.empty() ? s.lastText.c_str() : nullptr;
}
}
