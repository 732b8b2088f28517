#include "engines/deckrun/deck.h"

#include "engines/nerith/largepages.h"
#include "platform/win/boundedread.h"
#include "simulator/models/spice/sourcetranslate.h"
#include "simulator/models/spice/subcktexpand.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace deckrun {

namespace {

// Included files may include others, up to this depth (a file including itself stops there).
constexpr int MostNesting = 16;

// Cards are read in the C locale's lower case: ASCII letters only.
char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void lower(char* to, std::string_view from)
{
    for (std::size_t k = 0; k < from.size(); ++k)
        to[k] = lowered(from[k]);
}

// Whether `word` is `name` (in lower case) written in any case.
bool named(std::string_view word, std::string_view name)
{
    if (word.size() != name.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
        if (lowered(word[k]) != name[k])
            return false;
    }
    return true;
}

// The title is no device card, nor are comments, controls and a continuation that continues nothing.
bool isdevice(int32_t line, std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return line != 1 && first != std::string_view::npos
        && std::string_view("*#$.+").find(text[first]) == std::string_view::npos;
}

char* copy(std::string_view text)
{
    char* made = static_cast<char*>(std::malloc(text.size() + 1));
    if (!made)
        throw std::bad_alloc();
    std::memcpy(made, text.data(), text.size());
    made[text.size()] = '\0';
    return made;
}

SPICECARD* makecard(int32_t line, std::string_view text)
{
    auto* card = static_cast<SPICECARD*>(std::calloc(1, sizeof(SPICECARD)));
    if (!card)
        throw std::bad_alloc();
    card->line = line;
    card->text = copy(text);
    return card;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The first word of a card.
std::string_view command(std::string_view text)
{
    const std::string_view card = trimmed(text);
    return card.substr(0, card.find_first_of(" \t"));
}

// The file an ".include" card names, relative to the folder of the deck naming it.
std::string includepath(std::string_view card, const std::string& from)
{
    const std::size_t space = card.find_first_of(" \t");
    std::string_view name = trimmed(card.substr(space == std::string_view::npos ? card.size() : space));
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
        name = name.substr(1, name.size() - 2);
    if (name.empty() || name.front() == '/')
        return std::string(name);
    const std::size_t slash = from.rfind('/');
    return slash == std::string::npos ? std::string(name) : from.substr(0, slash + 1) + std::string(name);
}

// The controlled sources' POLY and VALUE forms as the simulator translates them: in upper case, read
// in lower case.
void translate(SPICECARD* card)
{
    const std::string_view word = command(card->text);
    if (word.empty() || std::strchr("efgh", word.front()) == nullptr)
        return;
    for (char* c = card->text; *c; ++c)
        *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    translatesource(card);
    for (char* c = card->text; *c; ++c)
        *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
}

SPICECARD* make(int32_t line, std::string_view text, bool device)
{
    SPICECARD* made = makecard(line, text);
    if (device)
        translate(made);
    return made;
}

} // namespace

Deck::~Deck()
{
    release();
}

void Deck::freecards(SPICECARD* card)
{
    while (card) {
        SPICECARD* next = card->next;
        freecards(card->joined);
        std::free(card->text);
        std::free(card->error);
        std::free(card);
        card = next;
    }
}

void Deck::unmap(Stretch& stretch)
{
    nerith::freelarge(stretch.base, stretch.size);
    stretch = Stretch {};
}

void Deck::release()
{
    freecards(owned);
    owned = nullptr;
    for (Stretch& stretch : stretches)
        unmap(stretch);
    std::vector<Stretch>().swap(stretches);
    handed = handedcards = handedbytes = 0;
}

bool Deck::read(const std::string& path, std::string* error)
{
    return readfile(path, 0, 0, error);
}

// The cards as one list, the device cards too or not; it replaces the list handed out before.
SPICECARD* Deck::list(bool devicestoo)
{
    freecards(owned);
    owned = nullptr;
    SPICECARD** link = &owned;
    for (const Stretch& stretch : stretches) {
        std::size_t offset = 0;
        for (std::size_t k = 0; k < stretch.count; ++k) {
            const Card& card = stretch.card(k);
            const std::string_view text(stretch.base + offset, card.length);
            offset += card.length;
            const bool device = isdevice(card.line, text);
            if (!devicestoo && device)
                continue;
            *link = make(card.line, text, device);
            link = &(*link)->next;
        }
    }
    return owned;
}

SPICECARD* Deck::expanded()
{
    SPICECARD* head = list(true);
    if (!head || !head->next)
        return head;
    head->next = expandsubckts(head->next);
    return head->next ? head : nullptr;
}

SPICECARD* Deck::controls()
{
    return list(false);
}

SPICECARD* Deck::nextdevices(std::size_t count)
{
    SPICECARD* head = nullptr;
    SPICECARD** link = &head;
    while (count > 0 && handed < stretches.size()) {
        Stretch& stretch = stretches[handed];
        if (handedcards == stretch.count) {
            unmap(stretch);
            ++handed;
            handedcards = handedbytes = 0;
            continue;
        }
        const Card& card = stretch.card(handedcards++);
        const std::string_view text(stretch.base + handedbytes, card.length);
        handedbytes += card.length;
        if (!isdevice(card.line, text))
            continue;
        *link = make(card.line, text, true);
        link = &(*link)->next;
        --count;
    }
    return head;
}

// Room for `bytes` more text at the end of the last stretch, for a new card or for the last card
// to grow (`continuing`); a card that does not fit moves whole to a new stretch, one twice its size
// when it outgrows a stretch, so that a card of a million continuation lines is not copied often.
char* Deck::room(std::size_t bytes, bool continuing)
{
    const std::size_t record = continuing ? 0 : sizeof(Card);
    if (!stretches.empty() && stretches.back().room() >= bytes + record)
        return stretches.back().base + stretches.back().used;
    stretches.reserve(stretches.size() + 1);
    Stretch* last = continuing ? &stretches.back() : nullptr;
    const std::size_t moved = last ? last->card(last->count - 1).length : 0;
    const std::size_t needed = moved + bytes + sizeof(Card);
    Stretch fresh;
    fresh.size = std::max(StretchBytes, (2 * needed + sizeof(Card) - 1) / sizeof(Card) * sizeof(Card));
    fresh.base = static_cast<char*>(nerith::allocatelarge(fresh.size));
    if (last) {
        const Card card = last->card(--last->count);
        last->used -= card.length;
        std::memcpy(fresh.base, last->base + last->used, card.length);
        fresh.card(0) = card;
        fresh.count = 1;
        fresh.used = card.length;
        if (last->count == 0) {
            unmap(*last);
            stretches.pop_back();
        }
    }
    stretches.push_back(fresh);
    return fresh.base + fresh.used;
}

// Reads the cards of a file; the main deck (depth 0) numbers its lines, an included file gives
// its cards the line of its ".include" card, so that none of them counts as a title.
bool Deck::readfile(const std::string& path, int32_t includeline, int depth, std::string* error)
{
    std::string contents;
    std::string problem;
    if (!readbounded(path.c_str(), contents, problem)) {
        *error = "cannot read " + path + ": " + problem;
        return false;
    }
    bool control = false;
    int32_t number = 0;
    for (std::size_t at = 0; !ended && at < contents.size();) {
        const std::size_t feed = std::min(contents.find('\n', at), contents.size());
        std::string_view line(contents.data() + at, feed - at);
        at = feed + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const int32_t place = depth == 0 ? number : includeline;
        if (place != 1 || depth > 0)
            line = line.substr(0, line.find(';'));
        const std::string_view word = command(line);
        if (control) {
            control = !named(word, ".endc");
            continue;
        }
        if (named(word, ".control")) {
            control = true;
            continue;
        }
        if (named(word, ".end")) {
            ended = true;
            break;
        }
        if (named(word, ".include") || named(word, ".inc")) {
            if (depth >= MostNesting) {
                *error = path + ":" + std::to_string(number) + ": includes nested too deep";
                return false;
            }
            if (!readfile(includepath(line, path), place, depth + 1, error))
                return false;
            continue;
        }
        subcircuits = subcircuits || named(word, ".subckt");
        const std::string_view body = trimmed(line);
        if (!body.empty() && body.front() == '+' && !stretches.empty()) {
            // The card last read is the last text: the line continues it in place.
            const std::string_view more = body.substr(1);
            if (stretches.back().card(stretches.back().count - 1).length + 1 + more.size()
                > std::numeric_limits<uint32_t>::max()) {
                *error = path + ":" + std::to_string(number) + ": a card longer than 4 GB";
                return false;
            }
            char* to = room(1 + more.size(), true);
            *to = ' ';
            lower(to + 1, more);
            Stretch& last = stretches.back();
            last.card(last.count - 1).length += static_cast<uint32_t>(1 + more.size());
            last.used += 1 + more.size();
            continue;
        }
        lower(room(line.size(), false), line);
        Stretch& last = stretches.back();
        last.card(last.count++) = Card { static_cast<uint32_t>(line.size()), place };
        last.used += line.size();
    }
    return true;
}

} // namespace deckrun
