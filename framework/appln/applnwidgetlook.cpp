// The look of the Qt main windows: their menus' style, icons with a highlighted variant, icons
// assembled from the files of one stem, and the screen's scale.

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QFileInfo>
#include <QImage>
#include <QScreen>
#include <algorithm>

#include "framework/appln/applnwidget.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/monitors.h"

namespace {

QString hexcolour(COLORREF colour)
{
    return QStringLiteral("%1%2%3")
        .arg(GetRValue(colour), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(colour), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(colour), 2, 16, QLatin1Char('0'));
}

QString gradient(int kind, int a, int b)
{
    char text[256] = "";
    GradientFillRect(text, sizeof text, kind, a, b);
    return QString::fromLatin1(text);
}

int brightened(int channel, double factor, int offset)
{
    return std::min(255, static_cast<int>(channel * factor + offset));
}

} // namespace

QString APPLNWIDGET::menustylesheet()
{
    const int icon = GetSystemMetrics(SM_CXSMICON);
    return QStringLiteral(
        "QMenu { padding-right: 6px; padding-left: 0px; border: 1px solid #%4; }\n"
        "QMenu::icon { margin: 0px; padding: 1px; border: 1px solid transparent; left: %6px; top: 0px; }\n"
        "QMenu::icon:enabled:selected { border: 1px outset #%5; }\n"
        "QMenu::item { margin: 0px; margin-right: 2px; padding: 4px %8px 4px 8px; border: 1px solid transparent; "
        "border-left: %7px solid; border-left-color: %1; }\n"
        "QMenu::item:enabled:selected { background-color: %2; border: 1px solid #%5; border-left: %7px solid; "
        "border-left-color: %1; }\n"
        "QMenu::item:disabled:selected { background-color: %3; border: 1px solid #%4; border-left: %7px solid; "
        "border-left-color: %1; }\n"
        "QMenu::icon:checked { background-color: qlineargradient(x1:0, y1:0.88, x2:0, y2:0.2, stop:0 "
        "rgba(203,228,243,255), stop:1 rgba(168, 199, 217, 255)); border: 1px solid #8ec7e8; }\n"
        "QMenu::indicator { left: -%8px; }\n"
        "QMenu::separator { height: 1px; background: #%4; margin: 0px; margin-right: 6px; padding: 0px; "
        "border: none; border-left: %7px solid; border-left-color: %1; }\n")
        .arg(gradient(0, 0, 0), gradient(0, 1, 0), gradient(3, 1, 0), hexcolour(GetSysColor(COLOR_BTNSHADOW)),
            hexcolour(grad_4colour))
        .arg(-6 - icon)
        .arg(icon + 8)
        .arg(icon);
}

void APPLNWIDGET::highlighticons(QAction* action)
{
    QIcon icon = action->icon();
    if (icon.isNull())
        return;
    for (const QSize& size : icon.availableSizes(QIcon::Normal, QIcon::Off)) {
        QImage image = icon.pixmap(size, QIcon::Normal, QIcon::Off).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = line[x];
                line[x] = qRgba(brightened(qRed(p), 1.1, 14), brightened(qGreen(p), 1.07, 11),
                    brightened(qBlue(p), 1.08, 12), qAlpha(p));
            }
        }
        icon.addPixmap(QPixmap::fromImage(image), QIcon::Active, QIcon::Off);
    }
    action->setIcon(icon);
}

QIcon APPLNWIDGET::makeIcon(const QString& path)
{
    return makeIcon(path, QIcon::Normal, QIcon::Off, nullptr);
}

QIcon APPLNWIDGET::makeIcon(const QString& path, QIcon::Mode mode, QIcon::State state, const QIcon* base)
{
    QIcon icon = base ? *base : QIcon();
    const QPixmap pixmap(path);
    icon.addPixmap(pixmap, mode, state);
    if (pixmap.isNull()) {
        qDebug() << "Null pixmap loaded into icon from" << path;
        return icon;
    }
    const QString stem = path.left(path.lastIndexOf(QLatin1Char('.')));
    const QString svg = QStringLiteral("%1.svg").arg(stem);
    if (QFileInfo::exists(svg)) {
        icon.addPixmap(QPixmap(svg), mode, state);
        return icon;
    }
    for (int size : { 24, 32, 48, 64 }) {
        const QString sized = QStringLiteral("%1_%2.png").arg(stem).arg(size);
        if (QFileInfo::exists(sized))
            icon.addPixmap(QPixmap(sized), mode, state);
    }
    return icon;
}

double APPLNWIDGET::scaleFactor(const QWidget* widget)
{
    if (!widget)
        widget = QApplication::activeWindow();
    QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() / 96.0 : 1.0;
}
