#pragma once

#include "engines/nerith/ckt.h"
#include "engines/nerith/descriptor.h"
#include "engines/nerith/parameters.h"

#include <array>
#include <cmath>

// What resistors and capacitors share: a value scaled by the instance multiplier M and by first
// and second order temperature coefficients from TNOM to the instance's temperature.

namespace nerith {

// The factor 1 + tc1 dT + tc2 dT^2, dT from the circuit's TNOM to the instance's temperature: its
// TEMP when given (DTEMP is then ignored), else the circuit's TEMP plus DTEMP.
double temperaturefactor(
    const IFcircuit& ckt, bool tempgiven, double temp, double dtemp, double tc1, double tc2);

// "TC=tc1[,tc2]": the coefficients as one vector of one or two values.
template <class Instance> int setcoefficients(Instance& instance, const IFvalue& value)
{
    const int32_t count = value.v.numValue;
    if (count < 1 || count > 2 || !value.v.vec.rVec)
        return E_BADVALUE;
    const double tc1 = value.v.vec.rVec[0];
    const double tc2 = count == 2 ? value.v.vec.rVec[1] : 0;
    if (!std::isfinite(tc1) || !std::isfinite(tc2))
        return E_BADVALUE;
    instance.tc1 = tc1;
    instance.tc2 = tc2;
    return 0;
}

// The rows of an instance's temperature, multiplier and coefficients, with the ids first (TEMP),
// first + 1 (M), first + 2 and 3 (TC1, TC2), first + 4 (TC) and first + 5 (DTEMP).
template <class Instance> constexpr std::array<Parameter<Instance>, 6> coefficientrows(int32_t first)
{
    return {
        field<&Instance::temp, &Instance::tempgiven>("temp", first, "Instance temperature").in("degC"),
        field<&Instance::m>("m", first + 1, "Parallel multiplier").initially(1).above(0),
        field<&Instance::tc1>("tc1", first + 2, "First order temperature coefficient").in("1/degC"),
        field<&Instance::tc2>("tc2", first + 3, "Second order temperature coefficient").in("1/degC^2"),
        settable<&setcoefficients<Instance>>(
            "tc", first + 4, IF_REAL | IF_VECTOR, "First and second order temperature coefficients"),
        field<&Instance::dtemp>("dtemp", first + 5, "Instance temperature above the circuit's").in("degC"),
    };
}

} // namespace nerith
