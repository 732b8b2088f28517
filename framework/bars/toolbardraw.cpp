// The toolbar buttons the bar draws itself (NM_CUSTOMDRAW): a checked button that is not hot on
// the face gradient, a hot or pressed one on its own gradient, each outlined, with its image
// centred and one pixel right and down while pressed. Drawn off screen, then copied.

#include "framework/bars/offscreen.h"
#include "framework/bars/toolbar.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"

namespace {

// Outlines the picture's rectangle and draws the image centred in it.
void finish(HDC dc, const RECT& area, COLORREF border, HIMAGELIST list, int image, bool pressed)
{
    HPEN pen = CreatePen(PS_SOLID, 1, border);
    HGDIOBJ oldpen = SelectObject(dc, pen);
    HGDIOBJ oldbrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, area.left, area.top, area.right, area.bottom);
    SelectObject(dc, oldbrush);
    SelectObject(dc, oldpen);
    DeleteObject(pen);
    int width = 0;
    int height = 0;
    if (image < 0 || !ImageList_GetIconSize(list, &width, &height))
        return;
    const int shift = pressed ? 1 : 0;
    ImageList_Draw(list, image, dc, (area.right - width) / 2 + shift, (area.bottom - height) / 2 + shift,
        ILD_TRANSPARENT);
}

TRIVERTEX vertex(LONG x, LONG y, COLORREF colour)
{
    return TRIVERTEX { x, y, static_cast<COLOR16>(GetRValue(colour) << 8),
        static_cast<COLOR16>(GetGValue(colour) << 8), static_cast<COLOR16>(GetBValue(colour) << 8), 0 };
}

} // namespace

LRESULT TOOLBAR::painthottoolbtn(HWND toolbar, NMCUSTOMDRAW* draw, TOOLBAR* bar)
{
    if ((draw->uItemState & CDIS_INDETERMINATE) || SendMessageA(toolbar, TB_GETHOTITEM, 0, 0) < 0)
        return CDRF_DODEFAULT;
    const bool pressed = draw->uItemState & CDIS_SELECTED;
    const RECT& item = draw->rc;
    const RECT area { 0, 0, item.right - item.left, item.bottom - item.top };
    OFFSCREEN picture(draw->hdc, area.right, area.bottom);
    if (!picture.dc())
        return CDRF_DODEFAULT;
    const TRIVERTEX ends[] = {
        vertex(0, 0, pressed ? tb_activegrad1_colour : tb_hotgrad1_colour),
        vertex(area.right, area.bottom, pressed ? tb_activegrad2_colour : tb_hotgrad2_colour),
    };
    const GRADIENT_RECT whole { 0, 1 };
    GradientFill(picture.dc(), ends, 2, &whole, 1, GRADIENT_FILL_RECT_V);
    const auto command = static_cast<unsigned>(draw->dwItemSpec);
    const int image
        = bar ? bar->getbitmap(command) : static_cast<int>(SendMessageA(toolbar, TB_GETBITMAP, command, 0));
    auto list = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETHOTIMAGELIST, 0, 0));
    if (!list)
        list = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    finish(picture.dc(), area, pressed ? tb_activeborder_colour : tb_hotborder_colour, list, image, pressed);
    picture.copyto(draw->hdc, item.left, item.top, area);
    return CDRF_SKIPDEFAULT;
}

void TOOLBAR::drawchecked(const NMCUSTOMDRAW& draw)
{
    const RECT& item = draw.rc;
    const RECT area { 0, 0, item.right - item.left, item.bottom - item.top };
    OFFSCREEN picture(draw.hdc, area.right, area.bottom);
    if (!picture.dc())
        return;
    GradientFillRect(picture.dc(), &area, 0, 0, 0);
    finish(picture.dc(), area, tb_checkedborder_colour, normalimages,
        getbitmap(static_cast<unsigned>(draw.dwItemSpec)), draw.uItemState & CDIS_SELECTED);
    picture.copyto(draw.hdc, item.left, item.top, area);
}

LRESULT TOOLBAR::customdraw(NMTBCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT: {
        const UINT state = draw->nmcd.uItemState;
        if ((state & CDIS_CHECKED) && !(state & CDIS_HOT)) {
            drawchecked(draw->nmcd);
            return CDRF_SKIPDEFAULT;
        }
        if (state & (CDIS_HOT | CDIS_SELECTED))
            return painthottoolbtn(toolbar, &draw->nmcd, this);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}
