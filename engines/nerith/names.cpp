#include "engines/nerith/names.h"

namespace nerith {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

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

std::string folded(std::string_view name)
{
    std::string text(name);
    for (char& c : text)
        c = lower(c);
    return text;
}

} // namespace nerith
