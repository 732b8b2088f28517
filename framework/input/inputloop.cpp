#include "framework/input/inputloop.h"

#include <QAbstractEventDispatcher>

#include "framework/appln/applnprocess.h"
#include "platform/win/rc/cmdflags.h"
#include "framework/commands/keytranslator.h"
#include "framework/views/applnviewdvc.h"
#include "platform/win/keys.h"
#include "platform/win/window.h"

namespace {

bool leftmode(INPUTLOOP::MODES mode)
{
    return mode % 2 == 0;
}

} // namespace

long INPUTLOOP::wantkey(unsigned long key, MSG* message)
{
    KEYTRANSLATOR* translator = getapplnkeytranslator();
    if (translator && device && translator->translate_and_dispatch(device->gethwnd(), CMDCTX_INPUTLOOP, key, message))
        return 4;
    return 1;
}

void INPUTLOOP::setstate(STATES to)
{
    STATES from = state;
    state = to;
    if (to != from)
        onstatechange(from, to);
}

void INPUTLOOP::onstatechange(STATES from, STATES to)
{
    if (to == FIRST)
        p1 = cursorpos;
    if (to == SECOND) {
        p2 = cursorpos;
        state = DONE;
    }
}

void INPUTLOOP::onmovecursor(POINT from, POINT to)
{
    (state == IDLE ? p1 : p2) = to;
}

int INPUTLOOP::onlbuttondown()
{
    if (!leftmode(mode))
        setstate(CANCELLED);
    else if (state == IDLE)
        setstate(mode == LEFTDRAG ? TRACKING : FIRST);
    else if (state == TRACKING)
        setstate(SECOND);
    return 1;
}

int INPUTLOOP::onlbuttonup()
{
    if (mode == LEFTDRAG ? state == TRACKING : leftmode(mode) && state == FIRST)
        setstate(mode == LEFTDRAG ? SECOND : TRACKING);
    return 1;
}

int INPUTLOOP::onrbuttondown()
{
    if (leftmode(mode))
        setstate(CANCELLED);
    else if (state == IDLE) {
        p1 = cursorpos;
        setstate(mode == RIGHTDRAG ? TRACKING : FIRST);
    } else if (state == TRACKING) {
        p2 = cursorpos;
        setstate(SECOND);
    }
    return 1;
}

int INPUTLOOP::onrbuttonup()
{
    if (mode == RIGHTDRAG ? state == TRACKING : !leftmode(mode) && state == FIRST)
        setstate(mode == RIGHTDRAG ? SECOND : TRACKING);
    return 1;
}

int INPUTLOOP::onkeydown(unsigned long key)
{
    if (key != VK_ESCAPE)
        return 0;
    setstate(CANCELLED);
    return 1;
}

int INPUTLOOP::run(APPLNVIEWDVC* target, MODES how)
{
    begin(target, how);
    loop();
    end();
    return state == DONE ? 1 : 0;
}

void INPUTLOOP::begin(APPLNVIEWDVC* target, MODES how)
{
    mode = how;
    attach(target);
    if (!device)
        return;
    savedvisibility = device->showcursor(1);
    device->constrain();
    switch (mode) {
    case LEFTCLICK:
        onlbuttondown();
        onlbuttonup();
        break;
    case RIGHTCLICK:
        onrbuttondown();
        onrbuttonup();
        break;
    case LEFTCLICKS:
    case LEFTDRAG:
        if (leftdown)
            onlbuttondown();
        break;
    case RIGHTCLICKS:
    case RIGHTDRAG:
        if (rightdown)
            onrbuttondown();
        break;
    }
}

bool INPUTLOOP::canpump() const
{
    APPLNPROCESS* process = getapplnprocess();
    return QAbstractEventDispatcher::instance() && device && IsWindow(device->gethwnd())
        && !(process && process->isquitpending());
}

void INPUTLOOP::loop()
{
    while (state != DONE && state != CANCELLED) {
        if (!canpump()) {
            setstate(CANCELLED);
            break;
        }
        getmessage(1);
    }
}

void INPUTLOOP::end()
{
    if (device) {
        device->release();
        device->showcursor(savedvisibility);
    }
    detach();
}
