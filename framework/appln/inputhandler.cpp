#include "framework/appln/inputhandler.h"

#include <QAbstractEventDispatcher>

#include "core/windows/process.h"
#include "framework/appln/applnprocess.h"
#include "platform/win/dialogmessage.h"
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

int INPUTHANDLER::translate(MSG* message)
{
    if (!hookhlr(message->hwnd, message->message, message->wParam, message->lParam))
        return 1;
    if (HWND dialog = getmodelessdialog(); dialog && IsDialogMessageA(dialog, message))
        return 1;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)
        return 0;
    WPARAM key = message->wParam & 0xFF;
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU)
        return 0;
    unsigned long code = keycode(*message);
    HWND target = GetFocus();
    LRESULT answer = wantkey(code, message);
    if (!answer) {
        answer = target ? SendMessageA(target, WM_KEYQUERY, code, reinterpret_cast<LPARAM>(message)) : 0;
        HWND active = GetActiveWindow();
        if (!answer && active && active != target) {
            target = active;
            answer = SendMessageA(target, WM_KEYQUERY, code, reinterpret_cast<LPARAM>(message));
        }
    }
    if (answer == 1) {
        message->hwnd = target;
        return 0;
    }
    return answer >= 2 && answer <= 4 ? 1 : 0;
}

int INPUTHANDLER::getmessage(int wait)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return 0;
    INPUTHANDLER* previous = install(this);
    busy = 1;
    bool processed = dispatcher->processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    busy = 0;
    install(previous);
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

void INPUTHANDLER::interrupt()
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->interrupt();
}

void INPUTHANDLER::reset()
{
    leftdown = rightdown = middledown = 0;
    ctrldown = isdown(VK_CONTROL);
    shiftdown = isdown(VK_SHIFT);
    altdown = isdown(VK_MENU);
    busy = 0;
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
