#pragma once

// A drawing primitive: one line, box, circle, curve, path, text or symbol instance of a graphic
// or a symbol, in a named graphic style. Its shape stands in its own coordinates behind a
// placement of its own (any angle, mirrored or not), so that turning it by any angle keeps it
// exact; a shape whose placement only moves it takes the move into its coordinates.
//
// A primitive is stored (pack, make) as one record of the packed buffer (records.h): the length
// word; u8 version 1; u8 kind (PK_*); the named graphic style; the placement (i32 x, i32 y, i16
// angle, i16 mirror); then its shape:
//   PK_LINE     i32 x1, y1, x2, y2
//   PK_BOX      i32 x1, y1, x2, y2 (x1 <= x2, y1 <= y2)
//   PK_CIRCLE   i32 centre x, y; i32 radius (>= 0)
//   PK_BEZIER   i32 x, y of the start, the two control points and the end
//   PK_PATH     i32 x, y of the start; u32 segment count; per segment u8 0 (a line: i32 x, y of
//               its end) or 1 (a curve: i32 x, y of both control points and of its end)
//   PK_TEXT     u8 justification; the font (TSTYLE as casq stores it); the text (u32 length)
//   PK_SYMBOL   the symbol's name (at most 63 characters); markers are symbols whose names begin
//               with "$MKR" and are stored as PK_SYMBOL too
// Callers: the schematic's graphics, devices and placement, the device tools (TAVI); symbols.

#include <cstdint>

#include "platform/kelmar/xstyles.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"

class DIDX;
class DPA;
class PRIMITIVE;
class DPKB;
class LIBCURSOR;
class LIBWRITER;
class SYMBOL;
class VGDVC;
struct DRAGHANDLE;

// Kinds (kind()).
constexpr int PK_LINE = 1;
constexpr int PK_BOX = 2;
constexpr int PK_CIRCLE = 3;
constexpr int PK_BEZIER = 4;
constexpr int PK_PATH = 5;
constexpr int PK_SYMBOL = 6; // an instance of a symbol, which decomposes into its primitives
constexpr int PK_TEXT = 7;
constexpr int PK_MARKER = 8; // an instance of a marker symbol

// Modes of occa.
constexpr int OCCA_DRAWN = 0; // what the drawing covers, the pen's width included
constexpr int OCCA_SHAPE = 1; // the shape alone

// Names of markers begin so.
inline constexpr const char* MARKERPREFIX = "$MKR";
constexpr int MARKERNAMEMAX = 64;

// A marker of a symbol or device being made: its name and the primitive that places it, once
// makesym found one. Kept in an index by name (the record begins with its name).
struct MARKER {
    char name[MARKERNAMEMAX + 1] = {};
    PRIMITIVE* primitive = nullptr; // not owned
};
template <> struct GDIDXKEY<MARKER> : GDIDXINLINEKEY<MARKER> { };

class PRIMITIVE {
public:
    explicit PRIMITIVE(const GSTYLE_ENTRY& style);
    virtual ~PRIMITIVE() = default;

    virtual int kind() const = 0;
    // The placement a graphic holding the primitive takes: the middle of a shape, the anchor of a
    // text or symbol, with the primitive's turn. 1: the primitive turns by any angle.
    int getornt(CTS* cts) const;
    // Moves and turns the primitive by the transform.
    void map(const CTS& cts);
    // Its box in the coordinates it is drawn in (OCCA_DRAWN, OCCA_SHAPE).
    virtual BOX occa(int mode) const = 0;
    // A hit when the point lies within *distance of what the primitive draws (inside a filled
    // shape: 0): *distance becomes the distance. The pen's half width counts as nearer.
    virtual int test(POINT point, int* distance) const = 0;
    // Appends a new DRAGHANDLE (the caller's) for every handle; 1 when there were any.
    virtual int gethandles(DPA& handles) const;
    // An event on a handle other than its drag; no primitive answers one (0).
    virtual int handleevent(DRAGHANDLE& handle, POINT point, int message, uint16_t keys, uint32_t data);
    // Reshapes by the handle (its id from gethandles, its point moved); 1 when the shape changed.
    virtual int resize(DRAGHANDLE* handle);
    // Moves the primitive's reference point (getornt) to the origin and the placement by as much,
    // so that the primitive drawn through the placement stays where it was.
    void normalise(CTS& placement);
    // Draws through the placement with the flag word.
    virtual void plot(const CTS& cts, VGDVC* device, DWORD word) const = 0;

