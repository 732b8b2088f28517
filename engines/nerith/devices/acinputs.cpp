#include "engines/nerith/devices/acinputs.h"

#include "engines/nerith/ckt.h"

#include <cmath>
#include <numbers>

namespace nerith {

namespace {

IFcomplex phasor(double magnitude, double degrees)
{
    const double radians = degrees * std::numbers::pi / 180;
    return { magnitude * std::cos(radians), magnitude * std::sin(radians) };
}

} // namespace

IFcomplex excitation(const IFcircuit& ckt, const IFinstance& source, const SourceInputs& inputs)
{
    switch (ckt.excitation) {
    case Excitation::Ac:
        return phasor(inputs.acmag, inputs.acphase);
    case Excitation::Input:
        return { &source == ckt.input ? 1.0 : 0.0, 0 };
    case Excitation::FirstTone:
        return inputs.tone1given ? phasor(inputs.tone1[0] / 2, inputs.tone1[1]) : IFcomplex {};
    case Excitation::SecondTone:
        return inputs.tone2given ? phasor(inputs.tone2[0] / 2, inputs.tone2[1]) : IFcomplex {};
    case Excitation::None:
        break;
    }
    return {};
}

} // namespace nerith
