#include "engines/deckrun/controls.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace deckrun {

namespace {

bool isblank(char c)
{
    return c == ' ' || c == '\t';
}

// The words of a card: blanks and commas separate them, except inside parentheses, where blanks
// go and commas stay; "=" stands alone.
std::vector<std::string> words(const char* text)
{
    std::vector<std::string> list;
    std::string word;
    int depth = 0;
    auto flush = [&] {
        if (!word.empty())
            list.push_back(word);
        word.clear();
    };
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '(')
            ++depth;
        if (c == ')' && depth > 0)
            --depth;
        if (depth == 0 && (isblank(c) || c == ',')) {
            flush();
        } else if (depth == 0 && c == '=') {
            flush();
            list.emplace_back("=");
        } else if (!isblank(c)) {
            word += c;
        }
    }
    flush();
    return list;
}

// A number with its scale suffix, as the parser reads one.
std::optional<double> number(const std::string& word)
{
    std::string text = word;
    char* cursor = text.data();
    int error = 0;
    const double value = INPevaluate(&cursor, &error, 1);
    if (error || *cursor)
        return std::nullopt;
    return value;
}

// "v(a)", "v(a,b)" or "i(x)"; nullopt when the word is none of them.
std::optional<Vector> vector(const std::string& word)
{
    if (word.size() < 4 || (word[0] != 'v' && word[0] != 'i') || word[1] != '(' || word.back() != ')')
        return std::nullopt;
    Vector v;
    v.name = word;
    v.kind = word[0];
    const std::string inside = word.substr(2, word.size() - 3);
    if (inside.find_first_of("()") != std::string::npos)
        return std::nullopt;
    const std::size_t comma = inside.find(',');
    v.first = inside.substr(0, comma);
    if (comma != std::string::npos)
        v.second = inside.substr(comma + 1);
    if (v.first.empty() || (comma != std::string::npos && (v.second.empty() || v.kind == 'i'))
        || v.second.find(',') != std::string::npos)
        return std::nullopt;
    if (v.second == "0")
        v.second.clear();
    return v;
}

class Reader {
public:
    Reader(SPICECARD* card, std::vector<std::string>* errors)
        : card_(card)
        , errors_(errors)
    {
    }
    void error(const std::string& message)
    {
        const std::string text = "line " + std::to_string(card_->line) + ": " + message;
        errors_->push_back(text);
        const std::size_t old = card_->error ? std::strlen(card_->error) + 1 : 0;
        auto* joined = static_cast<char*>(std::realloc(card_->error, old + message.size() + 1));
        if (!joined)
            return;
        if (old)
            joined[old - 1] = '\n';
        std::memcpy(joined + old, message.c_str(), message.size() + 1);
        card_->error = joined;
    }

private:
    SPICECARD* card_;
    std::vector<std::string>* errors_;
};

void readtran(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    TranCard tran;
    std::vector<double> numbers;
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (w[i] == "uic") {
            tran.uic = true;
        } else if (std::optional<double> value = number(w[i]); value && numbers.size() < 4) {
            numbers.push_back(*value);
        } else {
            reader.error("unexpected \"" + w[i] + "\" on the .tran card");
            return;
        }
    }
    if (numbers.size() < 2) {
        reader.error(".tran needs a step and a stop time");
        return;
    }
    tran.tstep = numbers[0];
    tran.tstop = numbers[1];
    tran.tstart = numbers.size() > 2 ? numbers[2] : 0;
    tran.tmax = numbers.size() > 3 ? numbers[3] : 0;
    controls.tran = tran;
}

void readprint(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    std::size_t i = 1;
    if (i < w.size() && (w[i] == "tran" || w[i] == "op" || w[i] == "dc"))
        ++i;
    for (; i < w.size(); ++i) {
        if (std::optional<Vector> v = vector(w[i]))
            controls.prints.push_back(*v);
        else
            reader.error("\"" + w[i] + "\" is no vector: v(node), v(node,node) or i(device)");
    }
}

// "v(node) = value" items of .ic and .nodeset cards.
void readvalues(
    const std::vector<std::string>& w, std::vector<std::pair<std::string, double>>& into, Reader& reader)
{
    for (std::size_t i = 1; i < w.size(); i += 3) {
        const std::optional<Vector> v = vector(w[i]);
        const std::optional<double> value = i + 2 < w.size() && w[i + 1] == "=" ? number(w[i + 2]) : std::nullopt;
        if (!v || v->kind != 'v' || !v->second.empty() || !value) {
            reader.error("\"" + w[i] + "\": v(node)=value expected");
            return;
        }
        into.emplace_back(v->first, *value);
    }
}

} // namespace

Controls readcontrols(SPICECARD* deck, std::vector<std::string>* errors)
{
    Controls controls;
    for (SPICECARD* card = deck; card; card = card->next) {
        if (card->line == 1 || !card->text)
            continue;
        const std::vector<std::string> w = words(card->text);
        if (w.empty())
            continue;
        Reader reader(card, errors);
        if (w[0] == ".tran")
            readtran(w, controls, reader);
        else if (w[0] == ".op")
            controls.op = true;
        else if (w[0] == ".print")
            readprint(w, controls, reader);
        else if (w[0] == ".ic")
            readvalues(w, controls.ics, reader);
        else if (w[0] == ".nodeset")
            readvalues(w, controls.nodesets, reader);
    }
    return controls;
}

} // namespace deckrun
