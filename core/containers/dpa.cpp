#include "core/containers/dpa.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr int defaultStep = 100;

void** reallocSlots(void** block, int slots)
{
    auto* grown = static_cast<void**>(std::realloc(block, sizeof(void*) * static_cast<size_t>(slots)));
    if (!grown)
        throw std::bad_alloc();
    return grown;
}
}  // namespace

DPA::DPA() : DPA(defaultStep) {}

DPA::DPA(int stepSize) : capacity(0), step(stepSize == 0 ? defaultStep : stepSize), count(0), items(nullptr) {}

DPA::DPA(const DPA& other) : DPA(other.step)
{
    *this = other;
}

DPA& DPA::operator=(const DPA& other)
{
    if (this == &other)
        return *this;
    step = other.step;
    if (other.count > capacity) {
        items = reallocSlots(items, other.count);
        capacity = other.count;
    }
    if (other.count > 0)
        std::memcpy(items, other.items, sizeof(void*) * static_cast<size_t>(other.count));
    count = other.count;
    return *this;
}

DPA::~DPA()
{
    if (capacity > 0)
        std::free(items);
    items = nullptr;
    capacity = 0;
    count = 0;
}

void DPA::destroy(void* item)
{
    ::operator delete(item);
}

int DPA::add(void* item, int pos)
{
    if (pos == -1 || pos > count)
        pos = count;
    if (pos < 0)
        return pos;
    if (count + 1 > capacity) {
        items = reallocSlots(items, capacity + step);
        capacity += step;
    }
    std::memmove(items + pos + 1, items + pos, sizeof(void*) * static_cast<size_t>(count - pos));
    items[pos] = item;
    ++count;
    return pos;
}

char* DPA::remove(int index)
{
    if (!inbounds(index))
        return nullptr;
    void* item = items[index];
    --count;
    std::memmove(items + index, items + index + 1, sizeof(void*) * static_cast<size_t>(count - index));
    return static_cast<char*>(item);
}

char* DPA::remove(void* item)
{
    for (int i = 0; i < count;) {
        if (items[i] == item)
            remove(i);
        else
            ++i;
    }
    return static_cast<char*>(item);
}

int DPA::find(const void* item) const
{
    for (int i = 0; i < count; ++i)
        if (items[i] == item)
            return i;
    return -1;
}

void DPA::grow(int n)
{
    if (n < 1)
        return;
    items = reallocSlots(items, capacity + n);
    capacity += n;
}

void DPA::shrink()
{
    if (count == 0) {
        std::free(items);
        items = nullptr;
        capacity = 0;
        return;
    }
    items = reallocSlots(items, count);
    capacity = count;
}

void DPA::zap()
{
    for (int i = 0; i < count; ++i)
        destroy(items[i]);
    count = 0;
}
