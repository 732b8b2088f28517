#pragma once

// APPLNPRINT, the printing and export mix-in of every graphical editor: it owns the output
// settings (OCS) and names the output files; the editor draws each output through op_drawocs.
// Printing (printrun.cpp, printers.cpp) and the exports (exports.cpp) are its further operations.
// Callers: the editor base and the editors deriving it; the output form.

#include "framework/output/ocs.h"
#include "platform/drelm/formcallback.h"
#include "platform/win/colour.h"

class QByteArray;
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

    // The exports. Each fills the settings, proposes the file, runs the calling module's form of
    // the kind with the shared output-form handler and on OK draws into the kind's device;
    // callback: the module's own handling of the form's events (may be null). Cancel writes
    // nothing. The result: the device's code (FDI_OK, FDI_DISKFULL, ...), -1 when cancelled or the
    // form could not be built.
    int op_bitmap_setup(const char* docname, FORMPROC callback);
    int op_metafile_setup(const char* docname, FORMPROC callback);
    int op_pdf_setup(const char* text, const char* docname, FORMPROC callback, int option);
    int op_svg_setup(const char* text, const char* docname, FORMPROC callback, int option);
    int op_dxf_setup(const char* devicetext, const char* docname, FORMPROC callback);
    int op_eps_setup(const char* devicetext, const char* docname, FORMPROC callback, int option);
    int op_vector_setup(const char* text, const char* docname, FORMPROC callback);
    // The SVG export without form: a new file beside the document that never replaces one,
    // drawn through op_generatesvg; its name into result (PATHBUFFER bytes) when given, else
    // shown in an information box.
    int op_svg2_setup(const char* text, const char* docname, FORMPROC callback, int option, char* result);
    // The drawing as picture data for a module that embeds it. settings keeps the output
    // settings ("ocs") and background ("bkcolour") between calls; the form "OP_DATA" is shown the
    // first time and when settings holds "reloadSettings". Empty when cancelled.
    QByteArray op_data_setup(QVariant& settings, FORMPROC callback, int option);
    // What the export forms' OK does: the device of the kind drawn with the current settings.
    int op_bitmap();
    int op_metafile();
    int op_pdf(int option);
    int op_svg(int option);
    int op_dxf(const char* devicetext);
    int op_eps(const char* devicetext, const char* docname, int option);
    int op_vector();
    // Shows a file output's fault; installed while an export draws.
    static int op_fdierror(char* text);

    int plotunits = 25400; // handed to the pen-plotter device unchanged
    int plotoption = 0;
    char lastdocname[PATHBUFFER] = {};
    char lastext[PATHBUFFER] = {};
    int rsln = 0; // bitmap resolution choice
    OCS ocs {};
    int erasebkgnd = 1; // metafile: erase the background
    int vectordevice = 0; // vector export device choice
    int showdoc = 1; // PDF and SVG: open the written file afterwards
    // The background chosen in the bitmap, PDF, SVG and data forms: at first the application
    // colour 0 of the context the mix-in was made in.
    COLORREF bkcolour;

private:
    // Draws into the device with the fault handler installed, then puts its output in place.
    int drawexport(VGDVC& device, char* filename);
};

// The background of an output: white for monochrome, inverted on request.
COLORREF outputbackground(COLORREF chosen, const OCS& settings);

// Copies text into a buffer of PATHBUFFER bytes, cut to at most 516 bytes at a character boundary.
void copyoutputname(char* buffer, const char* text);
