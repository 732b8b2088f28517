#include "platform/kelmar/placedtext.h"

#include "platform/kelmar/textlayout.h"

void PLACEDTEXT::setstyle(const TSTYLE_ENTRY* named)
{
    bool shown = isvisible();
    style = named ? *named : TSTYLE_ENTRY();
    style.flags = 0;
    setvisible(shown);
    changed();
}

void PLACEDTEXT::setvisible(int on)
{
    style.style.flags = on ? style.style.flags & ~TS_HIDDEN : style.style.flags | TS_HIDDEN;
}

void PLACEDTEXT::setcts(const CTS& placement, int justify)
{
    cts = placement;
    justification = static_cast<uint8_t>(justify & 0xF);
    changed();
}

void PLACEDTEXT::map(const CTS& transform, int turn)
{
    if (turn) {
        cts *= transform;
    } else {
        POINT anchor = transform.map(cts.offset());
        cts.x = anchor.x;
        cts.y = anchor.y;
    }
    changed();
}

BOX PLACEDTEXT::occa(int mode) const
{
    if (mode == LABELAREA_SHOWN && !isvisible()) {
        return VOIDBOX;
    }
    if (!measured) {
        area = linesbox(lines(), readable(cts, justification), style.style);
        measured = true;
    }
    return area;
}

int PLACEDTEXT::test(POINT point, int* distance) const
{
    if (!distance || *distance < 0) {
        return 0;
    }
    int32_t away = boxdistance(occa(LABELAREA_SHOWN), point);
    if (away > *distance) {
        return 0;
    }
    *distance = away;
    return 1;
}

void PLACEDTEXT::drawtext(VGDVC* device, DRAWMODES mode, DWORD word) const
{
    TSTYLE shown = style.style;
    shown.flags &= ~TS_HIDDEN;
    drawlines(device, lines(), readable(cts, justification), shown, word ? word : drawmodeword(mode));
}
