#pragma once

// What the tests of the drawing primitives share: styles, one primitive of every kind, and the
// record a primitive packs to.

#include <memory>
#include <vector>

#include "core/containers/dpkb.h"
#include "platform/kelmar/primitives.h"

namespace kelmartest {

inline const GSTYLE_ENTRY THIN("2D GRAPHIC", GSTYLE(0, RGB(0, 0, 0), NOCOLOUR));
inline const GSTYLE_ENTRY FILLED("COMPONENT", GSTYLE(0, RGB(128, 0, 0), RGB(200, 200, 170)));
inline const GSTYLE_ENTRY THICK("BUS WIRE", GSTYLE(200, RGB(0, 0, 192), NOCOLOUR));
inline const TSTYLE FONT("Vector Font", 254000, 203200, 0, 0);

// A closed path: a line from (0, 0) to (1000, 0), a curve up to (1000, 1000), a line back.
inline PATH closedpath()
{
    PATH path;
    path.add(LINE(POINT(0, 0), POINT(1000, 0)));
    BEZIER curve;
    curve.p1 = POINT(1000, 0);
    curve.c1 = POINT(1500, 300);
    curve.c2 = POINT(1500, 700);
    curve.p2 = POINT(1000, 1000);
    path.add(curve);
    path.add(LINE(POINT(1000, 1000), POINT(0, 0)));
    return path;
}

inline BEZIER arch()
{
    BEZIER curve;
    curve.p1 = POINT(0, 0);
    curve.c1 = POINT(0, 1000);
    curve.c2 = POINT(1000, 1000);
    curve.p2 = POINT(1000, 0);
    return curve;
}

inline std::vector<uint8_t> packed(const PRIMITIVE& primitive, DPKB_MODE mode = DPKB_WORD32)
{
    DPKB buffer(0u, mode);
    if (!primitive.pack(buffer))
        return {};
    return std::vector<uint8_t>(buffer.base, buffer.putptr);
}

inline std::unique_ptr<PRIMITIVE> made(const std::vector<uint8_t>& bytes, DPKB_MODE mode = DPKB_WORD32)
{
    DPKB buffer(static_cast<unsigned>(bytes.size()), mode);
    if (!bytes.empty())
        std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(buffer.alloc(static_cast<unsigned>(bytes.size()))));
    buffer.getptr = buffer.base;
    return std::unique_ptr<PRIMITIVE>(PRIMITIVE::make(buffer));
}

} // namespace kelmartest
