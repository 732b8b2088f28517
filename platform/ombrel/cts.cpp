#include "platform/ombrel/cts.h"

#include <cmath>
#include <numbers>

static int normalangle(int angle)
{
    const int a = angle % 3600;
    return a < 0 ? a + 3600 : a;
}

// One mirror bit alone reverses the sense of turning; none or both (a half turn) keeps it.
static bool reverses(int mirror)
{
    return (mirror & 3) == 1 || (mirror & 3) == 2;
}

CTS& CTS::operator*=(const CTS& next)
{
    const POINT moved = next.map(offset());
    const int a = reverses(next.mirror_word) ? next.angle - angle : next.angle + angle;
    x = moved.x;
    y = moved.y;
    angle = static_cast<int16_t>(normalangle(a));
    mirror_word = static_cast<int16_t>((mirror_word ^ next.mirror_word) & 3);
    return *this;
}

CTS CTS::inverse() const
{
    CTS back;
    back.mirror_word = static_cast<int16_t>(mirror_word & 3);
    back.angle = static_cast<int16_t>(normalangle(reverses(mirror_word) ? angle : -angle));
    // Mapping our offset by the inverse's own turn and adding the inverse's offset must give 0.
    const POINT turned = back.turn(offset());
    back.x = clampcoord(-int64_t { turned.x });
    back.y = clampcoord(-int64_t { turned.y });
    return back;
}

void CTS::mirror(int axis)
{
    mirror_word = static_cast<int16_t>(mirror_word ^ (axis & 3));
}

void CTS::normalize()
{
    angle = static_cast<int16_t>(normalangle(angle));
    mirror_word = static_cast<int16_t>(mirror_word & 3);
}

POINT CTS::turn(POINT p) const
{
    int64_t px = (mirror_word & 1) ? -int64_t { p.x } : p.x;
    int64_t py = (mirror_word & 2) ? -int64_t { p.y } : p.y;
    switch (normalangle(angle)) {
    case 0:
        return { clampcoord(px), clampcoord(py) };
    case 900:
        return { clampcoord(-py), clampcoord(px) };
    case 1800:
        return { clampcoord(-px), clampcoord(-py) };
    case 2700:
        return { clampcoord(py), clampcoord(-px) };
    default:
        break;
    }
    const long double radians = normalangle(angle) * std::numbers::pi_v<long double> / 1800;
    const long double c = std::cos(radians);
    const long double s = std::sin(radians);
    return { clampcoord(std::llround(px * c - py * s)), clampcoord(std::llround(px * s + py * c)) };
}

POINT CTS::map(POINT p) const
{
    return turn(p) + offset();
}
