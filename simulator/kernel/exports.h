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

// The host's function types, for GetProcAddress.
using SIMULATEPROC = int (*)(const char*, intptr_t, HWND);
using SIGNALABORTPROC = void (*)();
using DUMPTABLESPROC = void (*)(intptr_t);
