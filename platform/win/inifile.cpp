#include "platform/win/inifile.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>

#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "platform/win/textcase.h"

namespace {

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

bool inilookup(const std::string& text, const char* section, const char* key, std::string& value)
{
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        const std::string entry = trimmed(line);
        if (entry.empty() || entry[0] == ';')
            continue;
        if (entry[0] == '[') {
            const size_t end = entry.find(']');
            inside = end != std::string::npos && win::equalnocase(trimmed(entry.substr(1, end - 1)), section);
            continue;
        }
        const size_t equals = entry.find('=');
        if (!inside || equals == std::string::npos
            || !win::equalnocase(trimmed(entry.substr(0, equals)), key))
            continue;
        value = trimmed(entry.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return true;
    }
    return false;
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file)
{
    if (!buffer || size == 0)
        return 0;
    std::string value;
    std::string text;
    std::string error;
    const std::string posix = file ? findexistingpath(file) : std::string();
    const bool found = section && key && !posix.empty() && readbounded(posix.c_str(), text, error)
        && inilookup(text, section, key, value);
    if (!found)
        value = trimmed(def ? def : "");
    const size_t length = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = 0;
    return static_cast<DWORD>(length);
}
