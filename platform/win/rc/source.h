#pragma once

// A resource source and what it compiles to. A source is a list of resources and directives:
//
//   #include "ids.h"              // takes the "#define NAME number" lines of a header
//   #define IDS_OPEN 1
//   stringtable APPLNSTRINGS {    // kind, then name: a number, a "text" or a word (a defined
//       IDS_OPEN "Open"           // word stands for its number, any other word is a name)
//   }
//
// What a resource's braces hold is up to its kind (kinds.h).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/win/rc/lexer.h"

namespace rc {

// A resource type or name: a text, or a 16-bit id when the text is empty.
struct NameOrId {
    std::string text;
    uint16_t id = 0;
    bool operator==(const NameOrId&) const = default;
};

struct Resource {
    NameOrId type;
    NameOrId name;
    std::vector<uint8_t> data;
};

struct Compiled {
    std::vector<Resource> resources;
    std::vector<std::string> inputs; // the source and every file it included, for the build's dependencies
};

// What a kind reads its body with: numbers (literal or defined), texts, keywords and symbols.
class Parser {
public:
    Parser(Lexer& lexer, const std::map<std::string, int64_t>& defines, std::vector<std::string>& inputs)
        : lexer(lexer)
        , defines(defines)
        , inputs(inputs)
    {
    }

    // A number within [low, high]; what names it in the message when it is missing or out of range.
    int64_t number(int64_t low, int64_t high, const char* what);
    // One quoted text, or several in a row joined into one.
    std::string text(const char* what);
    // The bytes of a file named in double quotes, relative to the source's folder unless absolute;
    // the file becomes an input of the build.
    std::vector<uint8_t> file(const char* what);
    // Consumes keyword (any case) when it comes next; false otherwise.
    bool keyword(const char* word);
    void symbol(char c);
    bool atsymbol(char c);
    // Whether a quoted text comes next.
    bool attext();
    int line();
    [[noreturn]] void fail(const std::string& message);

private:
    Lexer& lexer;
    const std::map<std::string, int64_t>& defines;
    std::vector<std::string>& inputs;
};

// Throws CompileError for a source it cannot read or compile.
Compiled compilesource(const std::string& path);
Compiled compiletext(const std::string& text, const std::string& name);

} // namespace rc
