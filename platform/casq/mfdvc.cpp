#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>
#include <cmath>

#include "platform/casq/devices.h"
#include "platform/casq/emfwriter.h"
#include "platform/casq/picturepages.h"

struct MFDVC::STATE {
    casq::EMFWRITER writer;
    std::unique_ptr<casq::PICTUREPAGES> pages;
};

MFDVC::MFDVC(const char* filename, HDC reference, int erasebackground, COLORREF colour, long upi)
    : VGDVC(upi, filename && *filename ? casq::EMFDPI : casq::PICTUREDPI, colour, erasebackground)
    , state(std::make_unique<STATE>())
{
    if (filename && *filename) {
        output.settarget(filename);
    } else {
        state->pages = std::make_unique<casq::PICTUREPAGES>(nullptr, false);
    }
}

MFDVC::~MFDVC() = default;

unsigned MFDVC::getcaps() const
{
    return state->pages ? VGDVC::getcaps() : DC_FILLS | DC_BITMAPS;
}

casq::RENDERER* MFDVC::startpage(double width, double height)
{
    if (state->pages) {
        return state->pages->start(width, height);
    }
    state->writer.setfile(&pagefile(getpage()));
    return &state->writer;
}

void MFDVC::finishdocument()
{
    if (!state->pages) {
        return;
    }
    // The clipboard takes the picture as SVG for programs that keep vectors and as an image.
    state->pages->end();
    const QPicture& picture = state->pages->picture();
    QSizeF size = state->pages->size();
    QBuffer svg;
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), size));
    generator.setResolution(casq::PICTUREDPI);
    QPainter painter(&generator);
    painter.drawPicture(0, 0, picture);
    painter.end();
    QImage image(size.toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPicture(0, 0, picture);
    painter.end();
    if (!QGuiApplication::instance()) {
        return;
    }
    auto* data = new QMimeData;
    data->setData("image/svg+xml", svg.data());
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
}
