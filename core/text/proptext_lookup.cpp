#include "core/text/proptext.h"

#include "core/text/ascii.h"
#include "core/text/propscan.h"
#include "core/text/scan.h"
#include "core/text/values.h"

#include <cstring>

namespace {

constexpr int nameField = 64; // getfield reads at most 63 characters

// The position just after the '=' of the first line, in any section, that names the property.
char* findanywhere(PROPSCAN& scan, const char* name)
{
    while (scan.next()) {
        char* p = scan.line();
        char field[nameField];
        if (getfield(&p, field, '=') && asciicasecmp(field, name) == 0)
            return p;
    }
    return nullptr;
}

// The position just after the '=' of the first property line of that name in the section.
char* findinsection(PROPSCAN& scan, const PROPTEXT& text, const char* sec, const char* name)
{
    const char* wanted = sec ? sec : text.defsection;
    bool inside = sec == nullptr;
    while (scan.next()) {
        char* p = scan.line();
        if (*p == '*') {
            if (const char* header = scan.header())
                inside = asciicasecmp(header, wanted) == 0;
            continue;
        }
        char field[nameField];
        if (inside && getfield(&p, field, '=') && field[0] != ';' && asciicasecmp(field, name) == 0)
            return p;
    }
    return nullptr;
}

char* keep(char* buffer, const char* value)
{
    std::strcpy(buffer, value);
    return buffer;
}

} // namespace

char* PROPTEXT::operator[](const char* name) const
{
    thread_local char found[PROPSCAN::LINEMAX + 1];
    if (!name)
        return nullptr;
    PROPSCAN scan(*this);
    char* value = findanywhere(scan, name);
    if (!value)
        return nullptr;
    skipspaces(&value);
    return keep(found, value);
}

int PROPTEXT::test(const char* name) const
{
    if (!name)
        return 0;
    PROPSCAN scan(*this);
    char* value = findanywhere(scan, name);
    if (value)
        skipspaces(&value);
    return getdefbool(value, 0);
}

int PROPTEXT::test(const char* name, const char* value, int exact) const
{
    if (!name || !value)
        return 0;
    PROPSCAN scan(*this);
    char* found = findanywhere(scan, name);
    if (!found)
        return 0;
    skipspaces(&found);
    return (exact ? std::strcmp(value, found) : asciicasecmp(value, found)) == 0 ? 1 : 0;
}

char* PROPTEXT::get(const char* sec, const char* name) const
{
    thread_local char found[PROPSCAN::LINEMAX + 1];
    if (!name)
        return nullptr;
    PROPSCAN scan(*this);
    char* value = findinsection(scan, *this, sec, name);
    return value ? keep(found, value) : nullptr;
}

int PROPTEXT::exists(const char* sec, const char* name) const
{
    if (!name)
        return 0;
    PROPSCAN scan(*this);
    return findinsection(scan, *this, sec, name) ? 1 : 0;
}
