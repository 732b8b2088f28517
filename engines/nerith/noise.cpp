#include "engines/nerith/noise.h"

#include "engines/nerith/device.h"
#include "engines/nerith/devices/junction.h"

#include <algorithm>
#include <cmath>

namespace nerith {

namespace {

// Densities below this count as this, so that their logarithm is defined.
constexpr double LeastDensity = 1e-38;
// A power this close to 0, or to -1, is taken as that.
constexpr double PowerTolerance = 1e-10;

} // namespace

double thermalnoise(double kelvin, double conductance)
{
    return 4 * Boltzmann * kelvin * conductance;
}

double shotnoise(double current)
{
    return 2 * ElectronCharge * std::fabs(current);
}

void NoiseSources::add(const IFinstance& device, std::span<const NoiseGenerator> generators)
{
    const std::size_t first = list.size();
    list.insert(list.end(), generators.begin(), generators.end());
    if (generators.size() == 1) {
        names.push_back(device.name);
        spans.push_back({ first, 1 });
        return;
    }
    for (std::size_t k = 0; k < generators.size(); ++k) {
        names.push_back(std::string(device.name) + "_" + list[first + k].suffix);
        spans.push_back({ first + k, 1 });
    }
    names.push_back(device.name);
    spans.push_back({ first, generators.size() });
}

void NoiseSources::report(const double* pergenerator, double* perentry) const
{
    for (std::size_t k = 0; k < spans.size(); ++k) {
        double sum = 0;
        for (std::size_t j = 0; j < spans[k].count; ++j)
            sum += pergenerator[spans[k].first + j];
        perentry[k] = sum;
    }
}

double powerintegral(double f0, double n0, double f1, double n1)
{
    const double log0 = std::log(f0);
    const double log1 = std::log(f1);
    const double last = std::log(std::max(n1, LeastDensity));
    double power = (last - std::log(std::max(n0, LeastDensity))) / (log1 - log0);
    if (std::fabs(power) < PowerTolerance)
        return n1 * (f1 - f0);
    const double scale = std::exp(last - power * log1);
    power += 1;
    if (std::fabs(power) < PowerTolerance)
        return scale * (log1 - log0);
    return scale * (std::exp(power * log1) - std::exp(power * log0)) / power;
}

} // namespace nerith
