#include "host/plotdemo/demopage.h"

#include <cstring>
#include <memory>
#include <vector>

#include "platform/casq/devices.h"
#include "platform/casq/printing.h"

namespace plotdemo {
namespace {

constexpr int MM = MILLIMETRE;

POINT at(double xmm, double ymm)
{
    return POINT(int32_t(xmm * MM), int32_t(ymm * MM));
}

// A 16 by 12 bitmap of 24 bits a pixel: a colour ramp with a dark diagonal, bottom-up rows.
struct DEMOBITMAP {
    BITMAPINFO header {};
    std::vector<unsigned char> bits;

    DEMOBITMAP()
    {
        const int width = 16;
        const int height = 12;
        const int stride = (width * 3 + 3) / 4 * 4;
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = width;
        header.bmiHeader.biHeight = height;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        bits.assign(size_t(stride * height), 0);
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                unsigned char* p = &bits[size_t(row * stride + x * 3)];
                int y = height - 1 - row; // counted from the top
                bool diagonal = x == y || x == y + 4;
                p[0] = diagonal ? 40 : (unsigned char)(255 - x * 15); // blue
                p[1] = diagonal ? 40 : (unsigned char)(y * 20); // green
                p[2] = diagonal ? 40 : (unsigned char)(x * 15); // red
            }
        }
    }
};

} // namespace

BOX pagearea()
{
    return BOX(0, 0, 200 * MM, 140 * MM);
}

void drawpage(VGDVC& device, bool text)
{
    const COLORREF navy = RGB(0, 0, 128);
    const COLORREF darkred = RGB(128, 0, 0);
    const COLORREF green = RGB(0, 128, 0);
    TSTYLE title("Arial", 6 * MM, int(4.8 * MM), navy, TS_BOLD);
    TSTYLE label("Arial", int(3.5 * MM), int(2.8 * MM), RGB(0, 0, 0), 0);
    TSTYLE small("Arial", int(2.5 * MM), 2 * MM, darkred, TS_ITALIC);
    if (!text) {
        for (TSTYLE* style : { &title, &label, &small }) {
            style->flags |= TS_HIDDEN;
        }
    }

    // Frame and title.
    device.drawbox(BOX(at(2, 2), at(198, 138)), GSTYLE(int(0.5 * MM), navy, NOCOLOUR));
    device.drawtext(at(100, 130), "Graphics device demonstration", 0, JUSTIFY_CENTRE | JUSTIFY_TOP, title);

    // Lines of several widths, each labelled, and the pen styles.
    const double widths[] = { 0, 0.25, 0.5, 1, 2 };
    const char* names[] = { "thinnest", "0.25 mm", "0.5 mm", "1 mm", "2 mm" };
    for (int i = 0; i < 5; ++i) {
        double y = 110 - i * 8;
        device.drawline(at(10, y), at(60, y), GSTYLE(int(widths[i] * MM), RGB(0, 0, 0), NOCOLOUR));
        device.drawtext(at(64, y), names[i], 0, JUSTIFY_LEFT | JUSTIFY_MIDDLE, label);
    }
    const char* styles[] = { "dash", "dot", "dash dot" };
    for (int i = 0; i < 3; ++i) {
        double y = 66 - i * 6;
        GSTYLE pen(int(0.35 * MM), darkred, NOCOLOUR);
        pen.setpenstyle(PENSTYLE_DASH + i, int(0.35 * MM));
        device.drawline(at(10, y), at(60, y), pen);
        device.drawtext(at(64, y), styles[i], 0, JUSTIFY_LEFT | JUSTIFY_MIDDLE, small);
    }

    // A scale of 10 mm with a tick every millimetre.
    GSTYLE ruler(int(0.2 * MM), RGB(0, 0, 0), NOCOLOUR);
    device.drawline(at(10, 40), at(20, 40), ruler);
    for (int mm = 0; mm <= 10; ++mm) {
        device.drawline(at(10 + mm, 40), at(10 + mm, mm % 5 ? 41 : 42.5), ruler);
    }
    device.drawtext(at(15, 37), "10 mm", 0, JUSTIFY_CENTRE | JUSTIFY_TOP, small);

    // Filled and open shapes.
    device.drawbox(BOX(at(95, 80), at(125, 105)), GSTYLE(int(0.5 * MM), darkred, RGB(200, 200, 170)));
    device.drawbox(BOX(at(130, 80), at(155, 105)), GSTYLE(int(0.35 * MM), navy, NOCOLOUR));
    device.drawcircle(at(172, 92.5), 12 * MM, GSTYLE(int(0.5 * MM), green, RGB(160, 230, 160)));
    device.drawcircle(at(172, 92.5), 6 * MM, GSTYLE(int(0.25 * MM), RGB(0, 0, 0), NOCOLOUR));
    POINT star[] = { at(110, 72), at(114, 62), at(125, 62), at(116, 55), at(120, 45), at(110, 51),
        at(100, 45), at(104, 55), at(95, 62), at(106, 62) };
    device.drawpolygon(star, 10, GSTYLE(int(0.3 * MM), navy, RGB(120, 150, 255)));

    // Arcs, a bezier and a closed path with a curve.
    GSTYLE arcs(int(0.5 * MM), RGB(192, 0, 192), NOCOLOUR);
    device.drawarc(at(145, 60), 10 * MM, 0, 900, arcs);
    device.drawarc(at(145, 60), 6 * MM, 900, 2700, arcs);
    BEZIER curve { at(130, 25), at(140, 45), at(160, 5), at(170, 25) };
    device.drawbezier(curve, GSTYLE(int(0.5 * MM), RGB(0, 128, 128), NOCOLOUR));
    PATH shape;
    shape.add(LINE(at(175, 40), at(190, 40)));
    BEZIER bulge { at(190, 40), at(196, 50), at(196, 60), at(190, 70) };
    shape.add(bulge);
    shape.add(LINE(at(190, 70), at(175, 70)));
    shape.validate();
    device.drawpath(shape, GSTYLE(int(0.3 * MM), darkred, RGB(255, 210, 120)));

    // Text at 90 degrees in two sizes.
    device.drawtext(at(82, 20), "Rotated 90\xC2\xB0", 900, JUSTIFY_LEFT | JUSTIFY_BOTTOM, label);
    device.drawtext(at(88, 20), "small, 2.5 mm", 900, JUSTIFY_LEFT | JUSTIFY_BOTTOM, small);

    // The bitmap, 24 by 18 mm.
    static const DEMOBITMAP bitmap;
    CTS placement(at(30, 12));
    if (!device.drawbitmap(
            placement, 24 * MM, 18 * MM, &bitmap.header, bitmap.bits.data(), bitmap.bits.size())) {
        // A device without bitmaps shows where the bitmap goes.
        device.drawbox(BOX(at(30, 12), at(54, 30)), GSTYLE(0, RGB(128, 128, 128), NOCOLOUR));
    }
    device.drawtext(at(42, 8), "bitmap", 0, JUSTIFY_CENTRE | JUSTIFY_BOTTOM, small);
}

