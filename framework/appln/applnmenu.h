#pragma once

// The global menu bar of the program, made for the process and for every module window, with the
// list of recently used files that all of them share. The list is kept in the per-user registry
// section "MRU Files" (values "0", "1", ..., paths in the system's form), and shown as the numbered entries of the first popup
// (the File menu), refreshed whenever that popup opens.

#include <string>

#include "framework/menus/menubar.h"

class APPLNMENU : public MENUBAR {
public:
    static constexpr int MAXFILES = 10;
    static constexpr const char* MRUSECTION = "MRU Files";

    // Sets the list's length (at most MAXFILES) and the command id of its first entry for every
    // menu of the program.
    APPLNMENU(IMENUOWNER* owner, int length, unsigned int firstcommand);

    // Reads the list: names that are empty or whose file no longer exists are left out, so the
    // entries after them move up.
    static void loadmrulist();
    static void savemrulist();
    // Puts name first (a name in the list, in any case, moves up and takes the new spelling; else
    // the last entry goes), then rebuilds this menu's entries.
    void addmrufile(const char* name);
    void rebuildmrulist();
    // Entry i; null beyond the length or for an empty entry.
    static const char* mrufile(int i);
    void setmrulistlen(int length, int rebuild);
    static int getmrulistlen() { return length; }

    // Brings the recent files up to date when the popup holding them opens.
    void init(HMENU popup) override;

private:
    static std::string files[MAXFILES];
    static int length;
    static unsigned int firstcommand;
};
