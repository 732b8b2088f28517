#include "engines/mavro/deck/cards.h"

#include "engines/mavro/symtab.h"
#include "engines/mavro/token.h"

#include <cstdlib>
#include <cstring>

namespace mavro {

namespace {

bool isblank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The card as messages show it: its start, cut short, on one line.
std::string excerpt(const char* text)
{
    constexpr std::size_t longest = 60;
    std::string shown;
    for (const char* p = text ? text : ""; *p && shown.size() < longest; ++p)
        shown += isblank(*p) ? ' ' : *p;
    if (text && std::strlen(text) > longest)
        shown += "...";
    return shown;
}

bool hasline(std::string_view text, std::string_view line)
{
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (text.substr(start, end - start) == line)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

Card classify(const SPICECARD* card)
{
    const char* p = card->text;
    if (!p)
        return Card::Blank;
    while (isblank(*p))
        ++p;
    if (!*p)
        return Card::Blank;
    if (*p == '*' || *p == '#' || *p == '$')
        return Card::Comment;
    if (*p == '.')
        return Card::Control;
    if (card->line == 1)
        return Card::Title;
    return *p == '+' ? Card::Continuation : Card::Device;
}

bool iscontrol(const SPICECARD* card, std::string_view word)
{
    const char* p = card->text ? card->text : "";
    return sameletters(nexttoken(p, false), word);
}

std::string_view CardReader::token()
{
    return nexttoken(cursor_, true);
}

std::string_view CardReader::peek() const
{
    const char* cursor = cursor_;
    return nexttoken(cursor, true);
}

std::optional<double> CardReader::number()
{
    const char* cursor = cursor_;
    std::optional<double> value = tokenvalue(nexttoken(cursor, true));
    if (value)
        cursor_ = cursor;
    return value;
}

char CardReader::next() const
{
    const char* p = cursor_;
    while (isblank(*p) || *p == ',')
        ++p;
    return *p;
}

void CardReader::skipnext()
{
    while (isblank(*cursor_) || *cursor_ == ',')
        ++cursor_;
    if (*cursor_)
        ++cursor_;
}

std::string_view CardReader::tokenbefore(const char* limit)
{
    const char* p = cursor_;
    while (p < limit && *p && (isblank(*p) || std::strchr(",=()", *p)))
        ++p;
    cursor_ = p;
    if (p >= limit || !*p)
        return {};
    return token();
}

void CardReport::add(std::string message)
{
    if (++count_ <= shown)
        messages_.push_back(std::move(message));
}

void CardReport::note(std::string message)
{
    if (notes_.size() < shown)
        notes_.push_back(std::move(message));
}

void CardReport::tell(const std::string& message) const
{
    IFfrontEnd* frontend = session().frontend;
    if (!frontend || !frontend->error)
        return;
    const std::string card = excerpt(card_->text);
    if (card_->line > 0)
        frontend->error(ERR_WARNING, "line %d: %s in \"%s\"", card_->line, message.c_str(), card.c_str());
    else
        frontend->error(ERR_WARNING, "%s in \"%s\"", message.c_str(), card.c_str());
}

int CardReport::finish()
{
    for (const std::string& message : notes_)
        tell(message);
    if (count_ == 0)
        return 0;
    if (count_ > shown)
        messages_.push_back(std::to_string(count_ - shown) + " more errors on this card");
    std::string text = card_->error ? card_->error : "";
    for (const std::string& message : messages_) {
        // A message the card carries already (the deck reader marks stray continuation lines) is
        // reported, not written twice.
        if (!hasline(text, message))
            text += text.empty() ? message : "\n" + message;
        tell(message);
    }
    if (char* copy = heapcopy(text)) {
        std::free(card_->error);
        card_->error = copy;
    }
    return 1;
}

std::string quoted(std::string_view word)
{
    constexpr std::size_t longest = 40;
    if (word.size() > longest)
        return "\"" + std::string(word.substr(0, longest)) + "...\"";
    return "\"" + std::string(word) + "\"";
}

} // namespace mavro
