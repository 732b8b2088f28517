#include "host/deckrun/params.h"

#include "engines/mavro/expression_parse.h"

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <regex>

namespace deckrun {

namespace {

bool letter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c));
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The expression with its quotes or braces taken off.
std::string_view unwrapped(std::string_view text)
{
    if (text.size() >= 2
        && ((text.front() == '\'' && text.back() == '\'') || (text.front() == '{' && text.back() == '}')))
        return text.substr(1, text.size() - 2);
    return text;
}

} // namespace

bool Params::isparam(std::string_view card)
{
    const std::size_t first = card.find_first_not_of(" \t");
    return first != std::string_view::npos && card.compare(first, 6, ".param") == 0
        && (card.size() == first + 6 || card[first + 6] == ' ' || card[first + 6] == '\t');
}

// The expression with each parameter's name, where it is no function's, as its value.
std::string Params::withvalues(std::string_view expression) const
{
    // Numbers keep their scale suffixes.
    std::string text;
    for (std::size_t k = 0; k < expression.size();) {
        const char c = expression[k];
        if (digit(c) || (c == '.' && k + 1 < expression.size() && digit(expression[k + 1]))) {
            const std::size_t start = k;
            while (k < expression.size() && (digit(expression[k]) || expression[k] == '.'))
                ++k;
            if (k < expression.size() && (expression[k] == 'e' || expression[k] == 'E')
                && k + 1 < expression.size()
                && (digit(expression[k + 1])
                    || ((expression[k + 1] == '+' || expression[k + 1] == '-') && k + 2 < expression.size()
                        && digit(expression[k + 2]))))
                k += 2;
            while (k < expression.size() && (std::isalnum(static_cast<unsigned char>(expression[k]))))
                ++k;
            text.append(expression.substr(start, k - start));
        } else if (letter(c)) {
            const std::size_t start = k;
            while (k < expression.size() && (letter(expression[k]) || digit(expression[k])))
                ++k;
            const std::string name(expression.substr(start, k - start));
            const std::size_t next = expression.find_first_not_of(" \t", k);
            const bool call = next != std::string_view::npos && expression[next] == '(';
            if (call && (name == "v" || name == "i")) {
                // Node and device names, not parameters.
                const std::size_t close = std::min(expression.find(')', next), expression.size() - 1);
                text.append(expression.substr(start, close + 1 - start));
                k = close + 1;
                continue;
            }
            const auto found = call ? values.end() : values.find(name);
            text += found != values.end() ? "(" + number(found->second) + ")" : name;
        } else {
            text += c;
            ++k;
        }
    }
    return text;
}

std::optional<double> Params::evaluate(std::string_view expression, std::string* problem) const
{
    expression = unwrapped(expression);
    const std::string text = withvalues(expression);
    mavro::ParseError error;
    const std::unique_ptr<mavro::Expression> parsed = mavro::parseexpression(text, nullptr, nullptr, &error);
    double value = 0;
    if (!parsed) {
        *problem = "\"" + std::string(expression) + "\" does not evaluate: " + error.message;
        return std::nullopt;
    }
    if (parsed->quantities() != 0 || !parsed->eval(nullptr, &value, nullptr)) {
        *problem = "\"" + std::string(expression) + "\" has no constant value";
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> Params::define(std::string_view card)
{
    std::size_t at = card.find(".param") + 6;
    while (at < card.size()) {
        const std::size_t name = card.find_first_not_of(" \t,", at);
        if (name == std::string_view::npos)
            break;
        const std::size_t equals = card.find('=', name);
        if (equals == std::string_view::npos)
            return "\"" + std::string(card.substr(name)) + "\": name=value expected";
        std::string_view key = card.substr(name, equals - name);
        key = key.substr(0, key.find_last_not_of(" \t") + 1);
        std::size_t start = card.find_first_not_of(" \t", equals + 1);
        if (start == std::string_view::npos)
            return "no value for " + std::string(key);
        // The value: quoted or braced to its closing mark, else to the next blank.
        std::size_t end = start;
        if (card[start] == '\'' || card[start] == '{') {
            end = card.find(card[start] == '\'' ? '\'' : '}', start + 1);
            if (end == std::string_view::npos)
                return "the value of " + std::string(key) + " is not closed";
            ++end;
        } else {
            end = std::min(card.find_first_of(" \t,", start), card.size());
        }
        std::string problem;
        const std::optional<double> value = evaluate(card.substr(start, end - start), &problem);
        if (!value)
            return problem;
        values[std::string(key)] = *value;
        at = end;
    }
    return std::nullopt;
}

std::optional<std::string> Params::substitute(std::string& card) const
{
    // Braces around an expression of node voltages, currents or time belong to a behavioural source:
    // they become parentheses.
    static const std::regex quantities(R"((^|[^a-z0-9_])([vi]\s*\(|time([^a-z0-9_]|$)))");
    for (std::size_t open = card.find('{'); open != std::string::npos; open = card.find('{', open)) {
        const std::size_t close = card.find('}', open);
        if (close == std::string::npos)
            return "a brace is not closed";
        if (std::regex_search(card.begin() + static_cast<std::ptrdiff_t>(open),
                card.begin() + static_cast<std::ptrdiff_t>(close), quantities)) {
            const std::string text = "(" + withvalues(std::string_view(card).substr(open + 1, close - open - 1)) + ")";
            card.replace(open, close + 1 - open, text);
            open += text.size();
            continue;
        }
        std::string problem;
        const std::optional<double> value = evaluate(std::string_view(card).substr(open + 1, close - open - 1), &problem);
        if (!value)
            return problem;
        const std::string text = number(*value);
        card.replace(open, close + 1 - open, text);
        open += text.size();
    }
    return std::nullopt;
}

} // namespace deckrun
