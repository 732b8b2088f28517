// The editor's view geometry: the scale and centre of the main view, the overview fitted to the
// drawing, zooming and panning, the origins, the output area, the window's layout and the texts
// of coordinates and lengths.

#include <algorithm>
#include <cstdio>

#include "framework/editor/applneditor.h"
#include "framework/context/applncontext.h"
#include "framework/input/shapeloops.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

constexpr long UNITSPERINCH = 2540000;
constexpr int32_t WORLDLIMIT = 1000000000;
constexpr double ZOOMFACTOR = 1.5;

// The centre along one axis that keeps a view of that extent inside the world's limits.
int32_t keepinside(int32_t centre, int64_t extent)
{
    int64_t half = extent / 2;
    if (int64_t(centre) - half < -WORLDLIMIT)
        return int32_t(half - WORLDLIMIT);
    if (int64_t(centre) - half + extent > WORLDLIMIT)
        return int32_t(WORLDLIMIT - half);
    return centre;
}

// Pixels per inch that fit a length of the world into pixels; the whole view for no length.
long fitscale(int64_t pixels, int64_t length)
{
    int64_t scale = length > 0 ? pixels * UNITSPERINCH / length : pixels * UNITSPERINCH;
    return long(std::min<int64_t>(scale, 0x7FFFFFFF));
}

} // namespace

void APPLNEDITOR::setscale(POINT centre, int scale, int redrawn)
{
    status.scale = std::clamp(scale, status.minscale, status.maxscale);
    status.pickdistance = 12700000 / status.scale;
    if (maindevice) {
        maindevice->setmapping(status.scale, status.scale, UNITSPERINCH, status.flip);
        BOX visible = maindevice->getvisiblearea();
        centre.x = keepinside(centre.x, visible.width());
        centre.y = keepinside(centre.y, visible.height());
        maindevice->setorigin(centre);
    }
    status.viewcentre = centre;
    setgrid(status.gridorigin, 0);
    setoverview();
    if (redrawn) {
        redraw(maindevice.get(), DRAW_VIEW);
        redraw(overviewdevice.get(), DRAW_OVERVIEW);
    }
}

void APPLNEDITOR::setscale(BOX area, int redrawn)
{
    if (!area.isvoid()) {
        status.fitstate = -1;
    } else {
        area = status.extent;
        area.grow(UNITSPERINCH / 10);
        status.fitstate = 0;
    }
    // Nothing drawn yet: the widest view about where it is.
    if (area.isvoid()) {
        setscale(status.viewcentre, status.minscale, redrawn);
        return;
    }
    long xscale = fitscale(viewarea.width(), area.width());
    long yscale = fitscale(viewarea.height(), area.height());
    setscale(area.centre(), int(std::min(xscale, yscale)), redrawn);
}

void APPLNEDITOR::setoverview()
{
    if (!overviewdevice)
        return;
    RECT client {};
    GetClientRect(overviewdevice->gethwnd(), &client);
    BOX extent = status.extent.isvoid() ? BOX(0, 0, 0, 0) : status.extent;
    overviewdevice->setmapping(fitscale(client.right, extent.width() + UNITSPERINCH),
        fitscale(client.bottom, extent.height() + UNITSPERINCH), UNITSPERINCH, status.flip);
    overviewdevice->setorigin(extent.centre());
}

POINT APPLNEDITOR::pickpoint(unsigned hint)
{
    sethint(getapplnmessage(hint));
    maindevice->centrecursor();
    maindevice->setcursortype(IDC_CROSS, 1);
    INPUTLOOP loop;
    int picked = loop.run(maindevice.get(), INPUTLOOP::LEFTCLICK);
    maindevice->setcursortype(nullptr, 0);
    return picked ? loop.getp2() : POINT();
}

int APPLNEDITOR::pickbox(unsigned hint, BOX& box)
{
    sethint(getapplnmessage(hint));
    maindevice->centrecursor();
    SELECTIONINPUTLOOP loop;
    if (!loop.run(maindevice.get(), IDC_CROSS, INPUTLOOP::LEFTCLICKS))
        return 0;
    box = loop.getbox();
    return 1;
}

int APPLNEDITOR::view_zoom()
{
    if (!maindevice)
        return 1;
    switch (status.command & 0xFFF) {
    case EDITCMD_ZOOMCENTRE:
        if (status.overmainview || status.overoverview) {
            setscale(status.pointer, status.scale, 1);
        } else {
            POINT picked = pickpoint(0xE003);
            setscale(picked, status.scale, 1);
        }
        maindevice->centrecursor();
        break;
    case EDITCMD_ZOOMIN:
        if (status.overmainview) {
            status.pointer = maindevice->getcursorpos();
            setscale(status.pointer, int(status.scale * ZOOMFACTOR), 1);
            maindevice->movecursor(status.pointer);
        } else if (status.overoverview && overviewdevice) {
            status.pointer = overviewdevice->getcursorpos();
            setscale(status.pointer, int(status.scale * ZOOMFACTOR), 1);
        } else {
            setscale(status.viewcentre, int(status.scale * ZOOMFACTOR), 1);
        }
        break;
    case EDITCMD_ZOOMOUT: {
        POINT kept = maindevice->getcursorpos();
        setscale(status.viewcentre, int(status.scale / ZOOMFACTOR), 1);
        if (status.overmainview)
            maindevice->movecursor(kept);
        break;
    }
    case EDITCMD_ZOOMALL:
        setscale(VOIDBOX, 1);
        break;
    case EDITCMD_ZOOMAREA: {
        BOX area;
        if (pickbox(0xE004, area))
            setscale(area, 1);
        break;
    }
    default:
        break;
    }
    return 1;
}

