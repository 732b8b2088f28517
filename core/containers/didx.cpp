#include "core/containers/didx.h"

#include "core/text/alnum.h"
#include "core/text/strutil.h"

#include <cstdlib>
#include <new>

DIDX::DIDX(int step, int mode, DIDXCOMPARE compare)
    : DPA(step), mode(static_cast<uint16_t>(mode)), locked(0), comparefn(compare)
{
}

char* DIDX::key(void* item) const
{
    return static_cast<char*>(item);
}

char* DIDX::key(int index) const
{
    return key(items[index]);
}

int DIDX::compare(const char* k, void* item) const
{
    const char* itemkey = key(item);
    return (comparefn ? comparefn : alnumcmp)(k, itemkey ? itemkey : "");
}

int DIDX::add(const char* k, void* item)
{
    if (!k)
        return -1;
    int found = -1;
    for (int i = 0; i < locked && i < count && found < 0; ++i)
        if (compare(k, items[i]) == 0)
            found = i;
    if (found < 0) {
        // Only reachable when slots were removed through DPA behind the index's back.
        if (locked > count)
            return DPA::add(item);
        int lo = locked;
        int hi = count;
        int mid = (lo + hi) / 2;
        if (mid < 0 || mid >= count)
            return DPA::add(item, mid);
        int c;
        for (;;) {
            c = compare(k, items[mid]);
            if (c == 0)
                break;
            if (c < 0)
                hi = mid;
            else
                lo = mid;
            int next = (lo + hi) / 2;
            if (next == mid)
                return DPA::add(item, c > 0 ? mid + 1 : mid);
            mid = next;
        }
        found = mid;
    }

    switch (mode) {
    case REPLACE:
        items[found] = item;
        return found;
    case DESTROY:
        // Re-adding the very item must not leave its slot pointing at freed memory.
        if (items[found] != item)
            destroy(items[found]);
        items[found] = item;
        return found;
    case KEEPALL:
        while (found < count && compare(k, items[found]) == 0)
            ++found;
        return DPA::add(item, found);
    default:
        return found;
    }
}

int DIDX::idxn(const char* k) const
{
    if (!k)
        return -1;
    for (int i = 0; i < count; ++i)
        if (compare(k, items[i]) == 0)
            return i;
    return -1;
}

char* DIDX::operator[](const char* k) const
{
    int i = idxn(k);
    return i < 0 ? nullptr : static_cast<char*>(items[i]);
}

int DIDX::islocked(const char* k) const
{
    int i = idxn(k);
    return i >= 0 && i < locked ? 1 : 0;
}

char* DIDX::remove(void* item)
{
    const char* k = item ? key(item) : nullptr;
    if (!k)
        return nullptr;
    int found = -1;
    for (int i = 0; i < count; ++i) {
        if (compare(k, items[i]) != 0)
            continue;
        if (items[i] == item)
            return remove(i);
        if (found < 0)
            found = i;
    }
    return found < 0 ? nullptr : remove(found);
}

char* DIDX::remove(int index)
{
    // An index out of range removes nothing, so it must not move the head either.
    if (inbounds(index) && index < locked)
        --locked;
    return DPA::remove(index);
}

void DIDX::zap()
{
    DPA::zap();
    locked = 0;
}

void DIDX::findprefix(const char* prefix, void*** first, int* n) const
{
    if (!prefix) {
        *first = items;
        *n = count;
        return;
    }
    const size_t length = std::strlen(prefix);
    auto begins = [&](int i) {
        const char* k = key(i);
        return k && std::strncmp(k, prefix, length) == 0;
    };
    int i = 0;
    while (i < count && !begins(i))
        ++i;
    int end = i;
    while (end < count && begins(end))
        ++end;
    *first = items + i;
    *n = end - i;
}

void DIDX::addmissing(const char* key)
{
    if (!key || idxn(key) >= 0)
        return;
    const size_t size = std::strlen(key) + 1;
    void* copy = ::operator new(size);
    std::memcpy(copy, key, size);
    add(copy);
}

void DIDX::addmissing(const DIDX& other)
{
    for (int i = 0; i < other.count; ++i)
        addmissing(other.key(i));
}

PROPITEM::PROPITEM(const char* itemname, const char* itemvalue, uint16_t itemflags) : flags(itemflags)
{
    name = heapstrdup(itemname);
    try {
        value = heapstrdup(itemvalue);
    } catch (...) {
        std::free(name);
        throw;
    }
}

PROPITEM::~PROPITEM()
{
    std::free(name);
    std::free(value);
}
