#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "framework/appln/applnprocess.h"
#include "platform/win/gdi.h"
#include "platform/win/htmlhelp.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/pathboundary.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

namespace {

constexpr const char* cannotopenhelp = "Cannot open help file '%s'";
constexpr const char* mainwindowtype = "Main";
constexpr int targetbuffer = PATHBUFFER + 64;

// The help file of a name: "<root>\HELP\<name>.CHM"; false when it cannot be found.
bool helpfile(char* path, const char* root, const char* name)
{
    char folder[PATHBUFFER];
    char file[PATHBUFFER];
    addfilename(folder, root, "HELP");
    addext(file, name, "CHM");
    // A part too long for a path buffer comes back empty and names no file: the report names
    // what was asked for instead.
    if (!*folder || !*file || !*addfilename(path, folder, file)) {
        strnzcpy(path, name, PATHBUFFER - 1);
        return false;
    }
    return !findexistingpath(path).empty();
}

void reportmissing(const char* path, HWND owner)
{
    char text[targetbuffer];
    snprintf(text, sizeof text, cannotopenhelp, path);
    MessageBoxA(owner, text, "Error", MB_ICONERROR);
}

// Moves a rectangle fully onto the screen where it fits, else to its top left corner.
void fittoscreen(RECT& rect, const RECT& screen)
{
    int dx = rect.right > screen.right ? screen.right - rect.right : 0;
    int dy = rect.bottom > screen.bottom ? screen.bottom - rect.bottom : 0;
    if (rect.left + dx < screen.left)
        dx = screen.left - rect.left;
    if (rect.top + dy < screen.top)
        dy = screen.top - rect.top;
    OffsetRect(&rect, dx, dy);
}

} // namespace

void APPLNPROCESS::launchhelp(const char* file, unsigned long id, const char* window, HWND owner)
{
    char path[PATHBUFFER];
    if (!helpfile(path, rootpath, file)) {
        reportmissing(path, owner);
        return;
    }
    char target[targetbuffer];
    snprintf(target, sizeof target, "%s>%s", path, window ? window : mainwindowtype);
    if (!id) {
        HtmlHelpA(owner, target, HH_DISPLAY_TOPIC, 0);
        return;
    }
    if (window)
        sethtmlhelpwindowpos(path, window, owner);
    HtmlHelpA(owner, target, HH_HELP_CONTEXT, id);
}

void APPLNPROCESS::sethtmlhelpwindowpos(const char* path, const char* window, HWND owner)
{
    char target[targetbuffer];
    snprintf(target, sizeof target, "%s>%s", path, window ? window : mainwindowtype);
    HH_WINTYPE* stored = nullptr;
    if (!HtmlHelpA(nullptr, target, HH_GET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&stored)) || !stored)
        return;
    HH_WINTYPE type = *stored;
    HDC screendc = GetDC(nullptr);
    int dpi = screendc ? GetDeviceCaps(screendc, LOGPIXELSX) : 96;
    if (screendc)
        ReleaseDC(nullptr, screendc);
    RECT screen { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    int width = (type.rcWindowPos.right - type.rcWindowPos.left) * dpi / 96;
    int height = (type.rcWindowPos.bottom - type.rcWindowPos.top) * dpi / 96;
    width = std::min(width, screen.right * 8 / 10);
    height = std::min(height, screen.bottom * 8 / 10);
    RECT around = screen;
    HWND centreon = owner ? owner : GetActiveWindow();
    if (owner && centreon)
        GetWindowRect(centreon, &around);
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    type.rcWindowPos = { x, y, x + width, y + height };
    fittoscreen(type.rcWindowPos, screen);
    type.fsValidMembers |= HHWIN_PARAM_RECT | HHWIN_PARAM_PROPERTIES;
    type.fsWinProperties &= ~HHWIN_PROP_USER_POS;
    HtmlHelpA(nullptr, target, HH_SET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&type));
}

void APPLNPROCESS::popuphelp(const char* file, unsigned long id, HWND owner, int moveowner)
{
    char name[PATHBUFFER];
    strnzcpy(name, file, PATHBUFFER - 1);
    if (char* greater = strchr(name, '>'))
        *greater = '\0';
    char path[PATHBUFFER];
    if (!helpfile(path, rootpath, name)) {
        reportmissing(path, owner);
        return;
    }
    char target[targetbuffer];
    snprintf(target, sizeof target, "%s>%s", path, mainwindowtype);
    if (owner) {
        MONITORINFO info {};
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info);
        const RECT& work = info.rcWork;
        int centre = (work.left + work.right) / 2;
        if (moveowner) {
            RECT place {};
            GetWindowRect(owner, &place);
            SetWindowPos(owner, nullptr, centre - 20 - (place.right - place.left), place.top, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER);
        }
        int tenth = (work.bottom - work.top) / 10;
        HH_WINTYPE type {};
        type.cbStruct = sizeof type;
        HH_WINTYPE* stored = nullptr;
        if (HtmlHelpA(nullptr, target, HH_GET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&stored)) && stored)
            type = *stored;
        type.fsValidMembers |= HHWIN_PARAM_RECT;
        type.rcWindowPos = { centre + 20, work.top + tenth, work.right - 20, work.bottom - tenth };
        HtmlHelpA(nullptr, target, HH_SET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&type));
    }
    HtmlHelpA(owner, target, id ? HH_HELP_CONTEXT : HH_DISPLAY_TOPIC, id);
}
