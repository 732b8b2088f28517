#include "core/text/strutil.h"

#include "core/text/ascii.h"

#include <algorithm>
#include <iterator>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

size_t bound(int n)
{
    return n < 0 ? SIZE_MAX : static_cast<size_t>(n);
}

char* copybounded(char* dst, const char* src, size_t limit)
{
    if (src)
        for (; *src != '\0' && limit > 0; --limit)
            *dst++ = *src++;
    *dst = '\0';
    return dst;
}

// Case-insensitive search with the bad-character rule of Boyer-Moore: one table of 256 shifts per
// key, so a long text is searched without looking at every character.
class FoldedSearch {
public:
    explicit FoldedSearch(const char* key) : key_(key), length_(std::strlen(key))
    {
        std::fill(std::begin(shift_), std::end(shift_), length_);
        for (size_t i = 0; i < length_; ++i)
            shift_[asciiupper(key[i])] = length_ - 1 - i;
    }

    // Leftmost occurrence in the first n characters of text; text for an empty key, else null.
    const char* find(const char* text, size_t n) const
    {
        if (length_ == 0)
            return text;
        if (length_ > n)
            return nullptr;
        size_t i = length_ - 1;
        size_t j = length_ - 1;
        for (;;) {
            unsigned char c = asciiupper(text[i]);
            if (c == asciiupper(key_[j])) {
                if (j == 0)
                    return text + i;
                --i;
                --j;
                continue;
            }
            i += std::max(shift_[c], length_ - j);
            j = length_ - 1;
            if (i >= n)
                return nullptr;
        }
    }

private:
    const char* key_;
    size_t length_;
    size_t shift_[256];
};

// The wildcard compare of strwccmp and strwcicmp; Fold maps a byte for comparing.
template <unsigned char (*Fold)(char)>
class WildcardMatch {
public:
    explicit WildcardMatch(bool escapes) : escapes_(escapes) {}

    int compare(const char* p, const char* s) const
    {
        for (;;) {
            if (*p == '\0')
                return *s == '\0' ? 0 : -Fold(*s);
            if (*p == '*') {
                while (*p == '*' || *p == '?')
                    ++p;
                if (*p == '\0')
                    return 0;
                const char* segmentEnd = literalend(p);
                const char* behind = findsegment(p, segmentEnd, s);
                if (!behind)
                    return Fold(literal(p));
                s = behind;
                p = segmentEnd;
                continue;
            }
            if (*p == '?') {
                if (*s == '\0')
                    return '?';
                ++p;
                ++s;
                continue;
            }
            unsigned char c = Fold(literal(p));
            if (*s == '\0')
                return c;
            if (c != Fold(*s))
                return static_cast<signed char>(c) - static_cast<signed char>(Fold(*s));
            ++s;
        }
    }

private:
    // The pattern character at p taken literally, p moved behind it (and its escape).
    char literal(const char*& p) const
    {
        if (escapes_ && *p == '\\' && p[1] != '\0')
            ++p;
        return *p++;
    }

    // End of the literal run starting at p: the next unescaped '*' or '?', or the pattern's end.
    const char* literalend(const char* p) const
    {
        while (*p != '\0' && *p != '*' && *p != '?')
            literal(p);
        return p;
    }

    // Where s continues behind the first occurrence of the literal run [begin, end) (not empty);
    // null when the run occurs nowhere in s. No later occurrence is ever tried.
    const char* findsegment(const char* begin, const char* end, const char* s) const
    {
        for (;; ++s) {
            const char* p = begin;
            for (const char* t = s;; ++t) {
                if (p == end)
                    return t;
                if (*t == '\0')
                    return nullptr;
                if (Fold(literal(p)) != Fold(*t))
                    break;
            }
        }
    }

    bool escapes_;
};

unsigned char exactbyte(char c)
{
    return static_cast<unsigned char>(c);
}

}  // namespace

extern "C" {

char* strnzcpy(char* dst, const char* src, int n)
{
    copybounded(dst, src, bound(n));
    return dst;
}

char* strnzcat(char* dst, const char* src, int n)
{
    copybounded(dst + std::strlen(dst), src, bound(n));
    return dst;
}

size_t utf8prefix(const char* text, size_t n)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text ? text : "");
    size_t length = 0;
    while (length < n && bytes[length]) {
        const unsigned char lead = bytes[length];
        size_t sequence = lead >= 0xC2 && lead <= 0xDF ? 2
            : lead >= 0xE0 && lead <= 0xEF             ? 3
            : lead >= 0xF0 && lead <= 0xF4             ? 4
                                                       : 1;
        for (size_t i = 1; i < sequence; ++i)
            if ((bytes[length + i] & 0xC0) != 0x80)
                sequence = 1;
        if (length + sequence > n)
            break;
        length += sequence;
    }
    return length;
}

char* charrpl(char* dst, const char* src, char from, char to)
{
    char* d = dst;
    for (; src && *src != '\0'; ++src, ++d)
        *d = *src == from ? to : *src;
    *d = '\0';
    return dst;
}

