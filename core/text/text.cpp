#include "core/text/text.h"

#include "core/containers/dpkb.h"
#include "core/text/strutil.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr unsigned int recordBlock = 4096;

} // namespace

TEXT::TEXT(const char* s)
    : text(heapstrdup(s))
{
}

TEXT::TEXT(const TEXT& other)
    : text(heapstrdup(other.text))
{
}

TEXT& TEXT::operator=(const TEXT& other)
{
    settext(other.text);
    return *this;
}

TEXT::~TEXT()
{
    std::free(text);
}

void TEXT::settext(const char* s)
{
    char* copy = heapstrdup(s);
    std::free(text);
    text = copy;
}

char* TEXT::resize(int n)
{
    if (n < 0)
        return nullptr;
    auto* block = static_cast<char*>(std::realloc(text, static_cast<size_t>(n) + 1));
    if (!block)
        return nullptr;
    text = block;
    return block;
}

int TEXT::pack(DPKB& b)
{
    const unsigned ws = b.wordsize();
    size_t length = text ? std::strlen(text) + 1 : 0;
    if (length > (ws == 2 ? 0xFFFFu : UINT32_MAX - ws))
        return 0;
    auto* record = static_cast<unsigned char*>(b.alloc(static_cast<unsigned int>(ws + length)));
    for (unsigned i = 0; i < ws; ++i)
        record[i] = static_cast<unsigned char>(length >> (8 * i));
    if (length)
        std::memcpy(record + ws, text, length);
    return 1;
}

int TEXT::unpack(DPKB& b)
{
    const unsigned ws = b.wordsize();
    auto* word = static_cast<const unsigned char*>(b.get(ws));
    if (!word) {
        settext(nullptr);
        return 0;
    }
    uint32_t length = 0;
    for (unsigned i = 0; i < ws; ++i)
        length |= uint32_t(word[i]) << (8 * i);
    if (length == 0) {
        settext(nullptr);
        return 1;
    }
    const char* bytes = reinterpret_cast<const char*>(b.getptr);
    size_t available = static_cast<size_t>(b.base + b.size - b.getptr);
    int whole = b.get(length) ? 1 : 0;
    size_t usable = whole ? length : available;
    size_t textLength = strnlen(bytes, usable);
    if (textLength < usable) {
        settext(bytes);
        return whole;
    }
    // No NUL inside the record: take its bytes as they are.
    settext(std::string(bytes, usable).c_str());
    return 0;
}

int TEXT::read(VFILE& f)
{
    DPKB b(recordBlock, DPKB_WORD32);
    int whole = b.read(f);
    // The stored word counts itself; what unpack expects is the length of the text bytes alone.
    uint32_t length = b.size - b.wordsize();
    for (unsigned i = 0; i < 4; ++i)
        b.base[i] = static_cast<unsigned char>(length >> (8 * i));
    int unpacked = unpack(b);
    return whole && unpacked ? 1 : 0;
}

int TEXT::write(VFILE& f)
{
    DPKB b(recordBlock, DPKB_WORD32);
    if (!pack(b))
        return 0;
    return b.write(f);
}
