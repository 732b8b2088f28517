#include "engines/fakes/spice.h"

#include "engines/contract/instance.h"
#include "engines/fakes/recorder.h"
#include "engines/mavro/token.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

using fakes::format;
using fakes::record;
using fakes::spice;

namespace {

struct Node : IFnode {
    std::string text;
};

}  // namespace

struct IFmodel {
    std::string name;
    int32_t type = 0;
};

struct IFinstance {
    std::string name;
    IFmodel* model = nullptr;
    std::map<int32_t, IFnode*> terminals;
    int32_t branch = 0;
};

struct IFjob {
    std::string name;
    int32_t type = 0;
};

struct IFtask {
    std::string name;
    std::deque<IFjob> jobs;
};

struct IFcircuit {
    std::deque<Node> nodes;
    Node* ground = nullptr;
    std::deque<IFmodel> models;
    std::deque<IFinstance> instances;
    std::deque<IFtask> tasks;
    std::deque<std::string> names;  // data names of scripted plots that name no node
    // The run being delivered.
    std::vector<fakes::ScriptedPlot> run;
    std::size_t plot = 0;
    std::size_t point = 0;
    IFplot* handle = nullptr;
    bool begun = false;
};

namespace {

std::unique_ptr<IFcircuit> current;

const IFdevice* device(int32_t type)
{
    const IFsimulator& tables = fakes::descriptortables();
    return type >= 0 && type < tables.numDevices ? tables.devices[type] : nullptr;
}

const IFparm* findparm(const IFparm* parms, int32_t count, int32_t id)
{
    for (int32_t i = 0; i < count; ++i) {
        if (parms[i].id == id)
            return &parms[i];
    }
    return nullptr;
}

template <class T>
T* byname(std::deque<T>& items, IFuid name)
{
    if (!name)
        return nullptr;
    for (T& item : items) {
        if (item.name == name)
            return &item;
    }
    for (T& item : items) {
        if (mavro::sameletters(item.name, name))
            return &item;
    }
    return nullptr;
}

Node* nodenamed(IFcircuit* ckt, IFuid name)
{
    if (!name)
        return nullptr;
    for (Node& node : ckt->nodes) {
        if (node.text == name)
            return &node;
    }
    for (Node& node : ckt->nodes) {
        if (mavro::sameletters(node.text, name))
            return &node;
    }
    return nullptr;
}

Node& addnode(IFcircuit* ckt, IFuid name, int32_t number)
{
    Node& node = ckt->nodes.emplace_back();
    node.text = name ? name : "0";
    node.name = node.text.c_str();
    node.number = number;
    return node;
}

const char* nameof(const IFnode* node)
{
    return node && node->name ? node->name : "-";
}

// A value as the recorded calls show it; a string value is the engine's to free.
std::string show(const IFparm* parm, IFvalue* value)
{
    if (!parm)
        return "?";
    if (!value)
        return "null";
    const int32_t type = parm->dataType;
    if (type & IF_VECTOR) {
        std::string text = "[";
        for (int32_t i = 0; i < value->v.numValue; ++i)
            text += (i ? ", " : "") + ((type & IF_REAL) ? format("%g", value->v.vec.rVec[i]) : format("%d", value->v.vec.iVec[i]));
        return text + "]";
    }
    if (type & IF_POINTER)
        return value->pValue ? "ptr" : "null";
    switch (type & 0xFF) {
    case IF_FLAG:
    case IF_INTEGER:
        return format("%d", value->iValue);
    case IF_REAL:
        return format("%g", value->rValue);
    case IF_COMPLEX:
        return format("(%g,%g)", value->cValue.real, value->cValue.imag);
    case IF_NODE:
        return nameof(value->nValue);
    case IF_STRING: {
        std::string text = value->sValue ? format("\"%s\"", value->sValue) : "null";
        std::free(value->sValue);
        return text;
    }
    case IF_INSTANCE:
        return value->uValue ? value->uValue : "null";
    case IF_PARSETREE:
        return value->tValue ? "tree" : "null";
    default:
        return "?";
    }
}

bool ours(IFcircuit* ckt)
{
    return ckt && ckt == current.get();
}

void request(void* circuit, double time)
{
    static_cast<fakes::SpiceCircuit*>(circuit)->setbreak(time);
}

// Delivers the present run from where it stopped: plots, points, pause tests.
int deliver(IFcircuit* ckt)
{
    IFfrontEnd* frontend = spice().frontend;
    fakes::SpiceCircuit& circuit = spice().circuit;
    while (ckt->plot < ckt->run.size()) {
        const fakes::ScriptedPlot& plot = ckt->run[ckt->plot];
        if (!ckt->begun) {
            std::vector<IFuid> names;
            for (const std::string& name : plot.names) {
                Node* node = nullptr;
                for (Node& candidate : ckt->nodes)
                    node = !node && candidate.text == name ? &candidate : node;
                names.push_back(node ? node->name : ckt->names.emplace_back(name).c_str());
            }
            frontend->beginPlot(ckt, nullptr, "fake", plot.reference.c_str(), IF_REAL,
                static_cast<int32_t>(names.size()), names.data(), IF_REAL, &ckt->handle);
            ckt->begun = true;
        }
        while (ckt->point < plot.points.size()) {
            const auto& [time, values] = plot.points[ckt->point++];
            circuit.queries[QUERY_TIME] = time;
            circuit.values.assign(1, 0);
            circuit.values.insert(circuit.values.end(), values.begin(), values.end());
            int digital = frontend->digitalAccept ? frontend->digitalAccept(time, &circuit, request) : 1;
            if (digital == 0)
                return fakes::answer("digitalfailure", E_PRIVATE);
            IFvalue reference {};
            reference.rValue = time;
            IFvalue data {};
            std::vector<double> real(values);
            data.v.numValue = static_cast<int32_t>(real.size());
            data.v.vec.rVec = real.data();
            frontend->appendData(ckt->handle, &reference, &data);
            if (circuit.breakasked || digital == 3) {
                circuit.breakasked = false;
                return E_BREAK;
            }
            if (frontend->pauseTest && frontend->pauseTest())
                return E_PAUSE;
        }
        frontend->endPlot(ckt->handle);
        ckt->begun = false;
        ++ckt->plot;
        ckt->point = 0;
    }
    return 0;
}

int newCircuit(IFcircuit** ckt)
{
    record("newCircuit()");
    current = std::make_unique<IFcircuit>();
    spice().circuit = fakes::SpiceCircuit {};
    *ckt = current.get();
    return 0;
}

int deleteCircuit(IFcircuit* ckt)
{
    record("deleteCircuit()");
    if (!ours(ckt))
        return E_NOCKT;
    current.reset();
    return 0;
}

int newNode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    record(format("newNode(%s)", name ? name : "-"));
    if (!ours(ckt))
        return E_NOCKT;
    if (Node* found = nodenamed(ckt, name); found && found->text == name) {
        *node = found;
        return E_EXISTS;
    }
    *node = &addnode(ckt, name, ++spice().circuit.equations);
    spice().circuit.values.resize(static_cast<std::size_t>(spice().circuit.equations) + 1);
    return 0;
}

