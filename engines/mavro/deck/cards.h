#pragma once

#include "engines/mavro/mavro.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mavro {

enum class Card { Blank, Comment, Title, Control, Continuation, Device };

// What a card is by its first character: '*', '#' and '$' comments, '.' control cards, '+' a
// continuation line left unjoined. The first line of every source (line 1) is its title.
Card classify(const SPICECARD* card);

// The first word of a control card (".model", ".options") compared without case.
bool iscontrol(const SPICECARD* card, std::string_view word);

// A cursor over one card's text. Tokens are views into the text (separators as INPgetTok has them:
// white space, ',', '=', '(' and ')'); never reads past the NUL.
class CardReader {
public:
    explicit CardReader(const char* text)
        : cursor_(text ? text : "")
    {
    }

    // The next token, empty at the end of the card.
    std::string_view token();
    std::string_view peek() const;
    // The next token read as a number (it is consumed only then).
    std::optional<double> number();
    // The next character after white space and commas; NUL at the end.
    char next() const;
    // Steps past that next character.
    void skipnext();
    // The next token before `limit` (a position in the text), empty when none is left before it.
    std::string_view tokenbefore(const char* limit);
    bool atend() const { return peek().empty(); }
    const char* position() const { return cursor_; }
    void moveto(const char* position) { cursor_ = position; }

private:
    const char* cursor_;
};

// The messages of one card: written to its error text and reported through the front end, one
// message a line, when the card is done. A card that keeps failing (a 1 MB line of junk) is reported
// with its first messages and a count of the rest.
class CardReport {
public:
    explicit CardReport(SPICECARD* card)
        : card_(card)
    {
    }
    void add(std::string message);
    // A warning that does not fail the card: what the engine has no use for is left out, reported
    // through the front end but not written to the card.
    void note(std::string message);
    bool failed() const { return count_ > 0; }
    // Writes and reports the messages and reports the warnings; 1 when there were messages, else 0.
    int finish();

private:
    void tell(const std::string& message) const;

    static constexpr std::size_t shown = 10;
    SPICECARD* card_;
    std::vector<std::string> messages_;
    std::vector<std::string> notes_;
    std::size_t count_ = 0;
};

// A word of a card for messages: quoted, cut short when long.
std::string quoted(std::string_view word);

} // namespace mavro
