#pragma once

// Windows: classes and their procedures, creation and destruction, relations, window words and
// properties, text, geometry and show state. Every call takes a window handle and answers
// FALSE / null / 0 for a handle that names no live window. Windows belong to the thread that
// created them and are used on that thread only.
// Callers: BASEWIN (tirsk), the process, frames, windows and modules (framework), window positions (core),
// the simulation host.

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/messages.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"
#include "platform/win/styles.h"

// Classes. Names are compared ignoring ASCII case. Answers the class atom, 0 when the name is
// taken or the record is incomplete.
ATOM RegisterClassExA(const WNDCLASSEXA* windowclass);
// FALSE when the class is unknown or a window of it still exists.
BOOL UnregisterClassA(LPCSTR name, HINSTANCE instance);
// Copies the class name (at most size - 1 characters); answers the length copied, 0 on failure.
int GetClassNameA(HWND window, LPSTR buffer, int size);

// Creation sends WM_NCCREATE, WM_CREATE (either may refuse) and WM_SIZE / WM_MOVE, and shows the
// window when WS_VISIBLE is given. For a child window `menu` is its id; for a top-level window
// `parent` is the owner. Null when the class is unknown, a child has no valid parent or the
// window refused creation.
HWND CreateWindowExA(DWORD exstyle, LPCSTR classname, LPCSTR title, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Destroys owned windows first, then sends WM_DESTROY to the window and its children (parent
// first) and WM_NCDESTROY (children first). FALSE for a dead handle.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

// Relations.
HWND GetParent(HWND window); // the parent of a child, the owner of a popup, else null
HWND SetParent(HWND window, HWND parent); // the previous parent; null on failure
HWND GetAncestor(HWND window, UINT flags); // GA_PARENT, GA_ROOT, GA_ROOTOWNER
HWND GetWindow(HWND window, UINT relation); // GW_*; null when there is no such window
BOOL IsChild(HWND parent, HWND window); // window descends from parent through parent links
HWND GetDlgItem(HWND parent, int id); // the direct child with that id, or null
int GetDlgCtrlID(HWND window);

// Window words. Non-negative indexes are byte offsets into the class's extra window bytes;
// negative ones are the GWL_/GWLP_ selectors. Answers 0 for a bad index. Setting answers the old
// value; GWLP_HWNDPARENT sets the owner of a top-level window.
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

// Subclasses: procedures that see the window's messages before its own procedure, the one set
// last first; each passes a message on with DefSubclassProc. One procedure and id make one entry
// (set again, its data is replaced).
using SUBCLASSPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, UINT_PTR id, DWORD_PTR data);
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
// The next subclass, or the window procedure after the last; only inside a subclass procedure.
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Properties: named handles kept with the window; names compared ignoring ASCII case.
BOOL SetPropA(HWND window, LPCSTR name, HANDLE value);
HANDLE GetPropA(HWND window, LPCSTR name); // null when absent
HANDLE RemovePropA(HWND window, LPCSTR name); // the removed value, null when absent

// Text: through WM_SETTEXT / WM_GETTEXT, whose default handling keeps the window's own copy.
BOOL SetWindowTextA(HWND window, LPCSTR text);
// Copies at most size - 1 characters and a terminator; answers the length copied.
int GetWindowTextA(HWND window, LPSTR buffer, int size);

// Geometry. A child's rectangle is in its parent's client coordinates, a top-level window's in
// screen coordinates. The client area is the window less its menu bar and border.
BOOL GetWindowRect(HWND window, RECT* rect); // screen coordinates
BOOL GetClientRect(HWND window, RECT* rect); // (0, 0, width, height)
BOOL ClientToScreen(HWND window, tagPOINT* point);
BOOL ScreenToClient(HWND window, tagPOINT* point);
// Maps points between client areas (null = the screen); answers the offset moved by, packed.
int MapWindowPoints(HWND from, HWND to, tagPOINT* points, UINT count);
// Sends WM_WINDOWPOSCHANGING (which may alter the move) and WM_WINDOWPOSCHANGED; the default
// handling of the latter sends WM_SIZE and WM_MOVE.
BOOL SetWindowPos(HWND window, HWND insertafter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND window);
// Answers whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window); // the window and all its ancestors are shown
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
// Answers whether the window was disabled before; sends WM_ENABLE on a change.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
// The 44-byte placement record; rcNormalPosition is the restored rectangle in screen coordinates.
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Applies the normal rectangle and the show command (which shows the window). FALSE when the
// record's length is not 44.
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
// The deepest window at a screen point among the visible, enabled windows; null over none.
HWND WindowFromPoint(tagPOINT point);
// The child of parent at a point of parent's client area, parent itself when no child is there,
// null when the point lies outside parent.
HWND ChildWindowFromPointEx(HWND parent, tagPOINT point, UINT flags);
