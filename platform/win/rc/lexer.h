#pragma once

// Tokens of a resource source: words, numbers (decimal or 0x hexadecimal, optionally negative),
// quoted texts with C escapes (\n \t \r \\ \" \xHH; UTF-8 passes as it is), the symbols { } , and
// whole directive lines beginning with '#'. Comments run from // to the end of the line or
// between /* and */.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace rc {

// A fault in a source, reported as "file:line: message".
class CompileError : public std::runtime_error {
public:
    CompileError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message)
    {
    }
};

struct Token {
    enum class Kind { end, word, number, text, symbol, directive } kind = Kind::end;
    std::string text; // the word, the text's bytes, the symbol or the directive line after '#'
    int64_t value = 0; // a number's value
    int line = 0;
};

class Lexer {
public:
    Lexer(std::string source, std::string file);

    // The next token, consumed; the end token once the source is exhausted. Throws CompileError.
    Token next();
    // The next token, left in place.
    const Token& peek();
    const std::string& file() const { return name; }
    [[noreturn]] void fail(int line, const std::string& message) const;

private:
    Token scan();
    void skipblanks();

    std::string source;
    std::string name;
    size_t pos = 0;
    int line = 1;
    bool atlinestart = true;
    bool peeked = false;
    Token ahead;
};

} // namespace rc
