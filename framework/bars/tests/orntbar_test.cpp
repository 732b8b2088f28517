#include "framework/bars/orntbar.h"

#include "framework/bars/barmessages.h"
#include "framework/bars/tests/bartest.h"
#include "platform/drelm/form.h"
#include "platform/drelm/fptedit.h"
#include "platform/win/messagebox.h"
#include "platform/win/monitors.h"

using namespace bartest;
using namespace wintest;

namespace {

// The error boxes shown while it lives, each answered with IDOK.
struct ERRORBOXES {
    ERRORBOXES() { previous = setmessageboxhook(record); }
    ~ERRORBOXES() { setmessageboxhook(previous); }
    static int record(HWND, const char* text, const char*, UINT)
    {
        texts().emplace_back(text);
        return IDOK;
    }
    static std::vector<std::string>& texts()
    {
        static std::vector<std::string> shown;
        return shown;
    }
    MESSAGEBOXHOOK previous;
};

struct OrientationBarTest : testing::Test {
    OrientationBarTest()
    {
        bitmaps.add("tb_ornts", strip(20, 16)).install();
        parent.hwnd = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        ERRORBOXES::texts().clear();
    }
    ORNTBAR* make(int rightangles)
    {
        auto* bar = new ORNTBAR(&parent, 0x2030, rightangles);
        bar->resize();
        ShowWindow(bar->gethwnd(), SW_SHOW);
        return bar;
    }
    FPTEDIT* box(ORNTBAR* bar)
    {
        return dynamic_cast<FPTEDIT*>(BASEWIN::fromhandle(GetDlgItem(bar->gethwnd(), 1)));
    }
    // Types the text into the angle box and presses Return there.
    void enter(ORNTBAR* bar, const char* text)
    {
        box(bar)->settext(text);
        SendMessageA(bar->gethwnd(), DLGM_KEY, MAKEWPARAM(1, 13), 0);
    }

