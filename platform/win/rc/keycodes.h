#pragma once

// Key codes of the framework: the virtual key in bits 0-7, KEY_EXTENDED for an extended key, and
// each modifier twice: in bits 12-15 as an input event reports it and in bits 16-19. Constants
// only, so that the resource compiler writes what the framework reads.

#include <cstdint>

// Key-code parts.
constexpr uint32_t KEY_EXTENDED = 0x100;
constexpr uint32_t KEY_SHIFT = 0x11000;
constexpr uint32_t KEY_CTRL = 0x22000;
constexpr uint32_t KEY_ALT = 0x44000;
constexpr uint32_t KEY_WIN = 0x88000;

// The key with every modifier present in either set set in both.
constexpr uint32_t foldkey(uint32_t key)
{
    return key | (key & 0xF000) << 4 | (key >> 4 & 0xF000);
}
