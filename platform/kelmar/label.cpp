#include "platform/kelmar/label.h"

#include <vector>

#include "platform/kelmar/proptool.h"
#include "platform/kelmar/records.h"

LABEL::LABEL(const char* labeltext, const TSTYLE_ENTRY* named)
{
    settext(labeltext);
    setstyle(named);
}

void LABEL::settext(const char* newtext)
{
    text = newtext ? newtext : "";
    changed();
}

void LABEL::move(const POINT& offset)
{
    POINT anchor = cts.offset() + offset;
    cts.x = anchor.x;
    cts.y = anchor.y;
    changed();
}

void LABEL::plot(VGDVC* device, DRAWMODES mode, int showhidden, DWORD word) const
{
    if (!device || text.empty() || (!isvisible() && !showhidden)) {
        return;
    }
    drawtext(device, mode, word);
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
    read.changed();
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
