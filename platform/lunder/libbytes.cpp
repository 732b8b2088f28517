#include "platform/lunder/libbytes.h"

#include "core/containers/dpkb.h"
#include "core/files/littleendian.h"

#include <cstring>

bool LIBCURSOR::take(size_t n)
{
    if (n > remaining()) {
        fault = "passes the end of the file";
        return false;
    }
    position += n;
    return true;
}

bool LIBCURSOR::u8(uint8_t& value)
{
    if (!take(1))
        return false;
    value = data[position - 1];
    return true;
}

bool LIBCURSOR::u16(uint16_t& value)
{
    if (!take(2))
        return false;
    value = readle16(data + position - 2);
    return true;
}

bool LIBCURSOR::u32(uint32_t& value)
{
    if (!take(4))
        return false;
    value = readle32(data + position - 4);
    return true;
}

bool LIBCURSOR::u64(uint64_t& value)
{
    uint32_t low = 0;
    uint32_t high = 0;
    size_t start = position;
    if (!u32(low) || !u32(high)) {
        position = start;
        return false;
    }
    value = low | uint64_t(high) << 32;
    return true;
}

bool LIBCURSOR::str(const char*& value, uint16_t& length, size_t max)
{
    size_t start = position;
    uint16_t n = 0;
    if (!u16(n))
        return false;
    if (n > max) {
        position = start;
        fault = "is longer than allowed";
        return false;
    }
    if (size_t(n) + 1 > remaining()) {
        position = start;
        fault = "passes the end of the file";
        return false;
    }
    const uint8_t* p = here();
    if (p[n] != 0) {
        position = start;
        fault = "lacks its terminator";
        return false;
    }
    if (std::memchr(p, 0, n)) {
        position = start;
        fault = "holds a NUL character";
        return false;
    }
    value = reinterpret_cast<const char*>(p);
    length = n;
    position += size_t(n) + 1;
    return true;
}

bool LIBCURSOR::skip(size_t n)
{
    return take(n);
}

void LIBWRITER::u16(uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void LIBWRITER::u32(uint32_t value)
{
    u16(static_cast<uint16_t>(value));
    u16(static_cast<uint16_t>(value >> 16));
}

void LIBWRITER::u64(uint64_t value)
{
    u32(static_cast<uint32_t>(value));
    u32(static_cast<uint32_t>(value >> 32));
}

void LIBWRITER::str(const char* s)
{
    size_t n = s ? std::strlen(s) : 0;
    u16(static_cast<uint16_t>(n));
    raw(s, n);
    u8(0);
}

void LIBWRITER::raw(const void* p, size_t n)
{
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
}

void LIBWRITER::patch32(size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

int packrecord(DPKB& buffer, const LIBWRITER& record)
{
    uint64_t length = buffer.wordsize() + uint64_t(record.bytes.size());
    if (length > (buffer.wordsize() == 2 ? 0xFFFFu : RECORDMAX)) {
        return 0;
    }
    auto* at = static_cast<uint8_t*>(buffer.alloc(static_cast<unsigned>(length)));
    for (unsigned i = 0; i < buffer.wordsize(); ++i) {
        at[i] = static_cast<uint8_t>(length >> (8 * i));
    }
    std::memcpy(at + buffer.wordsize(), record.bytes.data(), record.bytes.size());
    return 1;
}

bool unpackrecord(DPKB& buffer, LIBCURSOR& record)
{
    const uint8_t* start = buffer.getptr;
    size_t left = static_cast<size_t>(buffer.base + buffer.size - start);
    unsigned word = buffer.wordsize();
    if (left < word) {
        buffer.getptr = buffer.base + buffer.size;
        return false;
    }
    uint32_t length = word == 2 ? readle16(start) : readle32(start);
    if (!buffer.get(length) || length < word) {
        buffer.getptr = buffer.base + buffer.size;
        return false;
    }
    record = LIBCURSOR(start + word, length - word);
    return true;
}
