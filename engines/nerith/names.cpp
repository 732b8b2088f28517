#include "engines/nerith/names.h"

namespace nerith {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a, over the bytes or over the bytes in lower case.
uint64_t hashof(std::string_view name, bool fold)
{
    uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(fold ? lower(c) : c);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

bool sameletters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

template <class Same>
const NameTable::Slot* NameTable::lookup(
    const Table& table, uint64_t hash, std::string_view name, Same same) const
{
    if (table.slots.empty())
        return nullptr;
    const std::size_t mask = table.slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = table.slots[i];
        if (!slot.item && !slot.removed)
            return nullptr;
        if (slot.item && slot.hash == hash && same(namer(slot.item), name))
            return &slot;
    }
}

void NameTable::place(Table& table, uint64_t hash, uint64_t serial, void* item)
{
    if ((table.used + 1) * 2 > table.slots.size())
        grow(table);
    const std::size_t mask = table.slots.size() - 1;
    std::size_t i = hash & mask;
    while (table.slots[i].item || table.slots[i].removed)
        i = (i + 1) & mask;
    table.slots[i] = Slot { hash, serial, item, false };
    ++table.used;
}

// Doubles the table (at least 16 slots) and drops the tombstones.
void NameTable::grow(Table& table)
{
    std::vector<Slot> old = std::move(table.slots);
    std::size_t live = 0;
    for (const Slot& slot : old)
        live += slot.item ? 1 : 0;
    std::size_t size = 16;
    while (size < (live + 1) * 4)
        size *= 2;
    table.slots.assign(size, Slot {});
    table.used = 0;
    for (const Slot& slot : old) {
        if (slot.item)
            place(table, slot.hash, slot.serial, slot.item);
    }
}

void NameTable::remove(Table& table, uint64_t hash, void* item)
{
    if (table.slots.empty())
        return;
    const std::size_t mask = table.slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = table.slots[i];
        if (!slot.item && !slot.removed)
            return;
        if (slot.item == item) {
            slot.item = nullptr;
            slot.removed = true;
            return;
        }
    }
}

void* NameTable::exactly(std::string_view name) const
{
    const Slot* slot = lookup(
        exact, hashof(name, false), name, [](std::string_view a, std::string_view b) { return a == b; });
    return slot ? slot->item : nullptr;
}

void* NameTable::find(std::string_view name) const
{
    if (void* item = exactly(name))
        return item;
    const Slot* slot = lookup(folded, hashof(name, true), name, sameletters);
    return slot ? slot->item : nullptr;
}

void NameTable::insert(void* item)
{
    const std::string_view name = namer(item);
    const uint64_t serial = ++serials;
    place(exact, hashof(name, false), serial, item);
    const uint64_t hash = hashof(name, true);
    if (!lookup(folded, hash, name, sameletters))
        place(folded, hash, serial, item);
}

void NameTable::erase(void* item)
{
    const std::string_view name = namer(item);
    remove(exact, hashof(name, false), item);
    const uint64_t hash = hashof(name, true);
    const Slot* standing = lookup(folded, hash, name, sameletters);
    if (!standing || standing->item != item)
        return;
    remove(folded, hash, item);
    // The next earliest of the same letters takes its place.
    const Slot* next = nullptr;
    for (const Slot& slot : exact.slots) {
        if (slot.item && sameletters(namer(slot.item), name) && (!next || slot.serial < next->serial))
            next = &slot;
    }
    if (next)
        place(folded, hash, next->serial, next->item);
}

} // namespace nerith
