// The editor's pointer and keys, through the demo editor: the order of the key contexts, the
// coordinates shown (polar too), the highlight's rise and fade tick by tick, and autopan's step.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/keys.h"

using demotest::runwithdemo;

namespace {

// The demo editor noting the commands that reach it and the highlight timer's starts and stops.
class KEYWATCH : public DEMOEDITOR {
public:
    using DEMOEDITOR::DEMOEDITOR;
    int editor_docommand(unsigned short id) override
    {
        commands.push_back(id);
        return DEMOEDITOR::editor_docommand(id);
    }
    int iscommandvalid(unsigned short id) override { return id != 0x815; }
    void starthighlighttimer(unsigned milliseconds) override { ++started; }
    void stophighlighttimer() override { ++stopped; }
    std::vector<unsigned short> commands;
    int started = 0;
    int stopped = 0;
};

MSG keydown(HWND window, unsigned long key)
{
    MSG message {};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = key & 0xFF;
    return message;
}

} // namespace

TEST(EditorKeys, AKeyGoesToTheFirstContextThatBindsIt)
{
    runwithdemo<KEYWATCH>(10, [](auto&, KEYWATCH& demo, APPLNVIEWDVC&) {
        KEYTRANSLATOR& keys = *demo.getkeytranslator();
        const unsigned long both = VK_F1 + 1;
        const unsigned long loop = VK_F1 + 3;
        const unsigned long refused = VK_F1 + 5;
        keys.assign(0x110, 0x811, both);
        keys.assign(0x100, 0x812, both);
        keys.assign(0x300, 0x814, loop);
        keys.assign(0x110, 0x815, refused);
        MSG message = keydown(demo.gethwnd(), both);
        EXPECT_EQ(demo.onwantkey(both, &message), 1);
        ASSERT_FALSE(demo.commands.empty());
        EXPECT_EQ(std::count(demo.commands.begin(), demo.commands.end(), 0x811), int(demo.commands.size()))
            << "the window's context before the frame's";
        demo.commands.clear();
        message = keydown(demo.gethwnd(), refused);
        EXPECT_EQ(demo.onwantkey(refused, &message), 0) << "a command not valid now";
        message = keydown(demo.gethwnd(), loop);
        EXPECT_EQ(demo.onwantkey(loop, &message), 0) << "the input loops' keys only while a handler runs";
        demo.geteditstatus().nesting = 1;
        message = keydown(demo.gethwnd(), both);
        EXPECT_EQ(demo.onwantkey(both, &message), 0) << "while a handler runs, only the input loops' keys";
        message = keydown(demo.gethwnd(), loop);
        EXPECT_EQ(demo.onwantkey(loop, &message), 1);
        demo.geteditstatus().nesting = 0;
        ASSERT_FALSE(demo.commands.empty());
        EXPECT_EQ(std::count(demo.commands.begin(), demo.commands.end(), 0x814), int(demo.commands.size()));
    });
}

TEST(EditorPointer, CoordinatesShowFromTheGridOriginAsXAndYOrAsAngleAndDistance)
{
    struct Case {
        int polar, falseorigin;
        POINT at;
        const char* first; // the number, without the degree sign
        const char* second;
        const char* third;
        COLORREF colour;
    };
    const Case cases[] = {
        { 1, 0, POINT(-254000, 0), "  -180.0", "+100.0", "", 0x0000C0 },
        { 1, 0, POINT(0, 254000), "   +90.0", "+100.0", "", 0x0000C0 },
        { 1, 0, POINT(254000, -254000), "   -45.0", "+141.4", "", 0x0000C0 },
        { 1, 0, POINT(-254000, -254000), "  -135.0", "+141.4", "", 0x0000C0 },
        { 1, 0, POINT(0, 0), "    +0.0", "+0.0", "", 0x0000C0 },
        { 0, 1, POINT(254000, -254000), "+100.0", "-100.0", "141.4", 0xC000C0 },
        { 0, 0, POINT(2540000, 0), "+1000.0", "+0.0", "", 0 },
    };
    runwithdemo(10, [&](auto&, DEMOEDITOR& demo, APPLNVIEWDVC&) {
        APPLNEDITSTATUS& status = demo.geteditstatus();
        status.gridorigin = POINT(1000, 2000);
        for (const Case& c : cases) {
            status.polar = c.polar;
            status.falseorigin = c.falseorigin;
            EDITORCOORDS texts;
            demo.getcoordtexts(POINT(1000 + c.at.x, 2000 + c.at.y), 1, texts);
            EXPECT_EQ(std::strncmp(texts.first, c.first, std::strlen(c.first)), 0) << texts.first;
            EXPECT_STREQ(texts.second, c.second);
            EXPECT_STREQ(texts.third, c.third);
            EXPECT_EQ(texts.labels, !c.polar);
            EXPECT_EQ(texts.firstcolour, c.colour);
            EXPECT_STREQ(texts.units, "th");
        }
        status.polar = 1;
        status.falseorigin = 0;
        EDITORCOORDS overview;
        demo.getcoordtexts(POINT(1000, 2000 + 254000), 0, overview);
        EXPECT_STREQ(overview.second, "+100.0") << "the overview shows x and y";
        EXPECT_EQ(overview.firstcolour, 0u);
    });
}

