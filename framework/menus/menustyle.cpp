#include "framework/menus/menustyle.h"

#include "platform/win/gdi.h"
#include "platform/win/monitors.h"

namespace {

HPEN lolite = nullptr;
HPEN hihilite = nullptr;

int colourof(MENUFILL fill)
{
    switch (fill) {
    case MENUFILL::column:
    case MENUFILL::cell:
        return COLOR_BTNFACE;
    case MENUFILL::selected:
        return COLOR_MENUHILIGHT;
    case MENUFILL::selectedgreyed:
    case MENUFILL::cellpressed:
        return COLOR_3DLIGHT;
    }
    return COLOR_MENU;
}

} // namespace

void menufill(HDC dc, const RECT& rect, MENUFILL fill)
{
    FillRect(dc, &rect, GetSysColorBrush(colourof(fill)));
}

HPEN menulolitepen()
{
    if (!lolite)
        lolite = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    return lolite;
}

HPEN menuhihilitepen()
{
    if (!hihilite)
        hihilite = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    return hihilite;
}

COLORREF menuhihicolour()
{
    return GetSysColor(COLOR_BTNHIGHLIGHT);
}

COLORREF menulocolour()
{
    return GetSysColor(COLOR_GRAYTEXT);
}

COLORREF menuframecolour()
{
    return GetSysColor(COLOR_HIGHLIGHT);
}

void releasemenustyle()
{
    DeleteObject(lolite);
    DeleteObject(hihilite);
    lolite = nullptr;
    hihilite = nullptr;
}
