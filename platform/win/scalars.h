#pragma once

// The Windows-shaped scalar types that the ported code is written against, with the widths of the
// 64-bit Windows model: 32-bit DWORD/LONG/UINT, pointer-sized *_PTR types.
// Callers: the ported code throughout (core, framework, simulator, host).

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using UINT = uint32_t;
using BOOL = int32_t;
using ATOM = uint16_t;
using CHAR = char;
using SHORT = int16_t;
using USHORT = uint16_t;
using INT = int32_t;
using UINT_PTR = uintptr_t;
using INT_PTR = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
// The result of the shell and theme calls: S_OK, or a failure code with the top bit set.
using HRESULT = LONG;
constexpr HRESULT S_OK = 0;

#ifndef TRUE
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
#endif

constexpr WORD LOWORD(uintptr_t value)
{
    return static_cast<WORD>(value & 0xffff);
}
constexpr WORD HIWORD(uintptr_t value)
{
    return static_cast<WORD>((value >> 16) & 0xffff);
}
constexpr DWORD MAKELONG(WORD low, WORD high)
{
    return static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16);
}
