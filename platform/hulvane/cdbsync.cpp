// The design database's elements and parts: binding drawn objects to them, the parts their names
// give, and the renames that annotation and the component dialog make.

#include "core/text/ascii.h"
#include "core/text/proptext.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/refname.h"

#include <algorithm>

namespace {

uint64_t objectkey(const SHEET* sheet, uint32_t objectid)
{
    return uint64_t { sheet->id } << 32 | objectid;
}

} // namespace

PART* CDBCORE::newpart(ELEMENT* element, uint32_t scope)
{
    auto part = std::make_unique<PART>();
    part->id = newid();
    part->scope = scope;
    part->elements.push_back(element);
    element->part = part.get();
    return parts.emplace(part->id, std::move(part)).first->second.get();
}

void CDBCORE::indexpart(PART* part)
{
    partsbyname[partkey(part->scope, part->name)] = part;
}

bool CDBCORE::isindexed(const PART* part) const
{
    if (!isannotated(part->name))
        return false;
    const auto at = partsbyname.find(partkey(part->scope, part->name));
    return at != partsbyname.end() && at->second == part;
}

void CDBCORE::unindexpart(PART* part)
{
    if (isindexed(part))
        partsbyname.erase(partkey(part->scope, part->name));
}

void CDBCORE::detach(ELEMENT* element)
{
    PART* part = element->part;
    if (!part)
        return;
    element->part = nullptr;
    std::erase(part->elements, element);
    if (!part->elements.empty())
        return;
    unindexpart(part);
    parts.erase(part->id);
}

void CDBCORE::detachkeeping(ELEMENT* element)
{
    PART* old = element->part;
    if (old && old->elements.size() == 1 && !isindexed(old))
        return;
    PART* own = newpart(element, scopeof(element->sheet));
    if (old) {
        own->value = old->value;
        own->device = old->device;
        own->package = old->package;
        own->props = old->props;
        own->variants = old->variants;
        own->nopackage = old->nopackage;
        own->notfitted = old->notfitted;
        own->packaging = old->packaging;
        std::erase(old->elements, element);
        if (old->elements.empty()) {
            unindexpart(old);
            parts.erase(old->id);
        }
    }
}

bool CDBCORE::isplaced(const ELEMENT* element) const
{
    const PART* part = element->part;
    if (!part)
        return false;
    if (!isannotated(element->name))
        return part->elements.size() == 1 && !isindexed(part);
    return isindexed(part) && part->scope == scopeof(element->sheet)
        && upperkey(part->name) == upperkey(partof(element->name));
}

int CDBCORE::place(ELEMENT* element, ICDBELEMENT* object)
{
    if (!isannotated(element->name))
        return 1;
    PART* own = element->part;
    const uint32_t scope = scopeof(element->sheet);
    const auto at = partsbyname.find(partkey(scope, partof(element->name)));
    if (at == partsbyname.end()) {
        own->name = partof(element->name);
        own->scope = scope;
        indexpart(own);
        return 1;
    }
    PART* part = at->second;
    if (part == own)
        return 1;
    const std::string placename = placeof(element->name);
    for (const ELEMENT* other : part->elements)
        if (placeof(other->name) == placename)
            return 0;
    const bool samedevice = object ? object->matchespart(part) != 0
                                   : part->device.empty() || own->device.empty()
            || asciicasecmp(part->device.c_str(), own->device.c_str()) == 0;
    if (!samedevice)
        return 0;
    detach(element);
    part->elements.push_back(element);
    element->part = part;
    return 1;
}

void CDBCORE::unannotate(ELEMENT* element)
{
    element->name = unannotatedname(element->name);
    detachkeeping(element);
    if (!element->object)
        element->pending = 1;
    modified = 1;
}

void CDBCORE::setelementname(ELEMENT* element, const std::string& newname)
{
    if (element->name == newname && isplaced(element))
        return;
    detachkeeping(element);
    element->name = newname;
    if (!place(element, nullptr))
        unannotate(element);
    if (!element->object)
        element->pending = 1;
    modified = 1;
}

