#include <QByteArray>
#include <QPainter>
#include <QPicture>

#include "platform/casq/devices.h"
#include "platform/casq/picturepages.h"

PCDVC::PCDVC(COLORREF colour, long upi, int deviceoption, QPicture* picture)
    : VGDVC(upi, casq::PICTUREDPI, colour, 1)
    , pages(std::make_unique<casq::PICTUREPAGES>(picture, !(deviceoption & DEVICEOPTION_TEXT)))
{
}

PCDVC::~PCDVC() = default;

casq::RENDERER* PCDVC::startpage(double width, double height)
{
    return pages->start(width, height);
}

void PCDVC::finishdocument()
{
    pages->end();
}

QByteArray PCDVC::getdata() const
{
    const QPicture& picture = pages->picture();
    return QByteArray(picture.data(), picture.size());
}
