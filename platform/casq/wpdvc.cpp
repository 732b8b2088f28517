#include <algorithm>

#include "platform/casq/devices.h"
#include "platform/casq/printerdc.h"
#include "platform/casq/qtrenderer.h"

WPDVC::WPDVC(HDC dc, COLORREF colour, long upi)
    : VGDVC(upi, std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), colour,
        (colour & DF_COLOURMASK) != RGB(255, 255, 255))
    , printer(dc)
{
}

WPDVC::~WPDVC() = default;

casq::RENDERER* WPDVC::startpage(double width, double height)
{
    casq::PRINTERDC* context = casq::PRINTERDC::of(printer);
    QPainter* painter = context ? context->jobpainter() : nullptr;
    if (!painter || StartPage(printer) <= 0) {
        output.fail(FDI_WRITEFAILED, "The printer is not printing: no print job was started on it.");
        return nullptr;
    }
    renderer = std::make_unique<casq::QTRENDERER>(painter, false, false);
    return renderer.get();
}

void WPDVC::finishpage()
{
    EndPage(printer);
}
