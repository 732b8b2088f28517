#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

struct IFinstance;

namespace nerith {

// One noise current of a device between the equations `a` and `b`: its density (A^2/Hz) is
// `white` plus `flicker` / f.
struct NoiseGenerator {
    const char* suffix = ""; // the generator's name after its device's
    int32_t a = 0;
    int32_t b = 0;
    double white = 0;
    double flicker = 0; // the flicker density at 1 Hz
};

// The thermal noise density of a conductance at a temperature (4kTG) and the shot noise density
// of a current (2q|I|).
double thermalnoise(double kelvin, double conductance);
double shotnoise(double current);

// The noise generators of a circuit's devices, gathered once for a noise analysis, and the entries
// of its report: every generator, and the total of each device that has several.
class NoiseSources {
public:
    // The generators of one device. One alone is reported under the device's name; several under
    // "<device>_<suffix>" each, followed by the device's total under its name.
    void add(const IFinstance& device, std::span<const NoiseGenerator> generators);
    void add(const IFinstance& device, std::initializer_list<NoiseGenerator> generators)
    {
        add(device, std::span<const NoiseGenerator>(generators.begin(), generators.size()));
    }

    const std::vector<NoiseGenerator>& generators() const { return list; }
    const std::vector<std::string>& entries() const { return names; }
    // The report's values from the generators' (a total sums its device's).
    void report(const double* pergenerator, double* perentry) const;

private:
    struct Span {
        std::size_t first;
        std::size_t count;
    };
    std::vector<NoiseGenerator> list;
    std::vector<std::string> names; // of the report's entries
    std::vector<Span> spans; // the generators each entry sums
};

// The integral from f0 to f1 of a density that follows a power of the frequency through (f0, n0)
// and (f1, n1).
double powerintegral(double f0, double n0, double f1, double n1);

} // namespace nerith
