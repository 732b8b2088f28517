#pragma once

#include <cstdint>

// The most bytes the results files of one run may grow by: the main program's setting "Results
// Limit" (kilobytes, read from the user's settings, then the machine's), 10000 KB when neither
// has it.
int64_t resultslimit();
