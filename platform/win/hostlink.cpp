#include "platform/win/hostlink.h"

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

#include <functional>
#include <unistd.h>

DWORD GetWindowThreadProcessId(HWND window, DWORD* process)
{
    win::WindowRef ref = win::windowref(window);
    if (!ref)
        return 0;
    if (process)
        *process = GetCurrentProcessId();
    auto thread = static_cast<DWORD>(std::hash<std::thread::id> {}(ref->queue->thread));
    return thread ? thread : 1;
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(getpid());
}

const HOSTLINK* win_hostlink()
{
    static const HOSTLINK link { sizeof(HOSTLINK), SendMessageA, IsWindow, GetForegroundWindow,
        GetAsyncKeyState, GetAncestor, GetWindowThreadProcessId };
    return &link;
}
