#include "core/containers/dpa.h"
#include "platform/casq/vgdvc.h"
#include "platform/kelmar/draghandle.h"
#include "platform/kelmar/hittest.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

namespace {

POINT* pointsof(BEZIER& curve, int id)
{
    POINT* points[] = { &curve.p1, &curve.c1, &curve.c2, &curve.p2 };
    return id >= 0 && id < 4 ? points[id] : nullptr;
}

} // namespace

PR_BEZIER::PR_BEZIER(const BEZIER& shape, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , curve(shape)
{
}

POINT PR_BEZIER::reference() const
{
    BOX box;
    for (POINT p : flatten(curve)) {
        box |= p;
    }
    return box.centre();
}

void PR_BEZIER::settle()
{
    POINT offset;
    if (takeoffset(offset)) {
        for (int id = 0; id < 4; ++id) {
            *pointsof(curve, id) += offset;
        }
    }
}

BOX PR_BEZIER::occa(int mode) const
{
    BOX box;
    for (POINT p : flatten(curve)) {
        box |= p;
    }
    return placedbox(box, mode);
}

int PR_BEZIER::test(POINT point, int* distance) const
{
    int64_t away = std::max<int64_t>(0, polylinedistance(local(point), flatten(curve)) - halfpen());
    return narrow(away, distance);
}

int PR_BEZIER::gethandles(DPA& handles) const
{
    BEZIER shape = curve;
    for (int id = 0; id < 4; ++id) {
        handles.add(new DRAGHANDLE(id, cts.map(*pointsof(shape, id)), CURSOR_SIZEALL));
    }
    return 1;
}

int PR_BEZIER::resize(DRAGHANDLE* handle)
{
    POINT* moved = handle ? pointsof(curve, handle->id) : nullptr;
    if (!moved) {
        return 0;
    }
    POINT to = local(handle->point);
    if (to == *moved) {
        return 0;
    }
    *moved = to;
    return 1;
}

void PR_BEZIER::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    CTS full = cts * through;
    BEZIER mapped;
    mapped.p1 = full.map(curve.p1);
    mapped.c1 = full.map(curve.c1);
    mapped.c2 = full.map(curve.c2);
    mapped.p2 = full.map(curve.p2);
    device->drawbezier(mapped, style.style, word);
}

void PR_BEZIER::scaleshape(int factor)
{
    for (int id = 0; id < 4; ++id) {
        *pointsof(curve, id) = scaled(*pointsof(curve, id), factor);
    }
}

void PR_BEZIER::packshape(LIBWRITER& out) const
{
    BEZIER shape = curve;
    for (int id = 0; id < 4; ++id) {
        putpoint(out, *pointsof(shape, id));
    }
}

PRIMITIVE* PR_BEZIER::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    BEZIER shape;
    for (int id = 0; id < 4; ++id) {
        if (!takepoint(in, *pointsof(shape, id))) {
            return nullptr;
        }
    }
    return new PR_BEZIER(shape, named);
}
