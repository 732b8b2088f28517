#pragma once

#include "engines/nerith/ckt.h"
#include "engines/nerith/descriptor.h"

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

} // namespace nerith
