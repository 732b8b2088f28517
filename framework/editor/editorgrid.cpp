// The editor's grid and snap, the painting of an area of its views (grid, sheet border, origin
// marks, output area, the drawing, the tag set and the handles) and the repaint of exactly what a
// command changed.

#include <algorithm>
#include <cstdio>

#include "core/text/format.h"
#include "framework/commands/keytranslator.h"
#include "framework/editor/applneditor.h"
#include "framework/editor/gridspacing.h"
#include "framework/appln/applnmenu.h"
#include "platform/casq/styles.h"
#include "platform/tirsk/keytext.h"
#include "platform/win/paint.h"
#include "platform/win/rc/cmdflags.h"

namespace {

constexpr long UNITSPERINCH = 2540000;
constexpr int32_t ORIGINMARK = UNITSPERINCH / 20; // half the cross of an origin mark
constexpr int32_t ORIGINRING = 88900; // the output origin's circle, the false origin's square
constexpr int32_t ORIGINZONE = UNITSPERINCH / 10; // repainted about an origin that moved

BOX around(POINT p, int32_t d)
{
    return BOX(p.x - d, p.y - d, p.x + d, p.y + d);
}

// Whether the distance between the points is a whole number of steps along both axes.
bool onsteps(POINT a, POINT b, int step)
{
    return (int64_t(a.x) - b.x) % step == 0 && (int64_t(a.y) - b.y) % step == 0;
}

} // namespace

void APPLNEDITOR::setgrid(POINT origin, int redrawn)
{
    POINT oldorigin = status.gridorigin;
    int oldmajor = status.majorgrid;
    int oldminor = status.minorgrid;
    status.gridorigin = origin;
    const int* snaps = status.metric ? gridmetric : gridimperial;
    labelsnaps(snaps);
    status.snapvalue = snaps[status.snapindex & 3];
    int step = std::max(1, status.snapvalue);
    if (maindevice)
        maindevice->setsnap(status.gridorigin, step, step, 1);
    status.hitdistance = std::max(status.snapvalue / 2, status.pickdistance);
    int threshold = int(int64_t(gridthreshold) * UNITSPERINCH / std::max(1, status.scale));
    GRIDSPACING grid = gridspacing(status.metric ? 100000000 : 254000000, status.snapvalue, threshold);
    status.majorgrid = grid.major;
    status.minorgrid = grid.minor;
    if (redrawn && maindevice && ((status.gridkind >> 4) || origin != oldorigin)) {
        if (grid.major == oldmajor && grid.minor == oldminor
            && (!grid.minor || onsteps(origin, oldorigin, grid.minor))) {
            // The same grid: only the origin marks moved.
            if (origin != oldorigin) {
                if (oldorigin != status.outputorigin)
                    status.changeold |= around(oldorigin, ORIGINZONE);
                if (origin != status.outputorigin)
                    status.changenew |= around(origin, ORIGINZONE);
            }
            refresh(0);
        } else {
            maindevice->invalidate(VOIDBOX, REPAINT_ALL);
        }
    }
    if (overviewdevice)
        overviewdevice->setsnap(status.gridorigin, UNITSPERINCH / 10, UNITSPERINCH / 10, 1);
    if (status.overmainview && maindevice)
        maindevice->setcursorpos(maindevice->getpointerpos());
    else if (status.overoverview && overviewdevice)
        overviewdevice->setcursorpos(overviewdevice->getpointerpos());
}

void APPLNEDITOR::labelsnaps(const int* snaps)
{
    APPLNMENU* bar = getmenubar();
    if (!bar)
        return;
    KEYTRANSLATOR* keys = getkeytranslator();
    for (int i = 0; i < 4; ++i) {
        unsigned id = EDITCMD_SNAP | (unsigned(i) << 12);
        char value[64];
        fmtdim(snaps[i], value);
        unsigned long key = keys ? keys->getkey(CMDCTX_SHARED, static_cast<unsigned short>(id)) : 0;
        char text[160];
        if (key)
            std::snprintf(text, sizeof text, "Snap %s\t%s", value, getkeytext(key));
        else
            std::snprintf(text, sizeof text, "Snap %s", value);
        bar->setgroupitem(EDITCMD_SNAP, i, text, id);
    }
}

