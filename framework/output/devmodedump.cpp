// The settings-record part of the printer capabilities report.

#include <algorithm>
#include <cstring>
#include <string>

#include "core/files/vfile.h"
#include "framework/output/capsdump.h"
#include "platform/casq/printing.h"

namespace {

enum FORMAT { F_NUMBER, F_ENUM, F_FLAGS, F_POINT, F_TEXT };

struct NAMED {
    int value;
    const char* text;
};

struct DMROW {
    DWORD flag;
    FORMAT format;
    const char* label;
    long (*value)(const DEVMODEA&);
    const NAMED* names = nullptr;
    size_t count = 0;
    const char* suffix = "";
    bool alwaysshown = false;
};

const NAMED orientations[] = { { 1, "Portrait" }, { 2, "Landscape" } };
const NAMED sources[] = { { 1, "DMBIN_ONLYONE" }, { 2, "DMBIN_LOWER" }, { 3, "DMBIN_MIDDLE" }, { 4, "DMBIN_MANUAL" },
    { 5, "DMBIN_ENVELOPE" }, { 6, "DMBIN_ENVMANUAL" }, { 7, "DMBIN_AUTO" }, { 8, "DMBIN_TRACTOR" },
    { 9, "DMBIN_SMALLFMT" }, { 10, "DMBIN_LARGEFMT" }, { 11, "DMBIN_LARGECAPACITY" }, { 14, "DMBIN_CASSETTE" },
    { 15, "DMBIN_FORMSOURCE" } };
const NAMED qualities[] = { { -4, "High resolution" }, { -3, "Medium resolution" }, { -2, "Low resolution" },
    { -1, "Draft resolution" } };
const NAMED colours[] = { { 2, "Colour" }, { 1, "Monochrome" } };
const NAMED duplexes[] = { { 1, "Simple" }, { 3, "Horizontal" }, { 2, "Vertical" } };
const NAMED truetype[] = { { 1, "Rendered as bitmaps by Windows" }, { 2, "Downloaded and rendered by printer" },
    { 3, "Substituted by a printer font" } };
const NAMED collation[] = { { 1, "Yes" }, { 0, "No" } };
const NAMED displayflags[] = { { 1, "Grayscale" }, { 2, "Interlaced" }, { 4, "Text Mode" } };
const NAMED nup[] = { { 1, "System" }, { 2, "Application" } };

const NAMED papers[] = { { 1, "Letter 8 1/2 x 11 in" }, { 2, "Letter Small 8 1/2 x 11 in" },
    { 3, "Tabloid 11 x 17 in" }, { 4, "Ledger 17 x 11 in" }, { 5, "Legal 8 1/2 x 14 in" },
    { 6, "Statement 5 1/2 x 8 1/2 in" }, { 7, "Executive 7 1/4 x 10 1/2 in" }, { 8, "A3 297 x 420 mm" },
    { 9, "A4 210 x 297 mm" }, { 10, "A4 Small 210 x 297 mm" }, { 11, "A5 148 x 210 mm" },
    { 12, "B4 (JIS) 250 x 354 mm" }, { 13, "B5 (JIS) 182 x 257 mm" }, { 14, "Folio 8 1/2 x 13 in" },
    { 15, "Quarto 215 x 275 mm" }, { 16, "10 x 14 in" }, { 17, "11 x 17 in" }, { 18, "Note 8 1/2 x 11 in" },
    { 19, "Envelope #9 3 7/8 x 8 7/8 in" }, { 20, "Envelope #10 4 1/8 x 9 1/2 in" },
    { 21, "Envelope #11 4 1/2 x 10 3/8 in" }, { 22, "Envelope #12 4 3/4 x 11 in" },
    { 23, "Envelope #14 5 x 11 1/2 in" }, { 24, "C size sheet" }, { 25, "D size sheet" }, { 26, "E size sheet" },
    { 27, "Envelope DL 110 x 220 mm" }, { 28, "Envelope C5 162 x 229 mm" }, { 29, "Envelope C3 324 x 458 mm" },
    { 30, "Envelope C4 229 x 324 mm" }, { 31, "Envelope C6 114 x 162 mm" }, { 32, "Envelope C65 114 x 229 mm" },
    { 33, "Envelope B4 250 x 353 mm" }, { 34, "Envelope B5 176 x 250 mm" }, { 35, "Envelope B6 176 x 125 mm" },
    { 36, "Envelope 110 x 230 mm" }, { 37, "Envelope Monarch 3 7/8 x 7 1/2 in" },
    { 38, "6 3/4 Envelope 3 5/8 x 6 1/2 in" }, { 39, "US Std Fanfold 14 7/8 x 11 in" },
    { 40, "German Std Fanfold 8 1/2 x 12 in" }, { 41, "German Legal Fanfold 8 1/2 x 13 in" },
    { 42, "B4 (ISO) 250 x 353 mm" }, { 43, "Japanese Postcard 100 x 148 mm" }, { 44, "9 x 11 in" },
    { 45, "10 x 11 in" }, { 46, "15 x 11 in" }, { 47, "Envelope Invite 220 x 220 mm" }, { 48, "Reserved (48)" },
    { 49, "Reserved (49)" }, { 50, "Letter Extra 9 1/2 x 12 in" }, { 51, "Legal Extra 9 1/2 x 15 in" },
    { 52, "Tabloid Extra 11.69 x 18 in" }, { 53, "A4 Extra 9.27 x 12.69 in" },
    { 54, "Letter Transverse 8 1/2 x 11 in" }, { 55, "A4 Transverse 210 x 297 mm" },
    { 56, "Letter Extra Transverse 9 1/2 x 12 in" }, { 57, "SuperA/SuperA/A4 227 x 356 mm" },
    { 58, "SuperB/SuperB/A3 305 x 487 mm" }, { 59, "Letter Plus 8.5 x 12.69 in" },
    { 60, "A4 Plus 210 x 330 mm" }, { 61, "A5 Transverse 148 x 210 mm" },
    { 62, "B5 (JIS) Transverse 182 x 257 mm" }, { 63, "A3 Extra 322 x 445 mm" }, { 64, "A5 Extra 174 x 235 mm" },
    { 65, "B5 (ISO) Extra 201 x 276 mm" }, { 66, "A2 420 x 594 mm" }, { 67, "A3 Transverse 297 x 420 mm" },
    { 68, "A3 Extra Transverse 322 x 445 mm" }, { 69, "Japanese Double Postcard 200 x 148 mm" },
    { 70, "A6 105 x 148 mm" }, { 71, "Japanese Envelope Kaku #2" }, { 72, "Japanese Envelope Kaku #3" },
    { 73, "Japanese Envelope Chou #3" }, { 74, "Japanese Envelope Chou #4" }, { 75, "Letter Rotated 11 x 8 1/2 in" },
    { 76, "A3 Rotated 420 x 297 mm" }, { 77, "A4 Rotated 297 x 210 mm" }, { 78, "A5 Rotated 210 x 148 mm" },
    { 79, "B4 (JIS) Rotated 364 x 257 mm" }, { 80, "B5 (JIS) Rotated 257 x 182 mm" },
    { 81, "Japanese Postcard Rotated 148 x 100 mm" }, { 82, "Double Japanese Postcard Rotated 148 x 200 mm" },
    { 83, "A6 Rotated 148 x 105 mm" }, { 84, "Japanese Envelope Kaku #2 Rotated" },
    { 85, "Japanese Envelope Kaku #3 Rotated" }, { 86, "Japanese Envelope Chou #3 Rotated" },
    { 87, "Japanese Envelope Chou #4 Rotated" }, { 88, "B6 (JIS) 128 x 182 mm" },
    { 89, "B6 (JIS) Rotated 182 x 128 mm" }, { 90, "12 x 11 in" }, { 91, "Japanese Envelope You #4" },
    { 92, "Japanese Envelope You #4 Rotated" }, { 93, "PRC 16K 146 x 215 mm" }, { 94, "PRC 32K 97 x 151 mm" },
    { 95, "PRC 32K(Big) 97 x 151 mm" }, { 96, "PRC Envelope #1 102 x 165 mm" },
    { 97, "PRC Envelope #2 102 x 176 mm" }, { 98, "PRC Envelope #3 125 x 176 mm" },
    { 99, "PRC Envelope #4 110 x 208 mm" }, { 100, "PRC Envelope #5 110 x 220 mm" },
    { 101, "PRC Envelope #6 120 x 230 mm" }, { 102, "PRC Envelope #7 160 x 230 mm" },
    { 103, "PRC Envelope #8 120 x 309 mm" }, { 104, "PRC Envelope #9 229 x 324 mm" },
    { 105, "PRC Envelope #10 324 x 458 mm" }, { 106, "PRC 16K Rotated" }, { 107, "PRC 32K Rotated" },
    { 108, "PRC 32K(Big) Rotated" }, { 109, "PRC Envelope #1 Rotated 165 x 102 mm" },
    { 110, "PRC Envelope #2 Rotated 176 x 102 mm" }, { 111, "PRC Envelope #3 Rotated 176 x 125 mm" },
    { 112, "PRC Envelope #4 Rotated 208 x 110 mm" }, { 113, "PRC Envelope #5 Rotated 220 x 110 mm" },
    { 114, "PRC Envelope #6 Rotated 230 x 120 mm" }, { 115, "PRC Envelope #7 Rotated 230 x 160 mm" },
    { 116, "PRC Envelope #8 Rotated 309 x 120 mm" }, { 117, "PRC Envelope #9 Rotated 324 x 229 mm" },
    { 118, "PRC Envelope #10 Rotated 458 x 324 mm" }, { 256, "Specified by Paper Width/Height" } };

#define NAMES(table) table, std::size(table)

const DMROW rows[] = {
    { DM_ORIENTATION, F_ENUM, "Orientation", [](const DEVMODEA& d) -> long { return d.dmOrientation; },
        NAMES(orientations) },
    { DM_PAPERSIZE, F_ENUM, "Standard paper size", [](const DEVMODEA& d) -> long { return d.dmPaperSize; },
        NAMES(papers) },
    { DM_PAPERLENGTH, F_NUMBER, "Paper length (tenths of mm)",
        [](const DEVMODEA& d) -> long { return d.dmPaperLength; }, nullptr, 0, "", true },
    { DM_PAPERWIDTH, F_NUMBER, "Paper width  (tenths of mm)",
        [](const DEVMODEA& d) -> long { return d.dmPaperWidth; }, nullptr, 0, "", true },
    { DM_SCALE, F_NUMBER, "Scaling (percent)", [](const DEVMODEA& d) -> long { return d.dmScale; } },
    { DM_COPIES, F_NUMBER, "Number of printed copies", [](const DEVMODEA& d) -> long { return d.dmCopies; } },
    { DM_DEFAULTSOURCE, F_ENUM, "Paper source", [](const DEVMODEA& d) -> long { return d.dmDefaultSource; },
        NAMES(sources) },
    { DM_PRINTQUALITY, F_ENUM, "Printer quality", [](const DEVMODEA& d) -> long { return d.dmPrintQuality; },
        NAMES(qualities), "DPI" },
    { DM_COLOR, F_ENUM, "Color/monochrome mode", [](const DEVMODEA& d) -> long { return d.dmColor; },
        NAMES(colours) },
    { DM_DUPLEX, F_ENUM, "Duplex printing mode", [](const DEVMODEA& d) -> long { return d.dmDuplex; },
        NAMES(duplexes) },
    { DM_YRESOLUTION, F_NUMBER, "Y resolution (DPI)", [](const DEVMODEA& d) -> long { return d.dmYResolution; } },
    { DM_TTOPTION, F_ENUM, "TrueType fonts handled as", [](const DEVMODEA& d) -> long { return d.dmTTOption; },
        NAMES(truetype) },
    { DM_COLLATE, F_ENUM, "Ouput is collated", [](const DEVMODEA& d) -> long { return d.dmCollate; },
        NAMES(collation) },
    { DM_ICMMETHOD, F_NUMBER, "ICMMethod", [](const DEVMODEA& d) -> long { return long(d.dmICMMethod); } },
    { DM_ICMINTENT, F_NUMBER, "ICMIntent", [](const DEVMODEA& d) -> long { return long(d.dmICMIntent); } },
    { DM_MEDIATYPE, F_NUMBER, "MediaType", [](const DEVMODEA& d) -> long { return long(d.dmMediaType); } },
    { DM_DITHERTYPE, F_NUMBER, "DitherType", [](const DEVMODEA& d) -> long { return long(d.dmDitherType); } },
    { DM_POSITION, F_POINT, "Position", nullptr },
    { DM_FORMNAME, F_TEXT, "Form Name", nullptr },
    { DM_LOGPIXELS, F_NUMBER, "Pixels Per Logical Inch", [](const DEVMODEA& d) -> long { return d.dmLogPixels; } },
    { DM_BITSPERPEL, F_NUMBER, "Bits per Pixel", [](const DEVMODEA& d) -> long { return long(d.dmBitsPerPel); } },
    { DM_PELSWIDTH, F_NUMBER, "Pixel Width", [](const DEVMODEA& d) -> long { return long(d.dmPelsWidth); } },
    { DM_PELSHEIGHT, F_NUMBER, "Pixel Heighy", [](const DEVMODEA& d) -> long { return long(d.dmPelsHeight); } },
    { DM_DISPLAYFLAGS, F_FLAGS, "Display Flags", [](const DEVMODEA& d) -> long { return long(d.dmDisplayFlags); },
        NAMES(displayflags) },
    { DM_NUP, F_FLAGS, "Where NUP Is Done", [](const DEVMODEA& d) -> long { return long(d.dmNup); }, NAMES(nup) },
    { DM_DISPLAYFREQUENCY, F_NUMBER, "Display Frequency",
        [](const DEVMODEA& d) -> long { return long(d.dmDisplayFrequency); }, nullptr, 0, "Hz" },
    { DM_PANNINGWIDTH, F_NUMBER, "Panning Width", [](const DEVMODEA& d) -> long { return long(d.dmPanningWidth); } },
    { DM_PANNINGHEIGHT, F_NUMBER, "Panning Height",
        [](const DEVMODEA& d) -> long { return long(d.dmPanningHeight); } },
};

void padded(VFILE& file, const char* label, int width)
{
    file.puts(label);
    for (int n = int(std::strlen(label)); n < width; ++n)
        file.putc('.');
    file.puts(": ");
}

void value(VFILE& file, const DMROW& row, const DEVMODEA& d)
{
    switch (row.format) {
    case F_NUMBER:
        file.printf("%ld %s", row.value(d), row.suffix);
        return;
    case F_ENUM: {
        long v = row.value(d);
        const NAMED* end = row.names + row.count;
        const NAMED* named = std::find_if(row.names, end, [&](const NAMED& n) { return n.value == v; });
        if (named != end)
            file.puts(named->text);
        else if (*row.suffix && v >= 0)
            file.printf("%ld %s", v, row.suffix);
        else
            file.printf("Assigned but none-standard (%ld).", v);
        return;
    }
    case F_FLAGS: {
        unsigned long left = unsigned(row.value(d));
        const char* separator = "";
        for (size_t i = 0; i < row.count; ++i)
            if (left & unsigned(row.names[i].value)) {
                file.printf("%s%s", separator, row.names[i].text);
                left &= ~unsigned(row.names[i].value);
                separator = ", ";
            }
        if (left)
            file.printf("%sUnknown (0x%08lX)", separator, left);
        return;
    }
    case F_POINT:
        file.printf("(%d,%d)", int(d.dmPosition.x), int(d.dmPosition.y));
        return;
    case F_TEXT: {
        char name[sizeof d.dmFormName + 1] = {};
        std::memcpy(name, d.dmFormName, sizeof d.dmFormName);
        file.printf("'%s'", name);
        return;
    }
    }
}

} // namespace

