// The printer capabilities report.

#include "framework/output/capsdump.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/files/vfile.h"
#include "framework/output/applnprint.h"
#include "platform/casq/printing.h"
#include "platform/win/gdi.h"
#include "platform/win/globalmemory.h"

namespace {

struct FLAGTEXT {
    unsigned bit;
    const char* text;
};

enum CAPKIND { CAP_NUMBER, CAP_VERSION, CAP_YESNO, CAP_ENUM, CAP_FLAGS, CAP_BLANK };

struct CAPROW {
    int index;
    CAPKIND kind;
    const char* name;
    const char* description;
};

const CAPROW caprows[] = {
    { 0, CAP_VERSION, "DRIVERVERSION", "Device driver version" },
    { 2, CAP_ENUM, "TECHNOLOGY", "Device technology" },
    { 4, CAP_NUMBER, "HORZSIZE", "Device width  (millimeters)" },
    { 6, CAP_NUMBER, "VERTSIZE", "Device height (millimeters)" },
    { 8, CAP_NUMBER, "HORZRES", "Device width  (pixels)" },
    { 10, CAP_NUMBER, "VERTRES", "Device height (pixels)" },
    { 88, CAP_NUMBER, "LOGPIXELSX", "Pixels per logical inch (X)" },
    { 90, CAP_NUMBER, "LOGPIXELSY", "Pixels per logical inch (Y)" },
    { 12, CAP_NUMBER, "BITSPIXEL", "Colour resolution (bits/pixel)" },
    { 14, CAP_NUMBER, "PLANES", "Numberof color planes" },
    { 20, CAP_NUMBER, "NUMMARKERS", "Number of markers" },
    { 16, CAP_NUMBER, "NUMBRUSHES", "Number of device-specific brushes" },
    { 18, CAP_NUMBER, "NUMPENS", "Numberof device-specific pens" },
    { 22, CAP_NUMBER, "NUMFONTS", "Number of device-specific fonts" },
    { 104, CAP_NUMBER, "SIZEPALETTE", "Number of entries in the system color table/palette" },
    { 24, CAP_NUMBER, "NUMCOLORS", "Number of entries in the device's color table/palette" },
    { 108, CAP_NUMBER, "COLORRES", "Actual color resolution of the device (bits/pixel)" },
    { 40, CAP_NUMBER, "ASPECTX", "Pixelaspect ratio (x)" },
    { 42, CAP_NUMBER, "ASPECTY", "Pixelaspect ratio (y)" },
    { 44, CAP_NUMBER, "ASPECTXY", "Pixelaspect ratio (xy)" },
    { 36, CAP_YESNO, "CLIPCAPS", "Device supports rectangular clipping" },
    { 110, CAP_NUMBER, "PHYSICALWIDTH", "Physical page width (pixels)" },
    { 111, CAP_NUMBER, "PHYSICALHEIGHT", "Physical page height (pixels)" },
    { 112, CAP_NUMBER, "PHYSICALOFFSETX", "Left page margin (pixels)" },
    { 113, CAP_NUMBER, "PHYSICALOFFSETY", "Top page margin (pixeels)" },
    { 114, CAP_NUMBER, "SCALINGFACTORX", "Scaling factor for the x-axis of the printer" },
    { 115, CAP_NUMBER, "SCALINGFACTORY", "Scaling factor for the y-axis of the printer" },
    { 119, CAP_NUMBER, "BLTALIGNMENT", "Preferred horizontal drawing alignment (pixels)" },
    { 0, CAP_BLANK, "", "" },
    { 38, CAP_FLAGS, "RASTERCAPS", "Raster Capabilities" },
    { 0, CAP_BLANK, "", "" },
    { 28, CAP_FLAGS, "CURVECAPS", "Curve Capabilities" },
    { 0, CAP_BLANK, "", "" },
    { 30, CAP_FLAGS, "LINECAPS", "Line Capabilities" },
    { 0, CAP_BLANK, "", "" },
    { 32, CAP_FLAGS, "POLYGONALCAPS", "Polygon Capabilities" },
    { 0, CAP_BLANK, "", "" },
    { 34, CAP_FLAGS, "TEXTCAPS", "Text Capabilities" },
    { 0, CAP_BLANK, "", "" },
    { 120, CAP_FLAGS, "SHADEBLENDCAPS", "Shading Capabilities" },
};

const char* const technologies[] = { "Vector plotter", "Raster display", "Raster printer", "Raster camera",
    "Character stream", "Metafile", "Display File" };

const FLAGTEXT rasterflags[] = { { 0x2, "Requires banding support" }, { 0x400, "Supports fonts greater than 64k" },
    { 0x1, "Supports transferring bitmaps" }, { 0x8, "Supports bitmaps larger than 64k" },
    { 0x8000, "Supports device bitmaps." }, { 0x80, "Supports the SetDIBits and GetDIBits functions" },
    { 0x200, "Supports the SetDIBitsToDevice function" }, { 0x1000, "Supports flood fills" },
    { 0x10, "Supports features of Windows 2.0 (RC_GDI20_OUTPUT)" },
    { 0x20, "Supports features of Windows 2.0 (RC_GDI20_STATE)" }, { 0x4000, "Undocumented (RC_OP_DX_OUTPUT)" },
    { 0x100, "Is a palette-based device" }, { 0x40, "Saves bitmaps locally in shadow memory." },
    { 0x4, "Supports scaling" }, { 0x800, "Supports StretchBlt function" },
    { 0x2000, "Supports StretchDIBits function" } };
const FLAGTEXT curveflags[] = { { 0x1, "Can draw circles" }, { 0x2, "Can draw pie wedges" },
    { 0x4, "Can draw chord arcs" }, { 0x8, "Can draw ellipses" }, { 0x10, "Can draw wide borders" },
    { 0x20, "Can draw styled borders" }, { 0x40, "Can draw borders that are wide and styled" },
    { 0x80, "Can draw interiors" }, { 0x100, "Can draw rounded rectangles" } };
const FLAGTEXT lineflags[] = { { 0x2, "Can draw a polyline" }, { 0x4, "Can draw a marker" },
    { 0x8, "Can draw multiple markers" }, { 0x10, "Can draw wide lines" }, { 0x20, "Can draw styled lines" },
    { 0x40, "Can draw lines that are wide and styled" }, { 0x80, "Can draw interiors" } };
const FLAGTEXT polygonflags[] = { { 0x1, "Can draw alternate-fill polygons" }, { 0x2, "Can draw rectangles" },
    { 0x4, "Can draw winding-fill polygons" }, { 0x4, "Can draw trapezoids" },
    { 0x8, "Can draw a single scanline" }, { 0x10, "Can draw wide borders" }, { 0x20, "Can draw styled borders" },
    { 0x40, "Can draw borders that are wide and styled" }, { 0x80, "Can draw interiors" },
    { 0x100, "Can draw poly-polygons" }, { 0x200, "Can draw PATHS" } };
const FLAGTEXT textflags[] = { { 0x1, "Device is capable of character output precision" },
    { 0x2, "Device is capable of stroke output precision" }, { 0x4, "Device is capable of stroke clip precision" },
    { 0x8, "Device is capable of 90-degree character rotation" },
    { 0x10, "Device is capable of any character rotation" },
    { 0x20, "Device can scale independently in the x- and y-directions" },
    { 0x40, "Device is capable of doubled character for scaling" },
    { 0x80, "Device uses integer multiples only for character scaling" },
    { 0x100, "Device uses any multiples for exact character scaling" },
    { 0x200, "Device can draw double-weight characters" }, { 0x400, "Device can italicize" },
    { 0x800, "Device can underline" }, { 0x1000, "Device can draw strikeouts" },
    { 0x2000, "Device can draw raster fonts" }, { 0x4000, "Device can draw vector fonts" },
    { 0x10000, "Device cannot scroll using a bit-block transfer" } };
const FLAGTEXT shadeflags[] = { { 0x1, "Handles the SourceConstantAlpha member of BLENDFUNCTION structure" },
    { 0x10, "Can gradient fill rectangles" }, { 0x20, "Can gradient fill triangles" },
    { 0x2, "Handles per-pixel alpha in AlphaBlend" }, { 0x4, "Handles premultiplied alpha in AlphaBlend" } };

struct FLAGSET {
    int index;
    const FLAGTEXT* flags;
    size_t count;
};

const FLAGSET flagsets[] = {
    { 38, rasterflags, std::size(rasterflags) },
    { 28, curveflags, std::size(curveflags) },
    { 30, lineflags, std::size(lineflags) },
    { 32, polygonflags, std::size(polygonflags) },
    { 34, textflags, std::size(textflags) },
    { 120, shadeflags, std::size(shadeflags) },
};

const FLAGSET& flagsof(int index)
{
    return *std::find_if(std::begin(flagsets), std::end(flagsets), [&](const FLAGSET& set) { return set.index == index; });
}

void pad(VFILE& file, const char* text, int width)
{
    file.puts(text);
    for (int n = int(std::strlen(text)); n < width; ++n)
        file.putc('.');
}

std::string rule()
{
    return std::string(110, '=');
}

// The page lines: sizes in inches (with their inch marks) and millimetres.
void pagelines(VFILE& file, HDC dc)
{
    int dpix = GetDeviceCaps(dc, LOGPIXELSX);
    int dpiy = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpix == 0 || dpiy == 0) {
        file.puts("*** Page dimensions cannot be determined as\n*** the driver returns zero for logical pixels/inch!\n");
        return;
    }
    auto size = [&](const char* label, int width, int height) {
        double w = double(width) / dpix;
        double h = double(height) / dpiy;
        file.printf("%s%.2f\" x %.2f\" (%.2fmm x %.2fmm).\n", label, w, h, w * 25.4, h * 25.4);
    };
    size("Physical Page Size......: ", GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT));
    size("Printable Area..........: ", GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
    double left = double(GetDeviceCaps(dc, PHYSICALOFFSETX)) / dpix;
    double top = double(GetDeviceCaps(dc, PHYSICALOFFSETY)) / dpiy;
    file.printf("Printable Area Indent...: %.2f\" (%.2fmm) from left, %.2f\" (%.2fmm) from top.\n", left, left * 25.4,
        top, top * 25.4);
}

