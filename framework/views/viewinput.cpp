// The input handler's side that works on the view it is attached to, beside the view device:
// attaching, the device's window messages, the process filter's key routing, and the reset from
// what the view shows.

#include "core/windows/process.h"
#include "framework/appln/inputhandler.h"
#include "framework/views/applnviewdvc.h"
#include "platform/win/dialogmessage.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"

namespace {

bool isdown(int virtualkey)
{
    return (GetKeyState(virtualkey) & 0x8000) != 0;
}

bool ismodifier(WPARAM key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

} // namespace

INPUTHANDLER::~INPUTHANDLER()
{
    if (device)
        device->setinputhandler(previous);
}

void INPUTHANDLER::attach(APPLNVIEWDVC* target)
{
    detach();
    if (target) {
        device = target;
        previous = target->setinputhandler(this);
        UpdateWindow(target->gethwnd());
    }
    reset();
}

void INPUTHANDLER::detach()
{
    if (!device)
        return;
    device->setinputhandler(previous);
    device = nullptr;
    previous = nullptr;
}

int INPUTHANDLER::translate(MSG* message)
{
    if (!hookhlr(message->hwnd, message->message, message->wParam, message->lParam))
        return 1;
    if (HWND dialog = getmodelessdialog(); dialog && IsDialogMessageA(dialog, message))
        return 1;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)
        return 0;
    if (ismodifier(message->wParam & 0xFF))
        return 0;
    unsigned long code = keycode(*message);
    HWND target = nullptr;
    LRESULT answer = 0;
    if (device) {
        target = device->gethwnd();
        answer = wantkey(code, message);
    }
    if (!answer) {
        target = GetFocus();
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

bool INPUTHANDLER::modifierdown(WPARAM key)
{
    int& flag = key == VK_SHIFT ? shiftdown : key == VK_CONTROL ? ctrldown : altdown;
    if (flag)
        return false;
    flag = 1;
    return true;
}

void INPUTHANDLER::notifymoves()
{
    POINT pointer = device->getpointerpos();
    if (pointer != pointerpos || statusrefresh) {
        POINT old = pointerpos;
        pointerpos = pointer;
        onmovepointer(old, pointer);
    }
    // The pointer's handler may have detached this handler from its device.
    POINT cursor = device ? device->getcursorpos() : cursorpos;
    if (cursor != cursorpos || statusrefresh) {
        POINT old = cursorpos;
        cursorpos = cursor;
        onmovecursor(old, cursor);
    }
}

long INPUTHANDLER::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    msgresult = 0;
    APPLNVIEWDVC* target = device;
    int taken = 0;
    switch (message) {
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
        statusrefresh = 0;
        target->defhlr(window, message, wParam, lParam);
        if (device)
            notifymoves();
        return 1;
    case WM_KEYDOWN:
        if (ismodifier(wParam) && !modifierdown(wParam))
            break; // an auto-repeat
        taken = onkeydown(wParam);
        break;
    case WM_KEYUP:
        if (wParam == VK_SHIFT)
            shiftdown = 0;
        else if (wParam == VK_CONTROL)
            ctrldown = 0;
        else if (wParam == VK_MENU)
            altdown = 0;
        taken = onkeyup(wParam);
        break;
    case WM_COMMAND:
        taken = oncommand(static_cast<unsigned short>(wParam));
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        leftdown = 1;
        taken = onlbuttondown();
        interrupt();
        break;
    case WM_LBUTTONUP:
        leftdown = 0;
        taken = onlbuttonup();
        interrupt();
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        rightdown = 1;
        taken = onrbuttondown();
        interrupt();
        break;
    case WM_RBUTTONUP:
        rightdown = 0;
        taken = onrbuttonup();
        interrupt();
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        middledown = 1;
        taken = onmbuttondown();
        interrupt();
        break;
    case WM_MBUTTONUP:
        middledown = 0;
        taken = onmbuttonup();
        interrupt();
        break;
    default:
        break;
    }
    if (taken)
        return msgresult;
    return target->defhlr(window, message, wParam, lParam);
}

int INPUTHANDLER::snapfunc(unsigned short* snapped, POINT* points, unsigned long* shape)
{
    return device ? device->gethost()->snapfunc(device, snapped, points, shape) : 0;
}

// Over its device the handler takes the buttons (the Enter key counting as the left one) and the
// positions the device shows, and says so to its move handlers; elsewhere nothing is down.
void INPUTHANDLER::reset()
{
    if (device && device->ismouseover()) {
        leftdown = isdown(VK_LBUTTON) || isdown(VK_RETURN);
        rightdown = isdown(VK_RBUTTON);
        middledown = isdown(VK_MBUTTON);
        pointerpos = device->getpointerpos();
        cursorpos = device->getcursorpos();
        onmovepointer(pointerpos, pointerpos);
        onmovecursor(cursorpos, cursorpos);
    } else {
        leftdown = rightdown = middledown = 0;
        pointerpos = cursorpos = POINT();
    }
    ctrldown = isdown(VK_CONTROL);
    shiftdown = isdown(VK_SHIFT);
    altdown = isdown(VK_MENU);
    busy = 0;
}
