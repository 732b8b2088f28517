#include "engines/nerith/devices/coefficients.h"

namespace nerith {

double temperaturefactor(
    const IFcircuit& ckt, bool tempgiven, double temp, double dtemp, double tc1, double tc2)
{
    const double difference = (tempgiven ? temp : ckt.options.temp + dtemp) - ckt.options.tnom;
    return 1 + tc1 * difference + tc2 * difference * difference;
}

} // namespace nerith
