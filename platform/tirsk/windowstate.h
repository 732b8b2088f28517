#pragma once

// The window library's view of the calling thread's windows.
// Callers: the frame window and the input handlers (framework).

#include "platform/win/handletypes.h"

// The dialog window open on the calling thread (the one the message pump lets see its messages
// first, core process.h setmodelessdialog); null when none.
HWND getdialogwinhdl();
// Called by the framework after it rewrote a menu for a new command context. The library's
// windows are all served by the thread that pumps their messages, so it holds no section there
// to leave: the call does nothing.
void leavecriticalsection();
