#pragma once

// ASCII case folding for the layer's names (classes, properties, clipboard formats).
// Callers: the layer's case-insensitive names.

#include <string_view>

namespace win {

inline char foldascii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool equalnocase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldascii(a[i]) != foldascii(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace win
