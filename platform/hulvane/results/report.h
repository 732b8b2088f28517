#pragma once

// Caller errors and damaged or unwritable files of the results code are reported through two
// hooks, so that the simulation kernel can route them to its log and a reader to its own messages.
// Until a hook is set, reports go to standard error. Reporting never ends the process: the code
// that reported goes on with a safe answer (nothing written, null, 0).

// A failed caller check: the expression, the source name and the line of the check.
using RESULTSASSERTHOOK = void (*)(const char* expression, const char* source, int line);
// One message about a file, complete as a sentence.
using RESULTSERRORHOOK = void (*)(const char* text);

// Install a hook; null restores the default. Each returns the hook it replaced (null when it was
// the default).
RESULTSASSERTHOOK setresultsasserthook(RESULTSASSERTHOOK hook);
RESULTSERRORHOOK setresultserrorhook(RESULTSERRORHOOK hook);

// The default assertion report reads "Assertion failed: <expression>, file <source>, line <line>".
void resultsassert(const char* expression, const char* source, int line);
// printf-style; the text is cut at 1023 characters.
void resultserror(const char* format, ...) __attribute__((format(printf, 1, 2)));
