#pragma once

// Element names as the design database and the annotator read them: a part name, optionally ':'
// and the element's place in the part ("U1:A"; a connector's terminal "J1:3"). A reference is a
// prefix of letters, then a number or '?' ("R12", "U?:B"; "?" alone has no prefix).
// Callers: the design database and the annotator.

#include <string>

// The part name: the text before the first ':'.
std::string partof(const std::string& name);
// The place: the text after the first ':', upper-cased; empty without one.
std::string placeof(const std::string& name);
// 1 when the part name is not empty and holds no '?'.
int isannotated(const std::string& name);

struct REFNAME {
    std::string prefix;
    int number = -1; // -1: '?'
    int letter = -1; // 0 for A to 25 for Z; -1 when the place is not one letter or there is none
    int hasplace = 0;
};

// 0 when the name is not a reference (no '?' or number after the prefix, or more after it).
int parseref(const std::string& name, REFNAME& out);
// "R12", "U3:B", "R?", "U?:A" (number -1 gives '?', letter -1 no place).
std::string formatref(const std::string& prefix, int number, int letter);
// The name with its number taken back ("U3:B" gives "U?:B"); empty when it is no reference.
std::string unannotatedname(const std::string& name);
// The upper-cased copy used as a key.
std::string upperkey(const std::string& text);
