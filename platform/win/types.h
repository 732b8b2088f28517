#pragma once

// The Windows-shaped scalar and handle types that the ported code is written against. Widths are
// those of the 64-bit Windows model: 32-bit DWORD/LONG/UINT, pointer-sized WPARAM/LPARAM/LRESULT.

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using UINT = uint32_t;
using BOOL = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;

using HANDLE = void*;
using HMODULE = struct ModuleHandle*;
using HINSTANCE = HMODULE;
using HKEY = struct RegistryKey*;
using HWND = struct WindowHandle*;

#ifndef TRUE
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
#endif

constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xffff); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xffff); }
constexpr DWORD MAKELONG(WORD low, WORD high) { return static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16); }
