#include "engines/deckrun/deck.h"

#include "core/files/boundedread.h"
#include "simulator/models/spice/subcktexpand.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace deckrun {

namespace {

// Included files may include others, up to this depth (a file including itself stops there).
constexpr int MostNesting = 16;

char* copy(const std::string& text)
{
    char* made = static_cast<char*>(std::malloc(text.size() + 1));
    if (!made)
        throw std::bad_alloc();
    std::memcpy(made, text.c_str(), text.size() + 1);
    return made;
}

SPICECARD* makecard(int32_t line, const std::string& text)
{
    auto* card = static_cast<SPICECARD*>(std::calloc(1, sizeof(SPICECARD)));
    if (!card)
        throw std::bad_alloc();
    card->line = line;
    card->text = copy(text);
    return card;
}

void freecards(SPICECARD* card)
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

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The first word of a card.
std::string command(const std::string& text)
{
    const std::string card = trimmed(text);
    return card.substr(0, card.find_first_of(" \t"));
}

// The file an ".include" card names, relative to the folder of the deck naming it.
std::string includepath(const std::string& card, const std::string& from)
{
    std::string name = trimmed(card.substr(
        card.find_first_of(" \t") == std::string::npos ? card.size() : card.find_first_of(" \t")));
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
        name = name.substr(1, name.size() - 2);
    if (name.empty() || name.front() == '/')
        return name;
    const std::size_t slash = from.rfind('/');
    return slash == std::string::npos ? name : from.substr(0, slash + 1) + name;
}

} // namespace

Deck::~Deck()
{
    freecards(head);
}

bool Deck::expand()
{
    if (!head || !head->next)
        return true;
    SPICECARD* cards = head->next;
    head->next = expandsubckts(cards);
    for (tail = head; tail->next;)
        tail = tail->next;
    return head->next != nullptr;
}

bool Deck::read(const std::string& path, std::string* error)
{
    bool read = readfile(path, 0, 0, error);
    finishjoin();
    return read;
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
    std::istringstream in(contents);
    std::string raw;
    bool control = false;
    for (int32_t number = 1; !ended && std::getline(in, raw); ++number) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const int32_t line = depth == 0 ? number : includeline;
        std::string text = lowered(raw);
        if (line != 1 || depth > 0) {
            if (const std::size_t comment = text.find(';'); comment != std::string::npos)
                text.erase(comment);
        }
        const std::string word = command(text);
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
            if (!readfile(includepath(raw, path), line, depth + 1, error))
                return false;
            continue;
        }
        const std::string body = trimmed(text);
        if (!body.empty() && body.front() == '+' && tail) {
            join(line, text, body.substr(1));
            continue;
        }
        append(line, text);
    }
    return true;
}

// The card takes the line's text; the lines it was joined from hang below it. The text grows in
// jointext and reaches the card once its last line is in, so that a long run of continuation lines
// costs time in proportion to its length.
void Deck::join(int32_t line, const std::string& text, const std::string& rest)
{
    if (!tail->joined) {
        tail->joined = makecard(tail->line, tail->text);
        lastjoined = tail->joined;
        jointext = tail->text;
    }
    lastjoined->next = makecard(line, text);
    lastjoined = lastjoined->next;
    jointext.append(" ").append(rest);
}

void Deck::finishjoin()
{
    if (!lastjoined)
        return;
    std::free(tail->text);
    tail->text = copy(jointext);
    lastjoined = nullptr;
    jointext.clear();
}

void Deck::append(int32_t line, const std::string& text)
{
    finishjoin();
    SPICECARD* card = makecard(line, text);
    if (tail)
        tail->next = card;
    else
        head = card;
    tail = card;
}

} // namespace deckrun
