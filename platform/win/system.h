#pragma once

// Process-level calls of the Windows system: tick count, process end and the program's file.
// Callers: process support (core), the process object, module loading and splash screen (framework), crash
// reports (simulator).

#include <string>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

// Milliseconds since an arbitrary start, in 32 bits: wraps after about 49.7 days.
DWORD GetTickCount();

// The pseudo handle of the calling process.
HANDLE GetCurrentProcess();
// Ends the calling process at once with exitcode (no exit handlers run), or a child process
// started by CreateProcessA (childprocess.h TerminateChildProcess); FALSE for any other handle.
BOOL TerminateProcess(HANDLE process, UINT exitcode);

// The POSIX path of the running program's file; empty when the system cannot tell.
std::string programfile();
