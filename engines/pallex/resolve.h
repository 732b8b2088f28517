#pragma once

#include "engines/pallex/state.h"

#include <cstdint>

// Levels of the logic the primitives compute with, and the resolution of several drivers on a net.
namespace pallex {

enum Level : uint8_t { LOW = 0, HIGH = 1, UNKNOWN = 2 };

inline Level levelof(STATE state)
{
    STATE level = state & STATE_LEVEL;
    if (level == STATE_HIGH)
        return HIGH;
    return level == STATE_LOW ? LOW : UNKNOWN;
}

// A strong output driving `level`.
inline STATE strong(Level level)
{
    static constexpr STATE states[] = { STATE_SLO, STATE_SHI, STATE_SUD };
    return states[level];
}

inline STATE strengthof(STATE state)
{
    return state & STATE_STRENGTH;
}

// The net state several drivers give: the strongest drivers win; when they disagree the level is
// undefined at their strength, and a low and a high among them mark contention. No drive at all (or
// only drivers of strength 0) leaves the net floating.
class Resolver {
public:
    void add(STATE state)
    {
        STATE strength = strengthof(state);
        if (strength == 0)
            return;
        if (strength > top) {
            top = strength;
            seen = 0;
        }
        if (strength == top)
            seen |= 1u << (state & STATE_LEVEL);
    }

    STATE result() const
    {
        if (top == 0)
            return STATE_FLT;
        constexpr uint32_t low = 1u << STATE_LOW;
        constexpr uint32_t high = 1u << STATE_HIGH;
        if (seen == low)
            return top | STATE_LOW;
        if (seen == high)
            return top | STATE_HIGH;
        STATE contention = (seen & low) && (seen & high) ? STATE_CONTENTION : 0;
        return top | contention;
    }

private:
    STATE top = 0;
    uint32_t seen = 0;
};

}  // namespace pallex
