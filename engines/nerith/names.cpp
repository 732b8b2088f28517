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

// The slots in use stay below three quarters of the table.
const NameTable::Slot* NameTable::lookup(std::string_view name, bool exact) const
{
    if (slots.empty())
        return nullptr;
    const auto hash = static_cast<uint32_t>(hashof(name, true));
    const std::size_t mask = slots.size() - 1;
    const Slot* earliest = nullptr;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (!slot.item) {
            if (slot.serial == 0)
                return exact ? nullptr : earliest;
            continue;
        }
        if (slot.hash != hash)
            continue;
        const std::string_view candidate = namer(slot.item);
        if (candidate == name)
            return &slot;
        if (!exact && sameletters(candidate, name) && (!earliest || slot.serial < earliest->serial))
            earliest = &slot;
    }
}

// Doubles the table (at least 16 slots) and drops the tombstones.
void NameTable::grow()
{
    LargeVector<Slot> old = std::move(slots);
    std::size_t live = 0;
    for (const Slot& slot : old)
        live += slot.item ? 1 : 0;
    std::size_t size = 16;
    while (size * 3 < (live + 1) * 8)
        size *= 2;
    slots.assign(size, Slot {});
    const std::size_t mask = size - 1;
    for (const Slot& slot : old) {
        if (!slot.item)
            continue;
        std::size_t i = slot.hash & mask;
        while (slots[i].item)
            i = (i + 1) & mask;
        slots[i] = slot;
    }
    used = live;
}

void* NameTable::exactly(std::string_view name) const
{
    const Slot* slot = lookup(name, true);
    return slot ? slot->item : nullptr;
}

void* NameTable::find(std::string_view name) const
{
    const Slot* slot = lookup(name, false);
    return slot ? slot->item : nullptr;
}

NameTable::Place NameTable::place(std::string_view name) const
{
    Place found { nullptr, 0, static_cast<uint32_t>(hashof(name, true)) };
    if (slots.empty())
        return found;
    const std::size_t mask = slots.size() - 1;
    bool vacant = false;
    for (std::size_t i = found.hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (!slot.item) {
            if (!vacant)
                found.slot = i;
            vacant = true;
            if (slot.serial == 0)
                return found;
            continue;
        }
        if (slot.hash == found.hash && namer(slot.item) == name) {
            found.item = slot.item;
            found.slot = i;
            return found;
        }
    }
}

void NameTable::enter(const Place& place, void* item)
{
    if (slots.empty() || (used + 1) * 4 > slots.size() * 3) {
        grow();
        put(vacancy(place.hash), item, place.hash);
        return;
    }
    put(place.slot, item, place.hash);
}

void NameTable::insert(void* item)
{
    if ((used + 1) * 4 > slots.size() * 3)
        grow();
    const auto hash = static_cast<uint32_t>(hashof(namer(item), true));
    put(vacancy(hash), item, hash);
}

std::size_t NameTable::vacancy(uint32_t hash) const
{
    const std::size_t mask = slots.size() - 1;
    std::size_t i = hash & mask;
    while (slots[i].item)
        i = (i + 1) & mask;
    return i;
}

void NameTable::put(std::size_t slot, void* item, uint32_t hash)
{
    if (slots[slot].serial == 0)
        ++used;
    slots[slot] = Slot { item, hash, ++serials };
}

void NameTable::erase(void* item)
{
    if (slots.empty())
        return;
    const auto hash = static_cast<uint32_t>(hashof(namer(item), true));
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots[i];
        if (!slot.item && slot.serial == 0)
            return;
        if (slot.item == item) {
            slot.item = nullptr;
            return;
        }
    }
}

} // namespace nerith