int groundNode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    record(format("groundNode(%s)", name ? name : "-"));
    if (!ours(ckt))
        return E_NOCKT;
    if (ckt->ground) {
        *node = ckt->ground;
        return E_EXISTS;
    }
    ckt->ground = &addnode(ckt, name, 0);
    *node = ckt->ground;
    return 0;
}

int bindNode(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode* node)
{
    record(format("bindNode(%s, %d, %s)", instance ? instance->name.c_str() : "-", terminal, nameof(node)));
    if (!ours(ckt) || !instance || !node)
        return E_NOCKT;
    const IFdevice* type = device(instance->model ? instance->model->type : -1);
    if (terminal < 1 || (type && type->terminals > 0 && terminal > type->terminals))
        return E_NOTERM;
    instance->terminals[terminal] = node;
    return fakes::answer("bindNode", 0);
}

int findNode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    record(format("findNode(%s)", name ? name : "-"));
    Node* found = ours(ckt) ? nodenamed(ckt, name) : nullptr;
    *node = found;
    return found ? 0 : E_NOTFOUND;
}

int instToNode(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode** node, IFuid* name)
{
    record(format("instToNode(%s, %d)", instance ? instance->name.c_str() : "-", terminal));
    if (!ours(ckt) || !instance || !instance->terminals.count(terminal))
        return E_NOTERM;
    *node = instance->terminals[terminal];
    if (name)
        *name = (*node)->name;
    return 0;
}

