#pragma once

// Monitors, work areas, system metrics and system colours. The monitor list comes from the
// backend (the toolkit's screens); tests may replace it with win::overridemonitors.
// Callers: window positions (core), the frame window and help windows (framework).

#include <optional>
#include <vector>

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;

// The monitor holding the point / with the largest share of the rectangle or window; otherwise
// null, the primary or the nearest monitor as the flags ask.
HMONITOR MonitorFromPoint(tagPOINT point, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
// Fills the monitor and work rectangles and the primary flag. FALSE for an unknown monitor or a
// record whose cbSize is below 40.
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);

constexpr UINT SPI_GETWORKAREA = 0x0030;
// SPI_GETWORKAREA: the primary monitor's work area into the RECT at `param`. FALSE otherwise.
BOOL SystemParametersInfoA(UINT action, UINT uparam, LPVOID param, UINT winini);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_CMONITORS = 80;
// The metric, scaled for the primary screen; 0 for an unknown index.
int GetSystemMetrics(int index);

constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
// The colour of a display element; 0 for an unknown index.
DWORD GetSysColor(int index);

namespace win {

struct Monitor {
    RECT area; // screen coordinates
    RECT work; // the area less panels and docks
    bool primary; // exactly one monitor of a list is primary; the first when none says so
    int dpi; // logical dots per inch
};

// The monitors in use: the override when set, else the backend's list.
std::vector<Monitor> monitors();
// Replaces the backend's monitor list; std::nullopt restores it. A seam for tests, which place
// windows on monitors the machine does not have.
void overridemonitors(std::optional<std::vector<Monitor>> list);
// The screen rectangle of an HMONITOR; false for an unknown monitor.
bool monitorinfo(HMONITOR monitor, Monitor& info);

} // namespace win
