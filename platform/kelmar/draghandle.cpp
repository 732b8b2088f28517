#include "platform/kelmar/draghandle.h"

DRAGHANDLE::DRAGHANDLE(int handleid, POINT at, long shape)
    : id(handleid)
    , box(at.x, at.y, at.x, at.y)
    , cursor(shape)
    , point(at)
{
}

void DRAGHANDLE::map(const CTS& cts)
{
    point = cts.map(point);
    box.map(cts);
}
