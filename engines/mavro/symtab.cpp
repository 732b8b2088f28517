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

} // namespace

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

INPtables::Entry* INPtables::findnode(std::string_view name)
{
    if (auto it = exact_.find(name); it != exact_.end() && it->second->node)
        return it->second;
    if (auto it = foldednodes_.find(folded(name)); it != foldednodes_.end())
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

void INPtables::setnode(Entry* entry, IFnode* node)
{
    entry->node = node;
    foldednodes_.emplace(folded(entry->name), entry);
}

namespace mavro {

namespace {

// Enters the name and makes its node through the descriptor the first time. 0 when made, E_EXISTS
// when the name was a node already, else the engine's error with *node null.
int enternode(
    IFcircuit* ckt, std::string_view name, INPtables* table, IFnode** node, bool ground, char** interned)
{
    *node = nullptr;
    IFsimulator* descriptor = session().descriptor;
    if (!descriptor || !(ground ? descriptor->groundNode : descriptor->newNode))
        return E_NOCKT;
    INPtables::Entry* entry = table->enter(name);
    if (interned)
        *interned = entry->name;
    if (entry->node) {
        *node = entry->node;
        return E_EXISTS;
    }
    IFnode* made = nullptr;
    int result = ground ? descriptor->groundNode(ckt, &made, entry->name)
                        : descriptor->newNode(ckt, &made, entry->name);
    // The engine answers E_EXISTS with the node when the ground node (or a node of that name) is
    // already there: another name for it, not an error.
    if ((result != 0 && result != E_EXISTS) || !made)
        return result != 0 ? result : E_NOTFOUND;
    table->setnode(entry, made);
    *node = made;
    return 0;
}

} // namespace

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
    return enternode(ckt, *name, table, node, ground, name);
}

int cardnode(IFcircuit* ckt, std::string_view name, INPtables* table, IFnode** node)
{
    if (INPtables::Entry* entry = table->findnode(name)) {
        *node = entry->node;
        return 0;
    }
    int result = enternode(ckt, name, table, node, name == "0", nullptr);
    return result == E_EXISTS ? 0 : result;
}

} // namespace mavro
