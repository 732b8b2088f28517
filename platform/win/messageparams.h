#pragma once

// The parameters and answers of window messages (pointer-sized), their packing, and the
// callbacks that receive messages.
// Callers: window procedures and message senders (framework, tirsk, core's window helpers, the simulation
// host).

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

constexpr WPARAM MAKEWPARAM(WORD low, WORD high)
{
    return MAKELONG(low, high);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high)
{
    return static_cast<LPARAM>(MAKELONG(low, high));
}
constexpr LRESULT MAKELRESULT(WORD low, WORD high)
{
    return static_cast<LRESULT>(MAKELONG(low, high));
}
// Signed client or screen coordinates packed into an LPARAM.
constexpr int GET_X_LPARAM(LPARAM value)
{
    return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(value)));
}
constexpr int GET_Y_LPARAM(LPARAM value)
{
    return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(value)));
}
constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM value)
{
    return static_cast<SHORT>(HIWORD(value));
}
