#include "host/deckrun/deck.h"

#include "host/deckrun/params.h"
#include "host/deckrun/subcktparams.h"

#include "engines/nerith/largepages.h"
#include "platform/win/boundedread.h"
#include "simulator/kernel/spicedeck/sourcetranslate.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "simulator/kernel/spicedeck/subcktexpand.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <regex>
#include <string_view>

namespace deckrun {

namespace {

// Included files may include others, up to this depth (a file including itself stops there).
constexpr int MostNesting = 16;

// How the runner reads outside decks, on top of the simulator's reading.
DECKREADING outsidedecks()
{
    DECKREADING reading;
    reading.upper = false;
    reading.sourcetitles = false;
    reading.semicolons = true;
    reading.carriagereturns = true;
    reading.controlblocks = true;
    reading.endcard = true;
    reading.shortinclude = true;
    return reading;
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

// The file an ".include" card names, relative to the folder of the deck naming it.
std::string includepath(const std::string& name, const std::string& from)
{
    if (name.empty() || name.front() == '/')
        return name;
    const std::size_t slash = from.rfind('/');
    return slash == std::string::npos ? name : from.substr(0, slash + 1) + name;
}

// The controlled sources' POLY and VALUE forms as the simulator translates them: in upper case, read
// in lower case.
void translate(SPICECARD* card)
{
    const char* first = card->text + std::strspn(card->text, " \t");
    if (!*first || std::strchr("efgh", *first) == nullptr)
        return;
    for (char* c = card->text; *c; ++c)
        *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    translatesource(card);
    for (char* c = card->text; *c; ++c)
        *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
}

// The reference's MOSFET levels 8 and 49 are BSIM3, the engine's level 7 (the suite's own SPICE
// parts keep their level table).
void relevel(SPICECARD* card)
{
    static const std::regex bsim3(R"(^(\s*\.model\s+\S+\s+\(?\s*[np]mos\b.*?\blevel\s*=?\s*)(8|49)(\.0*)?(?![\w.]))");
    const char* first = card->text + std::strspn(card->text, " \t");
    if (std::strncmp(first, ".model", 6) != 0)
        return;
    std::cmatch found;
    if (!std::regex_search(card->text, found, bsim3))
        return;
    const std::string text = found.prefix().str() + found[1].str() + "7" + found.suffix().str();
    std::free(card->text);
    card->text = copy(text);
}

} // namespace

// A card handed out: its parameters defined or its braced expressions evaluated, then translated.
SPICECARD* Deck::make(int32_t line, std::string_view text, bool device)
{
    std::string card(text);
    // A .print card's braces hold another simulator's print expressions, which it leaves out.
    const bool print = card.compare(std::min(card.find_first_not_of(" \t"), card.size()), 6, ".print") == 0;
    std::optional<std::string> problem;
    if (Params::isparam(card))
        problem = params.define(card);
    else if (!print)
        problem = params.substitute(card);
    if (problem)
        problems.push_back("line " + std::to_string(line) + ": " + *problem);
    SPICECARD* made = makecard(line, Params::isparam(card) ? "* " + card : card);
    if (device)
        translate(made);
    else
        relevel(made);
    return made;
}

Deck::Deck()
    : DECKREADER(outsidedecks())
{
}

Deck::~Deck()
{
    release();
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
    if (readfile(path))
        return true;
    *error = failure;
    return false;
}

// The title is no device card, nor is a card that is no device's (a control, a continuation that
// continues nothing).
bool Deck::isdevice(std::size_t stretch, std::size_t card, std::string_view text) const
{
    return !(titled && stretch == 0 && card == 0) && isdevicetext(text);
}

bool Deck::isdevicetext(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return first != std::string_view::npos && text[first] != '.' && text[first] != '+';
}

// The cards as one list, the device cards too or not; it replaces the list handed out before.
SPICECARD* Deck::list(bool devicestoo)
{
    freecards(owned);
    owned = nullptr;
    SPICECARD** link = &owned;
    for (std::size_t s = 0; s < stretches.size(); ++s) {
        const Stretch& stretch = stretches[s];
        std::size_t offset = 0;
        for (std::size_t k = 0; k < stretch.count; ++k) {
            const Card& card = stretch.card(k);
            const std::string_view text(stretch.base + offset, card.length);
            offset += card.length;
            const bool device = isdevice(s, k, text);
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
    freecards(owned);
    owned = nullptr;
    std::vector<LineText> cards;
    for (const Stretch& stretch : stretches) {
        std::size_t offset = 0;
        for (std::size_t k = 0; k < stretch.count; ++k) {
            const Card& card = stretch.card(k);
            cards.push_back({ card.line, std::string(stretch.base + offset, card.length) });
            offset += card.length;
        }
    }
    // The deck's parameters as its instances of parameterised subcircuits see them; the cards'
    // own reading defines them again, in order, and reports what does not read.
    Params deck = params;
    int depth = 0;
    for (std::size_t k = titled ? 1 : 0; k < cards.size(); ++k) {
        const std::string_view text = cards[k].text;
        const std::size_t first = std::min(text.find_first_not_of(" \t"), text.size());
        depth += text.compare(first, 7, ".subckt") == 0 ? 1 : text.compare(first, 5, ".ends") == 0 ? -1 : 0;
        if (depth == 0 && Params::isparam(text))
            deck.define(text);
    }
    cards = plainsubckts(std::move(cards), deck, problems);
    SPICECARD** link = &owned;
    for (std::size_t k = 0; k < cards.size(); ++k) {
        *link = make(cards[k].line, cards[k].text, !(titled && k == 0) && isdevicetext(cards[k].text));
        link = &(*link)->next;
    }
    SPICECARD* head = owned;
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
        const Card& card = stretch.card(handedcards);
        const std::string_view text(stretch.base + handedbytes, card.length);
        handedbytes += card.length;
        if (!isdevice(handed, handedcards++, text))
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

// Reads the deck or a file it includes.
bool Deck::readfile(const std::string& path)
{
    std::string contents;
    std::string problem;
    if (!readbounded(path.c_str(), contents, problem)) {
        failure = "cannot read " + path + ": " + problem;
        return false;
    }
    files.push_back(path);
    DECKREADER::read(contents, files.size() > 1);
    files.pop_back();
    return failure.empty();
}

// A new card at the end of the last stretch. An included file's cards take the line of the deck's
// ".include" card.
void Deck::store(int32_t line, std::string_view text)
{
    std::memcpy(room(text.size(), false), text.data(), text.size());
    Stretch& last = stretches.back();
    last.card(last.count++) = Card { static_cast<uint32_t>(text.size()), includeline ? includeline : line };
    last.used += text.size();
}

void Deck::card(int32_t line, std::string_view text, DECKLINE kind)
{
    if (kind == DECKLINE::COMMENT)
        return;
    if (kind == DECKLINE::CONTROL) {
        control(line, text);
        return;
    }
    titled = titled || kind == DECKLINE::TITLE;
    joinable = kind == DECKLINE::CARD;
    const std::size_t first = text.find_first_not_of(" \t");
    subcircuits = subcircuits
        || (kind == DECKLINE::CARD && text.compare(first, 7, ".subckt") == 0
            && (text.size() == first + 7 || text[first + 7] == ' ' || text[first + 7] == '\t'));
    store(line, text);
}

// A command of a .control block, as the reference's batch mode runs it: an analysis command is the
// analysis card of its name; "run" runs the deck's own analyses, which run anyway; any other command
// is left out with a warning.
void Deck::control(int32_t line, std::string_view text)
{
    static constexpr std::string_view analyses[] = { "op", "tran", "ac", "dc", "tf", "noise", "disto" };
    const std::size_t first = std::min(text.find_first_not_of(" \t"), text.size());
    const std::string_view command = text.substr(first, text.find_first_of(" \t", first) - first);
    const int32_t place = includeline ? includeline : line;
    if (std::find(std::begin(analyses), std::end(analyses), command) != std::end(analyses)) {
        store(line, "." + std::string(text.substr(first)));
        joinable = false;
    } else if (command != "run") {
        notes.push_back("line " + std::to_string(place) + ": control command \"" + std::string(command) + "\" left out");
    }
}

// The line continues the last card in place: that card's text is the last text.
void Deck::join(int32_t line, std::string_view text, std::string_view rest)
{
    if (!joinable) {
        store(line, text);
        return;
    }
    if (stretches.back().card(stretches.back().count - 1).length + 1 + rest.size()
        > std::numeric_limits<uint32_t>::max()) {
        failure = files.back() + ":" + std::to_string(line) + ": a card longer than 4 GB";
        stop();
        return;
    }
    char* to = room(1 + rest.size(), true);
    *to = ' ';
    std::memcpy(to + 1, rest.data(), rest.size());
    Stretch& last = stretches.back();
    last.card(last.count - 1).length += static_cast<uint32_t>(1 + rest.size());
    last.used += 1 + rest.size();
}

// The ".include" card itself is no card of the deck: it gives way to the file's cards.
void Deck::include(int32_t line, const std::string& name)
{
    Stretch& last = stretches.back();
    last.used -= last.card(--last.count).length;
    joinable = false;
    if (files.size() > MostNesting) {
        failure = files.back() + ":" + std::to_string(line) + ": includes nested too deep";
        stop();
        return;
    }
    const int32_t outer = includeline;
    if (files.size() == 1)
        includeline = line;
    if (!readfile(includepath(name, files.back())))
        stop();
    includeline = outer;
}

} // namespace deckrun
