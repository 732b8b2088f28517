#include "simulator/models/spice/deckread.h"

#include "core/files/diskfile.h"
#include "core/files/pathopen.h"
#include "core/text/ascii.h"
#include "simulator/models/spice/decklog.h"
#include "simulator/models/spice/spicedeck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unordered_set>
#include <vector>

namespace {

constexpr const char* INCLUDEWORD = ".INCLUDE";
constexpr const char* CONTINUATIONERROR = "Illegal continuation line: ignored.";

// The files being read, outermost first: a file met again inside itself is not read again.
std::vector<std::string> readingfiles;

class READINGFILE {
public:
    explicit READINGFILE(const char* spec) { readingfiles.emplace_back(spec); }
    READINGFILE(const READINGFILE&) = delete;
    READINGFILE& operator=(const READINGFILE&) = delete;
    ~READINGFILE() { readingfiles.pop_back(); }
};

bool beingread(const char* spec)
{
    return std::any_of(readingfiles.begin(), readingfiles.end(),
        [spec](const std::string& file) { return strcasecmp(file.c_str(), spec) == 0; });
}

// The file an ".include" card names (without enclosing quotes and trailing blanks); nullopt for
// any other card.
std::optional<std::string> includedfile(const std::string& text)
{
    size_t word = text.find_first_not_of(" \t\r\f\v");
    size_t length = strlen(INCLUDEWORD);
    if (word == std::string::npos || text.compare(word, length, INCLUDEWORD) != 0)
        return std::nullopt;
    size_t rest = word + length;
    if (rest < text.size() && !asciispace(text[rest]))
        return std::nullopt;
    rest = std::min(text.find_first_not_of(" \t\r\f\v", rest), text.size());
    size_t end = text.find_last_not_of(" \t\r\f\v");
    std::string name = end == std::string::npos || end < rest ? "" : text.substr(rest, end + 1 - rest);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    return name;
}

// Reads the included file on the MODELS path after *last (which becomes the last of its cards).
void include(SPICEDECK* deck, const std::string& name, SPICECARD** last)
{
    std::string folders = getenvcopy("MODELS");
    char found[PATHBUFFER];
    FILE* file = pathopenspec(folders.c_str(), name.c_str(), "r", 0, found);
    if (!file) {
        decklogf('W', "cannot open SPICE source file %s", name.c_str());
        return;
    }
    if (beingread(found)) {
        fclose(file);
        decklogf('W', "SPICE source file %s includes itself; it is read once.", name.c_str());
        return;
    }
    READINGFILE reading(found);
    DISKFILE stream(file);
    try {
        readdeck(deck, stream, last);
    } catch (...) {
        fclose(file);
        throw;
    }
    fclose(file);
}

// The continued card takes the line's text after its '+'; the lines it was joined from follow
// its former text in its joined lines.
void join(SPICECARD* kept, SPICECARD* continuation, const char* rest)
{
    SPICECARD** tail = &kept->joined;
    if (!*tail)
        *tail = newcard(kept->line, kept->text);
    while (*tail)
        tail = &(*tail)->next;
    *tail = continuation;
    std::string text = std::string(kept->text) + " " + rest;
    settext(kept, text);
}

// Joins the source's own continuation lines (never those of the files it includes) to their
// cards, taking them out of the chain.
void joincontinuations(SPICECARD* first, const std::unordered_set<const SPICECARD*>& own)
{
    // A first line that is no dot card is the title: neither continued nor continuing.
    SPICECARD* previous = first->text[0] == '.' ? nullptr : first;
    SPICECARD* kept = nullptr;
    for (SPICECARD* card = previous ? first->next : first; card;) {
        SPICECARD* next = card->next;
        const char* p = card->text;
        // Control characters, blanks and bytes from 128 up (taken as signed) lead no card.
        while (*p && static_cast<signed char>(*p) <= ' ')
            ++p;
        bool ignored = !own.count(card) || !*p || *p == '#' || *p == '$' || *p == '*';
        if (ignored || *p != '+') {
            if (!ignored)
                kept = card;
            previous = card;
        } else if (!kept) {
            card->error = safecopy(CONTINUATIONERROR);
            previous = card;
        } else {
            previous->next = next;
            card->next = nullptr;
            join(kept, card, p + 1);
        }
        card = next;
    }
}

} // namespace

std::optional<std::string> readdeckline(VFILE& stream, int32_t* line)
{
    int c = stream.getc();
    for (; c == '\n'; c = stream.getc())
        ++*line;
    if (c < 0)
        return std::nullopt;
    ++*line;
    std::string text;
    for (; c >= 0 && c != '\n'; c = stream.getc()) {
        // A NUL would end the card's text early: it is left out.
        if (c != 0)
            text += static_cast<char>(asciiupper(static_cast<char>(c)));
    }
    return text;
}

SPICECARD* readdeck(SPICEDECK* deck, VFILE& stream, SPICECARD** end)
{
    SPICECARD* first = nullptr;
    SPICECARD* last = nullptr;
    std::unordered_set<const SPICECARD*> own;
    int32_t line = 0;
    while (std::optional<std::string> text = readdeckline(stream, &line)) {
        SPICECARD* card = newcard(line, *text);
        (last ? last->next : first) = card;
        last = card;
        own.insert(card);
        if (std::optional<std::string> file = includedfile(*text)) {
            if (file->empty())
                decklogf('W', ".include filename missing.");
            else
                include(deck, *file, &last);
        }
    }
    if (!first)
        return nullptr;
    joincontinuations(first, own);
    // Continuation lines may have left the end of the chain.
    for (last = first; last->next;)
        last = last->next;

    SPICECARD** after = end && *end ? &(*end)->next : deck->last ? &deck->last->next : &deck->head;
    last->next = *after;
    *after = first;
    if (end && *end)
        *end = last;
    else if (!last->next)
        deck->last = last;
    return first;
}

std::string getenvcopy(const char* name)
{
    const char* value = name ? std::getenv(name) : nullptr;
    return value ? value : "";
}
