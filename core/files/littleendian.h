#pragma once

#include <cstdint>

// The fields of the binary files the system reads (sound files, zip archives, model-library
// caches, library files and their index caches) are little-endian, whatever the machine's order.
inline uint16_t readle16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t readle32(const unsigned char* p)
{
    return readle16(p) | static_cast<uint32_t>(readle16(p + 2)) << 16;
}
