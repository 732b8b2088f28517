#include "simulator/kernel/analysis.h"

#include "core/files/pathopen.h"
#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "core/text/values.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/analyses.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runlimits.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/report.h"
#include "platform/hulvane/results/resultsname.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

std::string simtype = "TRANSIENT";

// SIMTYPE values and the SPICE analysis each selects.
const struct {
    const char* simtype;
    const char* spicename;
} simtypes[] = { { "TRANSIENT", "TRAN" }, { "FREQUENCY", "AC" }, { "TRANSFER", "DC" }, { "NOISE", "NOISE" },
    { "DISTORTION", "DISTO" }, { "OP", "OP" }, { "DCSWEEP", "OP" }, { "ACSWEEP", "AC" } };

// The analyses a SPICE engine of this kind offers; one the engine lacks is not built yet.
const char* const spiceanalyses[] = { "TRAN", "AC", "DC", "NOISE", "DISTO", "OP" };

[[noreturn]] void notsupported(const char* name)
{
    simfatal("The %s analysis is not supported by the engine yet.", name);
}

bool knownanalysis(const char* name)
{
    for (const char* known : spiceanalyses)
        if (strcmp(known, name) == 0)
            return true;
    return false;
}

// Sets each parameter of `analysis` whose keyword is a property of the circuit.
void setparameters(CIRCUIT* circuit, const IFanalysis* analysis, IFjob* job, const char* owner, bool tracing)
{
    for (int32_t i = 0; analysis && i < analysis->numParms; ++i) {
        const IFparm& parameter = analysis->analysisParms[i];
        const char* text = circuit->getproperty(parameter.keyword);
        IFvalue value {};
        if (!text || !parsespicevalue(circuit, owner, &parameter, text, &value))
            continue;
        if (spicesimulator->setAnalysisParm(circuit->spice, job, parameter.id, &value, nullptr) != 0) {
            if (strcmp(owner, "OPTIONS") == 0)
                TRACE_OPTIONS.warning("Failed to set OPTION %s to %s.", parameter.keyword, text);
            else
                TRACE_OPTIONS.warning("Failed to set analysis parameter %s", parameter.keyword);
        } else if (tracing) {
            fprintf(modulestdout(), "%s = %s\n", parameter.keyword, text);
        }
    }
}

// The engine's "options" pseudo-analysis type.
const IFanalysis* optionstype()
{
    for (int32_t i = 0; spicesimulator && i < spicesimulator->numAnalyses; ++i)
        if (strcasecmp(spicesimulator->analyses[i]->name, "options") == 0)
            return spicesimulator->analyses[i];
    return nullptr;
}

// A results file that cannot be opened or written loses results: the run's log says so.
void logresultserror(const char* text)
{
    simerror("%s", text);
}

// One field of a parameter text: a double-quoted string or the text up to a comma.
bool readfield(const char* text, char* field, int size)
{
    char* p = const_cast<char*>(text);
    getnzstr(&p, field, ",", size - 1);
    return field[0] != 0;
}

}  // namespace

