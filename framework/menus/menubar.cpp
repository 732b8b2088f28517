#include "framework/menus/menubar.h"

#include <deque>
#include <memory>

#include "core/windows/stringtable.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "framework/context/applncontext.h"
#include "framework/context/stringtranslator.h"
#include "framework/menus/menu.h"
#include "framework/menus/menuitems.h"
#include "platform/win/menu.h"

namespace {

constexpr size_t titlelength = 32;
constexpr uint16_t MERGEPOINT = CMDF_SEPARATOR | CMDF_MERGEPOINT;

// The bar's popup whose title is title (compared on 32 characters); null when none.
HMENU popupnamed(HMENU bar, const char* title)
{
    const std::string wanted = std::string(title).substr(0, titlelength);
    const int count = GetMenuItemCount(bar);
    for (int position = 0; position < count; ++position)
        if (menutext(bar, position).substr(0, titlelength) == wanted)
            return GetSubMenu(bar, position);
    return nullptr;
}

} // namespace

MENUBAR::MENUBAR(IMENUOWNER* menuowner)
    : owner(menuowner)
    , menu(CreateMenu())
{
}

MENUBAR::~MENUBAR()
{
    items.zap();
    DestroyMenu(menu);
}

void MENUBAR::loadmenus(
    const char* names, HINSTANCE instance, CMDINFOTABLE& table, ICMDTARGET* target, MENUFLAGS flags)
{
    STRINGTABLE titles;
    titles.settranslator(getapplnstringtranslator(), "MENU:");
    titles.load(names, instance);
    unsigned long context = 0;
    const char* title = nullptr;
    for (int i = 0; titles.itemasread(i, &context, &title); ++i) {
        HMENU popup = popupnamed(menu, title);
        if (!popup) {
            popup = CreatePopupMenu();
            InsertMenuA(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(popup), title);
        }
        loadpopup(table, target, static_cast<unsigned short>(context), popup, 0, flags);
    }
}

int MENUBAR::loadpopup(
    CMDINFOTABLE& table, ICMDTARGET* target, unsigned short context, HMENU popup, int first, MENUFLAGS& flags)
{
    const int held = GetMenuItemCount(popup);
    const bool merging = held > 0;
    int at = held;
    for (int position = 0; merging && position < held; ++position) {
        MENUITEM* item = itemat(popup, position);
        if (isseparatoritem(popup, position) && item && item->getflags() == MERGEPOINT) {
            at = position;
            break;
        }
    }
    bool opened = false;
    bool afterseparator = !merging; // no separator leads a popup
    MENUITEM* lastseparator = nullptr; // the separator inserted last, while it is the last thing inserted
    MENUGROUP* group = nullptr;
    auto insertseparator = [&](uint16_t separatorflags) {
        auto* item = new MENUITEM(popup, at, target, separatorflags);
        insertownerdrawnseparator(popup, at++, reinterpret_cast<ULONG_PTR>(item));
        additem(item, target);
        lastseparator = item;
        afterseparator = true;
    };
    int index = first;
    bool ended = false; // by the end of a submenu, which counts as consumed
    for (; const CMDINFO* entry = table.item(index); ++index) {
        if (entry->context != context)
            continue;
        if (merging && !opened)
            insertseparator(0);
        opened = true;
        if (entry->issubmenuend()) {
            ended = true;
            break;
        }
        if (entry->isseparator()) {
            group = nullptr;
            if (!afterseparator)
                insertseparator(entry->flags);
            else if (lastseparator && (entry->flags & CMDF_MERGEPOINT))
                lastseparator->setflags(entry->flags);
            continue;
        }
        if (entry->issubmenu()) {
            HMENU submenu = CreatePopupMenu();
            auto* item = new MENUITEM(popup, at, target);
            insertowneritem(popup, at++, 0, entry->text, submenu, reinterpret_cast<ULONG_PTR>(item));
            additem(item, target);
            index += loadpopup(table, target, context, submenu, index + 1, flags);
            afterseparator = false;
            lastseparator = nullptr;
            group = nullptr;
            continue;
        }
        if (!entry->text || (entry->flags & (CMDF_NOMENU | CMDF_DYNAMIC)) || holdscommand(popup, entry->id))
            continue;
        const int position = at++;
        insertowneritem(popup, position, entry->id, entry->text, nullptr, 0);
        afterseparator = false;
        lastseparator = nullptr;
        MENUITEM* item = nullptr;
        if ((entry->flags & CMDF_ARGUMENT) && group && group->addmember()) {
            setitemdata(popup, position, reinterpret_cast<ULONG_PTR>(group));
            continue;
        }
        if (entry->flags & CMDF_ARGUMENT)
            item = group = new MENUGROUP(popup, position, target, flags.next());
        else if (entry->flags & CMDF_TOGGLE)
            item = new MENUTOGGLE(popup, position, target, MENUTOGGLE::FLIPS, flags.next());
        else if (entry->flags & CMDF_TOGGLEVIEW)
            item = new MENUTOGGLE(popup, position, target, MENUTOGGLE::SHOWS, flags.next());
        else
            item = new MENUITEM(popup, position, target);
        if (!(entry->flags & CMDF_ARGUMENT))
            group = nullptr;
        setitemdata(popup, position, reinterpret_cast<ULONG_PTR>(item));
        additem(item, target);
    }
    // A plain separator inserted last does not end the popup nor stand beside another one.
    if (lastseparator && lastseparator->getflags() != MERGEPOINT
        && (at == GetMenuItemCount(popup) || isseparatoritem(popup, at)))
        remove(popup, at - 1);
    if (merging)
        updatepositions(popup);
    table.setmenubitmaps(popup, 0, contextgroup(context));
    return index - first + (ended ? 1 : 0);
}

