#pragma once

#include <cstdint>

// The main program keeps its settings under this key of the user's (and the machine's) hive; the
// simulator only reads them.
constexpr const char* MAINSETTINGSKEY = "Software\\Venthorne Electronics\\Corvane 8 Professional\\CORE";
constexpr const char* RESULTSLIMITVALUE = "Results Limit";

// The most bytes the results files of one run may grow by: the main program's setting "Results
// Limit" (kilobytes, read from the user's settings, then the machine's), 10000 KB when neither
// has it.
int64_t resultslimit();
