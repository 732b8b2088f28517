// What the command table puts into menus: items, context menus, images and user-interface states.

#include <deque>

#include "framework/commands/cmdinfotable.h"
#include "framework/menus/menu.h"
#include "framework/menus/menuitems.h"
#include "platform/win/menu.h"

void CMDINFOTABLE::appendmenuitem(HMENU menu, unsigned short context, unsigned short id)
{
    if (const CMDINFO* entry = find(context, id))
        AppendMenuA(menu, MF_STRING, entry->id, entry->text);
}

void CMDINFOTABLE::appendcontextmenus(HMENU menu, GSLIST<unsigned short>& contexts)
{
    HMENU current = menu;
    for (unsigned short context : contexts) {
        bool firstofcontext = true;
        for (const CMDINFO& entry : entries) {
            if (entry.context != context)
                continue;
            const bool opening = firstofcontext;
            firstofcontext = false;
            if ((entry.isseparator() || opening) && GetMenuItemCount(current) > 0
                && !endsinseparator(current))
                AppendMenuA(current, MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr);
            if (entry.issubmenu()) {
                current = CreatePopupMenu();
                AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(current), entry.text);
            } else if (entry.issubmenuend()) {
                current = menu;
            } else if (!entry.isseparator() && entry.text && !(entry.flags & CMDF_NOMENU)
                && !holdscommand(current, entry.id)) {
                AppendMenuA(current, MF_STRING, entry.id, entry.text);
            }
        }
        setmenubitmaps(current, 0, context);
    }
}

void CMDINFOTABLE::setmenubitmaps(HMENU menu, int skiptoplevel, unsigned int group)
{
    group = contextgroup(group);
    std::deque<HMENU> queue { menu };
    int queued = 0;
    for (; !queue.empty(); queue.pop_front()) {
        HMENU current = queue.front();
        const int count = GetMenuItemCount(current);
        for (int position = 0; position < count; ++position) {
            if (HMENU submenu = GetSubMenu(current, position)) {
                if (queued < MENU::MAXQUEUED) {
                    queue.push_back(submenu);
                    ++queued;
                }
                if (!skiptoplevel || current != menu)
                    makeownerdrawn(current, position);
                continue;
            }
            makeownerdrawn(current, position);
            const UINT id = GetMenuItemID(current, position);
            if (!id)
                continue;
            for (const CMDINFO& entry : entries) {
                if (contextgroup(entry.context) == group && entry.id == id && entry.bitmap) {
                    SetMenuItemBitmaps(current, position, MF_BYPOSITION, entry.bitmap, entry.bitmap);
                    break;
                }
            }
        }
    }
}

void CMDINFOTABLE::setuistate(HMENU menu, unsigned short id, UISTATE& state)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    CheckMenuItem(menu, id, MF_BYCOMMAND | (state.checked > 0 ? MF_CHECKED : MF_UNCHECKED));
}
