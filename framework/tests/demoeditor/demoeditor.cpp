#include "framework/tests/demoeditor/demoeditor.h"

#include <algorithm>

#include "platform/casq/styles.h"
#include "platform/win/window.h"

namespace {

constexpr long UNITSPERINCH = 2540000;
constexpr int VIEWID = 1;

} // namespace

DEMOVIEW::DEMOVIEW(const DEMODRAWING& shown)
    : drawing(shown)
{
}

void DEMOVIEW::oncreatewindow()
{
    RECT client {};
    GetClientRect(hwnd, &client);
    device = std::make_unique<APPLNVIEWDVC>(
        this, hwnd, WS_VISIBLE, BOX(0, 0, client.right - 1, client.bottom - 1), VIEWID, UNITSPERINCH);
    POINT origin;
    device->setsnap(origin, UNITSPERINCH / 10, UNITSPERINCH / 10, 1);
    device->setxcursor(XCURSOR_FULL);
    setview(100, drawing.extent().centre());
}

void DEMOVIEW::ondestroywindow()
{
    device.reset();
}

void DEMOVIEW::onresize(int width, int height)
{
    if (device)
        MoveWindow(device->gethwnd(), 0, 0, width, height, TRUE);
}

void DEMOVIEW::setview(long pixelsperinch, POINT centre)
{
    device->setmapping(pixelsperinch, pixelsperinch, UNITSPERINCH);
    device->setorigin(centre);
    device->invalidate(VOIDBOX, REPAINT_ALL);
}

void DEMOVIEW::fitdrawing()
{
    RECT client {};
    GetClientRect(device->gethwnd(), &client);
    BOX extent = drawing.extent();
    double across = double(std::max<int64_t>(1, extent.width())) / UNITSPERINCH;
    double down = double(std::max<int64_t>(1, extent.height())) / UNITSPERINCH;
    double perinch = std::min(client.right / across, client.bottom / down);
    // Pixels per inch in thousandths, so that small drawings and large ones both fit closely.
    device->setmapping(std::max(1L, long(perinch * 1000)), std::max(1L, long(perinch * 1000)), UNITSPERINCH * 1000);
    device->setorigin(extent.centre());
    device->invalidate(VOIDBOX, REPAINT_ALL);
}

void DEMOVIEW::onrepaint(APPLNVIEWDVC* view, BOX& area)
{
    drawing.draw(*view, area);
}

void DEMOVIEW::pan(POINT centre, int movecursor)
{
    POINT now = device->getorigin();
    device->scroll(centre.x - now.x, centre.y - now.y);
    if (movecursor)
        device->movecursor(device->getcursorpos());
}

DEMOEDITOR::DEMOEDITOR(APPLNPROCESS* process, int cells)
    : APPLNMODULE(process)
    , drawing(cells)
    , view(drawing)
{
    setapplnname("DEMOEDIT", "Demo Editor");
}

APPLNWINDOW* DEMOEDITOR::getprimarywindow(APPLNFRAME* frame)
{
    if (!primarywindow && frame) {
        view.setowner(this);
        if (view.createwindow(frame))
            primarywindow = &view;
    }
    return primarywindow;
}

COLORREF DEMOEDITOR::getcolour(int index)
{
    switch (index) {
    case APPLNCOLOUR_BACKGROUND:
        return RGB(255, 255, 255);
    case APPLNCOLOUR_CURSOR:
        return RGB(0, 0, 255);
    default:
        return 0;
    }
}
