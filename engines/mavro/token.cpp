#include "engines/mavro/token.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace mavro {

namespace {

bool isblank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isseparator(char c)
{
    return isblank(c) || c == ',' || c == '=' || c == '(' || c == ')';
}

bool isdigit(char c)
{
    return c >= '0' && c <= '9';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startswith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && sameletters(text.substr(0, prefix.size()), prefix);
}

// The scale of the suffix at the start of `rest`; 1 when there is none. "meg" and "mil" are tried
// before "m" (milli).
double scale(std::string_view rest)
{
    if (startswith(rest, "meg"))
        return 1e6;
    if (startswith(rest, "mil"))
        return 25.4e-6;
    if (rest.empty())
        return 1;
    switch (lower(rest[0])) {
    case 't':
        return 1e12;
    case 'g':
        return 1e9;
    case 'k':
        return 1e3;
    case 'm':
        return 1e-3;
    case 'u':
        return 1e-6;
    case 'n':
        return 1e-9;
    case 'p':
        return 1e-12;
    case 'f':
        return 1e-15;
    default:
        return 1;
    }
}

// Whether a number that does not fit a double is too large rather than too small, from its decimal
// exponent: the position of its first significant digit plus the written exponent.
bool overflows(std::string_view number)
{
    std::size_t i = 0;
    long position = 0;
    bool significant = false;
    for (; i < number.size() && isdigit(number[i]); ++i) {
        significant = significant || number[i] != '0';
        position += significant ? 1 : 0;
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; !significant && i < number.size() && isdigit(number[i]); ++i) {
            significant = number[i] != '0';
            --position;
        }
        while (i < number.size() && isdigit(number[i]))
            ++i;
    }
    long exponent = 0;
    if (i < number.size()) {
        bool negative = number[++i] == '-';
        if (number[i] == '+' || number[i] == '-')
            ++i;
        for (; i < number.size(); ++i)
            exponent = exponent < 100000 ? exponent * 10 + (number[i] - '0') : exponent;
        exponent = negative ? -exponent : exponent;
    }
    return position + exponent > 0;
}

}  // namespace

std::string_view nexttoken(const char*& line, bool gobble)
{
    const char* p = line;
    while (*p && isseparator(*p))
        ++p;
    const char* start = p;
    while (*p && !isseparator(*p))
        ++p;
    std::string_view token(start, static_cast<std::size_t>(p - start));
    if (gobble) {
        while (*p && (isblank(*p) || *p == ','))
            ++p;
    }
    line = p;
    return token;
}

std::optional<double> tokenvalue(std::string_view token)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < token.size() && isdigit(token[i]))
        ++i, ++digits;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && isdigit(token[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    // An 'e' without digits after it is a unit letter, not an exponent.
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < token.size() && (token[j] == '+' || token[j] == '-'))
            ++j;
        if (j < token.size() && isdigit(token[j])) {
            while (j < token.size() && isdigit(token[j]))
                ++j;
            i = j;
        }
    }
    double value = 0;
    const char* first = token.data() + mantissa;
    const char* last = token.data() + i;
    // from_chars rather than strtod: the host may have set a locale with a decimal comma.
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (end != last)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        if (overflows(token.substr(mantissa, i - mantissa)))
            return std::nullopt;
        value = 0;
    } else if (ec != std::errc()) {
        return std::nullopt;
    }
    value *= scale(token.substr(i));
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

char* heapcopy(std::string_view text)
{
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy)
        return nullptr;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

bool sameletters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace mavro
