#include "framework/editor/applnobject.h"

#include "framework/editor/selection.h"
#include "framework/views/applnviewdvc.h"

TESTCODES APPLNOBJECT::test(POINT point, int* tolerance)
{
    if (!getarea(AREA_HIT).contains(point, tolerance ? *tolerance : 0))
        return TEST_MISS;
    if (tolerance)
        *tolerance = 0;
    return TEST_HIT;
}

int APPLNOBJECT::select(SELECTION& selection)
{
    return selection.contains(getarea(AREA_SELECT));
}

void APPLNOBJECT::highlight(APPLNVIEWDVC* device, HCURSORMODES mode)
{
    plot(device, DRAW_HIGHLIGHT);
}

int APPLNOBJECT::getornt(CTS* cts)
{
    if (cts)
        *cts = CTS(getarea(AREA_HIT).centre());
    return 0;
}

int APPLNOBJECT::drag(DRAGCODES code, CTS& cts, void* context, APPLNVIEWDVC* device)
{
    switch (code) {
    case DRAG_START:
        return getornt(&cts);
    case DRAG_DRAW:
        map(cts);
        plot(device, DRAW_DRAG);
        map(cts.inverse());
        return 1;
    case DRAG_MOVED:
        map(cts);
        return 1;
    default:
        return 0;
    }
}
