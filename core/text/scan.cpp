#include "core/text/scan.h"

#include "core/text/ascii.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr size_t unbounded = SIZE_MAX;
constexpr size_t tokenmax = 63;
constexpr size_t listnamemax = 1023;

bool isidentstart(char c)
{
    return asciialpha(c) || c == '_';
}

bool isidentchar(char c)
{
    return isidentstart(c) || asciidigit(c);
}

char* skipblanks(char* s)
{
    while (asciispace(*s))
        ++s;
    return s;
}

bool contains(const char* set, char c)
{
    if (!set)
        return false;
    for (; *set; ++set)
        if (*set == c)
            return true;
    return false;
}

// Walks to the next c; a double quote on the way (when c is not one) opens a stretch that runs to
// the next double quote, inside which nothing matches. Stops on c or on the NUL.
char* walkto(char* s, char c)
{
    while (*s && *s != c) {
        if (*s != '"') {
            ++s;
            continue;
        }
        ++s;
        while (*s && *s != '"')
            ++s;
        if (*s)
            ++s;
    }
    return s;
}

// Copies a quoted string whose opening quote s has passed: "" stands for one quote, a single quote
// closes the string and is consumed, the NUL ends it. Stops after n characters; returns where
// reading stopped and the count copied through len.
char* readquoted(char* s, char* buf, size_t n, size_t& len)
{
    len = 0;
    while (*s && len < n) {
        if (*s == '"') {
            if (s[1] != '"')
                return s + 1;
            ++s;
        }
        buf[len++] = *s++;
    }
    return s;
}

// Length of the identifier at s, counting at most max characters.
size_t identlength(const char* s, size_t max)
{
    if (!isidentstart(*s))
        return 0;
    size_t len = 1;
    while (len < max && isidentchar(s[len]))
        ++len;
    return len;
}

// Whether the first len characters of text equal word, ASCII letters folded; stops at a NUL.
bool equalsfolded(const char* text, const char* word, size_t len)
{
    for (size_t i = 0; i < len; ++i) {
        if (asciilower(text[i]) != asciilower(word[i]))
            return false;
        if (!text[i])
            return false;
    }
    return true;
}

// The decimal number at s in the manner of atoi (blanks, an optional sign, digits; 0 when none),
// wrapping at 32 bits rather than overflowing.
int decimalat(const char* s)
{
    while (asciispace(*s))
        ++s;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+')
        ++s;
    uint32_t value = 0;
    for (; asciidigit(*s); ++s)
        value = value * 10 + static_cast<uint32_t>(*s - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

int readstring(char** p, char* buf, const char* delims, size_t n)
{
    char* s = *p;
    if (!*s) {
        buf[0] = 0;
        return 0;
    }
    s = skipblanks(s);
    size_t len = 0;
    if (*s == '"') {
        s = readquoted(s + 1, buf, n, len);
    } else {
        while (*s && len < n && !contains(delims, *s))
            buf[len++] = *s++;
    }
    buf[len] = 0;
    *p = s;
    return 1;
}

} // namespace

int skipspaces(char** p)
{
    if (!**p)
        return 0;
    *p = skipblanks(*p);
    return **p ? 1 : 0;
}

int skipover(char** p, const char* set)
{
    char* s = *p;
    while (*s && contains(set, *s))
        ++s;
    *p = s;
    return *s ? 1 : 0;
}

int skipto(char** p, char c)
{
    *p = walkto(*p, c);
    return **p ? 1 : 0;
}

int skippast(char** p, char c)
{
    char* s = walkto(*p, c);
    if (!*s) {
        *p = s;
        return 0;
    }
    *p = s + 1;
    return 1;
}

int chkchr(char** p, char c)
{
    char* s = skipblanks(*p);
    if (!*s || *s != c)
        return 0;
    *p = s + 1;
    return 1;
}

int chkstr(char** p, const char* s)
{
    char* t = skipblanks(*p);
    if (!*t)
        return 0;
    size_t len = 0;
    while (s[len])
        ++len;
    if (!equalsfolded(t, s, len))
        return 0;
    *p = t + len;
    return 1;
}

int chktok(char** p, const char* keyword)
{
    char* s = skipblanks(*p);
    size_t len = identlength(s, tokenmax);
    if (!len || !equalsfolded(s, keyword, len) || keyword[len])
        return 0;
    *p = s + len;
    return 1;
}

int gettok(char** p, char* buf)
{
    return getnztok(p, buf, -1);
}

int getnztok(char** p, char* buf, int n)
{
    char* s = skipblanks(*p);
    *p = s;
    if (!isidentstart(*s))
        return 0;
    size_t max = static_cast<unsigned>(n);
    size_t len = 0;
    while (len < max && isidentchar(*s))
        buf[len++] = *s++;
    buf[len] = 0;
    *p = s;
    return 1;
}

int getstr(char** p, char* buf, const char* delims)
{
    return readstring(p, buf, delims, unbounded);
}

int getnzstr(char** p, char* buf, const char* delims, int n)
{
    if (n < 1) {
        if (n == 0)
            buf[0] = 0;
        return 0;
    }
    return readstring(p, buf, delims, static_cast<size_t>(n));
}

int getlinestr(char** p, char* buf)
{
    return readstring(p, buf, "\n", 1023);
}

int getfield(char** p, char* buf, char term)
{
    buf[0] = 0;
    if (!term)
        return 0;
    char* s = skipblanks(*p);
    size_t len = 0;
    int result = 1;
    if (*s == '"') {
        s = skipblanks(readquoted(s + 1, buf, tokenmax, len));
    } else if (*s == term || !*s) {
        result = 0;
    } else {
        while (*s && *s != term && len < tokenmax)
            buf[len++] = *s++;
        while (asciispace(buf[len - 1]))
            --len;
    }
    buf[len] = 0;
    *p = s;
    if (*s != term)
        return 0;
    *p = s + 1;
    return result;
}

int scan_detail::getdefkwd(const char* text, int def, const char* const* keywords)
{
    if (!text)
        return def;
    for (int index = 0; keywords[index]; ++index) {
        const char* keyword = keywords[index];
        size_t namelen = 0;
        while (keyword[namelen] && keyword[namelen] != '=')
            ++namelen;
        if (keyword[namelen] == '=') {
            if (equalsfolded(text, keyword, namelen))
                return decimalat(keyword + namelen + 1);
        } else if (asciicasecmp(text, keyword) == 0) {
            return index;
        }
    }
    return def;
}

int getlistkwd(const char* word, const char* list, int def)
{
    if (!word || !list)
        return def;
    // The list is only read; the shared walkers take the cursor type of the scanners.
    char* s = const_cast<char*>(list);
    char name[listnamemax + 1];
    for (int index = 0; *s; ++index) {
        s = skipblanks(s);
        size_t len = 0;
        if (*s == '"') {
            s = readquoted(s + 1, name, listnamemax, len);
        } else {
            while (*s && *s != '=' && *s != ',' && !asciispace(*s) && len < listnamemax)
                name[len++] = *s++;
        }
        name[len] = 0;
        if (asciicasecmp(word, name) == 0) {
            s = skipblanks(s);
            return *s == '=' ? decimalat(s + 1) : index;
        }
        s = walkto(s, ',');
        if (!*s)
            break;
        ++s;
    }
    return def;
}