    void setstyle(const GSTYLE_ENTRY& style);
    const GSTYLE_ENTRY& getstyle() const { return style; }
    // The attribute of a primitive: its line's pen style (PENSTYLE_*). 1 when it changed.
    int setattr(int penstyle);
    // Takes the values of its named style from the table; a style the table lacks or marks
    // deleted gives way to the fallback (null: the primitive keeps what it has). A style of its
    // own (no name) stays.
    virtual void updatestyles(const XSTYLE_MANAGER<GSTYLE>& styles, const GSTYLE_ENTRY* fallback);

    // A symbol instance of old takes with instead; 1 when it did.
    virtual int replace(SYMBOL* old, SYMBOL* with);
    // Adds the names of the symbols and graphic styles it uses to the indexes (the names point
    // into the primitive and its symbols: the indexes must not outlive them or free them).
    virtual void usedlist(DIDX& symbols, DIDX& styles) const;
    // Contributes to a symbol or device being made: a copy mapped through cts appended to
    // primitives (the caller's); a symbol instance gives its symbol's primitives instead, and a
    // marker whose name markers holds (MARKER records) points its record at its copy. 1 when
    // anything was contributed.
    virtual int makesym(DIDX& markers, DPA& primitives, const CTS& cts) const;
    virtual PRIMITIVE* clone() const = 0;
    // 1 when it draws nothing a user could see or pick (a text without text).
    virtual int isempty() const { return 0; }
    // Multiplies every coordinate by factor (files of another unit).
    void scale(int factor);

    // Appends the record to the buffer; 0 when it does not fit the buffer's length word.
    int pack(DPKB& buffer) const;
    // The primitive of the record at the buffer's cursor, the cursor moved past it; null for a
    // damaged record or one of a later version (the cursor then stands at the end).
    static PRIMITIVE* make(DPKB& buffer);

    // The primitive's edit dialog (the dialogs library): a text's text, font and justification,
    // any other shape's style, which the edit makes the primitive's own (unnamed). 1 when the
    // primitive changed; 0 for a symbol instance, which has nothing to edit.
    int edit();

    CTS cts; // the placement of the shape

protected:
    PRIMITIVE(const PRIMITIVE&) = default;
    PRIMITIVE& operator=(const PRIMITIVE&) = default;

    // The middle of the shape in its own coordinates (for a text or symbol the origin).
    virtual POINT reference() const = 0;
    // Takes a placement that only moves into the shape's coordinates, where the kind can.
    virtual void settle() { }
    virtual void packshape(LIBWRITER& out) const = 0;
    virtual void scaleshape(int factor) = 0;
    // When the placement only moves the shape: true with the move in offset, the placement
    // then cleared for the shape to take the move.
    bool takeoffset(POINT& offset);
    static POINT scaled(POINT point, int factor);
    // Half the pen's width when a pen draws, else 0.
    int32_t halfpen() const;
    // The box of a shape in its own coordinates as occa gives it: grown by half the pen when
    // drawn, through the placement.
    BOX placedbox(BOX shape, int mode) const;
    // A hit at that distance when it is within *distance, which it then becomes (test).
    static int narrow(int64_t away, int* distance);
    // The point in the shape's coordinates.
    POINT local(POINT point) const;

    GSTYLE_ENTRY style;
};
