#include "framework/menus/menustyle.h"

#include "platform/tirsk/drawhelpers.h"
#include "platform/win/gdi.h"
#include "platform/win/monitors.h"

namespace {

HPEN lolite = nullptr;
HPEN hihilite = nullptr;

// A selected item stays light, so that its text reads in the menu's text colour.
COLORREF colourof(MENUFILL fill)
{
    switch (fill) {
    case MENUFILL::selected:
        return adjust_colour(GetSysColor(COLOR_HIGHLIGHT), 75);
    case MENUFILL::selectedgreyed:
    case MENUFILL::cellpressed:
        return GetSysColor(COLOR_3DLIGHT);
    case MENUFILL::column:
    case MENUFILL::cell:
        break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

} // namespace

void menufill(HDC dc, const RECT& rect, MENUFILL fill)
{
    HBRUSH brush = CreateSolidBrush(colourof(fill));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
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
