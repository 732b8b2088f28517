#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The host's actions in a scripted interactive run, one a line, in any order:
//
//   # a comment; blank lines are skipped
//   2ms    event 0x10 1    a user event for the part of element id 0x10 (decimal without 0x),
//                          argument 1, passed before the tick that reaches 2 ms
//   5ms    pause           the tick that reaches 5 ms is a pause (mode 2)
//   6ms    snapshot        the tick that reaches 6 ms asks for a snapshot (mode 10)
//
// Times are seconds with an engineering suffix; a unit after it is allowed ("2ms", "1.5m").

struct HOSTACTION {
    enum KIND { EVENT, PAUSE, SNAPSHOT };
    double time;
    KIND kind;
    int32_t id;
    uint32_t argument;
};

// Reads a script; false with a message naming the line when a line does not read. The actions come
// out in time order (in file order at equal times).
bool readhostscript(FILE* stream, std::vector<HOSTACTION>& actions, std::string& error);

// A time in seconds with an engineering suffix and an optional unit; false when the text is none.
bool readseconds(const char* text, double* seconds);
