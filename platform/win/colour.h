#pragma once

// Colours: red in the low byte.
// Callers: the registry's colour values and the desktop helpers (core); drawing (framework).

#include "platform/win/scalars.h"

using COLORREF = uint32_t;

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8)
        | (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF colour)
{
    return static_cast<BYTE>(colour & 0xff);
}
constexpr BYTE GetGValue(COLORREF colour)
{
    return static_cast<BYTE>((colour >> 8) & 0xff);
}
constexpr BYTE GetBValue(COLORREF colour)
{
    return static_cast<BYTE>((colour >> 16) & 0xff);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
