#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace deckrun {

// The deck's parameters: ".param name=value ..." cards, each value a number or an expression of
// numbers, functions and the parameters before it (quoted or in braces), and the expressions in
// braces on other cards, which become their values.
class Params {
public:
    // Whether the card (lower case) is a ".param" card.
    static bool isparam(std::string_view card);
    // Defines the card's parameters; the problem when one does not read.
    std::optional<std::string> define(std::string_view card);
    // Replaces each "{expression}" of the card by its value; the problem when one does not read.
    // Braces around an expression of node voltages, currents or time become parentheses, the
    // parameters in it their values.
    std::optional<std::string> substitute(std::string& card) const;
    // The value of a plain, quoted or braced expression of the parameters; the problem when it
    // does not read.
    std::optional<double> evaluate(std::string_view expression, std::string* problem) const;
    // Gives the parameter `name` that value (a subcircuit's own, over the deck's).
    void set(const std::string& name, double value) { values[name] = value; }

private:
    std::string withvalues(std::string_view expression) const;

    std::unordered_map<std::string, double> values;
};

} // namespace deckrun
