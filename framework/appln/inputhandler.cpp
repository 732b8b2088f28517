#include "framework/appln/inputhandler.h"

#include <QAbstractEventDispatcher>

#include "framework/appln/applnprocess.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"

namespace {

bool isdown(int virtualkey)
{
    return (GetKeyState(virtualkey) & 0x8000) != 0;
}

INPUTHANDLER* install(INPUTHANDLER* handler)
{
    APPLNPROCESS* process = getapplnprocess();
    return process ? process->setinputhandler(handler) : nullptr;
}

} // namespace

unsigned long INPUTHANDLER::keycode(const MSG& message)
{
    unsigned long code = message.wParam & 0xFF;
    if (isdown(VK_SHIFT))
        code |= 0x11000;
    if (isdown(VK_CONTROL))
        code |= 0x22000;
    if (isdown(VK_MENU))
        code |= 0x44000;
    unsigned long key = message.wParam & 0xFF;
    bool extended = (message.lParam >> 24) & 1;
    bool alwaysextended
        = (key >= VK_PRIOR && key <= VK_PRIOR + 7) || key == VK_INSERT || key == VK_INSERT + 1;
    if ((extended || alwaysextended) && key != VK_RETURN)
        code |= 0x100;
    return code;
}

int INPUTHANDLER::getmessage(int wait)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return 0;
    INPUTHANDLER* outer = install(this);
    busy = 1;
    bool processed = dispatcher->processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    busy = 0;
    install(outer);
    return processed ? 1 : 0;
}

int INPUTHANDLER::getmessage(int wait, unsigned first, unsigned last)
{
    MSG message;
    BOOL got = wait ? GetMessageA(&message, nullptr, first, last)
                    : PeekMessageA(&message, nullptr, first, last, PM_REMOVE);
    if (got > 0 && !translate(&message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got;
}

void INPUTHANDLER::waitpress()
{
    reset();
    while (!leftdown && !rightdown && getmessage(1)) { }
}

void INPUTHANDLER::waitrelease()
{
    reset();
    while ((leftdown || rightdown) && getmessage(1)) { }
}

void INPUTHANDLER::interrupt()
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->interrupt();
}

int INPUTHANDLER::ismessagepending()
{
    return win::hasqueued() ? 1 : 0;
}

unsigned INPUTHANDLER::getshiftkeys() const
{
    return (shiftdown ? 0x1000u : 0) | (ctrldown ? 0x2000u : 0) | (altdown ? 0x4000u : 0);
}

unsigned INPUTHANDLER::getshiftkeysasync()
{
    return (isdown(VK_SHIFT) ? 0x1000u : 0) | (isdown(VK_CONTROL) ? 0x2000u : 0)
        | (isdown(VK_MENU) ? 0x4000u : 0);
}
