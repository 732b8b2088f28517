#include "engines/nerith/largepages.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace nerith {

namespace {

// Below this a block shares its pages with others, and huge pages would only add to the footprint.
constexpr std::size_t LargeFrom = std::size_t { 4 } << 20;

// Advises the whole pages inside the block; what the system does not grant stays in small pages.
void* advised(void* block, std::size_t bytes)
{
    if (!block || bytes < LargeFrom)
        return block;
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto from = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
    madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    return block;
}

} // namespace

void* allocatelarge(std::size_t bytes)
{
    if (bytes < LargeFrom) {
        if (void* block = std::malloc(bytes ? bytes : 1))
            return block;
        throw std::bad_alloc();
    }
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    return advised(block, bytes);
}

void freelarge(void* block, std::size_t bytes)
{
    if (bytes < LargeFrom)
        std::free(block);
    else if (block)
        munmap(block, bytes);
}

void* mallocadvised(std::size_t bytes)
{
    return advised(std::malloc(bytes), bytes);
}

void* callocadvised(std::size_t count, std::size_t size)
{
    return advised(std::calloc(count, size), count * size);
}

void* reallocadvised(void* block, std::size_t bytes)
{
    return advised(std::realloc(block, bytes), bytes);
}

} // namespace nerith
