#include "simulator/models/parts/spicecpt.h"

#include "core/files/pathopen.h"
#include "core/text/ascii.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/models/spice/spiceparams.h"

#include "core/text/format.h"
#include "platform/hulvane/results/partition.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr unsigned WATCHHEADERCOLOUR = 0x400000;
constexpr unsigned WATCHLABELCOLOUR = 0;
constexpr unsigned WATCHVALUECOLOUR = 0x4000;

} // namespace

SPICECPT::SPICECPT(
    const char* partname, PRIMITIVE* primitive, const SDF_MODEL* modelrecord, const PROPLIST* list)
    : INSTANCE(partname, primitive, nullptr, list)
    , model(modelrecord)
{
}

int SPICECPT::isanalogpin(SDF_PIN*)
{
    return 1;
}

void SPICECPT::bindmodel(INPtables* table, IFcircuit* circuit)
{
    if (!circuit || !spicesimulator || !row)
        return;
    spice = circuit;
    modelname.clear();
    spicemodel = nullptr;
    if (const char* text = getstrval("SPICEMODEL", nullptr)) {
        // The parser keeps its models under lower-case names; the part's own text names the model.
        std::string key(text, strcspn(text, ","));
        for (char& c : key)
            c = static_cast<char>(asciilower(c));
        INPmodel* parsed = nullptr;
        char* error = INPgetMod(circuit, key.data(), &parsed, table);
        if (!error && parsed && parsed->model) {
            modelname = text;
            spicemodel = parsed->model;
        } else {
            warning("[SPICE] - %s", error ? error : "no model");
        }
        INPfree(error);
    }
    if (modelname.empty()) {
        modelname = model ? model->name : row->name;
        for (int i = 0; i < properties.count && modelname != name; ++i) {
            const char* key = static_cast<const char*>(properties.items[i]);
            if (findmodelparm(row->device, key, 0))
                modelname = name; // a model of its own
        }
        if (!makemodel(circuit))
            return;
    }
    makeinstance(circuit);
}

bool SPICECPT::makemodel(IFcircuit* circuit)
{
    int result = spicesimulator->newModel(circuit, row->spiceindex, &spicemodel, modelname.c_str());
    if (result == 0)
        return true;
    error(result == E_EXISTS ? "SPICE model %s belongs to another device type than %s."
                             : "The SPICE engine made no model %s of type %s.",
        modelname.c_str(), row->spicetype ? row->spicetype : "-");
    spicemodel = nullptr;
    return false;
}

bool SPICECPT::makeinstance(IFcircuit* circuit)
{
    DEBUG_BUILD.trace("Assigned model %s for %s", modelname.c_str(), name);
    if (spicesimulator->newInstance(circuit, spicemodel, &spiceinstance, name) != 0 || !spiceinstance) {
        error("The SPICE engine made no %s instance.", row->spicetype ? row->spicetype : "-");
        spiceinstance = nullptr;
        return false;
    }
    bindpins(circuit);
    return true;
}

void SPICECPT::bindpins(IFcircuit* circuit)
{
    int32_t terminals = row && row->device ? row->device->terminals : 0;
    for (int i = 0; i < analogpins.count && i < terminals; ++i) {
        PININFO* info = analogpins.ptr(i);
        const char* net = info->pin->net ? info->pin->net : "";
        IFnode* node = nullptr;
        if (spicesimulator->findNode(circuit, &node, net) != 0 || !node) {
            warning("Node {N:%s} not found whilst binding pin %s.", net, info->pin->name);
            continue;
        }
        auto terminal = static_cast<int32_t>(strtol(info->pin->name, nullptr, 10));
        if (spicesimulator->bindNode(circuit, spiceinstance, terminal, node) != 0) {
            warning("Failed to bind pin %s.", info->pin->name);
            continue;
        }
        info->node = node->number;
    }
}

bool SPICECPT::setparameter(const IFparm& parameter, const char* text, const char* owner, bool instance)
{
    IFvalue value {};
    if (!parsespicevalue(circuit, owner, &parameter, text, &value))
        return false;
    if (instance)
        spicesimulator->setInstanceParm(spice, spiceinstance, parameter.id, &value, nullptr);
    else
        spicesimulator->setModelParm(spice, spicemodel, parameter.id, &value, nullptr);
    if (DEBUG_LOAD.level >= 2)
        fprintf(modulestdout(), "%s = %s\n", parameter.keyword, text);
    return true;
}

