#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"
#include "platform/kelmar/textlayout.h"

PR_TEXT::PR_TEXT(const CTS& at, const char* words, const TSTYLE& face, int justify, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , text(words ? words : "")
    , font(face)
    , justification(justify & 0xF)
{
    cts = at;
}

void PR_TEXT::settext(const char* words)
{
    text = words ? words : "";
}

void PR_TEXT::setfont(const TSTYLE& face, int justify)
{
    font = face;
    justification = justify & 0xF;
}

int PR_TEXT::isempty() const
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

TSTYLE PR_TEXT::drawnfont() const
{
    TSTYLE drawn = font;
    drawn.colour = style.style.pencolour;
    drawn.flags &= ~TS_HIDDEN;
    return drawn;
}

BOX PR_TEXT::occa(int mode) const
{
    BOX box = linesbox(plainlines(text.c_str()), readable(cts, justification), drawnfont());
    return box.isvoid() ? BOX(cts.offset(), cts.offset()) : box;
}

int PR_TEXT::test(POINT point, int* distance) const
{
    int32_t away = boxdistance(occa(OCCA_SHAPE), point);
    return narrow(away, distance);
}

void PR_TEXT::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    drawlines(device, plainlines(text.c_str()), readable(cts * through, justification), drawnfont(), word);
}

void PR_TEXT::scaleshape(int factor)
{
    font.height = clampcoord(int64_t { font.height } * std::abs(factor));
    font.width = clampcoord(int64_t { font.width } * std::abs(factor));
}

void PR_TEXT::packshape(LIBWRITER& out) const
{
    out.u8(static_cast<uint8_t>(justification));
    putstyle(out, font);
    puttext(out, text);
}

PRIMITIVE* PR_TEXT::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    uint8_t justify = 0;
    TSTYLE face;
    std::string words;
    if (!in.u8(justify) || justify > 0xF || !takestyle(in, face) || !taketext(in, words, RECORDMAX)) {
        return nullptr;
    }
    return new PR_TEXT(CTS(), words.c_str(), face, justify, named);
}
