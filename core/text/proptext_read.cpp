#include "core/text/proptext.h"

#include "core/containers/proplist.h"
#include "core/text/ascii.h"
#include "core/text/propscan.h"
#include "core/text/scan.h"
#include "core/text/strutil.h"

#include <cstring>

namespace {

constexpr int nameBound = 63;
constexpr int valueBound = 1023;
constexpr int sectionBound = 99;

// Adds a record the index now owns: one it refuses, or one it overwrites, is freed here.
void store(GDIDX<PROPITEM>& items, PROPITEM* item, int keeporder)
{
    PROPITEM* previous = nullptr;
    if (items.mode == DIDX::REPLACE) {
        int at = items.idxn(item->name);
        previous = at < 0 ? nullptr : items.ptr(at);
    }
    int at = items.add(item->name, item);
    if (at < 0 || items.ptr(at) != item)
        delete item;
    else if (previous && items.find(previous) < 0)
        delete previous;
    if (keeporder)
        items.locked = items.count;
}

// The end of a value starting at p: a line feed, the NUL, or a '}' outside double quotes.
char* valueend(char* p)
{
    bool quoted = false;
    for (; *p && *p != '\n'; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (*p == '}' && !quoted)
            break;
    }
    return p;
}

} // namespace

void PROPTEXT::getprops(const char* sec, PROPLIST& list, int append, int keeporder) const
{
    if (!append)
        list.zap();
    const char* wanted = sec ? sec : defsection;
    bool inside = sec == nullptr;
    PROPSCAN scan(*this);
    while (scan.next()) {
        char* p = scan.line();
        if (*p == '*') {
            if (const char* header = scan.header())
                inside = asciicasecmp(header, wanted) == 0;
            continue;
        }
        char name[nameBound + 1];
        if (!inside || !getfield(&p, name, '=') || !skipspaces(&p) || name[0] == ';')
            continue;
        list.add(name, p);
        if (keeporder)
            list.locked = list.count;
    }
}

int PROPTEXT::getprops(const char* sec, GDIDX<PROPITEM>& items, int keeporder) const
{
    return parseprops(text, sec, items, keeporder);
}

int parseprops(const char* text, const char* sec, GDIDX<PROPITEM>& items)
{
    return parseprops(text, sec, items, 0);
}

int parseprops(const char* text, const char* sec, GDIDX<PROPITEM>& items, int keeporder)
{
    if (!text)
        return 1;
    enum { NAME, AFTERNAME, VALUE, RESTOFLINE, END } state = NAME;
    char name[nameBound + 1] = "";
    char value[valueBound + 1] = "";
    char section[sectionBound + 1];
    char* p = const_cast<char*>(text);
    int depth = 0;
    int namedepth = 0;
    bool inside = !sec || !*sec;
    bool pending = false;
    bool toolong = false;
    while (state != END) {
        char c = *p;
        if (c == '{') {
            ++depth;
            ++p;
        } else if (c == '}') {
            --depth;
            ++p;
        } else if (c == '\0' || c == '\n') {
            if (state == VALUE)
                pending = inside;
            else
                name[0] = value[0] = '\0';
            state = c ? NAME : END;
            p += c ? 1 : 0;
        } else if (c == ';' && state != VALUE) {
            // A comment; where a value is expected the ';' is the value's first character.
            state = skippast(&p, '\n') ? NAME : RESTOFLINE;
        } else if (state == NAME) {
            if (asciispace(c)) {
                ++p;
            } else if (c == '*') {
                ++p;
                // An empty name, or one that reads as such once trailing blanks and a carriage
                // return are cut, is no header.
                if (getnzstr(&p, section, "{}\n", sectionBound) && *killendspace(section))
                    inside = !sec || asciicasecmp(sec, section) == 0;
            } else if (getnzstr(&p, name, "=}\n", nameBound) && *name) {
                namedepth = depth;
                state = AFTERNAME;
            } else {
                state = RESTOFLINE;
            }
        } else if (state == AFTERNAME) {
            state = c == '=' ? VALUE : AFTERNAME;
            ++p;
        } else if (state == VALUE) {
            if (asciispace(c)) {
                ++p;
                continue;
            }
            char* end = valueend(p);
            auto length = end - p;
            if (length > valueBound) {
                toolong = true;
                value[0] = '\0';
            } else {
                std::memcpy(value, p, static_cast<size_t>(length));
                value[length] = '\0';
            }
            p = end;
            pending = inside;
            state = RESTOFLINE;
        } else {
            ++p;
        }
        if (pending) {
            auto flags = static_cast<uint16_t>(
                (namedepth != 0 ? PROPITEM::NAMEINBRACES : 0) | (depth != 0 ? PROPITEM::VALUEINBRACES : 0));
            store(items, new PROPITEM(killendspace(name), killendspace(value), flags), keeporder);
            name[0] = value[0] = '\0';
            pending = false;
        }
    }
    return toolong ? 0 : 1;
}
