#include "platform/casq/picturepages.h"

#include <algorithm>

namespace casq {

PICTUREPAGES::PICTUREPAGES(QPicture* picture, bool outlines)
    : target(picture ? picture : &own)
    , renderer(&painter, false, outlines)
{
}

RENDERER* PICTUREPAGES::start(double pagewidth, double pageheight)
{
    if (!painter.isActive() && !painter.begin(target)) {
        return nullptr;
    }
    painter.resetTransform();
    painter.setClipping(false);
    painter.translate(0, top);
    top += pageheight;
    width = std::max(width, pagewidth);
    return &renderer;
}

void PICTUREPAGES::end()
{
    if (painter.isActive()) {
        painter.end();
    }
}

} // namespace casq
