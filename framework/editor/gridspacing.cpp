#include "framework/editor/gridspacing.h"

#include <array>
#include <cstddef>

namespace {

// The factors a major spacing is taken apart into; tens first, so that decades come off whole.
constexpr std::array<int, 9> FACTORS = { 10, 2, 3, 5, 7, 11, 13, 17, 19 };

} // namespace

GRIDSPACING gridspacing(int major, int snap, int threshold)
{
    GRIDSPACING grid { major, snap };
    if (snap > 0 && major % snap == 0) {
        std::array<int, FACTORS.size()> exponents {};
        int rest = major / snap;
        for (std::size_t i = 0; i < FACTORS.size(); ++i)
            while (rest % FACTORS[i] == 0) {
                rest /= FACTORS[i];
                ++exponents[i];
            }
        // Major lines a decade closer while they stay wide apart on screen.
        while (grid.major / 100 >= threshold && exponents[0] > 0) {
            grid.major /= 10;
            --exponents[0];
        }
        exponents[1] += exponents[0];
        exponents[3] += exponents[0];
        for (std::size_t i = 1; i < FACTORS.size(); ++i)
            while (exponents[i] > 0 && grid.minor < threshold) {
                grid.minor *= FACTORS[i];
                --exponents[i];
            }
    }
    while (grid.minor > 0 && grid.minor < threshold)
        grid.minor *= 2;
    if (grid.minor <= 0 || grid.major <= grid.minor || grid.major % grid.minor)
        grid.major = 0;
    return grid;
}
