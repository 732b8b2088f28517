#pragma once

// The demonstration page of the graphics devices: lines of several widths and styles, filled and
// open shapes, arcs, a bezier and a closed path, text at 0 and 90 degrees in two sizes, a scale of
// 10 mm and a bitmap, on a page of 200 by 140 mm. Drawn into every kind of output it shows what
// each writer makes of the same world.
// Callers: the plotdemo tool and its tests.

#include <string>
#include <vector>

#include "platform/ombrel/box.h"

class VGDVC;

namespace plotdemo {

// World units: 2,540,000 to the inch, 100,000 to the millimetre.
constexpr long UNITSPERINCH = 2540000;
constexpr int MILLIMETRE = 100000;

// The world area of the page: 200 by 140 mm.
BOX pagearea();
// Draws the page into a begun device whose window is the page; without text for comparisons that
// must not depend on the fonts a machine has.
void drawpage(VGDVC& device, bool text = true);
// Writes the page through a device into its file (null: the device's own): opens the output,
// maps 1:1, draws, ends and closes. Answers the output's code (FDI_OK when written).
int writepage(VGDVC& device, const char* filename);

struct KIND {
    std::string extension;
    std::string description;
};
// The kinds of file the tool writes, by extension: pdf, svg, eps, dxf, plt, bmp, png, emf, and
// print.pdf printed through the printer device into a file.
const std::vector<KIND>& kinds();
// Writes the page as a file of that kind; FDI_UNSUPPORTED for an unknown extension.
int writekind(const std::string& extension, const std::string& filename);
// Prints the page at 1:1 on A4 landscape through the printer "Print to PDF" into the file.
int printpage(const std::string& filename);

} // namespace plotdemo
