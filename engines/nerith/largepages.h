#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace nerith {

// The engine's arrays that grow with the circuit. A circuit of a million unknowns touches gigabytes,
// and touching them in 4 KB pages, one fault each, costs seconds on a virtual machine; so blocks of a
// few megabytes and more are mapped on their own, asked to be backed by 2 MB pages where the system
// grants them on request, and given back to the system as soon as they are freed (a block freed
// into the heap would stay resident under the factors that come next).
void* allocatelarge(std::size_t bytes);
void freelarge(void* block, std::size_t bytes);

// The same for callers that free without a size (KLU): blocks from the heap, advised likewise.
void* mallocadvised(std::size_t bytes);
void* callocadvised(std::size_t count, std::size_t size);
void* reallocadvised(void* block, std::size_t bytes);

template <class T> struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U>&) { }

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(allocatelarge(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) { freelarge(block, count * sizeof(T)); }

    template <class U> bool operator==(const LargeAllocator<U>&) const { return true; }
};

template <class T> using LargeVector = std::vector<T, LargeAllocator<T>>;

} // namespace nerith
