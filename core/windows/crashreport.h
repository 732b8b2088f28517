#pragma once

// The crash-report record of a module: the message of the fatal box and what the reports of a
// fault need. Each module that holds the core library has its own record (the shared library one
// for the program and the modules sharing it, the simulator a private one), prepared once at
// start-up by initcrashreports.
//
// A report is written into the reports folder ($XDG_STATE_HOME, else ~/.local/state, else the
// user's own 0700 folder "vkt-<uid>" in $TMPDIR or /tmp, else the current folder, then
// Venthorne/Reports/; a folder whose report paths would pass 516 characters is passed over): the
// current log file ("logfile.txt" there) is renamed to the report's name with ".log", and a ".dmp"
// file, created afresh and never through a link, receives the report's one-line comment (where
// the fault happened), since there is no process dump on this system. Report names are the first
// four letters of the program's file name and four hexadecimal digits of the tick count (in 8 ms
// steps).

#include <cstdint>

#include "core/files/paths.h"
#include "platform/win/faults.h"

struct CRASHREPORT {
    char text[1024]; // the fatal box's message; first field, thrown as char*
    uintptr_t faultaddress;
    uintptr_t modulebase; // of the module holding faultaddress, 0 when none does
    char modulename[256]; // its file name; "UNKNOWN" when none does
    void (*callback)(CRASHREPORT* record); // called once before the process ends; may be null
    int passon; // lets a fault continue after the callback
    int handled; // the callback had its chance
    uint32_t code;
    int quiet; // no box
    uint32_t dumplevel; // "DumpLevel" of the user's "Software\Venthorne\Debug", else 0x1804
    char reportsfolder[PATHBUFFER]; // Windows path ending in '\'
    char logfile[PATHBUFFER]; // the folder's "logfile.txt"
    char prefix[5]; // the first four letters of the report names
    char commenthead[PATHBUFFER]; // "<program>/<version>/" of the report comments
};

constexpr uint32_t DEFAULTDUMPLEVEL = 0x1804;
// The code of a language-level throw, as the fatal handler sees one.
constexpr uint32_t LANGUAGEEXCEPTION = 0xE06D7363;

// The module's own record.
extern CRASHREPORT crashreport;

// Prepares the record's folder, names and dump level, creating the folder and deleting a log file
// left there. Runs once at start-up, before the fault handlers are installed.
void initcrashreports(CRASHREPORT& record);
// Stores code, formats the message into the record's text (empty for a null format; cut to 1023
// characters) and throws the text as a char*. Never returns.
[[noreturn]] void throwfatal(CRASHREPORT& record, uint32_t code, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Notes the fault at address (clearing the code field), finds the module holding it, writes the
// report files and the message for the fault's code into the record's text. Always 1.
int exceptionreport(CRASHREPORT& record, uint32_t code, EXCEPTION_POINTERS* info, void* address);
