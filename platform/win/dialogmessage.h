#pragma once

// The dialog manager's share of a message pump: a modeless dialog sees the messages meant for it
// and for the windows inside it.
// Callers: the process's main loop and input handler (framework), process support (core).

#include "platform/win/messagequeue.h"

// TRUE when message was meant for dialog or a window inside it: it has then been translated and
// dispatched here. FALSE, with nothing done, for any other window. Keyboard navigation between a
// dialog's controls is the dialog layer's to add.
BOOL IsDialogMessageA(HWND dialog, MSG* message);
