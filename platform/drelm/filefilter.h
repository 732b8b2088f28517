#pragma once

// File-type filters of file selectors, in either syntax the callers write: pairs of a name and
// its patterns separated by '|' ("Project Files|*.vktprj;*.vktpnl|All Files|*.*") or, when the
// text holds no '|', by '/' ("Printer Files/*.prn/All Files/*.*"). Patterns of one name are
// separated by ';'. Blanks around names and patterns are dropped, and so is a pair without a
// pattern; a trailing separator is no pair.
// Callers: file selectors.

#include <string>
#include <vector>

struct FILEFILTER {
    std::string name;
    std::vector<std::string> patterns;
};

std::vector<FILEFILTER> parsefilefilter(const char* filter);
