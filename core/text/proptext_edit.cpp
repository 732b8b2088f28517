#include "core/text/proptext.h"

#include "core/text/ascii.h"
#include "core/text/proprewrite.h"
#include "core/text/scan.h"

#include <string>

namespace {

constexpr int nameField = 64; // getfield reads at most 63 characters
constexpr unsigned keepBraces = 4;

// Copies a header line and makes its name the current section; false for any other line.
bool followheader(PROPREWRITE& pass, std::string& current)
{
    const char* header = pass.header();
    if (!header)
        return false;
    current = header;
    pass.copy();
    return true;
}

// Reads the name of a property line into field; the position after its '=', or null for a line
// that is no property line (a star line never is).
char* propertyline(PROPREWRITE& pass, char (&field)[nameField])
{
    if (pass.starline())
        return nullptr;
    char* p = pass.line();
    return getfield(&p, field, '=') ? p : nullptr;
}

// The rest of the logical line from p, a position in line(), never cut.
std::string_view restof(PROPREWRITE& pass, const char* p)
{
    return pass.full().substr(static_cast<size_t>(p - pass.line()));
}

// The braces found on any stored line of the logical line.
unsigned bracesof(std::string_view raw)
{
    unsigned form = 0;
    forstoredlines(raw, [&form](std::string_view line) { form |= storedform(line); });
    return form;
}

} // namespace

void PROPTEXT::add(const char* sec, const char* name, const char* value, uint16_t flags)
{
    if (!name)
        return;
    if (!value) {
        remove(sec, name);
        return;
    }
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    std::string current = defsection;
    unsigned form = flags;
    bool done = false;
    while (pass.next()) {
        if (const char* header = pass.header()) {
            // A new property closes its section, above the header of the next one.
            if (!done && samesection(current.c_str(), wanted) && !samesection(header, wanted)) {
                pass.property(name, value, form);
                done = true;
            }
            followheader(pass, current);
            continue;
        }
        char field[nameField];
        if (!propertyline(pass, field) || !samesection(current.c_str(), wanted)
            || asciicasecmp(field, name) != 0) {
            pass.copy();
            continue;
        }
        if (form & keepBraces)
            form |= bracesof(pass.raw());
        pass.property(name, value, form);
        done = true;
    }
    if (!done) {
        if (!samesection(current.c_str(), wanted))
            pass.sectionheader(wanted);
        pass.property(name, value, form);
    }
    pass.finish();
}

void PROPTEXT::remove(const char* sec, const char* name)
{
    if (!name)
        return;
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    std::string current = defsection;
    while (pass.next()) {
        if (followheader(pass, current))
            continue;
        char field[nameField];
        if (propertyline(pass, field) && samesection(current.c_str(), wanted)
            && asciicasecmp(field, name) == 0)
            continue;
        pass.copy();
    }
    pass.finish();
}

void PROPTEXT::rename(const char* sec, const char* oldname, const char* newname)
{
    if (!oldname)
        return;
    if (!newname || !*newname) {
        remove(sec, oldname);
        return;
    }
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    std::string current = defsection;
    while (pass.next()) {
        if (followheader(pass, current))
            continue;
        char field[nameField];
        char* value = propertyline(pass, field);
        if (!value || !samesection(current.c_str(), wanted) || asciicasecmp(field, oldname) != 0) {
            pass.copy();
            continue;
        }
        // The value was read logically: its literal braces are stored doubled again.
        pass.property(newname, doublebraces(restof(pass, value)), bracesof(pass.raw()));
    }
    pass.finish();
}

void PROPTEXT::hide(const char* sec, const char* name, uint16_t flags)
{
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    std::string current = defsection;
    while (pass.next()) {
        if (followheader(pass, current))
            continue;
        char field[nameField];
        char* value = propertyline(pass, field);
        bool chosen = value && samesection(current.c_str(), wanted)
            && (name ? asciicasecmp(field, name) == 0 : field[0] != ';');
        if (chosen)
            skipspaces(&value);
        if (!chosen || restof(pass, value).empty()) {
            pass.copy();
            continue;
        }
        pass.property(doublebraces(field), doublebraces(restof(pass, value)), flags & 3u);
    }
    pass.finish();
}
