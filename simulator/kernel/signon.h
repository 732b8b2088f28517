#pragma once

#include "platform/win/handletypes.h"

#include <cstdint>

// The release the banner names.
constexpr int HELIXSIM_MAJOR = 1;
constexpr int HELIXSIM_MINOR = 0;
constexpr int HELIXSIM_PATCH = 0;
constexpr int HELIXSIM_BUILD = 1;

// The sign-on every run starts with: the module's standard output and error become duplicates of
// `output` (unbuffered), the host window and the interactive flag are kept, the abort request is
// cleared, a new log is made and signs on with the banner, the host's root window is kept when the
// host lives in another process (the ESC test), and the engines get the front-end table and the
// log. An interactive run asks the host for its watch popup (message 0x572).
void simsignon(intptr_t output, HWND host, int interactive);
