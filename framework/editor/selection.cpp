#include "framework/editor/selection.h"

#include "framework/context/applncontext.h"
#include "framework/views/applnviewdvc.h"
#include "platform/casq/styles.h"

namespace {

// System cursors of the handles.
constexpr long SIZENWSE = 32642;
constexpr long SIZENESW = 32643;
constexpr long SIZEWE = 32644;
constexpr long SIZENS = 32645;

} // namespace

SELECTION::SELECTION(const BOX& box)
    : area(box)
{
}

SELECTION& SELECTION::operator=(const SELECTION& other)
{
    if (this == &other)
        return *this;
    reset();
    area = other.area;
    single = other.single;
    objects = other.objects;
    return *this;
}

void SELECTION::addobject(APPLNOBJECT* object)
{
    objects.add(object);
    single = objects.count == 1 ? object : nullptr;
}

void SELECTION::removeobject(APPLNOBJECT* object)
{
    objects.remove(object);
    single = objects.count == 1 ? objects.ptr(0) : nullptr;
}

void SELECTION::reset()
{
    area = VOIDBOX;
    transform = ZEROCTS;
    empty();
}

void SELECTION::empty()
{
    objects.count = 0;
    single = nullptr;
}

void SELECTION::setarea(const BOX& box)
{
    area = box;
    transform = CTS(box.centre());
}

void SELECTION::update(BOX& old, BOX& now)
{
    if (!objects.count)
        area = VOIDBOX;
    if (area == shown)
        return;
    old |= shown;
    now |= area;
    shown = area;
}

int SELECTION::editcmd(EDITCMDINFO& info, APPLNVIEWDVC* device)
{
    return device->gethost()->oneditsel(info, this);
}

int SELECTION::uistate(unsigned short id, EDITCMDINFO& info, UISTATE& state)
{
    int decided = 0;
    for (APPLNOBJECT* object : objects)
        decided |= object->uistate(id, state) ? 1 : 0;
    return decided;
}

TESTCODES SELECTION::test(POINT point, int* tolerance)
{
    if (!area.contains(point))
        return TEST_MISS;
    if (tolerance)
        *tolerance = 0;
    return TEST_HIT;
}

int SELECTION::getornt(CTS* cts)
{
    if (single)
        return single->getornt(cts);
    if (!isboxed())
        return 0;
    int turns = 1;
    for (APPLNOBJECT* object : objects)
        turns &= object->getornt(cts) ? 1 : 0;
    if (cts)
        *cts = transform;
    return turns;
}

int SELECTION::drag(DRAGCODES code, CTS& cts, void* context, APPLNVIEWDVC* device)
{
    switch (code) {
    case DRAG_START:
        return getornt(&cts);
    case DRAG_DRAW:
        map(cts);
        plot(device, DRAW_DRAG);
        for (APPLNOBJECT* object : objects)
            object->plot(device, DRAW_DRAG);
        map(cts.inverse());
        return 1;
    case DRAG_MOVED: {
        map(cts);
        int placed = checkplacement(0);
        map(cts.inverse());
        return placed;
    }
    default:
        return 0;
    }
}

int SELECTION::checkplacement(int final)
{
    for (APPLNOBJECT* object : objects)
        if (!object->checkplacement(0))
            return 0;
    if (final)
        for (APPLNOBJECT* object : objects)
            object->checkplacement(1);
    return 1;
}

int SELECTION::gethandles(GDPA<DRAGHANDLE>& list)
{
    if (!isboxed())
        return 0;
    int32_t w = int32_t(area.width());
    int32_t h = int32_t(area.height());
    struct PLACE {
        long cursor;
        int32_t dx, dy;
    };
    const PLACE places[8] = { { SIZENESW, 0, 0 }, { SIZENWSE, w, 0 }, { SIZENESW, w, h }, { SIZENWSE, 0, h },
        { SIZENS, w / 2, 0 }, { SIZENS, w / 2, h }, { SIZEWE, 0, h / 2 }, { SIZEWE, w, h / 2 } };
    for (int id = 0; id < 8; ++id) {
        auto* handle = new DRAGHANDLE;
        handle->id = id;
        handle->cursor = places[id].cursor;
        handle->point = POINT(area.x1 + places[id].dx, area.y1 + places[id].dy);
        handle->box = BOX(handle->point, handle->point);
        list.add(handle);
    }
    return 1;
}

int SELECTION::handleevent(DRAGHANDLE& handle, POINT point, int distance, unsigned short event, unsigned int flags)
{
    return single ? single->handleevent(handle, point, distance, event, flags) : 0;
}

int SELECTION::resize(DRAGHANDLE* handle)
{
    if (!handle)
        return 0;
    POINT p = handle->point;
    switch (handle->id) {
    case 0:
        area.x1 = p.x;
        area.y1 = p.y;
        return 1;
    case 1:
        area.x2 = p.x;
        area.y1 = p.y;
        return 1;
    case 2:
        area.x2 = p.x;
        area.y2 = p.y;
        return 1;
    case 3:
        area.x1 = p.x;
        area.y2 = p.y;
        return 1;
    case 4:
        area.y1 = p.y;
        return 1;
    case 5:
        area.y2 = p.y;
        return 1;
    case 6:
        area.x1 = p.x;
        return 1;
    case 7:
        area.x2 = p.x;
        return 1;
    default:
        return 0;
    }
}

void SELECTION::map(CTS cts)
{
    for (APPLNOBJECT* object : objects)
        object->map(cts);
    area.map(cts);
    transform *= cts;
}

void SELECTION::plot(VGDVC* device, DRAWMODES mode)
{
    COLORREF background = getapplncolour(APPLNCOLOUR_BACKGROUND);
    if (mode == DRAW_DRAG && device->isinteractive()) {
        // Drawn by exclusive-or (the drag's device mixes so): the cursor colour over the background.
        device->drawbox(area, GSTYLE(getapplncolour(APPLNCOLOUR_CURSOR) ^ background, PENSTYLE_SOLID));
        return;
    }
    if (!isboxed())
        return;
    COLORREF frame = background < 0x808080 ? RGB(192, 192, 192) : RGB(0, 0, 0);
    device->drawbox(area, GSTYLE(frame, PENSTYLE_DOT));
}
