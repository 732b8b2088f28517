#include "core/containers/linelist.h"

#include "platform/win/replacefile.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr size_t maxPiece = 8191;

int32_t extent(const LINELIST::LINE* line)
{
    if (line->width != 0)
        return line->width;
    return line->text ? static_cast<int32_t>(std::strlen(line->text)) : 0;
}

char* copyText(const char* source, int length)
{
    auto* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (!text)
        throw std::bad_alloc();
    std::memcpy(text, source, static_cast<size_t>(length));
    text[length] = '\0';
    return text;
}

} // namespace

LINELIST::LINE::LINE(const char* source, int length, int32_t lineWidth)
    : text(source ? copyText(source, length) : nullptr)
    , width(lineWidth)
{
}

LINELIST::LINE::~LINE()
{
    std::free(text);
}

LINELIST::LINELIST(const char* text)
{
    settext(text);
}

LINELIST::~LINELIST()
{
    settext(nullptr);
}

void LINELIST::settext(const char* text)
{
    while (LINE* line = first()) {
        DLIST_BASE::remove(line);
        delete line;
    }
    if (!text)
        return;
    for (const char* start = text; *start;) {
        const char* end = std::strchr(start, '\n');
        int length = static_cast<int>(end ? end - start : std::strlen(start));
        addtotail(new LINE(start, length, length));
        if (!end)
            break;
        start = end + 1;
    }
}

void LINELIST::gettext(char* buffer, int max) const
{
    if (!buffer || (max < 1 && max != -1))
        return;
    long long used = 0;
    for (const LINE* line = first(); line; line = following(line)) {
        if (!line->text)
            continue;
        long long length = static_cast<long long>(std::strlen(line->text));
        if (max != -1 && used + length >= max - 1)
            continue;
        std::memcpy(buffer + used, line->text, static_cast<size_t>(length));
        used += length;
        buffer[used++] = '\n';
    }
    buffer[used] = '\0';
}

void LINELIST::getextent(int* lines, int* longest) const
{
    int n = 0;
    int widest = 0;
    for (const LINE* line = first(); line && line->text; line = following(line)) {
        ++n;
        widest = std::max(widest, static_cast<int>(std::strlen(line->text)));
    }
    if (lines)
        *lines = n;
    if (longest)
        *longest = widest;
}

int LINELIST::textsize() const
{
    int size = 1;
    for (const LINE* line = first(); line; line = following(line))
        if (line->text)
            size += static_cast<int>(std::strlen(line->text)) + 1;
    return size;
}

int LINELIST::count() const
{
    int n = 0;
    getextent(&n, nullptr);
    return n;
}

LINELIST::LINE* LINELIST::insert(const char* text, LINE* before)
{
    if (!text)
        text = "";
    auto* added = new LINE(text, static_cast<int>(std::strlen(text)), 0);
    addbefore(added, before);
    // Every line from the new one down moves one row: it must cover what stood on its row.
    int32_t below = extent(added);
    for (LINE* line = added; line; line = following(line)) {
        const LINE* next = following(line);
        int32_t current = below;
        below = next ? extent(next) : 0;
        line->width = std::max(current, below);
    }
    return added;
}

void LINELIST::remove(LINE* line, int placeholder)
{
    if (!line)
        return;
    if (placeholder)
        addtotail(new LINE(nullptr, 0, 1));
    // Every line after the removed one moves up one row: it must cover what stood there before.
    int32_t above = extent(line);
    for (LINE* moved = following(line); moved; moved = following(moved)) {
        int32_t own = extent(moved);
        moved->width = std::max(own, above);
        above = own;
    }
    DLIST_BASE::remove(line);
    delete line;
}

int LINELIST::load(const char* path)
{
    if (!path)
        return 0;
    FILE* file = std::fopen(path, "r");
    if (!file)
        return 0;
    LINELIST read;
    std::string piece;
    bool cut = false; // the piece before was ended by the length limit, not a line end
    bool pendingCR = false; // a carriage return that is dropped when a line feed follows
    auto endPiece = [&] {
        int length = static_cast<int>(piece.size());
        read.addtotail(new LINE(piece.data(), length, length));
        piece.clear();
    };
    auto addChar = [&](char c) {
        piece.push_back(c);
        cut = false;
        if (piece.size() == maxPiece) {
            endPiece();
            cut = true;
        }
    };
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        for (size_t i = 0; i < got; ++i) {
            char c = block[i];
            if (pendingCR && c != '\n')
                addChar('\r');
            pendingCR = false;
            if (c == '\r') {
                pendingCR = true;
                continue;
            }
            if (c == '\0')
                continue;
            if (c != '\n') {
                addChar(c);
                continue;
            }
            if (!cut || !piece.empty())
                endPiece();
            cut = false;
        }
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return 0;
    if (pendingCR)
        addChar('\r');
    if (!piece.empty())
        endPiece();
    while (LINE* line = read.first()) {
        read.DLIST_BASE::remove(line);
        addtotail(line);
    }
    return 1;
}

int LINELIST::save(const char* path) const
{
    if (!path || !*path)
        return 0;
    std::string temporary;
    FILE* file = openbeside(path, temporary);
    if (!file)
        return 0;
    bool written = true;
    for (const LINE* line = first(); line && written; line = following(line))
        if (line->text)
            written = std::fputs(line->text, file) >= 0 && std::fputc('\n', file) != EOF;
    if (written)
        return replacetarget(file, temporary, path) ? 1 : 0;
    std::fclose(file);
    ::unlink(temporary.c_str());
    return 0;
}
