#include "engines/mavro/symtab.h"

#include <algorithm>

namespace {

std::string folded(std::string_view name)
{
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

}  // namespace

INPtables::INPtables(std::size_t size)
{
    exact_.reserve(size);
    folded_.reserve(size);
}

INPtables::Entry* INPtables::find(std::string_view name)
{
    if (auto it = exact_.find(name); it != exact_.end())
        return it->second;
    if (auto it = folded_.find(folded(name)); it != folded_.end())
        return it->second;
    return nullptr;
}

INPtables::Entry* INPtables::enter(std::string_view name, bool* added)
{
    if (added)
        *added = false;
    if (auto it = exact_.find(name); it != exact_.end())
        return it->second;
    std::string& copy = names_.emplace_back(name);
    Entry& entry = entries_.emplace_back(Entry { copy.data() });
    exact_.emplace(copy, &entry);
    folded_.emplace(folded(copy), &entry);
    if (added)
        *added = true;
    return &entry;
}

namespace mavro {

Session& session()
{
    static Session state;
    return state;
}

int insertnode(IFcircuit* ckt, char** name, INPtables* table, IFnode** node, bool ground)
{
    if (node)
        *node = nullptr;
    if (!name || !*name || !table || !node)
        return E_BADVALUE;
    IFsimulator* descriptor = session().descriptor;
    if (!descriptor || !(ground ? descriptor->groundNode : descriptor->newNode))
        return E_NOCKT;
    INPtables::Entry* entry = table->enter(*name);
    *name = entry->name;
    if (entry->node) {
        *node = entry->node;
        return E_EXISTS;
    }
    IFnode* made = nullptr;
    int result = ground ? descriptor->groundNode(ckt, &made, entry->name) : descriptor->newNode(ckt, &made, entry->name);
    // The engine answers E_EXISTS with the node when the ground node (or a node of that name) is
    // already there: another name for it, not an error.
    if ((result != 0 && result != E_EXISTS) || !made)
        return result != 0 ? result : E_NOTFOUND;
    entry->node = made;
    *node = made;
    return 0;
}

}  // namespace mavro
