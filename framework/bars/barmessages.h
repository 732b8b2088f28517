#pragma once

// The command hint: a control tells its window which command the pointer is over, so that the
// window's status bar shows the command's hint. wParam the sending window, lParam
// MAKELONG(command id, command context); context 0 means the window's own, command 0 that the
// pointer left the commands.
// Callers: the toolbars and the orientation bar's angle box (framework), module windows.

#include "platform/win/scalars.h"

constexpr UINT WM_COMMANDHINT = 0x503;
