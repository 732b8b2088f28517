#include "simulator/models/spice/deckread.h"

#include "core/files/pathopen.h"
#include "core/files/ramfile.h"
#include "core/text/ascii.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
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
    if (!pathopenspec(folders.c_str(), name.c_str(), nullptr, 0, found)) {
        decklogf('W', "cannot open SPICE source file %s", name.c_str());
        return;
    }
    if (beingread(found)) {
        decklogf('W', "SPICE source file %s includes itself; it is read once.", name.c_str());
        return;
    }
    std::string text;
    if (!readsourcefile(found, text))
        return;
    READINGFILE reading(found);
    RAMFILE stream(text.data(), static_cast<int>(text.size()));
    readdeck(deck, stream, last);
}

// Joins continuation lines onto their card. The text grows here and reaches the card once, when
// the next card starts or finish is called, so that a long run of continuation lines costs time in
// proportion to its length.
class JOINING {
public:
    // The card that continuation lines join now; null before the first.
    SPICECARD* card() const { return kept; }
    // Continuation lines join card from now on.
    void start(SPICECARD* card)
    {
        finish();
        kept = card;
    }
    // The continued card takes the line's text after its '+' (rest); the lines it was joined from
    // follow its former text in its joined lines.
    void add(SPICECARD* continuation, const char* rest)
    {
        if (!lastjoined) {
            if (!kept->joined)
                kept->joined = newcard(kept->line, kept->text);
            for (lastjoined = kept->joined; lastjoined->next;)
                lastjoined = lastjoined->next;
            text = kept->text;
        }
        lastjoined->next = continuation;
        lastjoined = continuation;
        text.append(" ").append(rest);
    }
    void finish()
    {
        if (lastjoined)
            settext(kept, text);
        lastjoined = nullptr;
    }

private:
    SPICECARD* kept = nullptr;
    SPICECARD* lastjoined = nullptr; // null while no line is joined since start
    std::string text;
};

// Joins the source's own continuation lines (never those of the files it includes) to their
// cards, taking them out of the chain.
void joincontinuations(SPICECARD* first, const std::unordered_set<const SPICECARD*>& own)
{
    // A first line that is no dot card is the title: neither continued nor continuing.
    SPICECARD* previous = first->text[0] == '.' ? nullptr : first;
    JOINING joining;
    for (SPICECARD* card = previous ? first->next : first; card;) {
        SPICECARD* next = card->next;
        const char* p = card->text;
        // Control characters, blanks and bytes from 128 up (taken as signed) lead no card.
        while (*p && static_cast<signed char>(*p) <= ' ')
            ++p;
        bool ignored = !own.count(card) || !*p || *p == '#' || *p == '$' || *p == '*';
        if (ignored || *p != '+') {
            if (!ignored)
                joining.start(card);
            previous = card;
        } else if (!joining.card()) {
            card->error = safecopy(CONTINUATIONERROR);
            previous = card;
        } else {
            previous->next = next;
            card->next = nullptr;
            joining.add(card, p + 1);
        }
        card = next;
    }
    joining.finish();
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

bool readsourcefile(const char* spec, std::string& text)
{
    std::string posix = findexistingpath(spec);
    std::string error;
    if (readbounded(posix.c_str(), text, error))
        return true;
    decklogf(
        'E', "SPICE source file %s cannot be read: %s", posix.empty() ? spec : posix.c_str(), error.c_str());
    return false;
}

std::string getenvcopy(const char* name)
{
    const char* value = name ? std::getenv(name) : nullptr;
    return value ? value : "";
}
