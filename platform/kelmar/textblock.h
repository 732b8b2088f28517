#pragma once

// A text block: a property text (lines NAME=VALUE, the parts in braces hidden) shown in a named
// text style at a placement, its lines stacked and justified as placedtext.h says. Components,
// sub-circuits and probes carry their properties in one, scripts their text.
//
// Stored (write, read) as a record (records.h): u32 length; u8 version 1; the placement (i32 x,
// i32 y, i16 angle, i16 mirror); u8 justification; the named text style; the text.
// Callers: the schematic's components, sub-circuits, scripts and probes (TAVI); the device tools.

#include <cstdint>

#include "core/text/proptext.h"
#include "platform/kelmar/placedtext.h"

class PROPTOOL;
class VFILE;
class VGDVC;

class TEXTBLOCK : public PLACEDTEXT {
public:
    TEXTBLOCK() = default;
    // In the named style (null: the default style); placed at the origin, left and top justified.
    TEXTBLOCK(const char* text, const TSTYLE_ENTRY* style);
    TEXTBLOCK(const TEXTBLOCK& other) = default;
    TEXTBLOCK& operator=(const TEXTBLOCK& other) = default;

    void settext(const char* text); // null: empty
    const char* gettext() const { return text.text ? text.text : ""; }
    // The property text itself; call changed() after editing it in place.
    PROPTEXT& getproptext() { return text; }
    using PLACEDTEXT::changed;
    // Draws the shown lines with the word (0: the word of the mode); nothing when hidden.
    void plot(VGDVC* device, DRAWMODES mode, DWORD word) const;

    // Applies the tool to the property of its name in the text (the lines above any section
    // header): set gives it the next value (added when absent, in the braces it had), delete
    // removes it, show and hide take its braces away or hide the whole line. 1 when applied.
    int assign(PROPTOOL& tool);

    // Reads a record whose style name has at most namemax characters (the limit of the file's
    // version: 50 from version 690, 30 and 15 before). 1 when the whole record was read; 0 (the
    // block unchanged) for a damaged or later record.
    int read(VFILE& file, int namemax);
    int write(VFILE& file) const;

protected:
    std::vector<std::string> lines() const override;

private:
    PROPTEXT text;
};
