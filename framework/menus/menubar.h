#pragma once

// The menu bar of a frame or a window, built from command tables. A menu resource (an RCDATA
// string table: command context and popup title) names the popups; the commands of each context
// become the popup's items, each owner-drawn and carrying an item object that knows its command
// target. A later resource merges into the popups of the same title, at their merge point. Run
// lists (recent files, sheet names) fill a run of items at run time.
//
// Item objects stay in step with the native items: every insertion through the menu classes makes
// one, every removal deletes the affected ones. A bar owns its native menu and its item objects
// and is not copied.

#include <initializer_list>
#include <string>
#include <vector>

#include "core/containers/dpa.h"
#include "framework/context/interfaces.h"
#include "framework/menus/menuitem.h"
#include "platform/win/handletypes.h"
#include "platform/win/structs.h"

class CMDINFOTABLE;
class KEYTRANSLATOR;
class MENU;

// The owner's integers behind the toggle and group items, taken in the order those items occur.
class MENUFLAGS {
public:
    MENUFLAGS(std::initializer_list<int*> flags = {})
        : flags(flags)
    {
    }
    // The next integer; null when the list is used up.
    int* next() { return at < flags.size() ? flags[at++] : nullptr; }

private:
    std::vector<int*> flags;
    size_t at = 0;
};

class MENUBAR {
public:
    explicit MENUBAR(IMENUOWNER* owner);
    MENUBAR(const MENUBAR&) = delete;
    MENUBAR& operator=(const MENUBAR&) = delete;
    virtual ~MENUBAR();

    // Fills the bar from the menu resource `names` ("GLOBALMENU", "APPLNMENU") of the instance:
    // each (context, title) pair fills the popup of that title, made at the pair's position when
    // the bar has none. flags: the owner's integers of the toggle and group items, in order.
    void loadmenus(
        const char* names, HINSTANCE instance, CMDINFOTABLE& table, ICMDTARGET* target, MENUFLAGS flags = {});
    // Fills one popup from the context's entries from `first` on; merging into a popup that has
    // items already. The number of table entries consumed.
    int loadpopup(CMDINFOTABLE& table, ICMDTARGET* target, unsigned short context, HMENU menu, int first,
        MENUFLAGS& flags);
    // Removes one item with its submenus and item objects; 1.
    int remove(HMENU menu, int position);
    // Keeps the item object (owned from here on) and gives it the target.
    void additem(MENUITEM* item, ICMDTARGET* target);
    void deleteitem(MENUITEM* item);
    // The menu where points at: the top-level popup of the high word, and in it the submenu of the
    // low word (0xFFFF: the popup itself); null when absent. The caller deletes it.
    MENU* get(unsigned long where);
    void loadbitmaps(unsigned int context, CMDINFOTABLE& table);
    void setaccelerators(unsigned int context, KEYTRANSLATOR& keys, int keepunbound);

    // Asks every item object of the popup for its state, before it opens.
    virtual void init(HMENU popup);
    // The command to send for the chosen id: what the item objects of its menu answer, else id.
    unsigned int select(unsigned int id);
    // Sends the chosen id through the item object that answers it; 0 when none does.
    int dispatch(unsigned int id);
    // 1 enabled, 0 disabled, -1 not found (the owner updates the popup first).
    int isenabled(unsigned int id);
    // The menu and position of the first item with the id, breadth-first, the owner updating each
    // menu before it is searched; 0 when none.
    int locateitem(unsigned int id, HMENU* menu, unsigned int* position);
    // setitem on every group of that id.
    void setgroupitem(unsigned int id, int index, const char* text, unsigned int value);
    // Replaces the run of items of the command (any argument) in the menu `where` by one item
    // per file, numbered 1 to 9, 0, A, ...; the run stands where the old one stood, else at
    // position (negative: from the end, -1 the end). Null files keep their ids.
    void setmenufiles(
        unsigned long where, int position, unsigned int command, const char* const* files, int count);
    // The same with plain texts (ids from the command itself on, no numbers, no separators); null
    // texts grey the menu's entry in its parent.
    void setmenuitems(
        unsigned long where, int position, unsigned int command, const char* const* texts, int count);
    // The title of the top-level item that opens popup (at most 32 characters); "" when none.
    std::string getmenuname(HMENU popup);
    // The mnemonic letters of the bar's items.
    std::string get_accelerators();

    void measure_menu_item(MEASUREITEMSTRUCT* measure);
    void draw_menu_item(HMENU menu, DRAWITEMSTRUCT* draw);

    HMENU gethandle() const { return menu; }
    IMENUOWNER* getowner() const { return owner; }
    // The item object at the native item; null when it has none.
    MENUITEM* itemat(HMENU menu, int position) const;
    // Finds the positions of the item objects of a menu again after its items moved.
    void updatepositions(HMENU menu);

private:
    // Removes the items of the command's run; the position the last of them stood at, or -1.
    int removerun(HMENU menu, unsigned int command);
    // Deletes the item objects of the menu's items from first to last and of their submenus.
    void deleteitems(HMENU menu, int first, int last);

    IMENUOWNER* owner; // not owned
    HMENU menu;
    GDPA<MENUITEM> items; // owned
};
