#include "framework/views/applnviewwin.h"

#include "framework/views/applnviewdvc.h"

HWND APPLNVIEWWIN::createwindow(APPLNFRAME* parent)
{
    editor = getapplneditor();
    return APPLNWINDOW::createwindow(parent);
}

void APPLNVIEWWIN::destroywindow()
{
    APPLNWINDOW::destroywindow();
    editor = nullptr;
}

int APPLNVIEWWIN::onleftclick(APPLNVIEWDVC* device)
{
    return 0;
}

int APPLNVIEWWIN::onrightclick(APPLNVIEWDVC* device)
{
    return 0;
}

int APPLNVIEWWIN::onshiftzoom(APPLNVIEWDVC* device)
{
    return 0;
}

int APPLNVIEWWIN::ontrackpan(APPLNVIEWDVC* device)
{
    return 0;
}

int APPLNVIEWWIN::onsetcursor(APPLNVIEWDVC* device, POINT raw, POINT cursor, int focus)
{
    return 0;
}

int APPLNVIEWWIN::oneditsel(EDITCMDINFO& info, SELECTION* selection)
{
    return 0;
}

void APPLNVIEWWIN::beginpaint(APPLNVIEWDVC* device, PAINTSTRUCT* paint)
{
    device->SGDVC::beginpaint(paint);
}

void APPLNVIEWWIN::onrepaint(APPLNVIEWDVC* device, BOX& area)
{
}

void APPLNVIEWWIN::endpaint(APPLNVIEWDVC* device, PAINTSTRUCT* paint)
{
    device->SGDVC::endpaint(paint);
}

int APPLNVIEWWIN::snapfunc(APPLNVIEWDVC* device, unsigned short* snapped, POINT* points, unsigned long* shape)
{
    clearhint();
    return 0;
}

void APPLNVIEWWIN::autopan(APPLNVIEWDVC* device, int dx, int dy)
{
    BOX visible = device->getvisiblearea();
    POINT centre = visible.centre();
    int64_t w = visible.width() / 4;
    int64_t h = visible.height() / 4;
    int64_t x = centre.x + (dx > 0 ? w : dx < 0 ? -w : 0);
    int64_t y = centre.y + (dy < 0 ? h : dy > 0 ? -h : 0);
    pan(POINT(clampcoord(x), clampcoord(y)), 1);
}

