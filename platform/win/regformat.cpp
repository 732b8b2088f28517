// The text form of a hive, as regstore.h describes it.
#include "platform/win/regstore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win/textcase.h"
#include "platform/win/winreg.h"

namespace regstore {

namespace {

const char header[] = "VKT registry hive ";

const char hexdigits[] = "0123456789abcdef";

int hexvalue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = win::foldascii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void appendhexbyte(std::string& out, unsigned char byte)
{
    out += hexdigits[byte >> 4];
    out += hexdigits[byte & 15];
}

// Names and texts: '\', '"' and control characters escaped, everything else (UTF-8) as it is.
void appendquoted(std::string& out, const char* text, size_t length)
{
    out += '"';
    for (size_t i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            appendhexbyte(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

// Reads a quoted text at pos; pos moves past the closing quote. False when it is malformed.
bool readquoted(const std::string& line, size_t& pos, std::string& text)
{
    if (pos >= line.size() || line[pos] != '"')
        return false;
    text.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++pos >= line.size())
            return false;
        c = line[pos];
        if (c == '\\' || c == '"') {
            text += c;
        } else if (c == 'x' && pos + 2 < line.size() && hexvalue(line[pos + 1]) >= 0
            && hexvalue(line[pos + 2]) >= 0) {
            text += static_cast<char>(hexvalue(line[pos + 1]) * 16 + hexvalue(line[pos + 2]));
            pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

void appendkeypath(std::string& out, const std::string& path)
{
    for (char ch : path) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '%' || c < 0x20 || c == 0x7f) {
            out += '%';
            appendhexbyte(out, c);
        } else {
            out += ch;
        }
    }
}

bool readkeypath(const std::string& text, std::string& path)
{
    path.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            path += text[i];
            continue;
        }
        if (i + 2 >= text.size() || hexvalue(text[i + 1]) < 0 || hexvalue(text[i + 2]) < 0)
            return false;
        path += static_cast<char>(hexvalue(text[i + 1]) * 16 + hexvalue(text[i + 2]));
        i += 2;
    }
    return true;
}

bool istext(const Value& value)
{
    const auto& d = value.data;
    return !d.empty() && d.back() == 0 && memchr(d.data(), 0, d.size() - 1) == nullptr;
}

void appendvalue(std::string& out, const std::string& name, const Value& value)
{
    if (name.empty())
        out += '@';
    else
        appendquoted(out, name.data(), name.size());
    out += '=';
    if (value.type == 1 && istext(value)) {
        out += "sz:";
        appendquoted(out, reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1);
    } else if (value.type == 4 && value.data.size() == 4) {
        const BYTE* d = value.data.data();
        uint32_t n = d[0] | d[1] << 8 | d[2] << 16 | static_cast<uint32_t>(d[3]) << 24;
        char text[16];
        snprintf(text, sizeof text, "dword:%08x", n);
        out += text;
    } else {
        out += value.type == 3 ? std::string("hex:") : "hex(" + std::to_string(value.type) + "):";
        for (size_t i = 0; i < value.data.size(); ++i) {
            if (i)
                out += ',';
            appendhexbyte(out, value.data[i]);
        }
    }
    out += '\n';
}

void appendkey(std::string& out, const std::string& path, const Key& key)
{
    if (!path.empty()) {
        out += '[';
        appendkeypath(out, path);
        out += "]\n";
        for (const auto& [name, value] : key.values)
            appendvalue(out, name, value);
    }
    for (const auto& [name, sub] : key.subkeys)
        appendkey(out, path.empty() ? name : path + '\\' + name, *sub);
}

bool readhex(const std::string& text, std::vector<BYTE>& data)
{
    data.clear();
    if (text.empty())
        return true;
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos + 1 >= text.size() || hexvalue(text[pos]) < 0 || hexvalue(text[pos + 1]) < 0)
            return false;
        data.push_back(static_cast<BYTE>(hexvalue(text[pos]) * 16 + hexvalue(text[pos + 1])));
        pos += 2;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos == text.size())
            return true;
        if (text[pos++] != ',')
            return false;
    }
}

