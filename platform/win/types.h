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

// Window-layer scalars, handles and callbacks. Window, menu and monitor handles are small 32-bit
// ids carried in a pointer, so they survive a round trip through a 32-bit window word and a
// stale handle is recognised instead of dereferenced.
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

using HGDIOBJ = void*;
using HGLOBAL = void*;
using HDC = struct DeviceContextHandle*;
using HPEN = struct PenHandle*;
using HBRUSH = struct BrushHandle*;
using HFONT = struct FontHandle*;
using HBITMAP = struct BitmapHandle*;
using HRGN = struct RegionHandle*;
using HICON = struct IconHandle*;
using HCURSOR = HICON;
using HMENU = struct MenuHandle*;
using HMONITOR = struct MonitorHandle*;
using HIMAGELIST = struct ImageListHandle*;
using HACCEL = struct AcceleratorHandle*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

constexpr BYTE LOBYTE(uintptr_t value) { return static_cast<BYTE>(value & 0xff); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return MAKELONG(low, high); }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) { return static_cast<LPARAM>(MAKELONG(low, high)); }
constexpr LRESULT MAKELRESULT(WORD low, WORD high) { return static_cast<LRESULT>(MAKELONG(low, high)); }
// Signed client or screen coordinates packed into an LPARAM.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(value))); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(value))); }
constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM value) { return static_cast<SHORT>(HIWORD(value)); }

// Colours: red in the low byte.
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) | (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF colour) { return static_cast<BYTE>(colour & 0xff); }
constexpr BYTE GetGValue(COLORREF colour) { return static_cast<BYTE>((colour >> 8) & 0xff); }
constexpr BYTE GetBValue(COLORREF colour) { return static_cast<BYTE>((colour >> 16) & 0xff); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
