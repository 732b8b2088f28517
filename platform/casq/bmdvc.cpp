#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

#include "platform/casq/bitmapfile.h"
#include "platform/casq/devices.h"
#include "platform/casq/qtoutput.h"
#include "platform/casq/qtrenderer.h"

namespace {

// The largest bitmap made: beyond it the output fails instead of exhausting memory.
constexpr double MAXPIXELS = 128.0 * 1024 * 1024;
constexpr int MAXSIDE = 32767;

bool endswith(const std::string& name, const char* suffix)
{
    size_t length = std::strlen(suffix);
    return name.size() >= length && strcasecmp(name.c_str() + name.size() - length, suffix) == 0;
}

} // namespace

struct BMDVC::STATE {
    QImage image;
    QPainter painter;
    casq::QTRENDERER renderer { &painter, true, false };
};

BMDVC::BMDVC(const char* filename, int clipboard, int bitdepth, COLORREF colour, long upi, int resolution)
    : VGDVC(upi, resolution > 0 ? resolution : 96, colour, 1)
    , state(std::make_unique<STATE>())
    , depth(bitdepth)
    , dpi(resolution > 0 ? resolution : 96)
    , toclipboard(clipboard != 0)
{
    if (filename && *filename) {
        output.settarget(filename);
    }
}

BMDVC::~BMDVC() = default;

unsigned BMDVC::getcaps() const
{
    return VGDVC::getcaps() | DC_XOR;
}

double BMDVC::thinline() const
{
    return std::max(1.0, VGDVC::thinline()); // at least a pixel
}

casq::RENDERER* BMDVC::startpage(double width, double height)
{
    double w = std::ceil(width - 1e-9);
    double h = std::ceil(height - 1e-9);
    if (w > MAXSIDE || h > MAXSIDE || w * h > MAXPIXELS) {
        char why[200];
        std::snprintf(why, sizeof why,
            "The bitmap would be %.0f by %.0f pixels, too large to make.\nChoose a lower resolution or a "
            "smaller scale.",
            w, h);
        output.fail(FDI_WRITEFAILED, why);
        return nullptr;
    }
    state->image = QImage(int(w), int(h), QImage::Format_RGB32);
    state->image.fill(Qt::white);
    int perm = int(std::lround(dpi / 0.0254));
    state->image.setDotsPerMeterX(perm);
    state->image.setDotsPerMeterY(perm);
    state->painter.begin(&state->image);
    return &state->renderer;
}

void BMDVC::finishpage()
{
    state->painter.end();
    QImage reduced = casq::reducedepth(state->image, depth, background);
    if (toclipboard && QGuiApplication::instance()) {
        QGuiApplication::clipboard()->setImage(reduced);
    }
    if (!output.hastarget()) {
        return;
    }
    casq::OUTPUTFILE& file = pagefile(getpage());
    if (endswith(file.gettarget(), ".png")) {
        casq::OUTPUTDEVICE device(file);
        if (!reduced.save(&device, "PNG") && file.geterror() == FDI_OK) {
            file.fail(FDI_WRITEFAILED, "The PNG image could not be made.");
        }
        return;
    }
    QByteArray bytes = casq::bmpfile(reduced, dpi);
    file.write(bytes.constData(), size_t(bytes.size()));
}

HBITMAP BMDVC::getbitmap() const
{
    const QImage& image = state->image;
    if (image.isNull()) {
        return nullptr;
    }
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width();
    info.bmiHeader.biHeight = -image.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        return nullptr;
    }
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(static_cast<char*>(bits) + size_t(y) * image.width() * 4, image.constScanLine(y),
            size_t(image.width()) * 4);
    }
    return bitmap;
}
