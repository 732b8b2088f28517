#include "core/containers/proplist.h"

#include "core/text/ascii.h"
#include "core/text/propscan.h"
#include "core/text/proptext.h"
#include "core/text/scan.h"

#include <cstring>

namespace {
constexpr int nameBound = 63;
constexpr int keywordBound = 255;
constexpr int valueBound = 1023;
constexpr size_t sectionLineBound = 4095;
} // namespace

void PROPLIST::addlist(const char* text)
{
    if (!text)
        return;
    char* p = const_cast<char*>(text);
    char name[nameBound + 1];
    char value[valueBound + 1];
    while (getfield(&p, name, '=') && getnzstr(&p, value, "\n,", valueBound)) {
        add(name, value);
        skippast(&p, ',');
    }
}

void PROPLIST::addkwdlist(const char* text, int n)
{
    if (!text)
        return;
    char* p = const_cast<char*>(text);
    char keyword[keywordBound + 1];
    char value[valueBound + 1];
    for (int entries = 0; n == -1 || entries < n; ++entries) {
        if (!getnzstr(&p, keyword, ",=", keywordBound))
            return;
        if (!chkchr(&p, '=') || !getnzstr(&p, value, ",", valueBound))
            std::strcpy(value, keyword);
        add(keyword, value);
        locked = count;
        skippast(&p, ',');
    }
}

void PROPLIST::add(const PROPTEXT& text, const char* section)
{
    PROPSCAN scan(text);
    bool inside = section == nullptr;
    while (scan.next()) {
        char* line = scan.line();
        if (std::strlen(line) > sectionLineBound)
            line[sectionLineBound] = '\0';
        if (line[0] == '*') {
            if (!section)
                return;
            inside = asciicasecmp(line + 1, section) == 0;
            continue;
        }
        if (!inside)
            continue;
        char* p = line;
        char name[nameBound + 1];
        if (!getfield(&p, name, '=') || !skipspaces(&p) || name[0] == ';')
            continue;
        add(name, p);
    }
}
