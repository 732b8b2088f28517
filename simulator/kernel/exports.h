#pragma once

#include "platform/win/handletypes.h"

#include <cstdint>

// HELIXSIM's exports: C names, the caller's thread. `output` is the file descriptor the kernel's
// log lines go to (the kernel writes through its own duplicates of it and never touches the host's
// standard output); `host` the host's window for the host messages (null: none).
//
// Result codes: 0 success, 1 success with warnings, 2 the run did not complete, 3 it did not start
// or failed.

#define HELIXSIM_EXPORT extern "C" __attribute__((visibility("default")))

// Runs the netlist file as a batch run; the result code.
HELIXSIM_EXPORT int simulate(const char* netlist, intptr_t output, HWND host);
// Asks a running simulation to stop at the engine's next pause test.
HELIXSIM_EXPORT void signalabort();
// Prints the SPICE engine's analysis, device and node-parameter tables to `output`.
HELIXSIM_EXPORT void dumptables(intptr_t output);

// The interactive real-time run. Its exports return, beyond the result codes above, 4 when a
// breakpoint stopped the tick and 5 once the analysis has reached its end.
//
// Loads the netlist file for an interactive run (a run still open is ended first); the run
// status, 3 when it did not load.
HELIXSIM_EXPORT int rts_initialize(const char* netlist, intptr_t output, HWND host);
// One tick: mode 0 starts the run, 2 is a pause, 10 asks for a snapshot of the present state
// (runs without TSTOP), every mode advances the run to *time when that is later than the time
// reached, and *time becomes the time reached. flags: the host's flag words the trace channels
// linked to them follow (not read in mode 2; may be null). 5, 4, or the run status; a tick the
// engine fails ends the run.
HELIXSIM_EXPORT int rts_execute(int mode, double* time, int* flags);
// A user event (a click on an instrument) for the part whose element id is `id`; the run status.
HELIXSIM_EXPORT int rts_event(int id, double time, uint32_t argument);
// Pauses the running tick at the engine's next pause test; 0, or 3 when there is no run or it was
// paused already. The host may call it while a tick runs.
HELIXSIM_EXPORT int rts_suspend();
// The engine's pause test during an interactive run: -1 while the run is paused or an abort was
// signalled, else 0.
HELIXSIM_EXPORT int rts_pausetest();
// Ends the run: results closed with the run status, the circuit and the engines freed; the run
// status.
HELIXSIM_EXPORT int rts_terminate();

// The host's function types, for GetProcAddress.
using SIMULATEPROC = int (*)(const char*, intptr_t, HWND);
using SIGNALABORTPROC = void (*)();
using DUMPTABLESPROC = void (*)(intptr_t);
using RTSINITIALIZEPROC = int (*)(const char*, intptr_t, HWND);
using RTSEXECUTEPROC = int (*)(int, double*, int*);
using RTSEVENTPROC = int (*)(int, double, uint32_t);
using RTSSUSPENDPROC = int (*)();
using RTSTERMINATEPROC = int (*)();