void dump_devmode(VFILE& file, const DEVMODEA* settings)
{
    DEVMODEA d = *settings;
    if (d.dmPaperSize == DMPAPER_USER)
        d.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
    int width = 0;
    for (const DMROW& row : rows)
        width = std::max(width, int(std::strlen(row.label)));
    width += 5;
    padded(file, "Specification Version", width);
    file.printf("%d.%02d\n", d.dmSpecVersion / 100, d.dmSpecVersion % 100);
    padded(file, "Driver Version", width);
    file.printf("%d.%02d\n", d.dmDriverVersion / 100, d.dmDriverVersion % 100);
    padded(file, "Compiled DEVMODE Structure size", width);
    file.printf("%d bytes\n", 156);
    padded(file, "Base     DEVMODE structure size", width);
    file.printf("%d bytes\n", d.dmSize);
    padded(file, "Extra    DEVMODE structure size", width);
    file.printf("%d bytes\n", d.dmDriverExtra);
    file.putc('\n');
    padded(file, "Fields assigned in DEVMODE structure", width);
    file.printf("0x%08lX\n", (unsigned long)d.dmFields);
    for (const DMROW& row : rows) {
        file.puts("   ");
        padded(file, row.label, width);
        if (d.dmFields & row.flag)
            value(file, row, d);
        else if (row.alwaysshown) {
            file.puts("Not assigned but field contains: ");
            value(file, row, d);
        } else
            file.puts("Not assigned.");
        file.putc('\n');
    }
}
