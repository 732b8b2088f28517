// A top-level window's frame kept on the screen: a table of insides, frames and screens.

#include "platform/win/qt/framefit.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameFit, TheFrameWithItsTitleBarStaysWithinTheAvailableArea)
{
    const QRect available(0, 27, 1920, 1053); // below a panel at the top
    const QMargins frame(1, 30, 1, 1); // a title bar of 30 pixels
    struct CASE {
        QRect inside;
        QRect expected;
    } cases[] = {
        { QRect(200, 200, 800, 600), QRect(200, 200, 800, 600) }, // on the screen already
        { QRect(16, 13, 1888, 1014), QRect(16, 57, 1888, 1014) }, // the title bar above the panel: moved down
        { QRect(1500, 900, 800, 600), QRect(1119, 479, 800, 600) }, // past the right and bottom: moved in
        { QRect(-50, 100, 3000, 500), QRect(1, 100, 1918, 500) }, // wider than the screen: cut to it
        { QRect(100, 500, 640, 2000), QRect(100, 57, 640, 1022) }, // taller than the screen
    };
    for (const CASE& c : cases) {
        const QRect inside = insideonscreen(c.inside, frame, available);
        EXPECT_EQ(inside, c.expected) << c.inside.x() << "," << c.inside.y();
        EXPECT_TRUE(available.contains(inside.marginsAdded(frame)));
    }
    EXPECT_EQ(insideonscreen(QRect(8, 9, 1008, 750), QMargins(), QRect(0, 0, 1024, 768)), QRect(8, 9, 1008, 750))
        << "without a window manager's frame nothing moves";
}

TEST(FrameFit, AMaximisedWindowsFrameFillsTheAvailableAreaAndNoMore)
{
    const QRect available(0, 27, 1920, 1053);
    const QMargins frame(0, 24, 0, 0);
    EXPECT_EQ(maximisedinside(frame, available).marginsAdded(frame), available);
    EXPECT_EQ(maximisedinside(QMargins(), available), available);
}

} // namespace
