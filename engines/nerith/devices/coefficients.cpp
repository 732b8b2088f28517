#include "engines/nerith/devices/coefficients.h"

namespace nerith {

double instancetemperature(const IFcircuit& ckt, const Coefficients* c)
{
    if (!c)
        return ckt.options.temp;
    return c->tempgiven ? c->temp : ckt.options.temp + c->dtemp;
}

double temperaturefactor(const IFcircuit& ckt, const Coefficients* c)
{
    if (!c)
        return 1;
    const double difference = instancetemperature(ckt, c) - ckt.options.tnom;
    return 1 + c->tc1 * difference + c->tc2 * difference * difference;
}

} // namespace nerith
