#pragma once

#include "engines/nerith/largepages.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nerith {

// Whether two names are equal without regard to ASCII case.
bool sameletters(std::string_view a, std::string_view b);

// The untyped core of NameIndex: one open-addressing table of items, placed by the hash of their
// name without case, so that every spelling of a name probes the same slots; items are read
// through `namer`.
class NameTable {
public:
    using Namer = std::string_view (*)(const void* item);
    explicit NameTable(Namer itemname)
        : namer(itemname)
    {
    }
    void* exactly(std::string_view name) const;
    void* find(std::string_view name) const;
    void insert(void* item);
    void erase(void* item);

    // Where a name stands: the item of exactly that spelling, else where an item of that name
    // would be entered; good until the table next changes.
    struct Place {
        void* item = nullptr;
        std::size_t slot = 0;
        uint32_t hash = 0;
    };
    Place place(std::string_view name) const;
    // Enters an item of the name at the place found for it, which held no item: one probe of the
    // table for the check and the entry.
    void enter(const Place& place, void* item);

private:
    struct Slot {
        void* item = nullptr; // null: empty, or a tombstone when `serial` is not 0
        uint32_t hash = 0; // of the name without case (its low bits)
        uint32_t serial = 0; // order of entry, from 1
    };
    // The slot of the item of exactly that name, else the earliest entered of that name without
    // case; null when none.
    const Slot* lookup(std::string_view name, bool exact) const;
    // The first slot without an item on the probe sequence of the hash.
    std::size_t vacancy(uint32_t hash) const;
    void put(std::size_t slot, void* item, uint32_t hash);
    void grow();

    Namer namer;
    LargeVector<Slot> slots;
    std::size_t used = 0; // live items and tombstones
    uint32_t serials = 0;
};

// Names of one kind of object (nodes, instances, models), found by exact spelling first, then
// without regard to case, where the earliest entered of several candidates wins. The index reads
// the names the objects own (member `Name`), so nothing is copied: an entered object keeps its name
// and its address until it is erased. Not owning.
template <class T, auto Name> class NameIndex {
public:
    // The item of that name; null when none.
    T* find(std::string_view name) const { return static_cast<T*>(table.find(name)); }
    // The item of exactly that spelling; null when none.
    T* exactly(std::string_view name) const { return static_cast<T*>(table.exactly(name)); }
    void insert(T* item) { table.insert(item); }
    void erase(T* item) { table.erase(item); }

    using Place = NameTable::Place;
    Place place(std::string_view name) const { return table.place(name); }
    static T* itemat(const Place& place) { return static_cast<T*>(place.item); }
    void enter(const Place& place, T* item) { table.enter(place, item); }

private:
    static std::string_view nameof(const void* item) { return std::string_view(static_cast<const T*>(item)->*Name); }
    NameTable table { &nameof };
};

} // namespace nerith