bool readvalue(const std::string& line, std::string& name, Value& value)
{
    size_t pos = 0;
    if (line[0] == '@') {
        name.clear();
        pos = 1;
    } else if (!readquoted(line, pos, name)) {
        return false;
    }
    if (pos >= line.size() || line[pos++] != '=')
        return false;
    std::string rest = line.substr(pos);
    if (rest.compare(0, 3, "sz:") == 0) {
        size_t at = 3;
        std::string text;
        if (!readquoted(rest, at, text) || at != rest.size())
            return false;
        value.type = 1;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    if (rest.compare(0, 6, "dword:") == 0) {
        if (rest.size() != 14)
            return false;
        uint32_t n = 0;
        for (size_t i = 6; i < 14; ++i) {
            int digit = hexvalue(rest[i]);
            if (digit < 0)
                return false;
            n = n << 4 | static_cast<uint32_t>(digit);
        }
        value.type = 4;
        value.data = { static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16),
            static_cast<BYTE>(n >> 24) };
        return true;
    }
    if (rest.compare(0, 4, "hex:") == 0) {
        value.type = 3;
        return readhex(rest.substr(4), value.data);
    }
    if (rest.compare(0, 4, "hex(") == 0) {
        size_t close = rest.find("):");
        if (close == std::string::npos || close == 4 || close > 14)
            return false;
        char* end = nullptr;
        unsigned long type = strtoul(rest.c_str() + 4, &end, 10);
        if (end != rest.c_str() + close || type > 0xffffffffu)
            return false;
        value.type = static_cast<DWORD>(type);
        return readhex(rest.substr(close + 2), value.data);
    }
    return false;
}

Key& makekey(Key& root, const std::vector<std::string>& levels)
{
    Key* key = &root;
    for (const auto& level : levels) {
        auto& slot = key->subkeys[level];
        if (!slot)
            slot = std::make_unique<Key>();
        key = slot.get();
    }
    return *key;
}

// What puts a key path beyond the store's bounds; "" when nothing does.
std::string keyfault(const std::vector<std::string>& levels)
{
    if (levels.size() > REG_MAXDEPTH)
        return "a key nested deeper than " + std::to_string(REG_MAXDEPTH) + " levels";
    for (const auto& level : levels)
        if (level.size() > HIVEKEYNAME)
            return "a key name longer than " + std::to_string(HIVEKEYNAME) + " characters";
    return {};
}

} // namespace

std::string serialise(const Key& root)
{
    std::string out = header + std::to_string(formatVersion) + '\n';
    appendkey(out, "", root);
    return out;
}

int parse(const std::string& text, Key& root, bool& damaged, std::string& refused)
{
    root = Key();
    damaged = false;
    refused.clear();
    int version = 0;
    Key* current = nullptr;
    size_t pos = 0;
    for (size_t number = 1; pos < text.size(); ++number) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (!version) {
            if (line.compare(0, sizeof header - 1, header) != 0)
                return 0;
            version = atoi(line.c_str() + sizeof header - 1);
            if (version != formatVersion)
                return version;
            continue;
        }
        std::string fault;
        std::string path;
        if (line[0] == '[' && line.back() == ']' && readkeypath(line.substr(1, line.size() - 2), path)
            && !splitpath(path).empty()) {
            const std::vector<std::string> levels = splitpath(path);
            fault = keyfault(levels);
            if (fault.empty()) {
                current = &makekey(root, levels);
                continue;
            }
        }
        std::string name;
        Value value;
        if (fault.empty() && current && readvalue(line, name, value)) {
            if (name.size() <= HIVEVALUENAME) {
                current->values[name] = std::move(value);
                continue;
            }
            fault = "a value name longer than " + std::to_string(HIVEVALUENAME) + " characters";
        }
        if (!fault.empty()) {
            root = Key();
            refused = "line " + std::to_string(number) + " holds " + fault;
            return version;
        }
        damaged = true;
    }
    return version;
}

} // namespace regstore
