#include "framework/appln/splashscreen.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPropertyAnimation>
#include <QTimer>

#include "platform/win/system.h"

SPLASHSCREEN::SPLASHSCREEN(const QPixmap& picture, const QString& text, unsigned long minimumms, CLOCK now)
    : QSplashScreen(picture)
    , minimum(minimumms)
    , caption(text)
    , clock(now ? std::move(now) : CLOCK([] { return static_cast<unsigned long>(GetTickCount()); }))
{
}

void SPLASHSCREEN::fade(qreal from, qreal to, int ms)
{
    QPropertyAnimation animation(this, "windowOpacity");
    animation.setDuration(ms);
    animation.setStartValue(from);
    animation.setEndValue(to);
    QEventLoop loop;
    QObject::connect(&animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    if (animation.state() == QAbstractAnimation::Running)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SPLASHSCREEN::show(int ms)
{
    shownat = static_cast<qint64>(clock());
    setWindowOpacity(0.1);
    QSplashScreen::show();
    fade(0.1, 1.0, ms);
}

void SPLASHSCREEN::showMessage(const QString& text)
{
    QSplashScreen::showMessage(text, Qt::AlignBottom | Qt::AlignHCenter, Qt::white);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SPLASHSCREEN::hide(int ms, bool immediate)
{
    if (!isVisible())
        return;
    qint64 elapsed = static_cast<qint64>(clock()) - shownat;
    if (!immediate && elapsed >= 0 && elapsed < static_cast<qint64>(minimum)) {
        QTimer::singleShot(static_cast<int>(minimum - elapsed), &waiting, &QEventLoop::quit);
        waiting.exec();
    }
    fade(1.0, 0.0, ms);
    close();
    QSplashScreen::hide();
}

void SPLASHSCREEN::drawContents(QPainter* painter)
{
    QRect box = rect().adjusted(4, 9, -4, -(9 + painter->fontMetrics().height()));
    QFont font = painter->font();
    int width = painter->fontMetrics().horizontalAdvance(caption);
    if (width > box.width() && width > 0) {
        qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
        qreal scaled = size * box.width() / width;
        if (font.pointSizeF() > 0)
            font.setPointSizeF(scaled);
        else
            font.setPixelSize(static_cast<int>(scaled));
    }
    painter->save();
    painter->setFont(font);
    painter->setPen(Qt::white);
    painter->drawText(box, Qt::AlignBottom | Qt::AlignHCenter, caption);
    painter->restore();
    QSplashScreen::drawContents(painter);
}

void SPLASHSCREEN::mousePressEvent(QMouseEvent*)
{
    if (waiting.isRunning()) {
        waiting.quit();
        return;
    }
    hide(500, true);
}
