#pragma once

// The window calls a module with a private copy of the platform layer (the simulator) needs to
// reach the windows of the host process's shared copy: a window handle is only known to the copy
// that made it. The shared copy exports win_hostlink under an undecorated name; a module finds it
// at run time through the dynamic loader and calls the host's windows through the table.
// Callers: the simulation kernel and its host (simulator, host).

#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/scalars.h"

// The process and thread of the window; 0 (nothing stored) for a dead handle. Every window of
// this layer belongs to the calling process.
DWORD GetWindowThreadProcessId(HWND window, DWORD* process);
DWORD GetCurrentProcessId();

struct HOSTLINK {
    uint32_t size; // sizeof(HOSTLINK) of the copy that filled it
    LRESULT (*sendmessage)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL (*iswindow)(HWND window);
    HWND (*getforegroundwindow)();
    SHORT (*getasynckeystate)(int virtualkey);
    HWND (*getancestor)(HWND window, UINT flags);
    DWORD (*getwindowthreadprocessid)(HWND window, DWORD* process);
};

extern "C" {
// The calling copy's window calls; never null.
__attribute__((visibility("default"))) const HOSTLINK* win_hostlink();
}
