#pragma once

#include <cstdint>

// A growable array of untyped item pointers. The array owns its slot block (C heap), never the
// items: the destructor leaves them alone, zap() destroys them through destroy().
// The field order is kept: the host reads count and items of an event list directly.
class DPA {
public:
    DPA();
    explicit DPA(int step);  // step 0 means 100
    DPA(const DPA& other);   // copies the slot block, not the items
    DPA& operator=(const DPA& other);
    virtual ~DPA();

    // Disposes of one item; for DPA a plain free of its memory, no destructor runs.
    virtual void destroy(void* item);

    // Inserts before slot pos (-1 or past the end appends); returns the slot used, or pos
    // unchanged when it is negative other than -1 (nothing added).
    int add(void* item, int pos = -1);
    // The item at index, removed; null when index is out of range.
    char* remove(int index);
    // Removes every slot holding item; returns item, also when it was absent.
    char* remove(void* item);
    // Index of the first slot holding exactly item; -1 when absent.
    int find(const void* item) const;
    void grow(int n);  // adds n slots of capacity; nothing when n < 1
    void shrink();     // capacity becomes count; frees the block when empty
    void zap();        // destroys every item in slot order; keeps the capacity
    int inbounds(int index) const { return index >= 0 && index < count ? 1 : 0; }
    // The item at index; null when out of range.
    char* ptr(int index) const { return inbounds(index) ? static_cast<char*>(items[index]) : nullptr; }

    int32_t capacity;
    int32_t step;
    int32_t count;
    void** items;
};

// Typed view of DPA; destroy() deletes the item as a T (running its destructor).
template <class T>
class GDPA : public DPA {
public:
    GDPA() = default;
    explicit GDPA(int step) : DPA(step) {}

    void destroy(void* item) override { delete static_cast<T*>(item); }

    int add(T* item, int pos = -1) { return DPA::add(item, pos); }
    T* remove(int index) { return reinterpret_cast<T*>(DPA::remove(index)); }
    T* remove(T* item) { return reinterpret_cast<T*>(DPA::remove(static_cast<void*>(item))); }
    int find(const T* item) const { return DPA::find(item); }
    T* ptr(int index) const { return reinterpret_cast<T*>(DPA::ptr(index)); }
    T* operator[](int index) const { return static_cast<T*>(items[index]); }
    T** begin() const { return reinterpret_cast<T**>(items); }
    T** end() const { return reinterpret_cast<T**>(items) + count; }
};
