#include "framework/bars/toolbarimages.h"

#include <QIcon>
#include <QPixmap>
#include <algorithm>
#include <functional>

#include "platform/win/gdi.h"
#include "platform/win/qt/controls.h"
#include "platform/win/qt/winqt.h"

namespace {

void replaceeach(HIMAGELIST list, const std::function<QImage(const QImage&)>& change)
{
    for (int i = 0; i < ImageList_GetImageCount(list); ++i) {
        HICON icon = ImageList_GetIcon(list, i, ILD_NORMAL);
        HICON changed = winqt::toicon(change(winqt::toimage(icon)));
        ImageList_ReplaceIcon(list, i, changed);
        DestroyIcon(changed);
        DestroyIcon(icon);
    }
}

int lighter(int value, double factor, int offset)
{
    return std::min(255, static_cast<int>(value * factor + offset));
}

} // namespace

void lightenimages(HIMAGELIST list)
{
    replaceeach(list, [](const QImage& image) {
        QImage light = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < light.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(light.scanLine(y));
            for (int x = 0; x < light.width(); ++x) {
                QRgb p = line[x];
                line[x] = qRgba(lighter(qRed(p), 1.1, 14), lighter(qGreen(p), 1.07, 11),
                    lighter(qBlue(p), 1.08, 12), qAlpha(p));
            }
        }
        return light;
    });
}

void greyimages(HIMAGELIST list, int size)
{
    replaceeach(list, [size](const QImage& image) {
        return QIcon(QPixmap::fromImage(image)).pixmap(QSize(size, size), 1.0, QIcon::Disabled).toImage();
    });
}
