#include "schematic/objects/pinconn.h"

#include <cmath>

int PINCONN::attach(WIRE* newwire)
{
    if (wire)
        return 0;
    wire = newwire;
    return 1;
}

int PINCONN::detach(WIRE* oldwire)
{
    if (!wire || wire != oldwire)
        return 0;
    wire = nullptr;
    return 1;
}

int testnearer(POINT point, POINT pinpoint, int* best)
{
    const double dx = double(point.x) - pinpoint.x;
    const double dy = double(point.y) - pinpoint.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance > double(*best) + PINNEARNESS)
        return 0;
    *best = int(std::lround(distance));
    return 1;
}
