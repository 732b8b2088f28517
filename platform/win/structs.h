#pragma once

// Records of the window layer, laid out as the ported code fills and reads them: 32-bit fields
// where the records are stored or compared by size (WINDOWPLACEMENT is 44 bytes, MONITORINFO 40),
// pointer-sized fields where they carry handles or pointers.
// Callers: window positions (core), BASEWIN (tirsk), the process object and main loop (framework), the
// simulation host.

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/scalars.h"

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    tagPOINT pt;
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

struct MINMAXINFO {
    tagPOINT ptReserved;
    tagPOINT ptMaxSize;
    tagPOINT ptMaxPosition;
    tagPOINT ptMinTrackSize;
    tagPOINT ptMaxTrackSize;
};

// Stored as a 44-byte binary value; rcNormalPosition is in screen coordinates.
struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    tagPOINT ptMinPosition;
    tagPOINT ptMaxPosition;
    RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44);

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    DWORD_PTR dwContextId;
    tagPOINT MousePos;
};

struct COPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    LPVOID lpData;
};

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
static_assert(sizeof(MONITORINFO) == 40);

// WM_STYLECHANGING / WM_STYLECHANGED: wParam GWL_STYLE or GWL_EXSTYLE.
struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
};

struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
};

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem; // for menus: the HMENU of the item
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
