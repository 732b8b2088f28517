#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace nerith {

// Blocks of a few megabytes and more are asked to be backed by 2 MB pages where the system grants
// them on request: a circuit of a million unknowns first touches gigabytes, and touching them in
// 4 KB pages, one fault each, costs seconds on a virtual machine. Freed with std::free.
void* allocatelarge(std::size_t bytes);
void* callocatelarge(std::size_t count, std::size_t size);
void* reallocatelarge(void* block, std::size_t bytes);

// The allocator of the engine's arrays that grow with the circuit.
template <class T> struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U>&) { }

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        void* block = allocatelarge(count * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) { std::free(block); }

    template <class U> bool operator==(const LargeAllocator<U>&) const { return true; }
};

} // namespace nerith
