#include "platform/casq/styles.h"

#include <cstring>
#include <strings.h>

#include "core/files/vfile.h"

namespace {

constexpr int recordversion = 1;

char defaultface[32] = "Arial";

void copyface(char (&to)[32], const char* from)
{
    std::strncpy(to, from ? from : DEFAULT_FONT_FACE, sizeof to - 1);
    to[sizeof to - 1] = '\0';
}

bool put32(VFILE& file, uint32_t value)
{
    unsigned char bytes[4] = { static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24) };
    return file.write(bytes, 4) == 4;
}

bool get32(VFILE& file, uint32_t& value)
{
    unsigned char bytes[4];
    if (file.read(bytes, 4) != 4) {
        return false;
    }
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
    return true;
}

// Reads count words into the destinations, all or none.
template <size_t N> bool getwords(VFILE& file, uint32_t* const (&to)[N])
{
    uint32_t words[N];
    for (auto& word : words) {
        if (!get32(file, word)) {
            return false;
        }
    }
    for (size_t i = 0; i < N; ++i) {
        *to[i] = words[i];
    }
    return true;
}

bool getversion(VFILE& file)
{
    return file.getc() == recordversion;
}

} // namespace

GSTYLE::GSTYLE(COLORREF colour, int style)
    : penstyle(style)
    , pencolour(colour)
{
}

GSTYLE::GSTYLE(int width, COLORREF line, COLORREF fill)
    : penwidth(width)
    , pencolour(line)
{
    setbrushcolour(fill);
}

void GSTYLE::setpenstyle(int style, int width)
{
    penstyle = style;
    penwidth = width;
}

void GSTYLE::setpencolour(COLORREF colour)
{
    penstyle = colour == NOCOLOUR ? PENSTYLE_NONE : PENSTYLE_SOLID;
    if (colour != NOCOLOUR) {
        pencolour = colour;
    }
}

void GSTYLE::setbrushcolour(COLORREF colour)
{
    brushstyle = colour == NOCOLOUR ? BRUSHSTYLE_HOLLOW : BRUSHSTYLE_SOLID;
    if (colour != NOCOLOUR) {
        brushcolour = colour;
    }
}

int GSTYLE::read(VFILE& file)
{
    if (!getversion(file)) {
        return 0;
    }
    GSTYLE read;
    uint32_t* const fields[] = { reinterpret_cast<uint32_t*>(&read.penstyle),
        reinterpret_cast<uint32_t*>(&read.penwidth), &read.pencolour,
        reinterpret_cast<uint32_t*>(&read.brushstyle), &read.brushcolour, &read.flags };
    if (!getwords(file, fields)) {
        return 0;
    }
    *this = read;
    return 1;
}

int GSTYLE::write(VFILE& file) const
{
    return file.putc(recordversion) != -1 && put32(file, penstyle) && put32(file, penwidth)
        && put32(file, pencolour) && put32(file, brushstyle) && put32(file, brushcolour)
        && put32(file, flags);
}

TSTYLE::TSTYLE(const char* name, int h, int w, COLORREF c, uint32_t f)
    : height(h)
    , width(w)
    , colour(c)
    , flags(f)
{
    setface(name);
}

void TSTYLE::setface(const char* name)
{
    copyface(face, name);
}

void TSTYLE::updatefontflags()
{
    flags &= ~(TS_DEFAULTFONT | TS_VECTORFONT);
    if (strcasecmp(face, DEFAULT_FONT_FACE) == 0) {
        flags |= TS_DEFAULTFONT;
    }
    if (strcasecmp(resolvedface(), VECTOR_FONT_FACE) == 0) {
        flags |= TS_VECTORFONT;
    }
}

const char* TSTYLE::resolvedface() const
{
    return strcasecmp(face, DEFAULT_FONT_FACE) == 0 ? defaultface : face;
}

void TSTYLE::setdefaultface(const char* name)
{
    copyface(defaultface, name && *name && strcasecmp(name, DEFAULT_FONT_FACE) != 0 ? name : "Arial");
}

const char* TSTYLE::getdefaultface()
{
    return defaultface;
}

int TSTYLE::read(VFILE& file)
{
    if (!getversion(file)) {
        return 0;
    }
    int length = file.getc();
    char name[256];
    if (length < 0 || file.read(name, length) != length) {
        return 0;
    }
    name[length] = '\0';
    TSTYLE read;
    read.setface(name);
    uint32_t* const fields[] = { reinterpret_cast<uint32_t*>(&read.height),
        reinterpret_cast<uint32_t*>(&read.width), &read.colour, &read.flags };
    if (!getwords(file, fields)) {
        return 0;
    }
    *this = read;
    return 1;
}

int TSTYLE::write(VFILE& file) const
{
    int length = static_cast<int>(std::strlen(face));
    return file.putc(recordversion) != -1 && file.putc(length) != -1 && file.write(face, length) == length
        && put32(file, height) && put32(file, width) && put32(file, colour) && put32(file, flags);
}