int MENUBAR::remove(HMENU popup, int position)
{
    deleteitems(popup, position, position);
    DeleteMenu(popup, static_cast<UINT>(position), MF_BYPOSITION);
    updatepositions(popup);
    return 1;
}

void MENUBAR::deleteitems(HMENU popup, int first, int last)
{
    for (int position = first; position <= last; ++position)
        if (HMENU submenu = GetSubMenu(popup, position))
            deleteitems(submenu, 0, GetMenuItemCount(submenu) - 1);
    for (int i = items.count - 1; i >= 0; --i) {
        MENUITEM* item = items.ptr(i);
        if (item->menu() == popup && item->position() >= first && item->position() <= last)
            delete items.remove(i);
    }
}

void MENUBAR::additem(MENUITEM* item, ICMDTARGET* target)
{
    item->settarget(target);
    items.add(item);
}

void MENUBAR::deleteitem(MENUITEM* item)
{
    delete items.remove(item);
}

MENUITEM* MENUBAR::itemat(HMENU popup, int position) const
{
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &info) || !info.dwItemData)
        return nullptr;
    auto* item = reinterpret_cast<MENUITEM*>(info.dwItemData);
    return items.find(item) >= 0 ? item : nullptr;
}

void MENUBAR::updatepositions(HMENU popup)
{
    for (MENUITEM* item : items)
        if (item->menu() == popup)
            item->updateposition();
}

MENU* MENUBAR::get(unsigned long where)
{
    const int top = static_cast<int>(where >> 16 & 0xFFFF);
    const int sub = static_cast<int>(where & 0xFFFF);
    HMENU popup = GetSubMenu(menu, top);
    if (!popup)
        return nullptr;
    if (sub == 0xFFFF)
        return new MENU(this, menu, popup, top);
    HMENU submenu = GetSubMenu(popup, sub);
    return submenu ? new MENU(this, popup, submenu, sub) : nullptr;
}

void MENUBAR::loadbitmaps(unsigned int context, CMDINFOTABLE& table)
{
    table.setmenubitmaps(menu, 1, context);
}

void MENUBAR::setaccelerators(unsigned int context, KEYTRANSLATOR& keys, int keepunbound)
{
    keys.sync_menu(static_cast<unsigned short>(context), menu, keepunbound);
}

void MENUBAR::init(HMENU popup)
{
    for (MENUITEM* item : items)
        if (item->menu() == popup)
            item->init();
}

unsigned int MENUBAR::select(unsigned int id)
{
    HMENU popup = nullptr;
    unsigned int position = 0;
    if (!locateitem(id, &popup, &position))
        return id;
    for (MENUITEM* item : items)
        if (item->menu() == popup)
            if (unsigned int command = item->select(static_cast<int>(position)))
                return command;
    return id;
}

int MENUBAR::dispatch(unsigned int id)
{
    HMENU popup = nullptr;
    unsigned int position = 0;
    if (!locateitem(id, &popup, &position))
        return 0;
    for (MENUITEM* item : items)
        if (item->menu() == popup && item->select(static_cast<int>(position)))
            return item->dispatch();
    return 0;
}

int MENUBAR::isenabled(unsigned int id)
{
    HMENU popup = nullptr;
    unsigned int position = 0;
    if (!locateitem(id, &popup, &position))
        return -1;
    return GetMenuState(popup, position, MF_BYPOSITION) & MF_DISABLED ? 0 : 1;
}

int MENUBAR::locateitem(unsigned int id, HMENU* found, unsigned int* position)
{
    std::deque<std::pair<HMENU, int>> queue { { menu, 0 } };
    int queued = 0;
    for (; !queue.empty(); queue.pop_front()) {
        auto [current, place] = queue.front();
        if (owner)
            owner->oninitmenupopup(place, current);
        const int count = GetMenuItemCount(current);
        for (int i = 0; i < count; ++i) {
            if (HMENU submenu = GetSubMenu(current, i)) {
                if (queued++ < MENU::MAXQUEUED)
                    queue.emplace_back(submenu, i);
            } else if (!isseparatoritem(current, i) && GetMenuItemID(current, i) == id) {
                *found = current;
                *position = static_cast<unsigned int>(i);
                return 1;
            }
        }
    }
    return 0;
}

void MENUBAR::setgroupitem(unsigned int id, int index, const char* text, unsigned int value)
{
    for (MENUITEM* item : items)
        if (auto* group = dynamic_cast<MENUGROUP*>(item); group && group->id() == id)
            group->setitem(index, text, value);
}

std::string MENUBAR::getmenuname(HMENU popup)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        if (GetSubMenu(menu, position) == popup)
            return menutext(menu, position).substr(0, titlelength);
    return "";
}

std::string MENUBAR::get_accelerators()
{
    return MENU::get_accelerators(menu);
}