    FreshQt fresh;
    SCREENAT screen { 96 };
    BITMAPS bitmaps;
    ERRORBOXES boxes;
    BASEHWND parent;
};

TEST_F(OrientationBarTest, EachButtonTurnsOrMirrorsTheStoredOrientation)
{
    ORNTBAR* bar = make(0);
    struct Case {
        short angle;
        short mirror;
        unsigned command;
        short newangle;
        short newmirror;
    } cases[] = {
        { 2700, 0, 0x114, 0, 0 },
        { 0, 0, 0x115, -900, 0 },
        { -1800, 0, 0x114, -900, 0 },
        { 900, 0, 0x116, -900, 1 },
        { 900, 1, 0x117, -900, 3 },
        { 450, 2, 0x117, -450, 0 },
        { 450, 0, 0x110, 0, 0 },
        { 0, 0, 0x111, 900, 0 },
        { 0, 0, 0x112, 1800, 0 },
        { 0, 0, 0x113, -900, 0 },
    };
    for (const Case& c : cases) {
        bar->setornt(CTS(POINT { 0, 0 }, c.angle, c.mirror));
        received().clear();
        SendMessageA(bar->gethwnd(), WM_COMMAND, c.command, 77);
        EXPECT_EQ(bar->rot(), c.newangle) << c.angle << " " << std::hex << c.command;
        EXPECT_EQ(bar->mir(), c.newmirror) << c.angle << " " << std::hex << c.command;
        auto changes = messagesof(WM_COMMAND);
        ASSERT_EQ(changes.size(), 1u) << std::hex << c.command;
        EXPECT_EQ(changes[0].wParam, ORNTBAR_CHANGED);
        EXPECT_EQ(changes[0].lParam, 77);
        EXPECT_EQ(bar->edit(), ORNTBAR_CHANGED);
    }
    SendMessageA(bar->gethwnd(), WM_COMMAND, 0x110, 0);
    received().clear();
    SendMessageA(bar->gethwnd(), WM_COMMAND, 0x110, 0);
    EXPECT_EQ(messagesof(WM_COMMAND).size(), 0u) << "no change, no message";
    SendMessageA(bar->gethwnd(), WM_COMMAND, 0x345, 0);
    EXPECT_EQ(bar->edit(), 0x345) << "another command only becomes the last";
    EXPECT_TRUE(messagesof(WM_COMMAND).empty());

    // The mirror buttons show the mirror flags; a rotation button held by the bar its quadrant.
    bar->setornt(CTS(POINT { 0, 0 }, 0, 3));
    EXPECT_TRUE(SendMessageA(bar->gettoolbar(), TB_ISBUTTONCHECKED, 0x116, 0));
    EXPECT_TRUE(SendMessageA(bar->gettoolbar(), TB_ISBUTTONCHECKED, 0x117, 0));
    bar->addbuttons(2, 0x112, 1);
    bar->setornt(CTS(POINT { 0, 0 }, 1800, 0));
    EXPECT_TRUE(SendMessageA(bar->gettoolbar(), TB_ISBUTTONCHECKED, 0x112, 0));
    EXPECT_FALSE(SendMessageA(bar->gettoolbar(), TB_ISBUTTONCHECKED, 0x116, 0));
    EXPECT_EQ(bar->cts(), CTS(POINT { 0, 0 }, 1800, 0));
}

TEST_F(OrientationBarTest, ImagesFollowTheMirrorFlagsAndTheTag)
{
    ORNTBAR* bar = make(0);
    struct Case {
        int tag;
        short mirror;
        unsigned command;
        int image;
    } cases[] = {
        { 0, 0, 0x114, 4 },
        { 0, 0, 0x115, 5 },
        { 1, 0, 0x114, 10 },
        { 0, 0, 0x116, 12 },
        { 0, 1, 0x116, 14 },
        { 1, 1, 0x116, 18 },
        { 0, 0, 0x117, 13 },
        { 0, 2, 0x117, 15 },
        { 1, 2, 0x117, 19 },
        { 0, 0, 0x11E, -1 },
    };
    for (const Case& c : cases) {
        bar->settag(c.tag);
        bar->setmir(c.mirror);
        EXPECT_EQ(bar->getbitmap(c.command), c.image)
            << c.tag << " " << c.mirror << " " << std::hex << c.command;
    }
    bar->settag(1);
    bar->setmir(2);
    NMTBDISPINFOA request {};
    request.hdr = NMHDR { bar->gettoolbar(), 0, TBN_GETDISPINFOA };
    request.dwMask = TBNF_IMAGE;
    request.idCommand = 0x117;
    SendMessageA(bar->gethwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(request.iImage, 19) << "the toolbar asks the bar for its images";
}

TEST_F(OrientationBarTest, TheAngleBoxTakesAnyAngleOnReturnUnlessOnlyRightAnglesCount)
{
    ORNTBAR* bar = make(0);
    received().clear();
    enter(bar, "45");
    EXPECT_EQ(bar->rot(), 450);
    EXPECT_EQ(box(bar)->text(), "45\xC2\xB0");
    auto changes = messagesof(WM_COMMAND);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].wParam, ORNTBAR_CHANGED);
    EXPECT_EQ(changes[0].lParam, 0);
    enter(bar, "-45");
    EXPECT_EQ(bar->rot(), 3150) << "normalized";
    enter(bar, "12.34");
    EXPECT_EQ(bar->rot(), 123) << "tenths, truncated";
    for (const char* bad : { "abc", "99999" }) {
        enter(bar, bad);
        EXPECT_EQ(bar->rot(), 123) << bad;
    }
    EXPECT_EQ(ERRORBOXES::texts(), (std::vector<std::string> { "Invalid Angle", "Invalid Angle" }));

    SendMessageA(bar->gethwnd(), DLGM_RESET, 1, 0);
    EXPECT_EQ(bar->cts(), ZEROCTS) << "a double click resets";

    ORNTBAR* right = make(1);
    enter(right, "45");
    EXPECT_EQ(right->rot(), 0) << "only right angles are stored";
    EXPECT_EQ(box(right)->text(), "0\xC2\xB0") << "the box shows the stored angle again";
    enter(right, "270");
    EXPECT_EQ(right->rot(), 2700);
}

TEST_F(OrientationBarTest, TheAngleBoxSitsInItsSlotAndNamesItsHint)
{
    ORNTBAR* bar = make(0);
    RECT slot {};
    SendMessageA(bar->gettoolbar(), TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&slot));
    EXPECT_GE(slot.right - slot.left, 28);
    RECT gap {};
    SendMessageA(bar->gettoolbar(), TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&gap));
    EXPECT_EQ(gap.right - gap.left, 6);
    RECT placed {};
    GetWindowRect(box(bar)->gethwnd(), &placed);
    MapWindowPoints(nullptr, bar->gettoolbar(), reinterpret_cast<tagPOINT*>(&placed), 2);
    EXPECT_EQ(placed.left, slot.left + 3);
    EXPECT_EQ(placed.top, slot.top + 3);
    EXPECT_EQ(placed.right - placed.left, slot.right - slot.left - 5);

    received().clear();
    SendMessageA(
        bar->gethwnd(), WM_COMMANDHINT, reinterpret_cast<WPARAM>(box(bar)->gethwnd()), MAKELPARAM(1, 0));
    auto hints = messagesof(WM_COMMANDHINT);
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(hints[0].wParam), box(bar)->gethwnd());
    EXPECT_EQ(hints[0].lParam, MAKELPARAM(0x118, 0x120));
}

} // namespace
