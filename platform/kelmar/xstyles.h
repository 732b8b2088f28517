#pragma once

// The named styles of a design: tables of graphic styles (GSTYLE) and text styles (TSTYLE), each
// entry a name of at most 20 characters, a flags byte and the style. Names compare without regard
// to case; entries are also found by position, the built-in ones standing first in the order they
// were given (the table's locked head). Drawing primitives and labels keep an entry of their own
// (a copy) and take the table's values by name when their owner refreshes its styles.
//
// A table is stored (write, read) as: u16 count; per entry the name (vfputstr), the flags byte
// without XS_SHARED, the style as casq writes it (styles.h).
// Callers: the schematic's style tables, defaults and style commands (TAVI); the primitives,
// labels and text blocks (kelmar).

#include <cstdint>

#include "core/containers/didx.h"
#include "platform/casq/styles.h"

class VFILE;

constexpr int XSTYLENAMEMAX = 20;

// Entry flags.
constexpr uint8_t XS_BUILTIN = 0x01; // a style every design starts from
constexpr uint8_t XS_USED = 0x02; // used by the design (set by whoever counts)
constexpr uint8_t XS_DELETED = 0x08; // marked for deletion
constexpr uint8_t XS_SHARED = 0x10; // not owned by the table: never copied, freed or written

template <class T> struct XSTYLE_ENTRY {
    XSTYLE_ENTRY() = default;
    // name cut to XSTYLENAMEMAX characters (null: empty).
    XSTYLE_ENTRY(const char* name, const T& style, uint8_t flags = 0);

    void setname(const char* name);

    char name[XSTYLENAMEMAX + 1] = {};
    uint8_t flags = 0;
    T style;
};

using GSTYLE_ENTRY = XSTYLE_ENTRY<GSTYLE>;
using TSTYLE_ENTRY = XSTYLE_ENTRY<TSTYLE>;

template <class T> struct GDIDXKEY<XSTYLE_ENTRY<T>> : GDIDXINLINEKEY<XSTYLE_ENTRY<T>> { };

template <class T> class XSTYLE_MANAGER : public GDIDX<XSTYLE_ENTRY<T>> {
public:
    using ENTRY = XSTYLE_ENTRY<T>;

    XSTYLE_MANAGER();
    ~XSTYLE_MANAGER() override;
    XSTYLE_MANAGER(const XSTYLE_MANAGER&) = delete;
    XSTYLE_MANAGER& operator=(const XSTYLE_MANAGER&) = delete;

    // Frees an entry unless it is shared.
    void destroy(void* item) override;

    // The entry at a position or of a name; null when there is none.
    ENTRY* get(int position) const { return this->ptr(position); }
    ENTRY* get(const char* name) const { return (*this)[name]; }
    // The position of the entry of that name; -1 when absent.
    int find(const char* name) const { return this->idxn(name); }

    // A new entry of that name with a copy of the style, or, when the name is there, the entry's
    // style replaced by it (its flags stay). The entry's position; -1 for an empty name or one of
    // more than XSTYLENAMEMAX characters.
    int add(const char* name, const T& style, uint8_t flags);
    // A new entry named name with the style of the entry named base (the default style when
    // there is none). Its position; -1 when the name is empty, too long or taken.
    int addcopy(const char* name, const char* base);
    // Empties the table (freeing what it owns) and fills it with the rows, which become its
    // locked head: a shared row is taken itself, any other as a copy. count -1 takes the rows up
    // to the first whose name is empty.
    void reset(const ENTRY* rows, int count);

    // Reads a table written by write into this one: an entry of a name already present gives it
    // the stored style; other entries are added. 1 when the whole table was read; 0 when the file
    // ends early or holds a damaged entry (the entries before it are kept).
    int read(VFILE& file);
    // 1 when every byte was written.
    int write(VFILE& file) const;

    // The style editor of the table (the dialogs library): current names the entry shown first;
    // used (null: none) lists the names of styles the design uses, which cannot be deleted.
    // Entries the user deletes get XS_DELETED. 1 when the table was changed.
    int edit(const char* current, DIDX* used);
    // Asks for the name of a new style made from the entry named current (the dialogs library).
    // Its position; -1 when cancelled.
    int createnew(const char* current);
};

template <> int XSTYLE_MANAGER<GSTYLE>::edit(const char* current, DIDX* used);
template <> int XSTYLE_MANAGER<TSTYLE>::edit(const char* current, DIDX* used);
template <> int XSTYLE_MANAGER<GSTYLE>::createnew(const char* current);
template <> int XSTYLE_MANAGER<TSTYLE>::createnew(const char* current);

extern template struct XSTYLE_ENTRY<GSTYLE>;
extern template struct XSTYLE_ENTRY<TSTYLE>;
extern template class XSTYLE_MANAGER<GSTYLE>;
extern template class XSTYLE_MANAGER<TSTYLE>;