void capabilities(VFILE& file, HDC dc)
{
    int longestdescription = 0;
    int longestname = 0;
    int longestflag = 0;
    for (const CAPROW& row : caprows) {
        longestdescription = std::max(longestdescription, int(std::strlen(row.description)));
        longestname = std::max(longestname, int(std::strlen(row.name)));
    }
    for (const FLAGSET& set : flagsets)
        for (size_t i = 0; i < set.count; ++i)
            longestflag = std::max(longestflag, int(std::strlen(set.flags[i].text)));
    int w1 = longestdescription + 2;
    int w2 = longestname + 4;
    if (w1 + w2 < longestflag + 5)
        w1 = longestflag + 5;

    for (const CAPROW& row : caprows) {
        if (row.kind == CAP_BLANK) {
            file.putc('\n');
            continue;
        }
        dump_heading(file, row.description, w1, row.name, w2);
        int value = GetDeviceCaps(dc, row.index);
        switch (row.kind) {
        case CAP_NUMBER:
            file.printf("%d\n", value);
            break;
        case CAP_VERSION:
            file.printf("%d.%02d\n", value / 100, value % 100);
            break;
        case CAP_YESNO:
            file.printf("%s\n", value ? "Yes" : "No");
            break;
        case CAP_ENUM:
            if (value >= 0 && value < int(std::size(technologies)))
                file.printf("%s (%d)\n", technologies[value], value);
            else
                file.printf("Unknown (0x%08X)\n", unsigned(value));
            break;
        case CAP_FLAGS: {
            if (value)
                file.printf("0x%08X.\n", unsigned(value));
            else
                file.puts("None.\n");
            const FLAGSET& set = flagsof(row.index);
            for (size_t i = 0; i < set.count; ++i) {
                std::string line = std::string("   ") + set.flags[i].text;
                pad(file, line.c_str(), w1 + w2);
                file.printf(": %s\n", (unsigned(value) & set.flags[i].bit) ? "Yes" : "No");
            }
            break;
        }
        case CAP_BLANK:
            break;
        }
    }
}

