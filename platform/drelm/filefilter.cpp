#include "platform/drelm/filefilter.h"

#include <cstring>

namespace {

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

std::vector<FILEFILTER> parsefilefilter(const char* filter)
{
    std::vector<FILEFILTER> filters;
    if (!filter)
        return filters;
    const std::vector<std::string> parts = split(filter, std::strchr(filter, '|') ? '|' : '/');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        FILEFILTER f { trimmed(parts[i]), {} };
        for (const std::string& pattern : split(parts[i + 1], ';'))
            if (std::string p = trimmed(pattern); !p.empty())
                f.patterns.push_back(p);
        if (!f.patterns.empty())
            filters.push_back(f);
    }
    return filters;
}