int APPLNEDITOR::view_grid()
{
    status.gridkind = (((status.gridkind >> 4) + 1) % 3) << 4 | (status.gridkind & 0xF);
    return view_redraw();
}

int APPLNEDITOR::view_snap()
{
    setgrid(status.gridorigin, 1);
    return 1;
}

void APPLNEDITOR::draw_grid(POINT origin, int major, int minor, APPLNVIEWDVC* device, DRAWMODES mode)
{
    COLORREF colour = mode != DRAW_VIEW ? getcolour(APPLNCOLOUR_BACKGROUND) : gridcolour;
    switch (status.gridkind >> 4) {
    case 1:
        device->beginlayer(255, 0);
        device->grid(GRID_DOTS, origin, minor, colour);
        device->endlayer();
        break;
    case 2: {
        double brightness = device->brightness();
        device->beginlayer(int(gridalphablack * (1 - brightness) + gridalphawhite * brightness), gridcolour);
        if (major)
            device->grid(GRID_MAJORLINES, origin, major, colour);
        if (minor)
            device->grid(GRID_MINORLINES, origin, minor, colour);
        device->endlayer();
        break;
    }
    default:
        break;
    }
}

void APPLNEDITOR::draw_area(BOX area, int full, APPLNVIEWDVC* device)
{
    if (area.isvoid() || !device || status.modepending)
        return;
    device->setclipbox(area);
    device->setdrawmode(DRAWMODE_COPY);
    GSTYLE border(getcolour(APPLNCOLOUR_BORDER), PENSTYLE_SOLID);
    if (device == maindevice.get()) {
        if (full) {
            draw_grid(status.gridorigin, status.majorgrid, status.minorgrid, device, DRAW_VIEW);
            if (status.extent.isvalid())
                device->drawbox(status.extent, border);
            POINT at = status.outputorigin;
            device->drawline(POINT(at.x - ORIGINMARK, at.y), POINT(at.x + ORIGINMARK, at.y), border);
            device->drawline(POINT(at.x, at.y - ORIGINMARK), POINT(at.x, at.y + ORIGINMARK), border);
            device->drawcircle(at, ORIGINRING, border);
            if (status.gridorigin != status.outputorigin) {
                at = status.gridorigin;
                device->drawline(POINT(at.x - ORIGINMARK, at.y), POINT(at.x + ORIGINMARK, at.y), border);
                device->drawline(POINT(at.x, at.y - ORIGINMARK), POINT(at.x, at.y + ORIGINMARK), border);
                device->drawbox(around(at, ORIGINRING), border);
            }
            // The output area shaded, the drawing showing through.
            if (status.outputarea.isvalid()) {
                device->setdrawmode(DRAWMODE_COPY, 48);
                device->fillbox(status.outputarea, RGB(128, 128, 128));
                device->setdrawmode(DRAWMODE_COPY);
            }
        }
        drawcontent(area, full, device, DRAW_VIEW);
        status.tags.plot(device, DRAW_VIEW);
        int32_t half = int32_t(std::max<long>(7620000 / std::max(1, status.scale), 10160)) + 1;
        for (DRAGHANDLE* handle : status.handles) {
            COLORREF colour = getcolour(handle->flags ? APPLNCOLOUR_ACTIVEHANDLE : APPLNCOLOUR_HANDLE);
            device->fillbox(around(handle->point, half), colour);
        }
    } else if (device == overviewdevice.get()) {
        if (status.extent.isvalid())
            device->drawbox(status.extent, border);
        drawcontent(area, full, device, DRAW_OVERVIEW);
        if (maindevice)
            device->drawbox(maindevice->getvisiblearea(), GSTYLE(getcolour(APPLNCOLOUR_VIEWBOX), PENSTYLE_SOLID));
    }
    device->setclipbox(VOIDBOX);
}

