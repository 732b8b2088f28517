#pragma once

// Character classes and case folding of the "C" locale, independent of the process locale (the
// user interface sets the user's locale, which must not change how names sort or parse).

constexpr bool asciidigit(char c)
{
    return c >= '0' && c <= '9';
}

// Space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool asciispace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// 'A' to 'Z' and 'a' to 'z'.
constexpr bool asciialpha(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// '0' to '9', 'A' to 'F' and 'a' to 'f'.
constexpr bool asciixdigit(char c)
{
    return asciidigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Folds 'a' to 'z' up; every other byte is returned as itself.
constexpr unsigned char asciiupper(char c)
{
    auto u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

// Folds 'A' to 'Z' down; every other byte is returned as itself.
constexpr unsigned char asciilower(char c)
{
    auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// Compares with 'A' to 'Z' folded down: the difference of the first differing folded bytes
// (unsigned), 0 when equal.
inline int asciicasecmp(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int d = asciilower(*a) - asciilower(*b);
        if (d != 0 || *a == '\0')
            return d;
    }
}
