#pragma once

// A label: one line of text in a named text style at a placement, justified around its anchor
// (placedtext.h). Objects carry labels for their references, values, names and net names. A label
// shows unless its style's TS_HIDDEN flag is set; that flag belongs to the label, not to the
// named style it follows.
//
// Stored (write, read) as a record (records.h): u32 length; u8 version 1; the placement (i32 x,
// i32 y, i16 angle, i16 mirror); u8 justification; u8 flags; the named text style; the text.
// Callers: the schematic's components, terminals, sub-circuits, wires, probes, graphs and traces
// (TAVI).

#include <cstdint>
#include <string>

#include "platform/kelmar/placedtext.h"

class PROPTOOL;
class VFILE;
class VGDVC;

// Label flags.
constexpr uint8_t LABEL_SYNCHRONISED = 0x01;
constexpr uint8_t LABEL_LOCKED = 0x02;

class LABEL : public PLACEDTEXT {
public:
    LABEL() = default;
    // In the named style (null: the default style); placed at the origin, left and top justified.
    LABEL(const char* text, const TSTYLE_ENTRY* style);

    void settext(const char* text); // null: empty
    const char* gettext() const { return text.c_str(); }
    int isempty() const { return text.empty(); }

    int getheight() const { return style.style.height; }
    // Moves the anchor by the offset.
    void move(const POINT& offset);
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

protected:
    std::vector<std::string> lines() const override { return { text }; }

private:
    std::string text;
};
