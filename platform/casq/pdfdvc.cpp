#include <QDesktopServices>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QUrl>
#include <optional>

#include "platform/casq/devices.h"
#include "platform/casq/qtoutput.h"
#include "platform/casq/qtrenderer.h"

namespace {

// Device units of the PDF page: fine enough that no rounding of the writer shows.
constexpr int PDFDPI = 1200;

} // namespace

struct PDFDVC::STATE {
    std::optional<casq::OUTPUTDEVICE> device;
    std::optional<QPdfWriter> writer;
    QPainter painter;
    std::optional<casq::QTRENDERER> renderer;
};

PDFDVC::PDFDVC(const char* filename, int show, COLORREF colour, long upi, int deviceoption)
    : VGDVC(upi, PDFDPI, colour, 1)
    , state(std::make_unique<STATE>())
    , showdoc(show != 0)
    , option(deviceoption)
{
    if (filename && *filename) {
        output.settarget(filename);
    }
}

PDFDVC::~PDFDVC() = default;

casq::RENDERER* PDFDVC::startpage(double width, double height)
{
    QPageSize size(QSizeF(width * 72.0 / PDFDPI, height * 72.0 / PDFDPI), QPageSize::Point, QString(),
        QPageSize::ExactMatch);
    if (state->writer) {
        state->writer->setPageSize(size);
        state->writer->newPage();
        return &*state->renderer;
    }
    state->device.emplace(output);
    state->writer.emplace(&*state->device);
    state->writer->setResolution(PDFDPI);
    state->writer->setCreator("VKT");
    state->writer->setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
    if (!state->painter.begin(&*state->writer)) {
        output.fail(FDI_WRITEFAILED, "The PDF document could not be started.");
        return nullptr;
    }
    state->renderer.emplace(&state->painter, false, !(option & DEVICEOPTION_TEXT));
    return &*state->renderer;
}

void PDFDVC::finishdocument()
{
    if (state->painter.isActive()) {
        state->painter.end();
    }
}

void PDFDVC::onclosed(int code)
{
    if (code == FDI_OK && showdoc) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(output.gettarget())));
    }
}
