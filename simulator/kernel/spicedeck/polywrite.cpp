#include "simulator/kernel/spicedeck/polywrite.h"

#include "core/text/scan.h"
#include "core/text/values.h"
#include "engines/mavro/mavro.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Coefficients as a text stream writes a double by default: six significant digits, the shorter
// of fixed and exponent form, independent of the locale.
void appendcoefficient(std::string& out, double value)
{
    char text[32];
    auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    out.append(text, written.ptr);
}

// The next term after the present one: the factors are indices of controlling quantities, counted
// from the first position like an odometer that keeps its positions in descending order.
void advance(std::vector<int32_t>& term, int32_t quantities)
{
    if (term.empty()) {
        term.push_back(0);
        return;
    }
    size_t carry = 0;
    ++term[0];
    while (term[carry] >= quantities) {
        if (++carry == term.size()) {
            term.push_back(0);
            break;
        }
        ++term[carry];
    }
    for (size_t i = 0; i < carry; ++i)
        term[i] = term[carry];
}

const char* writepoly(char** cursor, std::string& out, bool voltage)
{
    if (!skippast(cursor, '('))
        return "POLY needs a dimension of 1 or more";
    int32_t dimension = 0;
    getint(cursor, &dimension);
    skippast(cursor, ')');
    skipspaces(cursor);

    const int64_t wanted = static_cast<int64_t>(dimension) * (voltage ? 2 : 1);
    std::vector<std::string> names;
    for (int64_t i = 0; i < wanted; ++i) {
        char* token = nullptr;
        INPgetTok(cursor, &token, 1);
        // An empty token is the end of the line: no coefficient can follow either.
        bool ended = !token || !*token;
        if (!ended)
            names.emplace_back(token);
        INPfree(token);
        if (ended)
            break;
    }
    auto name = [&](size_t index) { return index < names.size() ? std::string_view(names[index]) : "0"; };

    std::string expression;
    std::vector<int32_t> term;
    for (;;) {
        int error = 0;
        double coefficient = INPevaluate(cursor, &error, 1);
        if (error)
            break;
        if (!term.empty() && dimension < 1)
            return "POLY needs a dimension of 1 or more";
        if (term.size() > MAXPOLYDEGREE)
            return "POLY term of more than 19 factors";
        if (coefficient != 0) {
            if (!expression.empty())
                expression += '+';
            if (term.empty() || coefficient != 1)
                appendcoefficient(expression, coefficient);
            for (size_t i = 0; i < term.size(); ++i) {
                if (i > 0 || coefficient != 1)
                    expression += '*';
                size_t quantity = static_cast<size_t>(term[i]);
                if (!voltage) {
                    expression.append("I(").append(name(quantity)).append(")");
                    continue;
                }
                std::string_view plus = name(2 * quantity);
                std::string_view minus = name(2 * quantity + 1);
                if (minus == "0")
                    expression.append("V(").append(plus).append(")");
                else if (plus == "0")
                    expression.append("-V(").append(minus).append(")");
                else
                    expression.append("V(").append(plus).append(",").append(minus).append(")");
            }
        }
        advance(term, dimension);
    }
    out += expression.empty() ? "0.0" : expression;
    return nullptr;
}

} // namespace

const char* writepolyvoltage(char** cursor, std::string& out)
{
    return writepoly(cursor, out, true);
}

const char* writepolycurrent(char** cursor, std::string& out)
{
    return writepoly(cursor, out, false);
}
