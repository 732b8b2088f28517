#pragma once

// The loaded entries of one kind (the devices or the symbols a design holds): an index of
// RLIB_ENTRY by name (compared without regard to case) that owns its entries, loads entries from
// its library set on demand, and carries them in design files, clipboard blocks and project clips
// (rlibstream.cpp gives that layout). Entries are made by name through the factory of the set's
// class; RLIB<T> makes a T.
// Callers: the schematic module (its device and symbol libraries, design files, clipboard and
// clips), the library selectors and browser, the pick dialogs and the device tools.

#include "core/containers/dpkb.h"
#include "platform/lunder/rlibentry.h"

#include <string>

class DLIB;
class MLIB;
class VFILE;

class RLIB_BASE : public GDIDX<RLIB_ENTRY> {
public:
    // Over the library set libraries (not owned; null: entries come only from files).
    explicit RLIB_BASE(MLIB* libraries);
    ~RLIB_BASE() override; // destroys the entries

    // A new, empty entry of that name for unpacking; null when the name makes none.
    virtual RLIB_ENTRY* create(const char* name) = 0;

    // With flags 0: the loaded entry of that name; when there is none, it is loaded from library
    // (null: the library that getnewest names), added and returned. With flags 1: a fresh entry
    // from the library, not added: the caller's. Null, with the reason in error, when neither is
    // there.
    RLIB_ENTRY* get(const char* name, DLIB* library, int flags);
    // Adds entry, or puts it in the place of the loaded entry of its name (which is then the
    // caller's); returns its index.
    int add(RLIB_ENTRY* entry);
    // Lists every loaded entry into list (appended, not owned there); returns the number.
    int sync(DPA& list) const;
    // Draws the entry of that name for a library browser, as RLIB_ENTRY::preview: the version of
    // library when one is given, else the loaded entry, else the one getnewest names. text (256
    // bytes, may be null) is emptied first. 1 when an entry was drawn.
    int browse(const char* name, DLIB* library, SGDVC* device, LIBBROWSEINFO* info, char* text);

    // Writes every loaded entry, packed with length words of mode, as one block; 1 when written
    // whole, else 0 with the reason in error.
    int write(VFILE& f, DPKB_MODE mode);
    // The same for the loaded entries that names holds (a project clip's or clipboard's used
    // entries).
    int exportentries(VFILE& f, const DIDX& names, DPKB_MODE mode);
    // Reads a block written by write or exportentries. Entries whose names are loaded already stay
    // as they are; the others are added and marked temporary. 1 when the block was read whole,
    // else 0 with the reason in error (what it held up to the damage is added).
    int read(VFILE& f);
    // Destroys the loaded entries that used does not name; returns how many.
    int tidy(const DIDX& used);
    // Clears the temporary marks.
    void reset();

    MLIB* libraries;
    std::string error;

private:
    RLIB_ENTRY* load(const char* name, DLIB* library);
    int writeentries(VFILE& f, const DPA& entries, DPKB_MODE mode);
};

template <class T> class RLIB : public RLIB_BASE {
public:
    using RLIB_BASE::RLIB_BASE;

    RLIB_ENTRY* create(const char* name) override { return new T(name); }
    T* get(const char* name, DLIB* library = nullptr, int flags = 0)
    {
        return static_cast<T*>(RLIB_BASE::get(name, library, flags));
    }
};