void CDBCORE::beginsyncsheet(SHEET* sheet, int mode)
{
    syncsheet = sheet;
    syncmode = mode;
    boundelements.clear();
    boundmodules.clear();
    bound.clear();
    fresh.clear();
}

ELEMENT* CDBCORE::bindelement(SHEET* sheet, uint32_t* id, ICDBELEMENT* object)
{
    if (!sheet || !id || !object)
        return nullptr;
    if (sheet != syncsheet)
        beginsyncsheet(sheet, syncmode);
    uint32_t objectid = *id;
    ELEMENT* element = objectid ? getelement(objectid, sheet) : nullptr;
    if (!element) {
        // A pasted object's identifier that an element elsewhere holds is replaced.
        if (!objectid || (syncmode == 4 && elements.count(objectid)))
            *id = objectid = newid();
        noteid(objectid);
        auto made = std::make_unique<ELEMENT>();
        made->id = elements.count(objectid) || modules.count(objectid) ? newid() : objectid;
        made->objectid = objectid;
        made->sheet = sheet;
        element = elements.emplace(made->id, std::move(made)).first->second.get();
        elementsbyobject[objectkey(sheet, objectid)] = element;
        newpart(element, scopeof(sheet));
        fresh.insert(element);
        modified = 1;
    } else if (bound.count(element)) {
        // Another object of the sheet holds it already (a copy): this one gets a new element.
        *id = 0;
        return bindelement(sheet, id, object);
    }
    bound.insert(element);
    element->object = object;
    boundelements.push_back(element);
    return element;
}

MODULE* CDBCORE::bindmodule(SHEET* sheet, uint32_t* id, ICDBMODULE* object)
{
    if (!sheet || !id || !object)
        return nullptr;
    if (sheet != syncsheet)
        beginsyncsheet(sheet, syncmode);
    MODULE* module = *id ? getmodule(sheet, *id, 0) : nullptr;
    if (module && bound.count(module))
        module = nullptr;
    if (!module) {
        if (!*id || modulesbyobject.count(objectkey(sheet, *id)) || (syncmode == 4 && modules.count(*id)))
            *id = newid();
        module = newmodule(sheet, *id);
        modified = 1;
    }
    bound.insert(module);
    module->object = object;
    boundmodules.push_back(module);
    return module;
}

void CDBCORE::storeobject(ELEMENT* element, int keepname, int& due)
{
    ICDBELEMENT* object = element->object;
    if (element->pending)
        loadobject(element);
    const std::string oldname = element->name;
    if (object->storeelement(element))
        modified = 1;
    if (keepname)
        element->name = oldname;
    element->devicename = element->device ? element->device->getdevicename() : "";
    if (!isplaced(element)) {
        detachkeeping(element);
        if (!place(element, object)) {
            object->unannotate(element);
            detachkeeping(element);
        }
        modified = 1;
    }
    if (object->storepart(element->part))
        modified = 1;
    char text[CDBNAMESIZE] = "";
    int count = 1;
    element->annotatable = object->getannotinfo(text, &count) ? 1 : 0;
    text[CDBNAMESIZE - 1] = '\0';
    element->annotname = text;
    element->annotcount = count;
    if (element->annotatable && !isannotated(element->name))
        due = 1;
}

void CDBCORE::loadobject(ELEMENT* element)
{
    element->object->loadelement(element);
    if (element->part)
        element->object->loadpart(element->part);
    element->pending = 0;
}

int CDBCORE::endsyncsheet(SHEET* sheet)
{
    if (!sheet || sheet != syncsheet)
        return 0;
    for (ELEMENT* element : sheet->elements)
        if (!bound.count(element)) {
            dropelement(element);
            modified = 1;
        }
    sheet->elements = boundelements;
    for (MODULE* module : sheet->children)
        if (!bound.count(module)) {
            dropmodule(module);
            modified = 1;
        }
    sheet->children = boundmodules;
    int due = 0;
    const int keepnames = syncmode == 1 || syncmode == 2;
    for (ELEMENT* element : boundelements)
        storeobject(element, keepnames && !fresh.count(element), due);
    for (MODULE* module : boundmodules)
        module->child = module->object->storemodule(module);
    beginsyncsheet(nullptr, 0);
    return due;
}

