#include "framework/input/shapeloops.h"

#include <cstdlib>

#include "framework/appln/applnwindow.h"
#include "framework/views/applnviewdvc.h"
#include "platform/casq/styles.h"
#include "platform/win/keys.h"

namespace {

// The two points as the view's host writes coordinates, with the units it named last.
struct COORDTEXTS {
    char x1[32] = "";
    char y1[32] = "";
    char x2[32] = "";
    char y2[32] = "";
    const char* units = "";

    COORDTEXTS(APPLNVIEWHOST* host, POINT p1, POINT p2)
    {
        host->fmtcoord(p1, x1, y1, &units);
        host->fmtcoord(p2, x2, y2, &units);
    }
};

// The status line of a shape: nothing before the first point is taken or without a view.
bool canwritestatus(APPLNWINDOW* window, APPLNVIEWDVC* device, INPUTLOOP::STATES state)
{
    return window && device && state != INPUTLOOP::IDLE;
}

// The bend of an arc from p1 to p2 follows the axis through p1 that p2 lies on; off both axes it
// keeps the one chosen last.
void updatebend(POINT p1, POINT p2, int& vertical, int& horizontal)
{
    if (p1.x != p2.x && p1.y == p2.y) {
        horizontal = 1;
        vertical = 0;
    } else if (p1.x == p2.x && p1.y != p2.y) {
        vertical = 1;
        horizontal = 0;
    } else if (p1 == p2) {
        vertical = horizontal = 0;
    }
}

// The cursor's point taken as the first point until it is set, then as the second: whether the
// shape has both and so is drawn.
bool follow(INPUTLOOP::STATES state, POINT& p1, POINT& p2, POINT at)
{
    (state == INPUTLOOP::IDLE ? p1 : p2) = at;
    return state != INPUTLOOP::IDLE;
}

// A two-point shape is done when the loop is and its points differ.
int runshape(INPUTLOOP& loop, APPLNVIEWDVC* device, INPUTLOOP::MODES mode)
{
    return loop.INPUTLOOP::run(device, mode) && loop.getp1() != loop.getp2();
}

} // namespace

int LINEINPUTLOOP::run(APPLNVIEWDVC* target, MODES how)
{
    return runshape(*this, target, how);
}

void LINEINPUTLOOP::drawcursor(POINT at, unsigned long colour)
{
    if (!follow(state, p1, p2, at))
        return;
    device->drawline(p1, p2, GSTYLE(colour, PENSTYLE_SOLID));
}

void LINEINPUTLOOP::updatestatus(APPLNWINDOW* window)
{
    INPUTLOOP::updatestatus(window);
    if (!canwritestatus(window, device, state))
        return;
    COORDTEXTS at(device->gethost(), p1, p2);
    char length[32] = "";
    device->gethost()->fmtdimension(p1.dist(p2), length, &at.units);
    window->setstatustabs("MLLLL", 46, 150, 150, 120);
    window->setstatusmsg("Line:\tP1:%12s %12s\tP2:%12s %12s\tLength:%12s %s.", at.x1, at.y1, at.x2, at.y2, length,
        at.units);
}

int BOXINPUTLOOP::run(APPLNVIEWDVC* target, MODES how)
{
    return runshape(*this, target, how);
}

void BOXINPUTLOOP::drawcursor(POINT at, unsigned long colour)
{
    if (!follow(state, p1, p2, at))
        return;
    device->drawbox(BOX(p1, p2), GSTYLE(colour, PENSTYLE_SOLID));
}

void BOXINPUTLOOP::updatestatus(APPLNWINDOW* window)
{
    INPUTLOOP::updatestatus(window);
    if (!canwritestatus(window, device, state))
        return;
    COORDTEXTS at(device->gethost(), p1, p2);
    char width[32] = "";
    char height[32] = "";
    const char* widthunits = "";
    device->gethost()->fmtdimension(std::labs(long(p1.x) - p2.x), width, &widthunits);
    device->gethost()->fmtdimension(std::labs(long(p1.y) - p2.y), height, &at.units);
    window->setstatustabs("MLLLLL", 46, 150, 150, 120, 120);
    window->setstatusmsg("Box:\tP1:%12s %12s\tP2:%12s %12s\tWidth: %12s%s\tHeight: %12s%s.", at.x1, at.y1, at.x2,
        at.y2, width, widthunits, height, at.units);
}

int CIRCLEINPUTLOOP::run(APPLNVIEWDVC* target, MODES how)
{
    return runshape(*this, target, how);
}

void CIRCLEINPUTLOOP::drawcursor(POINT at, unsigned long colour)
{
    if (!follow(state, p1, p2, at))
        return;
    device->drawcircle(p1, p2.dist(p1), GSTYLE(colour, PENSTYLE_SOLID));
}

void CIRCLEINPUTLOOP::updatestatus(APPLNWINDOW* window)
{
    INPUTLOOP::updatestatus(window);
    if (!canwritestatus(window, device, state))
        return;
    COORDTEXTS at(device->gethost(), p1, p2);
    char radius[32] = "";
    device->gethost()->fmtdimension(p2.dist(p1), radius, &at.units);
    window->setstatustabs("MLLLLL", 46, 150, 150, 120, 120);
    window->setstatusmsg(
        "Circle:\tP1:%12s %12s\tP2:%12s %12s\tRadius: %12s%s", at.x1, at.y1, at.x2, at.y2, radius, at.units);
}

