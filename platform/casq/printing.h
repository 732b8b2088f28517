#pragma once

// Printers: the system's printing calls on the toolkit's printer support (CUPS). Printers are
// named by their queue; beside them the process always offers "Print to PDF" on the port "FILE:",
// which prints into the file StartDocA names, so that a machine without printers can still print.
// Any printer prints into a file (a PDF) when StartDocA names one.
//
// A printer travels as two blocks of movable global memory: DEVNAMES (the driver, device and port
// names as offsets into the block) and DEVMODEA (the fixed 156-byte record of the printer's
// settings, driver version 1.00 and no driver extra). Both are the suite's own stable records:
// written into the registry and read back on the next run.
// Callers: the print run, the print form and the printer capabilities report (framework); WPDVC.

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/messagebox.h"
#include "platform/win/messageparams.h"
#include "platform/win/scalars.h"

struct DEVNAMES {
    WORD wDriverOffset;
    WORD wDeviceOffset;
    WORD wOutputOffset;
    WORD wDefault; // DN_DEFAULTPRN when this is the default printer
};
constexpr WORD DN_DEFAULTPRN = 1;

struct POINTL {
    LONG x;
    LONG y;
};

struct DEVMODEA {
    BYTE dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    union {
        struct {
            SHORT dmOrientation;
            SHORT dmPaperSize;
            SHORT dmPaperLength; // tenths of a millimetre
            SHORT dmPaperWidth;
            SHORT dmScale;
            SHORT dmCopies;
            SHORT dmDefaultSource;
            SHORT dmPrintQuality;
        };
        struct {
            POINTL dmPosition;
            DWORD dmDisplayOrientation;
            DWORD dmDisplayFixedOutput;
        };
    };
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    BYTE dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    union {
        DWORD dmDisplayFlags;
        DWORD dmNup;
    };
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
static_assert(sizeof(DEVMODEA) == 156);

// dmFields bits.
constexpr DWORD DM_ORIENTATION = 0x1;
constexpr DWORD DM_PAPERSIZE = 0x2;
constexpr DWORD DM_PAPERLENGTH = 0x4;
constexpr DWORD DM_PAPERWIDTH = 0x8;
constexpr DWORD DM_SCALE = 0x10;
constexpr DWORD DM_POSITION = 0x20;
constexpr DWORD DM_NUP = 0x40;
constexpr DWORD DM_COPIES = 0x100;
constexpr DWORD DM_DEFAULTSOURCE = 0x200;
constexpr DWORD DM_PRINTQUALITY = 0x400;
constexpr DWORD DM_COLOR = 0x800;
constexpr DWORD DM_DUPLEX = 0x1000;
constexpr DWORD DM_YRESOLUTION = 0x2000;
constexpr DWORD DM_TTOPTION = 0x4000;
constexpr DWORD DM_COLLATE = 0x8000;
constexpr DWORD DM_FORMNAME = 0x10000;
constexpr DWORD DM_LOGPIXELS = 0x20000;
constexpr DWORD DM_BITSPERPEL = 0x40000;
constexpr DWORD DM_PELSWIDTH = 0x80000;
constexpr DWORD DM_PELSHEIGHT = 0x100000;
constexpr DWORD DM_DISPLAYFLAGS = 0x200000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x400000;
constexpr DWORD DM_ICMMETHOD = 0x800000;
constexpr DWORD DM_ICMINTENT = 0x1000000;
constexpr DWORD DM_MEDIATYPE = 0x2000000;
constexpr DWORD DM_DITHERTYPE = 0x4000000;
constexpr DWORD DM_PANNINGWIDTH = 0x8000000;
constexpr DWORD DM_PANNINGHEIGHT = 0x10000000;

constexpr WORD DM_SPECVERSION = 0x0401;
constexpr WORD PRINTERDRIVERVERSION = 100; // 1.00
constexpr SHORT DMORIENT_PORTRAIT = 1;
constexpr SHORT DMORIENT_LANDSCAPE = 2;
constexpr SHORT DMCOLOR_MONOCHROME = 1;
constexpr SHORT DMCOLOR_COLOR = 2;
constexpr SHORT DMDUP_SIMPLEX = 1;
constexpr SHORT DMDUP_VERTICAL = 2;
constexpr SHORT DMDUP_HORIZONTAL = 3;
constexpr SHORT DMPAPER_LETTER = 1;
constexpr SHORT DMPAPER_A4 = 9;
constexpr SHORT DMPAPER_USER = 256;

// DocumentPropertiesA modes.
constexpr DWORD DM_OUT_BUFFER = 2;
constexpr DWORD DM_IN_BUFFER = 8;

constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;

// DeviceCapabilitiesA capabilities.
constexpr WORD DC_ORIENTATION = 17;
constexpr WORD DC_COPIES = 18;

// GetDeviceCaps indexes of printers (beside those of gdi.h).
constexpr int NUMBRUSHES = 16;
constexpr int NUMPENS = 18;
constexpr int NUMMARKERS = 20;
constexpr int NUMFONTS = 22;
constexpr int CURVECAPS = 28;
constexpr int LINECAPS = 30;
constexpr int POLYGONALCAPS = 32;
constexpr int TEXTCAPS = 34;
constexpr int CLIPCAPS = 36;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;
constexpr int SIZEPALETTE = 104;
constexpr int COLORRES = 108;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
constexpr int SCALINGFACTORX = 114;
constexpr int SCALINGFACTORY = 115;
constexpr int BLTALIGNMENT = 119;
constexpr int SHADEBLENDCAPS = 120;

struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput; // a file to print into; null: the printer
    LPCSTR lpszDatatype;
    DWORD fType;
};

