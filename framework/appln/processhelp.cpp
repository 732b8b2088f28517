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

constexpr const char* nohelp = "No help is installed for this topic.";
constexpr const char* nohelpin = "No help is installed for this topic.\n\nHelp pages are looked for in '%s'.";
constexpr const char* mainwindowtype = "Main";
constexpr int targetbuffer = PATHBUFFER + 64;

// The help of a name is a folder of HTML pages below the installation, named as the help file
// without its extension: its contents "index.html" and a page "<id>.html" for each topic that has
// a context id.
//   HELP/VKT/index.html
//   HELP/VKT/1021.html
// The page of the topic into path; false when it is not installed, with the folder looked in (""
// for a name too long for a path) in path.
bool helppage(char* path, const char* root, const char* name, unsigned long id)
{
    char help[PATHBUFFER];
    char stem[PATHBUFFER];
    char folder[PATHBUFFER];
    char page[32];
    snprintf(page, sizeof page, id ? "%lu.html" : "index.html", id);
    addfilename(help, root, "HELP");
    const char* base = filename(name);
    if (strlen(base) < sizeof stem)
        stripext(stem, base);
    else
        *stem = 0;
    addfilename(folder, help, stem);
    // A part too long for a path buffer comes back empty and names no folder.
    if (!*help || !*stem || !*folder || !*addfilename(path, folder, page)) {
        strnzcpy(path, *help && *stem ? folder : "", PATHBUFFER - 1);
        return false;
    }
    if (!findexistingpath(path).empty())
        return true;
    strnzcpy(path, folder, PATHBUFFER - 1);
    return false;
}

void reportmissing(const char* folder, HWND owner)
{
    char text[targetbuffer];
    if (*folder)
        snprintf(text, sizeof text, nohelpin, toposixpath(folder).c_str());
    else
        strnzcpy(text, nohelp, targetbuffer - 1);
    MessageBoxA(owner, text, "Help", MB_ICONINFORMATION);
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
    if (!helppage(path, rootpath, file, id)) {
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
    if (!helppage(path, rootpath, name, id)) {
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
