#pragma once

// Logical input state of the calling thread: focus, activation, capture, keyboard state, the
// pointer and its cursor, accelerators. The state is the layer's own, so that it can be driven
// without a window manager; the backend mirrors it on screen where it can.
// Callers: BASEWIN (tirsk), the input handler, module loading and the frames (framework).

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/keys.h"
#include "platform/win/resources.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

// Focus: WM_KILLFOCUS to the old window, WM_SETFOCUS to the new; the top-level window of the new
// focus is activated first. Answers the previous focus, null on failure (dead or disabled window).
HWND SetFocus(HWND window);
HWND GetFocus();
// Activation of a top-level window: WM_NCACTIVATE and WM_ACTIVATE to the old and the new window;
// the default handling of WM_ACTIVATE gives the new window the focus. Answers the previous one.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
HWND GetForegroundWindow();
// The owned popup of `window` that was active last, `window` itself when there is none.
HWND GetLastActivePopup(HWND window);

// Capture: mouse input goes to the capture window wherever the pointer is. WM_CAPTURECHANGED
// tells the window that loses it.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// WM_MOUSELEAVE once the pointer leaves the window (TME_LEAVE), or cancels that (TME_CANCEL).
BOOL TrackMouseEvent(TRACKMOUSEEVENT* request);

// Keyboard state as of the message last retrieved: bit 15 set while down, bit 0 toggles.
// Mouse buttons are VK_LBUTTON, VK_RBUTTON, VK_MBUTTON.
SHORT GetKeyState(int virtualkey);
// The state as the newest input reported it, whether retrieved yet or not.
SHORT GetAsyncKeyState(int virtualkey);
// The thread's whole key state, 256 bytes: a seam for tests, which hold modifiers down with it.
BOOL GetKeyboardState(BYTE* state); // a seam for tests
BOOL SetKeyboardState(const BYTE* state); // a seam for tests

// The pointer. Positions are in screen coordinates and kept inside the clip rectangle.
BOOL GetCursorPos(tagPOINT* point);
BOOL SetCursorPos(int x, int y);
// Confines the pointer to the rectangle; null removes the confinement.
BOOL ClipCursor(const RECT* rect);
// The confinement, the whole screen when there is none. A seam for tests, which see what a view
// confines the pointer to.
BOOL GetClipCursor(RECT* rect);

// Cursor shapes. A numeric name from 0x4000 up is a system cursor (IDC_*), loaded without a
// module; other names come from the module's resources through the backend. Null when unknown.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor); // answers the previous shape
HCURSOR GetCursor();
// The display counter: shown while it is 0 or more; answers the new count. Callers to come: the
// input loop, which shows the pointer while it runs (issue 55).
int ShowCursor(BOOL show);
BOOL DestroyCursor(HCURSOR cursor);
inline LPCSTR const IDC_ARROW = MAKEINTRESOURCEA(32512);
inline LPCSTR const IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline LPCSTR const IDC_WAIT = MAKEINTRESOURCEA(32514);
inline LPCSTR const IDC_CROSS = MAKEINTRESOURCEA(32515);
inline LPCSTR const IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline LPCSTR const IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline LPCSTR const IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline LPCSTR const IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline LPCSTR const IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline LPCSTR const IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline LPCSTR const IDC_NO = MAKEINTRESOURCEA(32648);
inline LPCSTR const IDC_HAND = MAKEINTRESOURCEA(32649);
inline LPCSTR const IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline LPCSTR const IDC_HELP = MAKEINTRESOURCEA(32651);

// Accelerators: a key-down (or system key-down) matching an entry, with exactly its modifiers,
// is sent to the window as WM_COMMAND (high word 1, low word the command). Answers TRUE then.
HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
int TranslateAcceleratorA(HWND window, HACCEL table, MSG* message);
