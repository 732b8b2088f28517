#include "core/containers/dpkb.h"

#include "core/files/vfile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

uint32_t loadWord(const unsigned char* p, unsigned wordsize)
{
    uint32_t value = p[0] | uint32_t(p[1]) << 8;
    if (wordsize == 4)
        value |= uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return value;
}

void storeWord(unsigned char* p, unsigned wordsize, uint32_t value)
{
    for (unsigned i = 0; i < wordsize; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Damaged lengths may promise gigabytes: grow with what actually arrives.
constexpr uint32_t firstReadChunk = 65536;
constexpr uint32_t largestReadChunk = 1u << 30;

} // namespace

DPKB::DPKB(unsigned int bytes, DPKB_MODE m)
    : mode(m)
    , reserved(0)
    , size(bytes)
    , base(allocmem(bytes))
{
    if (!base && bytes > 0)
        throw std::bad_alloc();
    putptr = getptr = base;
}

DPKB::DPKB(void* record, DPKB_MODE m)
    : mode(m)
    , reserved(0)
    , size(0)
    , base(static_cast<unsigned char*>(record))
    , putptr(base)
    , getptr(base)
{
    if (base)
        size = loadWord(base, wordsize());
}

DPKB::~DPKB()
{
    freemem(base);
}

void* DPKB::alloc(unsigned int n)
{
    uint32_t offset = static_cast<uint32_t>(putptr - base);
    if (uint64_t(offset) + n > size) {
        if (uint64_t(size) + n > UINT32_MAX)
            throw std::bad_alloc();
        unsigned char* grown = reallocmem(base, size + n);
        if (!grown)
            throw std::bad_alloc();
        base = grown;
        size += n;
        putptr = base + offset;
        getptr = base;
    }
    unsigned char* reservedBytes = putptr;
    if (n)
        std::memset(reservedBytes, 0, n);
    putptr += n;
    return reservedBytes;
}

void* DPKB::get(unsigned int n)
{
    unsigned char* end = base + size;
    uint32_t left = static_cast<uint32_t>(end - getptr);
    if (n == 0xFFFFFFFF) {
        n = left >= wordsize() ? loadWord(getptr, wordsize()) : 0;
        if (n < wordsize()) {
            getptr = end;
            return nullptr;
        }
    }
    if (n > left) {
        getptr = end;
        return nullptr;
    }
    unsigned char* at = getptr;
    getptr += n;
    return at;
}

int DPKB::getstr(char* dst, int max)
{
    unsigned char* end = base + size;
    size_t left = static_cast<size_t>(end - getptr);
    auto* nul = left ? static_cast<unsigned char*>(std::memchr(getptr, 0, left)) : nullptr;
    size_t length = nul ? static_cast<size_t>(nul - getptr) : left;
    if (dst) {
        size_t copied = std::min(length, static_cast<size_t>(std::max(max, 0)));
        if (copied)
            std::memcpy(dst, getptr, copied);
        dst[copied] = '\0';
    }
    getptr = nul ? nul + 1 : end;
    return nul ? 1 : 0;
}

void DPKB::putstr(const char* s)
{
    if (!s)
        s = "";
    size_t n = std::strlen(s) + 1;
    if (n > UINT32_MAX)
        throw std::bad_alloc();
    std::memcpy(alloc(static_cast<unsigned int>(n)), s, n);
}

int DPKB::read(VFILE& f)
{
    const unsigned ws = wordsize();
    unsigned char word[4];
    bool wordRead
        = mode == DPKB_WORD16 ? f.read(word, 1) == 1 && f.read(word + 1, 1) == 1 : f.read(word, 4) == 4;
    uint32_t length = wordRead ? loadWord(word, ws) : 0;

    uint32_t have = ws;
    unsigned char* block = reallocmem(base, ws);
    if (!block)
        throw std::bad_alloc();
    base = block;
    while (have < length) {
        uint32_t chunk = std::min({ length - have, std::max(firstReadChunk, have), largestReadChunk });
        block = reallocmem(base, size_t(have) + chunk);
        if (!block)
            throw std::bad_alloc();
        base = block;
        int got = f.read(base + have, static_cast<int>(chunk));
        have += static_cast<uint32_t>(std::max(got, 0));
        if (got < static_cast<int>(chunk))
            break;
    }
    size = have;
    storeWord(base, ws, have);
    putptr = getptr = base;
    return wordRead && length >= ws && have == length ? 1 : 0;
}

int DPKB::write(VFILE& f)
{
    const unsigned ws = wordsize();
    size_t length = static_cast<size_t>(putptr - base);
    if (length < ws || length > (mode == DPKB_WORD16 ? 0xFFFFu : size_t(INT_MAX)))
        return 0;
    storeWord(base, ws, static_cast<uint32_t>(length));
    return f.write(base, static_cast<int>(length)) == static_cast<int>(length) ? 1 : 0;
}
