#pragma once

// The styles every drawing call draws with: GSTYLE for lines and fills, TSTYLE for text, and the
// flag words the drawing modes pass beside them. Lengths are world units; colours are 0x00BBGGRR.
//
// A style is stored as a little-endian record, version 1:
//   GSTYLE  u8 1, i32 pen style, i32 pen width, u32 pen colour, i32 brush style, u32 brush colour,
//           u32 flags                                                            (25 bytes)
//   TSTYLE  u8 1, counted face name (vfputstr, at most 31 characters), i32 height, i32 width,
//           u32 colour, u32 flags
// A reader that meets a record it cannot read leaves the style as it was.
// Callers: the drawing-primitive library and the schematic's style tables (kelmar, TAVI); the
// devices (casq).

#include <cstdint>

#include "platform/win/colour.h"
#include "platform/win/scalars.h"

class VFILE;

// Pen and brush styles of a GSTYLE (the values of the system's pens and brushes).
constexpr int PENSTYLE_SOLID = 0;
constexpr int PENSTYLE_DASH = 1;
constexpr int PENSTYLE_DOT = 2;
constexpr int PENSTYLE_DASHDOT = 3;
constexpr int PENSTYLE_DASHDOTDOT = 4;
constexpr int PENSTYLE_NONE = 5;
constexpr int BRUSHSTYLE_SOLID = 0;
constexpr int BRUSHSTYLE_HOLLOW = 1;

// A colour value that means "none" where a style takes one (a fill of -1 draws no fill).
constexpr COLORREF NOCOLOUR = 0xFFFFFFFF;

// The flag word a drawing call passes beside its style (one word per drawing mode): a colour in
// bits 0-23 and, above it, what the word changes.
constexpr DWORD DF_PENCOLOUR = 0x01000000; // lines and outlines in the word's colour
constexpr DWORD DF_FILLCOLOUR = 0x02000000; // fills in the word's colour
constexpr DWORD DF_TEXTCOLOUR = 0x04000000; // text in the word's colour
constexpr DWORD DF_COLOUR = 0x07000000; // everything in the word's colour
constexpr DWORD DF_THIN = 0x08000000; // lines as thin as the device draws them
constexpr DWORD DF_XOR = 0x10000000; // exclusive-or on devices that can (drawing twice erases)
constexpr DWORD DF_NOFILL = 0x40000000; // shapes outlined only
constexpr DWORD DF_COLOURMASK = 0x00FFFFFF;

// The application colours every module's palette holds, by index (getapplncolour).
enum APPLNCOLOURS {
    APPLNCOLOUR_BACKGROUND = 0,
    APPLNCOLOUR_HIGHLIGHT = 1,
    APPLNCOLOUR_CURSOR = 2,
    APPLNCOLOUR_VIEWBOX = 3, // the main view's area drawn in the overview
    APPLNCOLOUR_BORDER = 4, // sheet border, origin marks and bounding boxes
    APPLNCOLOUR_HANDLE = 5,
    APPLNCOLOUR_ACTIVEHANDLE = 6,
};

struct GSTYLE {
    int32_t penstyle = PENSTYLE_SOLID;
    int32_t penwidth = 0; // 0: the thinnest line of the device
    COLORREF pencolour = 0;
    int32_t brushstyle = BRUSHSTYLE_HOLLOW;
    COLORREF brushcolour = 0;
    uint32_t flags = 0; // the owner's; the devices read none of them

    GSTYLE() = default;
    // A thin line of the colour in the pen style, without fill (rubber bands, marks, boxes).
    GSTYLE(COLORREF colour, int style);
    // A line of the width and colour, filled with fill unless fill is NOCOLOUR.
    GSTYLE(int width, COLORREF line, COLORREF fill);

    void setpenstyle(int style, int width);
    void setpenwidth(int width) { penwidth = width; }
    // NOCOLOUR switches the pen off; any other colour draws it solid.
    void setpencolour(COLORREF colour);
    // NOCOLOUR switches the fill off; any other colour fills solid.
    void setbrushcolour(COLORREF colour);
    bool haspen() const { return penstyle != PENSTYLE_NONE; }
    bool hasfill() const { return brushstyle == BRUSHSTYLE_SOLID; }

    int read(VFILE& file); // 1 when a whole record was read
    int write(VFILE& file) const; // 1 when every byte was written
};

// Text flags: the 2D text effects (bold, underline, italic, strikeout) keep the bits the design
// defaults give them; TS_DEFAULTFONT and TS_VECTORFONT are derived by updatefontflags.
constexpr uint32_t TS_HIDDEN = 0x0001;
constexpr uint32_t TS_BOLD = 0x0002;
constexpr uint32_t TS_UNDERLINE = 0x0004;
constexpr uint32_t TS_ITALIC = 0x0008;
constexpr uint32_t TS_STRIKEOUT = 0x0010;
constexpr uint32_t TS_DEFAULTFONT = 0x0100; // the face is "Default Font"
constexpr uint32_t TS_VECTORFONT = 0x0200; // the face drawn is "Vector Font"

// Text justification: horizontal code in bits 0-1, vertical code in bits 2-3 (bit 12 is the
// owner's and ignored here). Bottom is the baseline.
constexpr int JUSTIFY_LEFT = 0;
constexpr int JUSTIFY_RIGHT = 1;
constexpr int JUSTIFY_CENTRE = 2;
constexpr int JUSTIFY_BOTTOM = 0;
constexpr int JUSTIFY_TOP = 4;
constexpr int JUSTIFY_MIDDLE = 8;

// The face names with a meaning of their own.
inline constexpr const char* DEFAULT_FONT_FACE = "Default Font";
inline constexpr const char* VECTOR_FONT_FACE = "Vector Font";

struct TSTYLE {
    char face[32] = "Default Font";
    int32_t height = 254000; // the size of the face (its em), world units
    int32_t width = 203200; // character width; 0.8 of the height draws the face as designed
    COLORREF colour = 0;
    uint32_t flags = 0;

    TSTYLE() = default;
    // The face is cut to 31 characters; a null face is the default font.
    TSTYLE(const char* face, int height, int width, COLORREF colour, uint32_t flags);

    void setface(const char* name);
    // Derives TS_DEFAULTFONT and TS_VECTORFONT from the face and the process's default face.
    void updatefontflags();
    // The face drawn: the default face for "Default Font", else the style's own.
    const char* resolvedface() const;
    bool isvisible() const { return !(flags & TS_HIDDEN); }

    // The face that "Default Font" stands for in this process ("Arial" until set; cut to 31
    // characters). Styles follow a change at their next updatefontflags.
    static void setdefaultface(const char* name);
    static const char* getdefaultface();

    int read(VFILE& file);
    int write(VFILE& file) const;
};
