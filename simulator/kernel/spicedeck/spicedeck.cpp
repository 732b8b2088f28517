#include "simulator/kernel/spicedeck/spicedeck.h"

#include "core/files/pathopen.h"
#include "core/text/ascii.h"
#include "core/windows/process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

SPICEDECK::~SPICEDECK()
{
    freecards(head);
}

void* safemalloc(size_t size)
{
    void* block = std::calloc(1, size ? size : 1);
    if (block)
        return block;
    // The deck is built inside the host's process: running out of memory ends the load through the
    // module's fatal path, never the process.
    fprintf(modulestderr(), "malloc: Internal Error: can't allocate %zu bytes.\n", size);
    onnomemory(size);
}

void* safealloc(size_t size)
{
    return size ? safemalloc(size) : nullptr;
}

char* safecopy(std::string_view text)
{
    auto* copy = static_cast<char*>(safemalloc(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    return copy;
}

SPICECARD* newcard(int32_t line, std::string_view text)
{
    auto* card = static_cast<SPICECARD*>(safemalloc(sizeof(SPICECARD)));
    card->line = line;
    card->text = safecopy(text);
    return card;
}

SPICECARD* copydeck(const SPICECARD* head)
{
    SPICECARD* first = nullptr;
    SPICECARD** tail = &first;
    for (const SPICECARD* card = head; card; card = card->next) {
        SPICECARD* copy = newcard(card->line, card->text ? card->text : "");
        if (card->error)
            copy->error = safecopy(card->error);
        copy->joined = copydeck(card->joined);
        *tail = copy;
        tail = &copy->next;
    }
    return first;
}

void freecards(SPICECARD* head)
{
    while (head) {
        SPICECARD* next = head->next;
        freecards(head->joined);
        std::free(head->text);
        std::free(head->error);
        std::free(head);
        head = next;
    }
}

void settext(SPICECARD* card, std::string_view text)
{
    char* copy = safecopy(text);
    std::free(card->text);
    card->text = copy;
}

std::optional<std::string_view> nexttoken(const char*& p)
{
    while (asciispace(*p))
        ++p;
    if (!*p)
        return std::nullopt;
    const char* start = p;
    int depth = 0;
    for (; *p && !asciispace(*p); ++p) {
        if (*p == ',' && depth <= 0)
            break;
        if (*p == '(')
            ++depth;
        else if (*p == ')')
            --depth;
    }
    std::string_view token(start, static_cast<size_t>(p - start));
    while (asciispace(*p) || *p == ',')
        ++p;
    return token;
}
