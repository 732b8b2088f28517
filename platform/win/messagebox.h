#pragma once

// Message boxes and beeps through replaceable hooks. By default a box is written to standard
// error as "caption: text" and answered with IDOK; the window layer installs a dialog, tests a
// recorder. While a fault is being handled (faults.h) a box always goes to standard error, since
// nothing else is safe in a signal handler.

#include "platform/win/types.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr int IDOK = 1;

using MESSAGEBOXHOOK = int (*)(HWND owner, const char* text, const char* caption, UINT style);
using MESSAGEBEEPHOOK = void (*)(UINT type);

// Installs hook and returns the previous one (null for the default); null restores the default.
MESSAGEBOXHOOK setmessageboxhook(MESSAGEBOXHOOK hook);
MESSAGEBEEPHOOK setmessagebeephook(MESSAGEBEEPHOOK hook);

// The button that closed the box, as the hook answers.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style);
// Sounds the beep through the hook (silent by default); TRUE.
BOOL MessageBeep(UINT type);