int setNodeParm(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue*)
{
    const IFsimulator& tables = fakes::descriptortables();
    const IFparm* parm = findparm(tables.nodeParms, tables.numNodeParms, id);
    record(format("setNodeParm(%s, %s=%s)", nameof(node), parm ? parm->keyword : "?", show(parm, value).c_str()));
    return ours(ckt) && parm ? 0 : E_BADPARM;
}

int askNodeQuest(IFcircuit*, IFnode* node, int32_t id, IFvalue*, IFvalue*)
{
    record(format("askNodeQuest(%s, %d)", nameof(node), id));
    return E_BADPARM;
}

int deleteNode(IFcircuit*, IFnode* node)
{
    record(format("deleteNode(%s)", nameof(node)));
    return 0;
}

int newInstance(IFcircuit* ckt, IFmodel* model, IFinstance** instance, IFuid name)
{
    record(format("newInstance(%s, %s)", model ? model->name.c_str() : "-", name ? name : "-"));
    if (!ours(ckt) || !model || !name)
        return E_NOCKT;
    if (IFinstance* found = byname(ckt->instances, name); found && found->name == name) {
        *instance = found;
        return E_EXISTS;
    }
    *instance = &ckt->instances.emplace_back(IFinstance { name, model, {}, 0 });
    return fakes::answer("newInstance", 0);
}

int setInstanceParm(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue*)
{
    const IFdevice* type = device(instance && instance->model ? instance->model->type : -1);
    const IFparm* parm = type ? findparm(type->instanceParms, type->numInstanceParms, id) : nullptr;
    record(format("setInstanceParm(%s, %s=%s)", instance ? instance->name.c_str() : "-", parm ? parm->keyword : "?",
        show(parm, value).c_str()));
    if (!ours(ckt) || !parm || !(parm->dataType & IF_SET))
        return E_BADPARM;
    return fakes::answer("setInstanceParm", 0);
}

int askInstanceQuest(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue*)
{
    const IFdevice* type = device(instance && instance->model ? instance->model->type : -1);
    const IFparm* parm = type ? findparm(type->instanceParms, type->numInstanceParms, id) : nullptr;
    record(format("askInstanceQuest(%s, %s)", instance ? instance->name.c_str() : "-", parm ? parm->keyword : "?"));
    if (!ours(ckt) || !parm || !(parm->dataType & IF_ASK))
        return E_BADPARM;
    if (std::string(parm->keyword) == "branch") {
        if (instance->branch == 0) {
            instance->branch = ++spice().circuit.equations;
            spice().circuit.values.resize(static_cast<std::size_t>(instance->branch) + 1);
        }
        value->iValue = instance->branch;
        return 0;
    }
    auto answer = spice().answers.find(instance->name + "." + parm->keyword);
    if (answer == spice().answers.end())
        return E_BADPARM;
    value->rValue = answer->second;
    return 0;
}

int findInstance(IFcircuit* ckt, int32_t* type, IFinstance** instance, IFuid name)
{
    record(format("findInstance(%s)", name ? name : "-"));
    IFinstance* found = ours(ckt) ? byname(ckt->instances, name) : nullptr;
    *instance = found;
    if (found && type)
        *type = found->model->type;
    return found ? 0 : E_NOTFOUND;
}

int deleteInstance(IFcircuit*, IFinstance* instance)
{
    record(format("deleteInstance(%s)", instance ? instance->name.c_str() : "-"));
    return 0;
}

int newModel(IFcircuit* ckt, int32_t type, IFmodel** model, IFuid name)
{
    const IFdevice* kind = device(type);
    record(format("newModel(%s, %s)", kind ? kind->name : "?", name ? name : "-"));
    if (!ours(ckt) || !name)
        return E_NOCKT;
    if (!kind)
        return E_BADTYPE;
    if (IFmodel* found = byname(ckt->models, name); found && found->name == name) {
        *model = found;
        return 0;
    }
    *model = &ckt->models.emplace_back(IFmodel { name, type });
    return fakes::answer("newModel", 0);
}