void APPLNEDITOR::onrepaint(APPLNVIEWDVC* device, BOX& area)
{
    if (device && device == overviewdevice.get() && status.preview && previewhandler) {
        (this->*previewhandler)();
        return;
    }
    // The device erases what it paints, grid and marks included: whatever the pending mode, the
    // area is drawn whole. Drawing over what shows is the direct path of refresh.
    if (device && (device == maindevice.get() || device == overviewdevice.get()))
        draw_area(area, 1, device);
}

void APPLNEDITOR::redraw(APPLNVIEWDVC* device, DRAWMODES mode)
{
    if (device)
        device->invalidate(VOIDBOX, REPAINT_ALL);
}

// Where things were is repainted whole; where they are now with the grid when asked, else the
// content alone. A void box is nothing to repaint (invalidating one would repaint all).
void APPLNEDITOR::repaint(APPLNVIEWDVC* device, BOX old, BOX now, bool full)
{
    if (!device || (old.isvoid() && now.isvoid()))
        return;
    if (!device->isgdidoublebuffer()) {
        // Drawn straight on the window: the old places erased, the new ones drawn over what shows.
        int shown = device->showcursor(0);
        bool hadold = old.isvalid();
        if (hadold)
            device->clear(old);
        if (now.intersects(old)) {
            now |= old;
            old = VOIDBOX;
        }
        draw_area(old, 1, device);
        draw_area(now, full || hadold, device);
        device->enddrawing();
        device->showcursor(shown);
        return;
    }
    // The window's update area is one box: places apart are painted one after the other, so
    // that what lies between them is left alone.
    if (old.isvalid())
        device->invalidate(old, REPAINT_ALL);
    if (old.isvalid() && now.isvalid() && !now.intersects(old))
        UpdateWindow(device->gethwnd());
    if (now.isvalid())
        device->invalidate(now, full ? REPAINT_GRID : REPAINT_CONTENT);
    UpdateWindow(device->gethwnd());
}

void APPLNEDITOR::refresh(int commit)
{
    if (!hwnd || !maindevice)
        return;
    highlights.clear();
    BOX old = VOIDBOX;
    BOX now = VOIDBOX;
    update(old, now);
    int pixel = std::max(1, int(UNITSPERINCH / std::max(1, status.scale)));
    for (BOX* changed : { &old, &now })
        if (changed->isvalid())
            changed->grow(pixel);
    BOX overviewold = old;
    BOX overviewnew = now;
    old |= status.changeold;
    now |= status.changenew;
    bool found = status.changenew.isvalid();
    // Handles of an object that stops being current go; the next one's come.
    if (status.nextctxobject || (!status.ctxobject && status.handles.count)) {
        for (DRAGHANDLE* handle : status.handles)
            now |= handle->box.isvalid() ? handle->box : around(handle->point, 3 * pixel + 1);
        found = found || status.handles.count;
        status.handles.zap();
    }
    if (status.nextctxobject) {
        status.ctxobject = status.nextctxobject;
        status.nextctxobject = nullptr;
        if (!status.ctxobject->gethandles(status.handles)) {
            status.ctxobject = nullptr;
        } else {
            for (DRAGHANDLE* handle : status.handles)
                now |= handle->point;
            now.grow(3 * pixel + 1);
        }
    }
    repaint(maindevice.get(), old, now, found);
    repaint(overviewdevice.get(), overviewold, overviewnew, overviewold.isvalid());
    if (commit)
        undoframectl(3);
    status.changeold = VOIDBOX;
    status.changenew = VOIDBOX;
    maindevice->setcursorpos(maindevice->getpointerpos());
}
