#include "platform/win/qt/images.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>
#include <cstring>

#include "platform/win/devicecontext.h"
#include "platform/win/images.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/qt/winqt.h"

namespace winqt {
namespace {

Qt::CursorShape shapeof(int id)
{
    switch (id) {
    case 32513:
        return Qt::IBeamCursor;
    case 32514:
        return Qt::WaitCursor;
    case 32515:
        return Qt::CrossCursor;
    case 32516:
        return Qt::UpArrowCursor;
    case 32642:
        return Qt::SizeFDiagCursor;
    case 32643:
        return Qt::SizeBDiagCursor;
    case 32644:
        return Qt::SizeHorCursor;
    case 32645:
        return Qt::SizeVerCursor;
    case 32646:
        return Qt::SizeAllCursor;
    case 32648:
        return Qt::ForbiddenCursor;
    case 32649:
        return Qt::PointingHandCursor;
    case 32650:
        return Qt::BusyCursor;
    case 32651:
        return Qt::WhatsThisCursor;
    default:
        return Qt::ArrowCursor;
    }
}

QStyle::StandardPixmap systemicon(uintptr_t id)
{
    switch (id) {
    case 32513:
        return QStyle::SP_MessageBoxCritical;
    case 32514:
        return QStyle::SP_MessageBoxQuestion;
    case 32515:
        return QStyle::SP_MessageBoxWarning;
    case 32516:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_DesktopIcon;
    }
}

QImage resourceimage(HINSTANCE instance, LPCSTR name, std::initializer_list<const char*> types)
{
    for (const char* type : types) {
        HRSRC found = FindResourceA(instance, name, type);
        if (!found) {
            continue;
        }
        const void* data = LockResource(LoadResource(instance, found));
        QImage image = QImage::fromData(
            static_cast<const uchar*>(data), static_cast<int>(SizeofResource(instance, found)));
        if (!image.isNull()) {
            return image;
        }
    }
    return QImage();
}

QImage sized(const QImage& image, int width, int height)
{
    if ((width <= 0 && height <= 0) || (image.width() == width && image.height() == height)) {
        return image;
    }
    return image.scaled(width > 0 ? width : image.width(), height > 0 ? height : image.height(),
        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage toimage(HBITMAP handle)
{
    auto* bitmap = win::objectas<win::Bitmap>(handle, OBJ_BITMAP);
    return bitmap ? imageof(*bitmap) : QImage();
}

HBITMAP tobitmap(const QImage& image)
{
    if (image.isNull()) {
        return nullptr;
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    auto* bitmap = new win::Bitmap(argb.width(), argb.height());
    bitmap->alpha = image.hasAlphaChannel();
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(
            &bitmap->pixels[size_t(y) * argb.width()], argb.constScanLine(y), size_t(argb.width()) * 4);
    }
    return static_cast<HBITMAP>(win::adopt(bitmap));
}

QImage toimage(HICON handle)
{
    win::Icon* icon = win::iconof(handle);
    return icon ? iconimage(*icon, DI_NORMAL) : QImage();
}

HICON toicon(const QImage& image, bool isicon, int hotx, int hoty)
{
    if (image.isNull()) {
        return nullptr;
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    auto* icon = new win::Icon;
    icon->colour = std::make_shared<win::Bitmap>(argb.width(), argb.height());
    icon->colour->alpha = true;
    icon->mask = std::make_shared<win::Bitmap>(argb.width(), argb.height());
    icon->mask->monochrome = true;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            icon->colour->at(x, y) = line[x];
            icon->mask->at(x, y) = qAlpha(line[x]) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    icon->isicon = isicon;
    icon->hotspot = tagPOINT { hotx, hoty };
    return win::adopticon(icon);
}

HANDLE loadresourceimage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    const auto id = reinterpret_cast<uintptr_t>(name);
    if (!instance && IS_INTRESOURCE(name) && id >= 32512 && type == IMAGE_ICON) {
        int size = width > 0 ? width : 32;
        QImage image = QApplication::style()->standardIcon(systemicon(id)).pixmap(size, size).toImage();
        return toicon(sized(image, width, height));
    }
    if (type == IMAGE_BITMAP) {
        QImage image = sized(resourceimage(instance, name, { RT_BITMAP }), width, height);
        if (image.isNull()) {
            return nullptr;
        }
        if (!(flags & LR_CREATEDIBSECTION)) {
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        return tobitmap(image);
    }
    const bool isicon = type == IMAGE_ICON;
    QImage image = isicon ? resourceimage(instance, name, { RT_GROUP_ICON, RT_ICON })
                          : resourceimage(instance, name, { RT_GROUP_CURSOR, RT_CURSOR });
    if (image.isNull()) {
        return nullptr;
    }
    QStringList hotspot = image.text("hotspot").split(',');
    int hotx = hotspot.size() == 2 ? hotspot[0].toInt() : 0;
    int hoty = hotspot.size() == 2 ? hotspot[1].toInt() : 0;
    QImage scaled = sized(image, width, height);
    if (scaled.size() != image.size()) {
        hotx = hotx * scaled.width() / image.width();
        hoty = hoty * scaled.height() / image.height();
    }
    return toicon(scaled, isicon, hotx, hoty);
}

QCursor cursorof(HCURSOR cursor)
{
    if (!cursor) {
        return QCursor(Qt::BlankCursor);
    }
    if (int id = win::systemcursorid(cursor)) {
        return QCursor(shapeof(id));
    }
    win::Icon* icon = win::iconof(cursor);
    if (!icon) {
        return QCursor(Qt::ArrowCursor);
    }
    return QCursor(QPixmap::fromImage(iconimage(*icon, DI_NORMAL)), icon->hotspot.x, icon->hotspot.y);
}

QIcon qiconof(HICON handle)
{
    QImage image = toimage(handle);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace winqt
