#include "simulator/models/builtin/pointfile.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

bool blank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The word as a finite number; false when it is not one whole.
bool readnumber(const std::string& word, double* value)
{
    char* end = nullptr;
    *value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(*value);
}

// The word as a message shows it: at most 32 characters, control characters as '?'.
std::string shown(const std::string& word)
{
    std::string text = word.substr(0, 32);
    for (char& c : text)
        c = std::iscntrl(static_cast<unsigned char>(c)) ? '?' : c;
    return word.size() > text.size() ? text + "..." : text;
}

} // namespace

bool readpoints(const std::string& text, std::vector<SOURCEPOINT>& points, std::string& error)
{
    points.clear();
    double pending[2];
    int have = 0;
    int line = 1;
    int timeline = 1;
    for (size_t at = 0; at < text.size();) {
        if (blank(text[at])) {
            line += text[at++] == '\n';
            continue;
        }
        size_t end = at;
        while (end < text.size() && !blank(text[end]))
            ++end;
        std::string word = text.substr(at, end - at);
        at = end;
        if (!readnumber(word, &pending[have])) {
            error = "line " + std::to_string(line) + ": '" + shown(word) + "' is not a number";
            points.clear();
            return false;
        }
        if (have == 0)
            timeline = line;
        if (++have == 2) {
            points.push_back({ pending[0], pending[1] });
            have = 0;
        }
    }
    if (have == 1) {
        error = "line " + std::to_string(timeline) + ": the time has no value";
        points.clear();
        return false;
    }
    return true;
}
