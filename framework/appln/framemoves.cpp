// Windows changing frames: a frame dragged over another and dropped there hands it all its
// windows; a tab dragged out of its frame, or double-clicked, moves its window to the frame under
// the pointer or to a new frame.

#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/context/windowmessages.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

// The gap between a frame and the frame torn off it, each side of the work area's middle.
constexpr int splitgap = 2;

bool isframeof(APPLNPROCESS* process, APPLNFRAME* frame)
{
    for (int i = 0; process && frame && i < process->numframes(); ++i)
        if (process->getframe(i) == frame)
            return true;
    return false;
}

bool contains(HWND window, tagPOINT point)
{
    RECT area {};
    return GetWindowRect(window, &area) && PtInRect(&area, point);
}

void placebox(HWND window, int left, int top, int right, int bottom)
{
    MoveWindow(window, left, top, right - left, bottom - top, TRUE);
}

} // namespace

void APPLNFRAME::onwindowposchanged(const WINDOWPOS* position)
{
    draggingover = 0;
    if (!position)
        return;
    if (!(position->flags & SWP_NOSIZE)) {
        onresize();
        return;
    }
    if ((position->flags & SWP_NOMOVE) || !active)
        return;
    tagPOINT pointer {};
    GetCursorPos(&pointer);
    for (int i = 0; process && i < process->numframes(); ++i) {
        APPLNFRAME* other = process->getframe(i);
        if (other == this || !contains(other->hwnd, pointer))
            continue;
        draggingover = 1;
        if (!isframeof(process, dropframe) || position->hwndInsertAfter == other->hwnd)
            dropframe = other;
    }
    active->onreposition();
}

void APPLNFRAME::onexitsizemove()
{
    if (draggingover && isframeof(process, dropframe) && framesaway.find(dropframe) >= 0) {
        SetActiveWindow(dropframe->hwnd);
        movingwindows = windows;
        tagPOINT pointer {};
        GetCursorPos(&pointer);
        while (movingwindows.count) {
            const int before = movingwindows.count;
            SendMessageA(hwnd, WM_MOVEWINDOWTOFRAME, 0,
                MAKELPARAM(static_cast<WORD>(pointer.x), static_cast<WORD>(pointer.y)));
            if (movingwindows.count == before)
                movingwindows.remove(0);
        }
    }
    framesaway.count = 0;
    dropframe = nullptr;
}

void APPLNFRAME::movewindow(int index, tagPOINT point)
{
    APPLNWINDOW* window = movingwindows.inbounds(index) ? movingwindows.remove(index) : windows.ptr(index);
    if (!window || !process)
        return;
    APPLNFRAME* target = nullptr;
    for (int i = 0; i < process->numframes() && !target; ++i)
        if (APPLNFRAME* other = process->getframe(i); other != this && contains(other->hwnd, point))
            target = other;
    const bool tornoff = !target && contains(hwnd, point);
    if (tornoff && windows.count == 1)
        return;
    HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (!target)
        target = process->createnewframe(monitor);
    if (!target)
        return;
    window->setparent(target);
    target->loadwindow(window);
    if (tornoff) {
        const RECT area = getdefaultwindowarea(monitor, 1);
        const int middle = (area.left + area.right) / 2;
        if (IsIconic(hwnd) || IsZoomed(hwnd))
            ShowWindow(hwnd, SW_RESTORE);
        placebox(hwnd, area.left, area.top, middle - splitgap, area.bottom);
        placebox(target->hwnd, middle + splitgap, area.top, area.right, area.bottom);
    } else if (target->numwindows() == 1) {
        target->restorewindowplacement(monitor);
    }
    window->onframechanged();
    ShowWindow(target->hwnd, SW_SHOW);
    if (!movingwindows.count)
        process->saveworkspace();
}
