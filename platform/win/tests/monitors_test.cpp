#include <gtest/gtest.h>

#include "platform/win/monitors.h"

namespace {

struct TwoMonitors {
    TwoMonitors()
    {
        win::overridemonitors(std::vector<win::Monitor> {
            { RECT { 0, 0, 1920, 1080 }, RECT { 0, 0, 1920, 1040 }, true, 96 },
            { RECT { 1920, 0, 3200, 1024 }, RECT { 1920, 0, 3200, 1024 }, false, 144 },
        });
    }
    ~TwoMonitors() { win::overridemonitors(std::nullopt); }
};

RECT work(HMONITOR monitor)
{
    MONITORINFO info {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetMonitorInfoA(monitor, &info));
    return info.rcWork;
}

} // namespace

TEST(Monitors, ChoosingByPointRectangleAndFallback)
{
    TwoMonitors two;
    HMONITOR first = MonitorFromPoint(tagPOINT { 10, 10 }, MONITOR_DEFAULTTONULL);
    HMONITOR second = MonitorFromPoint(tagPOINT { 2000, 10 }, MONITOR_DEFAULTTONULL);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(work(first).bottom, 1040);
    EXPECT_EQ(work(second).left, 1920);

    RECT mostlyright { 1800, 100, 2400, 400 };
    EXPECT_EQ(MonitorFromRect(&mostlyright, MONITOR_DEFAULTTONULL), second);
    RECT gone { 4000, 100, 4400, 400 };
    EXPECT_EQ(MonitorFromRect(&gone, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromRect(&gone, MONITOR_DEFAULTTOPRIMARY), first);
    EXPECT_EQ(MonitorFromRect(&gone, MONITOR_DEFAULTTONEAREST), second);
    RECT below { 100, 3000, 200, 3100 };
    EXPECT_EQ(MonitorFromRect(&below, MONITOR_DEFAULTTONEAREST), first);

    MONITORINFO small {};
    small.cbSize = 20;
    EXPECT_FALSE(GetMonitorInfoA(first, &small));
    EXPECT_FALSE(GetMonitorInfoA(reinterpret_cast<HMONITOR>(99), &small));
    RECT primarywork;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &primarywork, 0));
    EXPECT_EQ(primarywork.bottom, 1040);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
}

TEST(Monitors, MetricsScaleWithTheScreenResolution)
{
    struct Case {
        int dpi;
        int smallicon;
    } cases[] = { { 96, 16 }, { 120, 20 }, { 144, 24 }, { 192, 32 } };
    for (const auto& c : cases) {
        win::overridemonitors(
            std::vector<win::Monitor> { { RECT { 0, 0, 800, 600 }, RECT { 0, 0, 800, 600 }, true, c.dpi } });
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), c.smallicon) << c.dpi;
    }
    win::overridemonitors(std::nullopt);
}
