#pragma once

#include "engines/nerith/descriptor.h"
#include "engines/nerith/report.h"

#include <memory>
#include <new>
#include <vector>

namespace nerith {

// The circuits newCircuit made and deleteCircuit has not freed, oldest first.
std::vector<std::unique_ptr<IFcircuit>>& circuits();
// Whether the handle is one of those circuits.
bool ours(const IFcircuit* ckt);
// Whether the task belongs to the circuit.
bool ours(const IFcircuit* ckt, const IFtask* task);

// Runs an entry, turning a failed allocation into E_NOMEM.
template <class Work> int guarded(Work work)
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return fail(E_NOMEM, "out of memory");
    }
}

// The descriptor entries, in slot order.
namespace entries {
int newCircuit(IFcircuit** ckt);
int deleteCircuit(IFcircuit* ckt);
int newNode(IFcircuit* ckt, IFnode** node, IFuid name);
int groundNode(IFcircuit* ckt, IFnode** node, IFuid name);
int bindNode(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode* node);
int findNode(IFcircuit* ckt, IFnode** node, IFuid name);
int instToNode(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode** node, IFuid* name);
int setNodeParm(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue* select);
int askNodeQuest(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue* select);
int deleteNode(IFcircuit* ckt, IFnode* node);
int newInstance(IFcircuit* ckt, IFmodel* model, IFinstance** instance, IFuid name);
int setInstanceParm(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue* select);
int askInstanceQuest(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue* select);
int findInstance(IFcircuit* ckt, int32_t* type, IFinstance** instance, IFuid name);
int deleteInstance(IFcircuit* ckt, IFinstance* instance);
int newModel(IFcircuit* ckt, int32_t type, IFmodel** model, IFuid name);
int setModelParm(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue* select);
int askModelQuest(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue* select);
int findModel(IFcircuit* ckt, int32_t* type, IFmodel** model, IFuid name);
int deleteModel(IFcircuit* ckt, IFmodel* model);
int newTask(IFcircuit* ckt, IFtask** task, IFuid name);
int newAnalysis(IFcircuit* ckt, int32_t type, IFuid name, IFjob** job, IFtask* task);
int setAnalysisParm(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue* select);
int askAnalysisQuest(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue* select);
int findAnalysis(IFcircuit* ckt, int32_t* type, IFjob** job, IFuid name, IFtask* task);
int findTask(IFcircuit* ckt, IFtask** task, IFuid name);
int deleteTask(IFcircuit* ckt, IFtask* task);
int doAnalyses(IFcircuit* ckt, int restart, IFtask* task);
const char* nonconvErr(IFcircuit* ckt);
// DCtran: the transient of the task doAnalyses ran last (else the first task that has one).
int runtransient(IFcircuit* ckt, int restart);
} // namespace entries

// The node parameters (descriptor slots 36, 37).
inline constexpr int32_t NODE_IC = 1;
inline constexpr int32_t NODE_NODESET = 2;

} // namespace nerith
