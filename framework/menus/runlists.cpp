// Runs of items filled at run time: the recent files and lists of names.

#include <cstdio>
#include <memory>

#include "core/files/paths.h"
#include "framework/commands/cmdinfo.h"
#include "framework/menus/menu.h"
#include "framework/menus/menubar.h"
#include "framework/menus/menuitems.h"
#include "platform/tirsk/drawhelpers.h"
#include "platform/win/gdi.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/pathboundary.h"

namespace {

constexpr unsigned int argumentstep = 0x1000;

// The mnemonic of the i-th file (from 1): 1 to 9, 0, then A, B and on.
char filemnemonic(int i)
{
    return static_cast<char>(i <= 10 ? '0' + i % 10 : 'A' + (i - 11));
}

// "&n " and the path in the system's form, shortened to a quarter of the screen's width in the
// menu font. The extension stays: files of several kinds share the list, and "amp" could name
// amp.vktprj as well as amp.DSN.
std::string filelabel(int i, const char* file)
{
    char path[PATHBUFFER] = {};
    snprintf(path, sizeof path, "%s", toposixpath(file).c_str());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    drawfilepath(dc, path, GetSystemMetrics(SM_CXSCREEN) / 4);
    SelectObject(dc, font);
    DeleteDC(dc);
    char label[8];
    snprintf(label, sizeof label, "&%c ", filemnemonic(i));
    return label + std::string(path);
}

} // namespace

int MENUBAR::removerun(HMENU popup, unsigned int command)
{
    int last = -1;
    int removed = 0;
    for (int position = GetMenuItemCount(popup) - 1; position >= 0; --position) {
        const UINT id = GetMenuItemID(popup, position);
        if (id == 0xFFFFFFFF || isseparatoritem(popup, position) || commandof(id) != commandof(command))
            continue;
        if (last < 0)
            last = position;
        remove(popup, position);
        ++removed;
    }
    // Every item removed stood at or before the last one.
    return last < 0 ? -1 : last - removed + 1;
}

void MENUBAR::setmenufiles(
    unsigned long where, int position, unsigned int command, const char* const* files, int count)
{
    std::unique_ptr<MENU> target(get(where));
    if (!target)
        return;
    HMENU popup = target->gethandle();
    int at = removerun(popup, command);
    if (at < 0)
        at = position < 0 ? std::max(target->size() + position + 1, 0) : std::min(position, target->size());
    const int first = at;
    for (int i = 1; i <= count; ++i)
        if (files && files[i - 1])
            target->insertitem(filelabel(i, files[i - 1]).c_str(),
                static_cast<int>(command + (i - 1) * argumentstep), at++, nullptr);
    // Separators set the run apart from the items beside it, never at an end of the popup nor two
    // in a row.
    if (at == first) {
        if (at > 0 && target->isseparator(at - 1) && (at == target->size() || target->isseparator(at)))
            remove(popup, at - 1);
        return;
    }
    if (at < target->size() && !target->isseparator(at))
        target->insertseparator(static_cast<unsigned int>(at));
    if (first > 0 && !target->isseparator(first - 1))
        target->insertseparator(static_cast<unsigned int>(first));
}

void MENUBAR::setmenuitems(
    unsigned long where, int position, unsigned int command, const char* const* texts, int count)
{
    std::unique_ptr<MENU> target(get(where));
    if (!target)
        return;
    target->enable(texts != nullptr);
    int at = removerun(target->gethandle(), command);
    if (at < 0)
        at = position < 0 ? std::max(target->size() + position + 1, 0) : std::min(position, target->size());
    for (int i = 0; texts && i < count; ++i)
        if (texts[i])
            target->insertitem(texts[i], static_cast<int>(command + i * argumentstep), at++, nullptr);
}
