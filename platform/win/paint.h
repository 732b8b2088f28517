#pragma once

// Repainting: the update area of each window, WM_PAINT and the device contexts of windows.
// Each window draws into a surface of its own kept by the backend, so drawing outside WM_PAINT
// (GetDC) is as good as drawing inside it, and what was drawn stays until drawn over.
// Callers: BASEWIN (tirsk), the process's help and splash windows (framework).

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

// Adds the rectangle (null: the whole client area) to the window's update area; `erase` asks
// BeginPaint to send WM_ERASEBKGND. FALSE for a dead window.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
// Paints a visible window now (WM_PAINT) when its update area is not empty.
BOOL UpdateWindow(HWND window);
// RDW_INVALIDATE / RDW_VALIDATE / RDW_ERASE over the rectangle (null: all), for the children too
// with RDW_ALLCHILDREN; RDW_UPDATENOW paints at once.
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Starts painting the update area: sends WM_ERASEBKGND when asked, empties the update area and
// answers a device context clipped to it (null when the window has no surface).
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// A device context over the client area; release it with ReleaseDC. Null without a surface.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

namespace win {

// Sends WM_PAINT (through the message filter) when the window's update area is not empty; the
// backend calls it when the toolkit asks the window to paint. Answers whether it sent one.
bool paint(HWND window);

} // namespace win
