#pragma once

// The process's exception handler: installs the fatal-error trap of the core (crash reports,
// fatal box), says whether faults are reported without interaction, and keeps the log and the
// reports of failures the process survives (exceptionlog.cpp).

class EXCEPTION_HANDLER {
public:
    // Installs the trap for the whole process (process.h installfatalhandlers); later calls do
    // nothing.
    void installdefaulttrap();
    // With a non-zero flag a fault is reported without the fatal box (a run nobody watches).
    void setsilent(int flag);
    int issilent() const;
    // Appends text as one line to the process's log file, the one a crash report carries along.
    void log(const char* text);
    // Files a report titled text ("Autosave verify failed/Hang") holding the log so far, beside
    // the crash reports, and lets the process go on.
    void reportlog(const char* text);
};

extern EXCEPTION_HANDLER excp;
