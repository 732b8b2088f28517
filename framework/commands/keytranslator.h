#pragma once

// A module's map from keys to commands, per command context group, beside its command table:
// filled from the key tables of the main program and of the module, overridden by the user's
// bindings in the registry, exchanged as a key-map file, and asked on every key press.
//
// Key codes: the virtual key in bits 0-7, 0x100 for an extended key, the modifiers (Shift 1, Ctrl
// 2, Alt 4, Windows 8) in bits 12-15 as an input event reports them and again in bits 16-19.
// Bindings carry each modifier in both sets; a key is folded into that form before a lookup, so
// Ctrl+A read as 0x2041 finds the binding 0x22041.
//
// Key table resource (RCDATA "GLOBALKEYS", "APPLNKEYS"): 8-byte records, little-endian:
//   context (16 bits), key code (32 bits), command id (16 bits)
//
// Registry form (subkey "Key Translations" of the module): "VERSION" = "1.0", and per binding a
// string value named "%04X:%04X" (context group, command) holding "%08X" (the key).
//
// Key-map file (".KMF"): a header line "; Keymap file generated <date> at <time>.", then per
// binding the command's text in double quotes padded to 40 columns, "(context:command)" as two
// 8-digit hexadecimal numbers, " = " and the key as 8 hexadecimal digits:
//   "&New Project"                           (00000100:00000200) = 0002204E
// Reading takes the lines that start (after blanks) with a quoted name, an "=" and a hexadecimal
// key, binding the key to every command with that text; the part in parentheses is not read.

#include <cstdint>

#include "core/containers/dpa.h"
#include "framework/commands/cmdinfotable.h"
#include "platform/ombrel/gslist.h"
#include "platform/win/handletypes.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/structs.h"

// One binding.
struct KEYCMD {
    uint16_t context; // a context group: low four bits clear
    uint16_t command; // 0: the key is bound to nothing
    uint32_t key;
};

// A-Z and 0-9 without Ctrl or Alt; F1-F12 with any modifiers; the extended arrows (0x125-0x128);
// the extended Page Up, Page Down, End, Home and arrows (0x121-0x128).
bool isalphakey(unsigned long key);
bool isnumkey(unsigned long key);
bool isfunctionkey(unsigned long key);
bool isarrowkey(unsigned long key);
bool iscursorkey(unsigned long key);

class KEYTRANSLATOR {
public:
    // The command whose keys scroll a window instead of being sent.
    static constexpr uint16_t SCROLLCOMMAND = 0x17D;
    // The registry subkey of the user's bindings.
    static constexpr const char* REGISTRYKEY = "Key Translations";

    KEYTRANSLATOR(CMDINFOTABLE& table, unsigned short scrollcmd);
    // Copies the table reference, the scroll command and every binding.
    KEYTRANSLATOR(const KEYTRANSLATOR& other);
    // Replaces the bindings by copies of the other's; the table and the scroll command stay.
    KEYTRANSLATOR& operator=(const KEYTRANSLATOR& other);
    ~KEYTRANSLATOR();

    // Same bindings in the same order.
    bool operator==(const KEYTRANSLATOR& other) const;

    // Binds every record of the key table resource (when present), then validates; the number of
    // bindings held afterwards.
    int rscload(const char* name, HINSTANCE instance);
    // Binds the registry's bindings of the subkey, then validates; the number added.
    int regload(const char* key);
    // Replaces the subkey by the bindings of the table's own (non-reference) commands.
    void regsave(const char* key);
    void regclear(const char* key);
    // Asks for a file and writes the key-map file; 1 when written.
    int exportsettings();
    // Replaces the bindings by those of a key-map file the user chooses, or of DEFAULT.KMF beside
    // the program; non-zero when a file was read.
    int importsettings(int usedefault);
    // The same with a named file, for callers that chose it. A file that cannot be written, or
    // read, is reported with its name; a damaged file is refused whole, the bindings kept.
    int exportfile(const char* path);
    int importfile(const char* path);

    // Binds key to command in the context's group: the key leaves any other command of the group,
    // the command leaves any other key. Always 1.
    int assign(unsigned short context, unsigned short command, unsigned long key);
    void remove_key(unsigned short context, unsigned long key);
    void remove_command(unsigned short context, unsigned short command);
    // The command bound to the key in the context's group (0 when none); with anycontext, the
    // first binding of the exact key in any context of the context's high byte.
    unsigned short getcommand(unsigned short context, unsigned long key, int anycontext);
    // The key of the command in the context's group; 0 when none.
    unsigned long getkey(unsigned short context, unsigned short command);
    int exists(unsigned short context, unsigned short command);
    // Drops bindings of unknown commands and of reference entries, then binds each reference
    // entry to the key of the shared command it refers to.
    void validate();
    void zap();
    int count() const { return bykey.count; }
    // The binding at index in (context, command) order; null past the last.
    const KEYCMD* binding(int index) const { return bycommand.ptr(index); }

    // Sends the command bound to the key to the window (scroll keys post scroll messages); an
    // unbound Alt+letter of a top-level window's menu bar opens that menu. Non-zero when used.
    int translate_and_dispatch(HWND window, unsigned short context, unsigned long key, MSG* msg);
    int translate_and_dispatch(HWND window, unsigned short context, unsigned long key) { return 0; }

    // Writes the key names of the context into the menu's item texts after a TAB; unbound items
    // lose their key name unless keepunbound is set.
    void sync_menu(unsigned short context, HMENU menu, int keepunbound);
    // The first context without keepunbound, the others with it.
    void sync_menu(GSLIST<unsigned short>& contexts, HMENU menu);

    CMDINFOTABLE& gettable() { return cmdtable; }

private:
    void addrecord(unsigned short context, unsigned short command, unsigned long key);
    const KEYCMD* find_key(unsigned short context, unsigned long key, int anycontext) const;
    const KEYCMD* find_cmd(unsigned short context, unsigned short command) const;
    void resort_keys();
    void resort_cmds();
    // Takes the binding out of both lists and deletes it.
    void erase(const KEYCMD* binding);
    // The table's entry a binding stands for: the first of the group with that id; null when the
    // table has none or it is a reference entry.
    const CMDINFO* ownentry(const KEYCMD& binding);

    static const KEYCMD dummycmd;

    CMDINFOTABLE& cmdtable; // the module's; not owned
    uint16_t scrollcmd;
    GDPA<KEYCMD> bykey; // owns the bindings, sorted by (context, key)
    GDPA<KEYCMD> bycommand; // the same bindings, sorted by (context, command); never zapped
};

// The key translator of the current application context's module; null when it has none.
KEYTRANSLATOR* getapplnkeytranslator();
