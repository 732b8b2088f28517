// The start-up picture: its minimum time on a clock the test sets, a click that shortens it, its
// messages and its caption drawn whole.

#include "framework/appln/splashscreen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace {

QPixmap picture()
{
    QPixmap image(400, 200);
    image.fill(Qt::black);
    return image;
}

// How long hide(0, false) takes with the clock standing at elapsed milliseconds after show.
qint64 hidetime(unsigned long minimum, unsigned long elapsed, bool click = false)
{
    unsigned long now = 1000;
    SPLASHSCREEN splash(picture(), "Caption", minimum, [&now] { return now; });
    splash.show(0);
    now += elapsed;
    if (click)
        QTimer::singleShot(50, &splash, [&splash] {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&splash, &press);
        });
    QElapsedTimer timer;
    timer.start();
    splash.hide(0, false);
    EXPECT_FALSE(splash.isVisible());
    return timer.elapsed();
}

TEST(SplashScreen, AStartShorterThanTheMinimumWaitsOnlyForTheRest)
{
    EXPECT_LT(hidetime(3000, 5000), 1000) << "the minimum has passed";
    const qint64 rest = hidetime(3000, 2700);
    EXPECT_GE(rest, 280) << "300 ms were left";
    EXPECT_LT(rest, 2500);
}

TEST(SplashScreen, AClickEndsTheWait)
{
    EXPECT_LT(hidetime(60000, 0, true), 10000);
}

TEST(SplashScreen, AMessageShowsAtOnceAndAHiddenSplashIgnoresHide)
{
    SPLASHSCREEN splash(picture(), "Caption", 0);
    splash.show(0);
    splash.showMessage("Loading TAVI...");
    EXPECT_EQ(splash.message(), "Loading TAVI...");
    splash.hide(0, true);
    EXPECT_FALSE(splash.isVisible());
    splash.hide(0, false);
    EXPECT_FALSE(splash.isVisible());
}

// The caption's white pixels, drawn as the splash draws it, in columns from..to of the picture.
struct INK {
    int left = -1;
    int right = -1;
};

INK drawncaption(const QString& caption)
{
    struct SPLASH : SPLASHSCREEN {
        using SPLASHSCREEN::SPLASHSCREEN;
        using SPLASHSCREEN::drawContents;
    } splash(picture(), caption, 0);
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    splash.drawContents(&painter);
    painter.end();
    INK ink;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) > 128) {
                if (ink.left < 0)
                    ink.left = x;
                ink.right = x;
            }
    return ink;
}

TEST(SplashScreen, AVeryLongCaptionIsDrawnSmallerRatherThanCut)
{
    const INK shortcaption = drawncaption("Corvane 8 Professional v8.12 SP0.");
    ASSERT_GE(shortcaption.left, 0);
    EXPECT_GT(shortcaption.left, 20) << "centred";

    const INK longcaption = drawncaption(QString("Corvane 8 Professional v8.12 SP0. ").repeated(6));
    ASSERT_GE(longcaption.left, 0);
    EXPECT_GE(longcaption.left, 4) << "inside the 4-pixel margin";
    EXPECT_LE(longcaption.right, 400 - 4);
    EXPECT_GT(longcaption.right - longcaption.left, 300) << "all of it, in a smaller font";
}

} // namespace
