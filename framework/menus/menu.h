#pragma once

// A light handle to one menu of a menu bar or a context menu, made on demand and deleted by the
// caller, with the operations on its items; and the owner-drawn style every menu of the framework
// shares: an image column that shows a command's image in four states, the label and the key
// name, measured and drawn here for the windows that own the menus.
//
// Image metrics follow the system's small-icon width: below 21 pixels toolbar images are 16 x 16
// and menu cells 20 x 19; from 21 to 28, 24 x 24 and 30 x 29; from 29, 32 x 32 and 40 x 38. A
// command's image strip holds four menu cells side by side: normal, greyed, under the pointer,
// checked. A bitmap resource is used under its own name at the 16-pixel size and under the name
// with the size appended ("GTB_MAIN24") at the others.

#include <initializer_list>
#include <string>
#include <utility>

#include "framework/context/interfaces.h"
#include "platform/win/colour.h"
#include "platform/win/handletypes.h"
#include "platform/win/structs.h"

class CMDINFOTABLE;
class MENUBAR;
class MENUITEM;

class MENU {
public:
    // Light grey: the colour of command images that is left out.
    static constexpr COLORREF TRANSPARENTCOLOUR = 0xC0C0C0;
    // Breadth-first walks over a menu queue at most this many submenus.
    static constexpr int MAXQUEUED = 512;

    // bar: null for a context menu; parent: the menu holding this one (null for a bar's own menu);
    // position: its position there.
    MENU(MENUBAR* bar, HMENU parent, HMENU menu, int position);

    // Removes every item and fills the menu again from the context.
    void load(CMDINFOTABLE& table, ICMDTARGET* target, unsigned short context);
    // Inserts an owner-drawn item (position -1: at the end) with an item object when the menu
    // belongs to a bar; the text "DIVIDER" inserts a separator instead. Null for a separator, a
    // context menu's item or a menu that does not exist.
    MENUITEM* insertitem(const char* text, int id, int position, ICMDTARGET* target);
    // An owner-drawn separator at the position, with an item object in a bar's menu; 0 when the
    // menu does not exist.
    int insertseparator(unsigned int position);
    // An owner-drawn separator at the position (-1: at the end), without an item object.
    int addseparator(int position);
    // A new popup under the title at the position; null when the menu does not exist.
    MENU* insertsubmenu(const char* title, unsigned int position);
    // Removes the items first to last (-1: to the end) with their submenus and item objects.
    void remove(int first, int last);
    void setareas() { }

    void checkcmd(unsigned int id, int on);
    void enablecmd(unsigned int id, int on);
    void checkidx(int index, int on);
    void enableidx(int index, int on);
    // Enables or greys this menu's entry in its parent.
    void enable(int on);
    // The id of the item at index; 0 for a submenu or outside the menu.
    unsigned int id(int index) const;
    bool inbounds(int index) const;
    int size() const;
    int position() const { return where; }
    bool isseparator(int index) const;
    bool iscontextmenu() const { return !bar; }
    bool istoplevelmenu() const;
    HMENU gethandle() const { return menu; }

    // The mnemonic letters (the character after '&') of the menu's items, in order.
    static std::string get_accelerators(HMENU menu);
    // The text of the first item whose mnemonic is letter (either case), without its '&' when
    // strip is set; "" (false) when none.
    static bool get_for_accelerator(HMENU menu, char letter, std::string& text, int strip);

    // The owner-drawn items of the menu, for the window that owns it.
    static void measure_item(HMENU menu, MEASUREITEMSTRUCT* measure);
    static void draw_item(HMENU menu, DRAWITEMSTRUCT* draw);

    // The four-cell strip of the index-th image of the named bitmap (the module's, else the
    // framework's); null when the bitmap is missing (reported as an internal error) or the image
    // is all transparent. A null name releases the shared check mark and returns null.
    static HBITMAP make_images(const char* name, int index, COLORREF transparent);
    // The same from a bitmap strip of toolbar-size images, which is deleted.
    static HBITMAP make_images(HBITMAP strip, int index, COLORREF transparent);
    // Gives the popup's items of each command id the image of that index in the strip, which
    // stays the caller's.
    static void set_popupmenu_bitmaps(
        HMENU popup, HBITMAP strip, std::initializer_list<std::pair<unsigned short, int>> images);
    // Deletes the images of the popup's items.
    static void zap_popupmenu_bitmaps(HMENU popup);

    static int tbar_bmpwidth();
    static int tbar_bmpheight();
    static int menu_bmpwidth();
    static int menu_bmpheight();
    static int mb_normal_offset() { return 0; }
    static int mb_greyed_offset() { return menu_bmpwidth(); }
    static int mb_msover_offset() { return 2 * menu_bmpwidth(); }
    static int mb_checked_offset() { return 3 * menu_bmpwidth(); }
    // The resource name of a bitmap at the current image size.
    static std::string bmp_name(const char* name);

private:
    MENUBAR* bar; // not owned
    HMENU parent;
    HMENU menu;
    int where;
};
