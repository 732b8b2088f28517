#include "core/windows/desktop.h"

#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <cstring>
#include <strings.h>

#include "platform/win/gdi.h"
#include "platform/win/profile.h"

int getprofilebool(const char* section, const char* key, int def)
{
    char text[7];
    if (GetProfileStringA(section, key, "", text, sizeof text) == 0) {
        return def;
    }
    char* word = text;
    while (std::isspace(static_cast<unsigned char>(*word))) {
        ++word;
    }
    word[std::strcspn(word, " ")] = 0;
    for (const char* yes : {"YES", "ON", "TRUE", "1"}) {
        if (strcasecmp(word, yes) == 0) {
            return 1;
        }
    }
    for (const char* no : {"NO", "OFF", "FALSE", "0"}) {
        if (strcasecmp(word, no) == 0) {
            return 0;
        }
    }
    return def;
}

void addtomrulist(const char* item, char** list, int* count, int max)
{
    if (!item || !list || !count || max < 1) {
        return;
    }
    for (int i = 0; i < *count; ++i) {
        if (std::strcmp(list[i], item) == 0) {
            char* found = list[i];
            std::memmove(list + 1, list, static_cast<size_t>(i) * sizeof *list);
            list[0] = found;
            return;
        }
    }
    char* copy = strdup(item);
    if (!copy) {
        return;
    }
    if (*count >= max) {
        std::free(list[max - 1]);
        *count = max - 1;
    }
    std::memmove(list + 1, list, static_cast<size_t>(*count) * sizeof *list);
    list[0] = copy;
    ++*count;
}

void fillrowgaps(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    const COLORREF wanted = colour & 0x00FFFFFF;
    auto is = [&](int x, int y) { return (GetPixel(dc, x, y) & 0x00FFFFFF) == wanted; };
    for (int y = top; y < bottom; ++y) {
        int x = left;
        while (x < right - 1) {
            if (!is(x, y) || is(x + 1, y)) {
                ++x;
                continue;
            }
            int first = x + 1;
            int scan = first;
            while (scan < right - 1 && (is(scan, y) || !is(scan + 1, y))) {
                ++scan;
            }
            if (scan >= right - 1) {
                break;  // the gap stays open
            }
            for (int p = first; p <= scan + 1; ++p) {
                SetPixel(dc, p, y, colour);
            }
            x = scan + 1;
        }
    }
}
