#pragma once

// A module's command table: every command the module knows, grouped by command context, loaded
// from the module's and the main program's resources and extended at run time. Menus, toolbars,
// the key translator and its editor, hints, tooltips and help read their texts, images, help ids
// and flags here, and dispatch sends a command to its target with the target's context current.
//
// Resource of one context (RCDATA whose id is the context): records with no header and no
// terminator, packed, little-endian, ending exactly at the end of the resource. Each opens with
// the command id and the flags (16 bits each); then, by the flags in this order:
//   CMDF_SEPARATOR                 nothing more
//   CMDF_SUBMENU                   exactly 0x20: the title and NUL; otherwise (the end) nothing
//   CMDF_REFERENCE                 nothing more
//   otherwise                      text and NUL, help id (16 bits), image and NUL ("" or
//                                  "NAME:index"), then a 16-bit hint code below 0x20 (0 none,
//                                  2 the previous hint, 3 ask the window) or the hint text and NUL
// Every read is bounded by the resource: a record that runs past its end is not taken, and the
// table is reported misaligned.

#include <cstdint>

#include "core/windows/stringtable.h"
#include "framework/commands/cmdinfo.h"
#include "framework/commands/recordarray.h"
#include "framework/context/interfaces.h"
#include "platform/ombrel/gslist.h"
#include "platform/win/handletypes.h"

class CMDINFOTABLE {
public:
    CMDINFOTABLE() = default;
    // Copies share the texts and images of their source.
    CMDINFOTABLE(const CMDINFOTABLE& other) = default;
    CMDINFOTABLE& operator=(const CMDINFOTABLE& other) = default;
    // Also resets the menus' shared images.
    ~CMDINFOTABLE();

    // Loads the name table `names` of the instance, then every context it names from the
    // instance. 1 when the name table has no items, else 1 only when every context loaded.
    int load(const char* names, HINSTANCE instance);
    // Loads the context's resource; 1 when it exists (misaligned or not), 0 when it does not
    // (nothing is added).
    int load(unsigned short context, HINSTANCE instance);

    // The entry of id in the context's group, searched context by context in load order; null
    // for id 0 and for an unknown command.
    CMDINFO* find(unsigned short context, unsigned short id);
    // Sends a known command to the target with the target's context current; the target's
    // answer, 0 (nothing sent) for an unknown command.
    int dispatch(unsigned short context, unsigned short id, ICMDTARGET* target);
    // The command's text (its tooltip); null when unknown.
    const char* gettiptext(unsigned short context, unsigned short id);
    // The command's hint, the main window's for CMDHINT_ASKWINDOW; null when unknown or none.
    const char* gethinttext(unsigned short context, unsigned short id);
    // 0 when unknown.
    unsigned short gethelpid(unsigned short context, unsigned short id);
    // The id of the first entry of the first context loaded as exactly that one; 0 when none.
    unsigned short getfirstcommand(unsigned short context);
    // The entry at index; null outside the table.
    CMDINFO* item(int index);
    int count() const { return entries.size(); }
    STRINGTABLE& getcontextnames() { return contextnames; }

    // Appends a command (flags 0, no help id, no image) and starts a context when the entry
    // before it (if any) has another context.
    CMDINFO& addcommand(unsigned short context, unsigned short id, const char* text, const char* hint);
    // Appends a separator in the context of the entry before it (0 in an empty table).
    CMDINFO& addseparator();
    // Removes the entries of the first run of contexts loaded in the group (a context with its
    // low four bits clear). References into them lose their texts and images; later references
    // keep pointing at their targets.
    void removecommands(unsigned short group);

    // Appends the command as a string item to the menu; nothing for an unknown command.
    void appendmenuitem(HMENU menu, unsigned short context, unsigned short id);
    // Appends the commands of the contexts to a context menu, one separator between contexts,
    // none at the top, never two in a row; one level of submenus.
    void appendcontextmenus(HMENU menu, GSLIST<unsigned short>& contexts);
    // Makes the items of the menu and of its submenus owner-drawn (the top menu's submenu items
    // not when skiptoplevel is set) and gives command items the image of the group's entry.
    void setmenubitmaps(HMENU menu, int skiptoplevel, unsigned int group);
    // Enables or greys, checks or unchecks the item of the id.
    void setuistate(HMENU menu, unsigned short id, UISTATE& state);

private:
    // Whether entries[index] begins a context run of the group.
    bool startsgroup(int start, unsigned short group) const;

    RECORDARRAY<CMDINFO> entries;
    STRINGTABLE contextnames;
    RECORDARRAY<int32_t> contextstarts; // index of each loaded context's first entry, in load order
};

// The command table of the current application context's module; null when it has none.
CMDINFOTABLE* getapplncmdinfotable();
// gethinttext and gettiptext of that table; null without a table or an entry.
const char* getapplnhinttext(unsigned short context, unsigned short id);
const char* getapplntiptext(unsigned short context, unsigned short id);