int setModelParm(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue*)
{
    const IFdevice* type = device(model ? model->type : -1);
    const IFparm* parm = type ? findparm(type->modelParms, type->numModelParms, id) : nullptr;
    record(format("setModelParm(%s, %s=%s)", model ? model->name.c_str() : "-", parm ? parm->keyword : "?",
        show(parm, value).c_str()));
    if (!ours(ckt) || !parm || !(parm->dataType & IF_SET))
        return E_BADPARM;
    return fakes::answer("setModelParm", 0);
}

int askModelQuest(IFcircuit*, IFmodel* model, int32_t id, IFvalue*, IFvalue*)
{
    record(format("askModelQuest(%s, %d)", model ? model->name.c_str() : "-", id));
    return E_BADPARM;
}

int findModel(IFcircuit* ckt, int32_t* type, IFmodel** model, IFuid name)
{
    record(format("findModel(%s)", name ? name : "-"));
    IFmodel* found = ours(ckt) ? byname(ckt->models, name) : nullptr;
    *model = found;
    if (found && type)
        *type = found->type;
    return found ? 0 : E_NOTFOUND;
}

int deleteModel(IFcircuit*, IFmodel* model)
{
    record(format("deleteModel(%s)", model ? model->name.c_str() : "-"));
    return 0;
}

int newTask(IFcircuit* ckt, IFtask** task, IFuid name)
{
    record(format("newTask(%s)", name ? name : "-"));
    if (!ours(ckt) || !name)
        return E_NOCKT;
    *task = &ckt->tasks.emplace_back(IFtask { name, {} });
    return 0;
}

int newAnalysis(IFcircuit* ckt, int32_t type, IFuid name, IFjob** job, IFtask* task)
{
    const IFsimulator& tables = fakes::descriptortables();
    const IFanalysis* kind = type >= 0 && type < tables.numAnalyses ? tables.analyses[type] : nullptr;
    record(format("newAnalysis(%s, %s)", kind ? kind->name : "?", name ? name : "-"));
    if (!ours(ckt) || !task || !name)
        return E_NOCKT;
    if (!kind)
        return E_BADTYPE;
    *job = &task->jobs.emplace_back(IFjob { name, type });
    return fakes::answer("newAnalysis", 0);
}

const IFparm* analysisparm(IFjob* job, int32_t id)
{
    const IFsimulator& tables = fakes::descriptortables();
    if (!job || job->type < 0 || job->type >= tables.numAnalyses)
        return nullptr;
    const IFanalysis* kind = tables.analyses[job->type];
    return findparm(kind->analysisParms, kind->numParms, id);
}

int setAnalysisParm(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue*)
{
    const IFparm* parm = analysisparm(job, id);
    record(format("setAnalysisParm(%s, %s=%s)", job ? job->name.c_str() : "-", parm ? parm->keyword : "?",
        show(parm, value).c_str()));
    if (!ours(ckt) || !parm || !(parm->dataType & IF_SET))
        return E_BADPARM;
    return fakes::answer("setAnalysisParm", 0);
}

int askAnalysisQuest(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue*)
{
    const IFparm* parm = analysisparm(job, id);
    record(format("askAnalysisQuest(%s, %s)", job ? job->name.c_str() : "-", parm ? parm->keyword : "?"));
    if (!ours(ckt) || !parm || !(parm->dataType & IF_ASK))
        return E_BADPARM;
    value->iValue = 0;
    return 0;
}

int findAnalysis(IFcircuit* ckt, int32_t* type, IFjob** job, IFuid name, IFtask* task)
{
    record(format("findAnalysis(%s)", name ? name : "-"));
    IFjob* found = ours(ckt) && task ? byname(task->jobs, name) : nullptr;
    *job = found;
    if (found && type)
        *type = found->type;
    return found ? 0 : E_NOTFOUND;
}

int findTask(IFcircuit* ckt, IFtask** task, IFuid name)
{
    record(format("findTask(%s)", name ? name : "-"));
    IFtask* found = ours(ckt) ? byname(ckt->tasks, name) : nullptr;
    *task = found;
    return found ? 0 : E_NOTFOUND;
}

int deleteTask(IFcircuit* ckt, IFtask* task)
{
    record(format("deleteTask(%s)", task ? task->name.c_str() : "-"));
    return ours(ckt) ? 0 : E_NOCKT;
}

