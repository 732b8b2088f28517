#include "framework/appln/applnframe.h"

#include <gtest/gtest.h>

#include "platform/win/monitors.h"

namespace {

TEST(FrameArea, TheDefaultAreaIsInsetAndNarrowedTo14By9AboutItsCentre)
{
    struct Case {
        RECT work;
        int full;
        RECT area;
    } cases[] = {
        { { 0, 0, 1600, 1200 }, 0, { 13, 15, 1587, 1185 } },
        { { 0, 0, 1920, 1040 }, 0, { 16 + 155, 13, 1904 - 155, 1027 } },
        { { 0, 0, 1920, 1040 }, 1, { 16, 13, 1904, 1027 } },
        { { 1920, 40, 3840, 1080 }, 0, { 1936 + 155, 53, 3824 - 155, 1067 } },
    };
    for (const Case& c : cases) {
        win::overridemonitors(std::vector<win::Monitor> { { c.work, c.work, true, 96 } });
        HMONITOR monitor = MonitorFromPoint({ c.work.left, c.work.top }, MONITOR_DEFAULTTOPRIMARY);
        RECT area = APPLNFRAME::getdefaultwindowarea(monitor, c.full);
        EXPECT_EQ(area.left, c.area.left) << c.work.right;
        EXPECT_EQ(area.top, c.area.top) << c.work.right;
        EXPECT_EQ(area.right, c.area.right) << c.work.right;
        EXPECT_EQ(area.bottom, c.area.bottom) << c.work.right;
    }
    win::overridemonitors(std::nullopt);
}

} // namespace
