#include "host/deckrun/subcktparams.h"

#include <cstddef>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace deckrun {

namespace {

// Instances of parameterised subcircuits nest at most this deep: a definition that instantiates
// itself with ever new values would not end.
constexpr int MostNesting = 100;

struct Assignment {
    std::string name;
    std::string value;
};

// A card split where its assignments start ("params:" or the first "name=value"): the words
// before, and the assignments.
struct Split {
    std::vector<std::string> words;
    std::vector<Assignment> assignments;
    std::string problem;
};

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::vector<std::string> words(std::string_view text)
{
    std::vector<std::string> list;
    for (std::size_t k = 0; k < text.size();) {
        while (k < text.size() && blank(text[k]))
            ++k;
        const std::size_t start = k;
        while (k < text.size() && !blank(text[k]))
            ++k;
        if (k > start)
            list.emplace_back(text.substr(start, k - start));
    }
    return list;
}

Split split(std::string_view card)
{
    Split s;
    std::size_t at = card.find("params:");
    std::size_t rest = at == std::string_view::npos ? at : at + 7;
    if (at == std::string_view::npos) {
        const std::size_t equals = card.find('=');
        if (equals != std::string_view::npos) {
            // The name before the first '=', blanks around it allowed.
            std::size_t end = equals;
            while (end > 0 && blank(card[end - 1]))
                --end;
            at = end;
            while (at > 0 && !blank(card[at - 1]))
                --at;
            rest = at;
        }
    }
    s.words = words(card.substr(0, at));
    if (rest == std::string_view::npos)
        return s;
    for (std::size_t k = rest; k < card.size();) {
        while (k < card.size() && (blank(card[k]) || card[k] == ','))
            ++k;
        if (k >= card.size())
            break;
        const std::size_t equals = card.find('=', k);
        if (equals == std::string_view::npos) {
            s.problem = "\"" + std::string(trimmed(card.substr(k))) + "\": name=value expected";
            return s;
        }
        const std::string name(trimmed(card.substr(k, equals - k)));
        std::size_t start = equals + 1;
        while (start < card.size() && blank(card[start]))
            ++start;
        std::size_t end = start;
        if (start < card.size() && (card[start] == '{' || card[start] == '\'')) {
            end = card.find(card[start] == '{' ? '}' : '\'', start + 1);
            if (end == std::string_view::npos) {
                s.problem = "the value of " + name + " is not closed";
                return s;
            }
            ++end;
        } else {
            while (end < card.size() && !blank(card[end]) && card[end] != ',')
                ++end;
        }
        if (name.empty() || end == start) {
            s.problem = "\"" + std::string(trimmed(card.substr(k, end - k))) + "\": name=value expected";
            return s;
        }
        s.assignments.push_back({ name, std::string(card.substr(start, end - start)) });
        k = end;
    }
    return s;
}

bool starts(std::string_view card, std::string_view word)
{
    const std::string_view text = trimmed(card);
    return text.compare(0, word.size(), word) == 0 && (text.size() == word.size() || blank(text[word.size()]));
}

bool instance(std::string_view card)
{
    const std::string_view text = trimmed(card);
    return !text.empty() && text.front() == 'x';
}

struct Definition {
    std::string name;
    std::vector<std::string> ports;
    std::vector<Assignment> defaults;
    std::vector<LineText> body; // between the .subckt and .ends cards
};

class Plainer {
public:
    Plainer(const Params& deck, std::vector<std::string>& problems)
        : deck(deck)
        , problems(problems)
    {
    }

    std::map<std::string, Definition> definitions;
    std::vector<LineText> made; // the plain copies

    // The card as it stands in `scope`: an instance of a parameterised subcircuit naming its copy;
    // with `braces`, its braced expressions evaluated.
    std::string plain(const LineText& card, const Params& scope, bool braces, int depth)
    {
        if (instance(card.text)) {
            Split s = split(card.text);
            if (!s.words.empty()) {
                const auto found = definitions.find(s.words.back());
                if (found != definitions.end()) {
                    if (!s.problem.empty()) {
                        report(card.line, s.problem);
                        return card.text;
                    }
                    s.words.back() = copy(found->second, s.assignments, scope, card.line, depth + 1);
                    std::string text;
                    for (const std::string& word : s.words)
                        text += (text.empty() ? "" : " ") + word;
                    return text;
                }
            }
        }
        std::string text = card.text;
        if (braces) {
            if (std::optional<std::string> problem = scope.substitute(text))
                report(card.line, *problem);
        }
        return text;
    }

private:
    void report(int32_t line, const std::string& problem)
    {
        problems.push_back("line " + std::to_string(line) + ": " + problem);
    }