int writepage(VGDVC& device, const char* filename)
{
    device.openoutput(filename);
    if (device.begin()) {
        device.setmapping(1, 1, 1, 0, 0);
        device.setwindow(pagearea());
        do {
            drawpage(device);
        } while (device.nextpass());
        device.end();
    }
    return device.closeoutput();
}

const std::vector<KIND>& kinds()
{
    static const std::vector<KIND> all { { "pdf", "PDF document" }, { "svg", "SVG drawing" },
        { "eps", "Encapsulated PostScript" }, { "dxf", "DXF drawing (release 12)" }, { "plt", "HP-GL plot" },
        { "bmp", "BMP bitmap, 150 dpi" }, { "png", "PNG bitmap, 150 dpi" }, { "emf", "Enhanced metafile" },
        { "print.pdf", "Printed to a file (A4 landscape)" } };
    return all;
}

int printpage(const std::string& filename)
{
    DEVMODEA settings {};
    settings.dmSize = sizeof settings;
    settings.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
    settings.dmOrientation = DMORIENT_LANDSCAPE;
    settings.dmPaperSize = DMPAPER_A4;
    HDC printer = CreateDCA("PDF", PDFPRINTER, "FILE:", &settings);
    DOCINFOA document { sizeof(DOCINFOA), "plotdemo", filename.c_str(), nullptr, 0 };
    if (!printer || StartDocA(printer, &document) <= 0) {
        DeleteDC(printer);
        return FDI_CANNOTCREATE;
    }
    int code = FDI_OK;
    {
        // As the print run: the printable area, the page's centre in its middle.
        WPDVC device(printer, RGB(255, 255, 255), UNITSPERINCH);
        RECT area { 0, 0, GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES) };
        device.setarea(area, tagPOINT { area.right / 2, area.bottom / 2 });
        code = writepage(device, nullptr);
    }
    if (EndDoc(printer) <= 0 && code == FDI_OK) {
        code = FDI_WRITEFAILED;
    }
    DeleteDC(printer);
    return code;
}

int writekind(const std::string& extension, const std::string& filename)
{
    const char* name = filename.c_str();
    std::unique_ptr<VGDVC> device;
    if (extension == "pdf") {
        device = std::make_unique<PDFDVC>(name, 0, RGB(255, 255, 255), UNITSPERINCH, DEVICEOPTION_TEXT);
    } else if (extension == "svg") {
        device = std::make_unique<SVGDVC>(name, 0, RGB(255, 255, 255), UNITSPERINCH, DEVICEOPTION_TEXT);
    } else if (extension == "eps") {
        device = std::make_unique<PSDVC>("", "plotdemo", 1, UNITSPERINCH, DEVICEOPTION_TEXT);
    } else if (extension == "dxf") {
        device = std::make_unique<DXDVC>("", UNITSPERINCH, 0);
    } else if (extension == "plt") {
        device = std::make_unique<PPDVC>(PLOTTER_HPGL, 25400, nullptr, 0, UNITSPERINCH);
    } else if (extension == "bmp" || extension == "png") {
        device = std::make_unique<BMDVC>(name, 0, 0, RGB(255, 255, 255), UNITSPERINCH, 150);
    } else if (extension == "emf") {
        device = std::make_unique<MFDVC>(name, nullptr, 1, RGB(255, 255, 255), UNITSPERINCH);
    } else if (extension == "print.pdf") {
        return printpage(filename);
    } else {
        return FDI_UNSUPPORTED;
    }
    return writepage(*device, name);
}

} // namespace plotdemo