void SPICECPT::setmodelparameters(const PROPLIST& list)
{
    DEBUG_LOAD.trace("Model Parameters for %s...", modelname.c_str());
    const IFdevice* device = row->device;
    for (int32_t i = 0; i < device->numModelParms; ++i) {
        const IFparm& parameter = device->modelParms[i];
        if (const char* text = list[parameter.keyword])
            setparameter(parameter, text, modelname.c_str(), false);
    }
}

void SPICECPT::initialise(CIRCUIT* owner, void* models)
{
    if (!readparameters(owner, models) || !row->valuekeyword)
        return;
    const IFparm* parameter = findinstanceparm(row->device, row->valuekeyword, 0);
    if (!parameter || !setparameter(*parameter, getvalue(), name, true))
        warning("Value expected for %s", name);
}

bool SPICECPT::readparameters(CIRCUIT* owner, void* models)
{
    INSTANCE::initialise(owner, models);
    if (!spiceinstance || !circuit)
        return false;
    auto* done = static_cast<DIDX*>(models);
    if (spicemodel && !(done && (*done)[modelname.c_str()])) {
        if (row->modelflag)
            setmodelparameters(PROPLIST(row->modelflag));
        if (model)
            setmodelparameters(model->properties);
        if (modelname == name)
            setmodelparameters(properties);
        if (done)
            done->add(modelname.c_str(), const_cast<char*>(modelname.c_str()));
    }

    DEBUG_LOAD.trace("Instance Parameters for %s...", name);
    const IFdevice* device = row->device;
    for (int32_t i = 0; i < device->numInstanceParms; ++i) {
        const IFparm& parameter = device->instanceParms[i];
        // Expressions are no property text: the parts that have them build them.
        if ((parameter.dataType & 0xFF) == IF_PARSETREE)
            continue;
        if (const char* text = properties[parameter.keyword])
            setparameter(parameter, text, name, true);
    }
    return true;
}

bool SPICECPT::askparam(const char* keyword, IFcircuit* circuit, double* result)
{
    const IFparm* parameter = findinstanceparm(row ? row->device : nullptr, keyword, IF_ASK);
    if (!parameter || !spiceinstance || !spicesimulator)
        return false;
    IFvalue value {};
    if (spicesimulator->askInstanceQuest(circuit, spiceinstance, parameter->id, &value, nullptr) != 0)
        return false;
    switch (parameter->dataType & 0xFF) {
    case IF_REAL:
        *result = value.rValue;
        return true;
    case IF_INTEGER:
    case IF_FLAG:
        *result = value.iValue;
        return true;
    default:
        return false;
    }
}

int32_t SPICECPT::getbranch(IFcircuit* circuit, const char*)
{
    double branch = 0;
    return askparam("branch", circuit, &branch) ? static_cast<int32_t>(branch) : 0;
}

void SPICECPT::watchparameters(IFcircuit* circuit, PARTITION* partition)
{
    if (!row || !row->watch)
        return;
    partition->recordprintf("\n{C=%X,U}INSTANCE PARAMETERS{U}\n{H}\n", WATCHHEADERCOLOUR);
    const char* semicolon = strchr(row->watch, ';');
    std::string entries = semicolon ? semicolon + 1 : row->watch;
    for (size_t start = 0; start < entries.size();) {
        size_t end = std::min(entries.find(',', start), entries.size());
        std::string entry = entries.substr(start, end - start);
        start = end + 1;
        bool negate = !entry.empty() && entry[0] == '-';
        if (negate)
            entry.erase(0, 1);
        size_t equals = entry.find('=');
        std::string keyword = entry.substr(0, equals);
        double value;
        if (keyword.empty() || !askparam(keyword.c_str(), circuit, &value))
            continue;
        char first = static_cast<char>(asciilower(keyword[0]));
        std::string label;
        if (equals != std::string::npos)
            label = entry.substr(equals + 1);
        else if (keyword == "i" || keyword == "p")
            label = keyword == "i" ? "Current" : "Power";
        else
            for (char c : keyword)
                label += static_cast<char>(asciiupper(c));
        const char* unit = first == 'c' ? "F" : first == 'i' ? "A" : first == 'p' ? "W" : "";
        partition->recordprintf("{C=%X}%s\t=  {C=%X}%s%s\n", WATCHLABELCOLOUR, label.c_str(),
            WATCHVALUECOLOUR, fmtval(negate ? -value : value, 4, 0, nullptr), unit);
    }
}
