#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/files/littleendian.h"
#include "platform/win/boundedread.h"

// Little-endian fields of the library and index cache files, and the whole-file reads and atomic
// rewrites both use (reads at an offset: readat of platform/win/boundedread.h). Paths are POSIX
// paths from the path boundary.

inline int16_t getle16(const uint8_t* p)
{
    return static_cast<int16_t>(readle16(p));
}
inline int32_t getle32(const uint8_t* p)
{
    return static_cast<int32_t>(readle32(p));
}
inline void putle16(uint8_t* p, int32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void putle32(uint8_t* p, int32_t v)
{
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}
inline void appendle32(std::vector<uint8_t>& out, int32_t v)
{
    out.resize(out.size() + 4);
    putle32(out.data() + out.size() - 4, v);
}

// The unsigned 16-bit sum of the bytes.
inline uint16_t bytesum(const uint8_t* p, size_t n)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += p[i];
    return static_cast<uint16_t>(sum);
}

// The whole file behind fd; false when it cannot be read.
bool readwhole(int fd, std::vector<uint8_t>& bytes);
// Replaces the file at path by bytes through a temporary file beside it (platform/win/replacefile.h), so that a
// failed write leaves the old file whole. False on any failure.
bool replacefile(const std::string& path, const std::vector<uint8_t>& bytes);
// Takes (type F_RDLCK or F_WRLCK) or gives up (F_UNLCK) the byte-range lock on a library's
// signature, without waiting; false when another process holds it.
bool locksignature(int fd, short type);
