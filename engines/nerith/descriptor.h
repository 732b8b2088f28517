#pragma once

#include "engines/nerith/values.h"

#include <cstdint>

// The simulator descriptor that the SPICE engine hands out (siminit), the front-end table it calls
// back through, and the result codes of both. The deck parser gets a descriptor of the same layout
// from the kernel (inpinit) and calls the engine only through it.

// Result codes. Every entry returns 0 on success.
inline constexpr int E_PAUSE = -1; // the front end's pause test asked to stop; the run can resume
inline constexpr int E_BREAK = -2; // a model or the log asked to break; the run can resume
inline constexpr int E_BADPARM = 1; // no parameter with that id
inline constexpr int E_EXISTS = 2; // already there (the ground node, a name in a table)
inline constexpr int E_NOTFOUND = 3; // no node, instance, model or analysis of that name
inline constexpr int E_NOMEM = 4; // out of memory
inline constexpr int E_BADTYPE = 5; // no device or analysis type of that index, or a value of the wrong kind
inline constexpr int E_NOTERM = 6; // no terminal of that number
inline constexpr int E_BADVALUE = 7; // a value out of range (a negative count, a break point in the past)
inline constexpr int E_NOTBUILT = 8; // a device or analysis type that is declared but not built yet
inline constexpr int E_SYNTAX = 9; // a card or expression that does not read
inline constexpr int E_NOMODEL = 10; // a card names a model that was not read
inline constexpr int E_NOCKT = 11; // no circuit, or a handle of another circuit
// Run-ending conditions, logged as warnings with help topics by the kernel.
inline constexpr int E_BADMATRIX = 101; // ill-formed matrix: a floating node or a loop of sources
inline constexpr int E_SINGULAR = 102; // singular matrix
inline constexpr int E_ITERLIM = 103; // iteration limit reached without convergence
inline constexpr int E_TIMESTEP = 106; // time step too small
// Codes from E_PRIVATE up belong to the engine; their text is simerrmsg's.
inline constexpr int E_PRIVATE = 200;

// Kinds of identifier made through the front end's newUid.
inline constexpr int32_t UID_ANALYSIS = 1;
inline constexpr int32_t UID_TASK = 2;
inline constexpr int32_t UID_INSTANCE = 3;
inline constexpr int32_t UID_MODEL = 4;
inline constexpr int32_t UID_SIGNAL = 5; // a node or a branch
inline constexpr int32_t UID_OTHER = 6;

// Flags of the front end's error entry: anything but ERR_INFO and ERR_WARNING ends the run.
inline constexpr int ERR_WARNING = 1;
inline constexpr int ERR_FATAL = 2;
inline constexpr int ERR_INFO = 8;

struct IFdevice {
    const char* name; // looked up by the kernel without regard to case
    const char* description;
    int32_t terminals; // 0: the device binds no terminals by number (OBJITF, Mutual)
    int32_t numInstanceParms;
    const IFparm* instanceParms;
    int32_t numModelParms;
    const IFparm* modelParms;
};

struct IFanalysis {
    const char* name; // compared exactly by the kernel, except "options"
    const char* description;
    int32_t numParms;
    const IFparm* analysisParms;
};

