#include "core/containers/dpa.h"
#include "platform/casq/vgdvc.h"
#include "platform/kelmar/draghandle.h"
#include "platform/kelmar/hittest.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

PR_LINE::PR_LINE(const LINE& shape, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , line(shape)
{
}

POINT PR_LINE::reference() const
{
    return POINT(clampcoord((int64_t { line.p1.x } + line.p2.x) / 2), clampcoord((int64_t { line.p1.y } + line.p2.y) / 2));
}

void PR_LINE::settle()
{
    POINT offset;
    if (takeoffset(offset)) {
        line = LINE(line.p1 + offset, line.p2 + offset);
    }
}

BOX PR_LINE::occa(int mode) const
{
    return placedbox(BOX(line.p1, line.p2), mode);
}

int PR_LINE::test(POINT point, int* distance) const
{
    int64_t away = std::max<int64_t>(0, segmentdistance(local(point), line.p1, line.p2) - halfpen());
    return narrow(away, distance);
}

int PR_LINE::gethandles(DPA& handles) const
{
    handles.add(new DRAGHANDLE(0, cts.map(line.p1), CURSOR_SIZEALL));
    handles.add(new DRAGHANDLE(1, cts.map(line.p2), CURSOR_SIZEALL));
    return 1;
}

int PR_LINE::resize(DRAGHANDLE* handle)
{
    if (!handle || handle->id < 0 || handle->id > 1) {
        return 0;
    }
    POINT& end = handle->id == 0 ? line.p1 : line.p2;
    POINT moved = local(handle->point);
    if (moved == end) {
        return 0;
    }
    end = moved;
    return 1;
}

void PR_LINE::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    CTS full = cts * through;
    device->drawline(full.map(line.p1), full.map(line.p2), style.style, word);
}

void PR_LINE::scaleshape(int factor)
{
    line = LINE(scaled(line.p1, factor), scaled(line.p2, factor));
}

void PR_LINE::packshape(LIBWRITER& out) const
{
    putpoint(out, line.p1);
    putpoint(out, line.p2);
}

PRIMITIVE* PR_LINE::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    LINE shape;
    if (!takepoint(in, shape.p1) || !takepoint(in, shape.p2)) {
        return nullptr;
    }
    return new PR_LINE(shape, named);
}
