#pragma once

// What the window layer asks of the GUI toolkit: native windows, painting, waiting for events,
// the real pointer and the screens. The layer keeps all window state itself and tells the
// backend what changed; the backend turns toolkit events back into messages (messagequeue.h).
// Every operation has a default for running without a toolkit, so the layer, its queue and its
// timers work in a process that has none.
// Callers: the window layer itself; platform/win/qt supplies the toolkit's backend.

#include <vector>

#include "platform/win/colour.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/monitors.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

namespace win {

class DeviceContext;
struct PopupMenuRequest;

// What changed about a window, for Backend::changed.
enum Change : unsigned {
    changegeometry = 1, // rectangle or show state (minimised, maximised)
    changevisible = 2,
    changezorder = 4,
    changeparent = 8,
    changetext = 16,
    changestyle = 32,
    changeenabled = 64,
    changemenu = 128, // menu bar set, or its items changed
};

class Backend {
public:
    virtual ~Backend() = default;

    // The queue of the backend's thread gained a message or its timers changed; the toolkit's
    // loop should call deliverqueued soon. Safe from any thread.
    virtual void wake() { }
    // Runs the toolkit's dispatcher once, waiting at most `milliseconds` (-1: no limit) for an
    // event. False when the toolkit cannot wait here; the queue then waits by itself.
    virtual bool wait(int milliseconds) { return false; }

    virtual void created(HWND window) { }
    virtual void destroyed(HWND window) { }
    virtual void changed(HWND window, unsigned changes) { }
    // The window's update area grew: paint it (win::paint) soon.
    virtual void invalidated(HWND window) { }
    // A device context over the window's client area, clipped to `clip` when given; null when the
    // window has no surface. Released with releasedc.
    virtual DeviceContext* getdc(HWND window, const RECT* clip) { return nullptr; }
    virtual void releasedc(HWND window, DeviceContext* dc) { }
    // A memory device context compatible with `like` (null: the screen); without a toolkit one
    // that only fills rectangles and reads and writes pixels.
    virtual DeviceContext* creatememorydc(DeviceContext* like);

    virtual void focused(HWND window) { }
    virtual void activated(HWND window) { }
    virtual void captured(HWND window) { }
    virtual void cursorchanged(HCURSOR cursor, bool shown) { }
    virtual void pointermoved(tagPOINT screen) { }
    // An image decoded from a module's resources (IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR), as
    // LoadImageA answers it; null without a toolkit or when there is none.
    virtual HANDLE loadimage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
    {
        return nullptr;
    }

    // Shows a popup of the tracked menu (menutracking.h). A modal popup returns when it closes; for a
    // popup of the menu bar, `next` is then the bar item to open next (-1: none, the bar stays hot
    // unless the tracking ended). False when the toolkit shows no popup menus.
    virtual bool popupmenu(const PopupMenuRequest& request, int& next) { return false; }
    // Closes the popups shown for the tracked menu.
    virtual void closepopupmenus() { }

    // The screens; without a toolkit one 1920 x 1080 screen at 96 dots per inch.
    virtual std::vector<Monitor> monitors();
    // A system metric or colour as the toolkit sees it; -1 / CLR_INVALID for the layer's default.
    virtual int metric(int index) { return -1; }
    virtual COLORREF colour(int index) { return CLR_INVALID; }
};

// Installs the backend (not owned; it must outlive its use). Null restores the default.
// The backend serves the thread that installed it; other threads' queues wait by themselves.
void setbackend(Backend* backend);
Backend& backend();
bool isbackendthread();

} // namespace win
