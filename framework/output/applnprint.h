#pragma once

// APPLNPRINT, the printing and export mix-in of every graphical editor: it owns the output
// settings (OCS) and names the output files; the editor draws each output through op_drawocs.
// Printing (printrun.cpp, printers.cpp) and the exports (exports.cpp) are its further operations.
// Callers: the editor base and the editors deriving it; the output form.

#include "framework/output/ocs.h"
#include "platform/drelm/formcallback.h"
#include "platform/win/colour.h"
#include "platform/win/handletypes.h"

class CONTROL;
class FORM;
class QByteArray;
struct DEVNAMES;
struct PRINTDLGA;
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

    // The printer of the process: DEVNAMES and DEVMODE blocks, both null until one is chosen;
    // whoever replaces a block frees the old one. The last printer chosen in a set-up is kept in
    // the calling module's settings ("Printers": "Last Printer", and each printer's settings
    // under "<device> (<port>)").
    static HGLOBAL devnames;
    static HGLOBAL devmode;
    // The remembered printer into the two handles (freeing what they held); the default printer
    // when none is remembered or it is gone. Non-zero on success.
    static int getqjprinter(HGLOBAL* names, HGLOBAL* settings);
    // The settings to use for the printer: the remembered ones while they still suit its driver
    // (1), else the driver's (1 when remembered ones were dropped, 0 when none were remembered).
    static int getqjsettings(const DEVNAMES* names, HGLOBAL* settings);
    // Remembers the printer (as the last one with savelast) and its settings; 0 without names.
    static int setqjprinter(HGLOBAL names, HGLOBAL settings, int savelast);
    // The system's default printer into the handles; 0 when there is none.
    static int getdefprinter(HGLOBAL* names, HGLOBAL* settings);
    // The driver's current settings of the named printer; null on any failure.
    static HGLOBAL getdevmode(const DEVNAMES* names);
    // A context (infoonly: for questions only) on the current printer, made current first;
    // with the current settings when usedevmode, else the driver's. Null without a printer.
    static HDC getcontext(int infoonly, int usedevmode);

    // The print dialog on the current printer (the remembered one first); its result.
    int op_printdlg(PRINTDLGA& dialog);
    // The printer set-up dialog; the printer chosen is remembered.
    int op_printer_setup();
    // Forgets the current printer.
    int op_printer_reset();
    // The print command: the form "OP_PRINT" of the calling module, then on OK one print job.
    void op_print_setup(const char* docname, FORMPROC callback);
    // One print job of the drawing on the current printer (into ocs.filename with ocs.tofile).
    // 1 when it printed, 0 when it failed (said in an error box).
    int op_print(const char* docname, OCS& settings);

    // The print status form while a job runs.
    static void openprintstatus(HWND owner, HDC printer);
    static void setprintstatus(const char* text);
    static void closeprintstatus();
    // The abort procedure of a print job: 1 to go on while the status form runs.
    static int printcbf(HDC printer, int code);
    static FORM* printmsgbox;
    static CONTROL* printstatus;

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
