#pragma once

#include "core/text/textstream.h"

#include <string>
#include <string_view>

class TEXT;

// Reads a property text one logical line at a time and tells, for each, exactly which stored
// lines it was read from. The logical reading is TEXTSTREAM's escaped one (single braces taken
// out, doubled braces read as one, a backslash directly before a line feed joining two stored
// lines with a blank), so the grouping of stored lines is decided in one place for every reader
// and rewrite of property texts. Every stored line belongs to exactly one logical line; a last
// stored line holding nothing but braces comes as an empty logical line of its own.
// The text must not change while it is scanned.
class PROPSCAN {
public:
    static constexpr int LINEMAX = 8191; // line() holds at most this many characters

    explicit PROPSCAN(const TEXT& text); // only reads the text
    PROPSCAN(const PROPSCAN&) = delete;
    PROPSCAN& operator=(const PROPSCAN&) = delete;

    // Reads the next logical line; 1 when there was one, 0 at the end of the text.
    int next();
    // The logical line without its line feed, cut to LINEMAX characters (the stored lines keep
    // the rest). A parse cursor may walk it; it is overwritten by next().
    char* line() { return current.data(); }
    // The logical line as read, never cut; equal to line() unless that was cut or written into.
    std::string_view full() const { return overlong.empty() ? std::string_view(current) : overlong; }
    // 1 when the logical reading of one stored line (given without its line feed) ends in a
    // backslash, so that the line feed after it joins the next stored line.
    static int joinsnext(std::string_view storedline);
    // The section name when the line is a section header ('*' first, then an identifier after
    // optional blanks), else null. Names are whole, of any length.
    const char* header();
    // The stored lines the logical line was read from, each with its line feed (the last line of
    // the text may have none).
    std::string_view raw() const { return stored.substr(rawbegin, rawend - rawbegin); }

private:
    TEXT& source;
    TEXTSTREAM stream;
    std::string_view stored;
    std::string current;
    std::string name;
    std::string overlong;
    size_t rawbegin = 0;
    size_t rawend = 0;
};
