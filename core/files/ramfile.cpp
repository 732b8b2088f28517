#include "core/files/ramfile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int64_t minimumGrowth = 4096;
constexpr int64_t doublingLimit = 1048576;
} // namespace

RAMFILE::RAMFILE()
    : buffer(nullptr)
    , capacity(0)
    , length(0)
    , position(0)
    , owned(1)
{
}

RAMFILE::RAMFILE(void* block, int size)
    : buffer(static_cast<unsigned char*>(block))
    , capacity(std::max(size, 0))
    , length(capacity)
    , position(0)
    , owned(0)
{
}

RAMFILE::~RAMFILE()
{
    if (owned)
        std::free(buffer);
}

int RAMFILE::grow(int n)
{
    int64_t need = int64_t(position) + n - capacity;
    if (need <= 0)
        return buffer ? 1 : 0;
    if (!owned)
        return 0;
    int64_t increment = capacity < doublingLimit ? 2 * int64_t(capacity) : capacity + doublingLimit;
    increment = std::max({ increment, minimumGrowth, need });
    int64_t grown = std::min<int64_t>(capacity + increment, INT_MAX);
    if (grown - capacity < need)
        return 0;
    auto* block = static_cast<unsigned char*>(std::realloc(buffer, static_cast<size_t>(grown)));
    if (!block)
        return 0;
    buffer = block;
    capacity = static_cast<int>(grown);
    return 1;
}

int RAMFILE::getc()
{
    if (position >= length)
        return -1;
    return buffer[position++];
}

int RAMFILE::putc(int c)
{
    if (position >= capacity && !grow(1))
        return -1;
    buffer[position++] = static_cast<unsigned char>(c);
    length = std::max(length, position);
    return 0;
}

int RAMFILE::read(void* buf, int n)
{
    int count = std::min(n, length - position);
    if (count <= 0)
        return 0;
    std::memcpy(buf, buffer + position, static_cast<size_t>(count));
    position += count;
    return count;
}

int RAMFILE::write(const void* buf, int n)
{
    if (n <= 0)
        return 0;
    if (int64_t(position) + n >= capacity && !grow(n))
        return 0;
    std::memcpy(buffer + position, buf, static_cast<size_t>(n));
    position += n;
    length = std::max(length, position);
    return n;
}

int RAMFILE::seek(long offset, int origin)
{
    int64_t target;
    int ok;
    switch (origin) {
    case 0:
        target = offset;
        break;
    case 1:
        target = int64_t(position) + offset;
        break;
    case 2:
        target = int64_t(length) - offset;
        break;
    default:
        return 0;
    }
    if (target < 0) {
        position = 0;
        return 0;
    }
    if (target > INT_MAX) {
        position = length;
        return 0;
    }
    // Origins 0 and 1 always ask for the room (an empty file without a buffer answers 0);
    // origin 2 only when it lands past the end.
    if (origin != 2 || target > length)
        ok = grow(static_cast<int>(target - position));
    else
        ok = 1;
    if (target > length) {
        if (!ok) {
            position = length;
            return 0;
        }
        std::memset(buffer + length, 0, static_cast<size_t>(target - length));
        length = static_cast<int>(target);
    }
    position = static_cast<int>(target);
    return ok;
}
