#include "platform/quenby/records.h"

namespace {

// The longest record of either format: ':' and the digits of a HEX record of 255 data bytes
// (count, two address bytes, type, data, checksum); an S-record of 255 counted bytes is shorter.
constexpr size_t LONGESTLINE = 1 + 2 * (1 + 2 + 1 + 255 + 1);

int hexdigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

uint32_t bigendian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

std::string lineerror(int number, const std::string& what)
{
    return "line " + std::to_string(number) + ": " + what;
}

bool splitrecordlines(const char* text, size_t size, std::vector<RECORDLINE>& lines, std::string& error)
{
    int number = 0;
    for (size_t at = 0; at < size;) {
        size_t end = at;
        while (end < size && text[end] != '\n')
            ++end;
        ++number;
        std::string line(text + at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.empty())
            continue;
        if (line.size() > LONGESTLINE) {
            error = lineerror(number, "longer than any record");
            return false;
        }
        lines.push_back({ number, std::move(line) });
    }
    return true;
}

bool hexbytes(const std::string& digits, std::vector<uint8_t>& bytes)
{
    if (digits.size() % 2 != 0)
        return false;
    bytes.clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
        int high = hexdigit(digits[i]);
        int low = hexdigit(digits[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return true;
}
