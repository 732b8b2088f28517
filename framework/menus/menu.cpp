#include "framework/menus/menu.h"

#include <cstring>

#include "core/text/ascii.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/menus/menubar.h"
#include "framework/menus/menuitems.h"
#include "platform/win/menu.h"

namespace {

constexpr UINT greyed = MF_GRAYED | MF_DISABLED;

// The mnemonic of a menu text: the character after a single '&' ("&&" is an ampersand); 0 when none.
char mnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return text[i + 1];
        ++i;
    }
    return 0;
}

} // namespace

MENU::MENU(MENUBAR* menubar, HMENU holder, HMENU handle, int position)
    : bar(menubar)
    , parent(holder)
    , menu(handle)
    , where(position)
{
}

void MENU::load(CMDINFOTABLE& table, ICMDTARGET* target, unsigned short context)
{
    remove(0, -1);
    if (!bar) {
        GSLIST<unsigned short> contexts;
        contexts.append(context);
        table.appendcontextmenus(menu, contexts);
        return;
    }
    MENUFLAGS none;
    bar->loadpopup(table, target, context, menu, 0, none);
}

MENUITEM* MENU::insertitem(const char* text, int id, int position, ICMDTARGET* target)
{
    if (!IsMenu(menu))
        return nullptr;
    if (text && strcmp(text, "DIVIDER") == 0) {
        insertseparator(static_cast<unsigned int>(position));
        return nullptr;
    }
    const int at = position < 0 || position > size() ? size() : position;
    if (!insertowneritem(menu, at, static_cast<UINT>(id), text, nullptr, 0) || !bar)
        return nullptr;
    bar->updatepositions(menu);
    auto* item = new MENUITEM(menu, at, target);
    item->setitemptr(at);
    bar->additem(item, target);
    return item;
}

int MENU::insertseparator(unsigned int position)
{
    if (!IsMenu(menu))
        return 0;
    const int at = position > static_cast<unsigned int>(size()) ? size() : static_cast<int>(position);
    insertownerdrawnseparator(menu, at, 0);
    if (bar) {
        bar->updatepositions(menu);
        auto* item = new MENUITEM(menu, at, nullptr);
        item->setitemptr(at);
        bar->additem(item, nullptr);
    }
    return 1;
}

int MENU::addseparator(int position)
{
    if (!IsMenu(menu))
        return 0;
    insertownerdrawnseparator(menu, position, 0);
    if (bar)
        bar->updatepositions(menu);
    return 1;
}

MENU* MENU::insertsubmenu(const char* title, unsigned int position)
{
    if (!IsMenu(menu))
        return nullptr;
    const int at = position > static_cast<unsigned int>(size()) ? size() : static_cast<int>(position);
    HMENU popup = CreatePopupMenu();
    if (!insertowneritem(menu, at, 0, title, popup, 0)) {
        DestroyMenu(popup);
        return nullptr;
    }
    if (bar) {
        bar->updatepositions(menu);
        auto* item = new MENUITEM(menu, at, nullptr);
        item->setitemptr(at);
        bar->additem(item, nullptr);
    }
    return new MENU(bar, menu, popup, at);
}

void MENU::remove(int first, int last)
{
    const int end = last < 0 || last >= size() ? size() - 1 : last;
    for (int position = end; position >= first && position >= 0; --position) {
        if (bar)
            bar->remove(menu, position);
        else
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    }
}

void MENU::checkcmd(unsigned int id, int on)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void MENU::enablecmd(unsigned int id, int on)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : greyed));
}

void MENU::checkidx(int index, int on)
{
    CheckMenuItem(menu, static_cast<UINT>(index), MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED));
}

void MENU::enableidx(int index, int on)
{
    EnableMenuItem(menu, static_cast<UINT>(index), MF_BYPOSITION | (on ? MF_ENABLED : greyed));
}

void MENU::enable(int on)
{
    EnableMenuItem(parent, static_cast<UINT>(where), MF_BYPOSITION | (on ? MF_ENABLED : greyed));
}

unsigned int MENU::id(int index) const
{
    const UINT id = GetMenuItemID(menu, index);
    return id == 0xFFFFFFFF ? 0 : id;
}

bool MENU::inbounds(int index) const
{
    return index >= 0 && index < size();
}

int MENU::size() const
{
    return std::max(GetMenuItemCount(menu), 0);
}

bool MENU::isseparator(int index) const
{
    return isseparatoritem(menu, index);
}

bool MENU::istoplevelmenu() const
{
    return bar && parent == bar->gethandle();
}

std::string MENU::get_accelerators(HMENU menu)
{
    std::string letters;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        if (char letter = mnemonic(menutext(menu, position)))
            letters += letter;
    return letters;
}

bool MENU::get_for_accelerator(HMENU menu, char letter, std::string& text, int strip)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        text = menutext(menu, position);
        const char found = mnemonic(text);
        if (!found || asciiupper(found) != asciiupper(letter))
            continue;
        if (strip)
            text.erase(text.find('&'), 1);
        return true;
    }
    text.clear();
    return false;
}
