#pragma once

// The help viewer. A request to show a topic goes to a replaceable hook, which answers the viewer
// window (null by default: nothing shown; the window layer on Qt opens the topic's page in the
// desktop's browser).
// Window types ("file>type") are kept in memory for the run, as the viewer keeps them.
// Callers: the process's help requests (framework).

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_SET_WIN_TYPE = 0x0004;
constexpr UINT HH_GET_WIN_TYPE = 0x0005;
constexpr UINT HH_HELP_CONTEXT = 0x000F;
constexpr UINT HH_CLOSE_ALL = 0x0012;
constexpr UINT HH_INITIALIZE = 0x001C;
constexpr UINT HH_UNINITIALIZE = 0x001D;

constexpr DWORD HHWIN_PARAM_PROPERTIES = 0x0002;
constexpr DWORD HHWIN_PARAM_RECT = 0x0020;
constexpr DWORD HHWIN_PROP_USER_POS = 0x0004;

struct HH_WINTYPE {
    int cbStruct;
    DWORD fsValidMembers;
    DWORD fsWinProperties;
    RECT rcWindowPos;
};

using HTMLHELPHOOK = HWND (*)(HWND caller, const char* file, UINT command, DWORD_PTR data);

// Installs hook for HH_DISPLAY_TOPIC and HH_HELP_CONTEXT; answers the previous one (null: none).
// A seam for tests, which see what help the program asks for.
HTMLHELPHOOK sethtmlhelphook(HTMLHELPHOOK hook);

// HH_GET_WIN_TYPE: data points to an HH_WINTYPE* that receives the stored type (null when none
// is stored, then the answer is null too); HH_SET_WIN_TYPE stores a copy of the HH_WINTYPE at
// data. HH_INITIALIZE fills the DWORD_PTR cookie at data. The display commands answer what the
// hook answers.
HWND HtmlHelpA(HWND caller, const char* file, UINT command, DWORD_PTR data);
