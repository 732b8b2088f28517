#include "platform/kelmar/cts16.h"

#include "core/files/littleendian.h"

CTS16 CTS16::frombytes(const uint8_t bytes[12])
{
    CTS16 cts;
    int16_t* fields[] = { &cts.x, &cts.y, &cts.xx, &cts.xy, &cts.yx, &cts.yy };
    for (int i = 0; i < 6; ++i) {
        *fields[i] = static_cast<int16_t>(readle16(bytes + 2 * i));
    }
    return cts;
}

CTS CTS16::widen() const
{
    // The eight placements a matrix of quarter turns can be, each tried as a CTS: the one whose
    // turn of the two unit vectors gives the matrix's columns.
    for (int mirror = 0; mirror < 2; ++mirror) {
        for (int angle = 0; angle < 3600; angle += 900) {
            CTS candidate(POINT(x, y), angle, mirror);
            POINT ex = candidate.turn(POINT(1, 0));
            POINT ey = candidate.turn(POINT(0, 1));
            if (ex == POINT(xx, yx) && ey == POINT(xy, yy)) {
                return candidate;
            }
        }
    }
    return CTS(POINT(x, y));
}
