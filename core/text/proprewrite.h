#pragma once

#include "core/text/propscan.h"

#include <optional>
#include <string>
#include <string_view>

class PROPTEXT;

// One rewrite pass over a property text. The pass reads the logical lines with PROPSCAN and, for
// each, copies its stored lines, drops them, or writes lines of its own; finish() replaces the
// text with the result. Every line written ends with a line feed.
//
// The pass never changes which stored lines form a logical line: a line that would end in a
// joining backslash gets a blank after it, and a text that ends inside a joined line is closed
// with an empty line before anything is written behind it.
class PROPREWRITE {
public:
    explicit PROPREWRITE(PROPTEXT& text);

    // The section that a null argument names: the text's default section.
    const char* wanted(const char* sec) const;

    // Reads the next logical line; 0 at the end of the text.
    int next() { return scan->next(); }
    char* line() { return scan->line(); }
    std::string_view full() const { return scan->full(); }
    // The section name when the line is a section header, else null.
    const char* header() { return scan->header(); }
    // A line that starts with '*': a header, or a star line that is neither header nor property.
    bool starline() { return scan->line()[0] == '*'; }
    std::string_view raw() const { return scan->raw(); }

    // Copies the stored lines of the current logical line.
    void copy() { append(scan->raw()); }
    // Appends stored text as it is (a last line without a line feed gets one).
    void append(std::string_view stored);
    // Writes one line of the pass's own.
    void write(std::string_view line);
    // Writes name=value in a brace form (bit 1 the name and '=' in braces, bit 2 the value). Line
    // feeds become blanks, and a name that getfield would not read back whole is quoted; braces
    // are written as they are, as markup.
    void property(std::string_view name, std::string_view value, unsigned form);
    // Writes the hidden header "{*name}", line feeds as blanks.
    void sectionheader(std::string_view name);

    // Replaces the text with what was written.
    void finish();

private:
    PROPTEXT& text;
    std::optional<PROPSCAN> scan;
    std::string out;
    bool open = false; // out ends inside a joined line
};

// 1 when two section names are equal without regard to ASCII letter case.
bool samesection(const char* a, const char* b);

// The brace form of one stored line (without its line feed): 1 when it begins with '{', plus 2
// when its last character is '}'.
unsigned storedform(std::string_view storedline);

// Calls fn with each stored line of a logical line's stored text, without its line feed.
template <class Fn> void forstoredlines(std::string_view raw, Fn fn)
{
    while (!raw.empty()) {
        size_t end = raw.find('\n');
        fn(raw.substr(0, end));
        raw.remove_prefix(end == std::string_view::npos ? raw.size() : end + 1);
    }
}

// text with every brace doubled: a name or value read logically, stored again unchanged.
std::string doublebraces(std::string_view text);
