#include "framework/appln/applnmenu.h"

#include <algorithm>
#include <string>

#include "core/files/pathopen.h"
#include "core/files/paths.h"
#include "core/text/ascii.h"
#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"
#include "platform/win/menu.h"

namespace {

// The recent files stand in the first popup of the bar, at its end.
constexpr unsigned long filespopup = 0xFFFF;
constexpr int filesposition = -1;

} // namespace

std::string APPLNMENU::files[MAXFILES];
int APPLNMENU::length = 0;
unsigned int APPLNMENU::firstcommand = 0;

APPLNMENU::APPLNMENU(IMENUOWNER* owner, int listlength, unsigned int command)
    : MENUBAR(owner)
{
    length = std::clamp(listlength, 0, MAXFILES);
    firstcommand = command;
}

void APPLNMENU::loadmrulist()
{
    std::fill(std::begin(files), std::end(files), std::string());
    int kept = 0;
    for (int i = 0; i < length; ++i) {
        std::string name;
        if (reg_getpath(MRUSECTION, std::to_string(i).c_str(), name) && !name.empty()
            && name.size() < PATHBUFFER && fileexists(name.c_str()))
            files[kept++] = name;
    }
}

void APPLNMENU::savemrulist()
{
    reg_removekey(MRUSECTION);
    for (int i = 0; i < MAXFILES; ++i)
        if (!files[i].empty())
            reg_putpath(MRUSECTION, std::to_string(i).c_str(), files[i].c_str());
}

void APPLNMENU::addmrufile(const char* name)
{
    if (!name || !*name || !length)
        return;
    int found = length - 1;
    for (int k = 0; k < length; ++k) {
        if (asciicasecmp(files[k].c_str(), name) == 0) {
            found = k;
            break;
        }
    }
    std::move_backward(files, files + found, files + found + 1);
    files[0] = name;
    rebuildmrulist();
}

void APPLNMENU::rebuildmrulist()
{
    const char* list[MAXFILES] = {};
    for (int i = 0; i < length; ++i)
        list[i] = mrufile(i);
    setmenufiles(filespopup, filesposition, firstcommand, list, length);
}

const char* APPLNMENU::mrufile(int i)
{
    return i >= 0 && i < length && !files[i].empty() ? files[i].c_str() : nullptr;
}

void APPLNMENU::setmrulistlen(int listlength, int rebuild)
{
    length = std::clamp(listlength, 0, MAXFILES);
    if (rebuild)
        rebuildmrulist();
}

void APPLNMENU::init(HMENU popup)
{
    if (popup == GetSubMenu(gethandle(), 0))
        rebuildmrulist();
    MENUBAR::init(popup);
}
