#pragma once

// Process-level services: the fatal-error handling every module installs at start-up, a message
// pump that keeps windows alive while holding back the user's input, a wait that lets windows
// work, the writer of numbered application messages, and module versions and fault modules.

#include <cstddef>
#include <cstdint>
#include <iosfwd>

#include "core/windows/crashreport.h"
#include "platform/win/scalars.h"
#include "platform/win/handletypes.h"

// The four parts of a module's file version.
struct VERSIONINFO {
    uint16_t major;
    uint16_t minor;
    uint16_t build;
    uint16_t revision;
};

// Once per module, at its start-up: prepares the crash-report record, makes a failed operator new
// end in onnomemory, hardware faults of any thread in onsystemexception (the calling thread gets
// an alternate stack, so a stack overflow is reported too), and an uncaught fatal text (a char*
// thrown by throwfatal) in fatalexit. Later calls do nothing. A failing malloc still answers null.
void installfatalhandlers();
// Throws the fatal text "Internal exception: out of memory." (code 0xC000008C).
[[noreturn]] void onnomemory(size_t size);
// fatalexit on the module's record; returns only when the record lets the fault pass on.
void onsystemexception(unsigned code, EXCEPTION_POINTERS* info);
// Reports a fault (not a language-level exception: LANGUAGEEXCEPTION), gives the record's
// callback its one chance, then shows "Fatal Error" with the record's text (unless quiet) and ends
// the process with exit code 1. 0 when the record's pass-on flag lets the fault continue.
int fatalexit(CRASHREPORT& record, unsigned code, EXCEPTION_POINTERS* info);
// Sets the record's module name and base to the module holding its fault address ("UNKNOWN" and
// 0 when none does).
void findfaultmodule(CRASHREPORT& record);

// The calling thread's modeless dialog, which pumpmessages lets see its messages first; returns
// the previous one. Null: none.
HWND setmodelessdialog(HWND dialog);
HWND getmodelessdialog();
// Dispatches the calling thread's messages in first..last (0, 0: all): without all, the user's
// key and mouse input is taken from the queue and dropped. With wait, until WM_QUIT arrives;
// without, until the queue holds none. 1 when at least one message was dispatched.
int pumpmessages(int all, int wait, UINT first, UINT last);
// Waits ms milliseconds (the full 32 bits, across the tick count's wrap) while letting windows
// work; messages stay in the queue. Never waits longer than the time left.
void waitticks(unsigned ms);

// Writes the text of id from the string table of the calling thread's context, formatted with
// the further arguments (cut to 1023 characters), line by line: each line feed ends a line with
// std::endl; the text after the last one is written without. Returns out.
std::ostream& writeapplnmessage(std::ostream& out, unsigned long id, ...);

// The file version of a loaded module (by name) or of a module file (by path); 1 when filled, 0
// (info untouched) when the file has no version.
int getversioninfo(const char* module, VERSIONINFO* info);
