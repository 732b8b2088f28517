#pragma once

// A loaded library entry (a device, a packaging, a symbol): the base class the owners of entries
// derive from, which packs and unpacks itself and draws its previews; what the browser of a
// library learns from a preview; and the record that names an entry for the library manager.
// Callers: the schematic's devices and symbols, hulvane's pinouts, the library selectors and
// pick dialogs, the device tools.

#include "core/containers/didx.h"
#include "platform/lunder/libname.h"

#include <concepts>
#include <cstdint>
#include <string>
#include <vector>

class DLIB;
class DPKB;
class SGDVC;
class VGDVC;
struct CTS;

// What a preview for the library browser reports: the packagings the entry offers and the one
// drawn (-1: none; the caller may set it before the preview to choose one).
struct LIBBROWSEINFO {
    std::vector<std::string> packagings;
    int current = -1;
};

class RLIB_ENTRY {
public:
    explicit RLIB_ENTRY(const char* name); // cut to 63 characters
    RLIB_ENTRY(const RLIB_ENTRY&) = delete;
    RLIB_ENTRY& operator=(const RLIB_ENTRY&) = delete;
    virtual ~RLIB_ENTRY();

    // Draws the entry through cts on device; the base draws nothing.
    virtual void preview(CTS& cts, VGDVC* device);
    // Draws it for a library browser, reporting its packagings in info (may be null) and writing
    // a one-line description into text (256 bytes; may be null); the base draws nothing.
    virtual void preview(CTS& cts, SGDVC* device, LIBBROWSEINFO* info, char* text);
    // Its description; null when it has none (the base has none).
    virtual const char* description();
    // How many placed instances use it; -1 when that is not known (the base's answer).
    virtual int placedcount();
    // Appends the entry to b as one record that opens with its length word; 0 when it cannot.
    virtual int pack(DPKB& b) = 0;
    // Reads what pack wrote, at the cursor of b; 0 when the record is damaged.
    virtual int unpack(DPKB& b) = 0;
    // Reads a record of b packed with 16-bit length words (an older form); the base unpacks it.
    virtual int convert(DPKB& b);
    // A copy of the entry, of its own class; null when it cannot be made.
    virtual RLIB_ENTRY* duplicate() = 0;

    char name[LIBNAMESIZE];
    uint32_t created = 0; // time stamp of the library version it is, seconds since 1970; 0 none
    int32_t library = -1; // number of the library it came from (DLIB::number); negative: none
    uint8_t temporary = 0; // brought in by RLIB_BASE::read since the last reset
};

// Indexes of entries are keyed by the entries' names.
template <class T>
requires std::derived_from<T, RLIB_ENTRY>
struct GDIDXKEY<T> {
    static char* key(const T* item) { return const_cast<char*>(item->name); }
};

// Names an entry of a library for the library manager (type 0: a device).
struct LIB_ITEM {
    LIB_ITEM(int type, DLIB* library, const char* name); // name cut to 63 characters

    int type;
    DLIB* library; // not owned
    char name[LIBNAMESIZE];
};
