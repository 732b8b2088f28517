#include "platform/ombrel/stringlist.h"

#include <cstring>
#include <new>
#include <strings.h>

STRINGLIST::STRINGLIST(const STRINGLIST& other)
    : DPA()
{
    *this = other;
}

STRINGLIST& STRINGLIST::operator=(const STRINGLIST& other)
{
    if (this == &other)
        return *this;
    zap();
    for (int i = 0; i < other.count; ++i)
        add(other.get(i));
    return *this;
}

STRINGLIST::~STRINGLIST()
{
    zap();
}

int STRINGLIST::add(const char* text, int pos)
{
    if (pos < -1)
        return pos;
    // Allocated as DPA's destroy() frees its items.
    const char* source = text ? text : "";
    const size_t size = std::strlen(source) + 1;
    char* copy = static_cast<char*>(::operator new(size));
    std::memcpy(copy, source, size);
    return DPA::add(copy, pos);
}

int STRINGLIST::find(const char* text, int ignorecase) const
{
    if (!text)
        return -1;
    for (int i = 0; i < count; ++i) {
        const char* item = get(i);
        if (ignorecase ? strcasecmp(item, text) == 0 : std::strcmp(item, text) == 0)
            return i;
    }
    return -1;
}