// The default printer is the process's own PDF printer only when the system names no default.
bool nosystemprinter()
{
    HGLOBAL names = nullptr;
    HGLOBAL settings = nullptr;
    if (!APPLNPRINT::getdefprinter(&names, &settings))
        return true;
    auto* block = static_cast<const DEVNAMES*>(GlobalLock(names));
    bool own = std::strcmp(reinterpret_cast<const char*>(block) + block->wDeviceOffset, PDFPRINTER) == 0;
    GlobalUnlock(names);
    GlobalFree(names);
    GlobalFree(settings);
    return own;
}

} // namespace

void dump_heading(VFILE& file, const char* text, int textwidth, const char* name, int namewidth)
{
    pad(file, text, textwidth);
    pad(file, ("(" + std::string(name) + ")").c_str(), namewidth);
    file.puts(": ");
}

int op_dumpcaps(VFILE& file, char* devicename)
{
    if (!APPLNPRINT::devnames || !APPLNPRINT::devmode) {
        if (!APPLNPRINT::getdefprinter(&APPLNPRINT::devnames, &APPLNPRINT::devmode)
            && !APPLNPRINT::getqjprinter(&APPLNPRINT::devnames, &APPLNPRINT::devmode))
            return 0;
    }
    HDC dc = APPLNPRINT::getcontext(0, 1);
    if (!dc)
        return 0;
    auto* names = static_cast<const DEVNAMES*>(GlobalLock(APPLNPRINT::devnames));
    const char* base = reinterpret_cast<const char*>(names);
    if (devicename)
        copyoutputname(devicename, base + names->wDeviceOffset);
    std::string line = rule();
    file.printf("%s\nGeneral Information\n%s\n\n", line.c_str(), line.c_str());
    if (nosystemprinter())
        file.puts("*** The system offers no printer of its own as its default: this report is of the\n"
                  "*** program's own \"Print to PDF\" printer.\n\n");
    file.printf("Printer Driver Name.....: \"%s\".\n", base + names->wDriverOffset);
    file.printf("Printer Device Name.....: \"%s\".\n", base + names->wDeviceOffset);
    file.printf("Printer Output Name.....: \"%s\".\n", base + names->wOutputOffset);
    GlobalUnlock(APPLNPRINT::devnames);
    pagelines(file, dc);

    file.printf("\n%s\nDump of Device Capabilities\n%s\n\n", line.c_str(), line.c_str());
    file.puts("The following represents the output of calls to the Windows API GetDeviceCaps()\n");
    file.puts("function:\n\n");
    capabilities(file, dc);

    file.printf("\n%s\nDump of Device Mode\n%s\n\n", line.c_str(), line.c_str());
    file.puts("The following represents a dump of the DEVMODE structure returned by PrintDlg()\n");
    file.puts("for the printer. If you have used the Printer Setup option then this structure\n");
    file.puts("should reflect any changes made to the printer configuration.\n\n");
    const auto* settings = static_cast<const DEVMODEA*>(GlobalLock(APPLNPRINT::devmode));
    if (!settings || GlobalSize(APPLNPRINT::devmode) < sizeof(DEVMODEA))
        file.puts("\n*** No DEVMODE structure was obtained for this printer. ***\n");
    else {
        dump_devmode(file, settings);
        file.puts("\nA 'Not Assigned' means that this field of the DEVMODE structure was not\n");
        file.puts("initialised by the device.\n");
    }
    if (settings)
        GlobalUnlock(APPLNPRINT::devmode);
    file.putc(0);
    DeleteDC(dc);
    return 1;
}
