#include "engines/nerith/devices/coefficients.h"

namespace nerith {

double temperaturefactor(const IFcircuit& ckt, const Coefficients* c)
{
    if (!c)
        return 1;
    const double difference = (c->tempgiven ? c->temp : ckt.options.temp + c->dtemp) - ckt.options.tnom;
    return 1 + c->tc1 * difference + c->tc2 * difference * difference;
}

} // namespace nerith
