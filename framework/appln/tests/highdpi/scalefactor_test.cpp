// The scale factor on a screen of 144 dots per inch (an offscreen screen so configured, Qt's own
// scaling off as in a program that sizes its pixels itself): its own program, since the screen is
// chosen when the application starts.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "framework/appln/applnwidget.h"

TEST(ScaleFactor, AScreenOf144DotsPerInchScalesByOneAndAHalf)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 144.0) << "the screen the test asks for";
    EXPECT_DOUBLE_EQ(APPLNWIDGET::scaleFactor(nullptr), 1.5) << "no active window: the primary screen";
    QWidget shown;
    shown.resize(200, 100);
    shown.show();
    QApplication::setActiveWindow(&shown);
    EXPECT_DOUBLE_EQ(APPLNWIDGET::scaleFactor(&shown), 1.5);
    EXPECT_DOUBLE_EQ(APPLNWIDGET::scaleFactor(nullptr), 1.5) << "the active window's screen";
}
