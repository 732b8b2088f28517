#pragma once

// APPLNPRINT, the printing and export mix-in of every graphical editor: it owns the output
// settings (OCS) and names the output files; the editor draws each output through op_drawocs.
// Printing (printrun.cpp, printers.cpp) and the exports (exports.cpp) are its further operations.
// Callers: the editor base and the editors deriving it; the output form.

#include "framework/output/ocs.h"

class QVariant;
class SSVGDVC;
class VGDVC;

class APPLNPRINT {
public:
    APPLNPRINT();
    virtual ~APPLNPRINT();
    APPLNPRINT(const APPLNPRINT&) = default;
    APPLNPRINT& operator=(const APPLNPRINT&) = default;

    // Fills the settings for the current document: the first-time defaults while `initialised`
    // is 0 (then sets it), and every time the area, origin, scope and scope mask.
    virtual void op_initocs(OCS& ocs) = 0;
    // Draws the chosen scope into the device, driving its pages itself and reporting its own
    // failures; filename is the file of devices that write one (DXF, EPS, plotters), else null.
    virtual int op_drawocs(OCS& ocs, VGDVC* device, char* filename) = 0;
    // The SVG export without form draws through this; the base draws nothing.
    virtual void op_generatesvg(OCS& ocs, SSVGDVC* device, char* filename);

    // The settings as a map of 23 entries (area, origin, dxfoption and initialised are not kept).
    QVariant storeOcs(const OCS& settings);
    // Sets the fields from the map: a missing key gives 0 or "", except "layers", whose bit array
    // sets only as many layers as it has bits.
    void extractOcs(const QVariant& map, OCS& settings) const;

    // Proposes the output file for an output kind of extension ext into filename: a name the user
    // chose for this kind last time is kept, else the document's name with the kind's extension.
    char* setoutputfilename(char* filename, const char* docname, const char* ext);
    // "<docname without extension>.<ext>", or the first "<...>(n).<ext>" that does not exist.
    void uniqueoutputname(char* out, const char* docname, const char* ext);

    int plotunits = 25400; // handed to the pen-plotter device unchanged
    int plotoption = 0;
    char lastdocname[PATHBUFFER] = {};
    char lastext[PATHBUFFER] = {};
    int rsln = 0; // bitmap resolution choice
    OCS ocs {};
    int erasebkgnd = 1; // metafile: erase the background
    int vectordevice = 0; // vector export device choice
    int showdoc = 1; // PDF and SVG: open the written file afterwards
};

// Copies text into a buffer of PATHBUFFER bytes, cut to at most 516 bytes at a character boundary.
void copyoutputname(char* buffer, const char* text);