    // The name of the plain copy of `d` for the values an instance gives in `caller`.
    std::string copy(
        const Definition& d, const std::vector<Assignment>& given, const Params& caller, int32_t line, int depth)
    {
        if (depth > MostNesting) {
            report(line, "subcircuit " + d.name + " instantiates itself without end");
            return d.name;
        }
        Params scope = deck;
        std::string key = d.name;
        bool valued = true;
        for (const Assignment& parameter : d.defaults) {
            const Assignment* instead = nullptr;
            for (const Assignment& a : given)
                instead = a.name == parameter.name ? &a : instead;
            std::string problem;
            const std::optional<double> value
                = instead ? caller.evaluate(instead->value, &problem) : scope.evaluate(parameter.value, &problem);
            if (!value) {
                report(line, parameter.name + ": " + problem);
                valued = false;
                continue;
            }
            scope.set(parameter.name, *value);
            char text[32];
            std::snprintf(text, sizeof text, " %.17g", *value);
            key += text;
        }
        for (const Assignment& a : given) {
            bool known = false;
            for (const Assignment& parameter : d.defaults)
                known = known || parameter.name == a.name;
            if (!known)
                report(line, "subcircuit " + d.name + " has no parameter " + a.name);
        }
        if (!valued)
            return d.name;
        if (const auto found = copies.find(key); found != copies.end())
            return found->second;
        const std::string name = d.name + "#" + std::to_string(++counts[d.name]);
        copies.emplace(key, name);
        // The body's own parameters first, in their order, then its cards.
        for (const LineText& card : d.body) {
            if (Params::isparam(card.text)) {
                if (std::optional<std::string> problem = scope.define(card.text))
                    report(card.line, *problem);
            }
        }
        std::vector<LineText> body;
        std::string ports;
        for (const std::string& port : d.ports)
            ports += " " + port;
        body.push_back({ line, ".subckt " + name + ports });
        for (const LineText& card : d.body) {
            if (!Params::isparam(card.text))
                body.push_back({ card.line, plain(card, scope, true, depth) });
        }
        body.push_back({ line, ".ends " + name });
        made.insert(made.end(), body.begin(), body.end());
        return name;
    }

    const Params& deck;
    std::vector<std::string>& problems;
    std::unordered_map<std::string, std::string> copies; // by name and values
    std::unordered_map<std::string, int> counts;
};

} // namespace

std::vector<LineText> plainsubckts(std::vector<LineText> cards, const Params& deck, std::vector<std::string>& problems)
{
    Plainer plainer(deck, problems);
    std::vector<LineText> rest;
    for (std::size_t k = 0; k < cards.size(); ++k) {
        if (k == 0 || !starts(cards[k].text, ".subckt")) {
            rest.push_back(std::move(cards[k]));
            continue;
        }
        const Split s = split(cards[k].text);
        if (s.words.size() < 2 || (s.assignments.empty() && cards[k].text.find("params:") == std::string::npos)) {
            rest.push_back(std::move(cards[k]));
            continue;
        }
        if (!s.problem.empty())
            problems.push_back("line " + std::to_string(cards[k].line) + ": " + s.problem);
        Definition d { s.words[1], { s.words.begin() + 2, s.words.end() }, s.assignments, {} };
        // The body to the matching .ends, nested definitions in it.
        const int32_t line = cards[k].line;
        int open = 1;
        for (++k; k < cards.size(); ++k) {
            open += starts(cards[k].text, ".subckt") ? 1 : starts(cards[k].text, ".ends") ? -1 : 0;
            if (open == 0)
                break;
            d.body.push_back(std::move(cards[k]));
        }
        if (open != 0)
            problems.push_back("line " + std::to_string(line) + ": subcircuit " + d.name + " has no .ends card");
        plainer.definitions[d.name] = std::move(d);
    }
    if (plainer.definitions.empty())
        return rest;
    for (std::size_t k = 1; k < rest.size(); ++k)
        rest[k].text = plainer.plain(rest[k], deck, false, 0);
    rest.insert(rest.begin() + (rest.empty() ? 0 : 1), plainer.made.begin(), plainer.made.end());
    return rest;
}

} // namespace deckrun
