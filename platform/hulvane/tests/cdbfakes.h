#pragma once

// Drawn objects as the schematic binds them, reduced to what the design database sees: a component
// with a reference, a value and a device, and a sub-circuit with a child module; and a canonical
// text dump of a database for comparisons.

#include "platform/hulvane/annotator.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/refname.h"

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace cdbtest {

class DEVICE : public ICDBDEVICE {
public:
    explicit DEVICE(const char* text)
        : name(text)
    {
    }
    const char* getdevicename() override { return name.c_str(); }
    int getsuffixletter() override
    {
        const size_t colon = name.rfind(':');
        return colon != std::string::npos && colon + 2 == name.size() && name[colon + 1] >= 'A'
                && name[colon + 1] <= 'Z'
            ? name[colon + 1]
            : 0;
    }
    void getprops(const char*, PROPLIST&) override { }

    std::string name;
};

// A component after the object side of binding: REF and VALUE texts, an element count (1 a plain
// part, n a packaging of n elements, 0 a device whose name fixes the letter).
class COMPONENT : public ICDBELEMENT {
public:
    COMPONENT(DEVICE* device, const char* prefix, const char* value, int elements = 1)
        : device(device)
        , prefix(prefix)
        , value(value)
        , elements(elements)
    {
        ref = defaultref();
    }

    std::string defaultref() const
    {
        if (elements == 1)
            return prefix + "?";
        const int letter = device->getsuffixletter();
        return prefix + "?:" + static_cast<char>(letter ? letter : 'A');
    }

    void bind(CDBCORE& core, SHEET* sheet) { bound = core.bindelement(sheet, &id, this); }

    void getarea(BOX& area) override { area = BOX(0, 0, 10, 10); }
    int storeelement(ELEMENT* element) override
    {
        int changed = 0;
        if (element->name != ref) {
            element->name = ref;
            changed = 1;
        }
        element->props = props;
        element->tagged = tagged;
        element->device = device;
        return changed;
    }
    int getname(char* out) override
    {
        const std::string name = bound ? partof(bound->name) : std::string();
        if (out)
            std::strcpy(out, name.c_str());
        return isannotated(name);
    }
    int storepart(PART* part) override
    {
        char name[CDBNAMESIZE];
        getname(name);
        part->name = name;
        part->device = partof(device->name);
        const int changed = part->value != value;
        part->value = value;
        return changed;
    }
    int matchespart(PART* part) override { return partof(device->name) == part->device; }
    void loadelement(ELEMENT* element) override
    {
        if (element != bound)
            return;
        ref = element->name;
        tagged = element->tagged;
        ++loads;
    }
    void loadpart(PART* part) override
    {
        if (bound && part == bound->part)
            value = part->value;
    }
    void unannotate(ELEMENT* element) override
    {
        if (element == bound)
            ref = defaultref();
        element->name = element == bound ? ref : defaultref();
    }
    void renumber(CDBRENUMBER& record) override { id = record.flag ? id + record.offset : 0; }
    int getannotinfo(char* name, int* count) override
    {
        std::strcpy(name, value.c_str());
        *count = device->getsuffixletter() ? 0 : elements;
        return 1;
    }

    DEVICE* device;
    std::string prefix;
    std::string value;
    int elements;
    std::string ref;
    std::string props;
    int tagged = 0;
    uint32_t id = 0;
    ELEMENT* bound = nullptr;
    int loads = 0;
};

class SUBCIRCUIT : public ICDBMODULE {
public:
    SUBCIRCUIT(const char* name, const char* circuit)
        : name(name)
        , circuit(circuit)
    {
    }
    void bind(CDBCORE& core, SHEET* sheet) { bound = core.bindmodule(sheet, &id, this); }
    void getarea(BOX& area) override { area = BOX(0, 0, 10, 10); }
    int storemodule(MODULE* module) override
    {
        module->name = name;
        module->circuitname = circuit;
        return 1;
    }
    void setmodule(MODULE* module) override { bound = module; }

    std::string name;
    std::string circuit;
    uint32_t id = 0;
    MODULE* bound = nullptr;
};

// One circuit drawn on a sheet: its components and sub-circuits, synchronised in list order.
struct DRAWING {
    std::vector<std::unique_ptr<COMPONENT>> components;
    std::vector<std::unique_ptr<SUBCIRCUIT>> subcircuits;

    COMPONENT* add(DEVICE* device, const char* prefix, const char* value, int elements = 1)
    {
        components.push_back(std::make_unique<COMPONENT>(device, prefix, value, elements));
        return components.back().get();
    }
    SUBCIRCUIT* addsub(const char* name, const char* circuit)
    {
        subcircuits.push_back(std::make_unique<SUBCIRCUIT>(name, circuit));
        return subcircuits.back().get();
    }
    // Synchronises the drawing with sheet in mode; what endsyncsheet answers.
    int sync(CDBCORE& core, SHEET* sheet, int mode)
    {
        core.beginsyncsheet(sheet, mode);
        for (auto& component : components)
            component->bind(core, sheet);
        for (auto& sub : subcircuits)
            sub->bind(core, sheet);
        return core.endsyncsheet(sheet);
    }
    // Selecting the sheet as the design does: synchronise, annotate what waits, load.
    void select(CDBCORE& core, SHEET* sheet, ANNOTATOR* annotator = nullptr);
    // Putting it away: synchronise in mode 0, save.
    void store(CDBCORE& core, SHEET* sheet)
    {
        sync(core, sheet, 0);
        core.savesheet(sheet, 1);
    }
    std::string refs() const
    {
        std::string text;
        for (const auto& component : components)
            text += (text.empty() ? "" : " ") + component->ref;
        return text;
    }
};

inline void DRAWING::select(CDBCORE& core, SHEET* sheet, ANNOTATOR* annotator)
{
    if (sync(core, sheet, 1) && annotator) {
        annotator->localannotate(sheet, 1, 1);
        sync(core, sheet, 2);
    }
    core.loadsheet(sheet);
}

// Every record in a fixed order, one line each.
inline std::string dump(CDBCORE& core)
{
    std::ostringstream out;
    out << "database '" << core.getname() << "' variant " << core.getvariant() << "\n";
    for (int i = 0; i < core.numboards(); ++i) {
        const BOARD* board = core.getboard(i);
        out << "board " << board->id << " '" << board->stem << "' '" << board->name << "' last "
            << board->lastsheet << " local " << board->localids
            << (board == core.currentboard() ? " current" : "") << "\n";
    }
    CDBWALKQ queue;
    for (SHEET* sheet = core.walkfirstsheet(queue, 1, 1, nullptr); sheet; sheet = core.walknextsheet(queue)) {
        out << std::string(2 * static_cast<size_t>(sheet->module ? core.getmoduledepth(sheet->module) + 1 : 0), ' ')
            << "sheet " << sheet->id << " circuit " << sheet->circuit << " '" << sheet->title << "'";
        if (sheet->module)
            out << " module '" << sheet->module->name << "':" << sheet->instance << " circuit '"
                << sheet->module->circuitname << "'";
        out << "\n";
        for (const ELEMENT* element : sheet->elements)
            out << "    element " << element->id << "/" << element->objectid << " '" << element->name
                << "' part '" << element->part->name << "' value '" << element->part->value << "' device '"
                << element->devicename << "'" << (element->tagged ? " tagged" : "")
                << (element->pending ? " pending" : "") << (element->snippet ? " clip" : "") << "\n";
    }
    out << "parts " << core.numparts() << " elements " << core.numelements() << " clips " << core.numsnippets()
        << "\n";
    return out.str();
}

} // namespace cdbtest
