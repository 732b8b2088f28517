#include "platform/hulvane/annotator.h"

#include "core/text/strutil.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/refname.h"

#include <algorithm>

namespace {

constexpr int MOSTLETTERS = 26;

std::string openkey(const std::string& prefix, const std::string& name)
{
    return upperkey(prefix) + '\n' + upperkey(name);
}

int capacityof(int elements)
{
    return elements == 0 ? MOSTLETTERS : std::min(elements, MOSTLETTERS);
}

} // namespace

void ANNOTATOR::initialize(const char* text, SHEET* sheet)
{
    prefix = text ? text : "";
    counts.clear();
    open.clear();
    if (sheet && sheet->core)
        collect(sheet->core, sheet);
}

void ANNOTATOR::collect(CDBCORE* core, const SHEET* sheet)
{
    const uint32_t scope = core->scopeof(sheet);
    for (const auto& [id, part] : core->parts) {
        REFNAME ref;
        if (part->scope != scope || !core->isindexed(part.get()) || !parseref(part->name, ref))
            continue;
        int capacity = 1;
        for (const ELEMENT* element : part->elements)
            capacity = std::max(capacity, capacityof(element->annotcount));
        use(ref.prefix, ref.number, part->value, -1, capacity);
        for (const ELEMENT* element : part->elements) {
            REFNAME place;
            if (parseref(element->name, place) && place.letter >= 0)
                use(ref.prefix, ref.number, part->value, place.letter, capacity);
        }
    }
}

void ANNOTATOR::use(const std::string& text, int number, const std::string& name, int letter, int capacity)
{
    COUNT& count = counts[upperkey(text)];
    count.used.insert(number);
    count.highest = std::max(count.highest, number);
    if (capacity < 2)
        return;
    auto& parts = open[openkey(text, name)];
    OPENPART& part = parts.try_emplace(number, OPENPART { capacity, 0 }).first->second;
    if (letter >= 0)
        part.used |= uint32_t { 1 } << letter;
    if (part.used == (uint32_t { 1 } << part.capacity) - 1)
        parts.erase(number);
}

int ANNOTATOR::freenumber(const std::string& text, int mode, int start)
{
    COUNT& count = counts[upperkey(text)];
    if (mode == PASTED)
        return std::max(count.highest + 1, start);
    int& cursor = count.cursor.try_emplace(start, start).first->second;
    for (auto at = count.used.lower_bound(cursor); at != count.used.end() && *at == cursor; ++at)
        ++cursor;
    return cursor;
}

std::string ANNOTATOR::assign(const std::string& text, int letter, const std::string& name, int elements,
    int mode, int start)
{
    if (elements != 1) {
        const int capacity = capacityof(elements);
        auto& parts = open[openkey(text, name)];
        const int fixed = elements == 0 ? std::max(letter, 0) : -1;
        for (auto& [number, part] : parts) {
            int free = fixed;
            if (free < 0)
                for (free = 0; free < part.capacity && part.used >> free & 1; ++free)
                    ;
            if (free < part.capacity && !(part.used >> free & 1) && (elements == 0 || part.capacity == capacity)) {
                // use() may close the part: take what it needs first.
                const int found = number;
                use(text, found, name, free, part.capacity);
                return formatref(text, found, free);
            }
        }
        const int number = freenumber(text, mode, start);
        const int first = std::max(fixed, 0);
        use(text, number, name, first, capacity);
        return formatref(text, number, first);
    }
    const int number = freenumber(text, mode, start);
    use(text, number, name, -1, 1);
    return formatref(text, number, letter);
}

void ANNOTATOR::process(char* reference, const char* name, int elements, int mode)
{
    REFNAME ref;
    if (!reference || !parseref(reference, ref))
        return;
    if (!prefix.empty())
        ref.prefix = prefix;
    const std::string value = name ? name : "";
    if (ref.number >= 0 && mode != TOTAL) {
        use(ref.prefix, ref.number, value, ref.letter, elements == 1 ? 1 : capacityof(elements));
        return;
    }
    const std::string result = assign(ref.prefix, ref.letter, value, elements, mode, 1);
    strnzcpy(reference, result.c_str(), CDBNAMESIZE - 1);
}

int ANNOTATOR::nextfreename(char* out, int size)
{
    if (prefix.empty() || !out || size < 1)
        return 0;
    const int number = freenumber(prefix, INCREMENTAL, 1);
    strnzcpy(out, formatref(prefix, number, 0).c_str(), size - 1);
    return 1;
}

void ANNOTATOR::localannotate(SHEET* sheet, int mode, int start)
{
    if (!sheet || !sheet->core)
        return;
    std::vector<ELEMENT*> elements(sheet->elements);
    annotate(sheet->core, sheet, elements, mode, start);
}

void ANNOTATOR::globalannotate(MODULE* module, int mode, int start)
{
    CDBCORE* core = module && !module->sheets.empty() ? module->sheets.front()->core : getcdb();
    if (!core)
        return;
    std::vector<ELEMENT*> elements;
    CDBWALKQ queue;
    for (SHEET* sheet = core->walkfirstsheet(queue, 0, 1, module); sheet; sheet = core->walknextsheet(queue))
        elements.insert(elements.end(), sheet->elements.begin(), sheet->elements.end());
    // Boards that count their references alone are annotated each on its own.
    std::map<uint32_t, std::vector<ELEMENT*>> byscope;
    for (ELEMENT* element : elements)
        byscope[core->scopeof(element->sheet)].push_back(element);
    for (auto& [scope, group] : byscope)
        annotate(core, group.front()->sheet, group, mode, start);
}

void ANNOTATOR::annotate(CDBCORE* core, SHEET* first, std::vector<ELEMENT*>& elements, int mode, int start)
{
    REFNAME ref;
    std::erase_if(elements, [&](const ELEMENT* element) {
        return !element->annotatable || element->annotname.starts_with('[') || !parseref(element->name, ref)
            || (mode != TOTAL && ref.number >= 0);
    });
    const std::string keep = prefix;
    prefix.clear();
    if (mode == TOTAL)
        for (ELEMENT* element : elements) {
            std::string name = unannotatedname(element->name);
            // A packaging chooses its letters afresh; a device's own letter stays.
            if (element->annotcount > 1)
                name = partof(name);
            core->setelementname(element, name);
        }
    counts.clear();
    open.clear();
    collect(core, first);
    for (ELEMENT* element : elements) {
        parseref(element->name, ref);
        const int from = std::max(start, element->sheet->anninit);
        core->setelementname(element,
            assign(ref.prefix, element->annotcount > 1 ? -1 : ref.letter, element->annotname,
                element->annotcount, mode, from));
    }
    prefix = keep;
}
