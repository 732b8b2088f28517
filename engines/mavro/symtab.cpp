#include "engines/mavro/symtab.h"

#include "engines/mavro/token.h"

#include <algorithm>
#include <cstring>

namespace {

// Names are copied into blocks of this size; a longer one gets a block of its own.
constexpr std::size_t TextBlock = 1 << 16;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the bytes in lower case.
uint32_t foldedhash(std::string_view name)
{
    uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(lower(c));
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

INPtables::INPtables(std::size_t size)
{
    std::size_t slots = 16;
    while (slots < size * 2)
        slots *= 2;
    index_.resize(slots);
}

// The exact spelling first, else the earliest entered of the same letters.
INPtables::Entry* INPtables::lookup(std::string_view name, bool nodes)
{
    const uint32_t hash = foldedhash(name);
    const std::size_t mask = index_.size() - 1;
    uint32_t earliest = 0;
    for (std::size_t i = hash & mask; index_[i].entry != 0; i = (i + 1) & mask) {
        const Slot slot = index_[i];
        if (slot.hash != hash)
            continue;
        Entry& entry = entries_[slot.entry - 1];
        if (nodes && !entry.node)
            continue;
        if (name == entry.name)
            return &entry;
        if (mavro::sameletters(name, entry.name) && (earliest == 0 || slot.entry < earliest))
            earliest = slot.entry;
    }
    return earliest ? &entries_[earliest - 1] : nullptr;
}

INPtables::Entry* INPtables::enter(std::string_view name, bool* added)
{
    if (added)
        *added = false;
    const uint32_t hash = foldedhash(name);
    std::size_t mask = index_.size() - 1;
    for (std::size_t i = hash & mask; index_[i].entry != 0; i = (i + 1) & mask) {
        Entry& entry = entries_[index_[i].entry - 1];
        if (index_[i].hash == hash && name == entry.name)
            return &entry;
    }
    entries_.push_back(Entry { copy(name) });
    if ((entries_.size() + 1) * 2 > index_.size())
        grow();
    mask = index_.size() - 1;
    std::size_t i = hash & mask;
    while (index_[i].entry != 0)
        i = (i + 1) & mask;
    index_[i] = Slot { static_cast<uint32_t>(entries_.size()), hash };
    if (added)
        *added = true;
    return &entries_.back();
}

char* INPtables::copy(std::string_view name)
{
    const std::size_t size = name.size() + 1;
    if (size > textleft_) {
        const std::size_t block = std::max(size, TextBlock);
        text_.push_back(std::make_unique<char[]>(block));
        textnext_ = text_.back().get();
        textleft_ = block;
    }
    char* made = textnext_;
    std::memcpy(made, name.data(), name.size());
    made[name.size()] = '\0';
    textnext_ += size;
    textleft_ -= size;
    return made;
}

// Doubles the index: it stays at most half full, so probes stay short.
void INPtables::grow()
{
    std::vector<Slot> old = std::move(index_);
    index_.assign(old.size() * 2, Slot {});
    const std::size_t mask = index_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry == 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (index_[i].entry != 0)
            i = (i + 1) & mask;
        index_[i] = slot;
    }
}

namespace mavro {

namespace {

using NodeMaker = int (*)(IFcircuit* ckt, IFnode** node, IFuid name);

// Descriptor slot 5, or 6 for the ground node; null without them.
NodeMaker nodemaker(bool ground)
{
    IFsimulator* descriptor = session().descriptor;
    return descriptor ? (ground ? descriptor->groundNode : descriptor->newNode) : nullptr;
}

// Makes the node of a name (E_NOCKT without a maker). 0 with *made, E_EXISTS with *made when the
// engine has a node of exactly that name, else the engine's error with *made null.
int makenode(NodeMaker make, IFcircuit* ckt, const char* name, bool ground, IFnode** made)
{
    *made = nullptr;
    if (!make)
        return E_NOCKT;
    int result = make(ckt, made, name);
    if ((result != 0 && result != E_EXISTS) || !*made) {
        *made = nullptr;
        return result != 0 ? result : E_NOTFOUND;
    }
    // The engine answers E_EXISTS with the ground node when it has it: another name for it.
    return ground ? 0 : result;
}

// Enters the name and makes its node the first time. 0 when made, E_EXISTS when the name was a
// node already, else the engine's error with *node null.
int enternode(
    IFcircuit* ckt, std::string_view name, INPtables* table, IFnode** node, bool ground, char** interned)
{
    *node = nullptr;
    NodeMaker make = nodemaker(ground);
    if (!make)
        return E_NOCKT;
    INPtables::Entry* entry = table->enter(name);
    if (interned)
        *interned = entry->name;
    if (entry->node) {
        *node = entry->node;
        return E_EXISTS;
    }
    int result = makenode(make, ckt, entry->name, ground, node);
    if (*node)
        table->setnode(entry, *node);
    return result;
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
    // The engine keeps a copy and an index of every node name: a card's node is found there first
    // and never entered here, which spares a second copy of a million names. A descriptor that
    // cannot be asked gets the table's.
    IFsimulator* descriptor = session().descriptor;
    const bool engine = descriptor && descriptor->findNode;
    const std::string text = engine ? std::string(name) : std::string();
    IFnode* found = nullptr;
    if (engine && descriptor->findNode(ckt, &found, text.c_str()) == 0 && found) {
        *node = found;
        return 0;
    }
    // Other names of a node (the ground node's, the kernel's net handles) live only in the table.
    if (INPtables::Entry* entry = table->findnode(name)) {
        *node = entry->node;
        return 0;
    }
    const bool ground = name == "0";
    int result = engine ? makenode(nodemaker(ground), ckt, text.c_str(), ground, node)
                        : enternode(ckt, name, table, node, ground, nullptr);
    return result == E_EXISTS ? 0 : result;
}

} // namespace mavro