int BEZIERINPUTLOOP::run(APPLNVIEWDVC* target, MODES how)
{
    return runshape(*this, target, how);
}

void BEZIERINPUTLOOP::drawcursor(POINT at, unsigned long colour)
{
    if (!follow(state, p1, p2, at))
        return;
    updatebend(p1, p2, vertical, horizontal);
    arc.setquadrant(p1, p2, horizontal);
    device->drawbezier(arc, GSTYLE(colour, PENSTYLE_SOLID));
}

void BEZIERINPUTLOOP::updatestatus(APPLNWINDOW* window)
{
    INPUTLOOP::updatestatus(window);
    if (!canwritestatus(window, device, state))
        return;
    COORDTEXTS at(device->gethost(), p1, p2);
    window->setstatustabs("MLLLL", 46, 150, 150, 150);
    window->setstatusmsg("Arc:\tP1:%12s %12s\tP2:%12s %12s", at.x1, at.y1, at.x2, at.y2);
}

void PATHINPUTLOOP::drawcursor(POINT at, unsigned long colour)
{
    if (!follow(state, p1, p2, at))
        return;
    updatebend(p1, p2, vertical, horizontal);
    GSTYLE style(colour, PENSTYLE_SOLID);
    device->drawpath(path, style);
    if (arcmode && p1 != p2) {
        lastisarc = 1;
        arc.setquadrant(p1, p2, horizontal);
        device->drawbezier(arc, style);
    } else {
        segment = LINE(p1, p2);
        lastisarc = 0;
        device->drawline(p1, p2, style);
    }
}

void PATHINPUTLOOP::updatestatus(APPLNWINDOW* window)
{
    INPUTLOOP::updatestatus(window);
    if (!canwritestatus(window, device, state))
        return;
    COORDTEXTS at(device->gethost(), p1, p2);
    window->setstatustabs("MLLL", 46, 150, 150);
    window->setstatusmsg("Path:\tP1:%12s %12s\tP2:%12s %12s", at.x1, at.y1, at.x2, at.y2);
}

template <typename CHANGE> void PATHINPUTLOOP::redrawn(CHANGE change)
{
    int shown = device ? device->showcursor(0) : 0;
    change();
    if (device)
        device->showcursor(shown);
}

int PATHINPUTLOOP::onkeydown(unsigned long key)
{
    switch (key) {
    case VK_BACK:
        // Back to where the removed segment began (an emptied path has no last point of its own).
        redrawn([this] {
            if (!path.count())
                return;
            POINT start = path.getsegments().back().shape.p1;
            path.removelast();
            p1 = path.count() ? path.last() : start;
        });
        return 1;
    case VK_CONTROL:
        redrawn([this] { arcmode = 1; });
        return 1;
    case VK_ESCAPE:
        setstate(CANCELLED);
        return 1;
    default:
        return 0;
    }
}

int PATHINPUTLOOP::onkeyup(unsigned long key)
{
    switch (key) {
    case VK_CONTROL:
        redrawn([this] { arcmode = 0; });
        return 1;
    case VK_ESCAPE:
        setstate(CANCELLED);
        return 1;
    default:
        return 0;
    }
}

void PATHINPUTLOOP::onstatechange(STATES from, STATES to)
{
    if (to == FIRST)
        p1 = cursorpos;
    if (to != SECOND)
        return;
    p2 = cursorpos;
    if (lastisarc)
        path.add(arc);
    else if (p1 != p2)
        path.add(LINE(p1, p2));
    if (path.isclosed()) {
        path.validate();
        state = DONE;
        return;
    }
    // The next segment starts where this one ended.
    p1 = p2;
    vertical = horizontal = lastisarc = 0;
    state = TRACKING;
}

int SELECTIONINPUTLOOP::run(APPLNVIEWDVC* target, const char* name, MODES how)
{
    if (how == LEFTDRAG || how == RIGHTDRAG)
        cursorname = name;
    else if (target)
        target->setcursortype(name, 1);
    HCURSORMODES highlight = target ? target->sethcursor(HCURSOR_NONE) : HCURSOR_NONE;
    begin(target, how);
    loop();
    end();
    int done = state == DONE && p1 != p2;
    if (target) {
        target->setcursortype(nullptr, 0);
        target->sethcursor(highlight);
    }
    return done;
}

// A dotted frame inverting what lies beneath, drawn (like every rubber band) on the view's overlay
// by exclusive-or, as a focus rectangle is.
void SELECTIONINPUTLOOP::drawcursor(POINT at, unsigned long colour)
{
    if (!follow(state, p1, p2, at))
        return;
    if (p1 == p2)
        return;
    GSTYLE style(0xFFFFFF, PENSTYLE_SOLID);
    style.setpenstyle(PENSTYLE_DOT, 0);
    device->drawbox(BOX(p1, p2), style);
}

void SELECTIONINPUTLOOP::onmovecursor(POINT from, POINT to)
{
    if (cursorname && from != to && device)
        device->setcursortype(cursorname, 1);
    BOXINPUTLOOP::onmovecursor(from, to);
}