// The simulator descriptor: 40 pointer-wide slots in this order (the kernel copies all of them into
// the parser's descriptor). `select` arguments are always null. Names handed in (IFuid) need only
// live for the call: the engine copies what it keeps.
struct IFsimulator {
    const char* name; // 0
    const char* description; // 1
    const char* version; // 2
    // 3: a new, empty circuit; one circuit lives at a time.
    int (*newCircuit)(IFcircuit** ckt);
    // 4: frees the circuit and everything in it; reads no name handed in earlier.
    int (*deleteCircuit)(IFcircuit* ckt);
    // 5: a new node of that name; E_EXISTS with *node when one of that name exists.
    int (*newNode)(IFcircuit* ckt, IFnode** node, IFuid name);
    // 6: the ground node (number 0), named on its first creation; E_EXISTS with *node when it exists.
    int (*groundNode)(IFcircuit* ckt, IFnode** node, IFuid name);
    // 7: connects terminal `terminal` (from 1) of the instance to the node; E_NOTERM when the device
    // has no such terminal.
    int (*bindNode)(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode* node);
    // 8: the node of that name (exact match first, then without regard to case); E_NOTFOUND when none.
    int (*findNode)(IFcircuit* ckt, IFnode** node, IFuid name);
    // 9: the node at terminal `terminal` of the instance and its name; E_NOTERM when unbound.
    int (*instToNode)(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode** node, IFuid* name);
    // 10: sets a node parameter (slots 36, 37); E_BADPARM for an unknown id.
    int (*setNodeParm)(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue* select);
    // 11: asks a node parameter; E_BADPARM for an id that cannot be asked.
    int (*askNodeQuest)(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue* select);
    // 12: removes a node no instance uses; E_BADVALUE when one still does.
    int (*deleteNode)(IFcircuit* ckt, IFnode* node);
    // 13: a new instance of the model; E_EXISTS with *instance when the name is taken.
    int (*newInstance)(IFcircuit* ckt, IFmodel* model, IFinstance** instance, IFuid name);
    // 14: sets an instance parameter; may be called again before each run. E_BADPARM for an id the
    // device cannot set, E_BADTYPE for a value it cannot take.
    int (*setInstanceParm)(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue* select);
    // 15: asks an instance parameter (E_BADPARM for an id that cannot be asked).
    int (*askInstanceQuest)(
        IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue* select);
    // 16: the instance of that name, and its device type; E_NOTFOUND when none.
    int (*findInstance)(IFcircuit* ckt, int32_t* type, IFinstance** instance, IFuid name);
    // 17: removes an instance and its terminal bindings.
    int (*deleteInstance)(IFcircuit* ckt, IFinstance* instance);
    // 18: a new model of the device type; an existing model of that name is given back (0, or
    // E_EXISTS when it is of another type); E_BADTYPE for a type index out of range, E_NOTBUILT for
    // a type declared but not built.
    int (*newModel)(IFcircuit* ckt, int32_t type, IFmodel** model, IFuid name);
    // 19: sets a model parameter; E_BADPARM / E_BADTYPE as setInstanceParm.
    int (*setModelParm)(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue* select);
    // 20: asks a model parameter; E_BADPARM for an id that cannot be asked.
    int (*askModelQuest)(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue* select);
    // 21: the model of that name and its device type; E_NOTFOUND when none.
    int (*findModel)(IFcircuit* ckt, int32_t* type, IFmodel** model, IFuid name);
    // 22: removes a model without instances; E_BADVALUE while it has some.
    int (*deleteModel)(IFcircuit* ckt, IFmodel* model);
    // 23: a new, empty task.
    int (*newTask)(IFcircuit* ckt, IFtask** task, IFuid name);
    // 24: a new analysis of type `type` in the task; its name is the job's identifier. E_BADTYPE for
    // a type index out of range, E_NOTBUILT for a type declared but not built.
    int (*newAnalysis)(IFcircuit* ckt, int32_t type, IFuid name, IFjob** job, IFtask* task);
    // 25: sets an analysis parameter; non-zero when refused.
    int (*setAnalysisParm)(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue* select);
    // 26: asks an analysis parameter (the options job answers the run statistics, OPT_ ids).
    int (*askAnalysisQuest)(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue* select);
    // 27: the analysis of that name in the task, and its type; E_NOTFOUND when none.
    int (*findAnalysis)(IFcircuit* ckt, int32_t* type, IFjob** job, IFuid name, IFtask* task);
    // 28: the task of that name; E_NOTFOUND when none.
    int (*findTask)(IFcircuit* ckt, IFtask** task, IFuid name);
    // 29: removes the task and its analyses.
    int (*deleteTask)(IFcircuit* ckt, IFtask* task);
    // 30: runs the task's analyses (not "options") in creation order; restart 0 resumes the one the
    // pause test or a break stopped. 0 when all ran to their end, E_PAUSE, E_BREAK, or an error code.
    int (*doAnalyses)(IFcircuit* ckt, int restart, IFtask* task);
    // 31: a text naming the node or device that kept the last run from converging; null when none.
    const char* (*nonconvErr)(IFcircuit* ckt);
    int32_t numDevices; // 32
    const IFdevice** devices; // 33
    int32_t numAnalyses; // 34
    const IFanalysis** analyses; // 35
    int32_t numNodeParms; // 36
    const IFparm* nodeParms; // 37
    int32_t numSpecSigs; // 38
    const char** specSigs; // 39: names of the reference quantities plots may carry ("time", ...)
};

// The front-end table: 20 pointer-wide slots in this order, built by the kernel and handed to the
// engine and the parser at sign-on. Slots 7 to 10 are always null; 15 to 19 are null unless the
// circuit has digital parts (then they forward to pallex_setup ... pallex_accept).
struct IFfrontEnd {
    // 0: a new identifier: "#<old>#<suffix>" when `old` is given, else a copy of the suffix.
    int (*newUid)(IFcircuit* ckt, IFuid* out, IFuid old, const char* suffix, int32_t kind);
    // 1: frees an identifier made by newUid.
    int (*deleteUid)(IFcircuit* ckt, IFuid uid, int32_t kind);
    // 2: non-zero when the run must pause now; asked after every output point.
    int (*pauseTest)();
    // 3: processor time in seconds.
    double (*seconds)();
    // 4: an engine or parser message (printf-style, format null: "Unspecified Error"); flags
    // ERR_INFO, ERR_WARNING or anything else (fatal: the run ends and the call does not return).
    // Non-zero when the front end traces convergence in detail.
    int (*error)(int flags, const char* format, ...);
    // 5: starts an output plot: names are the identifiers of all solution equations 1..N in
    // equation order (data entry k is solution entry k + 1); dataType IF_REAL or IF_COMPLEX.
    int (*beginPlot)(IFcircuit* ckt, IFjob* analysis, IFuid analysisName, IFuid refName, int32_t refType,
        int32_t numNames, IFuid* names, int32_t dataType, IFplot** plot);
    // 6: one output point: the reference value (time, sweep value or frequency) and the data vector.
    int (*appendData)(IFplot* plot, IFvalue* reference, IFvalue* data);
    void (*unused7)();
    void (*unused8)();
    void (*unused9)();
    void (*unused10)();
    // 11: ends a plot.
    int (*endPlot)(IFplot* plot);
    // 12, 13: around each inner sweep of a nested sweep; `outer` is the outer sweep's value.
    int (*beginDomain)(IFplot* plot, IFuid refName, int32_t refType, IFvalue* outer);
    int (*endDomain)(IFplot* plot);
    // 14: attributes of a plot's variable; optional.
    int (*attributes)(IFplot* plot, IFuid name, int32_t param, IFvalue* value);
    // 15 to 19: the lock-step with the digital engine (engines/CONTRACT.md); null without one.
    int (*digitalSetup)();
    int (*digitalResume)();
    int (*digitalBootStep)(int first, int settle, int* changes);
    int (*digitalTimeStep)(double time, double* next);
    int (*digitalAccept)(double time, void* context, void (*request)(void* context, double time));
};
