#pragma once

#include "engines/contract/simlog.h"

// Where the deck code's messages go: the contract's log, and the records of the two channels it
// traces on. Whoever runs the deck code binds them (the kernel whenever its current log changes);
// unbound, the deck code logs nothing and never reaches the kernel itself.

struct DECKLOG {
    ISIMLOG* log = nullptr; // borrowed; null: messages are dropped
    TRACEFLAG* spicelink = nullptr; // borrowed; null: a silent channel
    TRACEFLAG* convergence = nullptr; // borrowed; null: a silent channel
};

// Binds the log and channels; returns the previous binding.
DECKLOG binddecklog(const DECKLOG& log);

// The bound channels (a silent record, level 0, where none is bound).
TRACEFLAG& decktracelink();
TRACEFLAG& decktraceconvergence();

// A message of class `cls` (ISIMLOG::log) printf-style; the logged flag, 0 when no log is bound.
// Class 'F' does not return: the bound log ends the run, and without one the process aborts.
int decklogf(int cls, const char* format, ...) __attribute__((format(printf, 2, 3)));
// After a logged message, a help reference (file null: the default help file).
void deckhelp(int32_t topic, const char* file);
