#pragma once

// Program variables bound to per-user registry values: a module registers its settings once and
// loads or saves them as a group. A save writes only the variables that differ from what the
// registry was last known to hold (as loaded, or as saved since), and restore brings back the
// contents the variables had before their first load (the settings as compiled in).
//
// Registry forms: a boolean variable (an int) as a boolean value, 8-, 16- and 32-bit variables as
// 32-bit values, a text buffer as a string (cut to fit the buffer on a character boundary, with
// its terminator), a binary block as a binary value of the block's size.

#include <vector>

enum APPLNVARTYPES {
    APPLNVAR_BOOL = 0, // an int used as a boolean
    APPLNVAR_BYTE = 1, // 8-bit unsigned
    APPLNVAR_WORD = 2, // 16-bit unsigned
    APPLNVAR_DWORD = 3, // 32-bit
    APPLNVAR_INT = 4, // 32-bit
    APPLNVAR_COLOUR = 5, // 32-bit
    APPLNVAR_TEXT = 6, // a text buffer of the given size
    APPLNVAR_BINARY = 7, // a block of the given size
};

struct APPLNVARINFO {
    const char* name; // the registry value's name; the caller's text, not copied
    int type; // APPLNVARTYPES
    int size; // bytes of the variable
    void* address; // the variable; not owned
    std::vector<unsigned char> defaultcopy; // its contents before the first load; empty before
    std::vector<unsigned char> loadedcopy; // what the registry holds, as last loaded or saved
};

class APPLNVARS {
public:
    // Registers a variable; size 0 takes the size of the type (text buffers and binary blocks must
    // give theirs, and are refused without). 1 when registered.
    int register_applnvar(const char* name, int type, void* address, int size);
    // Reads every variable from the per-user section; a missing value leaves its variable alone.
    void load_applnvars(const char* section);
    // Writes every variable whose contents differ from what the section was last known to hold.
    void save_applnvars(const char* section);
    // Gives every loaded variable its contents from before its first load.
    void restore_applnvars();

private:
    std::vector<APPLNVARINFO> records;
};
