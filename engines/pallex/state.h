#pragma once

#include <cstdint>

// STATE: the digital engine's state of a pin or a net. The low two bits give the level (3 high,
// 1 low, otherwise undefined), the bits of STATE_STRENGTH the drive strength (0 floating, below
// STATE_STRONG weak, STATE_STRONG and above strong), STATE_CONTENTION marks a net whose drivers
// disagree.
using STATE = uint32_t;

inline constexpr STATE STATE_LEVEL = 0x03;
inline constexpr STATE STATE_LOW = 0x01;
inline constexpr STATE STATE_HIGH = 0x03;
inline constexpr STATE STATE_STRENGTH = 0x1C;
inline constexpr STATE STATE_WEAK = 0x04;
inline constexpr STATE STATE_STRONG = 0x0C;
inline constexpr STATE STATE_PATTERN = 0x14;  // driven by a bit pattern source
inline constexpr STATE STATE_POWER = 0x1C;    // a supply or ground rail
inline constexpr STATE STATE_CONTENTION = 0x20;

// Named states.
inline constexpr STATE STATE_NONE = 0;   // no drive
inline constexpr STATE STATE_FLT = 2;    // floating
inline constexpr STATE STATE_WUD = 4;    // weak undefined
inline constexpr STATE STATE_WLO = 5;
inline constexpr STATE STATE_WHI = 7;
inline constexpr STATE STATE_SUD = 12;   // strong undefined
inline constexpr STATE STATE_SLO = 13;
inline constexpr STATE STATE_SHI = 15;
inline constexpr STATE STATE_ILO = 21;   // bit pattern low and high
inline constexpr STATE STATE_IHI = 23;
inline constexpr STATE STATE_PUD = 28;   // power undefined, low and high
inline constexpr STATE STATE_PLO = 29;
inline constexpr STATE STATE_PHI = 31;
