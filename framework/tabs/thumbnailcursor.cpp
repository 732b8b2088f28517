#include "framework/tabs/thumbnailcursor.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "platform/win/qt/images.h"
#include "platform/win/qt/winqt.h"

namespace {

constexpr int iconsize = 32;
constexpr int framewidth = 3;
constexpr int panelpadding = 4;
constexpr int pointersize = 20; // room left for a pointer that has no picture of its own

// The pointer of a system cursor shape, which has no picture in the layer: a plain arrow.
void drawarrow(QPainter& painter)
{
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 16);
    arrow.lineTo(4, 12);
    arrow.lineTo(7, 18);
    arrow.lineTo(9, 17);
    arrow.lineTo(6, 11);
    arrow.lineTo(11, 11);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow.translated(0.5, 0.5));
}

} // namespace

HCURSOR makethumbnailcursor(HCURSOR current, HICON icon)
{
    QImage pointer = current ? winqt::cursorof(current).pixmap().toImage() : QImage();
    const int offset = pointer.isNull() ? pointersize : std::max(pointer.width(), pointer.height()) / 2;
    const int panel = iconsize + 2 * panelpadding;
    const int side = offset + panel + 2 * framewidth;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(offset, offset, panel + 2 * framewidth, panel + 2 * framewidth, QColor(0, 0, 0, 110));
    painter.fillRect(offset + framewidth, offset + framewidth, panel, panel, QColor(130, 187, 220));
    QImage picture = icon ? winqt::toimage(icon) : QImage();
    if (!picture.isNull()) {
        QImage scaled = picture.scaled(iconsize, iconsize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const int left = offset + framewidth + panelpadding + (iconsize - scaled.width()) / 2;
        const int top = offset + framewidth + panelpadding + (iconsize - scaled.height()) / 2;
        painter.drawImage(left, top, scaled);
    }
    if (pointer.isNull())
        drawarrow(painter);
    else
        painter.drawImage(0, 0, pointer);
    painter.end();
    return winqt::toicon(image, false, 0, 0);
}