void CDBCORE::savesheet(SHEET* sheet, int storeflag)
{
    if (!sheet)
        return;
    int due = 0;
    for (ELEMENT* element : sheet->elements) {
        if (storeflag && element->object)
            storeobject(element, 0, due);
        element->object = nullptr;
    }
    for (MODULE* module : sheet->children) {
        if (storeflag && module->object)
            module->child = module->object->storemodule(module);
        module->object = nullptr;
    }
}

void CDBCORE::loadsheet(SHEET* sheet)
{
    if (!sheet)
        return;
    for (ELEMENT* element : sheet->elements)
        if (element->object)
            loadobject(element);
    for (MODULE* module : sheet->children)
        if (module->object)
            module->object->setmodule(module);
}

void CDBCORE::setlocalids(BOARD* board, int flag)
{
    if (!board || board->localids == (flag ? 1 : 0))
        return;
    board->localids = flag ? 1 : 0;
    // Every part of the board moves to the other count; one that meets a part of its name there
    // loses its annotation.
    std::vector<ELEMENT*> moved;
    for (auto& [id, element] : elements)
        if (boardof(element->sheet) == board)
            moved.push_back(element.get());
    std::sort(moved.begin(), moved.end(), [](const ELEMENT* a, const ELEMENT* b) { return a->id < b->id; });
    for (ELEMENT* element : moved)
        detachkeeping(element);
    for (ELEMENT* element : moved)
        if (!place(element, nullptr))
            unannotate(element);
    modified = 1;
}

int CDBCORE::rebindelement(ELEMENT* element, const char* text)
{
    if (!element || !text || !isannotated(text))
        return 0;
    const std::string oldname = element->name;
    ELEMENT* holder = nullptr;
    if (PART* part = findpart(element->sheet, partof(text).c_str()))
        for (ELEMENT* other : part->elements)
            if (placeof(other->name) == placeof(text))
                holder = other;
    if (holder == element)
        return 1;
    if (holder)
        detachkeeping(holder);
    setelementname(element, text);
    if (holder)
        setelementname(holder, isannotated(oldname) ? oldname : unannotatedname(holder->name));
    return 1;
}

int CDBCORE::renamepart(PART* part, const char* text)
{
    if (!part || !text || !isannotated(text) || std::string(text).find(':') != std::string::npos)
        return 0;
    const PART* other = findpart(part->elements.empty() ? nullptr : part->elements.front()->sheet, text);
    if (other && other != part) {
        const std::vector<ELEMENT*> losing = other->elements;
        for (ELEMENT* element : losing)
            unannotate(element);
    }
    unindexpart(part);
    part->name = text;
    indexpart(part);
    for (ELEMENT* element : part->elements) {
        const size_t colon = element->name.find(':');
        element->name = part->name + (colon == std::string::npos ? std::string() : element->name.substr(colon));
        if (!element->object)
            element->pending = 1;
    }
    modified = 1;
    return 1;
}

int CDBCORE::setelementproperty(ELEMENT* element, const char* text, const char* value, int flags)
{
    if (!element || !text || !*text)
        return 0;
    PROPTEXT props(element->props.c_str());
    props.add(nullptr, text, value, static_cast<uint16_t>(flags));
    element->props = props.text ? props.text : "";
    if (PART* part = element->part) {
        PROPTEXT partprops(part->props.c_str());
        partprops.add(nullptr, text, value, static_cast<uint16_t>(flags));
        part->props = partprops.text ? partprops.text : "";
    }
    if (!element->object)
        element->pending = 1;
    modified = 1;
    return 1;
}
