#pragma once

// A label: one line of text in a named text style at a placement, justified around its anchor
// (textlayout.h). Objects carry labels for their references, values, names and net names. A label
// shows unless its style's TS_HIDDEN flag is set; that flag belongs to the label, not to the
// named style it follows.
//
// Stored (write, read) as a record (records.h): u32 length; u8 version 1; the placement (i32 x,
// i32 y, i16 angle, i16 mirror); u8 justification; u8 flags; the named text style; the text.
// Callers: the schematic's components, terminals, sub-circuits, wires, probes, graphs and traces
// (TAVI).

#include <cstdint>
#include <string>

#include "platform/kelmar/drawmodes.h"
#include "platform/kelmar/xstyles.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"

class PROPTOOL;
class VFILE;
class VGDVC;

// Label flags.
constexpr uint8_t LABEL_SYNCHRONISED = 0x01;
constexpr uint8_t LABEL_LOCKED = 0x02;

// Modes of occa.
constexpr int LABELAREA_SHOWN = 0; // the box the label shows: void when it is hidden or empty
constexpr int LABELAREA_ALWAYS = 1; // its box whether shown or not

class LABEL {
public:
    LABEL() = default;
    // In the named style (null: the default style); placed at the origin, left and top justified.
    LABEL(const char* text, const TSTYLE_ENTRY* style);

    void settext(const char* text); // null: empty
    const char* gettext() const { return text.c_str(); }
    int isempty() const { return text.empty(); }

    // Takes the named style's values; whether the label shows stays as it was.
    void setstyle(const TSTYLE_ENTRY* style);
    const TSTYLE_ENTRY& getstyle() const { return style; }
    int isvisible() const { return style.style.isvisible(); }
    void setvisible(int on);
    int getheight() const { return style.style.height; }

    void setcts(const CTS& cts, int justification);
    const CTS& getcts() const { return cts; }
    int getjustification() const { return justification; }
    // Maps the anchor by the transform; with turn set the label's orientation turns with it too.
    void map(const CTS& transform, int turn);
    // Moves the anchor by the offset.
    void move(const POINT& offset);

    // A hit when the point lies within *distance of the shown box: *distance becomes the distance
    // (0 inside). 0 for a hidden or empty label.
    int test(POINT point, int* distance) const;
    BOX occa(int mode) const;
    // Draws the label with the word (0: the word of the mode); a hidden one only with showhidden.
    void plot(VGDVC* device, DRAWMODES mode, int showhidden, DWORD word) const;

    // Applies the tool when it acts on the property name: set takes the next value as the text,
    // delete empties it, show and hide switch it on and off. 1 when applied.
    int assign(PROPTOOL& tool, const char* name);

    // 1 when the whole record was read; 0 (the label unchanged) for a damaged or later record.
    int read(VFILE& file);
    // 1 when the record was written whole.
    int write(VFILE& file) const;

    uint8_t flags = 0;

private:
    BOX textarea() const;

    std::string text;
    TSTYLE_ENTRY style;
    CTS cts;
    uint8_t justification = JUSTIFY_LEFT | JUSTIFY_TOP;
    // The box of the text, kept until the text, style or placement changes (measuring is slow).
    mutable BOX area;
    mutable bool measured = false;
};
