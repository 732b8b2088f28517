#pragma once

// Message boxes and beeps through replaceable hooks. By default a box is written to standard
// error as "caption: text" and answered with IDOK; the window layer installs a dialog, tests a
// recorder. While a fault is being handled (faults.h) a box always goes to standard error, since
// nothing else is safe in a signal handler.
// Callers: process support and string tables (core), module loading and help (framework), alerts (drelm).

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

using MESSAGEBOXHOOK = int (*)(HWND owner, const char* text, const char* caption, UINT style);
using MESSAGEBEEPHOOK = void (*)(UINT type);

// Installs hook and returns the previous one (null for the default); null restores the default.
MESSAGEBOXHOOK setmessageboxhook(MESSAGEBOXHOOK hook);
MESSAGEBEEPHOOK setmessagebeephook(MESSAGEBEEPHOOK hook);

// The button that closed the box, as the hook answers.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style);
// Sounds the beep through the hook (silent by default); TRUE.
BOOL MessageBeep(UINT type);
