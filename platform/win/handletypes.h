#pragma once

// Handle types. Window, menu and monitor handles are small 32-bit ids carried in a pointer, so
// they survive a round trip through a 32-bit window word and a stale handle is recognised instead
// of dereferenced; the others point at the layer's objects.
// Callers: the ported code throughout (core, framework, simulator, host).

using HANDLE = void*;
using HMODULE = struct ModuleHandle*;
using HINSTANCE = HMODULE;
using HKEY = struct RegistryKey*;
using HWND = struct WindowHandle*;
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
