#include "framework/bars/ctrlbar.h"

#include "framework/bars/tests/bartest.h"
#include "platform/win/monitors.h"

using namespace bartest;

namespace {

struct SIZEDBAR : CTRLBAR {
    SIZEDBAR()
        : CTRLBAR(0)
    {
    }
    int bitmap() const { return bitmapsize; }
    int button() const { return buttonsize; }
    int vertical() const { return verticalpadding; }
    int horizontal() const { return horizontalpadding; }
    const char* name() const { return bitmapname; }
};

TEST(ConfigureSize, SizesFollowTheScaleAndFallBackToTheStripsThatExist)
{
    struct Case {
        int sizing;
        double scale;
        int dpi;
        std::vector<const char*> strips;
        int bitmap;
        int vertical;
        int horizontal;
        const char* name;
    } cases[] = {
        { 16, -1, 96, { "TB", "TB24" }, 16, 5, 6, "TB" },
        { 24, -1, 96, { "TB24" }, 24, 6, 8, "TB24" },
        { 24, -1, 96, { "TB16", "TB" }, 16, 5, 6, "TB16" },
        { 24, -1, 96, { "TB" }, 16, 5, 6, "TB" },
        { 32, -1, 96, { "TB32" }, 32, 7, 9, "TB32" },
        { 32, -1, 96, { "TB24" }, 24, 6, 8, "TB24" },
        { 0, 1.25, 96, { "TB24" }, 24, 6, 8, "TB24" },
        { 0, 2.0, 96, { "TB32" }, 32, 10, 12, "TB32" },
        { 0, -1, 144, { "TB32" }, 32, 7, 9, "TB32" },
        { 0, -1, 120, { "TB24" }, 24, 6, 8, "TB24" },
        { 0, -1, 96, {}, 16, 5, 6, "TB" },
    };
    for (const Case& c : cases) {
        BITMAPS bitmaps;
        for (const char* name : c.strips)
            bitmaps.add(name, strip(1, 16));
        bitmaps.install();
        SCREENAT screen(c.dpi);
        CTRLBAR::setsizing(c.sizing);
        SIZEDBAR bar;
        bar.configuresize("TB", c.scale);
        EXPECT_EQ(bar.bitmap(), c.bitmap) << c.sizing << " " << c.scale << " " << c.dpi;
        EXPECT_EQ(bar.button(), c.bitmap);
        EXPECT_EQ(bar.vertical(), c.vertical) << c.sizing << " " << c.scale;
        EXPECT_EQ(bar.horizontal(), c.horizontal) << c.sizing << " " << c.scale;
        EXPECT_STREQ(bar.name(), c.name) << c.sizing << " " << c.scale << " " << c.dpi;
    }
    CTRLBAR::setsizing(0);

    SIZEDBAR nameless;
    nameless.configuresize(nullptr, 1.7);
    EXPECT_EQ(nameless.bitmap(), 32);
    EXPECT_STREQ(nameless.name(), "");
}

} // namespace
