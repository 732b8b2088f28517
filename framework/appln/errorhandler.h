#pragma once

// A module's errors, hints, information, prompts and status texts, routed to the status bar of
// its window or, without one, to the window itself; internal errors collect in one process-wide
// list of lines.

#include <string>
#include <vector>

class APPLNERRORHANDLER {
public:
    // Appends the formatted text (at most 1023 characters) as a line to the internal errors.
    static void showierror(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The internal errors so far, oldest first.
    static const std::vector<std::string>& internalerrors();
};
