#pragma once

// The text a file generator plays: pairs of numbers, a time in seconds then a value in volts,
// separated by any white space (blanks, tabs, line ends); no header, no comments. For example
//
//     0      0
//     1e-3   5
//     2.5e-3 -1.25
//
// A word that is not a finite number, or a time left without its value at the end, makes the file
// damaged: it is refused whole rather than played up to the damage.

#include <string>
#include <vector>

struct SOURCEPOINT {
    double time;
    double value;
};

// The pairs of the text, in file order. False, with points empty and the reason (naming the line)
// in error, when the text is damaged.
bool readpoints(const std::string& text, std::vector<SOURCEPOINT>& points, std::string& error);
