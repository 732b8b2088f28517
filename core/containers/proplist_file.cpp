#include "core/containers/proplist.h"

#include "core/files/vfile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Damaged counts and lengths may promise gigabytes: reserve and read no more than what arrives.
constexpr int32_t largestReservation = 65536;
constexpr uint32_t readChunk = 65536;

int putword(VFILE& f, uint32_t value)
{
    unsigned char word[4] = { static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24) };
    return f.write(word, 4) == 4;
}

bool getword(VFILE& f, uint32_t& value)
{
    unsigned char word[4];
    if (f.read(word, 4) != 4)
        return false;
    value = word[0] | uint32_t(word[1]) << 8 | uint32_t(word[2]) << 16 | uint32_t(word[3]) << 24;
    return true;
}

// One stored block; empty when the file ends inside it.
std::vector<char> getblock(VFILE& f, uint32_t length)
{
    std::vector<char> block;
    while (block.size() < length) {
        size_t have = block.size();
        size_t chunk = std::min<size_t>(length - have, std::max<size_t>(readChunk, have));
        block.resize(have + chunk);
        if (f.read(block.data() + have, static_cast<int>(chunk)) != static_cast<int>(chunk))
            return {};
    }
    return block;
}

// The size of the item the block holds (its name, value and their NULs), or 0 when either NUL is
// missing. Bytes behind the value's NUL are not part of the item.
size_t itemsize(const std::vector<char>& block)
{
    const char* start = block.data();
    const char* end = start + block.size();
    const auto* name = static_cast<const char*>(std::memchr(start, '\0', block.size()));
    if (!name)
        return 0;
    const auto* value
        = static_cast<const char*>(std::memchr(name + 1, '\0', static_cast<size_t>(end - name - 1)));
    return value ? static_cast<size_t>(value - start) + 1 : 0;
}

} // namespace

int PROPLIST::write(VFILE& f) const
{
    int ok = putword(f, static_cast<uint32_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* name = static_cast<const char*>(items[i]);
        size_t nameLength = std::strlen(name);
        size_t length = nameLength + std::strlen(name + nameLength + 1) + 2;
        ok &= putword(f, static_cast<uint32_t>(length));
        ok &= f.write(name, static_cast<int>(length)) == static_cast<int>(length);
    }
    return ok;
}

int PROPLIST::read(VFILE& f)
{
    zap();
    uint32_t stored;
    if (!getword(f, stored) || stored > INT32_MAX)
        return 0;
    int32_t n = static_cast<int32_t>(stored);
    int32_t reservation = std::min(n, largestReservation);
    if (capacity - count < reservation)
        grow(reservation - (capacity - count));
    for (int32_t i = 0; i < n; ++i) {
        uint32_t length;
        if (!getword(f, length) || length < 2 || length > INT32_MAX)
            return 0;
        std::vector<char> block = getblock(f, length);
        size_t size = block.empty() ? 0 : itemsize(block);
        if (size == 0)
            return 0;
        auto* item = static_cast<char*>(::operator new(size));
        std::memcpy(item, block.data(), size);
        DIDX::add(item, item);
    }
    return 1;
}
