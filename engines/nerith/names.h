#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nerith {

// Whether two names are equal without regard to ASCII case.
bool sameletters(std::string_view a, std::string_view b);

// The untyped core of NameIndex: open-addressing tables of items, read through `namer`.
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

private:
    struct Slot {
        uint64_t hash = 0;
        uint64_t serial = 0; // order of entry
        void* item = nullptr; // null: empty
        bool removed = false; // a tombstone
    };
    struct Table {
        std::vector<Slot> slots;
        std::size_t used = 0; // live entries and tombstones
    };
    template <class Same>
    const Slot* lookup(const Table& table, uint64_t hash, std::string_view name, Same same) const;
    void place(Table& table, uint64_t hash, uint64_t serial, void* item);
    void grow(Table& table);
    void remove(Table& table, uint64_t hash, void* item);

    Namer namer;
    Table exact; // every item, by its exact name
    Table folded; // by name without case: the earliest entered of each spelling family
    uint64_t serials = 0;
};

// Names of one kind of object (nodes, instances, models), found by exact spelling first, then
// without regard to case, where the earliest entered of several candidates wins. The index reads
// the names the objects own (member `Name`), so nothing is copied: an entered object keeps its name
// and its address until it is erased. Not owning.
template <class T, std::string T::*Name> class NameIndex {
public:
    // The item of that name; null when none.
    T* find(std::string_view name) const { return static_cast<T*>(table.find(name)); }
    // The item of exactly that spelling; null when none.
    T* exactly(std::string_view name) const { return static_cast<T*>(table.exactly(name)); }
    void insert(T* item) { table.insert(item); }
    void erase(T* item) { table.erase(item); }

private:
    static std::string_view nameof(const void* item) { return static_cast<const T*>(item)->*Name; }
    NameTable table { &nameof };
};

} // namespace nerith
