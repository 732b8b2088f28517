#pragma once

// Bitmaps, icons and cursors from a module's resources. An image resource holds an image file
// (PNG, BMP or ICO) that the backend decodes; a cursor's hot spot is the PNG text "hotspot" ("x,y"),
// (0, 0) when absent. Bitmaps are RT_BITMAP resources, icons RT_GROUP_ICON, cursors RT_GROUP_CURSOR.
// Null when the resource is missing or cannot be decoded, and in a process without a toolkit.
// Callers: the process object's icons and cursors (framework).

#include "platform/win/handletypes.h"
#include "platform/win/resources.h"
#include "platform/win/scalars.h"

inline const char* const RT_CURSOR = MAKEINTRESOURCEA(1);
inline const char* const RT_BITMAP = MAKEINTRESOURCEA(2);
inline const char* const RT_ICON = MAKEINTRESOURCEA(3);
inline const char* const RT_GROUP_CURSOR = MAKEINTRESOURCEA(12);
inline const char* const RT_GROUP_ICON = MAKEINTRESOURCEA(14);

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_LOADTRANSPARENT = 0x0020;
constexpr UINT LR_DEFAULTSIZE = 0x0040;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;
constexpr UINT LR_SHARED = 0x8000;

// An image of the module, scaled to width x height when they are not 0 (icons and cursors at
// their system size with LR_DEFAULTSIZE). Bitmaps come as 32-bit bitmaps (DIB sections with
// LR_CREATEDIBSECTION, keeping the file's alpha).
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);

inline const char* const IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline const char* const IDI_ERROR = MAKEINTRESOURCEA(32513);
inline const char* const IDI_QUESTION = MAKEINTRESOURCEA(32514);
inline const char* const IDI_WARNING = MAKEINTRESOURCEA(32515);
inline const char* const IDI_INFORMATION = MAKEINTRESOURCEA(32516);
