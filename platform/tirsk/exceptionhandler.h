#pragma once

// The process's exception handler: installs the fatal-error trap of the core (crash reports,
// fatal box) and says whether faults are reported without interaction.

class EXCEPTION_HANDLER {
public:
    // Installs the trap for the whole process (process.h installfatalhandlers); later calls do
    // nothing.
    void installdefaulttrap();
    // With a non-zero flag a fault is reported without the fatal box (a run nobody watches).
    void setsilent(int flag);
    int issilent() const;
};

extern EXCEPTION_HANDLER excp;
