#include <algorithm>

#include "core/containers/dpa.h"
#include "platform/casq/vgdvc.h"
#include "platform/kelmar/draghandle.h"
#include "platform/kelmar/hittest.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

namespace {

constexpr uint8_t SEGMENTLINE = 0;
constexpr uint8_t SEGMENTCURVE = 1;
constexpr size_t SMALLESTSEGMENT = 1 + 8; // a line: its kind and its end

void addsegment(PATH& path, const PATH::SEGMENT& segment)
{
    if (segment.isline) {
        path.add(LINE(segment.shape.p1, segment.shape.p2));
    } else {
        path.add(segment.shape);
    }
}

// The segments with every point passed through the function.
template <class F> PATH mappedpath(const PATH& path, F through)
{
    PATH mapped;
    for (PATH::SEGMENT segment : path.getsegments()) {
        BEZIER& s = segment.shape;
        s.p1 = through(s.p1);
        s.c1 = through(s.c1);
        s.c2 = through(s.c2);
        s.p2 = through(s.p2);
        addsegment(mapped, segment);
    }
    return mapped;
}

} // namespace

PR_PATH::PR_PATH(const PATH& shape, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , path(shape)
{
    path.validate();
}

std::vector<POINT> PR_PATH::outline() const
{
    std::vector<POINT> points;
    for (const PATH::SEGMENT& segment : path.getsegments()) {
        if (points.empty()) {
            points.push_back(segment.shape.p1);
        }
        if (segment.isline) {
            points.push_back(segment.shape.p2);
        } else {
            std::vector<POINT> curve = flatten(segment.shape);
            points.insert(points.end(), curve.begin() + 1, curve.end());
        }
    }
    return points;
}

POINT PR_PATH::reference() const
{
    BOX box;
    for (POINT p : outline()) {
        box |= p;
    }
    return box.isvoid() ? POINT() : box.centre();
}

void PR_PATH::settle()
{
    POINT offset;
    if (takeoffset(offset)) {
        path = mappedpath(path, [offset](POINT p) { return p + offset; });
    }
}

BOX PR_PATH::occa(int mode) const
{
    BOX box;
    for (POINT p : outline()) {
        box |= p;
    }
    return placedbox(box, mode);
}

int PR_PATH::test(POINT point, int* distance) const
{
    std::vector<POINT> points = outline();
    if (points.empty()) {
        return 0;
    }
    POINT p = local(point);
    int64_t away = style.style.hasfill() && insidepolygon(p, points)
        ? 0
        : std::max<int64_t>(0, polylinedistance(p, points) - halfpen());
    return narrow(away, distance);
}

int PR_PATH::gethandles(DPA& handles) const
{
    const auto& segments = path.getsegments();
    if (segments.empty()) {
        return 0;
    }
    handles.add(new DRAGHANDLE(0, cts.map(segments[0].shape.p1), CURSOR_SIZEALL));
    for (size_t k = 0; k < segments.size(); ++k) {
        int base = static_cast<int>(3 * k);
        const BEZIER& s = segments[k].shape;
        if (!segments[k].isline) {
            handles.add(new DRAGHANDLE(base + 1, cts.map(s.c1), CURSOR_SIZEALL));
            handles.add(new DRAGHANDLE(base + 2, cts.map(s.c2), CURSOR_SIZEALL));
        }
        // The last segment ends on the start, which handle 0 holds.
        if (k + 1 < segments.size()) {
            handles.add(new DRAGHANDLE(base + 3, cts.map(s.p2), CURSOR_SIZEALL));
        }
    }
    return 1;
}

void PR_PATH::rebuild(std::vector<PATH::SEGMENT> segments)
{
    PATH changed;
    for (const PATH::SEGMENT& segment : segments) {
        addsegment(changed, segment);
    }
    path = changed;
}

int PR_PATH::resize(DRAGHANDLE* handle)
{
    std::vector<PATH::SEGMENT> segments = path.getsegments();
    int count = static_cast<int>(segments.size());
    if (!handle || handle->id < 0 || handle->id > 3 * count || segments.empty()) {
        return 0;
    }
    POINT to = local(handle->point);
    int k = (handle->id - 1) / 3;
    switch (handle->id == 0 ? 0 : (handle->id - 1) % 3 + 1) {
    case 0:
        segments.front().shape.p1 = to;
        segments.back().shape.p2 = to;
        break;
    case 1:
        segments[k].shape.c1 = to;
        break;
    case 2:
        segments[k].shape.c2 = to;
        break;
    default:
        segments[k].shape.p2 = to;
        segments[(k + 1) % count].shape.p1 = to;
        break;
    }
    PATH before = path;
    rebuild(segments);
    const auto& now = path.getsegments();
    const auto& was = before.getsegments();
    for (size_t i = 0; i < now.size(); ++i) {
        const BEZIER& a = now[i].shape;
        const BEZIER& b = was[i].shape;
        if (a.p1 != b.p1 || a.c1 != b.c1 || a.c2 != b.c2 || a.p2 != b.p2) {
            return 1;
        }
    }
    return 0;
}

void PR_PATH::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    CTS full = cts * through;
    device->drawpath(mappedpath(path, [&full](POINT p) { return full.map(p); }), style.style, word);
}

void PR_PATH::scaleshape(int factor)
{
    path = mappedpath(path, [factor](POINT p) { return scaled(p, factor); });
}

void PR_PATH::packshape(LIBWRITER& out) const
{
    const auto& segments = path.getsegments();
    putpoint(out, segments.empty() ? POINT() : segments[0].shape.p1);
    out.u32(static_cast<uint32_t>(segments.size()));
    for (const PATH::SEGMENT& segment : segments) {
        out.u8(segment.isline ? SEGMENTLINE : SEGMENTCURVE);
        if (!segment.isline) {
            putpoint(out, segment.shape.c1);
            putpoint(out, segment.shape.c2);
        }
        putpoint(out, segment.shape.p2);
    }
}

PRIMITIVE* PR_PATH::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    POINT at;
    uint32_t count = 0;
    if (!takepoint(in, at) || !in.u32(count) || count == 0 || count > in.remaining() / SMALLESTSEGMENT) {
        return nullptr;
    }
    PATH shape;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t kind = 0;
        BEZIER s;
        s.p1 = at;
        if (!in.u8(kind) || kind > SEGMENTCURVE
            || (kind == SEGMENTCURVE && (!takepoint(in, s.c1) || !takepoint(in, s.c2))) || !takepoint(in, s.p2)) {
            return nullptr;
        }
        addsegment(shape, { s, kind == SEGMENTLINE });
        at = s.p2;
    }
    return new PR_PATH(shape, named);
}
