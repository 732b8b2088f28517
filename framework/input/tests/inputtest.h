#pragma once

// What the input tests share: synthetic mouse and key input on the demo editor's view, delivered
// or left queued for a loop to take.

#include <QTimer>
#include <vector>

#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messagequeue.h"

namespace inputtest {

// Queues a mouse message at a client point of the view.
inline void mouse(APPLNVIEWDVC& device, UINT message, tagPOINT client, WPARAM keys = 0)
{
    ClientToScreen(device.gethwnd(), &client);
    win::postmouse(message, client, keys, 0, device.gethwnd());
}

// Queues a key message (the extended bit as the keyboard sets it).
inline void key(UINT message, WPARAM virtualkey, bool extended = false)
{
    LPARAM data = 1 | (extended ? LPARAM(1) << 24 : 0) | (message == WM_KEYUP ? LPARAM(3) << 30 : 0);
    win::postkey(message, virtualkey, data, 0);
}

// One input event: a mouse message at a point, or a key (point unused).
struct EVENT {
    UINT message;
    tagPOINT at;
    WPARAM key = 0;
};

inline EVENT move(tagPOINT at)
{
    return { WM_MOUSEMOVE, at };
}
inline EVENT press(UINT message, tagPOINT at)
{
    return { message, at };
}
inline EVENT keydown(WPARAM key)
{
    return { WM_KEYDOWN, {}, key };
}
inline EVENT keyup(WPARAM key)
{
    return { WM_KEYUP, {}, key };
}

inline void queue(APPLNVIEWDVC& device, const EVENT& event)
{
    if (event.message == WM_KEYDOWN || event.message == WM_KEYUP) {
        key(event.message, event.key);
        return;
    }
    WPARAM buttons = event.message == WM_LBUTTONDOWN ? MK_LBUTTON : event.message == WM_RBUTTONDOWN ? MK_RBUTTON : 0;
    mouse(device, event.message, event.at, buttons);
}

inline void deliver()
{
    while (win::deliverqueued()) { }
}

// Should a loop under test wait for input that never comes, Escape ends it after a while.
struct WATCHDOG {
    WATCHDOG()
    {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] { key(WM_KEYDOWN, VK_ESCAPE); });
        timer.start(5000);
    }
    QTimer timer;
};

} // namespace inputtest
