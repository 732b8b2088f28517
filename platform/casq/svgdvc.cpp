#include <QDesktopServices>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <QUrl>
#include <optional>

#include "platform/casq/devices.h"
#include "platform/casq/qtoutput.h"
#include "platform/casq/qtrenderer.h"

namespace {

// Device units of the SVG: 0.01 mm, so that coordinates stay short and exact enough.
constexpr int SVGDPI = 2540;

} // namespace

struct SVGDVC::STATE {
    std::optional<casq::OUTPUTDEVICE> device;
    std::optional<QSvgGenerator> generator;
    QPainter painter;
    std::optional<casq::QTRENDERER> renderer;
};

SVGDVC::SVGDVC(const char* filename, int show, COLORREF colour, long upi, int deviceoption)
    : VGDVC(upi, SVGDPI, colour, 1)
    , state(std::make_unique<STATE>())
    , showdoc(show != 0)
    , option(deviceoption)
{
    if (filename && *filename) {
        output.settarget(filename);
    }
}

SVGDVC::~SVGDVC() = default;

SSVGDVC::SSVGDVC(const QString& filename, int show, COLORREF colour, long upi, int deviceoption)
    : SVGDVC(filename.toUtf8().constData(), show, colour, upi, deviceoption)
{
}

casq::RENDERER* SVGDVC::startpage(double width, double height)
{
    casq::OUTPUTFILE& file = pagefile(getpage());
    state->device.emplace(file);
    state->generator.emplace();
    state->generator->setOutputDevice(&*state->device);
    state->generator->setResolution(SVGDPI);
    state->generator->setSize(QSize(int(width + 0.5), int(height + 0.5)));
    state->generator->setViewBox(QRectF(0, 0, width, height));
    state->generator->setTitle(QString::fromStdString(file.gettarget()).section('/', -1));
    if (!state->painter.begin(&*state->generator)) {
        file.fail(FDI_WRITEFAILED, "The SVG drawing could not be started.");
        return nullptr;
    }
    // SVG has no line of no width (it draws nothing): the thinnest lines are a tenth of a millimetre.
    state->renderer.emplace(&state->painter, false, !(option & DEVICEOPTION_TEXT), thinline());
    return &*state->renderer;
}

void SVGDVC::finishpage()
{
    if (state->painter.isActive()) {
        state->painter.end();
    }
    state->generator.reset();
    state->device.reset();
}

void SVGDVC::onclosed(int code)
{
    if (code == FDI_OK && showdoc) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(output.gettarget())));
    }
}
