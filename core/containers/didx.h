#pragma once

#include "core/containers/dpa.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

// Key order of an index: negative, 0 or positive like strcmp; alnumcmp and strcasecmp fit.
using DIDXCOMPARE = int (*)(const char* key, const char* itemkey);

// A DPA kept in the order of a text key. The first `locked` items form a head kept in the order
// they were added (owners raise `locked`); behind it the body is sorted by compare(). What add()
// does with a key already present is fixed by the duplicate mode. Items are not owned: the
// destructor leaves them, zap() destroys them through destroy().
// Lookups (idxn, operator[], remove by item) scan linearly and find the first match in index
// order; only add() searches the body by halves.
class DIDX : public DPA {
public:
    // Duplicate modes: what add() does when the key is present.
    static constexpr uint16_t REPLACE = 0;  // overwrite the slot; the old item is left alone
    static constexpr uint16_t DESTROY = 1;  // destroy the old item, then overwrite the slot
    static constexpr uint16_t KEEPALL = 2;  // insert behind the run of equal keys
    static constexpr uint16_t KEEPOLD = 3;  // store nothing (any other value acts alike)

    // step 0 means 100; a null compare means alnumcmp. The mode is kept in 16 bits.
    explicit DIDX(int step = 0, int mode = REPLACE, DIDXCOMPARE compare = nullptr);

    // The key of an item; for DIDX the item is its own key (a string, or a record that begins
    // with its NUL-terminated name).
    virtual char* key(void* item) const;
    // The key of the item at index; no bounds check.
    virtual char* key(int index) const;
    // Orders key against an item: the compare function (or alnumcmp) on key and the item's key;
    // an item without a key compares as "".
    virtual int compare(const char* key, void* item) const;

    // Adds item under key; returns the index it now stands at, or in KEEPOLD mode on an equal key
    // the index of the item already there (item not stored, still the caller's). New items go into
    // the sorted body, never into the head. A null key stores nothing and returns -1.
    int add(const char* key, void* item);
    int add(void* item) { return add(key(item), item); }
    // Index of the first item, from 0, that compares equal to key; -1 when absent or key is null.
    int idxn(const char* key) const;
    // The item idxn finds; null when absent or key is null.
    char* operator[](const char* key) const;
    // 1 when the item idxn finds stands in the locked head, else 0.
    int islocked(const char* key) const;
    // Removes the first item whose key equals item's, preferring among equal keys the slot that
    // holds exactly this pointer; returns the removed item (not destroyed), null when item or its
    // key is null or nothing matches.
    char* remove(void* item);
    // Removes the slot at index, keeping the head count; the item, or null when out of range.
    char* remove(int index);
    // Destroys every item and empties the head.
    void zap();
    // Sets *first to the slot of the first item whose key begins with prefix (case-sensitive) and
    // *n to the run of items from there that do; no match: *first just past the last slot and
    // *n 0; null prefix: the first slot and the count. Meant for string indexes in byte order.
    void findprefix(const char* prefix, void*** first, int* n) const;
    // For string indexes: adds a copy of key when no item has it. The copy is allocated to match
    // DPA's plain delete, so zap() releases it.
    void addmissing(const char* key);
    // The same for each key of other, in other's order.
    void addmissing(const DIDX& other);

    uint16_t mode;
    int32_t locked;
    DIDXCOMPARE comparefn;  // null: alnumcmp
};

// How GDIDX<T> finds the key of an item. The default serves records whose first field points to
// their NUL-terminated name (PROPITEM); specialise it for other records, deriving from
// GDIDXINLINEKEY<T> for records that begin with the name itself.
template <class T>
struct GDIDXKEY {
    static char* key(const T* item)
    {
        static_assert(std::is_standard_layout_v<T>, "specialise GDIDXKEY: the first field is no key here");
        char* name;
        std::memcpy(&name, static_cast<const void*>(item), sizeof name);
        return name;
    }
};

template <class T>
struct GDIDXINLINEKEY {
    static char* key(const T* item) { return reinterpret_cast<char*>(const_cast<T*>(item)); }
};

// Typed DIDX: keys through GDIDXKEY<T>, destroy() deletes the item as a T (running its
// destructor; a null item is ignored).
template <class T>
class GDIDX : public DIDX {
public:
    explicit GDIDX(int step = 0, int mode = REPLACE, DIDXCOMPARE compare = nullptr) : DIDX(step, mode, compare) {}

    void destroy(void* item) override { delete static_cast<T*>(item); }
    char* key(void* item) const override { return item ? GDIDXKEY<T>::key(static_cast<T*>(item)) : nullptr; }
    char* key(int index) const override { return key(items[index]); }

    int add(const char* name, T* item) { return DIDX::add(name, item); }
    int add(T* item) { return DIDX::add(static_cast<void*>(item)); }
    T* operator[](const char* name) const { return reinterpret_cast<T*>(DIDX::operator[](name)); }
    T* remove(T* item) { return reinterpret_cast<T*>(DIDX::remove(static_cast<void*>(item))); }
    T* remove(int index) { return reinterpret_cast<T*>(DIDX::remove(index)); }
    T* ptr(int index) const { return reinterpret_cast<T*>(DPA::ptr(index)); }
    T** begin() const { return reinterpret_cast<T**>(items); }
    T** end() const { return reinterpret_cast<T**>(items) + count; }
};

// One property as a record: the key of GDIDX<PROPITEM> is its name. Both strings live on the C
// heap and are freed with the record.
struct PROPITEM {
    static constexpr uint16_t NAMEINBRACES = 1;
    static constexpr uint16_t VALUEINBRACES = 2;

    PROPITEM() = default;
    // Copies name and value (null stays null).
    PROPITEM(const char* name, const char* value, uint16_t flags = 0);
    PROPITEM(const PROPITEM&) = delete;
    PROPITEM& operator=(const PROPITEM&) = delete;
    ~PROPITEM();

    char* name = nullptr;
    char* value = nullptr;
    uint16_t flags = 0;
};
