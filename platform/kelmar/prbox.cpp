#include <algorithm>

#include "core/containers/dpa.h"
#include "platform/casq/vgdvc.h"
#include "platform/kelmar/draghandle.h"
#include "platform/kelmar/hittest.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

namespace {

// The handles of a box: where each stands, its cursor, and the edges it moves (left, bottom,
// right, top).
struct BOXHANDLE {
    long cursor;
    bool left, bottom, right, top;
};
constexpr BOXHANDLE BOXHANDLES[8] = {
    { CURSOR_SIZENESW, true, true, false, false },
    { CURSOR_SIZENWSE, false, true, true, false },
    { CURSOR_SIZENESW, false, false, true, true },
    { CURSOR_SIZENWSE, true, false, false, true },
    { CURSOR_SIZENS, false, true, false, false },
    { CURSOR_SIZENS, false, false, false, true },
    { CURSOR_SIZEWE, true, false, false, false },
    { CURSOR_SIZEWE, false, false, true, false },
};

POINT handlepoint(const BOX& box, int id)
{
    // The edges may stand turned over (x2 < x1): the middle is taken between them as they stand.
    POINT middle(clampcoord((int64_t { box.x1 } + box.x2) / 2), clampcoord((int64_t { box.y1 } + box.y2) / 2));
    const BOXHANDLE& h = BOXHANDLES[id];
    int32_t x = h.left ? box.x1 : h.right ? box.x2 : middle.x;
    int32_t y = h.bottom ? box.y1 : h.top ? box.y2 : middle.y;
    return POINT(x, y);
}

// One side of the box held within [least, most] by moving the edge that moves.
void limitside(int32_t& low, int32_t& high, bool movelow, int64_t least, int64_t most)
{
    int64_t size = int64_t { high } - low;
    int64_t wanted = std::clamp(size, least, std::max(least, most));
    if (wanted == size) {
        return;
    }
    if (movelow) {
        low = clampcoord(int64_t { high } - wanted);
    } else {
        high = clampcoord(int64_t { low } + wanted);
    }
}

} // namespace

PR_BOX::PR_BOX(const BOX& shape, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , box(shape)
{
    box.normalize();
}

void PR_BOX::settle()
{
    POINT offset;
    if (takeoffset(offset)) {
        box = BOX(POINT(box.x1, box.y1) + offset, POINT(box.x2, box.y2) + offset);
    }
}

BOX PR_BOX::occa(int mode) const
{
    return placedbox(box, mode);
}

int PR_BOX::test(POINT point, int* distance) const
{
    POINT p = local(point);
    int64_t away = 0;
    if (!(style.style.hasfill() && box.contains(p))) {
        POINT corners[] = { POINT(box.x1, box.y1), POINT(box.x2, box.y1), POINT(box.x2, box.y2),
            POINT(box.x1, box.y2) };
        away = segmentdistance(p, corners[0], corners[1]);
        for (int i = 1; i < 4; ++i) {
            away = std::min(away, segmentdistance(p, corners[i], corners[(i + 1) % 4]));
        }
        away = std::max<int64_t>(0, away - halfpen());
    }
    return narrow(away, distance);
}

int PR_BOX::gethandles(DPA& handles) const
{
    BOX edges = handled();
    for (int id = 0; id < 8; ++id) {
        handles.add(new DRAGHANDLE(id, cts.map(handlepoint(edges, id)), BOXHANDLES[id].cursor));
    }
    return 1;
}

BOX PR_BOX::handled() const
{
    BOX normal = dragged;
    normal.normalize();
    return normal == box ? dragged : box;
}

int PR_BOX::resize(DRAGHANDLE* handle)
{
    if (!handle || handle->id < 0 || handle->id > 7) {
        return 0;
    }
    const BOXHANDLE& h = BOXHANDLES[handle->id];
    POINT p = local(handle->point);
    // The handle moves its edge of the box as the handles left it, which may have turned over
    // when an edge was dragged past the opposite one: the same handle keeps the same edge.
    dragged = handled();
    dragged.x1 = h.left ? p.x : dragged.x1;
    dragged.x2 = h.right ? p.x : dragged.x2;
    dragged.y1 = h.bottom ? p.y : dragged.y1;
    dragged.y2 = h.top ? p.y : dragged.y2;
    lasthandle = handle->id;
    BOX moved = dragged;
    moved.normalize();
    if (moved == box) {
        return 0;
    }
    box = moved;
    return 1;
}

void PR_BOX::limit(BOX& limited, int minwidth, int minheight, int maxwidth, int maxheight)
{
    BOX edges = handled();
    bool left = lasthandle >= 0 && BOXHANDLES[lasthandle].left != (edges.x1 > edges.x2);
    bool bottom = lasthandle >= 0 && BOXHANDLES[lasthandle].bottom != (edges.y1 > edges.y2);
    limitside(box.x1, box.x2, left, minwidth, maxwidth);
    limitside(box.y1, box.y2, bottom, minheight, maxheight);
    dragged = box;
    limited = box;
    limited.map(cts);
}

void PR_BOX::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    CTS full = cts * through;
    if (full.angle % 900 == 0) {
        BOX mapped = box;
        mapped.map(full);
        device->drawbox(mapped, style.style, word);
        return;
    }
    POINT corners[] = { full.map(POINT(box.x1, box.y1)), full.map(POINT(box.x2, box.y1)),
        full.map(POINT(box.x2, box.y2)), full.map(POINT(box.x1, box.y2)) };
    device->drawpolygon(corners, 4, style.style, word);
}

void PR_BOX::scaleshape(int factor)
{
    box = BOX(scaled(POINT(box.x1, box.y1), factor), scaled(POINT(box.x2, box.y2), factor));
}

void PR_BOX::packshape(LIBWRITER& out) const
{
    putpoint(out, POINT(box.x1, box.y1));
    putpoint(out, POINT(box.x2, box.y2));
}

PRIMITIVE* PR_BOX::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    POINT low;
    POINT high;
    if (!takepoint(in, low) || !takepoint(in, high) || high.x < low.x || high.y < low.y) {
        return nullptr;
    }
    return new PR_BOX(BOX(low.x, low.y, high.x, high.y), named);
}
