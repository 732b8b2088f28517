#include "framework/appln/applnprocess.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

APPLNFRAME* APPLNPROCESS::createnewframe(HMONITOR monitor)
{
    auto* frame = new APPLNFRAME(this, cmdtable, keytranslator);
    frame->setglobalmenu(applnmenu.get());
    if (!frame->createwindow(monitor)) {
        delete frame;
        return nullptr;
    }
    addframe(frame);
    return frame;
}

void APPLNPROCESS::addframe(APPLNFRAME* frame)
{
    if (frame && frames.find(frame) < 0)
        frames.add(frame);
}

void APPLNPROCESS::removeframe(APPLNFRAME* frame)
{
    int index = frames.find(frame);
    if (index < 0)
        return;
    HMONITOR monitor = frame->hwnd ? MonitorFromWindow(frame->hwnd, MONITOR_DEFAULTTONEAREST) : nullptr;
    frames.remove(index);
    if (frametoclose == frame)
        frametoclose = nullptr;
    delete frame;
    if (monitor && numframesonmonitor(monitor) == 1) {
        for (APPLNFRAME* other : frames) {
            if (MonitorFromWindow(other->hwnd, MONITOR_DEFAULTTONEAREST) != monitor)
                continue;
            RECT area = APPLNFRAME::getdefaultwindowarea(monitor, 0);
            MoveWindow(
                other->hwnd, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
        }
    }
    closepending = 1;
    for (APPLNFRAME* other : frames)
        SetTimer(other->hwnd, FRAMETIMER_WORKSPACE, 5000, nullptr);
    if (!frames.count)
        quitpending = 1;
}

APPLNFRAME* APPLNPROCESS::getactiveframe() const
{
    HWND top = GetActiveWindow();
    for (HWND up = top; up; up = GetParent(up))
        top = up;
    for (APPLNFRAME* frame : frames)
        if (top && frame->hwnd == top)
            return frame;
    return frames.ptr(0);
}

APPLNWINDOW* APPLNPROCESS::getactivewindow() const
{
    APPLNFRAME* frame = getactiveframe();
    return frame ? frame->getactivewindow() : nullptr;
}

APPLNMODULE* APPLNPROCESS::getactivemodule() const
{
    APPLNWINDOW* window = getactivewindow();
    return window ? window->getparentmodule() : nullptr;
}

int APPLNPROCESS::numframesonmonitor(HMONITOR monitor) const
{
    int count = 0;
    for (APPLNFRAME* frame : frames)
        if (MonitorFromWindow(frame->hwnd, MONITOR_DEFAULTTONEAREST) == monitor)
            ++count;
    return count;
}

int APPLNPROCESS::queryclose(APPLNFRAME* frame)
{
    if (frame && frames.count > 1)
        return frame->queryclose();
    for (APPLNFRAME* each : frames)
        if (!each->queryclose())
            return 0;
    return 1;
}

int APPLNPROCESS::closeframe(APPLNFRAME* frame)
{
    return frame ? frame->close(0) : 0;
}

void APPLNPROCESS::quit(int force)
{
    if (!force && !queryclose())
        return;
    while (frames.count) {
        int before = frames.count;
        frames.ptr(0)->close(1);
        // A frame that stays listed after a forced close is taken out here, so the loop ends.
        if (frames.count == before)
            removeframe(frames.ptr(0));
    }
}

void APPLNPROCESS::updateframecaptions()
{
    for (APPLNFRAME* frame : frames)
        frame->updatecaption();
}

void APPLNPROCESS::broadcastmessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (APPLNFRAME* frame : frames)
        for (int i = 0; i < frame->numwindows(); ++i)
            PostMessageA(frame->getwindow(i)->hwnd, message, wParam, lParam);
}
