#include "core/windows/stringtable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/text/ascii.h"
#include "core/text/strutil.h"
#include "core/windows/applncontext.h"
#include "platform/win/messagebox.h"
#include "platform/win/resources.h"
#include "platform/win/winerror.h"

namespace {

constexpr size_t namesbuffer = 200;
constexpr size_t messagebuffer = 200;
constexpr int namelength = 31;
constexpr uint8_t numberedTag = 0;
constexpr uint8_t endTag = 2;

// Names compare on their first 31 characters with ASCII letters folded.
int comparenames(const char* a, const char* b)
{
    for (int i = 0; i < namelength; ++i) {
        unsigned char x = asciiupper(a[i]);
        unsigned char y = asciiupper(b[i]);
        if (x != y || !x)
            return x - y;
    }
    return 0;
}

uint32_t read32(const uint8_t* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// The NUL-terminated text at at, when its terminator lies before end; null otherwise.
const char* boundedtext(const uint8_t* at, const uint8_t* end)
{
    if (at >= end || !memchr(at, 0, static_cast<size_t>(end - at)))
        return nullptr;
    return reinterpret_cast<const char*>(at);
}

} // namespace

STRINGTABLE::STRINGTABLE(int reportflag)
    : report(reportflag)
{
}

STRINGTABLE::STRINGTABLE(const STRINGTABLE& other)
    : report(other.report)
{
    copyfrom(other);
}

STRINGTABLE& STRINGTABLE::operator=(const STRINGTABLE& other)
{
    if (this == &other)
        return *this;
    release();
    report = other.report;
    copyfrom(other);
    return *this;
}

STRINGTABLE::~STRINGTABLE()
{
    release();
}

void STRINGTABLE::release()
{
    zap();
    free(numbered.entries);
    free(named.entries);
    free(contextname);
    numbered = {};
    named = {};
    contextname = nullptr;
}

void STRINGTABLE::copyfrom(const STRINGTABLE& other)
{
    for (int i = 0; i <= other.numbered.last; ++i) {
        NUMBERED entry = other.numbered.entries[i];
        entry.text = strdup(entry.text);
        append(numbered, entry);
    }
    for (int i = 0; i <= other.named.last; ++i) {
        NAMED entry = other.named.entries[i];
        entry.text = strdup(entry.text);
        append(named, entry);
    }
    contextname = other.contextname ? strdup(other.contextname) : nullptr;
    contextmode = other.contextmode;
    translator = other.translator;
}

template <class T> bool STRINGTABLE::append(LIST<T>& list, const T& entry)
{
    int index = list.last + 1;
    if (index > list.highest) {
        int highest = list.highest * 3 / 2;
        if (highest <= index)
            highest = index + 10;
        auto* grown = static_cast<T*>(realloc(list.entries, sizeof(T) * static_cast<size_t>(highest + 1)));
        if (!grown)
            return false;
        list.entries = grown;
        list.highest = highest;
    }
    list.entries[index] = entry;
    list.last = index;
    return true;
}

char* STRINGTABLE::textfor(const char* text, int16_t number, uint32_t flags)
{
    if (!translator)
        return strdup(text);
    if (contextmode && (flags & CONTEXTMARKER)) {
        if (!contextname || strcmp(contextname, text) != 0) {
            free(contextname);
            contextname = strdup(text);
        }
        return strdup(text);
    }
    if (!contextname || static_cast<uint16_t>(number) == UNTRANSLATED)
        return strdup(text);
    char* translated = translator->translate(text, contextname);
    return translated ? translated : strdup(text);
}

bool STRINGTABLE::readnumbered(const uint8_t*& at, const uint8_t* end)
{
    if (end - at < 6)
        return false;
    auto number = static_cast<int16_t>(at[0] | at[1] << 8);
    uint32_t flags = read32(at + 2);
    const char* text = boundedtext(at + 6, end);
    if (!text)
        return false;
    at += 6 + strlen(text) + 1;
    NUMBERED entry { number, flags, textfor(text, number, flags), numbered.last + 1 };
    if (!entry.text || !append(numbered, entry))
        free(entry.text);
    return true;
}

bool STRINGTABLE::readnamed(const uint8_t*& at, const uint8_t* end)
{
    const char* name = boundedtext(at, end);
    if (!name)
        return false;
    const uint8_t* after = at + strlen(name) + 1;
    if (end - after < 4)
        return false;
    const char* text = boundedtext(after + 4, end);
    if (!text)
        return false;
    NAMED entry {};
    strnzcpy(entry.name, name, namelength);
    entry.value = read32(after);
    entry.text = strdup(text);
    at = after + 4 + strlen(text) + 1;
    if (!entry.text || !append(named, entry))
        free(entry.text);
    return true;
}

int STRINGTABLE::load(const char* names, HINSTANCE module)
{
    if (!module) {
        const APPLNCONTEXT* context = getapplncontext();
        module = context->resourceinstance ? context->resourceinstance : context->instance;
        if (!module)
            return 0;
    }
    char list[namesbuffer];
    strnzcpy(list, names, namesbuffer - 1);
    int result = 1;
    for (char* name = list; *name;) {
        char* comma = strchr(name, ',');
        if (comma)
            *comma = '\0';
        HRSRC resource = FindResourceA(module, name, RT_RCDATA);
        if (!resource) {
            if (report) {
                char message[messagebuffer]; // a long name is cut, as the box shows
                if (snprintf(message, sizeof message,
                        "String table resource '%s' not found (GLE=0x%08X, HINSTANCE=%08X).\n.", name,
                        GetLastError(), static_cast<unsigned>(reinterpret_cast<uintptr_t>(module)))
                    < 0)
                    message[0] = '\0';
                MessageBoxA(nullptr, message, "String Table Error", MB_ICONHAND);
            }
            result = 0;
        } else {
            HGLOBAL data = LoadResource(module, resource);
            const auto* at = static_cast<const uint8_t*>(LockResource(data));
            const uint8_t* end = at + SizeofResource(module, resource);
            if (contextmode) {
                free(contextname);
                contextname = strdup("Unknown");
            }
            bool whole = false;
            while (at && at < end) {
                uint8_t tag = *at++;
                if (tag == endTag) {
                    whole = true;
                    break;
                }
                if (!(tag == numberedTag ? readnumbered(at, end) : readnamed(at, end)))
                    break;
            }
            if (!whole)
                result = 0;
            std::sort(numbered.begin(), numbered.end(),
                [](const NUMBERED& a, const NUMBERED& b) { return a.number < b.number; });
            std::sort(named.begin(), named.end(),
                [](const NAMED& a, const NAMED& b) { return comparenames(a.name, b.name) < 0; });
            FreeResource(data);
        }
        if (!comma)
            break;
        name = comma + 1;
    }
    return result;
}

const STRINGTABLE::NUMBERED* STRINGTABLE::findnumber(int16_t number) const
{
    const NUMBERED* begin = numbered.begin();
    const NUMBERED* end = numbered.end();
    const NUMBERED* found
        = std::lower_bound(begin, end, number, [](const NUMBERED& e, int16_t n) { return e.number < n; });
    return found != end && found->number == number ? found : nullptr;
}

const char* STRINGTABLE::string(unsigned long id, int) const
{
    if (id >> 16 == 0) {
        const NUMBERED* entry = findnumber(static_cast<int16_t>(id));
        return entry ? entry->text : "";
    }
    const char* name = reinterpret_cast<const char*>(id);
    const NAMED* begin = named.begin();
    const NAMED* end = named.end();
    const NAMED* found = std::lower_bound(
        begin, end, name, [](const NAMED& e, const char* key) { return comparenames(e.name, key) < 0; });
    return found != end && comparenames(found->name, name) == 0 ? found->text : "";
}

int STRINGTABLE::split(unsigned long id, char** out, int len, int max, char sep) const
{
    if (id >> 16 == 0 && !findnumber(static_cast<int16_t>(id)))
        return 0;
    const char* text = string(id, report);
    int n = 0;
    while (n < max) {
        const char* end = strchr(text, sep);
        size_t length = end ? static_cast<size_t>(end - text) : strlen(text);
        size_t copied = len > 0 && static_cast<size_t>(len) < length ? static_cast<size_t>(len) : length;
        strnzcpy(out[n++], text, static_cast<int>(copied));
        if (!end)
            break;
        text = end + 1;
    }
    return n;
}

int STRINGTABLE::getgroup(unsigned long id, char** out, int max, int len) const
{
    const NUMBERED* entry = findnumber(static_cast<int16_t>(id));
    if (!entry)
        return 0;
    auto group = static_cast<uint16_t>(id);
    const NUMBERED* end = numbered.end();
    int n = 0;
    for (; n < max && entry < end; ++entry) {
        if ((static_cast<uint16_t>(entry->number) & group) != group)
            break;
        strnzcpy(out[n++], entry->text, len);
    }
    return n;
}

void STRINGTABLE::zap()
{
    for (int i = 0; i <= numbered.last; ++i)
        free(numbered.entries[i].text);
    for (int i = 0; i <= named.last; ++i)
        free(named.entries[i].text);
    numbered.last = -1;
    named.last = -1;
}

void STRINGTABLE::settranslator(ITRANSLATE* newtranslator, const char* context)
{
    translator = newtranslator;
    free(contextname);
    contextname = context ? strdup(context) : nullptr;
    contextmode = context ? 0 : 1;
}

int STRINGTABLE::itemasread(int index, unsigned long* id, const char** text) const
{
    for (int i = 0; i <= numbered.last; ++i)
        if (numbered.entries[i].sequence == index)
            return item(i, id, text);
    return 0;
}

int STRINGTABLE::item(int index, unsigned long* id, const char** text) const
{
    if (index < 0 || index > numbered.last)
        return 0;
    if (id)
        *id = static_cast<uint16_t>(numbered.entries[index].number);
    if (text)
        *text = numbered.entries[index].text;
    return 1;
}
