#pragma once

// A symbol: a named drawing of primitives, an entry of a symbol library (lunder's RLIB_ENTRY),
// also the body drawing a device owns. Its markers are instances of marker symbols among its
// primitives ("$MKRNODE" where a pin connects, "$MKRLABEL" where a label stands...), found by
// name. Symbols whose names begin with '$' are the system's own.
//
// Instances of other symbols inside a symbol are read back by name through the process's symbol
// finder (setsymbolfinder); instances nest at most SYMBOLNESTING deep, so that a symbol that
// contains itself, however it came to, is drawn, measured and walked to that depth and no
// further.
//
// Stored (pack, unpack) as one record of the packed buffer (records.h): the length word; u8
// version 1; u32 primitive count; the primitives' records (primitive.h). The name is the
// library's.
// Callers: the schematic's symbol library, devices, pins, terminals, probes and graphics (TAVI);
// the device tools; the library browser's previews.

#include "core/containers/dpa.h"
#include "platform/kelmar/primitive.h"
#include "platform/lunder/rlibentry.h"

class SGDVC;
class VGDVC;

constexpr int SYMBOLNESTING = 16;

// Finds the symbol of a name for the instances being read; null when there is none.
using SYMBOLFINDER = SYMBOL* (*)(const char* name);
// Installs the finder (null: instances read find no symbol) and returns the one before.
SYMBOLFINDER setsymbolfinder(SYMBOLFINDER finder);
// The symbol of that name through the finder; null when there is none, or when the nesting of
// instances being read or walked is already SYMBOLNESTING deep.
SYMBOL* findsymbol(const char* name);

class SYMBOL : public RLIB_ENTRY {
public:
    explicit SYMBOL(const char* name);
    // A symbol of copies of the primitives (the caller keeps its own), moved and turned so that
    // origin becomes the symbol's origin.
    SYMBOL(const char* name, const CTS& origin, const DPA& primitives);
    ~SYMBOL() override;

    // Finds the marker among the primitives (the name compared without regard to case): 1 with
    // its placement in cts and its symbol in marker (either may be null); 0 when absent.
    int getmarker(const char* name, CTS* cts, SYMBOL** marker) const;
    // The box of the primitives (OCCA_DRAWN, OCCA_SHAPE); void when it has none.
    BOX occa(int mode) const;
    // As PRIMITIVE::test, over every primitive.
    int test(POINT point, int* distance) const;
    void plot(const CTS& cts, VGDVC* device, DWORD word) const;
    // Every primitive's makesym through cts; 1 when any contributed.
    int makesym(DIDX& markers, DPA& primitives, const CTS& cts) const;
    // The names of the symbols and styles its primitives use (PRIMITIVE::usedlist).
    void usedlist(DIDX& symbols, DIDX& styles) const;
    // Instances of old inside it take with; 1 when any did.
    int replace(SYMBOL* old, SYMBOL* with);
    // A copy of the name and the primitives.
    SYMBOL* clone() const;
    // Every primitive's updatestyles.
    void updatestyles(const XSTYLE_MANAGER<GSTYLE>& styles, const GSTYLE_ENTRY* fallback);
    // 1 for the system's own symbols (names beginning with '$').
    int issystem() const { return name[0] == '$'; }

    const GDPA<PRIMITIVE>& getprimitives() const { return primitives; }
    // Takes the primitive (owned from then on).
    void add(PRIMITIVE* primitive);

    // The drawing through cts: the symbol fitted into the device with a margin.
    void preview(CTS& cts, VGDVC* device) override;
    // The same for a library browser; text gets "Symbol" and the symbol's name.
    void preview(CTS& cts, SGDVC* device, LIBBROWSEINFO* info, char* text) override;
    int pack(DPKB& b) override;
    int unpack(DPKB& b) override;
    RLIB_ENTRY* duplicate() override;

private:
    GDPA<PRIMITIVE> primitives; // owned
};
