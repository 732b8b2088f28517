#include "core/text/encodings.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/text/ascii.h"

namespace {

// The HTML 4 Latin-1 entity names of U+00A0 to U+00FF, in code order.
// clang-format off
constexpr const char* latin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};
// clang-format on

constexpr int maxReference = 32; // characters of a candidate reference, '&' to ';'

bool asciiletter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isLatin1Name(const char* name, size_t length)
{
    for (const char* known : latin1Names)
        if (std::strlen(known) == length && std::memcmp(known, name, length) == 0)
            return true;
    return false;
}

// Whether the '&' at p opens a numeric reference or a Latin-1 entity reference.
bool opensKnownReference(const unsigned char* p)
{
    const unsigned char* q = p + 1;
    bool numeric = *q == '#';
    if (numeric) {
        ++q;
        if (!asciidigit(*q))
            return false;
        while (asciidigit(*q))
            ++q;
    } else {
        if (!asciiletter(*q))
            return false;
        while (asciiletter(*q) || asciidigit(*q))
            ++q;
    }
    if (*q != ';' || q - p + 1 > maxReference)
        return false;
    return numeric || isLatin1Name(reinterpret_cast<const char*>(p + 1), static_cast<size_t>(q - p - 1));
}

// Decodes one well-formed UTF-8 sequence of two to four bytes at p. Returns its length, or 0
// when p does not start one (the byte then stands for itself).
int decodeUtf8(const unsigned char* p, uint32_t* code)
{
    auto continuation = [](unsigned char c) { return (c & 0xC0) == 0x80; };
    unsigned char lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF && continuation(p[1])) {
        *code = (lead & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        if (p[1] < low || p[1] > high || !continuation(p[2]))
            return 0;
        *code = (lead & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        if (p[1] < low || p[1] > high || !continuation(p[2]) || !continuation(p[3]))
            return 0;
        *code = (lead & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
        return 4;
    }
    return 0;
}

// The reference of a character of U+0080 and above.
void referenceOf(uint32_t code, char* piece, size_t size)
{
    if (code >= 0xA0 && code <= 0xFF)
        std::snprintf(piece, size, "&%s;", latin1Names[code - 0xA0]);
    else
        std::snprintf(piece, size, "&#%u;", static_cast<unsigned>(code));
}

constexpr char hexDigits[] = "0123456789ABCDEF";

constexpr char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int base64LineLength = 76;

class Base64Writer {
public:
    Base64Writer(char* buffer, size_t capacity)
        : out(buffer)
        , room(capacity)
    {
    }

    // Encodes one group of one to three bytes; false when it does not fit.
    bool group(const unsigned char* bytes, size_t n)
    {
        if (length + 4 > room)
            return false;
        uint32_t bits = static_cast<uint32_t>(bytes[0]) << 16;
        if (n > 1)
            bits |= static_cast<uint32_t>(bytes[1]) << 8;
        if (n > 2)
            bits |= bytes[2];
        char* o = out + length;
        o[0] = base64Alphabet[bits >> 18 & 63];
        o[1] = base64Alphabet[bits >> 12 & 63];
        o[2] = n > 1 ? base64Alphabet[bits >> 6 & 63] : '=';
        o[3] = n > 2 ? base64Alphabet[bits & 63] : '=';
        length += 4;
        column += 4;
        if (column < base64LineLength)
            return true;
        if (length + 1 > room)
            return false;
        out[length++] = '\n';
        column = 0;
        return true;
    }

    bool terminate()
    {
        if (length + 1 > room)
            return false;
        out[length] = '\0';
        return true;
    }

    size_t length = 0;

private:
    char* out;
    size_t room;
    int column = 0;
};

// The buffer size that the Base64 text of the open file needs, with its line feeds and NUL;
// 0 when the size cannot be found.
size_t base64Capacity(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return 0;
    size_t n = (static_cast<size_t>(size) * 4 + 8) / 3;
    return n + 1 + (n + 75) / 76;
}

} // namespace

char* xmlescape(const char* src, char* dst, int size, int keep)
{
    if (!dst || size < 1)
        return dst;
    size_t room = static_cast<size_t>(size) - 1;
    char* o = dst;
    auto p = reinterpret_cast<const unsigned char*>(src ? src : "");
    while (*p) {
        char buffer[16];
        const char* piece = buffer;
        int consumed = 1;
        uint32_t code = 0;
        switch (*p) {
        case '&':
            piece = keep && opensKnownReference(p) ? "&" : "&amp;";
            break;
        case '<':
            piece = "&lt;";
            break;
        case '>':
            piece = "&gt;";
            break;
        case '"':
            piece = "&quot;";
            break;
        default:
            if (*p < 0x80) {
                buffer[0] = static_cast<char>(*p);
                buffer[1] = '\0';
                break;
            }
            consumed = decodeUtf8(p, &code);
            if (consumed == 0) {
                consumed = 1;
                code = *p;
            }
            referenceOf(code, buffer, sizeof buffer);
        }
        size_t n = std::strlen(piece);
        if (n > room)
            break;
        std::memcpy(o, piece, n);
        o += n;
        room -= n;
        p += consumed;
    }
    *o = '\0';
    return dst;
}

long qpencode(const unsigned char* src, size_t len, char* dst)
{
    if (!src || !dst)
        return -1;
    char* o = dst;
    int column = 0;
    auto literal = [&](unsigned char c) {
        *o++ = static_cast<char>(c);
        ++column;
    };
    auto escaped = [&](unsigned char c) {
        *o++ = '=';
        *o++ = hexDigits[c >> 4];
        *o++ = hexDigits[c & 15];
        column += 3;
    };
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = src[i];
        bool lastOfLine = i + 1 == len || src[i + 1] == '\n';
        if (c == '\n') {
            *o++ = '\n';
            column = 0;
            continue;
        }
        // Mail transports treat a lone dot and a leading "From " specially.
        bool lineStart = column == 0;
        if (lineStart && (c == '.' || (c == 'F' && len - i >= 5 && std::memcmp(src + i, "From ", 5) == 0)))
            escaped(c);
        else if (c == ' ')
            lastOfLine ? escaped(c) : literal(c);
        else if ((c >= 0x21 && c <= 0x3C) || (c >= 0x3E && c <= 0x7E))
            literal(c);
        else
            escaped(c);
        if (column > 72 && !lastOfLine) {
            *o++ = '=';
            *o++ = '\n';
            column = 0;
        }
    }
    *o = '\0';
    return static_cast<long>(o - dst) + 1;
}

