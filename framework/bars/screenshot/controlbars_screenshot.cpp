// Under a real X server (Xvfb): a frame with a bar of every kind docked in its rebars: a toolbar
// and the orientation bar at the top, the mode bar down the left side, the status bar with a
// tabbed progress message and the coordinate box at the bottom, and a sizing bar beside the view;
// the screen is grabbed and saved as the artifact named by VKT_SCREENSHOT_PATH, and checked for
// the bars' own drawing.

#include <QGuiApplication>

#include "framework/bars/coordbox.h"
#include "framework/bars/modebar.h"
#include "framework/bars/orntbar.h"
#include "framework/bars/sizingbar.h"
#include "framework/bars/statusbar.h"
#include "framework/bars/tests/bartest.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/screenshot.h"
#include "platform/win/window.h"

using namespace bartest;

namespace {

// Tool images of the strips: simple glyphs in the editors' colours on the mask grey.
QImage glyphs(int count, int size, const std::function<void(QPainter&, int, QRect)>& draw)
{
    QImage image(count * size, size, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i)
        draw(painter, i, QRect(i * size + 2, 2, size - 4, size - 4));
    return image;
}

void tools(QPainter& p, int i, QRect r)
{
    p.setPen(QPen(QColor(20, 60, 140), 2));
    if (i == 0)
        p.drawRect(r);
    else if (i == 1)
        p.drawLine(r.bottomLeft(), r.topRight());
    else if (i == 2)
        p.drawEllipse(r);
    else {
        p.setPen(QPen(QColor(170, 30, 30), 3));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
    }
}

void orientations(QPainter& p, int i, QRect r)
{
    p.setPen(QPen(i >= 6 && i < 12 ? QColor(150, 40, 150) : QColor(20, 110, 40), 2));
    if (i < 12) {
        p.drawArc(r, 30 * 16, 270 * 16);
        p.drawText(r, Qt::AlignCenter, i % 2 ? "-" : "+");
        return;
    }
    const bool vertical = (i - 12) % 2;
    const bool on = (i - 12) % 4 >= 2;
    p.setPen(QPen(on ? QColor(200, 90, 0) : QColor(60, 60, 60), 2));
    if (vertical)
        p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
    else
        p.drawLine(r.center().x(), r.top(), r.center().x(), r.bottom());
    p.drawText(r, Qt::AlignCenter, vertical ? "Y" : "X");
}

void modes(QPainter& p, int i, QRect r)
{
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawText(r, Qt::AlignCenter, QString(QChar('A' + i)));
}

// The frame's layout as the frame window will do it: rebars on the four sides, the view between.
void layout(APPLNFRAME& frame, HWND view)
{
    RECT client {};
    GetClientRect(frame.gethwnd(), &client);
    const int top = frame.getrebar(0)->height();
    const int bottom = frame.getrebar(1)->height();
    MoveWindow(frame.getrebar(0)->gethwnd(), 0, 0, client.right, top, TRUE);
    MoveWindow(frame.getrebar(1)->gethwnd(), 0, client.bottom - bottom, client.right, bottom, TRUE);
    const int left = frame.getrebar(2)->height();
    const int right = frame.getrebar(3)->height();
    MoveWindow(frame.getrebar(2)->gethwnd(), 0, top + 2, left, client.bottom - bottom - top - 4, TRUE);
    MoveWindow(frame.getrebar(3)->gethwnd(), client.right - right, top + 2, right,
        client.bottom - bottom - top - 4, TRUE);
    MoveWindow(
        view, left + 2, top + 2, client.right - left - right - 4, client.bottom - bottom - top - 4, TRUE);
}

TEST(XvfbScreenshot, AFrameShowsEveryKindOfBarInItsRebars)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    dlg_init(nullptr);
    BITMAPS bitmaps;
    bitmaps.add("TB_TOOLS", glyphs(4, 16, tools))
        .add("TB_MODES", glyphs(5, 16, modes))
        .add("tb_ornts", glyphs(20, 16, orientations))
        .install();
    APPLNFRAME frame(nullptr);
    frame.createwindow(nullptr);
    MoveWindow(frame.gethwnd(), 30, 30, 760, 460, FALSE);
    HWND view = CreateWindowExA(0, wintest::recordingclass(), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
        frame.gethwnd(), nullptr, nullptr, nullptr);

    auto* toolbar = new TOOLBAR(&frame, 0x2001, "Tools", "TB_TOOLS", 1);
    const TBBUTTON buttons[] = {
        { 0, 0x300, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 1, 0x301, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 2, 0x302, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0 },
        { 0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0 },
        { 3, 0x303, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
    };
    toolbar->addbuttons(buttons, 5);
    const unsigned short masks[] = { 0x0007, 0x0003, 0 };
    auto* modebar = new MODEBAR(&frame, 0x2002, "TB_MODES", masks);
    auto* orientation = new ORNTBAR(&frame, 0x2003, 0);
    orientation->setornt(CTS(POINT { 0, 0 }, 900, 1));
    auto* status = new STATUSBAR(&frame, 0x2004);
    auto* coordinates = new COORDBOX(&frame, 0x2005);
    coordinates->setunitwidth(30);

    toolbar->attach(frame.getrebar(0), -1);
    orientation->attach(frame.getrebar(0), -1);
    modebar->attach(frame.getrebar(2), -1);
    status->attach(frame.getrebar(1), -1);
    coordinates->attach(frame.getrebar(1), -1);
    SIZINGBAR sizer(view, 8, "Screenshot Console", 420, 1);

    const int widths[] = { 120, 60, 100 };
    status->settabboxes("SLCP", widths);
    status->message('I', "Simulating\ttransient\t40", 0, 0, RGB(0, 0, 0), STATUSBAR_KEEPCOLOUR, 0);
    coordinates->update(true, "+12.700", "-5.080", "13.678", "mm", RGB(0, 100, 0), RGB(0, 100, 0));
    ShowWindow(frame.gethwnd(), SW_SHOWNORMAL);
    layout(frame, view);
    RECT viewarea {};
    GetClientRect(view, &viewarea);
    sizer.locate(0, viewarea.bottom, sizer.getpos(), 0);
    UpdateWindow(frame.gethwnd());
    wintest::settle();
    wintest::turnuntil([] { return false; }, 800); // the window manager-less server shows and paints it

    wintest::SCREENSHOT shot(frame.gethwnd());
    ASSERT_TRUE(shot.saved);
    RECT checked {};
    SendMessageA(toolbar->gettoolbar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&checked));
    EXPECT_EQ(shot.at(toolbar->gettoolbar(), checked.left, checked.top + 5),
        QColor(GetRValue(tb_checkedborder_colour), GetGValue(tb_checkedborder_colour),
            GetBValue(tb_checkedborder_colour)))
        << "the checked tool drawn by the bar";
    RECT client {};
    GetClientRect(status->gethwnd(), &client);
    EXPECT_EQ(shot.at(status->gethwnd(), status->tabwidth(120) + 1 + status->tabwidth(60) + 1 + 5, client.bottom / 2), QColor(0, 0, 192))
        << "the progress box filled";
    DestroyWindow(frame.gethwnd());
}

} // namespace
