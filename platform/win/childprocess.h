#pragma once

// Child processes as the autosave starts and watches its verifier: started from a program path and
// a Windows command line, polled for their exit code (STILL_ACTIVE while they run), waited for,
// and ended. A child's process handle is a waitable kernel object; closing it does not end the
// child.
// Callers: the autosave (framework) and the main program's verifier start (shell).

#include <string>
#include <vector>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/waitable.h"

constexpr DWORD STILL_ACTIVE = 259;

struct STARTUPINFOA {
    DWORD cb;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

// Starts the program at application (a Windows path; a name ending in ".EXE" that does not exist
// is looked for without that extension) with the arguments of commandline split by the Windows
// rules, its first word being the program's own name. The security attributes, environment and
// start-up information are not used: the child gets this process's environment, inherits no
// handle, and starts in currentdir (null: this process's folder). FALSE with ERROR_FILE_NOT_FOUND
// when the program cannot be run (info cleared); ERROR_INVALID_PARAMETER without info.
BOOL CreateProcessA(const char* application, char* commandline, void* processattributes,
    void* threadattributes, BOOL inherithandles, DWORD flags, void* environment, const char* currentdir,
    STARTUPINFOA* startup, PROCESS_INFORMATION* info);
// The child's exit code into *code: STILL_ACTIVE while it runs, the code it ended with, the code
// given to TerminateChildProcess, or 128 plus the signal that ended it otherwise. FALSE for a handle
// that is no child process.
BOOL GetExitCodeProcess(HANDLE process, DWORD* code);
// Ends a running child with SIGKILL (TerminateProcess comes here for a child's handle); its exit code becomes
// exitcode. TRUE also when it had ended already (the code it ended with stays). FALSE for a handle that is no
// child process.
BOOL TerminateChildProcess(HANDLE process, UINT exitcode);

// The arguments of a Windows command line: blanks separate, double quotes group, 2n backslashes
// before a quote give n and the quote groups, 2n + 1 give n and a literal quote.
std::vector<std::string> splitcommandline(const char* commandline);
