#include "platform/kelmar/records.h"

#include <algorithm>
#include <cstring>

#include "core/containers/dpkb.h"
#include "core/files/littleendian.h"
#include "core/files/ramfile.h"
#include "platform/kelmar/xstyles.h"
#include "platform/ombrel/cts.h"

namespace {

// A casq style record behind its u8 length.
template <class T> void putcasq(LIBWRITER& out, const T& style)
{
    RAMFILE file;
    style.write(file);
    out.u8(static_cast<uint8_t>(file.length));
    out.raw(file.buffer, static_cast<size_t>(file.length));
}

template <class T> bool getcasq(LIBCURSOR& in, T& style)
{
    uint8_t length = 0;
    if (!in.u8(length) || length > in.remaining()) {
        return false;
    }
    RAMFILE file(const_cast<uint8_t*>(in.here()), length);
    T read;
    if (!read.read(file) || file.tell() != length) {
        return false;
    }
    style = read;
    return in.skip(length);
}

} // namespace

void putpoint(LIBWRITER& out, POINT point)
{
    out.u32(static_cast<uint32_t>(point.x));
    out.u32(static_cast<uint32_t>(point.y));
}

bool takepoint(LIBCURSOR& in, POINT& point)
{
    uint32_t x = 0;
    uint32_t y = 0;
    if (!in.u32(x) || !in.u32(y)) {
        return false;
    }
    point = POINT(static_cast<int32_t>(x), static_cast<int32_t>(y));
    return true;
}

void putcts(LIBWRITER& out, const CTS& cts)
{
    putpoint(out, cts.offset());
    out.u16(static_cast<uint16_t>(cts.angle));
    out.u16(static_cast<uint16_t>(cts.mirror_word));
}

bool takects(LIBCURSOR& in, CTS& cts)
{
    POINT offset;
    uint16_t angle = 0;
    uint16_t mirror = 0;
    if (!takepoint(in, offset) || !in.u16(angle) || !in.u16(mirror)) {
        return false;
    }
    cts = CTS(offset, static_cast<int16_t>(angle), static_cast<int16_t>(mirror));
    return true;
}

void putstyle(LIBWRITER& out, const GSTYLE& style)
{
    putcasq(out, style);
}

bool takestyle(LIBCURSOR& in, GSTYLE& style)
{
    return getcasq(in, style);
}

void putstyle(LIBWRITER& out, const TSTYLE& style)
{
    putcasq(out, style);
}

bool takestyle(LIBCURSOR& in, TSTYLE& style)
{
    return getcasq(in, style);
}

template <class T> void putnamed(LIBWRITER& out, const XSTYLE_ENTRY<T>& entry)
{
    out.str(entry.name);
    putstyle(out, entry.style);
}

template <class T> bool takenamed(LIBCURSOR& in, XSTYLE_ENTRY<T>& entry)
{
    const char* name = nullptr;
    uint16_t length = 0;
    T style;
    if (!in.str(name, length, XSTYLENAMEMAX) || !takestyle(in, style)) {
        return false;
    }
    entry.setname(name);
    entry.style = style;
    return true;
}

template void putnamed(LIBWRITER&, const XSTYLE_ENTRY<GSTYLE>&);
template void putnamed(LIBWRITER&, const XSTYLE_ENTRY<TSTYLE>&);
template bool takenamed(LIBCURSOR&, XSTYLE_ENTRY<GSTYLE>&);
template bool takenamed(LIBCURSOR&, XSTYLE_ENTRY<TSTYLE>&);

void puttext(LIBWRITER& out, const std::string& text)
{
    out.u32(static_cast<uint32_t>(text.size()));
    out.raw(text.data(), text.size());
}

bool taketext(LIBCURSOR& in, std::string& text, size_t max)
{
    uint32_t length = 0;
    if (!in.u32(length) || length > max || length > in.remaining() || std::memchr(in.here(), 0, length)) {
        return false;
    }
    text.assign(reinterpret_cast<const char*>(in.here()), length);
    return in.skip(length);
}

int writerecord(VFILE& file, const LIBWRITER& record)
{
    if (record.bytes.size() > RECORDMAX) {
        return 0;
    }
    auto length = static_cast<uint32_t>(record.bytes.size());
    uint8_t word[4] = { static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
        static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24) };
    return file.write(word, 4) == 4 && file.write(record.bytes.data(), static_cast<int>(length)) == int(length);
}

bool readrecord(VFILE& file, std::vector<uint8_t>& bytes)
{
    uint8_t word[4];
    if (file.read(word, 4) != 4) {
        return false;
    }
    uint32_t length = readle32(word);
    if (length > RECORDMAX) {
        return false;
    }
    // A damaged length may promise more than the file holds: take what arrives, in steps.
    bytes.clear();
    while (bytes.size() < length) {
        size_t step = std::min<size_t>(length - bytes.size(), 1u << 16);
        size_t at = bytes.size();
        bytes.resize(at + step);
        if (file.read(bytes.data() + at, static_cast<int>(step)) != int(step)) {
            return false;
        }
    }
    return true;
}

bool takeversion(LIBCURSOR& in)
{
    uint8_t version = 0;
    return in.u8(version) && version == RECORDVERSION;
}
