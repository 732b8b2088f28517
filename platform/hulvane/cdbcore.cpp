#include "platform/hulvane/cdbcore.h"

#include "core/text/ascii.h"
#include "platform/hulvane/refname.h"

#include <algorithm>

namespace {

uint64_t objectkey(const SHEET* sheet, uint32_t objectid)
{
    return uint64_t { sheet->id } << 32 | objectid;
}

template <class T>
void erase(std::vector<T*>& list, const T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

CDBCORE* shared = nullptr;
int holds = 0;

} // namespace

void CDBWALKQ::clear()
{
    pending.clear();
    last = 0;
    descend = 0;
    modules = 0;
}

CDBCORE::~CDBCORE() = default;

void CDBCORE::newdatabase(const char* text)
{
    zap();
    name = text ? text : "";
}

void CDBCORE::zap()
{
    CDBCORE empty;
    swapwith(empty);
}

void CDBCORE::swapwith(CDBCORE& other)
{
    std::swap(name, other.name);
    std::swap(variant, other.variant);
    std::swap(legacyvariants, other.legacyvariants);
    std::swap(modified, other.modified);
    std::swap(nextid, other.nextid);
    std::swap(nextsheet, other.nextsheet);
    std::swap(nextboard, other.nextboard);
    std::swap(nextgroup, other.nextgroup);
    std::swap(roots, other.roots);
    std::swap(current, other.current);
    std::swap(master, other.master);
    std::swap(sheets, other.sheets);
    std::swap(modules, other.modules);
    std::swap(boards, other.boards);
    std::swap(elements, other.elements);
    std::swap(parts, other.parts);
    std::swap(snippets, other.snippets);
    std::swap(elementsbyobject, other.elementsbyobject);
    std::swap(modulesbyobject, other.modulesbyobject);
    std::swap(partsbyname, other.partsbyname);
    for (CDBCORE* core : { this, &other }) {
        for (auto& [id, sheet] : core->sheets)
            sheet->core = core;
        core->beginsyncsheet(nullptr, 0);
    }
}

void CDBCORE::clearhierarchy()
{
    snippets.clear();
    elementsbyobject.clear();
    modulesbyobject.clear();
    partsbyname.clear();
    elements.clear();
    parts.clear();
    sheets.clear();
    master = nullptr;
    for (auto it = modules.begin(); it != modules.end();)
        it = it->second->parent ? modules.erase(it) : std::next(it);
    for (MODULE* root : roots)
        root->sheets.clear();
    syncsheet = nullptr;
    boundelements.clear();
    boundmodules.clear();
}

int CDBCORE::migratelegacyvariants()
{
    if (!legacyvariants)
        return 0;
    legacyvariants = 0;
    modified = 1;
    return 1;
}

void CDBCORE::selectvariant(char letter)
{
    variant = letter >= 'A' && letter <= 'Z' ? letter : 'b';
}

void CDBCORE::newdesign()
{
    clearhierarchy();
    if (roots.empty())
        addboard();
    modified = 1;
}

void CDBCORE::newlayout()
{
    if (roots.empty())
        addboard();
}

BOARD* CDBCORE::addboard()
{
    MODULE* root = newmodule(nullptr, 0);
    auto board = std::make_unique<BOARD>();
    board->id = nextboard++;
    board->module = root;
    board->isnew = 1;
    board->stem = board->id == 1 ? "ROOT" : "BOARD" + std::to_string(board->id);
    root->name = board->stem;
    root->board = board.get();
    roots.push_back(root);
    current = root;
    modified = 1;
    return boards.emplace(board->id, std::move(board)).first->second.get();
}

BOARD* CDBCORE::getboard(int index) const
{
    return index >= 0 && index < numboards() ? roots[static_cast<size_t>(index)]->board : nullptr;
}

BOARD* CDBCORE::getboard(const MODULE* module) const
{
    while (module && module->parent)
        module = module->parent->module;
    return module ? module->board : nullptr;
}

int CDBCORE::currentboardindex() const
{
    const auto at = std::find(roots.begin(), roots.end(), current);
    return at == roots.end() ? -1 : static_cast<int>(at - roots.begin());
}

void CDBCORE::selectroot(MODULE* module)
{
    if (module && !module->parent && module->board)
        current = module;
}

void CDBCORE::selectboard(int index)
{
    if (const BOARD* board = getboard(index))
        selectroot(board->module);
}

void CDBCORE::removeboard(int index)
{
    if (const BOARD* board = getboard(index))
        removemodule(board->module, 0);
}

void CDBCORE::refresh(int flag)
{
    if (flag)
        modified = 1;
    if (onrefresh)
        onrefresh(flag);
}

void CDBCORE::noteid(uint32_t id)
{
    if (id >= nextid)
        nextid = id + 1;
}

MODULE* CDBCORE::newmodule(SHEET* parent, uint32_t objectid)
{
    auto module = std::make_unique<MODULE>();
    module->id = objectid && !modules.count(objectid) && !elements.count(objectid) ? objectid : newid();
    module->objectid = objectid;
    module->parent = parent;
    noteid(module->id);
    noteid(objectid);
    if (parent) {
        parent->children.push_back(module.get());
        modulesbyobject[objectkey(parent, objectid)] = module.get();
    }
    return modules.emplace(module->id, std::move(module)).first->second.get();
}

SHEET* CDBCORE::newsheet(MODULE* module, uint32_t circuit, const char* title)
{
    auto sheet = std::make_unique<SHEET>();
    sheet->id = nextsheet++;
    sheet->circuit = circuit;
    sheet->module = module;
    sheet->title = title ? title : "";
    sheet->core = this;
    if (module) {
        module->sheets.push_back(sheet.get());
        sheet->instance = static_cast<int32_t>(module->sheets.size());
    }
    modified = 1;
    return sheets.emplace(sheet->id, std::move(sheet)).first->second.get();
}

void CDBCORE::numbersheets(MODULE* module)
{
    for (size_t i = 0; i < module->sheets.size(); ++i)
        module->sheets[i]->instance = static_cast<int32_t>(i + 1);
}

SHEET* CDBCORE::addsheet(MODULE* module, uint32_t circuit, const char* title, int)
{
    if (module)
        return newsheet(module, circuit, title);
    if (!master)
        master = newsheet(nullptr, circuit, title);
    master->circuit = circuit;
    master->title = title ? title : "";
    return master;
}

SHEET* CDBCORE::addrootsheet(uint32_t circuit, const char* title, int flags)
{
    if (!current)
        addboard();
    return addsheet(current, circuit, title, flags);
}

MODULE* CDBCORE::addmodule(SHEET* parent, uint32_t objectid, const char* text)
{
    if (!parent)
        return nullptr;
    MODULE* module = newmodule(parent, objectid);
    module->name = text ? text : "";
    module->child = 1;
    modified = 1;
    return module;
}

ELEMENT* CDBCORE::addelement(SHEET* sheet, uint32_t objectid, uint32_t value, const char* text,
    const PINOVERRIDE* overrides, int count, const void* data, int size)
{
    if (!sheet)
        return nullptr;
    uint32_t id = objectid;
    if (!id || elements.count(id) || modules.count(id) || elementsbyobject.count(objectkey(sheet, id)))
        id = newid();
    noteid(id);
    auto element = std::make_unique<ELEMENT>();
    element->id = id;
    element->objectid = id;
    element->sheet = sheet;
    element->name = text ? text : "";
    element->value = value;
    if (overrides && count > 0)
        element->overrides.assign(overrides, overrides + count);
    if (data && size > 0)
        element->moddata.assign(static_cast<const unsigned char*>(data),
            static_cast<const unsigned char*>(data) + size);
    ELEMENT* added = elements.emplace(id, std::move(element)).first->second.get();
    elementsbyobject[objectkey(sheet, id)] = added;
    sheet->elements.push_back(added);
    newpart(added, scopeof(sheet));
    if (!place(added, nullptr))
        unannotate(added);
    modified = 1;
    return added;
}

void CDBCORE::dropelement(ELEMENT* element)
{
    detach(element);
    const auto at = elementsbyobject.find(objectkey(element->sheet, element->objectid));
    if (at != elementsbyobject.end() && at->second == element)
        elementsbyobject.erase(at);
    elements.erase(element->id);
}

void CDBCORE::dropsheet(SHEET* sheet)
{
    for (MODULE* child : sheet->children)
        dropmodule(child);
    for (ELEMENT* element : sheet->elements)
        dropelement(element);
    for (auto& clip : snippets)
        if (clip->sheet == sheet)
            clip->sheet = nullptr;
    if (master == sheet)
        master = nullptr;
    sheets.erase(sheet->id);
}

void CDBCORE::dropmodule(MODULE* module)
{
    for (SHEET* sheet : module->sheets)
        dropsheet(sheet);
    if (module->parent) {
        const auto at = modulesbyobject.find(objectkey(module->parent, module->objectid));
        if (at != modulesbyobject.end() && at->second == module)
            modulesbyobject.erase(at);
    }
    modules.erase(module->id);
}

void CDBCORE::removesheet(SHEET* sheet, int)
{
    if (!sheet)
        return;
    if (MODULE* module = sheet->module) {
        erase(module->sheets, sheet);
        numbersheets(module);
    }
    dropsheet(sheet);
    modified = 1;
}

void CDBCORE::removemodule(MODULE* module, int)
{
    if (!module)
        return;
    if (module->parent) {
        erase(module->parent->children, module);
    } else {
        erase(roots, module);
        if (module->board)
            boards.erase(module->board->id);
        if (current == module)
            current = roots.empty() ? nullptr : roots.front();
    }
    dropmodule(module);
    modified = 1;
}

int CDBCORE::getchildsheets(MODULE* module, std::vector<SHEET*>& list) const
{
    if (!module)
        module = current;
    if (!module)
        return 0;
    list.insert(list.end(), module->sheets.begin(), module->sheets.end());
    return static_cast<int>(module->sheets.size());
}

int CDBCORE::getrootmodules(std::vector<MODULE*>& list) const
{
    list.insert(list.end(), roots.begin(), roots.end());
    return numboards();
}

MODULE* CDBCORE::getmodule(SHEET* sheet, uint32_t objectid, int) const
{
    if (!sheet)
        return nullptr;
    const auto at = modulesbyobject.find(objectkey(sheet, objectid));
    return at == modulesbyobject.end() ? nullptr : at->second;
}

SHEET* CDBCORE::getsheet(uint32_t id) const
{
    const auto at = sheets.find(id);
    return at == sheets.end() ? nullptr : at->second.get();
}

int CDBCORE::getmoduledepth(const MODULE* module) const
{
    int depth = 0;
    for (; module && module->parent && module->parent->module; module = module->parent->module)
        ++depth;
    return depth;
}

ELEMENT* CDBCORE::findelement(MODULE* module, const char* text) const
{
    if (!text)
        return nullptr;
    CDBWALKQ queue;
    auto* self = const_cast<CDBCORE*>(this);
    for (SHEET* sheet = self->walkfirstsheet(queue, 1, 1, module); sheet; sheet = self->walknextsheet(queue))
        for (ELEMENT* element : sheet->elements)
            if (asciicasecmp(element->name.c_str(), text) == 0)
                return element;
    return nullptr;
}

ELEMENT* CDBCORE::getelement(uint32_t id, SHEET* sheet) const
{
    if (sheet) {
        const auto at = elementsbyobject.find(objectkey(sheet, id));
        return at == elementsbyobject.end() ? nullptr : at->second;
    }
    const auto at = elements.find(id);
    return at == elements.end() ? nullptr : at->second.get();
}

PART* CDBCORE::getpart(uint32_t id) const
{
    const auto at = parts.find(id);
    return at == parts.end() ? nullptr : at->second.get();
}

PART* CDBCORE::findpart(const SHEET* sheet, const char* text) const
{
    if (!sheet || !text)
        return nullptr;
    const auto at = partsbyname.find(partkey(scopeof(sheet), text));
    return at == partsbyname.end() ? nullptr : at->second;
}

int CDBCORE::getdeviceinstances(ICDBDEVICE* device) const
{
    if (!device)
        return 0;
    const char* devicename = device->getdevicename();
    int count = 0;
    for (const auto& [id, element] : elements)
        if (element->device == device
            || (!element->device && asciicasecmp(element->devicename.c_str(), devicename) == 0))
            ++count;
    return count;
}

void CDBCORE::replacedevice(ICDBDEVICE* olddevice, ICDBDEVICE* newdevice)
{
    if (!olddevice || !newdevice)
        return;
    const std::string oldname = olddevice->getdevicename();
    for (auto& [id, element] : elements)
        if (element->device == olddevice
            || (!element->device && asciicasecmp(element->devicename.c_str(), oldname.c_str()) == 0)) {
            element->device = newdevice;
            element->devicename = newdevice->getdevicename();
        }
    modified = 1;
}

void CDBCORE::cleartags()
{
    for (auto& [id, element] : elements)
        element->tagged = 0;
}

int CDBCORE::tagelement(uint32_t id)
{
    ELEMENT* element = getelement(id);
    if (!element)
        return 0;
    element->tagged = 1;
    return 1;
}

void CDBCORE::killorphans()
{
    for (auto it = parts.begin(); it != parts.end();) {
        if (!it->second->elements.empty()) {
            ++it;
            continue;
        }
        unindexpart(it->second.get());
        it = parts.erase(it);
    }
    std::erase_if(snippets, [](const std::unique_ptr<SNIPPET>& clip) { return !clip->sheet; });
}

BOARD* CDBCORE::boardof(const SHEET* sheet) const
{
    return sheet ? getboard(sheet->module) : nullptr;
}

uint32_t CDBCORE::scopeof(const SHEET* sheet) const
{
    const BOARD* board = boardof(sheet);
    return board && board->localids ? board->id : 0;
}

std::string CDBCORE::partkey(uint32_t scope, const std::string& text)
{
    return std::to_string(scope) + ':' + upperkey(text);
}

CDBCORE* createcdb()
{
    if (!shared)
        shared = new CDBCORE;
    ++holds;
    return shared;
}

void releasecdb(CDBCORE* database)
{
    if (!database || database != shared || --holds > 0)
        return;
    delete shared;
    shared = nullptr;
}

CDBCORE* getcdb()
{
    return shared;
}

uint32_t varianttomask(char letter)
{
    return letter >= 'A' && letter <= 'Z' ? uint32_t { 1 } << (letter - 'A') : 0;
}

char indextovariant(int index)
{
    return index >= 1 && index <= 26 ? static_cast<char>('A' + index - 1) : 'b';
}

int varianttoindex(char letter)
{
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' + 1 : 0;
}

SHEET* CDBCORE::walkfirstsheet(CDBWALKQ& queue, int option, int descend, MODULE* module)
{
    queue.clear();
    queue.descend = descend;
    if (option == 1 && master && (!module || !module->parent))
        queue.pending.push_back(master->id);
    if (module)
        queuesheetsof(queue, module);
    else
        for (MODULE* root : roots)
            queuesheetsof(queue, root);
    return sheetnext(queue);
}

SHEET* CDBCORE::walknextsheet(CDBWALKQ& queue)
{
    return queue.modules ? nullptr : sheetnext(queue);
}

void CDBCORE::queuesheetsof(CDBWALKQ& queue, const MODULE* module) const
{
    for (const SHEET* sheet : module->sheets)
        queue.pending.push_back(sheet->id);
}

// A sheet's children join the front of the queue only when the walk moves past it, so that the
// child sheets a caller's synchronisation made or replaced are the ones walked.
SHEET* CDBCORE::sheetnext(CDBWALKQ& queue)
{
    if (queue.descend)
        if (const SHEET* last = getsheet(queue.last)) {
            CDBWALKQ children;
            for (const MODULE* child : last->children)
                queuesheetsof(children, child);
            queue.pending.insert(queue.pending.begin(), children.pending.begin(), children.pending.end());
        }
    queue.last = 0;
    while (!queue.pending.empty()) {
        const uint32_t id = queue.pending.front();
        queue.pending.pop_front();
        if (SHEET* sheet = getsheet(id)) {
            queue.last = id;
            return sheet;
        }
    }
    return nullptr;
}

MODULE* CDBCORE::walkfirstmodule(CDBWALKQ& queue, MODULE* module, int descend)
{
    queue.clear();
    queue.descend = descend;
    queue.modules = 1;
    if (module)
        queue.pending.push_back(module->id);
    else
        for (const MODULE* root : roots)
            queue.pending.push_back(root->id);
    return modulenext(queue);
}

MODULE* CDBCORE::walknextmodule(CDBWALKQ& queue)
{
    return queue.modules ? modulenext(queue) : nullptr;
}

MODULE* CDBCORE::modulenext(CDBWALKQ& queue)
{
    const auto find = [this](uint32_t id) {
        const auto at = modules.find(id);
        return at == modules.end() ? nullptr : at->second.get();
    };
    if (queue.descend)
        if (const MODULE* last = find(queue.last)) {
            std::deque<uint32_t> children;
            for (const SHEET* sheet : last->sheets)
                for (const MODULE* child : sheet->children)
                    children.push_back(child->id);
            queue.pending.insert(queue.pending.begin(), children.begin(), children.end());
        }
    queue.last = 0;
    while (!queue.pending.empty()) {
        const uint32_t id = queue.pending.front();
        queue.pending.pop_front();
        if (MODULE* module = find(id)) {
            queue.last = id;
            return module;
        }
    }
    return nullptr;
}
