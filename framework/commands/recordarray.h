#pragma once

// A growable array of records held by value, as the command table keeps its entries and context
// starts. It knows the index of its last record (-1 when empty) and of its last allocated slot;
// when a slot i beyond the allocated ones is needed, the last allocated index grows by half of
// itself, or to i + 10 when that would not pass i. Reading a record beyond the last one with
// operator[] extends the array up to it with empty records.

#include <algorithm>
#include <utility>
#include <vector>

template <class T> class RECORDARRAY {
public:
    // Orders two records: negative, 0 or positive.
    using COMPARE = int (*)(const T& a, const T& b);

    explicit RECORDARRAY(int capacity = 0) { grow(capacity); }

    // Appends a copy; the new record.
    T& add(const T& record)
    {
        reserve(size());
        records.push_back(record);
        return records.back();
    }
    // Appends an empty record; the new record.
    T& append() { return add(T {}); }
    // Inserts before index (at the end for an index past it); the new record.
    T& insert(int index, const T& record)
    {
        reserve(size());
        int at = std::clamp(index, 0, size());
        return *records.insert(records.begin() + at, record);
    }
    void remove(int index) { remove(index, 1); }
    // Removes count records from index on; indexes outside the array are passed over.
    void remove(int index, int count)
    {
        int first = std::clamp(index, 0, size());
        int end = std::clamp(index + std::max(count, 0), first, size());
        records.erase(records.begin() + first, records.begin() + end);
    }
    // Index of a record equal to key by compare in an array sorted by compare; -1 when none.
    int find(const T& key, COMPARE compare) const
    {
        auto at = std::lower_bound(records.begin(), records.end(), key,
            [compare](const T& a, const T& b) { return compare(a, b) < 0; });
        return at != records.end() && compare(*at, key) == 0 ? static_cast<int>(at - records.begin()) : -1;
    }
    void sort(COMPARE compare)
    {
        std::stable_sort(
            records.begin(), records.end(), [compare](const T& a, const T& b) { return compare(a, b) < 0; });
    }
    // Whether the pointer points at one of the records.
    bool contains(const T* record) const
    {
        return !records.empty() && record >= records.data() && record < records.data() + records.size();
    }
    bool inbounds(int index) const { return index >= 0 && index < size(); }
    int size() const { return static_cast<int>(records.size()); }
    int last() const { return size() - 1; }
    // The index of the last allocated slot; -1 when none.
    int highest() const { return allocated - 1; }
    // Makes room for capacity records in all.
    void grow(int capacity)
    {
        if (capacity > allocated) {
            records.reserve(static_cast<size_t>(capacity));
            allocated = capacity;
        }
    }
    // Down to the records held, or to the first count of them.
    void shrink() { shrink(size()); }
    void shrink(int count)
    {
        remove(count, size());
        records.shrink_to_fit();
        allocated = size();
    }
    void empty() { records.clear(); }
    // Hands over the records; the array is left empty with no slots.
    std::vector<T> release()
    {
        allocated = 0;
        return std::exchange(records, {});
    }

    // The record at index; an index past the last extends the array up to it.
    T& operator[](int index)
    {
        if (index >= size()) {
            reserve(index);
            records.resize(static_cast<size_t>(index) + 1);
        }
        return records[static_cast<size_t>(index)];
    }
    const T& operator[](int index) const { return records[static_cast<size_t>(index)]; }
    auto begin() const { return records.begin(); }
    auto end() const { return records.end(); }

private:
    // Makes sure slot index exists, growing by the array's rule.
    void reserve(int index)
    {
        if (index < allocated)
            return;
        int last = highest() + highest() / 2;
        if (last <= index)
            last = index + 10;
        grow(last + 1);
    }

    std::vector<T> records;
    int allocated = 0;
};
