#pragma once

#include <cstdint>

// The limits a run keeps to, from the main program's settings under this key of the user's (and
// the machine's) hive; the simulator only reads them.
constexpr const char* MAINSETTINGSKEY = "Software\\Venthorne Electronics\\Corvane 8 Professional\\CORE";
constexpr const char* RESULTSLIMITVALUE = "Results Limit";
constexpr const char* STALLLIMITVALUE = "Stall Limit";

// The most bytes the results files of one run may grow by: the main program's setting "Results
// Limit" (kilobytes, read from the user's settings, then the machine's), 10000 KB when neither
// has it.
int64_t resultslimit();
// The seconds a run may go without progress before it is ended: the setting "Stall Limit" (read
// as "Results Limit" is), 60 when neither hive has it; 0 lets a run go on for ever.
uint32_t stalllimit();
