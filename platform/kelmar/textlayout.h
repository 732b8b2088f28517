#pragma once

// How labels, text blocks and 2D texts stand on a sheet: lines of text at an anchor, turned by the
// placement's angle and justified around the anchor (styles.h: JUSTIFY_*). Text is never drawn
// mirrored or upside down: a placement that would show it so gives the readable angle and the
// justification that keeps the text on the same side of its anchor. Lines stack downwards at
// LINEPITCH times the height; the vertical justification places the whole block.
// Callers: the labels, text blocks and texts of this folder.

#include <string>
#include <vector>

#include "platform/casq/styles.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/cts.h"

class VGDVC;

constexpr double LINEPITCH = 1.25;

struct TEXTPLACE {
    POINT at;
    int angle = 0; // tenths of a degree, within -900 (exclusive) to 900 (inclusive), as 0..3599
    int justification = 0;
};

// The readable placement of text placed by cts with the justification.
TEXTPLACE readable(const CTS& cts, int justification);

// The lines of text a property text shows: the parts inside braces are hidden ("{{" and "}}" show
// one brace each); a line that held hidden parts and shows nothing is left out.
std::vector<std::string> shownlines(const char* text);
// The lines of a plain text, split at line feeds (carriage returns dropped; a line feed at the
// end starts no further line).
std::vector<std::string> plainlines(const char* text);

// The box the lines cover (axis-parallel around the turned lines); void when no line shows text.
BOX linesbox(const std::vector<std::string>& lines, const TEXTPLACE& place, const TSTYLE& style);
// Draws the lines with the flag word.
void drawlines(
    VGDVC* device, const std::vector<std::string>& lines, const TEXTPLACE& place, const TSTYLE& style, DWORD word);

// The distance from p to the box (0 inside); the 32-bit maximum for a void box.
int32_t boxdistance(const BOX& box, POINT p);

// Justification as an editor offers it: horizontal choices Left, Centre, Right (0-2) and vertical
// choices Top, Middle, Bottom (0-2).
int gethjust(int justification);
int getvjust(int justification);
// The justification of the two choices; a choice out of range counts as the first.
int gettjust(int horizontal, int vertical);