TEST(EditorPointer, AHighlightRisesInTwoTicksAndFadesInSeven)
{
    runwithdemo<KEYWATCH>(10, [](auto&, KEYWATCH& demo, APPLNVIEWDVC& device) {
        DEMOBOX box(BOX(0, 0, 254000, 254000), RGB(0, 200, 0));
        APPLNEDITSTATUS& status = demo.geteditstatus();
        device.setgdidoublebuffer(0);
        demo.addhighlightobject(&box, nullptr, POINT(), 0);
        EXPECT_TRUE(demo.gethighlights().empty()) << "plain drawing shows no highlights";
        device.setgdidoublebuffer(1);
        status.highlight = &box;
        demo.addhighlightobject(&box, nullptr, POINT(), 0);
        ASSERT_EQ(demo.gethighlights().size(), 1u);
        EXPECT_EQ(demo.started, 1);
        EXPECT_EQ(demo.gethighlights()[0].strength, 500) << "aged once as it joins";
        demo.addhighlightobject(&box, nullptr, POINT(5, 5), 1);
        EXPECT_EQ(demo.gethighlights().size(), 1u) << "an object is listed once";
        EXPECT_EQ(demo.gethighlights()[0].flag, 1);
        demo.agehighlightobjects();
        EXPECT_EQ(demo.gethighlights()[0].strength, 1000);
        demo.agehighlightobjects();
        EXPECT_EQ(demo.gethighlights()[0].strength, 1000) << "full strength while under the pointer";
        status.highlight = nullptr;
        for (int tick = 1; tick <= 6; ++tick) {
            demo.agehighlightobjects();
            ASSERT_EQ(demo.gethighlights().size(), 1u) << tick;
            EXPECT_EQ(demo.gethighlights()[0].strength, 1000 - 150 * tick);
        }
        EXPECT_EQ(demo.stopped, 0);
        demo.agehighlightobjects();
        EXPECT_TRUE(demo.gethighlights().empty()) << "faded out at the seventh tick";
        EXPECT_EQ(demo.stopped, 1);
    });
}

TEST(EditorPointer, AutopanStepsAFractionOfTheViewGivenByTheDistanceSetting)
{
    struct Case {
        int distance, divisor;
    };
    const Case cases[] = { { -3, 32 }, { 0, 32 }, { 4, 12 }, { 9, 2 }, { 10, 4 }, { 50, 4 } };
    for (const Case& c : cases)
        EXPECT_EQ(autopandivisor(c.distance), c.divisor) << c.distance;
    runwithdemo(10, [](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        BOX& extent = demo.geteditstatus().extent;
        extent = BOX(-254000000, -254000000, 254000000, 254000000);
        demo.setview(100, POINT());
        POINT before = demo.geteditstatus().viewcentre;
        int64_t step = device.getvisiblearea().width() / 12;
        demo.autopan(&device, 1, 0);
        EXPECT_NEAR(demo.geteditstatus().viewcentre.x, before.x + step, 25400) << "to a whole pixel";
        EXPECT_EQ(demo.geteditstatus().viewcentre.y, before.y);
        demo.setview(100, POINT(extent.x2 + 25400000, 0));
        before = demo.geteditstatus().viewcentre;
        demo.autopan(&device, 1, 0);
        EXPECT_EQ(demo.geteditstatus().viewcentre, before) << "no further away from the drawing";
        demo.autopan(&device, -1, 0);
        EXPECT_LT(demo.geteditstatus().viewcentre.x, before.x) << "back towards it";
    });
}
