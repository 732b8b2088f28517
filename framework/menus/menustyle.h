#pragma once

// The dialog library's look as the menus draw with it: the fills of the image column, of a
// selected item and of the cells of command images, and the pens and colours of their lines,
// frames and engraved texts.

#include "platform/win/colour.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"

enum class MENUFILL {
    column, // the image column beside every item
    selected, // the item under the pointer
    selectedgreyed, // a greyed item under the pointer
    cell, // an image cell
    cellpressed, // the image cell of a checked item
};

void menufill(HDC dc, const RECT& rect, MENUFILL fill);
// The shadow and light pens of lines and frames; shared, not to be deleted.
HPEN menulolitepen();
HPEN menuhihilitepen();
// The light colour of engraved text, its dark colour, and the frame of a selected item.
COLORREF menuhihicolour();
COLORREF menulocolour();
COLORREF menuframecolour();
// Deletes the shared pens; they are made again on their next use.
void releasemenustyle();
