#include "simulator/kernel/spicedeck/deckread.h"

#include "core/files/pathopen.h"
#include "core/files/ramfile.h"
#include "core/text/ascii.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/spicedeck/decklog.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <strings.h>
#include <string_view>
#include <vector>

namespace {

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

// Control characters, blanks and bytes from 128 up (taken as signed) lead no card.
std::string_view unled(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && static_cast<signed char>(text[first]) <= ' ')
        ++first;
    return text.substr(first);
}

// Whether the first word of `text` is `name` (lower case) in any case.
bool command(std::string_view text, std::string_view name)
{
    return text.size() >= name.size() && strncasecmp(text.data(), name.data(), name.size()) == 0
        && (text.size() == name.size() || asciispace(text[name.size()]));
}

// The file an ".include" card names: its rest without blanks and enclosing quotes.
std::string includedname(std::string_view rest)
{
    const std::size_t first = std::min(rest.find_first_not_of(" \t\r\f\v"), rest.size());
    const std::size_t last = rest.find_last_not_of(" \t\r\f\v");
    std::string_view name = last == std::string_view::npos || last < first ? "" : rest.substr(first, last + 1 - first);
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
        name = name.substr(1, name.size() - 2);
    return std::string(name);
}

// The load's reading into a chain of cards. A continued card's text grows here and reaches the card
// once, when the next card of its source starts or the source ends, so that a long run of
// continuation lines costs time in proportion to its length.
class CHAINREADER : public DECKREADER {
public:
    CHAINREADER() : DECKREADER(DECKREADING {}) { }

    SPICECARD* first = nullptr;
    SPICECARD* last = nullptr;

    void readsource(std::string_view text, bool included)
    {
        JOINING outer = joining;
        joining = JOINING {};
        read(text, included);
        finish();
        joining = outer;
    }

protected:
    void card(int32_t line, std::string_view text, DECKLINE kind) override
    {
        SPICECARD* made = newcard(line, text);
        (last ? last->next : first) = made;
        last = made;
        if (kind == DECKLINE::ORPHAN)
            made->error = safecopy(CONTINUATIONERROR);
        if (kind == DECKLINE::CARD) {
            finish();
            joining.kept = made;
        }
    }

    // The continuation goes to the end of the kept card's joined lines (its former text first).
    void join(int32_t line, std::string_view text, std::string_view rest) override
    {
        SPICECARD* continuation = newcard(line, text);
        SPICECARD* kept = joining.kept;
        if (!joining.lastjoined) {
            if (!kept->joined)
                kept->joined = newcard(kept->line, kept->text);
            for (joining.lastjoined = kept->joined; joining.lastjoined->next;)
                joining.lastjoined = joining.lastjoined->next;
            joining.text = kept->text;
        }
        joining.lastjoined->next = continuation;
        joining.lastjoined = continuation;
        joining.text.append(" ").append(rest);
    }

    // Reads the included file on the MODELS path after the cards read so far.
    void include(int32_t, const std::string& written) override
    {
        std::string name = written;
        std::transform(name.begin(), name.end(), name.begin(), asciiupper);
        if (name.empty()) {
            decklogf('W', ".include filename missing.");
            return;
        }
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
        readsource(text, true);
    }

private:
    struct JOINING {
        SPICECARD* kept = nullptr; // the card continuation lines join; null before the first
        SPICECARD* lastjoined = nullptr; // null while no line is joined since it was kept
        std::string text;
    };

    void finish()
    {
        if (joining.lastjoined)
            settext(joining.kept, joining.text);
        joining.lastjoined = nullptr;
    }

    JOINING joining; // of the source being read
};

} // namespace

void DECKREADER::read(std::string_view text, bool included)
{
    bool titled = !reading.sourcetitles && included; // whether the title has passed
    bool continuable = false;
    bool control = false;
    std::string written; // the line as written
    std::string line; // in the reading's case
    int32_t number = 0;
    for (std::size_t at = 0; !finished && at < text.size();) {
        const std::size_t feed = std::min(text.find('\n', at), text.size());
        const std::string_view raw = text.substr(at, feed - at);
        at = feed + 1;
        ++number;
        if (raw.empty())
            continue;
        // A NUL would end the card's text early: it is left out.
        written.clear();
        std::copy_if(raw.begin(), raw.end(), std::back_inserter(written), [](char c) { return c != 0; });
        if (reading.carriagereturns && !written.empty() && written.back() == '\r')
            written.pop_back();
        line.resize(written.size());
        std::transform(written.begin(), written.end(), line.begin(),
            [upper = reading.upper](char c) { return upper ? asciiupper(c) : asciilower(c); });
        if (!titled) {
            titled = true;
            if (!reading.sourcetitles || line.empty() || line.front() != '.') {
                card(number, line, DECKLINE::TITLE);
                continue;
            }
        }
        if (reading.semicolons) {
            const std::size_t cut = std::min(line.find(';'), line.size());
            line.resize(cut);
            written.resize(cut);
        }
        const std::string_view body = unled(line);
        if (reading.controlblocks) {
            if (control) {
                control = !command(body, ".endc");
                if (control && !body.empty() && body.front() != '*')
                    card(number, line, DECKLINE::CONTROL);
                continue;
            }
            if (command(body, ".control")) {
                control = true;
                continue;
            }
        }
        if (reading.endcard && command(body, ".end")) {
            finished = true;
            break;
        }
        if (body.empty() || body.front() == '#' || body.front() == '$' || body.front() == '*') {
            card(number, line, DECKLINE::COMMENT);
        } else if (body.front() == '+') {
            if (continuable)
                join(number, line, body.substr(1));
            else
                card(number, line, DECKLINE::ORPHAN);
        } else {
            card(number, line, DECKLINE::CARD);
            continuable = true;
            for (std::string_view word : { std::string_view(".include"), std::string_view(".inc") }) {
                if (command(body, word) && (word.size() == 8 || reading.shortinclude)) {
                    include(number, includedname(std::string_view(written).substr(line.size() - body.size() + word.size())));
                    break;
                }
            }
        }
    }
}

SPICECARD* readdeck(SPICEDECK* deck, VFILE& stream, SPICECARD** end)
{
    std::string text;
    for (int c = stream.getc(); c >= 0; c = stream.getc())
        text += static_cast<char>(c);
    CHAINREADER reader;
    reader.readsource(text, false);
    SPICECARD* first = reader.first;
    SPICECARD* last = reader.last;
    if (!first)
        return nullptr;
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
