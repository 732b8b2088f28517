#include "core/files/paths.h"

#include <cstring>
#include <string>

#include "platform/win/files.h"

namespace {

bool separator(char c)
{
    return c == '\\' || c == ':';
}

// Cuts the extension off text in place.
void cutext(char* text)
{
    *dotext(text) = '\0';
}

char* empty(char* dst)
{
    *dst = '\0';
    return dst;
}

// dst holding the first n characters of head, then middle and tail; an empty text when that would
// pass 516 characters. head may be dst; middle and tail may not.
char* joinbounded(char* dst, const char* head, size_t n, const char* middle, const char* tail)
{
    size_t m = strlen(middle);
    size_t t = strlen(tail);
    if (n + m + t > PATHBUFFER - 1)
        return empty(dst);
    memmove(dst, head, n);
    memcpy(dst + n, middle, m);
    memcpy(dst + n + m, tail, t + 1);
    return dst;
}

} // namespace

char* filename(const char* path)
{
    const char* p = path + strlen(path);
    while (p > path && !separator(*p))
        --p;
    return const_cast<char*>(separator(*p) ? p + 1 : p);
}

char* dotext(const char* name)
{
    const char* end = name + strlen(name);
    for (const char* p = end; p > name;) {
        --p;
        if (*p == '.')
            return const_cast<char*>(p);
        if (separator(*p))
            break;
    }
    return const_cast<char*>(end);
}

char* copyfilename(char* dst, const char* src)
{
    const char* start = strrchr(src, '\\');
    if (!start)
        start = strrchr(src, ':');
    memmove(dst, start ? start + 1 : src, strlen(start ? start + 1 : src) + 1);
    return dst;
}

char* filestem(char* dst, const char* src)
{
    copyfilename(dst, src);
    cutext(dst);
    return dst;
}

char* stripext(char* dst, const char* src)
{
    if (dst != src)
        memmove(dst, src, strlen(src) + 1);
    cutext(dst);
    return dst;
}

char* addext(char* dst, const char* src, const char* ext)
{
    if (!*src)
        return empty(dst);
    size_t stem = dotext(src) - src;
    return joinbounded(dst, src, stem, ".", ext);
}

char* adddefext(char* dst, const char* src, const char* ext)
{
    if (!*src)
        return empty(dst);
    if (*dotext(src))
        return joinbounded(dst, src, strlen(src), "", "");
    return joinbounded(dst, src, strlen(src), ".", ext);
}

char* addfilename(char* dst, const char* dir, const char* name)
{
    size_t n = dir ? strcspn(dir, ";") : 0;
    if (n == 0)
        return joinbounded(dst, name, strlen(name), "", "");
    return joinbounded(dst, dir, n, separator(dir[n - 1]) ? "" : "\\", name);
}

char* adddefpath(char* path, const char* dir)
{
    if (!*path || filename(path) != path)
        return path;
    std::string name(path);
    return addfilename(path, dir, name.c_str());
}

char* pathtrim(char* dst, const char* src)
{
    if (dst != src)
        memmove(dst, src, strlen(src) + 1);
    char* first = strchr(dst, '\\');
    char* last = strrchr(dst, '\\');
    char* colon = strrchr(dst, ':');
    if (first && first != last)
        *last = '\0';
    else if (first)
        first[1] = '\0';
    else if (colon)
        colon[1] = '\0';
    else
        *dst = '\0';
    return dst;
}

char* derivefilename(char* dst, const char* path, const char* prefix, const char* ext)
{
    std::string name = std::string(prefix) + filename(path);
    if (strlen(path) > PATHBUFFER - 1 || name.size() > PATHBUFFER - 1)
        return empty(dst);
    char work[PATHBUFFER];
    char folder[PATHBUFFER];
    if (!*addext(work, name.c_str(), ext))
        return empty(dst);
    return addfilename(dst, pathtrim(folder, path), work);
}

char* qualifyfilename(char* dst, const char* name)
{
    DWORD n = GetFullPathNameA(name, PATHBUFFER, dst, nullptr);
    return n >= 1 && n <= PATHBUFFER ? dst : nullptr;
}

char* compactpath(char* dst, const char* src, unsigned n)
{
    if (n == 0)
        return dst;
    size_t length = strlen(src);
    if (length < n) {
        memmove(dst, src, length + 1);
        return dst;
    }
    std::string path(src);
    size_t firstLength = std::min(path.find('\\'), path.size());
    size_t budget = n - 1;
    if (firstLength >= budget || budget - firstLength <= 4) {
        size_t left = firstLength >= budget ? 0 : budget - firstLength;
        strcpy(dst, std::string("...").substr(0, std::min<size_t>(left, 3)).c_str());
        return dst;
    }
    budget -= firstLength;
    std::string tail = path.substr(firstLength);
    while (!tail.empty() && tail.size() + 4 > budget) {
        size_t next = tail.find('\\', 1);
        tail = next == std::string::npos ? std::string() : tail.substr(next);
    }
    if (!tail.empty()) {
        strcpy(dst, (path.substr(0, firstLength) + "\\..." + tail).c_str());
        return dst;
    }
    std::string name = filename(path.c_str());
    if (name.size() >= n)
        name = name.substr(0, n - 4) + "...";
    strcpy(dst, name.c_str());
    return dst;
}

char* safefilename(char* text, char c)
{
    for (char* p = text; *p; ++p)
        if (strchr("\"*/:?\\", *p))
            *p = c;
    return text;
}

char* cleanquotedpath(char* path)
{
    for (char* p = path; *p; ++p)
        if (*p == '/')
            *p = '\\';
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == '\\' && path[i + 1] == '\\')
            memmove(path + i + 1, path + i + 2, strlen(path + i + 2) + 1);
    size_t length = strlen(path);
    if (length >= 2 && path[0] == '"' && path[length - 1] == '"') {
        memmove(path, path + 1, length - 2);
        path[length - 2] = '\0';
    }
    return path;
}
