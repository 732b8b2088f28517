#include "core/containers/proplist.h"

#include "core/text/alnum.h"
#include "core/text/ascii.h"
#include "core/text/format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr int formatLimit = 256; // 255 characters and the NUL

// One item block, allocated to match the plain delete of DPA::destroy.
char* makeitem(const char* name, const char* value)
{
    size_t nameLength = std::strlen(name);
    size_t valueLength = std::strlen(value);
    auto* item = static_cast<char*>(::operator new(nameLength + valueLength + 2));
    std::memcpy(item, name, nameLength + 1);
    std::memcpy(item + nameLength + 1, value, valueLength + 1);
    return item;
}

char* copyitem(const void* item)
{
    const char* name = static_cast<const char*>(item);
    return makeitem(name, name + std::strlen(name) + 1);
}

const char* valueof(const void* item)
{
    const char* name = static_cast<const char*>(item);
    return name + std::strlen(name) + 1;
}

} // namespace

PROPLIST::PROPLIST(int step, int replaceflag)
    : DIDX(step, DESTROY, alnumicmp)
    , replace(replaceflag)
{
}

PROPLIST::PROPLIST(const char* text)
    : PROPLIST(0, 1)
{
    addlist(text);
}

PROPLIST::PROPLIST(const PROPLIST& other)
    : PROPLIST(other.count, other.replace)
{
    for (int i = 0; i < other.count; ++i)
        DPA::add(copyitem(other.items[i]));
}

PROPLIST& PROPLIST::operator=(const PROPLIST& other)
{
    if (this == &other)
        return *this;
    zap();
    if (capacity - count < other.count)
        grow(other.count - (capacity - count));
    for (int i = 0; i < other.count; ++i)
        DPA::add(copyitem(other.items[i]));
    return *this;
}

PROPLIST::~PROPLIST()
{
    zap();
}

char* PROPLIST::operator[](const char* name) const
{
    int index = idxn(name);
    return index < 0 ? nullptr : const_cast<char*>(valueof(items[index]));
}

int PROPLIST::test(const char* name, const char* value) const
{
    const char* found = (*this)[name];
    return found && value && asciicasecmp(found, value) == 0 ? 1 : 0;
}

int PROPLIST::getbool(const char* name) const
{
    const char* value = (*this)[name];
    if (!value)
        return 0;
    return value[0] == 'T' || value[0] == 't' || value[0] == '1' || asciicasecmp(value, "ON") == 0 ? 1 : 0;
}

int PROPLIST::equals(const PROPLIST& other) const
{
    if (count != other.count)
        return 0;
    for (int i = 0; i < count; ++i) {
        const char* theirs = other[static_cast<const char*>(items[i])];
        if (!theirs || std::strcmp(theirs, valueof(items[i])) != 0)
            return 0;
    }
    return 1;
}

int PROPLIST::add(const char* name, const char* value)
{
    if (!name)
        return -1;
    if (!value) {
        int index = idxn(name);
        if (index >= 0)
            destroy(DIDX::remove(index));
        return -1;
    }
    if (!replace && idxn(name) >= 0)
        return -1;
    char* item = makeitem(name, value);
    return DIDX::add(item, item);
}

int PROPLIST::remove(int index)
{
    char* item = DIDX::remove(index);
    if (!item)
        return 0;
    destroy(item);
    return 1;
}

int PROPLIST::format(const char* name, const char* fmt, ...)
{
    char text[formatLimit];
    va_list args;
    va_start(args, fmt);
    if (std::strcmp(fmt, "%b") == 0)
        std::strcpy(text, (va_arg(args, int) & 0xFFFF) ? "Yes" : "No");
    else if (std::strcmp(fmt, "%rh") == 0 || std::strcmp(fmt, "%ri") == 0)
        fmtrgb(text, va_arg(args, uint32_t), fmt[2] == 'h');
    else
        std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    const char* old = (*this)[name];
    if (old && std::strcmp(old, text) == 0)
        return 0;
    add(name, text);
    return 1;
}

int PROPLIST::addhex(const char* name, const void* data, unsigned int length)
{
    static const char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    text.reserve(size_t(length) * 2);
    for (unsigned int i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    const char* old = (*this)[name];
    if (old && text == old)
        return 0;
    add(name, text.c_str());
    return 1;
}

void PROPLIST::merge(const PROPLIST& other)
{
    if (capacity - count < other.count)
        grow(other.count - (capacity - count));
    for (int i = 0; i < other.count; ++i)
        add(static_cast<const char*>(other.items[i]), valueof(other.items[i]));
}
