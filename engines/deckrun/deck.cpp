#include "engines/deckrun/deck.h"

#include "core/files/boundedread.h"
#include "simulator/models/spice/sourcetranslate.h"
#include "simulator/models/spice/subcktexpand.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace deckrun {

namespace {

// Included files may include others, up to this depth (a file including itself stops there).
constexpr int MostNesting = 16;

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

void Deck::release()
{
    freecards(owned);
    owned = nullptr;
    std::string().swap(text);
    std::vector<Card>().swap(cards);
    std::vector<uint32_t>().swap(deviceorder);
}

bool Deck::read(const std::string& path, std::string* error)
{
    return readfile(path, 0, 0, error);
}

bool Deck::isdevice(const Card& card) const
{
    const std::string_view body = trimmed(std::string_view(text).substr(card.offset, card.length));
    return card.line != 1 && !body.empty()
        && std::string_view("*#$.+").find(body.front()) == std::string_view::npos;
}

SPICECARD* Deck::make(const Card& card) const
{
    SPICECARD* made = makecard(card.line, std::string_view(text).substr(card.offset, card.length));
    if (isdevice(card))
        translate(made);
    return made;
}

// The cards as one list, the device cards too or not; it replaces the list handed out before.
SPICECARD* Deck::list(bool devicestoo)
{
    freecards(owned);
    owned = nullptr;
    SPICECARD** link = &owned;
    for (const Card& card : cards) {
        if (!devicestoo && isdevice(card))
            continue;
        *link = make(card);
        link = &(*link)->next;
    }
    return owned;
}

SPICECARD* Deck::expanded()
{
    SPICECARD* head = list(true);
    if (head && head->next)
        head->next = expandsubckts(head->next);
    return head && (head->next || cards.size() == 1) ? head : nullptr;
}

SPICECARD* Deck::controls()
{
    return list(false);
}

SPICECARD* Deck::devicecards(std::size_t from, std::size_t count) const
{
    SPICECARD* head = nullptr;
    SPICECARD** link = &head;
    for (std::size_t k = from; k < deviceorder.size() && k < from + count; ++k) {
        *link = make(cards[deviceorder[k]]);
        link = &(*link)->next;
    }
    return head;
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
    text.reserve(text.size() + contents.size());
    cards.reserve(
        cards.size() + static_cast<std::size_t>(std::count(contents.begin(), contents.end(), '\n')) + 1);
    bool control = false;
    std::string line; // the line in lower case, reused from line to line
    int32_t number = 0;
    for (std::size_t at = 0; !ended && at < contents.size();) {
        const std::size_t feed = std::min(contents.find('\n', at), contents.size());
        std::string_view raw(contents.data() + at, feed - at);
        at = feed + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        const int32_t place = depth == 0 ? number : includeline;
        line.assign(raw);
        for (char& c : line)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (place != 1 || depth > 0) {
            if (const std::size_t comment = line.find(';'); comment != std::string::npos)
                line.erase(comment);
        }
        const std::string_view word = command(line);
        if (control) {
            control = word != ".endc";
            continue;
        }
        if (word == ".control") {
            control = true;
            continue;
        }
        if (word == ".end") {
            ended = true;
            break;
        }
        if (word == ".include" || word == ".inc") {
            if (depth >= MostNesting) {
                *error = path + ":" + std::to_string(number) + ": includes nested too deep";
                return false;
            }
            if (!readfile(includepath(raw, path), place, depth + 1, error))
                return false;
            continue;
        }
        subcircuits = subcircuits || word == ".subckt";
        const std::string_view body = trimmed(line);
        if (!body.empty() && body.front() == '+' && !cards.empty()) {
            // The card last read is the last text: the line continues it in place.
            text.append(" ").append(body.substr(1));
            Card& continued = cards.back();
            continued.length = static_cast<uint32_t>(text.size() - continued.offset);
            continue;
        }
        append(place, line);
    }
    return true;
}

void Deck::append(int32_t line, std::string_view card)
{
    cards.push_back(Card { text.size(), static_cast<uint32_t>(card.size()), line });
    text.append(card);
    // Continuation lines lengthen a card, never change what it is.
    if (isdevice(cards.back()))
        deviceorder.push_back(static_cast<uint32_t>(cards.size() - 1));
}

} // namespace deckrun