// Print job results.
constexpr int SP_ERROR = -1;
constexpr int SP_APPABORT = -2;
constexpr int SP_USERABORT = -3;
constexpr int SP_OUTOFDISK = -4;

using LPPRINTHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct PRINTDLGA {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
    LPPRINTHOOKPROC lpfnPrintHook;
    LPPRINTHOOKPROC lpfnSetupHook;
    LPCSTR lpPrintTemplateName;
    LPCSTR lpSetupTemplateName;
    HGLOBAL hPrintTemplate;
    HGLOBAL hSetupTemplate;
};

constexpr DWORD PD_PRINTSETUP = 0x40;
constexpr DWORD PD_RETURNDEFAULT = 0x400;
constexpr DWORD PD_ENABLEPRINTHOOK = 0x1000;
constexpr DWORD PD_ENABLESETUPHOOK = 0x2000;

// The name of the printer every process has.
inline constexpr const char* PDFPRINTER = "Print to PDF";

// With PD_RETURNDEFAULT: new blocks for the default printer (the system's default queue, else
// "Print to PDF"), without a dialog; the caller's handles must be null. Otherwise the print
// dialog (or with PD_PRINTSETUP the page set-up dialog) on the printer of the caller's blocks;
// when confirmed, the blocks are replaced by new ones (the old freed). The hooks, templates and
// instance are not used. FALSE when cancelled or when the blocks are damaged.
BOOL PrintDlgA(PRINTDLGA* dialog);

// A context that prints on the named printer with the settings (null: the printer's own); null,
// with ERROR_INVALID_PRINTER_NAME, for a printer that does not exist. CreateICA makes one that
// only answers questions (GetDeviceCaps) and cannot start a document. DeleteDC frees either.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* settings);
HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* settings);

// Starts a print job: into the file lpszOutput when named (a PDF), else on the printer; answers
// the job's number, or SP_ERROR (nothing started) for an information context, a second start or
// "Print to PDF" without a file.
int StartDocA(HDC printer, const DOCINFOA* document);
// Ends the job: the file is in place or the job is sent. SP_OUTOFDISK when the file could not be
// written for want of room (no partial file is left), SP_ERROR for other faults.
int EndDoc(HDC printer);
// Drops the job; no file is left.
int AbortDoc(HDC printer);
// Each sheet after the first starts with StartPage; EndPage completes one. > 0 on success.
int StartPage(HDC printer);
int EndPage(HDC printer);

BOOL OpenPrinterA(LPCSTR name, HANDLE* printer, void* defaults);
BOOL ClosePrinter(HANDLE printer);
// The size of the printer's DEVMODEA with mode 0; with DM_OUT_BUFFER its current settings into
// out, merged with `in` under DM_IN_BUFFER. IDOK, or -1 for a bad printer handle.
LONG DocumentPropertiesA(
    HWND window, HANDLE printer, LPCSTR device, DEVMODEA* out, const DEVMODEA* in, DWORD mode);
// DC_COPIES: the most copies the printer makes; DC_ORIENTATION: 90 when it can print landscape,
// 0 when not; -1 for an unknown printer or capability.
int DeviceCapabilitiesA(LPCSTR device, LPCSTR port, WORD capability, LPSTR output, const DEVMODEA* settings);

// The colour depth of a context's device: bits a pixel times planes.
int getcolourdepth(HDC dc);
