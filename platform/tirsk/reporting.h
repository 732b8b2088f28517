#pragma once

// Error and status reporting of the window library. Errors go to the error box, a message box
// with the caption "Error"; in a run nobody watches (the exception handler silent) they go to the
// log instead. The status-line calls reach the frame's status line through a hook the framework
// installs; without one they do nothing. A number names a text of the calling thread's string
// table (application context); an absent number reads "Error %04lX".
// Callers: undo, the orientation bar, the command tables, the editor and printing (framework).

using STATUSHOOK = void (*)(int kind, const char* text); // kind: 0 prompt, 1 status

// Installs the status-line hook; returns the previous one (null: none).
STATUSHOOK setstatushook(STATUSHOOK hook);

// Shows the formatted text in the error box (cut to 1023 characters).
void errorbox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void error(const char* text);
void error(unsigned long code);
// The prompt of the status line: what the user is asked to do next.
void prompt(const char* text);
void prompt(unsigned long code);
// The status of the status line: what the program is doing.
void status(const char* text);
void status(unsigned long code);
