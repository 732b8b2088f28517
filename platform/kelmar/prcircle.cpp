#include <cmath>

#include "core/containers/dpa.h"
#include "platform/casq/vgdvc.h"
#include "platform/kelmar/draghandle.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

namespace {

constexpr POINT HANDLEDIRECTIONS[4] = { POINT(1, 0), POINT(0, 1), POINT(-1, 0), POINT(0, -1) };
constexpr long HANDLECURSORS[4] = { CURSOR_SIZEWE, CURSOR_SIZENS, CURSOR_SIZEWE, CURSOR_SIZENS };

} // namespace

PR_CIRCLE::PR_CIRCLE(const CIRCLE& shape, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , circle(shape)
{
    circle.radius = std::abs(circle.radius == INT32_MIN ? INT32_MAX : circle.radius);
}

void PR_CIRCLE::settle()
{
    POINT offset;
    if (takeoffset(offset)) {
        circle.centre += offset;
    }
}

BOX PR_CIRCLE::occa(int mode) const
{
    POINT centre = cts.map(circle.centre);
    BOX box(centre, centre);
    box.grow(circle.radius + (mode == OCCA_DRAWN ? halfpen() : 0));
    return box;
}

int PR_CIRCLE::test(POINT point, int* distance) const
{
    int64_t fromcentre = circle.centre.dist(local(point));
    int64_t away = style.style.hasfill() && fromcentre <= circle.radius
        ? 0
        : std::max<int64_t>(0, std::llabs(fromcentre - circle.radius) - halfpen());
    return narrow(away, distance);
}

int PR_CIRCLE::gethandles(DPA& handles) const
{
    for (int id = 0; id < 4; ++id) {
        POINT on(clampcoord(int64_t { circle.centre.x } + int64_t { HANDLEDIRECTIONS[id].x } * circle.radius),
            clampcoord(int64_t { circle.centre.y } + int64_t { HANDLEDIRECTIONS[id].y } * circle.radius));
        handles.add(new DRAGHANDLE(id, cts.map(on), HANDLECURSORS[id]));
    }
    return 1;
}

int PR_CIRCLE::resize(DRAGHANDLE* handle)
{
    if (!handle || handle->id < 0 || handle->id > 3) {
        return 0;
    }
    int32_t radius = circle.centre.dist(local(handle->point));
    if (radius == circle.radius) {
        return 0;
    }
    circle.radius = radius;
    return 1;
}

void PR_CIRCLE::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    device->drawcircle((cts * through).map(circle.centre), circle.radius, style.style, word);
}

void PR_CIRCLE::scaleshape(int factor)
{
    circle.centre = scaled(circle.centre, factor);
    circle.radius = clampcoord(int64_t { circle.radius } * std::abs(factor));
}

void PR_CIRCLE::packshape(LIBWRITER& out) const
{
    putpoint(out, circle.centre);
    out.u32(static_cast<uint32_t>(circle.radius));
}

PRIMITIVE* PR_CIRCLE::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    CIRCLE shape;
    uint32_t radius = 0;
    if (!takepoint(in, shape.centre) || !in.u32(radius) || radius > INT32_MAX) {
        return nullptr;
    }
    shape.radius = static_cast<int32_t>(radius);
    return new PR_CIRCLE(shape, named);
}
