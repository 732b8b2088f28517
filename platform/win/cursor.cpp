// The pointer's logical position, its confinement and its shape.

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/win/backend.h"
#include "platform/win/devicecontext.h"
#include "platform/win/images.h"
#include "platform/win/input.h"
#include "platform/win/monitors.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

struct Pointer {
    std::mutex mutex;
    tagPOINT position { 0, 0 };
    bool clipped = false;
    RECT clip {};
    HCURSOR shape = nullptr;
    int showcount = 0;
};

Pointer& pointer()
{
    static Pointer* instance = new Pointer;
    return *instance;
}

tagPOINT confine(const Pointer& p, tagPOINT point)
{
    if (!p.clipped) {
        return point;
    }
    point.x = std::clamp(point.x, p.clip.left, std::max(p.clip.left, p.clip.right - 1));
    point.y = std::clamp(point.y, p.clip.top, std::max(p.clip.top, p.clip.bottom - 1));
    return point;
}

RECT virtualscreen()
{
    RECT all {};
    for (const auto& monitor : monitors()) {
        all = unite(all, monitor.area);
    }
    return all;
}

} // namespace

namespace win {

// The toolkit reports where the pointer is; the confinement applies to what the layer answers.
void setpointer(tagPOINT screen)
{
    auto& p = pointer();
    std::lock_guard lock(p.mutex);
    p.position = confine(p, screen);
}

} // namespace win

BOOL GetCursorPos(tagPOINT* point)
{
    if (!point) {
        return FALSE;
    }
    auto& p = pointer();
    std::lock_guard lock(p.mutex);
    *point = p.position;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    tagPOINT moved;
    {
        auto& p = pointer();
        std::lock_guard lock(p.mutex);
        p.position = confine(p, tagPOINT { x, y });
        moved = p.position;
    }
    backend().pointermoved(moved);
    return TRUE;
}

BOOL ClipCursor(const RECT* rect)
{
    auto& p = pointer();
    std::lock_guard lock(p.mutex);
    p.clipped = rect != nullptr;
    if (rect) {
        p.clip = *rect;
        p.position = confine(p, p.position);
    }
    return TRUE;
}

BOOL GetClipCursor(RECT* rect)
{
    if (!rect) {
        return FALSE;
    }
    auto& p = pointer();
    std::lock_guard lock(p.mutex);
    *rect = p.clipped ? p.clip : virtualscreen();
    return TRUE;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (!name) {
        return nullptr;
    }
    if (HCURSOR system = reinterpret_cast<HCURSOR>(const_cast<char*>(name)); systemcursorid(system)) {
        return system;
    }
    return static_cast<HCURSOR>(backend().loadimage(instance, name, IMAGE_CURSOR, 0, 0, 0));
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR old;
    bool shown;
    {
        auto& p = pointer();
        std::lock_guard lock(p.mutex);
        old = p.shape;
        p.shape = cursor;
        shown = p.showcount >= 0;
    }
    if (old != cursor) {
        backend().cursorchanged(cursor, shown);
    }
    return old;
}

HCURSOR GetCursor()
{
    auto& p = pointer();
    std::lock_guard lock(p.mutex);
    return p.shape;
}

int ShowCursor(BOOL show)
{
    int count;
    HCURSOR shape;
    {
        auto& p = pointer();
        std::lock_guard lock(p.mutex);
        p.showcount += show ? 1 : -1;
        count = p.showcount;
        shape = p.shape;
    }
    if (count == 0 || count == -1) {
        backend().cursorchanged(shape, count >= 0);
    }
    return count;
}

BOOL DestroyCursor(HCURSOR cursor)
{
    if (systemcursorid(cursor)) {
        return TRUE;
    }
    return DestroyIcon(cursor);
}
