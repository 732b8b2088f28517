// Under a real X server (Xvfb): a form with a control of every kind, built from its layout by the
// dialog library, with an owner-drawn list and a control of the module's own type; the form's
// window is grabbed and saved as the artifact named by VKT_SCREENSHOT_PATH, and checked for what
// the callback and the module's control drew.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/gdi.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

using namespace drelmtest;

namespace {

const COLORREF swatches[] = { RGB(200, 40, 40), RGB(40, 150, 60), RGB(40, 70, 200) };
const COLORREF paper = RGB(255, 255, 240);

// The module's page preview: a page with a frame.
struct Preview final : CONTROL {
    Preview(FORM& form, HWND window, const char* text)
        : CONTROL(form, window, text)
    {
    }

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT)
            return CONTROL::msghlr(window, message, wParam, lParam);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT area;
        GetClientRect(window, &area);
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        area = RECT { area.left + 4, area.top + 4, area.right - 4, area.bottom - 4 };
        HBRUSH page = CreateSolidBrush(paper);
        FillRect(dc, &area, page);
        DeleteObject(page);
        FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(window, &ps);
        return 0;
    }
};

// The owner-drawn list: a swatch of the item's colour and its name.
DLGCODES showcase(FORM&, unsigned msg, unsigned, long lparam)
{
    if (msg == WM_MEASUREITEM)
        reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = 22;
    if (msg != WM_DRAWITEM)
        return DLG_DEFAULT;
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
    const bool selected = draw->itemState & ODS_SELECTED;
    FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT box { draw->rcItem.left + 4, draw->rcItem.top + 3, draw->rcItem.left + 34, draw->rcItem.bottom - 3 };
    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(draw->itemData));
    FillRect(draw->hDC, &box, fill);
    DeleteObject(fill);
    static const char* const names[] = { "Red wire", "Green wire", "Blue wire" };
    RECT text { box.right + 8, draw->rcItem.top, draw->rcItem.right, draw->rcItem.bottom };
    SetBkMode(draw->hDC, TRANSPARENT);
    SetTextColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextA(draw->hDC, names[draw->itemID % 3], -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    return DLG_DEFAULT;
}

QColor qcolour(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

TEST(XvfbScreenshot, AFormShowsAControlOfEveryKind)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    Started started;
    Factory factory;
    factory.controls = [](FORM& form, int type, HWND window, const char* name) -> CONTROL* {
        return type == 179 ? new Preview(form, window, name) : nullptr;
    };
    FORM form(nullptr, "SHOWCASE", showcase);
    ASSERT_EQ(form.load(nullptr, 0), 1);
    form.getctrl("CHECK")->check(1);
    form.getctrl("RADIO")->setvalue(1);
    form.getctrl("VALUE")->setreal(1000);
    form.getctrl("KEY")->setvalue(0x22000 | 'S');
    form.getctrl("COMBO")->setvalue(1);
    form.getctrl("SLIDER")->setvalue(6);
    form.getctrl("COLOUR")->setvalue(RGB(230, 160, 20));
    CONTROL* list = form.getctrl("LIST");
    for (COLORREF c : swatches)
        list->additem("", c);
    list->setvalue(2);
    CONTROL* view = form.getctrl("VIEW");
    view->additem("R1\t10k", 0);
    view->additem("C1\t4n7", 0);
    form.getctrl("EDIT")->enable(0);
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
    SetWindowPos(form.gethwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    wintest::settle();
    wintest::turnuntil([] { return false; }, 800); // the window manager-less server shows and paints it

    RECT area;
    GetWindowRect(form.gethwnd(), &area);
    QImage shot = QGuiApplication::primaryScreen()
                      ->grabWindow(0, area.left, area.top, area.right - area.left, area.bottom - area.top)
                      .toImage();
    const char* path = std::getenv("VKT_SCREENSHOT_PATH");
    ASSERT_NE(path, nullptr);
    ASSERT_TRUE(shot.save(path, "PNG"));

    auto at = [&](HWND window, int x, int y) {
        tagPOINT p { x, y };
        MapWindowPoints(window, nullptr, &p, 1);
        return shot.pixelColor(p.x - area.left, p.y - area.top);
    };
    CONTROL* preview = form.getctrl("CUSTOM");
    RECT inside;
    GetClientRect(preview->gethwnd(), &inside);
    EXPECT_EQ(at(preview->gethwnd(), inside.right / 2, inside.bottom / 2), qcolour(paper))
        << "the module's control";

    QWidget* items = list->getwidget();
    const QPoint swatch = items->mapTo(form.getroot(), QPoint(12, 22 + 11));
    EXPECT_EQ(at(form.gethwnd(), swatch.x(), swatch.y()), qcolour(swatches[1])) << "the callback's drawing";
    form.end(IDCANCEL);
}