size_t base64file(const char* path, char** out, size_t size)
{
    if (!path || !out)
        return 0;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return 0;
    bool allocated = !*out;
    if (allocated) {
        size = base64Capacity(file);
        *out = size ? static_cast<char*>(std::malloc(size)) : nullptr;
        if (!*out) {
            std::fclose(file);
            return 0;
        }
    }
    Base64Writer writer(*out, size);
    unsigned char block[3 * 4096];
    size_t pending = 0;
    bool fits = true;
    while (fits) {
        size_t got = std::fread(block + pending, 1, sizeof block - pending, file);
        if (got == 0)
            break;
        pending += got;
        size_t whole = pending - pending % 3;
        for (size_t i = 0; i < whole && fits; i += 3)
            fits = writer.group(block + i, 3);
        std::memmove(block, block + whole, pending - whole);
        pending -= whole;
    }
    if (fits && pending > 0)
        fits = writer.group(block, pending);
    bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (fits && !readFailed && writer.terminate())
        return writer.length + 1;
    if (allocated) {
        std::free(*out);
        *out = nullptr;
    } else if (size >= 1) {
        (*out)[0] = '\0';
    }
    return 0;
}

int lftocrlf(char* dst, const char* src)
{
    char* o = dst;
    for (const char* p = src ? src : ""; *p; ++p) {
        if (*p == '\n')
            *o++ = '\r';
        *o++ = *p;
    }
    *o = '\0';
    return static_cast<int>(o - dst);
}

int crlftolf(char* dst, const char* src)
{
    char* o = dst;
    for (const char* p = src ? src : ""; *p; ++p)
        if (*p != '\r' || p[1] != '\n')
            *o++ = *p;
    *o = '\0';
    return static_cast<int>(o - dst);
}

int escape_eols(char* dst, const char* src, int max)
{
    char* o = dst;
    const char* p = src ? src : "";
    for (int read = 0; *p && (max < 0 || read < max); ++p, ++read) {
        if (*p == '\n') {
            *o++ = '\\';
            *o++ = 'n';
            continue;
        }
        *o++ = *p;
    }
    *o = '\0';
    return static_cast<int>(o - dst);
}

int unescape_eols(char* dst, const char* src, int max)
{
    char* o = dst;
    const char* p = src ? src : "";
    for (int read = 0; *p && (max < 0 || read < max); ++p, ++read) {
        bool pairInReach = max < 0 || read + 1 < max;
        if (*p == '\\' && p[1] == 'n' && pairInReach) {
            *o++ = '\n';
            ++p;
            ++read;
            continue;
        }
        *o++ = *p;
    }
    *o = '\0';
    return static_cast<int>(o - dst);
}

char* fmtcsn(long n, char* buf)
{
    thread_local char shared[27];
    if (!buf)
        buf = shared;
    unsigned long magnitude = n < 0 ? 0UL - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
    char reversed[27];
    int length = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed[length++] = ',';
        reversed[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude);
    if (n < 0)
        reversed[length++] = '-';
    for (int i = 0; i < length; ++i)
        buf[i] = reversed[length - 1 - i];
    buf[length] = '\0';
    return buf;
}

char* capitalise(char* s, int onlyupper)
{
    if (!s)
        return s;
    if (onlyupper)
        for (const char* p = s; *p; ++p)
            if (std::islower(static_cast<unsigned char>(*p)))
                return s;
    bool afterLetter = false;
    for (char* p = s; *p; ++p) {
        int c = static_cast<unsigned char>(*p);
        if (c >= 'A' && c <= 'Z')
            c = c - 'A' + 'a';
        bool letter = std::isalpha(c) != 0;
        if (letter && !afterLetter)
            c = std::toupper(c);
        afterLetter = letter;
        *p = static_cast<char>(c);
    }
    return s;
}
