#pragma once

#include "engines/nerith/descriptor.h"
#include "platform/win/handletypes.h"

#include <atomic>
#include <cstdint>

// The kernel's module globals: one run at a time, on the caller's thread. All are zero (or null)
// when the library is loaded.

class ANALYSIS;
class ISPICECKT;
class IPALLEXCKT;

// Run status and result code: 0 success, 1 success with warnings, 2 not completed, 3 failed or not
// started. Only grows in severity inside a run.
extern int simstatus;
// 1 once signalabort was called, the host window vanished or ESC was pressed in the host.
extern std::atomic<int> simabort;

// The host's window from the sign-on (null: none); its root ancestor when it belongs to another
// process (null otherwise: no ESC test then).
extern HWND hostwindow;
extern HWND hostrootwindow;
// 1 when the sign-on came from the interactive run.
extern int interactiverun;
// The seconds a run may go without progress before its guard ends it (0: no limit); read from the
// settings when a run starts.
extern uint32_t stallseconds;

// The SPICE engine's simulator descriptor (from siminit) and the parser's descriptor, the kernel's
// own table the parser reads through (filled from the engine's before the first pass).
extern IFsimulator* spicesimulator;
extern IFsimulator parserdescriptor;

// The engines' circuit interfaces while a circuit exists; null otherwise.
extern ISPICECKT* spicecircuit;
extern IPALLEXCKT* pallexcircuit;

// The analysis most recently made; cleared when it is deleted.
extern ANALYSIS* currentanalysis;

// Raises the run status to at least `status`.
inline void raisestatus(int status)
{
    if (simstatus < status)
        simstatus = status;
}
