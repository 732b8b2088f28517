#include "framework/editor/dragloops.h"

#include "framework/bars/orntbar.h"
#include "framework/commands/keytranslator.h"
#include "framework/views/applnviewdvc.h"
#include "platform/win/input.h"
#include "platform/win/rc/cmdflags.h"

namespace {

// The orientation bar's commands, which its keys (in its command context) run too.
constexpr unsigned short ORNT_TURNLEFT = 0x114;
constexpr unsigned short ORNT_TURNRIGHT = 0x115;
constexpr unsigned short ORNT_MIRRORX = 0x116;
constexpr unsigned short ORNT_MIRRORY = 0x117;
constexpr unsigned short ORNT_TURNHALF = 0x119;
constexpr unsigned short ORNT_CONTEXT = 0x120;

// Runs the change with the view's cursor (and so the ghost) hidden, drawn anew afterwards.
template <typename CHANGE> void hidden(APPLNVIEWDVC* device, CHANGE change)
{
    int shown = device ? device->showcursor(0) : 0;
    change();
    if (device)
        device->showcursor(shown);
}

} // namespace

DRAGOBJECTLOOP::DRAGOBJECTLOOP(APPLNVIEWHOST* viewhost, ORNTBAR* orntbar)
    : host(viewhost)
    , bar(orntbar)
{
}

int DRAGOBJECTLOOP::run(APPLNVIEWDVC* target, IDRAGOBJECT* dragged, void* callercontext, MODES how)
{
    if (!dragged || !target)
        return DRAG_UNMOVED;
    object = dragged;
    context = callercontext;
    origin = CTS(target->getcursorpos(), bar ? bar->rot() : 0, bar ? bar->mir() : 0);
    accumulated = ZEROCTS;
    mapcts = CTS(initoffset);
    changed = 0;
    transformmode = object->drag(DRAG_START, origin, context, target);
    host->setmodal(1);
    if (cursorname)
        target->setcursortype(cursorname, 1);
    else
        ShowCursor(FALSE);
    begin(target, how);
    loop();
    end();
    int result = DRAG_CLICK;
    if (state == CANCELLED)
        result = DRAG_CANCELLED;
    else if (mapcts.offset() != POINT() || mapcts.angle || mapcts.mirror_word)
        result = DRAG_MOVED;
    else if (changed)
        result = DRAG_UNMOVED;
    if (cursorname)
        target->setcursortype(nullptr, 0);
    else
        ShowCursor(TRUE);
    if (!object->drag(DRAGCODES(result), mapcts, context, target) && result == DRAG_MOVED)
        result = DRAG_CANCELLED;
    host->setmodal(0);
    return result;
}

long DRAGOBJECTLOOP::wantkey(unsigned long key, MSG* message)
{
    KEYTRANSLATOR* translator = getapplnkeytranslator();
    if (translator && device) {
        for (unsigned short keycontext : { ORNT_CONTEXT, CMDCTX_INPUTLOOP })
            if (translator->translate_and_dispatch(device->gethwnd(), keycontext, key, message))
                return 4;
    }
    return INPUTLOOP::wantkey(key, message);
}

void DRAGOBJECTLOOP::drawcursor(POINT at, unsigned long colour)
{
    object->drag(DRAG_DRAW, mapcts, context, device);
}

void DRAGOBJECTLOOP::onmovecursor(POINT from, POINT to)
{
    INPUTLOOP::onmovecursor(from, to);
    if (state == IDLE)
        return;
    hidden(device, [this] {
        POINT moved = initoffset + p2 - p1;
        accumulated.x = moved.x;
        accumulated.y = moved.y;
        POINT pivot = origin.offset();
        // Turned a quarter, an object about an off-grid centre would land off the grid.
        if (accumulated.angle % 1800) {
            int stepx = 0;
            int stepy = 0;
            device->getsnap(stepx, stepy);
            pivot.snap(stepx, stepy);
        }
        if (transformmode) {
            // Turned about the pivot, then moved.
            mapcts = CTS(POINT() - pivot);
            mapcts *= accumulated;
            mapcts.x = clampcoord(int64_t(mapcts.x) + pivot.x);
            mapcts.y = clampcoord(int64_t(mapcts.y) + pivot.y);
        } else {
            mapcts = CTS(moved);
        }
        changed |= p1 != p2;
    });
}

int DRAGOBJECTLOOP::oncommand(unsigned short id)
{
    switch (id) {
    case ORNT_TURNLEFT:
    case ORNT_TURNRIGHT:
    case ORNT_MIRRORX:
    case ORNT_MIRRORY:
    case ORNT_TURNHALF:
        break;
    default:
        return 0;
    }
    if (!bar)
        return 1;
    hidden(device, [&] {
        if (id == ORNT_TURNLEFT)
            accumulated.angle = int16_t((accumulated.angle + 900) % 3600);
        else if (id == ORNT_TURNRIGHT)
            accumulated.angle = int16_t((accumulated.angle - 900) % 3600);
        else if (id == ORNT_TURNHALF)
            accumulated.angle = int16_t((accumulated.angle + 1800) % 3600);
        else
            accumulated.mirror(id == ORNT_MIRRORX ? 1 : 2);
        bar->setornt(origin * accumulated);
        changed = 1;
        onmovecursor(cursorpos, cursorpos);
    });
    return 1;
}

int DRAGHANDLELOOP::run(APPLNVIEWDVC* target, IHANDLEOBJECT* resized, DRAGHANDLE& handle)
{
    if (!target || !resized)
        return 0;
    object = resized;
    start = handle;
    current = handle;
    HCURSORMODES highlight = target->sethcursor(HCURSOR_NONE);
    ShowCursor(FALSE);
    if (INPUTLOOP::run(target, LEFTDRAG)) {
        object->resize(&current);
        object->map(ZEROCTS);
    }
    ShowCursor(TRUE);
    target->sethcursor(highlight);
    return state == DONE;
}

void DRAGHANDLELOOP::drawcursor(POINT at, unsigned long colour)
{
    object->resize(&current);
    object->plot(device, DRAW_DRAG);
    object->resize(&start);
}

void DRAGHANDLELOOP::onmovecursor(POINT from, POINT to)
{
    hidden(device, [&] {
        POINT step = to - from;
        current.point += step;
        current.box.x1 = clampcoord(int64_t(current.box.x1) + step.x);
        current.box.y1 = clampcoord(int64_t(current.box.y1) + step.y);
        current.box.x2 = clampcoord(int64_t(current.box.x2) + step.x);
        current.box.y2 = clampcoord(int64_t(current.box.y2) + step.y);
    });
}
