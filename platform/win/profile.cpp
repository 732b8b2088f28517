#include "platform/win/profile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/regstore.h"
#include "platform/win/textcase.h"

namespace {

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return std::string();
    }
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool lookup(const char* section, const char* key, std::string& value)
{
    std::filesystem::path file
        = std::filesystem::path(regstore::hivefile(regstore::Hive::user)).parent_path() / "profile.ini";
    std::ifstream in(file);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        std::string text = trimmed(line);
        if (text.empty() || text[0] == ';') {
            continue;
        }
        if (text.front() == '[') {
            size_t end = text.find(']');
            inside = end != std::string::npos && win::equalnocase(trimmed(text.substr(1, end - 1)), section);
            continue;
        }
        size_t equals = text.find('=');
        if (!inside || equals == std::string::npos
            || !win::equalnocase(trimmed(text.substr(0, equals)), key)) {
            continue;
        }
        value = trimmed(text.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        return true;
    }
    return false;
}

} // namespace

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0) {
        return 0;
    }
    std::string value;
    if (!section || !key || !lookup(section, key, value)) {
        value = trimmed(def ? def : "");
    }
    size_t length = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = 0;
    return static_cast<DWORD>(length);
}
