// Under a real X server (Xvfb): the test process's frame holding three module windows as tabs,
// with the global menu, a frame-wide toolbar, the active window's own toolbar and its status bar;
// the screen is grabbed and kept as the artifact named by VKT_SCREENSHOT_PATH, and checked for
// the frame's own parts.

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <deque>

#include "framework/appln/tests/testprocess.h"
#include "framework/bars/ctrlbar.h"
#include "framework/bars/toolbar.h"
#include "framework/tabs/tabstrip.h"
#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/tests/screenshot.h"
#include "platform/win/resources.h"
#include "platform/win/window.h"

namespace {

using appltest::TESTPROCESS;

constexpr COLORREF sheetcolour = RGB(255, 253, 240);

// A strip of tool images: simple glyphs on the mask grey, kept as a bitmap resource of the program.
class TOOLIMAGES {
public:
    TOOLIMAGES(const char* name, int count)
        : name(name)
    {
        QImage image(count * 16, 16, QImage::Format_RGB32);
        image.fill(QColor(192, 192, 192));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < count; ++i) {
            const QRect r(i * 16 + 3, 3, 10, 10);
            painter.setPen(QPen(QColor(20 + 50 * i, 70, 150 - 30 * i), 2));
            if (i % 3 == 0)
                painter.drawRect(r);
            else if (i % 3 == 1)
                painter.drawEllipse(r);
            else
                painter.drawLine(r.bottomLeft(), r.topRight());
        }
        painter.end();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        entry = { RT_BITMAP, this->name, bytes.constData(), static_cast<DWORD>(bytes.size()) };
        registerresources(GetModuleHandleA(nullptr), &entry, 1);
    }
    ~TOOLIMAGES() { unregisterresources(GetModuleHandleA(nullptr), &entry); }

private:
    const char* name;
    QByteArray bytes;
    RESOURCEENTRY entry {};
};

const TBBUTTON tools[] = {
    { 0, 0x300, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
    { 1, 0x301, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
    { 0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0 },
    { 2, 0x302, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
};

// A module window showing a sheet with its name, and a toolbar of its own.
class SHEET : public APPLNWINDOW {
public:
    void oncreatewindow() override { addtoolbar(0x2100, "Drawing", "TB_DRAWING", tools, 4); }
    void onrepaint(HDC dc, PAINTSTRUCT&) override
    {
        RECT client {};
        GetClientRect(hwnd, &client);
        HBRUSH sheet = CreateSolidBrush(sheetcolour);
        FillRect(dc, &client, sheet);
        DeleteObject(sheet);
        SetBkMode(dc, TRANSPARENT);
        RECT text { 20, 20, client.right, client.bottom };
        DrawTextA(dc, getcaption(), -1, &text, DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
};

TEST(XvfbScreenshot, AFrameShowsItsTabsMenusAndBars)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    TOOLIMAGES standard("TB_STANDARD", 3);
    TOOLIMAGES drawing("TB_DRAWING", 3);
    TESTPROCESS process;
    SHEET sheets[3];
    process.start = [&] {
        APPLNFRAME* frame = process.getframe(0);
        TOOLBAR* global = frame->addglobaltoolbar(0x1001, "Standard", "TB_STANDARD", tools, 4);
        const char* names[] = { "Schematic", "Graph", "Library" };
        for (int i = 0; i < 3; ++i) {
            sheets[i].setowner(&process);
            sheets[i].createwindow(frame);
            SetWindowTextA(sheets[i].hwnd, names[i]);
        }
        MoveWindow(frame->hwnd, 20, 20, 900, 640, FALSE);
        ShowWindow(frame->hwnd, SW_SHOWNORMAL);
        frame->loadwindow(&sheets[1]);
        sheets[1].setstatusmsg("Ready");
        frame->onresize();
        UpdateWindow(frame->hwnd);
        wintest::settle();
        wintest::turnuntil([] { return false; }, 800); // the window manager-less server shows and paints it
        wintest::SCREENSHOT shot(frame->hwnd);
        EXPECT_TRUE(shot.saved);
        EXPECT_EQ(shot.at(sheets[1].hwnd, 10, 60),
            QColor(GetRValue(sheetcolour), GetGValue(sheetcolour), GetBValue(sheetcolour)))
            << "the active sheet in the module area";
        TABSTRIP* strip = frame->gettabstrip();
        int left = 0;
        int right = 0;
        EXPECT_TRUE(strip->tabspan(1, left, right));
        EXPECT_EQ(strip->activetab(), 1);
        EXPECT_EQ(global->getrebar(), frame->getrebar(0)) << "the frame's toolbar";
        EXPECT_EQ(sheets[1].gettoolbar(0)->getrebar(), frame->getrebar(0)) << "the active window's";
        return 1;
    };
    process.runall();
}

} // namespace
