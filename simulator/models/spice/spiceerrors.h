#pragma once

// How the SPICE engine's and its parser's messages reach the simulation log, always behind
// "[SPICE]": while they work, through the error entry of the front-end table; when a run ends with
// an error code, through the kernel's report of that code.

// The front-end table's error entry (printf-style; a null format is "Unspecified Error"; the text
// is cut to 1023 characters). Flags 8, information: logged at TRACE_CONVERGENCE level 2 and above.
// Flags 1, a warning: logged at level 1 and above. Anything else is fatal and does not return.
// Returns 1 when the channel's level is 2 or above, else 0.
int spiceerrorcallback(int flags, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Logs the error of a run that ended with `code` (not 0, -1 or -2). 101, 102, 103 and 106 are
// warnings with the engine's text and a help reference (topics 2001 to 2004); any other code an
// error with the engine's text, or below 200 with the parser's text for the code; a code from 200
// up for which the engine has no text logs nothing.
void reportspiceerror(int code);
