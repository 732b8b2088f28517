// The component factory: every part line of the netlist becomes one component of the class its
// primitive row names.
#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstring>
#include <string>
#include <strings.h>

namespace {

bool equal(const char* text, const char* word)
{
    return text && strcasecmp(text, word) == 0;
}

// The type name of a part: after the first ',' of PRIMITIVE, else PRIMTYPE, else the device name.
std::string typename_(const PROPLIST* list, const char* device)
{
    char* primitive = list ? (*list)["PRIMITIVE"] : nullptr;
    if (primitive && skippast(&primitive, ','))
        return primitive;
    if (const char* primtype = list ? (*list)["PRIMTYPE"] : nullptr)
        return primtype;
    return device ? device : "";
}

// The row of a part of that type; an unknown type is fatal.
PRIMITIVE* choserow(const char* name, const PROPLIST* list, const std::string& type)
{
    const char* primitive = list ? (*list)["PRIMITIVE"] : nullptr;
    if (!primitive || equal(primitive, "DUMMY"))
        return &ROW_DUMMY;
    if (equal(primitive, "POWER"))
        return &ROW_POWER;
    if ((*list)["SCRIPT"])
        return &ROW_SCRIPT;
    if ((*list)["MODDLL"])
        return &ROW_EXTMODEL;
    if (equal(primitive, "DIGITAL") && !equal(type.c_str(), "RTDSTATE") && !equal(type.c_str(), "RTDPROBE")
        && !equal(type.c_str(), "RTDBREAK"))
        return &ROW_DIGITAL;
    PRIMITIVE* row = findprimitive(type.c_str());
    if (!row)
        simfatal("%s - device type '%s' not recognized!", name, type.c_str());
    return row;
}

// The netlist model the part names (VALUE for a power interface, else MODEL), typed by the row.
const SDF_MODEL* chosemodel(
    const CIRCUIT& circuit, const char* name, const PROPLIST* list, const PRIMITIVE* row)
{
    const char* modelname = list ? (*list)[row->kind == KIND_PWRITF ? "VALUE" : "MODEL"] : nullptr;
    // An empty text, "?" or "[NULL]" names no model.
    if (!modelname || !*modelname || strcmp(modelname, "?") == 0 || strcasecmp(modelname, "[NULL]") == 0)
        return nullptr;
    // The index holds model names cut to the length it stores.
    char key[MODELNAMESIZE];
    strnzcpy(key, modelname, MODELNAMESIZE - 1);
    SDF_MODEL* model = circuit.models[key];
    if (!model) {
        simwarning("Model %s specified but not found in %s.", modelname, name);
        return nullptr;
    }
    const char* type = model->properties["TYPE"];
    if (!type)
        model->properties.add("TYPE", row->name);
    else if (strcmp(type, row->name) != 0)
        simwarning("Model %s assigned to differing device types %s and %s.", modelname, type, row->name);
    return model;
}

// The script of that name: the first word of a script's header is its kind (at most 15
// characters), the rest after blanks its name, compared without regard to case.
const SDF_SCRIPT* findscript(const CIRCUIT& circuit, const char* scriptname, std::string* kind)
{
    for (const SDF_SCRIPT* script : circuit.scripts) {
        const char* header = script->name;
        size_t word = strcspn(header, " \t");
        const char* rest = header + word;
        while (*rest == ' ' || *rest == '\t')
            ++rest;
        if (strcasecmp(rest, scriptname) == 0) {
            kind->assign(header, word < 15 ? word : 15);
            return script;
        }
    }
    return nullptr;
}

} // namespace

SDF_MODEL* CIRCUIT::addmodel(const char* name, const PROPLIST* list)
{
    SDF_MODEL* model = SDF_NETLIST::addmodel(name, list);
    if (!model)
        simwarning("Model %s is defined more than once; the first one is kept.", name);
    return model;
}

SDF_COMPONENT* CIRCUIT::addcomponent(const char* name, const char* device, const PROPLIST* list)
{
    return createcomponent(name, device, list);
}

