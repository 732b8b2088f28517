#pragma once

#include "engines/nerith/descriptor.h"

#include <string>

namespace nerith {

// The engine's own run-ending codes (engines/CONTRACT.md: 200 and up); simerrmsg gives their text.
inline constexpr int E_BADDEVICE = E_PRIVATE; // a device whose values cannot be simulated
inline constexpr int E_DIGITAL = E_PRIVATE + 1; // the digital engine failed in the lock-step
inline constexpr int E_NOTRAN = E_PRIVATE + 2; // no transient to run

// The front end and descriptor of the present sign-on.
struct Session {
    IFfrontEnd* frontend = nullptr; // borrowed from the kernel
    int lastCode = 0; // the code the last run ended with, and its text
    std::string lastText;
};
Session& session();

// Ends a run: keeps the formatted message as the text of `code` for simerrmsg and returns `code`.
int fail(int code, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Forgets the last error at the start of a run.
void clearerror();
// A message through the front end's error entry; `flags` is ERR_INFO or ERR_WARNING (anything else
// would end the run). Non-zero when the front end traces in detail.
int note(int flags, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace nerith
