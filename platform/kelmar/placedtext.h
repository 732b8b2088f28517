#pragma once

// What labels and text blocks share: lines of text in a named text style, placed and justified
// at an anchor (textlayout.h), shown or hidden, with the box they cover kept until the text, the
// style or the placement changes (measuring text is slow).
// Callers: LABEL and TEXTBLOCK.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kelmar/drawmodes.h"
#include "platform/kelmar/xstyles.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"

class VGDVC;

// Modes of occa.
constexpr int LABELAREA_SHOWN = 0; // the box the text shows: void when it is hidden or empty
constexpr int LABELAREA_ALWAYS = 1; // its box whether shown or not

class PLACEDTEXT {
public:
    virtual ~PLACEDTEXT() = default;

    // Takes the named style's values (null: the default style); whether the text shows stays as
    // it was.
    void setstyle(const TSTYLE_ENTRY* style);
    const TSTYLE_ENTRY& getstyle() const { return style; }
    int isvisible() const { return style.style.isvisible(); }
    void setvisible(int on);

    void setcts(const CTS& cts, int justification);
    const CTS& getcts() const { return cts; }
    int getjustification() const { return justification; }
    // Maps the anchor by the transform; with turn set the text's orientation turns with it too.
    void map(const CTS& transform, int turn);

    // A hit when the point lies within *distance of the shown box: *distance becomes the distance
    // (0 inside). 0 for a hidden or empty text.
    int test(POINT point, int* distance) const;
    BOX occa(int mode) const;

protected:
    PLACEDTEXT() = default;
    PLACEDTEXT(const PLACEDTEXT&) = default;
    PLACEDTEXT& operator=(const PLACEDTEXT&) = default;

    // The lines the text shows.
    virtual std::vector<std::string> lines() const = 0;
    // The text changed: its box is measured again when next asked for.
    void changed() { measured = false; }
    // Draws the lines with the word (0: the word of the mode), hidden or not.
    void drawtext(VGDVC* device, DRAWMODES mode, DWORD word) const;

    TSTYLE_ENTRY style;
    CTS cts;
    uint8_t justification = JUSTIFY_LEFT | JUSTIFY_TOP;

private:
    mutable BOX area;
    mutable bool measured = false;
};