char* killchars(char* s, const char* set)
{
    if (!set || *set == '\0')
        return s;
    char* kept = s;
    for (const char* p = s; *p != '\0'; ++p)
        if (!std::strchr(set, *p))
            *kept++ = *p;
    *kept = '\0';
    return s;
}

char* killendspace(char* s)
{
    size_t n = std::strlen(s);
    while (n > 0 && asciispace(s[n - 1]))
        --n;
    s[n] = '\0';
    return s;
}

char* trimspace(char* dst, const char* src)
{
    if (!src) {
        *dst = '\0';
        return dst;
    }
    while (asciispace(*src))
        ++src;
    std::memmove(dst, src, std::strlen(src) + 1);
    return killendspace(dst);
}

char* stristr(const char* text, const char* key)
{
    if (!text)
        return nullptr;
    if (!key)
        return const_cast<char*>(text);
    return const_cast<char*>(FoldedSearch(key).find(text, std::strlen(text)));
}

char* strrpl(char* dst, const char* src, const char* find, const char* repl, int casesensitive, int size)
{
    const size_t room = size < 0 ? 0 : static_cast<size_t>(size);
    char* work = nullptr;
    if (dst == src) {
        work = static_cast<char*>(std::malloc(room + 1));
        if (!work)
            return nullptr;
    }
    char* out = work ? work : dst;
    if (!src)
        src = "";
    if (!repl)
        repl = "";
    const size_t findLength = find ? std::strlen(find) : 0;
    const size_t replLength = std::strlen(repl);
    const char* const srcEnd = src + std::strlen(src);

    size_t written = 0;
    auto copy = [&](const char* from, size_t n) {
        n = std::min(n, room - written);
        std::memcpy(out + written, from, n);
        written += n;
    };
    if (findLength > 0) {
        FoldedSearch folded(find);
        while (written < room) {
            const char* hit = casesensitive ? std::strstr(src, find)
                                            : folded.find(src, static_cast<size_t>(srcEnd - src));
            if (!hit)
                break;
            copy(src, static_cast<size_t>(hit - src));
            if (written + replLength < room)
                copy(repl, replLength);
            src = hit + findLength;
        }
    }
    copy(src, static_cast<size_t>(srcEnd - src));
    out[written] = '\0';
    if (work) {
        std::memcpy(dst, work, written + 1);
        std::free(work);
    }
    return dst;
}

int strwccmp(const char* pattern, const char* s, int escapes)
{
    return WildcardMatch<exactbyte>(escapes != 0).compare(pattern, s);
}

int strwcicmp(const char* pattern, const char* s, int escapes)
{
    return WildcardMatch<asciiupper>(escapes != 0).compare(pattern, s);
}

unsigned expandtabs(const char* src, unsigned srcmax, char* dst, unsigned dstmax, const unsigned* stops,
    unsigned nstops, char fill)
{
    const bool listed = nstops > 1 && stops;
    const unsigned interval = nstops == 1 && stops && stops[0] > 0 ? stops[0] : 8;
    unsigned col = 0;
    for (unsigned taken = 0; src && taken < srcmax && src[taken] != '\0' && col < dstmax; ++taken) {
        if (src[taken] != '\t') {
            dst[col++] = src[taken];
            continue;
        }
        unsigned next = col - col % interval + interval;
        if (next < col)
            next = dstmax;
        if (listed) {
            const unsigned* stop = std::find_if(stops, stops + nstops, [col](unsigned s) { return s > col; });
            if (stop == stops + nstops) {
                dst[col++] = ' ';
                continue;
            }
            next = *stop;
        }
        while (col < next && col < dstmax)
            dst[col++] = fill;
    }
    dst[col] = '\0';
    return col;
}

void getcsvfields(const char* line, int n, ...)
{
    va_list fields;
    va_start(fields, n);
    const char* p = line ? line : "";
    for (int i = 0; i < n; ++i) {
        char* out = va_arg(fields, char*);
        // The comma ends the previous field; a line that starts with one has an empty first field.
        if (i > 0 && *p == ',')
            ++p;
        if (*p == '"') {
            for (++p; *p != '\0' && *p != '"' && *p != '\n';)
                *out++ = *p++;
            if (*p != '\0')
                ++p;
        } else {
            while (*p != '\0' && *p != ',' && *p != '\n')
                *out++ = *p++;
        }
        *out = '\0';
    }
    va_end(fields);
}

int keywordp(const char* word, const char* const* table)
{
    if (!word || !table)
        return -1;
    for (int i = 0; table[i]; ++i)
        if (asciicasecmp(word, table[i]) == 0)
            return i;
    return -1;
}

int matchkeyword(const char* word, ...)
{
    va_list keywords;
    va_start(keywords, word);
    int found = -1;
    for (int i = 0; const char* keyword = va_arg(keywords, const char*); ++i) {
        if (word && asciicasecmp(word, keyword) == 0) {
            found = i;
            break;
        }
    }
    va_end(keywords);
    return found;
}
}

char* heapstrdup(const char* s)
{
    if (!s)
        return nullptr;
    char* copy = strdup(s);
    if (!copy)
        throw std::bad_alloc();
    return copy;
}