ANALYSIS::ANALYSIS(const char* analysisname, CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : circuit(owner)
    , task(spicetask)
    , options(optionsjob)
{
    strnzcpy(name, analysisname, ANALYSISNAMESIZE - 1);
    bool fits = strlen(analysisname) < ANALYSISNAMESIZE;
    int32_t index = -1;
    for (int32_t i = 0; fits && spicesimulator && i < spicesimulator->numAnalyses; ++i) {
        if (strcmp(spicesimulator->analyses[i]->name, name) == 0) {
            index = i;
            type = spicesimulator->analyses[i];
            DEBUG_ANALYSE.trace("Selected %s", type->description);
            break;
        }
    }
    if (!type && fits && knownanalysis(name))
        notsupported(name);
    if (!type)
        simfatal("Invalid analysis type %s!", analysisname);
    int result = spicesimulator->newAnalysis(circuit->spice, index, name, &job, task);
    if (result == E_NOTBUILT)
        notsupported(name);
    if (result != 0)
        simfatal("Failed to create analysis %s", name);
    // Only an analysis that was made becomes current: the log reads its time.
    currentanalysis = this;
}

ANALYSIS::~ANALYSIS()
{
    if (currentanalysis == this)
        currentanalysis = nullptr;
}

void ANALYSIS::setupresults(DPA* moddata, DIDX* index)
{
    const char* text = circuit->getproperty("SIMTYPE");
    simtype = text ? text : "";
    setresultserrorhook(logresultserror);
    const char* partitionname = circuit->getproperty("PARTITION");
    partition = nullptr;
    if (partitionname && *partitionname)
        partition = resultspartition(index, partitionname, "the design");
    if (!partition)
        simfatal("No results partition specified.");
    for (SDF_COMPONENT* part : circuit->parts)
        static_cast<COMPONENT*>(part)->bindmoddata(moddata, index);
    partitions = index;
    limitbytes = resultslimit();
    limitreached = 0;
}

int ANALYSIS::setup(const char*)
{
    plotbegun = runopen = datawritten = runended = plotended = 0;
    lastpercent = -1;
    lasttick = 0;
    return 0;
}

void ANALYSIS::setoptions(double)
{
    bool tracing = TRACE_OPTIONS.trace("SPICE options...") != 0;
    setparameters(circuit, optionstype(), options, "OPTIONS", tracing);
    tracing = TRACE_OPTIONS.trace("Analysis options...") != 0;
    setparameters(circuit, type, job, "ANALYSIS", tracing);
}

void ANALYSIS::setparam(const char* keyword, IFvalue* value)
{
    for (int32_t i = 0; type && i < type->numParms; ++i) {
        if (strcmp(type->analysisParms[i].keyword, keyword) == 0) {
            spicesimulator->setAnalysisParm(circuit->spice, job, type->analysisParms[i].id, value, nullptr);
            return;
        }
    }
}

int ANALYSIS::run(int restart)
{
    return spicesimulator->doAnalyses(circuit->spice, restart, task);
}

void ANALYSIS::finish() { }

int ANALYSIS::beginplot(IFcircuit*, IFjob*, int32_t count, IFuid* names, int32_t type)
{
    DEBUG_ANALYSE.trace("%s - beginplot (%d nodes)", name, count);
    probes.count = 0;
    for (SDF_COMPONENT* part : circuit->parts) {
        auto* component = static_cast<COMPONENT*>(part);
        if (component->joinplot(names, count, type))
            probes.add(component);
    }
    datatype = type;
    beginrun();
    plotbegun = 1;
    return 0;
}

int ANALYSIS::beginrun()
{
    for (int i = 0; partitions && i < partitions->count; ++i)
        reinterpret_cast<PARTITION*>(partitions->items[i])->beginrun();
    runopen = 1;
    runended = 0;
    return 0;
}

int ANALYSIS::writedata(IFvalue* reference, IFvalue* data)
{
    if (datatype == IF_REAL)
        pallex_writedata(reference->rValue, nullptr);
    for (COMPONENT* probe : probes) {
        if (datatype == IF_REAL)
            probe->writereal(reference->rValue, data->v.vec.rVec, data->v.numValue);
        else if (datatype == IF_COMPLEX)
            probe->writecomplex(reference->rValue, data->v.vec.cVec, data->v.numValue);
        else
            simfatal("Unrecognized data type %d in writedata.", datatype);
    }
    datawritten = 1;
    checkresultslimit();
    return 0;
}

void ANALYSIS::checkresultslimit()
{
    int64_t total = 0;
    for (int i = 0; partitions && i < partitions->count; ++i)
        total += reinterpret_cast<PARTITION*>(partitions->items[i])->appended;
    if (limitreached || total <= limitbytes)
        return;
    limitreached = 1;
    simwarning("The simulation results reached the limit of %lld KB set for them: the simulation stops here.",
        static_cast<long long>(limitbytes / 1024));
    simabort = 1;
}

int ANALYSIS::endrun()
{
    if (!runended) {
        for (int i = 0; partitions && i < partitions->count; ++i)
            reinterpret_cast<PARTITION*>(partitions->items[i])->endrun();
    }
    runended = 1;
    return 0;
}

int ANALYSIS::endplot()
{
    DEBUG_ANALYSE.trace("%s - endplot", name);
    plotended = 1;
    endrun();
    return 0;
}

int ANALYSIS::gettime(double*)
{
    return 0;
}

ANALYSIS* createanalysis(CIRCUIT* circuit, IFtask* task, IFjob* options)
{
    if (const char* analysis = circuit->getproperty("ANALYSIS"))
        return new ANALYSIS(analysis, circuit, task, options);
    const char* selected = circuit->getproperty("SIMTYPE");
    for (const auto& entry : simtypes) {
        if (!selected || strcasecmp(selected, entry.simtype) != 0)
            continue;
        if (strcmp(entry.simtype, "TRANSIENT") == 0)
            return new TRANSIENT(entry.spicename, circuit, task, options);
        if (strcmp(entry.simtype, "NOISE") == 0)
            return new NOISE(circuit, task, options);
        if (strcmp(entry.simtype, "OP") == 0)
            return new DCOP(circuit, task, options);
        if (strcmp(entry.simtype, "DCSWEEP") == 0)
            return new DCSWEEP(circuit, task, options);
        return new ANALYSIS(entry.spicename, circuit, task, options);
    }
    simfatal("No ANALYSIS type specified.");
}

PARTITION* resultspartition(DIDX* index, const char* name, const char* owner)
{
    auto* found = reinterpret_cast<PARTITION*>((*index)[name]);
    if (found)
        return found;
    if (resultsfilepath(name).empty()) {
        simwarning(
            "The results partition '%s' of %s is refused: it must name a file inside the results folder.",
            name, owner);
        return nullptr;
    }
    found = new PARTITION(name);
    // The host reads an interactive run's results while the run writes them.
    found->live = interactiverun;
    if (!found->open(PARTITION::MODE_UPDATE)) {
        delete found;
        return nullptr;
    }
    index->add(found->name, found);
    return found;
}

bool parsespicevalue(CIRCUIT* circuit, const char* owner, const IFparm* parameter, const char* text, IFvalue* out)
{
    if (!text || !(parameter->dataType & IF_SET))
        return false;
    const char* keyword = parameter->keyword;
    char* p = const_cast<char*>(text);
    char field[4096];
    switch (parameter->dataType & 0x80FF) {
    case IF_FLAG: {
        int flag = 0;
        if (!getbool(&p, &flag)) {
            simwarning("Boolean value expected for property %s of %s", keyword, owner);
            return false;
        }
        out->iValue = flag;
        return true;
    }
    case IF_INTEGER: {
        int32_t number = 0;
        if (!getsint(&p, &number)) {
            simwarning("Integer value expected for property %s of %s", keyword, owner);
            return false;
        }
        out->iValue = number;
        return true;
    }
    case IF_REAL:
        return circuit->evalproperty(keyword, owner, text, &out->rValue, 0);
    case IF_NODE: {
        if (!readfield(text, field, sizeof field)) {
            simwarning("Net name expected for property %s of %s", keyword, owner);
            return false;
        }
        char* net = static_cast<char*>(circuit->nets[field]);
        if (!net) {
            simwarning("Net name %s not found for property %s of %s", field, keyword, owner);
            return false;
        }
        if (spicesimulator->findNode(circuit->spice, &out->nValue, net) != 0) {
            simwarning("Net name %s not found by SPICE for property %s of %s", field, keyword, owner);
            return false;
        }
        return true;
    }
    case IF_STRING:
        if (!readfield(text, field, sizeof field)) {
            simwarning("String value expected for property %s of %s", keyword, owner);
            return false;
        }
        out->sValue = strdup(field);
        return true;
    case IF_INSTANCE: {
        if (!readfield(text, field, sizeof field)) {
            simwarning("Component name expected for property %s of %s", keyword, owner);
            return false;
        }
        COMPONENT* part = circuit->findcomponent(field);
        if (!part) {
            simwarning("Component name %s not found for property %s of %s", field, keyword, owner);
            return false;
        }
        out->uValue = part->name;
        return true;
    }
    default:
        simfatal("Value type %d not supported in property %s of %s!", parameter->dataType & 0x80FF, keyword, owner);
    }
}

const char* simtypetext()
{
    return simtype.c_str();
}
