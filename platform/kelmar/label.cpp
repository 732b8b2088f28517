#include "platform/kelmar/label.h"

#include <vector>

#include "platform/kelmar/proptool.h"
#include "platform/kelmar/records.h"
#include "platform/kelmar/textlayout.h"

LABEL::LABEL(const char* labeltext, const TSTYLE_ENTRY* named)
{
    settext(labeltext);
    setstyle(named);
}

void LABEL::settext(const char* newtext)
{
    text = newtext ? newtext : "";
    measured = false;
}

void LABEL::setstyle(const TSTYLE_ENTRY* named)
{
    bool shown = isvisible();
    style = named ? *named : TSTYLE_ENTRY();
    style.flags = 0;
    setvisible(shown);
    measured = false;
}

void LABEL::setvisible(int on)
{
    style.style.flags = on ? style.style.flags & ~TS_HIDDEN : style.style.flags | TS_HIDDEN;
}

void LABEL::setcts(const CTS& placement, int justify)
{
    cts = placement;
    justification = static_cast<uint8_t>(justify & 0xF);
    measured = false;
}

void LABEL::map(const CTS& transform, int turn)
{
    if (turn) {
        cts *= transform;
    } else {
        POINT anchor = transform.map(cts.offset());
        cts.x = anchor.x;
        cts.y = anchor.y;
    }
    measured = false;
}

void LABEL::move(const POINT& offset)
{
    POINT anchor = cts.offset() + offset;
    cts.x = anchor.x;
    cts.y = anchor.y;
    measured = false;
}

BOX LABEL::textarea() const
{
    if (!measured) {
        area = linesbox({ text }, readable(cts, justification), style.style);
        measured = true;
    }
    return area;
}

BOX LABEL::occa(int mode) const
{
    if (mode == LABELAREA_SHOWN && !isvisible()) {
        return VOIDBOX;
    }
    return textarea();
}

int LABEL::test(POINT point, int* distance) const
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

void LABEL::plot(VGDVC* device, DRAWMODES mode, int showhidden, DWORD word) const
{
    if (!device || text.empty() || (!isvisible() && !showhidden)) {
        return;
    }
    TSTYLE shown = style.style;
    shown.flags &= ~TS_HIDDEN;
    drawlines(device, { text }, readable(cts, justification), shown, word ? word : drawmodeword(mode));
}

int LABEL::assign(PROPTOOL& tool, const char* name)
{
    if (tool.test(PA_SET, name)) {
        settext(tool.nextvalue());
    } else if (tool.test(PA_DELETE, name)) {
        settext("");
    } else if (tool.test(PA_SHOW, name) || tool.test(PA_HIDE, name)) {
        setvisible(tool.test(PA_SHOW, name));
    } else {
        return 0;
    }
    return 1;
}

int LABEL::read(VFILE& file)
{
    std::vector<uint8_t> bytes;
    if (!readrecord(file, bytes)) {
        return 0;
    }
    LIBCURSOR in(bytes.data(), bytes.size());
    LABEL read;
    uint8_t justify = 0;
    if (!takeversion(in) || !takects(in, read.cts) || !in.u8(justify) || !in.u8(read.flags)
        || !takenamed(in, read.style) || !taketext(in, read.text, RECORDMAX) || in.remaining() != 0) {
        return 0;
    }
    read.justification = justify & 0xF;
    *this = read;
    return 1;
}

int LABEL::write(VFILE& file) const
{
    LIBWRITER out;
    out.u8(RECORDVERSION);
    putcts(out, cts);
    out.u8(justification);
    out.u8(flags);
    putnamed(out, style);
    puttext(out, text);
    return writerecord(file, out);
}