int APPLNEDITOR::onmousewheel(APPLNVIEWDVC* device, int delta, unsigned keys)
{
    if (device && (device == maindevice.get() || device == overviewdevice.get())) {
        docommand(delta < 1 ? EDITCMD_ZOOMOUT : EDITCMD_ZOOMIN);
        status.command = 0;
    }
    return 1;
}

void APPLNEDITOR::zoomarea(BOX& area)
{
    setscale(area, 0);
    for (APPLNVIEWDVC* device : { maindevice.get(), overviewdevice.get() })
        if (device)
            device->invalidate(VOIDBOX, REPAINT_ALL);
}

void APPLNEDITOR::pan(POINT centre, int movecursor)
{
    if (!maindevice)
        return;
    // From where the device shows, which a caller may have moved without the editor.
    POINT now = maindevice->getorigin();
    if (centre == now)
        return;
    maindevice->scroll(centre.x - now.x, centre.y - now.y);
    status.viewcentre = maindevice->getorigin();
    if (movecursor)
        maindevice->movecursor(maindevice->getcursorpos());
    if (overviewdevice) {
        overviewdevice->invalidate(VOIDBOX, REPAINT_ALL);
        UpdateWindow(overviewdevice->gethwnd());
    }
}

int APPLNEDITOR::view_flip()
{
    setscale(status.viewcentre, status.scale, 0);
    return view_redraw();
}

int APPLNEDITOR::view_redraw()
{
    BOX old = VOIDBOX;
    BOX now = VOIDBOX;
    update(old, now);
    for (APPLNVIEWDVC* device : { maindevice.get(), overviewdevice.get() })
        if (device)
            device->setbackground(getcolour(APPLNCOLOUR_BACKGROUND));
    if (status.command == EDITCMD_REDRAW || status.command == EDITCMD_UNDO) {
        cleartags();
        status.handles.zap();
    }
    redraw(maindevice.get(), DRAW_VIEW);
    if (status.command != EDITCMD_GRID)
        redraw(overviewdevice.get(), DRAW_OVERVIEW);
    return 1;
}

int APPLNEDITOR::view_origin()
{
    POINT origin = status.outputorigin;
    if (status.falseorigin) {
        if (status.overmainview && maindevice) {
            origin = maindevice->getcursorpos();
        } else if (status.overoverview && overviewdevice) {
            origin = overviewdevice->getcursorpos();
        } else if (maindevice) {
            status.falseorigin = 0;
            origin = pickpoint(0xE002);
            status.falseorigin = 1;
        }
    }
    setgrid(origin, 1);
    return 1;
}

int APPLNEDITOR::op_setorigin()
{
    POINT old = status.outputorigin;
    POINT origin = old;
    if (status.overmainview && maindevice)
        origin = maindevice->getcursorpos();
    else if (status.overoverview && overviewdevice)
        origin = overviewdevice->getcursorpos();
    else if (maindevice) {
        status.falseorigin = 0;
        origin = pickpoint(0xE007);
    }
    if (origin != old) {
        constexpr int MARK = UNITSPERINCH / 20;
        status.changeold |= BOX(old.x - MARK, old.y - MARK, old.x + MARK, old.y + MARK);
        status.changenew |= BOX(origin.x - MARK, origin.y - MARK, origin.x + MARK, origin.y + MARK);
        status.outputorigin = origin;
        refresh(1);
    }
    if (status.gridorigin == old)
        setgrid(origin, 1);
    return 1;
}

int APPLNEDITOR::op_setarea()
{
    status.changeold |= status.outputarea;
    BOX area;
    if (maindevice && pickbox(0xE005, area)) {
        status.outputarea = area;
        status.changenew |= area;
    } else {
        status.outputarea = VOIDBOX;
        error(getapplnmessage(0xE006));
    }
    refresh(0);
    return 1;
}

void APPLNEDITOR::calcsizes()
{
    RECT client {};
    GetClientRect(hwnd, &client);
    viewarea = BOX(4, 4, client.right - 4, client.bottom - 4);
}

void APPLNEDITOR::fmtcoord(POINT point, char* x, char* y, const char** units)
{
    int64_t dx = int64_t(point.x) - status.gridorigin.x;
    int64_t dy = int64_t(point.y) - status.gridorigin.y;
    if (status.metric) {
        std::snprintf(x, 32, "%+.3f", double(dx) / 100000.0);
        std::snprintf(y, 32, "%+.3f", double(dy) / 100000.0);
        *units = "mm";
    } else {
        std::snprintf(x, 32, "%+.1f", double(dx) / 2540.0);
        std::snprintf(y, 32, "%+.1f", double(dy) / 2540.0);
        *units = "th";
    }
}

void APPLNEDITOR::fmtdimension(long value, char* text, const char** units)
{
    if (status.metric) {
        std::snprintf(text, 32, "%9.3f", double(value) / 100000.0);
        *units = "mm";
    } else {
        std::snprintf(text, 32, "%9.1f", double(value) / 2540.0);
        *units = "th";
    }
}
