#include "platform/win/rc/lexer.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace rc {

namespace {

bool wordstart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool wordchar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

int hexdigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Lexer::Lexer(std::string text, std::string file)
    : source(std::move(text))
    , name(std::move(file))
{
}

void Lexer::fail(int at, const std::string& message) const
{
    throw CompileError(name, at, message);
}

const Token& Lexer::peek()
{
    if (!peeked) {
        ahead = scan();
        peeked = true;
    }
    return ahead;
}

Token Lexer::next()
{
    if (peeked) {
        peeked = false;
        return ahead;
    }
    return scan();
}

void Lexer::skipblanks()
{
    while (pos < source.size()) {
        char c = source[pos];
        if (c == '\n') {
            ++line;
            ++pos;
            atlinestart = true;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++pos;
        } else if (source.compare(pos, 2, "//") == 0) {
            while (pos < source.size() && source[pos] != '\n')
                ++pos;
        } else if (source.compare(pos, 2, "/*") == 0) {
            size_t close = source.find("*/", pos + 2);
            if (close == std::string::npos)
                fail(line, "unterminated comment");
            for (; pos < close + 2; ++pos)
                if (source[pos] == '\n')
                    ++line;
        } else {
            return;
        }
    }
}

Token Lexer::scan()
{
    skipblanks();
    Token token;
    token.line = line;
    bool linestart = atlinestart;
    atlinestart = false;
    if (pos >= source.size())
        return token;
    char c = source[pos];

    if (c == '#') {
        if (!linestart)
            fail(line, "a directive must begin its line");
        size_t end = source.find('\n', pos);
        token.kind = Token::Kind::directive;
        token.text = source.substr(pos + 1, (end == std::string::npos ? source.size() : end) - pos - 1);
        pos += 1 + token.text.size();
        return token;
    }
    if (wordstart(c)) {
        size_t start = pos;
        while (pos < source.size() && wordchar(source[pos]))
            ++pos;
        token.kind = Token::Kind::word;
        token.text = source.substr(start, pos - start);
        return token;
    }
    if (std::isdigit(static_cast<unsigned char>(c))
        || (c == '-' && pos + 1 < source.size()
            && std::isdigit(static_cast<unsigned char>(source[pos + 1])))) {
        size_t start = pos;
        ++pos;
        while (pos < source.size() && wordchar(source[pos]))
            ++pos;
        token.kind = Token::Kind::number;
        token.text = source.substr(start, pos - start);
        std::string digits = token.text.substr(c == '-' ? 1 : 0);
        bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
        if (!hex && digits.size() > 1 && digits[0] == '0')
            fail(line, "bad number '" + token.text + "' (no leading zeros: octal is not read)");
        errno = 0;
        char* end = nullptr;
        token.value = std::strtoll(token.text.c_str(), &end, hex ? 16 : 10);
        if (errno || *end)
            fail(line, "bad number '" + token.text + "'");
        return token;
    }
    if (c == '"') {
        token.kind = Token::Kind::text;
        for (++pos;; ++pos) {
            if (pos >= source.size() || source[pos] == '\n')
                fail(token.line, "unterminated text");
            char ch = source[pos];
            if (ch == '"') {
                ++pos;
                return token;
            }
            if (ch != '\\') {
                token.text += ch;
                continue;
            }
            char escape = ++pos < source.size() ? source[pos] : 0;
            switch (escape) {
            case 'n':
                token.text += '\n';
                break;
            case 't':
                token.text += '\t';
                break;
            case 'r':
                token.text += '\r';
                break;
            case '\\':
                token.text += '\\';
                break;
            case '"':
                token.text += '"';
                break;
            case 'x': {
                int value = 0;
                int digits = 0;
                while (digits < 2 && pos + 1 < source.size() && hexdigit(source[pos + 1]) >= 0) {
                    value = value * 16 + hexdigit(source[++pos]);
                    ++digits;
                }
                if (!digits)
                    fail(line, "\\x needs hexadecimal digits");
                token.text += static_cast<char>(value);
                break;
            }
            default:
                fail(line, std::string("unknown escape \\") + escape);
            }
        }
    }
    if (c == '{' || c == '}' || c == ',') {
        token.kind = Token::Kind::symbol;
        token.text = std::string(1, c);
        ++pos;
        return token;
    }
    fail(line, std::string("unexpected character '") + c + "'");
}

} // namespace rc
