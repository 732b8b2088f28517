#pragma once

// Window positions kept in the registry, and two questions about a window's ancestry.
//
// A placement is stored as the 44-byte placement record (REG_BINARY) under the key
// "Window Positions" of the calling thread's context's registry, named by the caller's name with
// every character but ASCII letters, digits and '_' removed (kept to 99 characters).

#include "platform/win/structs.h"
#include "platform/win/scalars.h"
#include "platform/win/handletypes.h"
#include "platform/win/geometry.h"

// 1 when stored; 0 for an empty name, a minimised or hidden window, or no registry object.
int savewindowpos(HWND window, const char* name);
// 1 when a stored placement (exactly 44 bytes whose length field is 44) was pulled onto the
// screen (fittoscreen) and applied, show command included; 0, with the window left alone,
// otherwise.
int loadwindowpos(HWND window, const char* name);
// Moves the rectangle, keeping its size, onto the work area of the monitor closest to it: as far
// as it fits, else against the work area's left and top edges. 1 when it moved, else 0.
int fittoscreen(RECT* rect);
// The closest ancestor (through GetParent) whose style has every bit of `with` and none of
// `without`; the window itself is not tested. Null when there is none.
HWND findparentwithstyle(HWND window, DWORD with, DWORD without);
// 1 when ancestor is on the chain of window's parents and owners (not window itself), else 0.
int IsParentWindow(HWND ancestor, HWND window);