int doAnalyses(IFcircuit* ckt, int restart, IFtask* task)
{
    record(format("doAnalyses(%d, %s)", restart, task ? task->name.c_str() : "-"));
    if (!ours(ckt) || !task || !spice().frontend)
        return E_NOCKT;
    IFfrontEnd* frontend = spice().frontend;
    if (restart) {
        ckt->run.clear();
        if (!spice().runs.empty()) {
            ckt->run = std::move(spice().runs.front());
            spice().runs.pop_front();
        }
        ckt->plot = ckt->point = 0;
        ckt->begun = false;
        if (frontend->digitalSetup && !frontend->digitalSetup())
            return fakes::answer("digitalfailure", E_PRIVATE);
    } else if (frontend->digitalResume) {
        frontend->digitalResume();
    }
    return deliver(ckt);
}

const char* nonconvErr(IFcircuit*)
{
    record("nonconvErr()");
    return nullptr;
}

}  // namespace

namespace fakes {

int SpiceCircuit::query(double* out, int code)
{
    auto it = queries.find(code);
    if (it == queries.end())
        return 0;
    *out = it->second;
    return 1;
}

void SpiceCircuit::suspend(IINSTANCE* owner, const char* text)
{
    record(format("suspend(%s, %s)", owner ? owner->getname() : "-", text ? text : "-"));
    breakasked = true;
}

int SpiceCircuit::setbreak(double time)
{
    record(format("setbreak(%g)", time));
    return answer("setbreak", 1);
}

Spice& spice()
{
    static Spice state;
    return state;
}

void resetspice()
{
    current.reset();
    spice() = Spice {};
}

}  // namespace fakes

extern "C" {

int siminit(IFfrontEnd* frontend, IFsimulator** descriptor)
{
    record("siminit()");
    fakes::Spice& fake = spice();
    fake.frontend = frontend;
    fake.descriptor = fakes::descriptortables();
    IFsimulator& d = fake.descriptor;
    d.newCircuit = newCircuit;
    d.deleteCircuit = deleteCircuit;
    d.newNode = newNode;
    d.groundNode = groundNode;
    d.bindNode = bindNode;
    d.findNode = findNode;
    d.instToNode = instToNode;
    d.setNodeParm = setNodeParm;
    d.askNodeQuest = askNodeQuest;
    d.deleteNode = deleteNode;
    d.newInstance = newInstance;
    d.setInstanceParm = setInstanceParm;
    d.askInstanceQuest = askInstanceQuest;
    d.findInstance = findInstance;
    d.deleteInstance = deleteInstance;
    d.newModel = newModel;
    d.setModelParm = setModelParm;
    d.askModelQuest = askModelQuest;
    d.findModel = findModel;
    d.deleteModel = deleteModel;
    d.newTask = newTask;
    d.newAnalysis = newAnalysis;
    d.setAnalysisParm = setAnalysisParm;
    d.askAnalysisQuest = askAnalysisQuest;
    d.findAnalysis = findAnalysis;
    d.findTask = findTask;
    d.deleteTask = deleteTask;
    d.doAnalyses = doAnalyses;
    d.nonconvErr = nonconvErr;
    *descriptor = &d;
    return fakes::answer("siminit", 0);
}

int spice_initialize(CIRCUIT*, ISIMLOG*, ISPICECKT** interface)
{
    record("spice_initialize()");
    if (!current)
        return E_NOCKT;
    *interface = &spice().circuit;
    return 0;
}

int spice_terminate()
{
    record("spice_terminate()");
    return 0;
}

int CKTsetBreak(IFcircuit* ckt, double time)
{
    record(format("CKTsetBreak(%g)", time));
    return ours(ckt) ? fakes::answer("CKTsetBreak", 0) : E_NOCKT;
}

int CKTsetStop(IFcircuit* ckt, double time)
{
    record(format("CKTsetStop(%g)", time));
    return ours(ckt) ? fakes::answer("CKTsetStop", 0) : E_NOCKT;
}

const char* simerrmsg(int code)
{
    auto it = spice().errors.find(code);
    return it == spice().errors.end() ? nullptr : it->second.c_str();
}

}