COMPONENT* CIRCUIT::createcomponent(const char* name, const char* device, const PROPLIST* list)
{
    char partname[PARTNAMESIZE];
    strnzcpy(partname, name, PARTNAMESIZE - 1);
    if (findpart(partname)) {
        simwarning("Part {P:%s} is listed more than once; the first one is kept.", partname);
        return nullptr;
    }
    std::string type = typename_(list, device);
    PRIMITIVE* row = choserow(partname, list, type);
    const SDF_MODEL* model = chosemodel(*this, partname, list, row);

    // The parts whose making needs more than the row: digital ones by their type, model-library
    // and script models, parts without a model; every other kind comes from the catalog.
    COMPONENT* part = nullptr;
    switch (row->kind) {
    case KIND_PALLEXCPT:
    case KIND_DIGITALPART:
    case KIND_EXTMODEL:
        part = maketypedmodel(partname, row, type.c_str(), model, list);
        break;
    case KIND_SCRIPTMODEL:
        part = createscriptmodel(partname, list ? (*list)["SCRIPT"] : nullptr, model, list);
        break;
    case KIND_DUMMY:
        part = new DUMMY(partname, row, nullptr, list);
        // No SPICE model is linked for a part without a model.
        for (const char* key : { "SPICEMODEL", "SPICEFILE", "SPICELIB" })
            part->setproperty(key, nullptr);
        break;
    default:
        part = makemodel(partname, row, model, list);
        break;
    }
    if (part)
        registerpart(part);
    return part;
}

void CIRCUIT::registerpart(COMPONENT* part)
{
    if (part->isanalogpin(nullptr))
        analog = 1;
    if (part->isdigitalpin(nullptr) && !digital) {
        pallex_initialize(this, &pallexcircuit);
        digital = 1;
    }
    bool dual = part->isdualpin(nullptr) != 0;
    if (part->isanalogpin(nullptr) || dual)
        analogparts.add(part);
    if (part->isdigitalpin(nullptr) || dual)
        digitalparts.add(part);
    parts.add(part);
}

COMPONENT* CIRCUIT::createscriptmodel(
    const char* name, const char* scriptname, const SDF_MODEL* model, const PROPLIST* list)
{
    std::string kind;
    const SDF_SCRIPT* script = scriptname && *scriptname ? findscript(*this, scriptname, &kind) : nullptr;
    auto make = [&](const char* partname) {
        return maketypedmodel(partname, &ROW_SCRIPT, script ? script->name : nullptr, model, list);
    };
    if (!script || strcasecmp(kind.c_str(), "PROGRAM") == 0)
        return make(name);
    if (strcasecmp(kind.c_str(), "GENERATOR") != 0)
        return nullptr;

    // One script model serves every part that names the same generator script.
    const char* cut = strrchr(name, '_');
    std::string sharedname
        = std::string(name, cut ? static_cast<size_t>(cut - name + 1) : 0) + scriptname + "#SCRIPT";
    sharedname.resize(std::min<size_t>(sharedname.size(), PARTNAMESIZE - 1));
    COMPONENT* shared = findcomponent(sharedname.c_str());
    COMPONENT* made = nullptr;
    if (!shared) {
        made = make(sharedname.c_str());
        shared = made;
    } else if (list) {
        for (int i = 0; i < list->count; ++i) {
            const char* key = static_cast<const char*>(list->items[i]);
            const char* value = key + strlen(key) + 1;
            if (strcmp(key, "EID") == 0 || strcasecmp(key, "VALUE") == 0)
                continue;
            const char* present = shared->getproperty(key);
            if (!present)
                shared->setproperty(key, value);
            else if (strcmp(present, value) != 0)
                simwarning("Multiple values for property '%s' for script '%s'", key, scriptname);
        }
    }
    parts.add(new SCRIPTDUMMY(name, &ROW_DUMMY, list, shared));
    return made;
}
