#include "platform/kelmar/textblock.h"

#include <algorithm>
#include <vector>

#include "platform/kelmar/proptool.h"
#include "platform/kelmar/records.h"
#include "platform/kelmar/textlayout.h"

TEXTBLOCK::TEXTBLOCK(const char* blocktext, const TSTYLE_ENTRY* named)
{
    settext(blocktext);
    setstyle(named);
}

void TEXTBLOCK::settext(const char* newtext)
{
    text.settext(newtext && *newtext ? newtext : nullptr);
    changed();
}

void TEXTBLOCK::plot(VGDVC* device, DRAWMODES mode, DWORD word) const
{
    if (device && isvisible()) {
        drawtext(device, mode, word);
    }
}

std::vector<std::string> TEXTBLOCK::lines() const
{
    return shownlines(text.text);
}

int TEXTBLOCK::assign(PROPTOOL& tool)
{
    const char* name = tool.getname();
    if (tool.test(PA_SET, name)) {
        text.add(nullptr, name, tool.nextvalue(), 4);
    } else if (!text.exists(nullptr, name)) {
        return 0;
    } else if (tool.test(PA_DELETE, name)) {
        text.remove(nullptr, name);
    } else if (tool.test(PA_SHOW, name)) {
        text.hide(nullptr, name, 0);
    } else if (tool.test(PA_HIDE, name)) {
        text.hide(nullptr, name, 3);
    } else {
        return 0;
    }
    changed();
    return 1;
}

int TEXTBLOCK::read(VFILE& file, int namemax)
{
    std::vector<uint8_t> bytes;
    if (!readrecord(file, bytes)) {
        return 0;
    }
    LIBCURSOR in(bytes.data(), bytes.size());
    CTS placement;
    uint8_t justify = 0;
    TSTYLE_ENTRY named;
    std::string body;
    if (!takeversion(in) || !takects(in, placement) || !in.u8(justify) || !takenamed(in, named)
        || !taketext(in, body, RECORDMAX) || in.remaining() != 0
        || std::char_traits<char>::length(named.name) > static_cast<size_t>(std::max(namemax, 0))) {
        return 0;
    }
    settext(body.c_str());
    style = named;
    setcts(placement, justify);
    return 1;
}

int TEXTBLOCK::write(VFILE& file) const
{
    LIBWRITER out;
    out.u8(RECORDVERSION);
    putcts(out, cts);
    out.u8(justification);
    putnamed(out, style);
    puttext(out, gettext());
    return writerecord(file, out);
}
